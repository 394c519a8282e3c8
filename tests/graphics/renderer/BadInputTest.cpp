#include "RendererFixture.h"
#include "TestImages.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr RGBA kRed{255, 0, 0, 255};

class BadInputTest : public RendererFixture
{
protected:
  static std::vector<uint8_t> GoodPng()
  {
    std::vector<uint8_t> rgba(16 * 16 * 4, 255);
    return EncodePng(16, 16, rgba);
  }

  // Offset of the first byte of a chunk's data, found by its four-letter type.
  static size_t ChunkData(const std::vector<uint8_t>& png, const char* type)
  {
    for (size_t i = 12; i + 4 <= png.size(); ++i)
      if (std::equal(type, type + 4, png.begin() + long(i)))
        return i + 4;
    return 0;
  }
};

TEST_F(BadInputTest, BadImagesGiveHandleZero)
{
  const std::vector<uint8_t> good = GoodPng();
  ASSERT_GT(ctx->CreateImageFromMemory(good.data(), good.size(), 0), 0);

  std::vector<uint8_t> truncated(good.begin(), good.begin() + long(good.size() / 2));
  std::vector<uint8_t> zeroWidth = good;
  const size_t ihdr = ChunkData(good, "IHDR");
  ASSERT_GT(ihdr, 0u);
  std::fill(zeroWidth.begin() + long(ihdr), zeroWidth.begin() + long(ihdr + 4), uint8_t(0));
  std::vector<uint8_t> badStream = good;
  const size_t idat = ChunkData(good, "IDAT");
  ASSERT_GT(idat, 0u);
  badStream[idat] = 0xFF; // not a zlib header
  badStream[idat + 1] = 0xFF;
  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 8);
  const std::vector<uint8_t> noise = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

  struct Case
  {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
    {"empty", {}},
    {"noise", noise},
    {"signature only", headerOnly},
    {"truncated half way", truncated},
    {"zero width in the header", zeroWidth},
    {"corrupt compressed stream", badStream},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ctx->CreateImageFromMemory(c.bytes.data(), c.bytes.size(), 0), 0);
  }
  EXPECT_EQ(ctx->CreateImageFromMemory(nullptr, 100, 0), 0);
  EXPECT_EQ(ctx->CreateImageFromFile(nullptr, 0), 0);
  EXPECT_EQ(ctx->CreateImageFromFile("/nonexistent/picture.png", 0), 0);

  const uint8_t pixel[4] = {255, 0, 0, 255};
  EXPECT_EQ(ctx->CreateImageRGBA(0, 1, 0, pixel), 0);
  EXPECT_EQ(ctx->CreateImageRGBA(1, 0, 0, pixel), 0);
  EXPECT_EQ(ctx->CreateImageRGBA(-4, 4, 0, pixel), 0);
  EXPECT_EQ(ctx->CreateImageRGBA(1, 1, 0, nullptr), 0);
  EXPECT_EQ(ctx->CreateImageRGBA(1 << 20, 1, 0, pixel), 0) << "wider than any texture";
  int w = -1, h = -1;
  EXPECT_FALSE(ctx->ImageSize(0, w, h));
  EXPECT_FALSE(ctx->ImageSize(12345, w, h));
  EXPECT_FALSE(ctx->UpdateImage(12345, pixel));
  ctx->DeleteImage(0);
  ctx->DeleteImage(12345);
  EXPECT_EQ(ctx->CreateFramebuffer(0, 16), nullptr);
  EXPECT_EQ(ctx->CreateFramebuffer(16, 1 << 20), nullptr);
}

TEST_F(BadInputTest, BadFontsGiveMinusOne)
{
  const std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  ASSERT_FALSE(roboto.empty());
  const std::vector<uint8_t> png = GoodPng();
  const std::vector<uint8_t> half(roboto.begin(), roboto.begin() + 64);
  struct Case
  {
    const char* name;
    const std::vector<uint8_t>* bytes;
    int face;
  };
  const std::vector<uint8_t> empty;
  const Case cases[] = {
    {"a picture", &png, 0},
    {"empty", &empty, 0},
    {"the first 64 bytes of a font", &half, 0},
    {"a face the file does not have", &roboto, 3},
    {"a negative face index", &roboto, -1},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ctx->CreateFontMem(c.name, c.bytes->data(), c.bytes->size(), c.face), -1);
    EXPECT_EQ(ctx->FindFont(c.name), -1);
  }
  EXPECT_EQ(ctx->CreateFontMem("null", nullptr, 100, 0), -1);
  EXPECT_GE(ctx->CreateFontMem("Roboto", roboto.data(), roboto.size(), 0), 0) << "still works afterwards";
}

// Each case draws one bad item, then a good red square at (40, 40): the bad item leaves no ink
// and the good one is drawn as usual.
TEST_F(BadInputTest, BadDrawingInputDrawsNothingAndHarmsNothingAfter)
{
  const std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  const int font = ctx->CreateFontMem("Roboto", roboto.data(), roboto.size(), 0);
  ASSERT_GE(font, 0);
  const std::string veryLong(200000, 'W');
  const std::string malformed = "\xff\xfe\xc3\x28\xe2\x82\xf0\x90\x80";

  struct Case
  {
    const char* name;
    std::function<void(RenderContext&)> draw;
    bool mayInk = false; // good input drawn only to show it does not hang or crash
  };
  auto filled = [](std::function<void(RenderContext&)> path) {
    return [path](RenderContext& c) {
      c.BeginPath();
      path(c);
      c.SetFillColor(Color::FromRGBA8(0, 0, 255));
      c.Fill();
      c.SetStrokeColor(Color::FromRGBA8(0, 0, 255));
      c.Stroke();
    };
  };
  const Case cases[] = {
    {"NaN in a move", filled([](RenderContext& c) {
       c.MoveTo(kNaN, 4);
       c.LineTo(30, 4);
       c.LineTo(30, 30);
     })},
    {"infinity in a line", filled([](RenderContext& c) {
       c.MoveTo(4, 4);
       c.LineTo(kInf, 4);
       c.LineTo(30, 30);
     })},
    {"NaN in one of many sub-paths", filled([](RenderContext& c) {
       c.Rect(4, 4, 10, 10);
       c.Rect(16, 16, kNaN, 10);
     })},
    {"NaN control point", filled([](RenderContext& c) {
       c.MoveTo(4, 4);
       c.BezierTo(10, kNaN, 20, 4, 30, 30);
     })},
    {"NaN arc radius", filled([](RenderContext& c) { c.Arc(16, 16, kNaN, 0, 3, ArcDirection::Clockwise); })},
    {"infinite arc angle", filled([](RenderContext& c) { c.Arc(16, 16, 8, 0, kInf, ArcDirection::Clockwise); })},
    {"huge arc angle", filled([](RenderContext& c) { c.Arc(16, 16, 8, 0, 1e30f, ArcDirection::CounterClockwise); }),
     true},
    {"NaN transform", [](RenderContext& c) {
       c.Save();
       c.Transform({kNaN, 0, 0, 1, 0, 0});
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.Fill();
       c.Text(4, 20, "x");
       c.Restore();
     }},
    {"singular transform", [](RenderContext& c) {
       c.Save();
       c.Scale(0, 0);
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.Fill();
       c.Stroke();
       c.Text(4, 20, "x");
       c.Restore();
     }},
    {"NaN stroke width", [](RenderContext& c) {
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.SetStrokeWidth(kNaN);
       c.Stroke();
       c.SetStrokeWidth(-3);
       c.Stroke();
       c.SetStrokeWidth(1);
     }},
    {"NaN clip", [](RenderContext& c) {
       c.Save();
       c.Scissor(kNaN, 0, 10, 10);
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.Fill();
       c.Text(4, 20, "x");
       c.Restore();
     }},
    {"NaN gradient", [](RenderContext& c) {
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.SetFillPaint(Paint::LinearGradient(0, kNaN, 10, 10, Color{1, 0, 0, 1}, Color{0, 0, 1, 1}));
       c.Fill();
     }},
    {"NaN colour", [](RenderContext& c) {
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.SetFillColor(Color{kNaN, 0, 0, 1});
       c.Fill();
     }},
    {"image paint of no image", [](RenderContext& c) {
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.SetFillPaint(Paint::ImagePattern(4, 4, 20, 20, 0, 0, 1));
       c.Fill();
       c.SetFillPaint(Paint::ImagePattern(4, 4, 20, 20, 0, 999, 1));
       c.Fill();
     }},
    {"image paint of zero size", [&](RenderContext& c) {
       const uint8_t px[4] = {0, 0, 255, 255};
       const int img = c.CreateImageRGBA(1, 1, 0, px);
       c.BeginPath();
       c.Rect(4, 4, 20, 20);
       c.SetFillPaint(Paint::ImagePattern(4, 4, 0, 0, 0, img, 1));
       c.Fill();
       c.DeleteImage(img);
     }},
    {"empty text", [&](RenderContext& c) {
       c.SetFontFaceId(font);
       float b[4];
       EXPECT_EQ(c.TextBounds(4, 20, "", b), 0.f);
       EXPECT_EQ(c.Text(4, 20, ""), 4.f);
     }},
    {"very long text", [&](RenderContext& c) {
       c.SetFontFaceId(font);
       c.SetFontSize(12);
       c.SetFillColor(Color::FromRGBA8(0, 0, 255));
       c.Save();
       c.Scissor(0, 0, 32, 32);
       float b[4];
       const float advance = c.TextBounds(4, 20, veryLong, b);
       EXPECT_TRUE(std::isfinite(advance) && advance > 100000.f);
       c.Text(4, 20, veryLong);
       c.Restore();
       c.SetFillColor(Color::FromRGBA8(0, 0, 0, 0));
     },
     true},
    {"malformed UTF-8", [&](RenderContext& c) {
       c.SetFontFaceId(font);
       c.SetFontSize(12);
       c.Save();
       c.Scissor(0, 0, 32, 32);
       c.Text(4, 20, malformed);
       c.Restore();
     },
     true},
    {"NaN font size and position", [&](RenderContext& c) {
       c.SetFontFaceId(font);
       c.SetFontSize(kNaN);
       c.Text(4, 20, "x");
       c.SetFontSize(12);
       c.Text(kNaN, 20, "x");
       float b[4];
       EXPECT_EQ(c.TextBounds(4, kInf, "x", b), 0.f);
     }},
    {"unbalanced save and restore", [](RenderContext& c) {
       for (int i = 0; i < 100; ++i)
         c.Save();
       c.Translate(1000, 1000);
       for (int i = 0; i < 200; ++i)
         c.Restore();
     }},
  };

  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Begin();
    c.draw(*ctx);
    ctx->BeginPath();
    ctx->Rect(40, 40, 8, 8);
    ctx->SetFillColor(Color::FromRGBA8(255, 0, 0));
    ctx->Fill();
    End();
    if (!c.mayInk)
    {
      EXPECT_EQ(AlphaSum(0, 0, 36, 36), 0) << "the bad item left ink";
    }
    EXPECT_TRUE(PixelIs(44, 44, kRed));
    EXPECT_TRUE(PixelIs(50, 50, {0, 0, 0, 0}));
  }
}

TEST_F(BadInputTest, BadFrameSizesOpenNoFrame)
{
  const float sizes[][3] = {{0, 64, 1}, {64, -1, 1}, {kNaN, 64, 1}, {64, kInf, 1}};
  for (const auto& s : sizes)
  {
    ctx->BeginFrame(s[0], s[1], s[2]);
    EXPECT_FALSE(ctx->InFrame());
    ctx->BeginPath();
    ctx->Rect(0, 0, 10, 10);
    ctx->Fill();
    ctx->EndFrame();
  }
  ctx->BeginFrame(64, 64, kNaN); // a bad ratio falls back to 1
  EXPECT_TRUE(ctx->InFrame());
  ctx->CancelFrame();
  EXPECT_FALSE(ctx->InFrame());
}

} // namespace
} // namespace test
