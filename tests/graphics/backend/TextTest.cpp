// Text through the back end in the editor's font, and the process-wide font cache.
#include "BackendFixture.h"

#include <cmath>

using namespace iplug::igraphics;

namespace test {
namespace {

class TextTest : public BackendFixture
{
protected:
  void SetUp() override
  {
    BackendFixture::SetUp();
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  }

  // Every pixel with ink lies inside the box (grown outward to whole physical pixels), and there
  // is ink. Returns the inked pixels' bounding box in physical pixels.
  ::testing::AssertionResult InkInside(const IRect& box, IRect* inkBox = nullptr) const
  {
    const float k = g->GetBackingPixelScale();
    const int x0 = int(std::floor(box.L * k)), y0 = int(std::floor(box.T * k));
    const int x1 = int(std::ceil(box.R * k)), y1 = int(std::ceil(box.B * k));
    int ink = 0;
    IRect found(1e9f, 1e9f, -1e9f, -1e9f);
    for (int y = 0; y < PhysicalHeight(); ++y)
    {
      for (int x = 0; x < PhysicalWidth(); ++x)
      {
        if (At(x, y)[3] == 0)
          continue;
        ++ink;
        found = IRect(std::min(found.L, float(x)), std::min(found.T, float(y)), std::max(found.R, float(x + 1)),
                      std::max(found.B, float(y + 1)));
        if (x < x0 || x >= x1 || y < y0 || y >= y1)
          return ::testing::AssertionFailure() << "ink at (" << x << ", " << y << ") outside [" << x0 << ", " << x1
                                               << ") × [" << y0 << ", " << y1 << ")";
      }
    }
    if (ink == 0)
      return ::testing::AssertionFailure() << "no ink at all";
    if (inkBox)
      *inkBox = found;
    return ::testing::AssertionSuccess();
  }
};

TEST_F(TextTest, InkStaysInsideTheMeasuredBounds)
{
  struct Case
  {
    const char* name;
    EAlign align;
    EVAlign valign;
    float angle;
    float screenScale;
  };
  const Case cases[] = {
    {"near, top", EAlign::Near, EVAlign::Top, 0.f, 1.f},
    {"centre, middle", EAlign::Center, EVAlign::Middle, 0.f, 1.f},
    {"far, bottom", EAlign::Far, EVAlign::Bottom, 0.f, 1.f},
    {"centre, middle, screen scale 2", EAlign::Center, EVAlign::Middle, 0.f, 2.f},
    {"turned a quarter", EAlign::Center, EVAlign::Middle, 90.f, 1.f},
    {"turned 30 degrees, near, top", EAlign::Near, EVAlign::Top, 30.f, 1.f},
  };
  const IRect bounds(6, 4, 58, 44);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Open(1.f, c.screenScale);
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
    const ITextStyle style(13.f, kColorBlack, "Roboto-Regular", c.align, c.valign, c.angle);
    IRect measured = bounds;
    const float width = g->MeasureText(style, "Hxgy", measured);
    EXPECT_GT(width, 20.f);
    EXPECT_LT(width, 40.f);
    Frame([&](IGraphics& gr) { gr.DrawText(style, "Hxgy", bounds); });
    IRect ink;
    EXPECT_TRUE(InkInside(measured, &ink));

    // The measured box sits in the bounds as the alignment asks.
    if (c.align == EAlign::Near)
    {
      EXPECT_NEAR(measured.L, bounds.L, 1.5f);
    }
    else if (c.align == EAlign::Far)
    {
      EXPECT_NEAR(measured.R, bounds.R, 1.5f);
    }
    else
    {
      EXPECT_NEAR(measured.MW(), bounds.MW(), 1.f);
    }
    if (c.valign == EVAlign::Top)
    {
      EXPECT_NEAR(measured.T, bounds.T, 1.f);
    }
    else if (c.valign == EVAlign::Bottom)
    {
      EXPECT_NEAR(measured.B, bounds.B, 1.f);
    }
    if (c.angle == 90.f)
    {
      EXPECT_GT(ink.H(), ink.W() * 1.5f); // standing on its side
    }
    else if (c.angle == 0.f)
    {
      EXPECT_GT(ink.W(), ink.H());
      // The box is no wider than the ink and its margin of a pixel or so.
      const float k = c.screenScale;
      EXPECT_NEAR(ink.L / k, measured.L, 2.f);
      EXPECT_NEAR(ink.R / k, measured.R, 2.f);
    }
  }
}

TEST_F(TextTest, ColourAndBlendWeight)
{
  const ITextStyle style(30.f, kColorRed, "Roboto-Regular", EAlign::Center, EVAlign::Middle);
  const IBlendInfo half(kBlendDefault, 0.5f);
  Frame([&](IGraphics& gr) {
    gr.DrawText(style, "I", IRect(0, 0, 32, 48));
    gr.DrawText(style, "I", IRect(32, 0, 64, 48), &half);
  });
  // The stem of the I is a few pixels wide: its middle is solid ink.
  int best = 0, bestHalf = 0;
  for (int x = 0; x < 32; ++x)
  {
    best = std::max(best, At(x, 24)[3]);
    bestHalf = std::max(bestHalf, At(x + 32, 24)[3]);
  }
  EXPECT_GT(best, 250);
  EXPECT_NEAR(bestHalf, 128, 4);
  EXPECT_EQ(At(16, 24)[1], 0);  // red only
}

TEST_F(TextTest, UnknownFontDrawsNothingAndMeasuresNothing)
{
  const ITextStyle style(14.f, kColorBlack, "No Such Font");
  IRect r(4, 4, 60, 40);
  EXPECT_EQ(g->MeasureText(style, "abc", r), 0.f);
  Frame([&](IGraphics& gr) { gr.DrawText(style, "abc", IRect(4, 4, 60, 40)); });
  EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 0);
}

TEST_F(TextTest, FontBytesAreSharedBetweenEditorsAndDroppedWithTheLast)
{
  // This test owns the process's editors: the fixture's one goes first.
  g->OnViewDestroyed();
  g.reset();
  MemoryFont::fontDataRequests = 0;

  auto first = MakeGraphics();
  ASSERT_TRUE(first->LoadFont("Roboto-Regular", kRobotoPath));
  EXPECT_EQ(MemoryFont::fontDataRequests, 1);

  // The second editor registers the font from the cache, without asking the platform font for
  // its bytes, and draws with it.
  g = MakeGraphics();
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  EXPECT_EQ(MemoryFont::fontDataRequests, 1);
  Frame([](IGraphics& gr) { gr.DrawText(ITextStyle(14.f), "Hello", IRect(0, 0, 64, 48)); });
  EXPECT_GT(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 1000);

  // One editor closing keeps the cache for the other.
  first->OnViewDestroyed();
  first.reset();
  auto third = MakeGraphics();
  ASSERT_TRUE(third->LoadFont("Roboto-Regular", kRobotoPath));
  EXPECT_EQ(MemoryFont::fontDataRequests, 1);
  third->OnViewDestroyed();
  third.reset();

  // With the last editor gone the cache is empty: the next editor reads the font again.
  g->OnViewDestroyed();
  g.reset();
  g = MakeGraphics();
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  EXPECT_EQ(MemoryFont::fontDataRequests, 2);
}

} // namespace
} // namespace test
