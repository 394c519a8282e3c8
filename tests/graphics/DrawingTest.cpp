#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GraphicsFixture.h"

namespace gfxtest {
namespace {

using Args = std::vector<float>;

class DrawingFixture : public GraphicsFixture
{
protected:
  DrawingFixture() { g.ClearCalls(); }
};

// ---- Primitives -----------------------------------------------------------------------------

TEST_F(DrawingFixture, LineIsOneButtCappedSegment)
{
  g.DrawLine(kColorRed, 0, 0, 10, 0, nullptr, 2.f);
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathLineTo, Op::PathStroke}));
  EXPECT_EQ(g.Calls()[1].args, (Args{0, 0}));
  EXPECT_EQ(g.Calls()[2].args, (Args{10, 0}));
  const auto& stroke = g.Calls()[3];
  EXPECT_EQ(stroke.color, kColorRed);
  EXPECT_FLOAT_EQ(stroke.thickness, 2.f);
  EXPECT_EQ(stroke.stroke.cap, ELineCap::Butt);
  EXPECT_EQ(stroke.stroke.join, ELineJoin::Miter);
  EXPECT_FLOAT_EQ(stroke.stroke.miterLimit, 10.f);
  EXPECT_EQ(stroke.stroke.dash.count, 0);
  EXPECT_FALSE(stroke.hasBlend);
}

TEST_F(DrawingFixture, QuarterPieRunsFromTwelveToThreeOClock)
{
  g.FillArc(kColorBlue, 50, 50, 20, 0, 90);
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathArc, Op::PathClose, Op::PathFill}));
  EXPECT_EQ(g.Calls()[1].args, (Args{50, 50})); // from the centre
  EXPECT_EQ(g.Calls()[2].args, (Args{50, 50, 20, 0, 90}));
  EXPECT_FALSE(g.Calls()[2].flag); // clockwise
  EXPECT_EQ(g.Calls()[4].fill.rule, EFillRule::Winding);

  float x = 0, y = 0;
  RecordingGraphics::ArcPoint(50, 50, 20, 0, x, y);
  EXPECT_FLOAT_EQ(x, 50.f);
  EXPECT_FLOAT_EQ(y, 30.f); // 12 o'clock
  RecordingGraphics::ArcPoint(50, 50, 20, 90, x, y);
  EXPECT_FLOAT_EQ(x, 70.f);
  EXPECT_NEAR(y, 50.f, 1e-5); // 3 o'clock
}

TEST_F(DrawingFixture, DataWithOneValueIsOnlyTheStartingPoint)
{
  const float ys[] = {0.25f};
  g.DrawData(kColorBlack, IRect(10, 10, 110, 50), ys, 1);
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathStroke}));
  EXPECT_EQ(g.Calls()[1].args, (Args{10, 40}));

  g.ClearCalls();
  const float ys3[] = {0.f, 1.f, 0.5f};
  g.DrawData(kColorBlack, IRect(10, 10, 110, 50), ys3, 3);
  const auto lines = g.CallsOf(Op::PathLineTo);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].args, (Args{60, 10}));
  EXPECT_EQ(lines[1].args, (Args{110, 30}));

  g.ClearCalls();
  const float xs[] = {0.9f, 0.1f};
  const float ys2[] = {0.f, 0.f};
  g.DrawData(kColorBlack, IRect(0, 0, 100, 10), ys2, 2, xs);
  EXPECT_EQ(g.CallsOf(Op::PathMoveTo)[0].args, (Args{0, 10})); // the start ignores x0
  EXPECT_EQ(g.CallsOf(Op::PathLineTo)[0].args, (Args{10, 10}));

  g.ClearCalls();
  g.DrawData(kColorBlack, IRect(0, 0, 100, 10), nullptr, 5);
  g.DrawData(kColorBlack, IRect(0, 0, 100, 10), ys, 0);
  EXPECT_TRUE(g.Calls().empty());
}

TEST_F(DrawingFixture, GridSpacingMustExceedOne)
{
  g.DrawGrid(kColorBlack, IRect(0, 0, 30, 20), 1.f, 10.f);
  // No vertical lines; one horizontal line at y = 10 (y = 20 is not inside).
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathLineTo, Op::PathStroke}));
  EXPECT_EQ(g.Calls()[1].args, (Args{0, 10}));
  EXPECT_EQ(g.Calls()[2].args, (Args{30, 10}));

  g.ClearCalls();
  g.DrawGrid(kColorBlack, IRect(0, 0, 30, 20), 10.f, 1.f);
  const auto moves = g.CallsOf(Op::PathMoveTo);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0].args, (Args{10, 0}));
  EXPECT_EQ(moves[1].args, (Args{20, 0}));
  EXPECT_EQ(g.CountOf(Op::PathStroke), 1);
}

TEST_F(DrawingFixture, ShapesAsPaths)
{
  g.FillRect(kColorRed, IRect(1, 2, 3, 4));
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathLineTo, Op::PathLineTo, Op::PathLineTo,
                                      Op::PathClose, Op::PathFill}));
  EXPECT_EQ(g.Calls()[3].args, (Args{3, 4}));

  g.ClearCalls();
  g.FillTriangle(kColorBlack, 0, 10, 10, 0, 10, 10);
  EXPECT_EQ(g.Ops(), (std::vector<Op>{Op::PathClear, Op::PathMoveTo, Op::PathLineTo, Op::PathLineTo, Op::PathClose,
                                      Op::PathFill}));

  g.ClearCalls();
  g.DrawPoint(kColorWhite, 5, 6);
  EXPECT_EQ(g.CallsOf(Op::PathLineTo)[1].args, (Args{6, 7}));

  g.ClearCalls();
  g.FillCircle(kColorRed, 10, 10, 2);
  EXPECT_EQ(g.CallsOf(Op::PathArc)[0].args, (Args{10, 10, 2, 0, 360}));

  // Rounded rectangle: radii beyond half the shorter side are limited to it.
  g.ClearCalls();
  g.DrawRoundRect(kColorBlack, IRect(0, 0, 40, 10), 50.f);
  const auto arcs = g.CallsOf(Op::PathArc);
  ASSERT_EQ(arcs.size(), 4u);
  EXPECT_EQ(arcs[0].args, (Args{5, 5, 5, 270, 360}));
  EXPECT_EQ(arcs[1].args, (Args{35, 5, 5, 0, 90}));
  EXPECT_EQ(arcs[2].args, (Args{35, 5, 5, 90, 180}));
  EXPECT_EQ(arcs[3].args, (Args{5, 5, 5, 180, 270}));

  g.ClearCalls();
  g.FillRoundRect(kColorBlack, IRect(0, 0, 40, 10), 0.f);
  EXPECT_EQ(g.CountOf(Op::PathArc), 0); // a plain rectangle

  // Ellipse: four curves through the extreme points, rotated clockwise.
  g.ClearCalls();
  g.DrawEllipse(kColorBlack, 50, 50, 20, 10, 90.f);
  const auto curves = g.CallsOf(Op::PathCubicBezierTo);
  ASSERT_EQ(curves.size(), 4u);
  EXPECT_NEAR(g.CallsOf(Op::PathMoveTo)[0].args[0], 60.f, 1e-4); // top of the unrotated ellipse → right
  EXPECT_NEAR(g.CallsOf(Op::PathMoveTo)[0].args[1], 50.f, 1e-4);
  EXPECT_NEAR(curves[0].args[4], 50.f, 1e-4); // its right end → bottom
  EXPECT_NEAR(curves[0].args[5], 70.f, 1e-4);

  g.ClearCalls();
  const float xs[] = {0, 10, 5};
  const float ys[] = {0, 0, 8};
  g.FillConvexPolygon(kColorBlack, xs, ys, 3);
  EXPECT_EQ(g.CountOf(Op::PathLineTo), 2);
  g.ClearCalls();
  g.DrawConvexPolygon(kColorBlack, xs, nullptr, 3);
  g.FillConvexPolygon(kColorBlack, xs, ys, 0);
  EXPECT_TRUE(g.Calls().empty());
}

TEST_F(DrawingFixture, DottedLinesUseADashAndAZeroDashDrawsNothing)
{
  g.DrawDottedLine(kColorBlack, 0, 0, 10, 0, nullptr, 1.f, 2.f);
  const auto strokes = g.CallsOf(Op::PathStroke);
  ASSERT_EQ(strokes.size(), 1u);
  ASSERT_EQ(strokes[0].stroke.dash.count, 2);
  EXPECT_FLOAT_EQ(strokes[0].stroke.dash.lengths[0], 2.f);

  g.ClearCalls();
  g.DrawDottedLine(kColorBlack, 0, 0, 10, 0, nullptr, 1.f, 0.f);
  g.DrawDottedRect(kColorBlack, IRect(0, 0, 10, 10), nullptr, 1.f, -1.f);
  g.DrawDottedRect(kColorBlack, IRect(0, 0, 10, 10), nullptr, 1.f, std::nanf(""));
  EXPECT_TRUE(g.Calls().empty());

  g.DrawDottedRect(kColorBlack, IRect(0, 0, 10, 10), nullptr, 1.f, 3.f);
  EXPECT_EQ(g.CountOf(Op::PathStroke), 1);
}

TEST_F(DrawingFixture, BlendReachesTheBackEnd)
{
  const IBlendInfo half(kBlendDefault, 0.5f);
  g.FillRect(kColorRed, IRect(0, 0, 1, 1), &half);
  const auto fills = g.CallsOf(Op::PathFill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_TRUE(fills[0].hasBlend);
  EXPECT_FLOAT_EQ(fills[0].blendWeight, 0.5f);
}

// ---- Bitmaps and pictures -------------------------------------------------------------------

TEST_F(DrawingFixture, FittedAndRotatedBitmapsDrawThroughTheTransform)
{
  g.AddBitmap("PIC.png", 200, 100, 2); // 100 × 50 logical
  const IBitmapInfo pic = g.LoadBitmap("PIC.png", 1, false, 2);

  g.DrawFittedBitmap(pic, IRect(10, 20, 60, 120));
  auto bitmaps = g.CallsOf(Op::DrawBitmap);
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0].rect, IRect(0, 0, 100, 50));
  const auto matrices = g.CallsOf(Op::SetMatrix);
  ASSERT_EQ(matrices.size(), 3u); // translate, scale, restore
  EXPECT_EQ(matrices[1].transform, ITransform(0.5, 0, 0, 2, 10, 20));
  EXPECT_EQ(matrices[2].transform, ITransform());
  EXPECT_EQ(g.GetTransform(), ITransform());

  g.ClearCalls();
  g.DrawRotatedBitmap(pic, 50, 50, 90.0);
  bitmaps = g.CallsOf(Op::DrawBitmap);
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0].rect, IRect(-50, -25, 50, 25));
  const auto rotated = g.CallsOf(Op::SetMatrix)[1].transform;
  EXPECT_NEAR(rotated.yx, 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(rotated.tx, 50.0);

  g.ClearCalls();
  g.DrawFittedBitmap(IBitmapInfo(), IRect(0, 0, 10, 10));
  g.DrawRotatedBitmap(IBitmapInfo(), 0, 0, 0);
  EXPECT_TRUE(g.Calls().empty());
}

TEST_F(DrawingFixture, SvgIsFittedKeepingItsAspect)
{
  ISVG svg;
  svg.width = 10;
  svg.height = 20;
  ISVG::Shape shape;
  shape.filled = true;
  shape.fillColor = kColorRed;
  shape.stroked = true;
  shape.strokeColor = kColorBlue;
  shape.strokeWidth = 2.f;
  shape.paths.push_back(ISVG::Path{{0, 0, 1, 1, 2, 2, 3, 3}, true});
  svg.shapes.push_back(shape);

  g.DrawSVG(svg, IRect(100, 100, 200, 140));
  EXPECT_EQ(g.CallsOf(Op::SetMatrix)[1].transform, ITransform(2, 0, 0, 2, 100, 100)); // min(10, 2)
  const auto fill = g.CallsOf(Op::PathFill);
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_TRUE(fill[0].fill.preserve); // kept for the stroke
  EXPECT_EQ(g.CallsOf(Op::PathStroke)[0].color, kColorBlue);
  EXPECT_EQ(g.CountOf(Op::PathCubicBezierTo), 1);
  EXPECT_EQ(g.GetTransform(), ITransform());

  g.ClearCalls();
  g.DrawSVG(ISVG(), IRect(0, 0, 10, 10));
  EXPECT_TRUE(g.Calls().empty());
}

// ---- Transforms -----------------------------------------------------------------------------

TEST_F(DrawingFixture, TransformStack)
{
  g.PathTransformRestore(); // nothing saved: nothing happens
  EXPECT_TRUE(g.Calls().empty());
  EXPECT_EQ(g.GetTransform(), ITransform());

  g.PathTransformTranslate(10, 0);
  g.PathTransformSave();
  EXPECT_EQ(g.CountOf(Op::SetMatrix), 1); // saving passes nothing on
  g.PathTransformScale(2);
  EXPECT_EQ(g.GetTransform(), ITransform(2, 0, 0, 2, 10, 0));
  g.PathTransformRestore();
  EXPECT_EQ(g.GetTransform(), ITransform(1, 0, 0, 1, 10, 0));
  EXPECT_EQ(g.CallsOf(Op::SetMatrix).back().transform, g.GetTransform());

  g.PathTransformSave();
  g.PathTransformReset(); // keeps the saved state
  EXPECT_EQ(g.GetTransform(), ITransform());
  g.PathTransformRestore();
  EXPECT_EQ(g.GetTransform(), ITransform(1, 0, 0, 1, 10, 0));

  g.PathTransformSave();
  g.PathTransformReset(true); // discards it
  g.PathTransformRestore();
  EXPECT_EQ(g.GetTransform(), ITransform());
}

// ---- Layers ---------------------------------------------------------------------------------

TEST_F(DrawingFixture, PopOfAnEmptyLayerStackLeavesTheScreenAsTarget)
{
  ProbeControl* c = AddProbe(IRect(10, 10, 30, 30));
  g.DrawControl(c, IRect(0, 0, 100, 100), 1.f); // clip (9, 9, 31, 31)
  g.ClearCalls();

  EXPECT_EQ(g.PopLayer(), nullptr);
  EXPECT_EQ(g.LayerStackSize(), 0);
  EXPECT_EQ(g.CountOf(Op::UpdateLayer), 1);
  const auto clips = g.CallsOf(Op::SetClip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].rect, IRect(9, 9, 31, 31)); // back to the control's clip
  EXPECT_EQ(g.Ops().back(), Op::PathClear);
}

TEST_F(DrawingFixture, LayerLifecycle)
{
  ProbeControl* owner = AddProbe(IRect(10, 10, 30, 30));
  g.SetScreenScale(2.f);
  g.ClearCalls();

  g.StartLayer(owner, IRect(10.2f, 10.2f, 20.1f, 20.1f));
  EXPECT_EQ(g.LayerStackSize(), 1);
  EXPECT_EQ(g.Ops().front(), Op::UpdateLayer);
  EXPECT_EQ(g.CallsOf(Op::SetClip)[0].rect, IRect(10, 10, 20.5f, 20.5f)); // aligned at 2
  g.PathTransformTranslate(3, 4);

  // Clipping inside a layer stays inside the layer, and the transform survives the clip.
  g.ClearCalls();
  g.PathClipRegion(IRect(0, 0, 15, 15));
  EXPECT_EQ(g.CallsOf(Op::SetClip)[0].rect, IRect(10, 10, 15, 15));
  EXPECT_EQ(g.CallsOf(Op::SetMatrix)[0].transform, ITransform());
  EXPECT_EQ(g.CallsOf(Op::SetMatrix)[1].transform, ITransform(1, 0, 0, 1, 3, 4));

  ILayerPtr layer = g.EndLayer();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(g.LayerStackSize(), 0);
  EXPECT_EQ(g.GetTransform(), ITransform());
  EXPECT_EQ(layer->GetAPIBitmap()->GetWidth(), 22); // ceil(ceil(10.5) × 2)
  EXPECT_EQ(layer->GetAPIBitmap()->GetHeight(), 22);
  EXPECT_TRUE(g.CheckLayer(layer));

  // Moving the owner invalidates it for good.
  owner->SetPosition(40, 40);
  EXPECT_FALSE(g.CheckLayer(layer));
  owner->SetPosition(10, 10);
  EXPECT_FALSE(g.CheckLayer(layer));

  // A layer made for another density is stale.
  g.StartLayer(nullptr, IRect(0, 0, 10, 10));
  ILayerPtr other = g.EndLayer();
  EXPECT_TRUE(g.CheckLayer(other));
  g.SetScreenScale(1.f);
  EXPECT_FALSE(g.CheckLayer(other));
  EXPECT_FALSE(g.CheckLayer(nullptr));

  // Pushing it back makes it the target again.
  g.PushLayer(std::move(other));
  EXPECT_EQ(g.LayerStackSize(), 1);
  g.PushLayer(nullptr);
  EXPECT_EQ(g.LayerStackSize(), 1);
  EXPECT_NE(g.PopLayer(), nullptr);
}

} // namespace
} // namespace gfxtest
