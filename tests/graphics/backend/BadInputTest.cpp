// Bad input to the back end: each item draws nothing, nothing crashes, and drawing afterwards
// is unharmed.
#include "BackendFixture.h"

#include <cmath>
#include <string>

using namespace iplug::igraphics;

namespace test {
namespace {

class BadInputTest : public BackendFixture
{
protected:
  void SetUp() override
  {
    BackendFixture::SetUp();
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
    png = EncodePng(8, 8, SolidRGBA(8, 8, 0, 0, 255));
  }
  std::vector<uint8_t> png;
};

TEST_F(BadInputTest, BadPictures)
{
  struct Case
  {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> corrupt = png;
  for (size_t i = 16; i < corrupt.size(); i += 3)
    corrupt[i] ^= 0x5A;
  const Case cases[] = {
    {"corrupt bytes", corrupt},
    {"truncated after the header", std::vector<uint8_t>(png.begin(), png.begin() + 33)},
    {"truncated half way", std::vector<uint8_t>(png.begin(), png.begin() + long(png.size() / 2))},
    {"not a picture", std::vector<uint8_t>(200, 0x41)},
    {"a zero-sized picture", EncodePng(0, 0, {})},
    {"no bytes", {}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const IBitmapInfo bitmap =
      g->LoadBitmap(c.name, c.bytes.empty() ? nullptr : c.bytes.data(), int(c.bytes.size()), 3, false, 1);
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_EQ(bitmap.W(), 0);
    EXPECT_EQ(bitmap.N(), 0);
    Frame([&bitmap](IGraphics& gr) { gr.DrawBitmapFrame(bitmap, IRect(0, 0, 64, 48), 2); });
    EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 0);
  }
  // Nothing of it was cached; a good picture still loads and draws.
  EXPECT_EQ(g->BitmapCacheSize(), 0);
  const IBitmapInfo good = g->LoadBitmap("good.png", png.data(), int(png.size()));
  Frame([&good](IGraphics& gr) { gr.DrawBitmap(good, IRect(0, 0, 8, 8), 0, 0); });
  EXPECT_TRUE(PixelIs(4, 4, kBlue));
  // A picture file that does not decode is not loaded either.
  EXPECT_FALSE(g->LoadBitmap(kRobotoPath, 1, false, 1).IsValid());
}

TEST_F(BadInputTest, BadFonts)
{
  const std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  ASSERT_GT(roboto.size(), 1000u);
  struct Case
  {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> tablesGone = roboto;
  std::fill(tablesGone.begin() + 12, tablesGone.begin() + 400, uint8_t(0)); // the table directory
  std::vector<uint8_t> bigCollection = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 16};
  const Case cases[] = {
    {"a picture, not a font", png},
    {"the first 100 bytes of a font", std::vector<uint8_t>(roboto.begin(), roboto.begin() + 100)},
    {"a font without its table directory", tablesGone},
    {"a collection claiming two billion faces", bigCollection},
    {"four bytes of a font signature", {0, 1, 0, 0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = c.bytes;
    EXPECT_FALSE(g->LoadFont(c.name, bytes.data(), int(bytes.size())));
    const ITextStyle style(14.f, kColorBlack, c.name);
    IRect r(0, 0, 64, 48);
    EXPECT_EQ(g->MeasureText(style, "abc", r), 0.f);
    Frame([&style](IGraphics& gr) { gr.DrawText(style, "abc", IRect(0, 0, 64, 48)); });
    EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 0);
  }
  EXPECT_FALSE(g->LoadFont("missing", "/no/such/font.ttf"));
}

TEST_F(BadInputTest, BadTextsAndBadNumbers)
{
  const ITextStyle style(14.f);
  const std::string longText(100000, 'W');
  struct Case
  {
    const char* name;
    std::function<void(IGraphics&)> draw;
    bool drawsSomething;
  };
  const Case cases[] = {
    {"empty text", [&](IGraphics& gr) { gr.DrawText(style, "", IRect(0, 0, 64, 48)); }, false},
    {"null text", [&](IGraphics& gr) { gr.DrawText(style, nullptr, IRect(0, 0, 64, 48)); }, false},
    {"text at a NaN position", [&](IGraphics& gr) { gr.DrawText(style, "abc", IRect(NAN, 0, 64, 48)); }, false},
    {"text of NaN size", [&](IGraphics& gr) { gr.DrawText(ITextStyle(NAN), "abc", IRect(0, 0, 64, 48)); }, false},
    {"a very long text", [&](IGraphics& gr) { gr.DrawText(style, longText.c_str(), IRect(0, 0, 64, 48)); }, true},
    {"text of broken UTF-8", [&](IGraphics& gr) { gr.DrawText(style, "\xff\xfe\xc3", IRect(0, 0, 64, 48)); }, true},
    {"a path through NaN",
     [](IGraphics& gr) {
       gr.PathMoveTo(4, 4);
       gr.PathLineTo(NAN, 30);
       gr.PathLineTo(40, 40);
       gr.PathClose();
       gr.PathFill(IFillPattern(kColorRed));
     },
     false},
    {"a stroke through infinity",
     [](IGraphics& gr) {
       gr.PathMoveTo(4, 4);
       gr.PathLineTo(INFINITY, 30);
       gr.PathStroke(IFillPattern(kColorRed), 3.f);
     },
     false},
    {"an arc of NaN radius", [](IGraphics& gr) { gr.FillArc(kColorRed, 32, 24, NAN, 0, 90); }, false},
    {"a rectangle with a NaN corner", [](IGraphics& gr) { gr.FillRect(kColorRed, IRect(0, 0, NAN, 20)); }, false},
    {"a bitmap at a NaN place",
     [&](IGraphics& gr) {
       const IBitmapInfo bitmap = gr.LoadBitmap("blue.png", png.data(), int(png.size()));
       gr.DrawBitmap(bitmap, IRect(NAN, 0, 8, 8), 0, 0);
     },
     false},
    {"a dotted line to NaN",
     [](IGraphics& gr) { gr.DrawDottedLine(kColorRed, 0, 0, NAN, 10, nullptr, 1.f, 2.f); }, false},
    {"a dotted line of a billion dashes",
     [](IGraphics& gr) { gr.DrawDottedLine(kColorRed, 0, 0, 60, 10, nullptr, 1.f, 1e-8f); }, false},
    {"a dotted rectangle of NaN size",
     [](IGraphics& gr) { gr.DrawDottedRect(kColorRed, IRect(0, 0, NAN, 10), nullptr, 1.f, 2.f); }, false},
    {"a drop shadow of NaN blur",
     [](IGraphics& gr) { gr.DrawFastDropShadow(IRect(8, 8, 30, 30), IRect(0, 0, 64, 48), 2.f, 2.f, NAN); }, false},
    {"a radial gradient with a NaN stop offset",
     [](IGraphics& gr) {
       IFillPattern p;
       p.type = EPatternType::Radial;
       p.AddStop(kColorRed, NAN);
       p.AddStop(kColorBlue, 1.f);
       p.transform = ITransform(0.1, 0, 0, 0.1, -3, -2);
       gr.PathRect(IRect(0, 0, 64, 48));
       gr.PathFill(p);
     },
     false},
    // A grid is built only where it can be seen: bounds without end still draw the lines in view.
    {"a grid reaching to infinity",
     [](IGraphics& gr) { gr.DrawGrid(kColorRed, IRect(0, 0, INFINITY, INFINITY), 10.f, 10.f); }, true},
    {"a grid of huge bounds",
     [](IGraphics& gr) { gr.DrawGrid(kColorRed, IRect(0, 0, 1e30f, 1e30f), 3.f, 3.f); }, true},
    {"a grid beginning at minus infinity",
     [](IGraphics& gr) { gr.DrawGrid(kColorRed, IRect(-INFINITY, -INFINITY, 64, 48), 4.f, 4.f); }, false},
    {"a grid of infinite or NaN spacing",
     [](IGraphics& gr) { gr.DrawGrid(kColorRed, IRect(0, 0, 64, 48), INFINITY, NAN); }, false},
    {"a grid far outside the view",
     [](IGraphics& gr) { gr.DrawGrid(kColorRed, IRect(1e9f, 1e9f, 2e9f, 2e9f), 2.f, 2.f); }, false},
    {"a layer of no size",
     [](IGraphics& gr) {
       gr.StartLayer(nullptr, IRect(10, 10, 10, 10));
       gr.FillRect(kColorRed, IRect(0, 0, 64, 48));
       ILayerPtr layer = gr.EndLayer();
       RawBitmapData data;
       gr.GetLayerBitmapData(layer, data);
       gr.ApplyShadow(layer, data, IShadow());
     },
     false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Open();
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
    Frame(c.draw);
    EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()) > 0, c.drawsSomething);
    // Later drawing in the same editor is unharmed.
    Frame([](IGraphics& gr) { gr.FillRect(kColorGreen, IRect(50, 30, 60, 40)); });
    EXPECT_TRUE(PixelIs(55, 35, kGreen));
  }
}

} // namespace
} // namespace test
