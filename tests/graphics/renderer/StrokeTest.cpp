#include "RendererFixture.h"

#include <cmath>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

constexpr RGBA kBlack{0, 0, 0, 255};
constexpr RGBA kNone{0, 0, 0, 0};

class StrokeTest : public RendererFixture
{
protected:
  void Opaque(int x, int y, bool expected)
  {
    const int a = At(x, y)[3];
    if (expected)
      EXPECT_GE(a, 230) << "pixel (" << x << ", " << y << ") should be inked";
    else
      EXPECT_LE(a, 25) << "pixel (" << x << ", " << y << ") should be empty";
  }
};

TEST_F(StrokeTest, LineCaps)
{
  struct Case
  {
    const char* name;
    LineCap cap;
    bool justBeyondEnd, beyondCorner;
  };
  // A horizontal line (16, 32)–(48, 32), 8 wide. Just beyond its start on the centre line (pixel
  // 14) only round and square caps reach; the corner of the square cap (pixel (12, 28), 4.9 from
  // the end point) only the square one.
  const Case cases[] = {
    {"butt", LineCap::Butt, false, false},
    {"round", LineCap::Round, true, false},
    {"square", LineCap::Square, true, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Begin();
    ctx->BeginPath();
    ctx->MoveTo(16, 32);
    ctx->LineTo(48, 32);
    ctx->SetStrokeWidth(8);
    ctx->SetLineCap(c.cap);
    ctx->Stroke();
    End();
    Opaque(16, 29, true);
    Opaque(16, 34, true);
    Opaque(30, 28, true);
    Opaque(30, 27, false);
    Opaque(30, 36, false);
    Opaque(15, 32, c.justBeyondEnd);
    Opaque(49, 32, c.justBeyondEnd);
    Opaque(12, 28, c.beyondCorner);
    Opaque(51, 35, c.beyondCorner);
    Opaque(10, 32, false);
  }
}

TEST_F(StrokeTest, LineJoins)
{
  struct Case
  {
    const char* name;
    LineJoin join;
    float miterLimit;
    bool farTip, nearTip;
  };
  // A peak (16, 48)–(32, 16)–(48, 48), 8 wide. The miter's tip reaches 8.9 above the corner
  // (y 7.1), a round join 4 (y 12), a bevel 1.8 (y 14.2). Pixel (32, 9) lies only inside a miter,
  // pixel (32, 13) (centre 13.5) inside a miter and a round join.
  const Case cases[] = {
    {"miter", LineJoin::Miter, 10.f, true, true},
    {"miter over its limit falls back to bevel", LineJoin::Miter, 2.f, false, false},
    {"round", LineJoin::Round, 10.f, false, true},
    {"bevel", LineJoin::Bevel, 10.f, false, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Begin();
    ctx->BeginPath();
    ctx->MoveTo(16, 48);
    ctx->LineTo(32, 16);
    ctx->LineTo(48, 48);
    ctx->SetStrokeWidth(8);
    ctx->SetLineJoin(c.join);
    ctx->SetMiterLimit(c.miterLimit);
    ctx->Stroke();
    End();
    Opaque(32, 9, c.farTip);
    Opaque(32, 13, c.nearTip);
    Opaque(32, 15, true);
    Opaque(32, 24, true); // the inner corner, where the inner edges meet 8.9 below the peak
    Opaque(32, 27, false);
    Opaque(24, 32, true);
  }
}

TEST_F(StrokeTest, ClosedOutlineJoinsAllCorners)
{
  Begin();
  ctx->BeginPath();
  ctx->Rect(16, 16, 32, 32);
  ctx->SetStrokeWidth(4);
  ctx->SetStrokeColor(Color::FromRGBA8(0, 0, 0));
  ctx->Stroke();
  End();
  // 4 wide centred on the edges: rows and columns 14–17 at the top left, the corners mitred square.
  EXPECT_TRUE(BlockIs(12, 12, {"......", "......", "..####", "..####", "..####", "..####", "..####"}, kBlack));
  EXPECT_TRUE(PixelIs(46, 14, kBlack));
  EXPECT_TRUE(PixelIs(49, 49, kBlack));
  EXPECT_TRUE(PixelIs(32, 32, kNone));
  EXPECT_TRUE(PixelIs(32, 18, kNone));
}

TEST_F(StrokeTest, WidthFollowsTheTransformAndHairlinesFade)
{
  Begin();
  ctx->Save();
  ctx->Scale(2, 2);
  ctx->BeginPath();
  ctx->MoveTo(4, 8);
  ctx->LineTo(28, 8); // device y 16, width 2 × 2 = 4: rows 14–17
  ctx->SetStrokeWidth(2);
  ctx->Stroke();
  ctx->Restore();
  ctx->BeginPath();
  ctx->MoveTo(8, 40.5f);
  ctx->LineTo(56, 40.5f);
  ctx->SetStrokeWidth(0.5f); // half a pixel: drawn one pixel wide at half strength
  ctx->Stroke();
  End();
  EXPECT_TRUE(BlockIs(30, 13, {"..", "##", "##", "##", "##", ".."}, kBlack));
  const int a = At(30, 40)[3];
  EXPECT_NEAR(a, 128, 20);
  EXPECT_LE(At(30, 39)[3] + At(30, 41)[3], 20);
}

TEST_F(StrokeTest, TranslucentStrokeCoversEachPixelOnce)
{
  // A straight polyline with many points along it must not darken where its pieces meet.
  Begin();
  ctx->BeginPath();
  ctx->MoveTo(8, 32);
  for (int x = 12; x <= 56; x += 4)
    ctx->LineTo(float(x), 32);
  ctx->SetStrokeWidth(6);
  ctx->SetStrokeColor(Color::FromRGBA8(0, 0, 0, 128));
  ctx->Stroke();
  End();
  for (int x = 10; x < 54; ++x)
    ASSERT_NEAR(At(x, 31)[3], 128, 3) << "x " << x;
}

} // namespace
} // namespace test
