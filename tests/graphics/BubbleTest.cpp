#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BubbleActions.h"
#include "GraphicsFixture.h"
#include "IBubbleControl.h"
#include "MonotonicClock.h"

namespace gfxtest {
namespace {

// The bubble of a context with a probe where the product's "Gain" knob sits, and a clock that
// the test moves.
class BubbleFixture : public GraphicsFixture
{
protected:
  BubbleFixture()
  {
    SetMonotonicClockSource([this] { return nowMs * 1'000'000ull; });
    g.AttachBubbleControl();
    bubble = g.GetBubbleControl();
    knob = AddProbe(IRect(63, 31, 193, 161), 0);
  }
  ~BubbleFixture() override { SetMonotonicClockSource(nullptr); }

  // One display tick at the given time.
  void TickAt(uint64_t ms)
  {
    nowMs = ms;
    IRectList rects;
    g.IsDirty(rects);
    g.SetAllControlsClean();
  }

  uint64_t nowMs = 0;
  IBubbleControl* bubble = nullptr;
  ProbeControl* knob = nullptr;
};

TEST_F(BubbleFixture, PlacementFollowsTheDirectionAndTheRoomAround)
{
  // Text boxes here are 7 pixels per character and 14 high.
  struct Case
  {
    const char* what;
    IRect caller;
    float x, y;
    int direction;
    const char* text;
    IRect bubbleBounds;
    int arrowSide;
  };
  const IRect small(0, 0, 50, 20);
  const Case cases[] = {
    // No room above a knob at the top: directly below it, arrow on top.
    {"above, no room", IRect(63, 31, 193, 161), 128, 31, 0, "0.0 dB", IRect(88, 161, 168, 201), 0},
    {"above, switch", IRect(450, 12, 634, 29), 542, 12, 0, "Oversampling On", IRect(474.5f, 29, 609.5f, 69), 0},
    {"above, room", IRect(300, 80, 340, 120), 320, 80, 0, "1", IRect(280, 40, 360, 80), 2},
    {"beside, room", IRect(300, 80, 340, 120), 340, 100, 1, "1", IRect(340, 80, 420, 120), 3},
    {"beside, no room", IRect(1000, 80, 1040, 120), 1040, 100, 1, "1", IRect(920, 80, 1000, 120), 1},
  };
  std::vector<std::unique_ptr<ProbeControl>> callers; // each case a caller of its own
  for (const Case& c : cases)
  {
    callers.push_back(std::make_unique<ProbeControl>(c.caller));
    bubble->ShowBubble(callers.back().get(), c.x, c.y, c.text, c.direction, small);
    EXPECT_EQ(bubble->GetBubbleBounds(), c.bubbleBounds) << c.what;
    EXPECT_EQ(bubble->GetArrowSide(), c.arrowSide) << c.what;
    EXPECT_EQ(bubble->GetBubbleText(), c.text);
    // A new caller: the bubble's bounds are its own again and the whole editor repaints.
    EXPECT_EQ(bubble->GetRECT(), c.bubbleBounds) << c.what;
  }
  // No minimum: the bubble fits the text.
  bubble->ShowBubble(callers.back().get(), 320, 80, "1", 0, IRect());
  EXPECT_EQ(bubble->GetBubbleBounds(), IRect(301.5f, 46, 338.5f, 80));
}

TEST_F(BubbleFixture, SameCallerGrowsTheBoundsSoTheOldPlaceIsRepainted)
{
  bubble->ShowBubble(knob, 128, 31, "twenty characters!!!", 0, IRect(0, 0, 50, 20));
  EXPECT_EQ(bubble->GetRECT(), IRect(43, 161, 213, 201));
  bubble->ShowBubble(knob, 128, 31, "0.0 dB", 0, IRect(0, 0, 50, 20));
  EXPECT_EQ(bubble->GetBubbleBounds(), IRect(88, 161, 168, 201));
  EXPECT_EQ(bubble->GetRECT(), IRect(43, 161, 213, 201));
}

TEST_F(BubbleFixture, AboveActionShowsTheParameterTextWithItsLabel)
{
  knob->SetAction(BubbleAboveActionSmall);
  knob->SetValueFromUserInput(0.705);
  EXPECT_EQ(bubble->GetBubbleText(), "12.3 dB");
  EXPECT_EQ(bubble->GetBubbleBounds(), IRect(88, 161, 168, 201)); // 7 characters: 49 → 50 wide
  EXPECT_FALSE(bubble->IsHidden());

  ProbeControl* lowGain = AddProbe(IRect(337, 31, 467, 161), 1);
  lowGain->SetAction(BubbleBesideAction);
  lowGain->SetValueFromUserInput(0.375);
  EXPECT_EQ(bubble->GetBubbleText(), "-2.5"); // no label
  EXPECT_EQ(bubble->GetArrowSide(), 3);
  EXPECT_EQ(bubble->GetBubbleBounds(), IRect(467, 71, 547, 121)); // at least 50 × 30 of text

  // A control without a parameter has nothing to show.
  ProbeControl* plain = AddProbe(IRect(600, 31, 700, 161));
  plain->SetAction(BubbleAboveAction);
  plain->SetValueFromUserInput(0.5);
  EXPECT_EQ(bubble->GetCaller(), lowGain);
}

TEST_F(BubbleFixture, FadesInHoldsWhileHeldThenFadesOut)
{
  struct Case
  {
    uint64_t releaseAtMs;
    uint64_t fadeOutFromMs; // first tick with state 3
    uint64_t hiddenAtMs;
  };
  // Ticks every 10 ms. The fade-in ends on the tick after 200 ms (210), the hold on the tick
  // after 1000 ms more (1220); while the knob is held the hold is renewed every 200 ms.
  const Case cases[] = {
    {0, 1220, 1430},
    {100, 1220, 1430},
    {2000, 2060, 2270},
  };
  for (const Case& c : cases)
  {
    TickAt(0);
    ProbeControl caller(IRect(63, 31, 193, 161), 0);
    caller.SetGraphics(&g);
    g.CaptureControl(&caller);
    bubble->ShowBubble(&caller, 128, 31, "0.0 dB", 0, IRect(0, 0, 50, 20));
    EXPECT_EQ(bubble->GetAnimationState(), 1);

    uint64_t fadeOutFrom = 0;
    uint64_t hiddenAt = 0;
    for (uint64_t t = 0; t <= 3000 && !hiddenAt; t += 10)
    {
      if (t == c.releaseAtMs)
        g.ReleaseMouseCapture();
      TickAt(t);
      const int state = bubble->GetAnimationState();
      const float opacity = bubble->GetOpacity();
      if (t == 100)
      {
        EXPECT_NEAR(opacity, 0.475f, 1e-5f); // halfway in
      }
      if (t == 500)
      {
        EXPECT_EQ(state, 2);
        EXPECT_NEAR(opacity, 0.95f, 1e-6f);
        // Shown again while visible: new text, no new fade-in.
        bubble->ShowBubble(&caller, 128, 31, "0.1 dB", 0, IRect(0, 0, 50, 20));
        EXPECT_EQ(bubble->GetAnimationState(), 2);
        EXPECT_EQ(bubble->GetBubbleText(), "0.1 dB");
      }
      if (state == 3 && !fadeOutFrom)
        fadeOutFrom = t;
      if (fadeOutFrom && t == fadeOutFrom + 100)
      {
        EXPECT_NEAR(opacity, 0.475f, 1e-5f); // halfway out
      }
      if (state == 0)
        hiddenAt = t;
    }
    EXPECT_EQ(fadeOutFrom, c.fadeOutFromMs) << "released at " << c.releaseAtMs;
    EXPECT_EQ(hiddenAt, c.hiddenAtMs) << "released at " << c.releaseAtMs;
    EXPECT_TRUE(bubble->IsHidden());
    EXPECT_EQ(bubble->GetOpacity(), 0.f);
    EXPECT_FALSE(bubble->GetAnimationFunction()); // nothing left running
    g.ReleaseMouseCapture();
    // The next show starts from a fresh fade-in.
    TickAt(4000);
    bubble->ShowBubble(knob, 128, 31, "0.0 dB", 0, IRect());
    EXPECT_EQ(bubble->GetAnimationState(), 1);
    for (uint64_t t = 4000; t <= 6000; t += 10)
      TickAt(t);
    EXPECT_EQ(bubble->GetAnimationState(), 0);
  }
}

TEST_F(GraphicsFixture, BubbleForAControlGoesToTheBubbleOfItsTouch)
{
  ProbeControl* knob = AddProbe(IRect(63, 31, 193, 161), 0);
  g.ShowBubbleControl(knob, 128, 31, "no bubble yet", 0); // nothing attached: nothing happens

  g.AttachBubbleControl();
  g.AttachBubbleControl();
  IBubbleControl* first = g.GetBubbleControl(0);
  IBubbleControl* second = g.GetBubbleControl(1);

  // Without multi-touch the first bubble serves every control.
  g.ShowBubbleControl(knob, 128, 31, "a", 0);
  EXPECT_EQ(first->GetBubbleText(), "a");
  EXPECT_TRUE(second->GetBubbleText().empty());

  // With multi-touch a control turned without a touch (the wheel) gets none ...
  g.EnableMultiTouch(true);
  g.ShowBubbleControl(knob, 128, 31, "b", 0);
  EXPECT_EQ(first->GetBubbleText(), "a");
  // ... and one held by a touch gets the bubble already serving that touch, or the next free one.
  g.CaptureControl(knob, 7);
  g.ShowBubbleControl(knob, 128, 31, "c", 0);
  const bool firstTook = first->GetBubbleText() == "c";
  IBubbleControl* serving = firstTook ? first : second;
  EXPECT_EQ(serving->GetBubbleText(), "c");
  EXPECT_EQ(serving->GetTouchID(), 7u);
  g.ShowBubbleControl(knob, 128, 31, "d", 0);
  EXPECT_EQ(serving->GetBubbleText(), "d");
  // Held by two touches at once: no bubble.
  g.CaptureControl(knob, 8);
  g.ShowBubbleControl(knob, 128, 31, "e", 0);
  EXPECT_EQ(serving->GetBubbleText(), "d");
}

} // namespace
} // namespace gfxtest
