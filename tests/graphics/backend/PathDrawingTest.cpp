// Paths through the back end on real GL: fills, non-zero winding, strokes with every cap and
// join, arcs, gradients, blend types, dotted lines and the drop shadow.
#include "BackendFixture.h"

#include <cmath>

using namespace iplug::igraphics;

namespace test {
namespace {

using PathDrawingTest = BackendFixture;

// A pattern whose gradient runs from (x0, y0) to (x1, y1): its transform maps that segment onto
// (0, 0) … (0, 1) of the gradient's own space.
IFillPattern LinearPattern(float x0, float y0, float x1, float y1, const IColor& c0, const IColor& c1)
{
  IFillPattern p;
  p.type = EPatternType::Linear;
  p.AddStop(c0, 0.f);
  p.AddStop(IColor(255, 0, 255, 0), 0.5f); // a middle stop, which the back end passes over
  p.AddStop(c1, 1.f);
  const double dx = x1 - x0, dy = y1 - y0;
  p.transform = ITransform(-dy, dx, dx, dy, x0, y0).Inverted();
  return p;
}

// A radial pattern of radius r around (cx, cy), the inner colour held out to offset × r.
IFillPattern RadialPattern(float cx, float cy, float r, float offset, const IColor& c0, const IColor& c1)
{
  IFillPattern p;
  p.type = EPatternType::Radial;
  p.AddStop(c0, offset);
  p.AddStop(c1, 1.f);
  p.transform = ITransform(r, 0, 0, r, cx, cy).Inverted();
  return p;
}

TEST_F(PathDrawingTest, FilledRectangleLandsOnItsPixels)
{
  Frame([](IGraphics& gr) { gr.FillRect(kColorRed, IRect(10, 10, 14, 13)); });
  EXPECT_TRUE(BlockIs(9, 9,
                      {
                        "......",
                        ".####.",
                        ".####.",
                        ".####.",
                        "......",
                      },
                      kRed));
  // Half a pixel over an edge covers half of that pixel.
  Frame([](IGraphics& gr) { gr.FillRect(kColorBlue, IRect(30.5f, 30, 34, 32)); });
  EXPECT_TRUE(PixelIs(30, 31, RGBA(0, 0, 128, 128), 4));
  EXPECT_TRUE(PixelIs(31, 31, kBlue));
}

TEST_F(PathDrawingTest, ZoomAndScreenScaleMultiplyIntoPhysicalPixels)
{
  struct Case
  {
    float drawScale, screenScale;
  };
  for (const Case c : {Case{1.f, 2.f}, Case{2.f, 1.f}, Case{1.5f, 2.f}})
  {
    SCOPED_TRACE(::testing::Message() << "zoom " << c.drawScale << ", screen " << c.screenScale);
    Open(c.drawScale, c.screenScale);
    const float k = c.drawScale * c.screenScale;
    Frame([](IGraphics& gr) { gr.FillRect(kColorGreen, IRect(10, 10, 20, 20)); });
    EXPECT_TRUE(PixelIs(int(10 * k), int(10 * k), kGreen));
    EXPECT_TRUE(PixelIs(int(20 * k) - 1, int(20 * k) - 1, kGreen));
    EXPECT_TRUE(PixelIs(int(10 * k) - 1, int(15 * k), kClear));
    EXPECT_TRUE(PixelIs(int(20 * k), int(15 * k), kClear));
  }
}

TEST_F(PathDrawingTest, StarsFillByNonZeroWinding)
{
  // A pentagram crosses itself: its centre is wound twice and still filled. The ten-point star
  // is concave: the notches between its points stay empty.
  Frame([](IGraphics& gr) {
    const float cx = 16, cy = 24, r = 14;
    for (int i = 0; i < 5; ++i)
    {
      const float a = float(i) * 4.f * 3.14159265f / 5.f - 3.14159265f / 2.f;
      const float x = cx + r * std::cos(a), y = cy + r * std::sin(a);
      if (i == 0)
        gr.PathMoveTo(x, y);
      else
        gr.PathLineTo(x, y);
    }
    gr.PathClose();
    gr.PathFill(IFillPattern(kColorRed));

    const float cx2 = 48, cy2 = 24;
    for (int i = 0; i < 10; ++i)
    {
      const float a = float(i) * 3.14159265f / 5.f - 3.14159265f / 2.f;
      const float rr = (i % 2) ? 5.f : 14.f;
      const float x = cx2 + rr * std::cos(a), y = cy2 + rr * std::sin(a);
      if (i == 0)
        gr.PathMoveTo(x, y);
      else
        gr.PathLineTo(x, y);
    }
    gr.PathClose();
    gr.PathFill(IFillPattern(kColorBlue));
  });
  EXPECT_TRUE(PixelIs(16, 24, kRed));     // the pentagram's twice-wound centre
  EXPECT_TRUE(PixelIs(16, 12, kRed));     // its top point
  EXPECT_TRUE(PixelIs(6, 14, kClear));    // between the top and the left point
  EXPECT_TRUE(PixelIs(48, 24, kBlue));    // the star's body
  EXPECT_TRUE(PixelIs(48, 12, kBlue));    // its top point
  EXPECT_TRUE(PixelIs(43, 15, kClear));   // a notch between two points
}

TEST_F(PathDrawingTest, StrokeCapsAndJoins)
{
  struct Case
  {
    const char* name;
    ELineCap cap;
    ELineJoin join;
    bool beyondEnd;   // ink two pixels past the line's end (square and round caps)
    bool capCorner;   // ink in the corner of the cap's square (square cap only)
    bool joinInside;  // ink at (42, 42): inside the round join, cut off by the bevel
    bool joinCorner;  // ink at (43, 43): only the miter reaches the corner
  };
  const Case cases[] = {
    {"butt, miter", ELineCap::Butt, ELineJoin::Miter, false, false, true, true},
    {"square, bevel", ELineCap::Square, ELineJoin::Bevel, true, true, false, false},
    {"round, round", ELineCap::Round, ELineJoin::Round, true, false, true, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Open(); // the main framebuffer keeps what earlier frames drew
    Frame([&c](IGraphics& gr) {
      IStrokeStyle style;
      style.cap = c.cap;
      style.join = c.join;
      // A polyline: right along y = 40, then a right angle up along x = 40, 8 pixels wide.
      gr.PathMoveTo(10, 40);
      gr.PathLineTo(40, 40);
      gr.PathLineTo(40, 10);
      gr.PathStroke(IFillPattern(kColorBlack), 8.f, style);
    });
    EXPECT_TRUE(PixelIs(20, 38, kBlack));
    EXPECT_TRUE(PixelIs(38, 20, kBlack));
    // The cap at the start, (10, 40): two pixels to its left, on the line and near its edge.
    EXPECT_EQ(At(8, 40)[3] > 200, c.beyondEnd);
    EXPECT_EQ(At(7, 43)[3] > 200, c.capCorner);
    EXPECT_EQ(At(42, 42)[3] > 200, c.joinInside);
    EXPECT_EQ(At(43, 43)[3] > 200, c.joinCorner);
    // Nothing far outside.
    EXPECT_TRUE(PixelIs(2, 40, kClear));
    EXPECT_TRUE(PixelIs(46, 46, kClear));
  }
}

TEST_F(PathDrawingTest, QuarterPieFromTwelveToThreeOClock)
{
  Frame([](IGraphics& gr) { gr.FillArc(kColorRed, 32, 24, 20, 0, 90); });
  EXPECT_TRUE(PixelIs(40, 16, kRed));    // up and right of the centre
  EXPECT_TRUE(PixelIs(33, 6, kRed));     // just right of 12 o'clock
  EXPECT_TRUE(PixelIs(50, 22, kRed));    // just above 3 o'clock
  EXPECT_TRUE(PixelIs(24, 16, kClear));  // up and left
  EXPECT_TRUE(PixelIs(40, 32, kClear));  // down and right
  EXPECT_TRUE(PixelIs(47, 9, kClear));   // outside the radius on the diagonal
}

TEST_F(PathDrawingTest, LinearGradientRunsBetweenFirstAndLastStop)
{
  Frame([](IGraphics& gr) {
    gr.PathRect(IRect(0, 0, 64, 20));
    gr.PathFill(LinearPattern(8, 0, 56, 0, kColorBlack, kColorWhite));
  });
  EXPECT_TRUE(PixelIs(2, 10, kBlack, 3));            // before the start: the first colour
  EXPECT_TRUE(PixelIs(62, 10, kWhite, 3));           // after the end: the last colour
  EXPECT_TRUE(PixelIs(31, 10, RGBA(123, 123, 123, 255), 6)); // halfway, grey (the middle stop is ignored)
  EXPECT_LT(At(20, 10)[0], At(40, 10)[0]);
  EXPECT_EQ(At(20, 2)[0], At(20, 18)[0]);            // constant across the gradient's direction
}

TEST_F(PathDrawingTest, RadialGradientHoldsTheInnerColourToItsOffset)
{
  Frame([](IGraphics& gr) {
    gr.PathRect(IRect(0, 0, 64, 48));
    gr.PathFill(RadialPattern(32, 24, 20, 0.25f, kColorRed, IColor(255, 0, 0, 255)));
  });
  EXPECT_TRUE(PixelIs(32, 24, kRed, 3));
  EXPECT_TRUE(PixelIs(35, 24, kRed, 3));             // inside 0.25 × 20
  EXPECT_TRUE(PixelIs(32 + 21, 24, kBlue, 3));       // beyond the radius
  EXPECT_TRUE(PixelIs(2, 2, kBlue, 3));
  const RGBA mid = At(32 + 12, 24);                  // between 5 and 20: a mix
  EXPECT_GT(mid[0], 40);
  EXPECT_GT(mid[2], 40);
}

TEST_F(PathDrawingTest, BlendTypesZeroAndOne)
{
  // Blue on the left half, opaque; then a red square across both halves: type 0 lays it over
  // everything, type 1 keeps it only where something was already drawn (source × destination
  // alpha, destination dropped).
  struct Case
  {
    int type;
    float weight;
    RGBA overBlue, overNothing;
  };
  const Case cases[] = {
    {0, 1.f, kRed, kRed},
    {0, 0.5f, RGBA(128, 0, 127, 255), RGBA(128, 0, 0, 128)},
    {1, 1.f, kRed, kClear},
    {1, 0.5f, RGBA(128, 0, 0, 128), kClear},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << ", weight " << c.weight);
    Open();
    Frame([&c](IGraphics& gr) {
      gr.FillRect(kColorBlue, IRect(0, 0, 32, 48));
      const IBlendInfo blend(EBlend(c.type), c.weight);
      gr.FillRect(kColorRed, IRect(16, 10, 48, 30), &blend);
    });
    EXPECT_TRUE(PixelIs(24, 20, c.overBlue, 4));
    EXPECT_TRUE(PixelIs(40, 20, c.overNothing, 4));
    EXPECT_TRUE(PixelIs(8, 20, kBlue));  // untouched by the square
    EXPECT_TRUE(PixelIs(56, 20, kClear));
  }
}

TEST_F(PathDrawingTest, FillRuleAndPreservedPaths)
{
  // Even-odd marks the last sub-path as a hole; a preserved path is stroked after its fill.
  Frame([](IGraphics& gr) {
    gr.PathRect(IRect(4, 4, 28, 28));
    gr.PathRect(IRect(10, 10, 22, 22));
    IFillStyle evenOdd;
    evenOdd.rule = EFillRule::EvenOdd;
    gr.PathFill(IFillPattern(kColorRed), evenOdd);

    gr.PathRect(IRect(36, 10, 56, 30));
    IFillStyle keep;
    keep.preserve = true;
    gr.PathFill(IFillPattern(kColorBlue), keep);
    gr.PathStroke(IFillPattern(kColorGreen), 2.f);
  });
  EXPECT_TRUE(PixelIs(6, 16, kRed));
  EXPECT_TRUE(PixelIs(16, 16, kClear));
  EXPECT_TRUE(PixelIs(46, 20, kBlue));
  EXPECT_TRUE(PixelIs(36, 20, kGreen));  // the stroke on the rectangle's left edge
}

TEST_F(PathDrawingTest, QuadraticCurvesStartAtTheCurrentPoint)
{
  // A closed quadratic hump above a baseline: its apex reaches half way to the control point.
  Frame([](IGraphics& gr) {
    gr.PathMoveTo(8, 40);
    gr.PathQuadraticBezierTo(32, 0, 56, 40);
    gr.PathClose();
    gr.PathFill(IFillPattern(kColorRed));
  });
  EXPECT_TRUE(PixelIs(32, 22, kRed));
  EXPECT_TRUE(PixelIs(32, 18, kClear));
  EXPECT_TRUE(PixelIs(12, 30, kClear));
}

// Runs of ink along a row of pixels.
int InkRuns(int y, int x0, int x1, const std::function<RGBA(int, int)>& at)
{
  int runs = 0;
  bool inside = false;
  for (int x = x0; x < x1; ++x)
  {
    const bool ink = at(x, y)[3] > 128;
    if (ink && !inside)
      ++runs;
    inside = ink;
  }
  return runs;
}

TEST_F(PathDrawingTest, DottedLineCounts)
{
  struct Case
  {
    const char* name;
    float x2;
    float dash;
    int dashes;
  };
  const Case cases[] = {
    {"40 pixels of dash 4: n = 10, five dashes", 44.f, 4.f, 5},
    {"41 pixels of dash 4: n = 10 still", 45.f, 4.f, 5},
    {"exactly two dash lengths: one dash from the start", 12.f, 4.f, 1},
    {"shorter than one and a half dashes: nothing", 9.5f, 4.f, 0},
    {"dash of zero: nothing", 44.f, 0.f, 0},
    {"negative dash: nothing", 44.f, -3.f, 0},
    {"not-a-number dash: nothing", 44.f, NAN, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Open();
    Frame([&c](IGraphics& gr) { gr.DrawDottedLine(kColorBlack, 4, 20.5f, c.x2, 20.5f, nullptr, 1.f, c.dash); });
    EXPECT_EQ(InkRuns(20, 0, 64, [this](int x, int y) { return At(x, y); }), c.dashes);
  }
  // The one dash over two dash lengths covers the first half of the line.
  Open();
  Frame([](IGraphics& gr) { gr.DrawDottedLine(kColorBlack, 4, 20.5f, 12, 20.5f, nullptr, 1.f, 4.f); });
  EXPECT_TRUE(PixelIs(4, 20, kBlack));
  EXPECT_TRUE(PixelIs(7, 20, kBlack));
  EXPECT_TRUE(PixelIs(9, 20, kClear));
}

TEST_F(PathDrawingTest, DottedRectDashesEveryEdgeFromItsCorner)
{
  // 40 × 24 with dash 4: five dash periods on the horizontal edges, three on the vertical ones.
  Frame([](IGraphics& gr) { gr.DrawDottedRect(kColorBlack, IRect(10.5f, 10.5f, 50.5f, 34.5f), nullptr, 1.f, 4.f); });
  const auto at = [this](int x, int y) { return At(x, y); };
  EXPECT_EQ(InkRuns(10, 12, 49, at), 5);  // the top edge's dashes
  EXPECT_TRUE(PixelIs(11, 10, kBlack));                 // starting at the top-left corner
  EXPECT_TRUE(PixelIs(30, 22, kClear));                 // nothing inside
  // The vertical edges: three dashes each, counted down the column.
  int runs = 0;
  bool inside = false;
  for (int y = 12; y < 33; ++y)
  {
    const bool ink = At(50, y)[3] > 128;
    runs += ink && !inside;
    inside = ink;
  }
  EXPECT_EQ(runs, 3);
  Open();
  Frame([](IGraphics& gr) { gr.DrawDottedRect(kColorBlack, IRect(10, 10, 50, 34), nullptr, 1.f, 0.f); });
  EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 0);
}

TEST_F(PathDrawingTest, FastDropShadowIsAFeatheredBoxBehindTheOffsetBounds)
{
  const IRect inner(16, 12, 40, 32);
  Frame([&inner](IGraphics& gr) { gr.DrawFastDropShadow(inner, IRect(0, 0, 64, 48), 4.f, 2.f, 4.f); });
  // Deep inside the moved box: black at alpha 128; well outside it: nothing.
  EXPECT_TRUE(PixelIs(31, 25, RGBA(0, 0, 0, 128), 3));
  EXPECT_TRUE(PixelIs(4, 4, kClear));
  EXPECT_TRUE(PixelIs(60, 44, kClear, 2));
  // The box is moved right and down: below-right of the bounds is darker than above-left.
  EXPECT_GT(At(41, 33)[3], At(14, 10)[3] + 20);
  // A blend weight scales the shadow's darkness.
  Open();
  const IBlendInfo half(kBlendDefault, 0.5f);
  Frame([&inner, &half](IGraphics& gr) { gr.DrawFastDropShadow(inner, IRect(0, 0, 64, 48), 4.f, 2.f, 4.f, &half); });
  EXPECT_TRUE(PixelIs(31, 25, RGBA(0, 0, 0, 64), 3));
}

TEST_F(PathDrawingTest, GetPointIsAlwaysOpaqueBlack)
{
  Frame([](IGraphics& gr) { gr.FillRect(kColorWhite, IRect(0, 0, 64, 48)); });
  EXPECT_EQ(g->GetPoint(10, 10), kColorBlack);
  EXPECT_EQ(g->GetPoint(-5, 1000), kColorBlack);
  EXPECT_STREQ(g->GetDrawingAPIString(), "VectorGL | GL2");
}

} // namespace
} // namespace test
