#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "IBitmapInfo.h"
#include "IRect.h"
#include "IRectList.h"
#include "IStrokeStyle.h"
#include "ITextStyle.h"
#include "ITransform.h"

using namespace iplug::igraphics;

namespace {

// ---- IRect --------------------------------------------------------------------------------

TEST(IRect, ContainsPointIsHalfOpenAndEmptyContainsNothing)
{
  struct Case
  {
    IRect r;
    float x, y;
    bool inside;
  };
  const Case cases[] = {
    {IRect(), 0.f, 0.f, false},
    {IRect(0, 0, 10, 10), 0.f, 0.f, true},
    {IRect(0, 0, 10, 10), 9.9f, 9.9f, true},
    {IRect(0, 0, 10, 10), 10.f, 5.f, false},
    {IRect(0, 0, 10, 10), 5.f, 10.f, false},
    {IRect(0, 0, 10, 10), -0.01f, 5.f, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.r.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(IRect, ContainsRectNeedsBothNonEmpty)
{
  const IRect outer(0, 0, 10, 10);
  EXPECT_TRUE(outer.Contains(IRect(0, 0, 10, 10)));
  EXPECT_TRUE(outer.Contains(IRect(2, 2, 5, 5)));
  EXPECT_FALSE(outer.Contains(IRect(2, 2, 11, 5)));
  EXPECT_FALSE(outer.Contains(IRect()));
  EXPECT_FALSE(IRect().Contains(IRect()));
}

TEST(IRect, IntersectUnionGrown)
{
  const IRect a(0, 0, 10, 10);
  EXPECT_TRUE(a.Intersect(IRect(10, 0, 20, 10)).Empty()); // they only touch
  EXPECT_EQ(a.Intersect(IRect(5, -5, 15, 5)), IRect(5, 0, 10, 5));
  EXPECT_TRUE(a.Intersect(IRect()).Empty());
  EXPECT_TRUE(a.Intersect(IRect(20, 20, 30, 30)).Empty());

  EXPECT_EQ(a.Union(IRect()), a);
  EXPECT_EQ(IRect().Union(a), a);
  EXPECT_EQ(a.Union(IRect(5, -5, 15, 5)), IRect(0, -5, 15, 10));

  EXPECT_EQ(a.Grown(0.75f), IRect(-0.75f, -0.75f, 10.75f, 10.75f));
  EXPECT_FLOAT_EQ(a.MW(), 5.f);
  EXPECT_FLOAT_EQ(IRect(2, 4, 6, 12).MH(), 8.f);
}

TEST(IRect, PixelAlignedRoundsOutwardToPhysicalPixels)
{
  const IRect r = IRect(0.4f, 0.4f, 10.2f, 10.2f).PixelAligned(1.5f);
  EXPECT_FLOAT_EQ(r.L, 0.f);
  EXPECT_FLOAT_EQ(r.T, 0.f);
  EXPECT_NEAR(r.R, 32.f / 3.f, 1e-5);
  EXPECT_NEAR(r.B, 32.f / 3.f, 1e-5);

  // A broken scale leaves the rectangle alone instead of filling it with NaN.
  const IRect same = IRect(0.4f, 0.4f, 10.2f, 10.2f).PixelAligned(0.f);
  EXPECT_EQ(same, IRect(0.4f, 0.4f, 10.2f, 10.2f));
}

// ---- IRectList::Optimize ------------------------------------------------------------------

// Cell coverage of a list on an integer grid: counts how many rectangles cover each unit cell.
struct Raster
{
  static constexpr int kSize = 48;
  std::vector<int> cells = std::vector<int>(kSize * kSize, 0);

  explicit Raster(const IRectList& list)
  {
    for (int i = 0; i < list.Count(); ++i)
    {
      const IRect& r = list.Get(i);
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
          if (x >= r.L && x + 1 <= r.R && y >= r.T && y + 1 <= r.B)
            ++cells[static_cast<size_t>(y * kSize + x)];
    }
  }
  bool Covered(int i) const { return cells[static_cast<size_t>(i)] > 0; }
};

void ExpectSameAreaNoOverlap(const IRectList& before, const IRectList& after)
{
  const Raster a(before);
  const Raster b(after);
  for (int i = 0; i < Raster::kSize * Raster::kSize; ++i)
  {
    ASSERT_EQ(a.Covered(i), b.Covered(i)) << "cell " << i % Raster::kSize << "," << i / Raster::kSize;
    ASSERT_LE(b.cells[static_cast<size_t>(i)], 1) << "overlap at " << i % Raster::kSize << "," << i / Raster::kSize;
  }
  for (int i = 0; i < after.Count(); ++i)
    for (int j = i + 1; j < after.Count(); ++j)
    {
      const IRect& p = after.Get(i);
      const IRect& q = after.Get(j);
      const float w = std::min(p.R, q.R) - std::max(p.L, q.L);
      const float h = std::min(p.B, q.B) - std::max(p.T, q.T);
      ASSERT_FALSE(w > 0.f && h > 0.f) << "rectangles " << i << " and " << j << " overlap";
    }
}

IRectList ListOf(std::initializer_list<IRect> rects)
{
  IRectList list;
  for (const IRect& r : rects)
    list.Add(r);
  return list;
}

TEST(IRectListOptimize, ListedResults)
{
  struct Case
  {
    IRectList in;
    std::vector<IRect> out;
  };
  const Case cases[] = {
    {ListOf({IRect(0, 0, 10, 10), IRect(2, 2, 5, 5)}), {IRect(0, 0, 10, 10)}},
    {ListOf({IRect(2, 2, 5, 5), IRect(0, 0, 10, 10)}), {IRect(0, 0, 10, 10)}},
    {ListOf({IRect(0, 0, 10, 10), IRect(0, 10, 10, 20)}), {IRect(0, 0, 10, 20)}},
    {ListOf({IRect(0, 0, 10, 10), IRect(5, 0, 15, 10)}), {IRect(0, 0, 15, 10)}},
    // X strictly inside the tall one: its top part stays in place, its bottom part is appended.
    {ListOf({IRect(10, 0, 20, 100), IRect(0, 40, 30, 60)}),
     {IRect(10, 0, 20, 40), IRect(0, 40, 30, 60), IRect(10, 60, 20, 100)}},
  };
  for (const Case& c : cases)
  {
    IRectList list = c.in;
    list.Optimize();
    ASSERT_EQ(list.Count(), static_cast<int>(c.out.size()));
    for (int i = 0; i < list.Count(); ++i)
      EXPECT_EQ(list.Get(i), c.out[static_cast<size_t>(i)]) << "entry " << i;
  }
}

TEST(IRectListOptimize, CornerOverlapSplitsTheSmallerOne)
{
  IRectList list = ListOf({IRect(0, 0, 20, 20), IRect(10, 10, 25, 25)});
  const IRectList before = list;
  list.Optimize();
  ExpectSameAreaNoOverlap(before, list);
  EXPECT_EQ(list.Get(0), IRect(0, 0, 20, 20)); // the larger one is untouched
  EXPECT_EQ(list.Count(), 3);
}

TEST(IRectListOptimize, RandomSetsKeepTheirAreaAndLoseTheirOverlaps)
{
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> coord(0, Raster::kSize - 1);
  std::uniform_int_distribution<int> count(1, 12);
  for (int trial = 0; trial < 400; ++trial)
  {
    IRectList list;
    const int n = count(rng);
    for (int i = 0; i < n; ++i)
    {
      int x0 = coord(rng), x1 = coord(rng), y0 = coord(rng), y1 = coord(rng);
      if (x0 == x1 || y0 == y1)
        continue;
      list.Add(IRect(static_cast<float>(std::min(x0, x1)), static_cast<float>(std::min(y0, y1)),
                     static_cast<float>(std::max(x0, x1)), static_cast<float>(std::max(y0, y1))));
    }
    const IRectList before = list;
    list.Optimize();
    SCOPED_TRACE(trial);
    ExpectSameAreaNoOverlap(before, list);
    if (HasFatalFailure())
      return;
  }
}

TEST(IRectList, BoundsAndPixelAlign)
{
  IRectList list = ListOf({IRect(1.2f, 1.2f, 3.3f, 3.3f), IRect(5, 5, 6, 6)});
  EXPECT_EQ(list.Bounds(), IRect(1.2f, 1.2f, 6, 6));
  list.PixelAlign(1.f);
  EXPECT_EQ(list.Get(0), IRect(1, 1, 4, 4));
  EXPECT_TRUE(IRectList().Bounds().Empty());
}

// ---- Other value types --------------------------------------------------------------------

TEST(IBitmapInfo, LogicalSizeAndFrames)
{
  APIBitmap strip(1, 260, 15860, 2.f, 1.f); // 61 frames at 2x
  const IBitmapInfo knob(&strip, "KNOB.png", 61, false);
  EXPECT_EQ(knob.W(), 130);
  EXPECT_EQ(knob.H(), 7930);
  EXPECT_EQ(knob.FrameWidth(), 130);
  EXPECT_EQ(knob.FrameHeight(), 130);

  APIBitmap row(2, 301, 20, 1.f, 1.f);
  const IBitmapInfo horizontal(&row, "ROW.png", 3, true);
  EXPECT_EQ(horizontal.FrameWidth(), 100); // integer division
  EXPECT_EQ(horizontal.FrameHeight(), 20);

  const IBitmapInfo missing(nullptr, "GONE.png", 4, false);
  EXPECT_FALSE(missing.IsValid());
  EXPECT_EQ(missing.W(), 0);
  EXPECT_EQ(missing.H(), 0);
  EXPECT_EQ(missing.N(), 0);
  EXPECT_EQ(missing.FrameWidth(), 0);
}

TEST(ITransform, OperationsComposeInLocalCoordinates)
{
  // Translate then scale: the scale acts about the translated origin.
  ITransform t;
  t.Translate(10, 20).Scale(2, 3);
  double x = 1, y = 1;
  t.TransformPoint(x, y);
  EXPECT_DOUBLE_EQ(x, 12.0);
  EXPECT_DOUBLE_EQ(y, 23.0);

  // 90 degrees clockwise on screen (y down): right becomes down.
  ITransform r;
  r.Rotate(90);
  x = 1;
  y = 0;
  r.TransformPoint(x, y);
  EXPECT_NEAR(x, 0.0, 1e-12);
  EXPECT_NEAR(y, 1.0, 1e-12);

  ITransform inv = t.Inverted();
  x = 12;
  y = 23;
  inv.TransformPoint(x, y);
  EXPECT_NEAR(x, 1.0, 1e-12);
  EXPECT_NEAR(y, 1.0, 1e-12);
  EXPECT_EQ(ITransform(0, 0, 0, 0, 1, 1).Inverted(), ITransform());
}

TEST(ValueTypes, Defaults)
{
  const ITextStyle text;
  EXPECT_STREQ(text.font, "Roboto-Regular");
  EXPECT_FLOAT_EQ(text.size, 14.f);
  EXPECT_EQ(text.fgColor, kColorBlack);
  EXPECT_EQ(text.textEntryBGColor, kColorWhite);
  EXPECT_EQ(text.textEntryFGColor, kColorBlack);
  EXPECT_EQ(text.align, EAlign::Center);
  EXPECT_EQ(text.valign, EVAlign::Middle);

  ITextStyle longName;
  longName.SetFont(std::string(200, 'x').c_str());
  EXPECT_EQ(std::strlen(longName.font), static_cast<size_t>(ITextStyle::kFontNameSize - 1));

  const IStrokeStyle stroke;
  EXPECT_FLOAT_EQ(stroke.miterLimit, 10.f);
  EXPECT_EQ(stroke.cap, ELineCap::Butt);
  EXPECT_EQ(stroke.join, ELineJoin::Miter);
  EXPECT_EQ(stroke.dash.count, 0);
  EXPECT_FALSE(stroke.preserve);
}

} // namespace
