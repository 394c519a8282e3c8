#include <gtest/gtest.h>

#include <vector>

#include "GraphicsFixture.h"
#include "IBubbleControl.h"
#include "ICornerResizerControl.h"

namespace gfxtest {
namespace {

using Args = std::vector<float>;

TEST_F(GraphicsFixture, CornerResizerDrawsItsTriangleAndRestoresTheZoomOnDoubleClick)
{
  g.AttachCornerResizer(kResizeModeScale, false, kColorFaintBlack, kColorBlack, kColorRed, 20.f);
  ICornerResizerControl* handle = g.GetCornerResizer();
  ASSERT_NE(handle, nullptr);

  g.ClearCalls();
  handle->Draw(g);
  EXPECT_EQ(g.CallsOf(Op::PathMoveTo)[0].args, (Args{1066, 214})); // bottom-left
  EXPECT_EQ(g.CallsOf(Op::PathLineTo)[0].args, (Args{1086, 194})); // top-right
  EXPECT_EQ(g.CallsOf(Op::PathLineTo)[1].args, (Args{1086, 214})); // bottom-right
  EXPECT_EQ(g.CallsOf(Op::PathFill)[0].color, kColorFaintBlack);

  handle->OnMouseOver(1080, 210, IMouseMods());
  EXPECT_EQ(g.GetCursorType(), kSizeNWSECursor);
  g.ClearCalls();
  handle->Draw(g);
  EXPECT_EQ(g.CallsOf(Op::PathFill)[0].color, kColorBlack);

  handle->OnMouseDown(1080, 210, IMouseMods(true));
  EXPECT_TRUE(g.GetResizingInProcess());
  g.ClearCalls();
  handle->Draw(g);
  EXPECT_EQ(g.CallsOf(Op::PathFill)[0].color, kColorRed);
  g.SetResizingInProcess(false);

  handle->OnMouseOut();
  EXPECT_EQ(g.GetCursorType(), kArrowCursor);

  g.Resize(1200, 300, 2.f);
  handle->OnMouseDblClick(0, 0, IMouseMods(true));
  EXPECT_EQ(g.Width(), 1086);
  EXPECT_EQ(g.Height(), 214);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.f);
}

TEST_F(GraphicsFixture, BubbleCalloutCarriesItsArrowOnTheNamedSide)
{
  g.AttachBubbleControl();
  IBubbleControl* bubble = g.GetBubbleControl(0);
  ASSERT_NE(bubble, nullptr);
  EXPECT_TRUE(bubble->IsHidden());
  EXPECT_TRUE(bubble->GetIgnoreMouse());
  EXPECT_FLOAT_EQ(bubble->GetOpacity(), 0.f);

  bubble->SetBubbleBounds(IRect(100, 161, 180, 201));
  bubble->SetArrowSide(IBubbleControl::kArrowTop);
  bubble->SetBubbleText("0.0 dB");
  bubble->SetOpacity(0.95f);

  g.ClearCalls();
  bubble->Draw(g);
  const auto ops = g.Ops();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), Op::DropShadow);
  EXPECT_EQ(ops.back(), Op::DrawText);

  // Content is the bubble shrunk by 10; the arrow tip sits 10 above the top edge, centred.
  const auto lines = g.CallsOf(Op::PathLineTo);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].args, (Args{135, 171}));
  EXPECT_EQ(lines[1].args, (Args{140, 161}));
  EXPECT_EQ(lines[2].args, (Args{145, 171}));
  EXPECT_EQ(g.CallsOf(Op::PathMoveTo)[0].args, (Args{110, 176})); // (left, top + roundness)
  EXPECT_EQ(g.CountOf(Op::PathArc), 4);

  const auto fill = g.CallsOf(Op::PathFill);
  ASSERT_EQ(fill.size(), 1u);
  EXPECT_EQ(fill[0].color, kColorWhite);
  EXPECT_TRUE(fill[0].fill.preserve);
  EXPECT_FLOAT_EQ(fill[0].blendWeight, 0.95f);
  const auto stroke = g.CallsOf(Op::PathStroke);
  ASSERT_EQ(stroke.size(), 1u);
  EXPECT_EQ(stroke[0].color, kColorBlack);
  EXPECT_FLOAT_EQ(stroke[0].thickness, 2.f);
  EXPECT_EQ(g.CallsOf(Op::DrawText)[0].rect, IRect(110, 171, 170, 191));
}

} // namespace
} // namespace gfxtest
