#include <gtest/gtest.h>

#include <vector>

#include "GraphicsFixture.h"
#include "IBKnobControl.h"
#include "IBSwitchControl.h"
#include "IBitmapControl.h"
#include "support/WindowedRecordingGraphics.h"

namespace gfxtest {
namespace {

class BitmapFixture : public GraphicsFixture
{
protected:
  BitmapFixture()
  {
    g.AddBitmap("KNOB.png", 260, 15860, 2);
    g.AddBitmap("SW.png", 74, 148, 2);
    g.AddBitmap("SW3.png", 74, 222, 2);
    g.AddBitmap("ONE.png", 60, 40, 2);
  }

  // The one bitmap draw of a control: (source x, source y) and the destination.
  std::pair<std::vector<float>, IRect> DrawnFrame(IControl* c)
  {
    g.ClearCalls();
    c->Draw(g);
    const auto calls = g.CallsOf(Op::DrawBitmap);
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? std::make_pair(std::vector<float>{}, IRect()) : std::make_pair(calls[0].args, calls[0].rect);
  }
};

TEST_F(BitmapFixture, KnobShowsTheFrameNearestItsValue)
{
  auto* knob = static_cast<IBKnobControl*>(
    g.AttachControl(new IBKnobControl(63, 31, g.LoadBitmap("KNOB.png", 61, false, 2), 0, EDirection::Vertical, 4.0)));
  EXPECT_EQ(knob->GetRECT(), IRect(63, 31, 193, 161)); // one 130 × 130 frame
  EXPECT_EQ(knob->GetGearing(), 4.0);

  struct Case
  {
    double value;
    float srcY; // (frame − 1) × 130
  };
  const Case cases[] = {
    {0.0, 0}, {1.0, 7800}, {0.5, 3900}, {0.009, 130}, {0.99, 7670}, {0.0083, 0},
  };
  for (const Case& c : cases)
  {
    knob->SetValue(c.value);
    const auto [src, dest] = DrawnFrame(knob);
    EXPECT_EQ(src, (std::vector<float>{0, c.srcY})) << c.value;
    EXPECT_EQ(dest, knob->GetRECT()) << c.value;
  }
}

TEST_F(BitmapFixture, FrameIsCentredInTheBoundsAndClippedToThem)
{
  auto* knob = static_cast<IBKnobControl*>(g.AttachControl(new IBKnobControl(0, 0, g.LoadBitmap("KNOB.png", 61, false, 2), 0)));
  knob->SetTargetAndDrawRECTs(IRect(0, 0, 200, 200));
  EXPECT_EQ(DrawnFrame(knob).second, IRect(35, 35, 165, 165));

  knob->SetTargetAndDrawRECTs(IRect(10, 10, 110, 110));
  EXPECT_EQ(DrawnFrame(knob).second, IRect(-5, -5, 125, 125));
  g.ClearCalls();
  g.DrawControl(knob, g.GetBounds(), 1.f);
  // Drawn only inside the bounds grown by 0.75, whole pixels outward.
  ASSERT_EQ(g.CountOf(Op::SetClip), 1);
  EXPECT_EQ(g.CallsOf(Op::SetClip)[0].rect, IRect(9, 9, 111, 111));
}

TEST_F(BitmapFixture, ASingleImageAlwaysDrawsFromItsOriginAndDimsWhenDisabled)
{
  auto* picture = static_cast<IBitmapControl*>(g.AttachControl(new IBitmapControl(5, 6, g.LoadBitmap("ONE.png", 1, false, 2), 1)));
  EXPECT_EQ(picture->GetRECT(), IRect(5, 6, 35, 26));
  for (double v : {0.0, 0.6, 1.0})
  {
    picture->SetValue(v);
    EXPECT_EQ(DrawnFrame(picture).first, (std::vector<float>{0, 0}));
  }
  picture->SetDisabled(true);
  picture->Draw(g);
  EXPECT_FLOAT_EQ(g.CallsOf(Op::DrawBitmap).back().blendWeight, 0.25f);
}

TEST_F(BitmapFixture, MissingBitmapDrawsNothing)
{
  auto* knob = static_cast<IBKnobControl*>(g.AttachControl(new IBKnobControl(10, 10, g.LoadBitmap("GONE.png", 61, false, 2), 0)));
  EXPECT_EQ(knob->GetRECT(), IRect(10, 10, 10, 10));
  g.ClearCalls();
  knob->Draw(g);
  EXPECT_EQ(g.CountOf(Op::DrawBitmap), 0);
}

TEST_F(BitmapFixture, SwitchStepsOneFramePerClickAndWrapsToTheFirst)
{
  struct Case
  {
    const char* bitmap;
    int frames;
    std::vector<double> values; // after each click
    std::vector<float> srcY;
  };
  const Case cases[] = {
    {"SW.png", 2, {1.0, 0.0, 1.0}, {37, 0, 37}},
    {"SW3.png", 3, {0.5, 1.0, 0.0}, {37, 74, 0}},
  };
  for (const Case& c : cases)
  {
    auto* sw = static_cast<IBSwitchControl*>(g.AttachControl(new IBSwitchControl(524, 161, g.LoadBitmap(c.bitmap, c.frames, false, 2), 3)));
    EXPECT_EQ(sw->GetRECT(), IRect(524, 161, 561, 198));
    EXPECT_EQ(DrawnFrame(sw).first, (std::vector<float>{0, 0}));
    for (size_t i = 0; i < c.values.size(); ++i)
    {
      dlg.paramValues.clear();
      sw->OnMouseDown(530, 170, IMouseMods(true));
      EXPECT_NEAR(sw->GetValue(), c.values[i], 1e-12) << c.bitmap << " click " << i;
      EXPECT_FALSE(sw->GetMouseDown()); // a press on a switch does not hold it
      ASSERT_EQ(dlg.paramValues.size(), 1u);
      EXPECT_EQ(dlg.paramValues[0].paramIdx, 3);
      EXPECT_EQ(DrawnFrame(sw).first, (std::vector<float>{0, c.srcY[i]})) << c.bitmap << " click " << i;
    }
  }
}

TEST_F(BitmapFixture, SwitchCentredInBoundsTakesOneFrame)
{
  IBSwitchControl sw(IRect(0, 0, 100, 50), g.LoadBitmap("SW.png", 2, false, 2), 3);
  EXPECT_EQ(sw.GetRECT(), IRect(31.5f, 6.5f, 68.5f, 43.5f));
}

TEST_F(BitmapFixture, QuickDoubleClickTogglesASwitchOnceAndLeavesAKnobAlone)
{
  auto* sw = static_cast<IBSwitchControl*>(g.AttachControl(new IBSwitchControl(524, 161, g.LoadBitmap("SW.png", 2, false, 2), 3)));
  auto* knob = static_cast<IBKnobControl*>(g.AttachControl(new IBKnobControl(63, 31, g.LoadBitmap("KNOB.png", 61, false, 2), 0)));
  knob->SetValue(0.7);

  for (auto [x, y] : {std::pair{540.f, 180.f}, std::pair{100.f, 100.f}})
  {
    IMouseEvent e;
    e.x = x;
    e.y = y;
    e.ms = IMouseMods(true);
    g.OnMouseDown({e});
    g.OnMouseUp({e});
    EXPECT_TRUE(g.OnMouseDblClick(x, y, IMouseMods(true)));
    g.OnMouseUp({e});
  }
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.7);
  EXPECT_TRUE(g.textEntries.empty());
  EXPECT_TRUE(g.popupMenus.empty());
}

TEST(BitmapRescale, BitmapsAreAskedForAgainAtTheDisplaysDensity)
{
  iplug::RecordingEditorDelegate dlg(1);
  WindowedRecordingGraphics g(&dlg, 1086, 214);
  // At density 1 the 2x picture is decoded once and kept under 1: the attach's rescale finds it.
  const IBitmapInfo bitmap = g.LoadBitmap("KNOB.png", 61, false, 0);
  ASSERT_TRUE(bitmap.IsValid());
  EXPECT_FLOAT_EQ(bitmap.GetScale(), 2.f);
  auto* knob = static_cast<IBKnobControl*>(g.AttachControl(new IBKnobControl(63, 31, bitmap, 0)));
  EXPECT_EQ(g.Decodes(), 1);

  // A display of density 1.5 asks for density 2 once; back at 1, and at 2 again, all is cached.
  const int requests = g.LoadRequests();
  g.SetScreenScale(1.5f);
  EXPECT_EQ(g.LoadRequests(), requests + 1);
  EXPECT_EQ(g.Decodes(), 2);
  g.SetScreenScale(1.f);
  g.SetScreenScale(2.f);
  EXPECT_EQ(g.Decodes(), 2);
  EXPECT_EQ(knob->GetRECT(), IRect(63, 31, 193, 161));
  EXPECT_EQ(knob->GetBitmap().N(), 61);
}

} // namespace
} // namespace gfxtest
