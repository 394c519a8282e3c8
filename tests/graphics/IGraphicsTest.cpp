#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "GraphicsFixture.h"
#include "IBitmapControl.h"
#include "IBubbleControl.h"
#include "ICornerResizerControl.h"
#include "MonotonicClock.h"

namespace gfxtest {
namespace {

// ---- Attaching and walking ------------------------------------------------------------------

TEST_F(GraphicsFixture, AttachRunsTheHooksInOrderAndHandsOverDelegateAndContext)
{
  std::vector<std::string> journal;
  auto* c = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), 0, &journal), 7, "knobs"));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"probe:OnInit", "probe:OnResize", "probe:OnRescale", "probe:OnAttached"}));
  EXPECT_EQ(c->GetDelegate(), &dlg);
  EXPECT_EQ(c->GetUI(), &g);
  EXPECT_EQ(c->GetGroup(), "knobs");
  EXPECT_EQ(g.GetControlWithTag(7), c);
  EXPECT_EQ(g.GetControl(0), c);
  EXPECT_EQ(g.GetControl(1), nullptr);
  EXPECT_EQ(g.GetControl(-1), nullptr);
  EXPECT_EQ(g.GetControlWithTag(8), nullptr);
}

TEST_F(GraphicsFixture, DuplicateTagIsRefusedAndTheControlStaysWithTheCaller)
{
  ASSERT_NE(AddProbe(IRect(0, 0, 10, 10), kNoParameter, 3), nullptr);
  auto second = std::make_unique<ProbeControl>(IRect(0, 0, 10, 10));
  EXPECT_EQ(g.AttachControl(second.get(), 3), nullptr);
  EXPECT_EQ(g.NControls(), 1);
  EXPECT_EQ(second->GetUI(), nullptr); // untouched

  // Untagged controls may be attached any number of times.
  EXPECT_NE(AddProbe(IRect(0, 0, 10, 10)), nullptr);
  EXPECT_NE(AddProbe(IRect(0, 0, 10, 10)), nullptr);
  EXPECT_EQ(g.NControls(), 3);
  EXPECT_EQ(g.AttachControl(nullptr), nullptr);
}

TEST_F(GraphicsFixture, BackgroundGoesBeforeEarlierControls)
{
  g.AddBitmap("BG.png", 2172, 428, 2);
  ProbeControl* knob = AddProbe(IRect(10, 10, 50, 50), 0);
  g.AttachBackground("BG.png");

  ASSERT_EQ(g.NControls(), 2);
  auto* bg = dynamic_cast<IBitmapControl*>(g.GetControl(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(g.GetControl(1), knob);
  EXPECT_EQ(bg->GetRECT(), IRect(0, 0, 1086, 214));
  EXPECT_EQ(bg->GetParamIdx(), kNoParameter);
  EXPECT_EQ(bg->GetUI(), &g);
}

TEST_F(GraphicsFixture, ForAllControlsVisitsResizerAfterTheListAndBeforeBubbles)
{
  ProbeControl* a = AddProbe(IRect(0, 0, 10, 10));
  g.AttachBubbleControl();
  g.AttachCornerResizer();
  ProbeControl* b = AddProbe(IRect(0, 0, 10, 10));
  auto* perf = new ProbeControl(IRect(0, 0, 5, 5));
  g.AttachPerformanceDisplay(perf);

  std::vector<IControl*> visited;
  g.ForAllControls([&visited](IControl* c) { visited.push_back(c); });
  ASSERT_EQ(visited.size(), 5u);
  EXPECT_EQ(visited[0], a);
  EXPECT_EQ(visited[1], b);
  EXPECT_EQ(visited[2], perf);
  EXPECT_EQ(visited[3], g.GetCornerResizer());
  EXPECT_EQ(visited[4], g.GetBubbleControl(0));

  std::vector<IControl*> standard;
  g.ForStandardControls([&standard](IControl* c) { standard.push_back(c); });
  EXPECT_EQ(standard, (std::vector<IControl*>{a, b}));
}

TEST_F(GraphicsFixture, SecondCornerResizerIsDiscarded)
{
  g.AttachCornerResizer(kResizeModeScale, false, kColorFaintBlack, kColorBlack, kColorBlack, 20.f);
  ICornerResizerControl* first = g.GetCornerResizer();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetRECT(), IRect(1066, 194, 1086, 214)); // after OnRescale at zoom 1

  g.AttachCornerResizer(kResizeModeSize, true, kColorRed, kColorRed, kColorRed, 40.f);
  EXPECT_EQ(g.GetCornerResizer(), first);
  EXPECT_EQ(g.GetResizerMode(), kResizeModeScale);
  EXPECT_FALSE(g.GetLayoutOnResize());
}

TEST_F(GraphicsFixture, ForMatchingControlsWithMinusOneFindsUnlinkedSlots)
{
  ProbeControl* unlinked = AddProbe(IRect(0, 0, 10, 10));
  AddProbe(IRect(0, 0, 10, 10), 0);
  auto* mixed = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), {1, kNoParameter})));

  std::vector<IControl*> found;
  g.ForMatchingControls(-1, [&found](IControl* c) { found.push_back(c); });
  EXPECT_EQ(found, (std::vector<IControl*>{unlinked, mixed}));
}

// ---- Host highlight -------------------------------------------------------------------------

TEST_F(GraphicsFixture, HighlightForANonParameterReachesTheBackgroundAndDrawsTheRedDot)
{
  g.AddBitmap("BG.png", 2172, 428, 2);
  ProbeControl* knob = AddProbe(IRect(100, 31, 230, 161), 0);
  g.AttachBackground("BG.png");
  IControl* bg = g.GetControl(0);

  g.SetParameterHighlight(-1, true, 0);
  EXPECT_TRUE(bg->GetParameterHighlighted());
  EXPECT_FALSE(knob->GetParameterHighlighted());
  EXPECT_EQ(bg->GetHighlightColor(), kColorRed);

  g.ClearCalls();
  g.DrawControl(bg, IRect(0, 0, 1086, 214), 1.f);
  // After the bitmap: a circle of radius 2 at (right − 5, top + 5), filled red without a blend.
  const auto arcs = g.CallsOf(Op::PathArc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0].args, (std::vector<float>{1081.f, 5.f, 2.f, 0.f, 360.f}));
  const auto fills = g.CallsOf(Op::PathFill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].color, kColorRed);
  EXPECT_FALSE(fills[0].hasBlend);
  const auto ops = g.Ops();
  const auto bitmapAt = std::find(ops.begin(), ops.end(), Op::DrawBitmap);
  const auto arcAt = std::find(ops.begin(), ops.end(), Op::PathArc);
  EXPECT_LT(bitmapAt - ops.begin(), arcAt - ops.begin());
}

TEST_F(GraphicsFixture, HighlightReachesEverySlotLinkedToTheParameter)
{
  ProbeControl* gain = AddProbe(IRect(0, 0, 10, 10), 0);
  auto* pair = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), {1, 0})));
  ProbeControl* other = AddProbe(IRect(0, 0, 10, 10), 1);

  g.SetParameterHighlight(0, true, 1);
  EXPECT_TRUE(gain->GetParameterHighlighted());
  EXPECT_TRUE(pair->GetParameterHighlighted());
  EXPECT_FALSE(other->GetParameterHighlighted());
  EXPECT_EQ(gain->GetHighlightColor(), kColorBlue);

  g.SetParameterHighlight(0, false, 99); // unknown colour code: colour kept
  EXPECT_FALSE(gain->GetParameterHighlighted());
  EXPECT_EQ(gain->GetHighlightColor(), kColorBlue);
}

// ---- Dirty check and drawing ----------------------------------------------------------------

TEST_F(GraphicsFixture, IsDirtyCollectsGrownBoundsAndLeavesTheListAloneWhenClean)
{
  int ticks = 0;
  g.SetDisplayTickFunc([&ticks] { ++ticks; });
  ProbeControl* a = AddProbe(IRect(10, 20, 30, 40));
  AddProbe(IRect(50, 50, 60, 60));

  IRectList rects;
  EXPECT_TRUE(g.IsDirty(rects)); // fresh controls start dirty
  EXPECT_EQ(rects.Count(), 2);
  EXPECT_EQ(rects.Get(0), IRect(9.25f, 19.25f, 30.75f, 40.75f));

  g.SetAllControlsClean();
  IRectList clean;
  clean.Add(IRect(1, 2, 3, 4));
  EXPECT_FALSE(g.IsDirty(clean));
  ASSERT_EQ(clean.Count(), 1);
  EXPECT_EQ(clean.Get(0), IRect(1, 2, 3, 4));

  a->SetDirty(false);
  IRectList one;
  EXPECT_TRUE(g.IsDirty(one));
  EXPECT_EQ(one.Count(), 1);
  EXPECT_EQ(ticks, 3);
}

TEST_F(GraphicsFixture, AnimatedControlIsDirtyOnEveryTick)
{
  ProbeControl* a = AddProbe(IRect(0, 0, 10, 10));
  int runs = 0;
  a->SetAnimation([&runs](IControl*) { ++runs; }, 1000.0);

  for (int tick = 0; tick < 3; ++tick)
  {
    g.SetAllControlsClean();
    IRectList rects;
    EXPECT_TRUE(g.IsDirty(rects));
    EXPECT_EQ(rects.Count(), 1);
  }
  EXPECT_EQ(runs, 3);

  a->OnEndAnimation();
  g.SetAllControlsClean();
  IRectList rects;
  EXPECT_FALSE(g.IsDirty(rects));
}

TEST_F(GraphicsFixture, DrawControlClipsToGrownAlignedBoundsWithinTheRegion)
{
  ProbeControl* c = AddProbe(IRect(10.2f, 10.2f, 20.4f, 20.4f));
  g.ClearCalls();
  g.DrawControl(c, IRect(0, 0, 15, 100), 1.f);

  EXPECT_EQ(c->draws, 1);
  const auto clips = g.CallsOf(Op::SetClip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].rect, IRect(9, 9, 15, 22));
  EXPECT_EQ(g.GetClipRect(), IRect(9, 9, 15, 22));
  // Transform reset, path cleared and clip set before the control draws; region completed after.
  const auto ops = g.Ops();
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(ops[0], Op::SetMatrix);
  EXPECT_EQ(ops[1], Op::PathClear);
  EXPECT_EQ(ops[2], Op::SetClip);
  EXPECT_EQ(ops.back(), Op::CompleteRegion);
  EXPECT_EQ(g.CallsOf(Op::SetMatrix)[0].transform, ITransform());
}

TEST_F(GraphicsFixture, ControlOutsideTheRegionIsNotDrawn)
{
  ProbeControl* c = AddProbe(IRect(100, 100, 120, 120));
  g.ClearCalls();
  g.DrawControl(c, IRect(0, 0, 50, 50), 1.f);
  g.DrawControl(c, IRect(121, 100, 200, 120), 1.f); // beyond the 0.75 growth
  EXPECT_EQ(c->draws, 0);
  EXPECT_TRUE(g.Calls().empty());

  g.DrawControl(c, IRect(120.5f, 100, 200, 120), 1.f); // within the grown edge
  EXPECT_EQ(c->draws, 1);
  g.DrawControl(nullptr, IRect(0, 0, 500, 500), 1.f);
}

TEST_F(GraphicsFixture, HiddenControlIsDrawnOnlyAsTheBackground)
{
  ProbeControl* first = AddProbe(IRect(0, 0, 100, 100));
  ProbeControl* second = AddProbe(IRect(0, 0, 100, 100));
  first->Hide(true);
  second->Hide(true);
  g.DrawControl(first, IRect(0, 0, 100, 100), 1.f);
  g.DrawControl(second, IRect(0, 0, 100, 100), 1.f);
  EXPECT_EQ(first->draws, 1);
  EXPECT_EQ(second->draws, 0);
}

TEST_F(GraphicsFixture, DrawOptimisesRegionsOrDrawsTheirUnion)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 100, 100));

  IRectList none;
  g.ClearCalls();
  g.Draw(none);
  EXPECT_TRUE(g.Calls().empty()); // no frame at all

  IRectList overlapping;
  overlapping.Add(IRect(0, 0, 10, 10));
  overlapping.Add(IRect(2, 2, 5, 5)); // inside the first: optimised away
  overlapping.Add(IRect(40.5f, 40.5f, 50, 50));
  g.ClearCalls();
  g.Draw(overlapping);
  EXPECT_EQ(g.Ops().front(), Op::BeginFrame);
  EXPECT_EQ(g.Ops().back(), Op::EndFrame);
  EXPECT_EQ(c->draws, 2);
  const auto clips = g.CallsOf(Op::SetClip);
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0].rect, IRect(0, 0, 10, 10));
  EXPECT_EQ(clips[1].rect, IRect(40, 40, 50, 50)); // pixel-aligned

  g.SetDrawAsOneRegion(true);
  g.ClearCalls();
  IRectList two;
  two.Add(IRect(0, 0, 10, 10));
  two.Add(IRect(40, 40, 50, 50));
  g.Draw(two);
  EXPECT_EQ(c->draws, 3);
  ASSERT_EQ(g.CountOf(Op::SetClip), 1);
  EXPECT_EQ(g.CallsOf(Op::SetClip)[0].rect, IRect(0, 0, 50, 50));
}

TEST_F(GraphicsFixture, FrameTimesAreSampledOnlyWithADisplay)
{
  uint64_t nowNs = 0;
  SetMonotonicClockSource([&nowNs] { return nowNs; });

  g.BeginFrame();
  EXPECT_EQ(g.GetFrameTimeIdx(), 0); // no display: nothing sampled

  g.AttachPerformanceDisplay(new ProbeControl(IRect(0, 0, 10, 10)));
  nowNs = 1'000'000'000;
  g.BeginFrame();
  nowNs += 16'000'000;
  g.BeginFrame();
  EXPECT_EQ(g.GetFrameTimeIdx(), 2);
  EXPECT_NEAR(g.GetFrameTime(2), 0.016f, 1e-6);

  for (int i = 0; i < 100; ++i)
    g.BeginFrame();
  EXPECT_EQ(g.GetFrameTimeIdx(), 2); // the ring wraps at 100
  SetMonotonicClockSource(nullptr);
}

// ---- Size and scale -------------------------------------------------------------------------

TEST_F(GraphicsFixture, ResizeClampsToTheDelegateLimitsAndTheZoomRange)
{
  g.Resize(1200, 1000, 1.f);
  EXPECT_EQ(g.Width(), 1200);
  EXPECT_EQ(g.Height(), 428);

  g.Resize(1086, 214, 3.5f);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 2.f);
  g.Resize(1086, 214, 0.1f);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 0.5f);
  g.Resize(10, 10, 1.f);
  EXPECT_EQ(g.Width(), 543);
  EXPECT_EQ(g.Height(), 107);
}

TEST_F(GraphicsFixture, ResizeToTheCurrentSizeDoesNothing)
{
  AddProbe(IRect(0, 0, 10, 10));
  g.Resize(1086, 214, 1.f);
  g.Resize(1086, 214, std::numeric_limits<float>::quiet_NaN()); // a broken zoom keeps the current one
  EXPECT_TRUE(dlg.resizes.empty());
  EXPECT_EQ(g.CountOf(Op::PlatformResize), 0);
  EXPECT_EQ(g.CountOf(Op::DrawResize), 0);
}

TEST_F(GraphicsFixture, ResizeReleasesCapturesTellsTheHostAndRelaysOut)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10), 0);
  g.AttachCornerResizer();
  g.SetPlatformWindowScale(1.5f);
  g.CaptureControl(c);
  g.HideMouseCursor(true, true);
  g.SetAllControlsClean();
  const int resizesBefore = c->resizes;
  g.ClearCalls();

  g.Resize(1086, 214, 2.f);

  EXPECT_FALSE(g.ControlIsCaptured(c));
  EXPECT_FALSE(g.CursorIsHidden());
  ASSERT_EQ(dlg.resizes.size(), 1u);
  EXPECT_EQ(dlg.resizes[0].width, static_cast<int>(1.5f * 2172));
  EXPECT_EQ(dlg.resizes[0].height, static_cast<int>(1.5f * 428));
  EXPECT_TRUE(dlg.resizes[0].needsPlatformResize);
  ASSERT_EQ(g.CountOf(Op::PlatformResize), 1);
  EXPECT_TRUE(g.CallsOf(Op::PlatformResize)[0].flag);
  EXPECT_EQ(g.CountOf(Op::DrawResize), 1);
  EXPECT_EQ(c->resizes, resizesBefore + 1);
  EXPECT_TRUE(c->IsDirty());
  // The handle keeps its window size: 20 window pixels are 10 logical ones at zoom 2.
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1076, 204, 1086, 214));

  // The host refusing the size reaches the platform as "parent not resized".
  dlg.resizeResult = false;
  g.ClearCalls();
  g.Resize(1086, 214, 1.f, false);
  EXPECT_FALSE(dlg.resizes.back().needsPlatformResize);
  EXPECT_FALSE(g.CallsOf(Op::PlatformResize)[0].flag);
}

TEST_F(GraphicsFixture, ScreenScaleRescalesEveryControl)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10));
  const int rescalesBefore = c->rescales;
  g.SetAllControlsClean();
  g.SetScreenScale(2.f);
  EXPECT_FLOAT_EQ(g.GetScreenScale(), 2.f);
  EXPECT_FLOAT_EQ(g.GetBackingPixelScale(), 2.f);
  EXPECT_EQ(c->rescales, rescalesBefore + 1);
  EXPECT_TRUE(c->IsDirty());
  ASSERT_EQ(dlg.resizes.size(), 1u);
  EXPECT_TRUE(dlg.resizes[0].needsPlatformResize);
  EXPECT_EQ(g.CountOf(Op::DrawResize), 1);

  g.SetScreenScale(0.f); // ignored: no density is zero
  EXPECT_FLOAT_EQ(g.GetScreenScale(), 2.f);
}

// ---- Peers, removal, fonts, text ------------------------------------------------------------

TEST_F(GraphicsFixture, UserChangeReachesTheDelegateAndThePeers)
{
  ProbeControl* a = AddProbe(IRect(0, 0, 10, 10), 1);
  auto* pair = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), {0, 1})));
  ProbeControl* unrelated = AddProbe(IRect(0, 0, 10, 10), 0);
  ProbeControl* unlinked = AddProbe(IRect(0, 0, 10, 10));

  a->SetValueFromUserInput(0.75);
  ASSERT_EQ(dlg.paramValues.size(), 1u);
  EXPECT_EQ(dlg.paramValues[0].paramIdx, 1);
  EXPECT_DOUBLE_EQ(dlg.paramValues[0].value, 0.75);
  EXPECT_DOUBLE_EQ(pair->GetValue(1), 0.75);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(unrelated->GetValue(), 0.0);

  // An unlinked slot has no peers.
  g.UpdatePeers(unlinked, 0);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.75);
}

TEST_F(GraphicsFixture, RemoveAllControlsEmptiesEverythingAndShowsTheCursor)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10), 0, 5);
  g.AttachBubbleControl();
  g.AttachCornerResizer();
  g.CaptureControl(c);
  g.HideMouseCursor(true, true);

  g.RemoveAllControls();
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.GetControlWithTag(5), nullptr);
  EXPECT_EQ(g.GetCornerResizer(), nullptr);
  EXPECT_EQ(g.NBubbleControls(), 0);
  EXPECT_FALSE(g.CursorIsHidden());

  // The tag is free again.
  EXPECT_NE(AddProbe(IRect(0, 0, 10, 10), 0, 5), nullptr);
}

TEST_F(GraphicsFixture, LoadFontRegistersThenCaches)
{
  EXPECT_TRUE(g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf"));
  EXPECT_EQ(g.fontCalls,
            (std::vector<std::string>{"platform:Roboto-Regular", "api:Roboto-Regular", "cache:Roboto-Regular"}));

  g.fontCalls.clear();
  g.apiFontAccepted = false;
  EXPECT_FALSE(g.LoadFont("Other", "Other.ttf"));
  EXPECT_EQ(g.fontCalls, (std::vector<std::string>{"platform:Other", "api:Other"}));

  g.fontCalls.clear();
  g.platformFontAvailable = false;
  char data[4] = {};
  EXPECT_FALSE(g.LoadFont("Mem", data, 4));
  EXPECT_EQ(g.fontCalls, (std::vector<std::string>{"platform:Mem"}));
}

TEST_F(GraphicsFixture, EmptyTextIsNeitherMeasuredNorDrawn)
{
  IRect bounds(1, 2, 3, 4);
  EXPECT_FLOAT_EQ(g.MeasureText(ITextStyle(), nullptr, bounds), 0.f);
  EXPECT_FLOAT_EQ(g.MeasureText(ITextStyle(), "", bounds), 0.f);
  EXPECT_EQ(bounds, IRect(1, 2, 3, 4));
  EXPECT_FLOAT_EQ(g.MeasureText(ITextStyle(), "abc", bounds), 21.f);

  g.ClearCalls();
  g.DrawText(ITextStyle(), "", IRect(0, 0, 10, 10));
  g.DrawText(ITextStyle(), nullptr, IRect(0, 0, 10, 10));
  EXPECT_TRUE(g.Calls().empty());
  g.DrawText(ITextStyle(), "x", IRect(0, 0, 10, 10));
  EXPECT_EQ(g.CountOf(Op::DrawText), 1);
}

TEST_F(GraphicsFixture, DrawBitmapFramePicksTheFrameOffset)
{
  g.AddBitmap("KNOB.png", 260, 15860, 2);
  const IBitmapInfo knob = g.LoadBitmap("KNOB.png", 61, false, 2);
  g.AddBitmap("ROW.png", 300, 20, 1);
  const IBitmapInfo row = g.LoadBitmap("ROW.png", 3, true, 1);
  g.AddBitmap("ONE.png", 30, 20, 1);
  const IBitmapInfo one = g.LoadBitmap("ONE.png", 1, false, 1);

  struct Case
  {
    const IBitmapInfo* bitmap;
    int frame;
    float srcX, srcY;
  };
  const Case cases[] = {
    {&knob, 1, 0, 0},   {&knob, 31, 0, 3900}, {&knob, 61, 0, 7800}, {&knob, 0, 0, 0},
    {&knob, 99, 0, 7800}, {&row, 3, 200, 0},   {&one, 5, 0, 0},
  };
  const IRect dest(0, 0, 130, 130);
  for (const Case& c : cases)
  {
    g.ClearCalls();
    g.DrawBitmapFrame(*c.bitmap, dest, c.frame);
    const auto calls = g.CallsOf(Op::DrawBitmap);
    ASSERT_EQ(calls.size(), 1u) << c.frame;
    EXPECT_EQ(calls[0].args, (std::vector<float>{c.srcX, c.srcY})) << c.frame;
  }

  g.ClearCalls();
  g.DrawBitmapFrame(IBitmapInfo(), dest, 1);
  EXPECT_TRUE(g.Calls().empty());
}

} // namespace
} // namespace gfxtest
