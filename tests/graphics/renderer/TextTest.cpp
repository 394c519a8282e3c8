#include "RendererFixture.h"
#include "TestImages.h"

#include <algorithm>
#include <cmath>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

class TextTest : public RendererFixture
{
protected:
  void SetUp() override
  {
    RendererFixture::SetUp();
    if (HasFatalFailure())
      return;
    fontBytes = ReadFileBytes(kRobotoPath);
    ASSERT_FALSE(fontBytes.empty()) << kRobotoPath;
    font = ctx->CreateFontMem("Roboto-Regular", fontBytes.data(), fontBytes.size(), 0);
    ASSERT_GE(font, 0);
  }

  struct Ink
  {
    int count = 0;
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; // inclusive pixel box
  };

  Ink InkOf() const
  {
    Ink ink;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        if (At(x, y)[3] > 0)
        {
          ++ink.count;
          ink.x0 = std::min(ink.x0, x);
          ink.y0 = std::min(ink.y0, y);
          ink.x1 = std::max(ink.x1, x);
          ink.y1 = std::max(ink.y1, y);
        }
    return ink;
  }

  std::vector<uint8_t> fontBytes;
  int font = -1;
};

TEST_F(TextTest, InkLiesInsideTheMeasuredBoundsAndNowhereElse)
{
  struct Case
  {
    const char* text;
    int align;
    float x, y, size, ratio;
  };
  const Case cases[] = {
    {"Gain 12.5 dB", kAlignLeft | kAlignBaseline, 2, 40, 11, 1},
    {"Qjy|", kAlignLeft | kAlignTop, 4, 4, 20, 1},
    {"Hag", kAlignCenter | kAlignMiddle, 32, 32, 24, 1},
    {"Ow!", kAlignRight | kAlignBottom, 60, 60, 18, 1},
    {"Low Gain", kAlignCenter | kAlignMiddle, 16, 16, 7, 2},
    {"fj", kAlignLeft | kAlignBaseline, 3, 24, 16, 2},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    Begin(c.ratio);
    ctx->SetFontFaceId(font);
    ctx->SetFontSize(c.size);
    ctx->SetTextAlign(c.align);
    ctx->SetFillColor(Color::FromRGBA8(255, 0, 0));
    float b[4];
    const float advance = ctx->TextBounds(c.x, c.y, c.text, b);
    ctx->Text(c.x, c.y, c.text);
    End();
    EXPECT_GT(advance, 0.f);
    const Ink ink = InkOf();
    ASSERT_GT(ink.count, 20) << "the text must leave ink";
    // In device pixels: every inked pixel overlaps the bounds.
    EXPECT_GE(ink.x0 + 1, b[0] * c.ratio);
    EXPECT_GE(ink.y0 + 1, b[1] * c.ratio);
    EXPECT_LE(ink.x1, b[2] * c.ratio);
    EXPECT_LE(ink.y1, b[3] * c.ratio);
    // ... and the bounds are not much larger than the ink (a pixel of margin plus the line box).
    EXPECT_LE(ink.x0 - b[0] * c.ratio, 3 * c.ratio);
    EXPECT_LE(b[2] * c.ratio - ink.x1, 4 * c.ratio);
    // The ink is the fill colour, premultiplied.
    for (int y = ink.y0; y <= ink.y1; ++y)
      for (int x = ink.x0; x <= ink.x1; ++x)
      {
        const RGBA p = At(x, y);
        ASSERT_TRUE(p[1] == 0 && p[2] == 0 && std::abs(p[0] - p[3]) <= 1) << x << "," << y;
      }
  }
}

TEST_F(TextTest, AlignmentPlacesTheLineAroundTheAnchor)
{
  float asc = 0, desc = 0, line = 0;
  ctx->SetFontFaceId(font);
  ctx->SetFontSize(20);
  ASSERT_TRUE(ctx->TextMetrics(&asc, &desc, &line));
  EXPECT_NEAR(asc, 20 * 0.93f, 1.f);
  EXPECT_NEAR(desc, -20 * 0.24f, 1.f);

  struct Case
  {
    int align;
    float left, top; // expected bounds' line box left and top edges for anchor (32, 32)
  };
  float b[4];
  ctx->SetTextAlign(kAlignLeft | kAlignBaseline);
  const float advance = ctx->TextBounds(32, 32, "Hx", b);
  const Case cases[] = {
    {kAlignLeft | kAlignBaseline, 32, 32 - asc},
    {kAlignCenter | kAlignTop, 32 - advance / 2, 32},
    {kAlignRight | kAlignBottom, 32 - advance, 32 - (asc - desc)},
    {kAlignLeft | kAlignMiddle, 32, 32 - (asc - desc) / 2},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.align);
    ctx->SetTextAlign(c.align);
    EXPECT_FLOAT_EQ(ctx->TextBounds(32, 32, "Hx", b), advance);
    // "H" and "x" have no descent or ascent above the line: the line box is the bounds' core.
    EXPECT_NEAR(b[0], c.left, 1.f);
    EXPECT_NEAR(b[1], c.top, 1e-3f);
    EXPECT_NEAR(b[3] - b[1], asc - desc, 1e-3f);
  }
  // Text returns where the next piece of the line starts.
  ctx->SetTextAlign(kAlignRight | kAlignBaseline);
  Begin();
  ctx->SetFontFaceId(font);
  ctx->SetFontSize(20);
  ctx->SetTextAlign(kAlignRight | kAlignBaseline);
  EXPECT_NEAR(ctx->Text(50, 40, "Hx"), 50.f, 1e-3f);
  End();
}

TEST_F(TextTest, FontsAreFoundByNameAndAnUnknownFaceDrawsNothing)
{
  EXPECT_EQ(ctx->CreateFontMem("Roboto-Regular", fontBytes.data(), fontBytes.size(), 0), font);
  EXPECT_EQ(ctx->FindFont("Roboto-Regular"), font);
  EXPECT_EQ(ctx->FindFont("Nothing"), -1);

  Begin();
  ctx->SetFontFace("Nothing");
  ctx->SetFontSize(20);
  EXPECT_EQ(ctx->Text(10, 40, "Hello"), 10.f);
  ctx->SetFontFace("Roboto-Regular");
  ctx->SetFontSize(0);
  ctx->Text(10, 40, "Hello");
  End();
  EXPECT_EQ(InkOf().count, 0);
}

TEST_F(TextTest, AFullGlyphAtlasIsStartedAfreshWithoutLosingQueuedText)
{
  auto drawFirst = [&] {
    ctx->SetFontFaceId(font);
    ctx->SetFontSize(20);
    ctx->SetFillColor(Color::FromRGBA8(0, 0, 0));
    ctx->Text(4, 24, "Ag");
  };
  Begin();
  drawFirst();
  End();
  const std::vector<uint8_t> reference = pixels;

  // Large glyphs off the frame fill the atlas many times over while "Ag" is still queued.
  Begin();
  drawFirst();
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (float size = 120; size <= 300; size += 20)
  {
    ctx->SetFontSize(size);
    ctx->Text(0, -1000, alphabet);
  }
  ctx->SetFontSize(20);
  ctx->Text(4, 52, "Ag");
  End();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < kSize; ++x)
      ASSERT_EQ(At(x, y)[3], reference[(size_t(y) * kSize + size_t(x)) * 4 + 3]) << x << "," << y;
  EXPECT_EQ(AlphaSum(0, 32, kSize, kSize), AlphaSum(0, 4, kSize, 36)) << "the same text, 28 lower";
}

} // namespace
} // namespace test
