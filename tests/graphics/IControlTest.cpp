#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GraphicsFixture.h"
#include "IKnobControlBase.h"
#include "IParam.h"
#include "ISwitchControlBase.h"
#include "MonotonicClock.h"

namespace gfxtest {
namespace {

class TestKnob : public IKnobControlBase
{
public:
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

class TestSwitch : public ISwitchControlBase
{
public:
  using ISwitchControlBase::ISwitchControlBase;
  void Draw(IGraphics&) override {}
};

class ControlFixture : public GraphicsFixture
{
protected:
  // A 100-pixel-high knob, gearing 4, linked to "Gain".
  TestKnob* AddKnob(int paramIdx = 0, EDirection dir = EDirection::Vertical)
  {
    return static_cast<TestKnob*>(g.AttachControl(new TestKnob(IRect(0, 0, 100, 100), paramIdx, dir, 4.0)));
  }
  // Drags in steps of one pixel (how a real pointer arrives).
  static void Drag(IControl* c, int pixels, bool vertical = true, const IMouseMods& mods = IMouseMods())
  {
    const float step = pixels < 0 ? -1.f : 1.f;
    for (int i = 0; i < std::abs(pixels); ++i)
      c->OnMouseDrag(0, 0, vertical ? 0.f : step, vertical ? step : 0.f, mods);
  }
};

// ---- Knob -----------------------------------------------------------------------------------

TEST_F(ControlFixture, KnobCoversItsRangeOverGearingTimesItsHeight)
{
  TestKnob* knob = AddKnob();
  knob->OnMouseDown(50, 50, IMouseMods(true));
  Drag(knob, -200);
  EXPECT_NEAR(knob->GetValue(), 0.5, 1e-9);
  Drag(knob, -200);
  EXPECT_NEAR(knob->GetValue(), 1.0, 1e-9);
  knob->OnMouseUp(50, 50, IMouseMods(true));

  // Fine adjustment with control (or shift) held: ten times the distance.
  TestKnob* fine = AddKnob(1);
  fine->OnMouseDown(50, 50, IMouseMods(true));
  const IMouseMods ctrl(true, false, false, true);
  Drag(fine, -400, true, ctrl);
  EXPECT_NEAR(fine->GetValue(), 0.1, 1e-9);
  Drag(fine, -3600, true, IMouseMods(true, false, true)); // shift
  EXPECT_NEAR(fine->GetValue(), 1.0, 1e-9);

  // Horizontal knobs go up to the right.
  TestKnob* wide = AddKnob(1, EDirection::Horizontal);
  wide->OnMouseDown(50, 50, IMouseMods(true));
  Drag(wide, 100, false);
  EXPECT_NEAR(wide->GetValue(), 0.25, 1e-9);
}

TEST_F(ControlFixture, KnobClampsAtTheEndsAndReversesAtOnce)
{
  TestKnob* knob = AddKnob();
  knob->OnMouseDown(50, 50, IMouseMods(true));
  Drag(knob, -600);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(knob->GetDragValue(), 1.0);
  Drag(knob, 40); // back down 40 px: at once below 1
  EXPECT_NEAR(knob->GetValue(), 0.9, 1e-9);
  Drag(knob, 1000);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  Drag(knob, -4);
  EXPECT_NEAR(knob->GetValue(), 0.01, 1e-9);
}

TEST_F(ControlFixture, KnobDragSendsEveryStepToTheDelegateAndHidesTheCursor)
{
  TestKnob* knob = AddKnob();
  g.ClearCalls();
  knob->OnMouseDown(50, 50, IMouseMods(true));
  EXPECT_TRUE(g.CursorIsHidden());
  EXPECT_TRUE(g.CursorIsLocked());
  Drag(knob, -10);
  ASSERT_EQ(dlg.paramValues.size(), 10u);
  EXPECT_EQ(dlg.paramValues.back().paramIdx, 0);
  EXPECT_NEAR(dlg.paramValues.back().value, 0.025, 1e-9);
  EXPECT_NEAR(dlg.GetParam(0)->Value(), -28.5, 1e-9); // −30 + 0.025 × 60
  knob->OnMouseUp(50, 50, IMouseMods(true));
  EXPECT_FALSE(g.CursorIsHidden());
  EXPECT_FALSE(knob->GetMouseDown());
}

TEST_F(ControlFixture, SteppedKnobShowsStepsWhileTheDragMovesSmoothly)
{
  TestKnob* knob = AddKnob(3); // "Steps": 0 … 10
  knob->OnMouseDown(50, 50, IMouseMods(true));
  Drag(knob, -18); // drag value 0.045
  EXPECT_NEAR(knob->GetDragValue(), 0.045, 1e-9);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  Drag(knob, -4); // 0.055: rounds to the first step
  EXPECT_NEAR(knob->GetValue(), 0.1, 1e-9);
}

TEST_F(ControlFixture, WheelStepsByIncrementOrByParameterStep)
{
  TestKnob* knob = AddKnob();
  knob->OnMouseWheel(0, 0, IMouseMods(), 1.f);
  EXPECT_NEAR(knob->GetValue(), 0.01, 1e-12);
  knob->OnMouseWheel(0, 0, IMouseMods(false, false, false, true), 2.f);
  EXPECT_NEAR(knob->GetValue(), 0.012, 1e-12);
  knob->OnMouseWheel(0, 0, IMouseMods(), -5.f);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0); // clamped

  TestKnob* stepped = AddKnob(3);
  stepped->OnMouseWheel(0, 0, IMouseMods(), 3.f); // one step per event, however far the wheel went
  EXPECT_NEAR(stepped->GetValue(), 0.1, 1e-12);
  stepped->OnMouseWheel(0, 0, IMouseMods(), 0.f);
  EXPECT_NEAR(stepped->GetValue(), 0.1, 1e-12);
  stepped->OnMouseWheel(0, 0, IMouseMods(), -1.f);
  stepped->OnMouseWheel(0, 0, IMouseMods(), -1.f);
  EXPECT_DOUBLE_EQ(stepped->GetValue(), 0.0);
}

// ---- Values from the host -------------------------------------------------------------------

TEST_F(ControlFixture, DelegateValueIsIgnoredWhileTheUserHoldsTheControl)
{
  TestKnob* knob = AddKnob();
  g.CaptureControl(knob);
  knob->SetClean();
  knob->SetValueFromDelegate(0.7);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  EXPECT_FALSE(knob->IsDirty());

  g.ReleaseMouseCapture();
  knob->SetValueFromDelegate(0.7);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.7);
  EXPECT_TRUE(knob->IsDirty());
  EXPECT_TRUE(dlg.paramValues.empty()); // a host value is not sent back

  knob->SetClean();
  knob->SetValueFromDelegate(0.7); // unchanged: no redraw
  EXPECT_FALSE(knob->IsDirty());
}

TEST_F(ControlFixture, SetDirtyClampsAndOnlyActsWhenAsked)
{
  int actions = 0;
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10), 1);
  c->SetAction([&actions](IControl*) { ++actions; });

  c->SetValue(1.5);
  c->SetDirty(false);
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  EXPECT_TRUE(dlg.paramValues.empty());
  EXPECT_EQ(actions, 0);

  c->SetValue(-0.5);
  c->SetDirty(true);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);
  ASSERT_EQ(dlg.paramValues.size(), 1u);
  EXPECT_DOUBLE_EQ(dlg.paramValues[0].value, 0.0);
  EXPECT_EQ(actions, 1);

  // Not-a-number never enters a slot.
  c->SetValue(std::nan(""));
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);
  c->SetValueFromUserInput(INFINITY);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);
}

TEST_F(ControlFixture, SetValueToDefaultUsesTheParameterDefault)
{
  ProbeControl* gain = AddProbe(IRect(0, 0, 10, 10), 0); // default 0 dB of −30 … 30
  gain->SetValueToDefault();
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.5);
  ASSERT_EQ(dlg.paramValues.size(), 1u);

  auto* pair = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), {0, kNoParameter})));
  pair->SetValue(0.9, 1);
  pair->SetValueToDefault(kNoValIdx);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.5);
  EXPECT_DOUBLE_EQ(pair->GetValue(1), 0.9); // unlinked: no default to go to
}

// ---- Switch ---------------------------------------------------------------------------------

TEST_F(ControlFixture, SwitchSteppingForTwoAndThreeStates)
{
  struct Case
  {
    int states;
    double start;
    std::vector<double> sequence;
  };
  const Case cases[] = {
    {2, 0.0, {1.0, 0.0, 1.0}},
    {2, 0.3, {0.0, 1.0}}, // only exactly 0 goes to 1
    {3, 0.0, {0.5, 1.0, 0.0, 0.5}},
    {5, 0.0, {0.25, 0.5, 0.75, 1.0, 0.0}},
  };
  for (const Case& c : cases)
  {
    auto* sw = static_cast<TestSwitch*>(g.AttachControl(new TestSwitch(IRect(0, 0, 10, 10), kNoParameter, nullptr, c.states)));
    sw->SetValue(c.start);
    for (double expected : c.sequence)
    {
      sw->OnMouseDown(5, 5, IMouseMods(true));
      EXPECT_TRUE(sw->GetMouseDown());
      sw->OnMouseUp(5, 5, IMouseMods(true));
      EXPECT_NEAR(sw->GetValue(), expected, 1e-12) << c.states << " states from " << c.start;
    }
  }
}

TEST_F(ControlFixture, SwitchTakesItsStatesFromTheParameter)
{
  auto* sw = static_cast<TestSwitch*>(g.AttachControl(new TestSwitch(IRect(0, 0, 10, 10), 2))); // enum of 3
  EXPECT_EQ(sw->GetNumStates(), 3);
  sw->OnMouseDown(5, 5, IMouseMods(true));
  EXPECT_NEAR(sw->GetValue(), 0.5, 1e-12);
  ASSERT_EQ(dlg.paramValues.size(), 1u);
  EXPECT_EQ(dlg.paramValues[0].paramIdx, 2);
  EXPECT_DOUBLE_EQ(dlg.GetParam(2)->Value(), 1.0);
}

// ---- Base behaviour -------------------------------------------------------------------------

TEST_F(ControlFixture, DisablingDimsTheBlend)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10));
  c->SetDisabled(true);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 0.25f);
  EXPECT_TRUE(c->IsDisabled());
  c->SetDisabled(false);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 1.f);
}

TEST_F(ControlFixture, ValueSlotUnderThePointer)
{
  ProbeControl* one = AddProbe(IRect(0, 0, 10, 10), 0);
  auto* two = static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(IRect(0, 0, 10, 10), {0, 1})));
  for (float x : {-100.f, 0.f, 5.f, 1000.f})
    EXPECT_EQ(one->GetValIdxForPos(x, x), 0);
  EXPECT_EQ(two->GetValIdxForPos(5, 5), kNoValIdx);
  EXPECT_EQ(two->LinkedToParam(1), 1);
  EXPECT_EQ(two->LinkedToParam(3), -1);
  EXPECT_EQ(two->GetParamIdx(7), kNoParameter);
  EXPECT_DOUBLE_EQ(two->GetValue(-1), 0.0);
}

TEST_F(ControlFixture, HoverMarksDirtyOnlyOnAChange)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10));
  c->SetClean();
  c->OnMouseOver(1, 1, IMouseMods());
  EXPECT_TRUE(c->GetMouseIsOver());
  EXPECT_TRUE(c->IsDirty());
  c->SetClean();
  c->OnMouseOver(2, 2, IMouseMods());
  EXPECT_FALSE(c->IsDirty());
  c->OnMouseOut();
  EXPECT_TRUE(c->IsDirty());
  c->SetClean();
  c->OnMouseOut();
  EXPECT_FALSE(c->IsDirty());
}

TEST_F(ControlFixture, PositionAndSize)
{
  ProbeControl* c = AddProbe(IRect(10, 10, 30, 20));
  c->SetTargetRECT(IRect(5, 5, 35, 25));
  const int resizes = c->resizes;
  c->SetPosition(-5, 40);
  EXPECT_EQ(c->GetRECT(), IRect(0, 40, 20, 50));
  EXPECT_EQ(c->GetTargetRECT(), IRect(-5, 35, 25, 55));
  EXPECT_EQ(c->resizes, resizes + 1);
  c->SetSize(-3, 8);
  EXPECT_EQ(c->GetRECT(), IRect(0, 40, 0, 48));
  EXPECT_EQ(c->GetTargetRECT(), c->GetRECT());
  EXPECT_FALSE(c->IsHit(0, 44)); // zero width: nothing to hit
}

TEST_F(ControlFixture, SnapToMouseRoundsToAThousandth)
{
  ProbeControl* c = AddProbe(IRect(0, 0, 100, 100), 1);
  c->SnapToMouse(33.33f, 0, EDirection::Horizontal, IRect(0, 0, 300, 100));
  EXPECT_NEAR(c->GetValue(), 0.111, 1e-12);
  c->SnapToMouse(0, 25, EDirection::Vertical, IRect(0, 0, 100, 100), 0, 0.0, 0.5);
  EXPECT_NEAR(c->GetValue(), 0.5, 1e-12); // 0.75 clipped to the maximum
  c->SnapToMouse(0, 500, EDirection::Vertical, IRect(0, 0, 100, 100));
  EXPECT_NEAR(c->GetValue(), 0.0, 1e-12);
  c->SnapToMouse(0, 0, EDirection::Vertical, IRect(0, 0, 100, 0)); // no height: ignored
  EXPECT_NEAR(c->GetValue(), 0.0, 1e-12);
}

TEST_F(ControlFixture, AnimationRunsOnTheMonotonicClockAndEndsWithItsAction)
{
  uint64_t nowNs = 0;
  SetMonotonicClockSource([&nowNs] { return nowNs; });
  ProbeControl* c = AddProbe(IRect(0, 0, 10, 10));
  int ended = 0;
  c->SetAnimationEndAction([&ended](IControl*) { ++ended; });
  std::vector<double> progress;
  c->SetAnimation(
    [&progress](IControl* self) {
      progress.push_back(self->GetAnimationProgress());
      if (progress.back() > 1.0)
        self->OnEndAnimation();
    },
    200.0);

  for (int tick = 0; tick < 4; ++tick)
  {
    IRectList rects;
    EXPECT_TRUE(g.IsDirty(rects));
    g.SetAllControlsClean();
    nowNs += 100'000'000; // 100 ms
  }
  EXPECT_EQ(progress, (std::vector<double>{0.0, 0.5, 1.0, 1.5}));
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(c->GetAnimationFunction());
  EXPECT_DOUBLE_EQ(c->GetAnimationProgress(), 0.0);
  SetMonotonicClockSource(nullptr);
}

TEST_F(ControlFixture, PromptsAreOffByDefaultAndAskThePlatformWhenOn)
{
  ProbeControl* mode = AddProbe(IRect(0, 0, 40, 20), 2); // enum "A", "B", "C"
  mode->OnMouseDown(5, 5, IMouseMods(false, true));
  mode->OnMouseDblClick(5, 5, IMouseMods(true));
  EXPECT_TRUE(g.popupMenus.empty());
  EXPECT_TRUE(g.textEntries.empty());

  mode->SetDisablePrompt(false);
  g.popupChoice = 2;
  mode->OnMouseDblClick(5, 5, IMouseMods(true));
  ASSERT_EQ(g.popupMenus.size(), 1u);
  EXPECT_EQ(g.popupMenus[0], (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_DOUBLE_EQ(mode->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(dlg.GetParam(2)->Value(), 2.0);

  g.popupChoice = -1; // dismissed: nothing changes
  mode->OnMouseDown(5, 5, IMouseMods(false, true));
  EXPECT_DOUBLE_EQ(mode->GetValue(), 1.0);

  ProbeControl* gain = AddProbe(IRect(100, 100, 200, 150), 0);
  gain->SetDisablePrompt(false);
  gain->SetPromptShowsParamLabel(true);
  gain->OnMouseDblClick(150, 125, IMouseMods(true));
  ASSERT_EQ(g.textEntries.size(), 1u);
  EXPECT_EQ(g.textEntries[0].paramIdx, 0);
  EXPECT_EQ(g.textEntries[0].bounds, IRect(130, 117, 170, 133));
  EXPECT_EQ(g.textEntries[0].length, 7);
  EXPECT_EQ(g.textEntries[0].text, "0.0 dB");

  ProbeControl* unlinked = AddProbe(IRect(0, 0, 10, 10));
  unlinked->SetDisablePrompt(false);
  unlinked->OnMouseDblClick(1, 1, IMouseMods(true));
  EXPECT_EQ(g.textEntries.size(), 1u);
}

} // namespace
} // namespace gfxtest
