#include "RendererFixture.h"

#include <cmath>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

constexpr RGBA kRed{255, 0, 0, 255};
constexpr RGBA kBlue{0, 0, 255, 255};
constexpr RGBA kNone{0, 0, 0, 0};
constexpr float kPi = 3.14159265f;

class FillTest : public RendererFixture
{
protected:
  void FillRed()
  {
    ctx->SetFillColor(Color::FromRGBA8(255, 0, 0));
    ctx->Fill();
  }

  // A five-pointed star drawn as one self-crossing line, centred at (32, 32): its middle pentagon
  // has winding number 2.
  void Star(float radius)
  {
    ctx->BeginPath();
    for (int i = 0; i < 5; ++i)
    {
      const float a = -kPi / 2 + float(i) * 4.f * kPi / 5.f;
      const float x = 32 + radius * std::cos(a), y = 32 + radius * std::sin(a);
      i == 0 ? ctx->MoveTo(x, y) : ctx->LineTo(x, y);
    }
    ctx->ClosePath();
  }
};

TEST_F(FillTest, RectangleOnPixelEdgesIsExact)
{
  Begin();
  ctx->BeginPath();
  ctx->Rect(8, 8, 6, 4);
  FillRed();
  End();
  EXPECT_TRUE(BlockIs(7, 7,
                      {
                        "........",
                        ".######.",
                        ".######.",
                        ".######.",
                        ".######.",
                        "........",
                      },
                      kRed));
}

TEST_F(FillTest, EdgesBetweenPixelsAreAntiAliasedByCoverage)
{
  Begin();
  ctx->BeginPath();
  ctx->Rect(8.5f, 8, 4, 4); // left and right edges through pixel centres
  FillRed();
  ctx->BeginPath();
  ctx->Rect(20.25f, 8, 4, 4); // a quarter into pixel 20, three quarters into pixel 24
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(8, 10, {128, 0, 0, 128}, 8));
  EXPECT_TRUE(PixelIs(10, 10, kRed));
  EXPECT_TRUE(PixelIs(12, 10, {128, 0, 0, 128}, 8));
  EXPECT_TRUE(PixelIs(13, 10, kNone));
  EXPECT_TRUE(PixelIs(20, 10, {191, 0, 0, 191}, 10));
  EXPECT_TRUE(PixelIs(24, 10, {64, 0, 0, 64}, 10));
}

TEST_F(FillTest, ConcaveSelfCrossingStarFillsByNonZeroWinding)
{
  Begin();
  Star(28);
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(32, 32, kRed)) << "the centre has winding 2 and is filled";
  EXPECT_TRUE(PixelIs(32, 8, kRed)) << "top point";
  EXPECT_TRUE(PixelIs(32, 52, kNone)) << "notch between the two lower points";
  EXPECT_TRUE(PixelIs(10, 50, kNone)) << "outside, between points";
  EXPECT_TRUE(PixelIs(2, 2, kNone));
}

TEST_F(FillTest, SubPathWindingCutsHoles)
{
  struct Case
  {
    const char* name;
    Winding inner;
    bool innerDrawnReversed;
    bool holeExpected;
  };
  const Case cases[] = {
    {"inner marked as hole", Winding::Hole, false, true},
    {"inner marked as hole, drawn the other way round", Winding::Hole, true, true},
    {"inner left solid", Winding::Solid, false, false},
    {"inner left solid, drawn the other way round", Winding::Solid, true, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Begin();
    ctx->BeginPath();
    ctx->Rect(8, 8, 48, 48);
    if (c.innerDrawnReversed)
    {
      ctx->MoveTo(20, 20);
      ctx->LineTo(44, 20);
      ctx->LineTo(44, 44);
      ctx->LineTo(20, 44);
      ctx->ClosePath();
    }
    else
      ctx->Rect(20, 20, 24, 24);
    ctx->PathWinding(c.inner);
    FillRed();
    End();
    EXPECT_TRUE(PixelIs(12, 12, kRed));
    EXPECT_TRUE(PixelIs(32, 32, c.holeExpected ? kNone : kRed));
    EXPECT_TRUE(PixelIs(4, 4, kNone));
  }
}

TEST_F(FillTest, QuarterPieFromAnArc)
{
  Begin();
  ctx->BeginPath();
  ctx->MoveTo(32, 32);
  ctx->Arc(32, 32, 24, -kPi / 2, 0, ArcDirection::Clockwise); // twelve to three o'clock
  ctx->ClosePath();
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(40, 24, kRed));
  EXPECT_TRUE(PixelIs(47, 16, kRed)) << "inside the arc near 45 degrees (distance 21.5)";
  EXPECT_TRUE(PixelIs(51, 13, kNone)) << "outside the arc near 45 degrees (distance 27)";
  EXPECT_TRUE(PixelIs(24, 24, kNone)) << "top-left quadrant";
  EXPECT_TRUE(PixelIs(40, 40, kNone)) << "bottom-right quadrant";
  EXPECT_TRUE(PixelIs(24, 40, kNone));
  // The rim is a circle: the coverage along the top edge's row just inside radius 24.
  EXPECT_TRUE(PixelIs(33, 9, kRed));
  EXPECT_TRUE(PixelIs(33, 7, kNone));
}

TEST_F(FillTest, CounterClockwiseArcTakesTheLongWayRound)
{
  Begin();
  ctx->BeginPath();
  ctx->MoveTo(32, 32);
  ctx->Arc(32, 32, 24, -kPi / 2, 0, ArcDirection::CounterClockwise);
  ctx->ClosePath();
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(40, 24, kNone));
  EXPECT_TRUE(PixelIs(24, 24, kRed));
  EXPECT_TRUE(PixelIs(40, 40, kRed));
  EXPECT_TRUE(PixelIs(24, 40, kRed));
}

TEST_F(FillTest, TransformsMoveScaleAndTurnPaths)
{
  Begin();
  ctx->Save();
  ctx->Translate(8, 8);
  ctx->Scale(2, 2);
  ctx->BeginPath();
  ctx->Rect(0, 0, 4, 3); // lands on (8, 8)–(16, 14)
  FillRed();
  ctx->Restore();

  ctx->Save();
  ctx->Translate(40, 40);
  ctx->Rotate(kPi / 2); // x runs down, y runs left
  ctx->BeginPath();
  ctx->Rect(0, 0, 12, 4); // lands on (36, 40)–(40, 52)
  ctx->SetFillColor(Color::FromRGBA8(0, 0, 255));
  ctx->Fill();
  ctx->Restore();
  End();

  EXPECT_TRUE(BlockIs(7, 7, {"..........", ".########.", ".########.", ".########."}, kRed));
  EXPECT_TRUE(PixelIs(8, 13, kRed));
  EXPECT_TRUE(PixelIs(8, 14, kNone));
  EXPECT_TRUE(BlockIs(35, 39, {"......", ".####.", ".####."}, kBlue));
  EXPECT_TRUE(PixelIs(37, 51, kBlue));
  EXPECT_TRUE(PixelIs(37, 52, kNone));
}

TEST_F(FillTest, ScissorClipsAndIntersects)
{
  Begin();
  ctx->Save();
  ctx->Scissor(8, 8, 16, 16);
  ctx->IntersectScissor(16, 0, 32, 20); // leaves (16, 8)–(24, 20)
  ctx->BeginPath();
  ctx->Rect(0, 0, 64, 64);
  FillRed();
  ctx->Restore();
  // The clip went with the restored state.
  ctx->BeginPath();
  ctx->Rect(0, 60, 4, 4);
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(16, 8, kRed));
  EXPECT_TRUE(PixelIs(23, 19, kRed));
  EXPECT_TRUE(PixelIs(15, 12, kNone));
  EXPECT_TRUE(PixelIs(24, 12, kNone));
  EXPECT_TRUE(PixelIs(20, 7, kNone));
  EXPECT_TRUE(PixelIs(20, 20, kNone));
  EXPECT_TRUE(PixelIs(1, 62, kRed));
}

TEST_F(FillTest, ScissorFollowsTheTransform)
{
  Begin();
  ctx->Translate(32, 0);
  ctx->Scale(2, 1);
  ctx->Scissor(0, 0, 4, 64); // device x 32–40
  ctx->ResetTransform();
  ctx->BeginPath();
  ctx->Rect(0, 0, 64, 64);
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(31, 10, kNone));
  EXPECT_TRUE(PixelIs(32, 10, kRed));
  EXPECT_TRUE(PixelIs(39, 10, kRed));
  EXPECT_TRUE(PixelIs(40, 10, kNone));
}

TEST_F(FillTest, CompositeBlendFactors)
{
  struct Case
  {
    const char* name;
    BlendFactor src, dst;
    RGBA overRed, overNothing;
  };
  // A half-transparent blue square drawn over a red one; its right half lies over nothing.
  const Case cases[] = {
    {"source over", BlendFactor::One, BlendFactor::OneMinusSrcAlpha, {128, 0, 128, 255}, {0, 0, 128, 128}},
    {"source in (destination alpha, zero)", BlendFactor::DstAlpha, BlendFactor::Zero, {0, 0, 128, 128}, kNone},
    {"source out", BlendFactor::OneMinusDstAlpha, BlendFactor::Zero, kNone, {0, 0, 128, 128}},
    {"destination over", BlendFactor::OneMinusDstAlpha, BlendFactor::One, kRed, {0, 0, 128, 128}},
    {"destination out", BlendFactor::Zero, BlendFactor::OneMinusSrcAlpha, {128, 0, 0, 128}, kNone},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Begin();
    ctx->BeginPath();
    ctx->Rect(8, 8, 24, 24);
    FillRed();
    ctx->SetCompositeBlend(c.src, c.dst);
    ctx->BeginPath();
    ctx->Rect(16, 16, 32, 8);
    ctx->SetFillColor(Color::FromRGBA8(0, 0, 255, 128));
    ctx->Fill();
    End();
    EXPECT_TRUE(PixelIs(20, 20, c.overRed, 4));
    EXPECT_TRUE(PixelIs(40, 20, c.overNothing, 4));
    EXPECT_TRUE(PixelIs(10, 10, kRed));
  }
}

TEST_F(FillTest, GlobalAlphaScalesThePaint)
{
  Begin();
  ctx->SetGlobalAlpha(0.5f);
  ctx->BeginPath();
  ctx->Rect(8, 8, 8, 8);
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(12, 12, {128, 0, 0, 128}, 2));
}

TEST_F(FillTest, PixelRatioTwoDrawsLogicalUnitsOnTwoDevicePixels)
{
  Begin(2.f); // 32 × 32 logical units on the 64 × 64 surface
  ctx->BeginPath();
  ctx->Rect(4, 4, 8, 6);
  FillRed();
  ctx->BeginPath();
  ctx->Rect(20.25f, 4, 4, 4); // left edge half a device pixel into device pixel 40
  FillRed();
  End();
  EXPECT_TRUE(PixelIs(7, 10, kNone));
  EXPECT_TRUE(PixelIs(8, 8, kRed));
  EXPECT_TRUE(PixelIs(23, 19, kRed));
  EXPECT_TRUE(PixelIs(24, 12, kNone));
  EXPECT_TRUE(PixelIs(16, 20, kNone));
  EXPECT_TRUE(PixelIs(40, 10, {128, 0, 0, 128}, 8));
  EXPECT_TRUE(PixelIs(41, 10, kRed));
}

TEST_F(FillTest, CurvesAreSmoothAtPixelRatioTwo)
{
  // A circle of radius 12 logical at ratio 2: every device pixel's coverage must follow the true
  // circle to within one edge's anti-aliasing.
  Begin(2.f);
  ctx->BeginPath();
  ctx->Arc(16, 16, 12, 0, 2 * kPi, ArcDirection::Clockwise);
  ctx->ClosePath();
  FillRed();
  End();
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
    {
      const float d = std::hypot(x + 0.5f - 32.f, y + 0.5f - 32.f); // device pixels from the centre
      const int a = At(x, y)[3];
      if (d < 23.f)
      {
        ASSERT_GE(a, 250) << x << "," << y;
      }
      else if (d > 25.f)
      {
        ASSERT_LE(a, 5) << x << "," << y;
      }
    }
}

} // namespace
} // namespace test
