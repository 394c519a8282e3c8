#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "ByteChunk.h"
#include "Corvane.h"
#include "IBKnobControl.h"
#include "IBSwitchControl.h"
#include "IBitmapControl.h"
#include "IBubbleControl.h"
#include "ICornerResizerControl.h"
#include "support/WindowedRecordingGraphics.h"

using namespace iplug;
using namespace iplug::igraphics;
using Op = RecordingGraphics::Op;

namespace {

int parentWindow = 0;

// The product with its real layout and resources, on a recording context that stands in for
// the window layer's.
class CorvaneEditor : public ::testing::Test
{
protected:
  CorvaneEditor() { plug = Make(); }

  std::unique_ptr<Corvane> Make(float screenScale = 1.f)
  {
    std::unique_ptr<Corvane> p(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
    Corvane* raw = p.get();
    p->SetMakeGraphicsFunc([raw, screenScale] {
      auto* g = new WindowedRecordingGraphics(raw, 1086, 214, 60, 1.f);
      g->openScreenScale = screenScale;
      return g;
    });
    return p;
  }

  WindowedRecordingGraphics& Open(Corvane& p)
  {
    p.OpenEditorWindow(&parentWindow);
    return *static_cast<WindowedRecordingGraphics*>(p.GetUI());
  }

  static IMouseEvent Pointer(float x, float y, float dX = 0.f, float dY = 0.f)
  {
    IMouseEvent e;
    e.x = x;
    e.y = y;
    e.dX = dX;
    e.dY = dY;
    e.ms = IMouseMods(true);
    return e;
  }

  std::unique_ptr<Corvane> plug;
};

TEST_F(CorvaneEditor, LayoutAttachesTheSevenControlsInOrder)
{
  WindowedRecordingGraphics& g = Open(*plug);

  struct Expected
  {
    const std::type_info& type;
    IRect bounds;
    int paramIdx;
    const char* bitmap;
    int frames;
    bool hasAction;
  };
  const Expected expected[] = {
    {typeid(IBitmapControl), IRect(0, 0, 1086, 214), kNoParameter, "BG.png", 1, false},
    {typeid(IBKnobControl), IRect(63, 31, 193, 161), kGain, "KNOB.png", 61, true},
    {typeid(IBKnobControl), IRect(337, 31, 467, 161), kLowGain, "KNOB.png", 61, true},
    {typeid(IBKnobControl), IRect(616, 31, 746, 161), kHighGain, "KNOB.png", 61, true},
    {typeid(IBKnobControl), IRect(891, 31, 1021, 161), kOutputLevel, "KNOB.png", 61, true},
    {typeid(IBSwitchControl), IRect(524, 161, 561, 198), kBypass, "SW.png", 2, false},
    {typeid(IBSwitchControl), IRect(450, 12, 634, 29), kOversampling, "OVER.png", 2, true},
  };
  ASSERT_EQ(g.NControls(), 7);
  for (int i = 0; i < 7; ++i)
  {
    IControl* c = g.GetControl(i);
    const Expected& e = expected[i];
    EXPECT_EQ(typeid(*c), e.type) << i;
    EXPECT_EQ(c->GetRECT(), e.bounds) << i;
    EXPECT_EQ(c->GetParamIdx(), e.paramIdx) << i;
    EXPECT_EQ(c->GetGroup(), "") << i;
    EXPECT_EQ(static_cast<bool>(c->GetActionFunction()), e.hasAction) << i;
    const IBitmapBase* bitmapPart = dynamic_cast<const IBitmapBase*>(c);
    ASSERT_NE(bitmapPart, nullptr);
    EXPECT_EQ(bitmapPart->GetBitmap().GetResourceName(), e.bitmap) << i;
    EXPECT_EQ(bitmapPart->GetBitmap().N(), e.frames) << i;
    EXPECT_FALSE(bitmapPart->GetBitmap().GetFramesAreHorizontal());
    if (auto* knob = dynamic_cast<IBKnobControl*>(c))
    {
      EXPECT_EQ(knob->GetDirection(), EDirection::Vertical);
      EXPECT_EQ(knob->GetGearing(), 4.0);
    }
  }

  // The overlays: the zoom handle in the corner, faint until found, and one bubble.
  ASSERT_NE(g.GetCornerResizer(), nullptr);
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1066, 194, 1086, 214));
  EXPECT_EQ(g.GetResizerMode(), kResizeModeScale);
  EXPECT_FALSE(g.GetLayoutOnResize());
  EXPECT_EQ(g.NBubbleControls(), 1);
  EXPECT_TRUE(g.MouseOverEnabled());
  EXPECT_FALSE(g.MultiTouchEnabled()); // as the platform reports
  EXPECT_EQ(g.fontCalls, (std::vector<std::string>{"platform:Roboto-Regular", "api:Roboto-Regular", "cache:Roboto-Regular"}));

  g.ClearCalls();
  g.GetCornerResizer()->Draw(g);
  EXPECT_EQ(g.CallsOf(Op::PathFill)[0].color, IColor(10, 0, 0, 0));
}

TEST_F(CorvaneEditor, EachPictureIsDecodedOnceWhateverTheDisplaysDensity)
{
  // At density 2 the pictures exist as they are stored: every later request is a cache hit.
  auto hiDpi = Make(2.f);
  WindowedRecordingGraphics& g = Open(*hiDpi);
  EXPECT_EQ(g.Decodes(), 4); // BG, KNOB, SW, OVER
  EXPECT_GT(g.LoadRequests(), 7);
  // At density 1 the double-density pictures are decoded once for that density too.
  WindowedRecordingGraphics& lowDpi = Open(*plug);
  EXPECT_GT(lowDpi.LoadRequests(), 7);
  EXPECT_EQ(lowDpi.Decodes(), 4);
}

TEST_F(CorvaneEditor, DefaultsShowTheMiddleKnobFrameAndTheFirstSwitchFrames)
{
  WindowedRecordingGraphics& g = Open(*plug);
  g.ClearCalls();
  IRectList everything;
  everything.Add(g.GetBounds());
  g.Draw(everything);

  struct Drawn
  {
    std::string bitmap;
    IRect dest;
    std::vector<float> src;
    bool operator==(const Drawn&) const = default;
  };
  std::vector<Drawn> drawn;
  for (const auto& call : g.CallsOf(Op::DrawBitmap))
    drawn.push_back(Drawn{call.text, call.rect, call.args});
  const std::vector<Drawn> expected = {
    {"BG.png", IRect(0, 0, 1086, 214), {0, 0}},
    {"KNOB.png", IRect(63, 31, 193, 161), {0, 3900}}, // frame 31 of 61
    {"KNOB.png", IRect(337, 31, 467, 161), {0, 3900}},
    {"KNOB.png", IRect(616, 31, 746, 161), {0, 3900}},
    {"KNOB.png", IRect(891, 31, 1021, 161), {0, 3900}},
    {"SW.png", IRect(524, 161, 561, 198), {0, 0}},
    {"OVER.png", IRect(450, 12, 634, 29), {0, 0}},
  };
  ASSERT_EQ(drawn.size(), expected.size());
  for (size_t i = 0; i < drawn.size(); ++i)
  {
    EXPECT_EQ(drawn[i].bitmap, expected[i].bitmap) << i;
    EXPECT_EQ(drawn[i].dest, expected[i].dest) << i;
    EXPECT_EQ(drawn[i].src, expected[i].src) << i;
  }
  EXPECT_EQ(g.CountOf(Op::DrawText), 0); // the bubble is hidden
}

TEST_F(CorvaneEditor, TurningAControlShowsItsValueInABubbleBelowIt)
{
  struct Step
  {
    float dX, dY;
    const char* text;
  };
  struct Case
  {
    const char* what;
    float x, y; // where the press lands
    std::vector<Step> drags;
    const char* clickText; // the bubble after a click without drags (null: no bubble)
    float bubbleTop;
  };
  const Case cases[] = {
    // A sideways move shows the value unchanged; 106.6 pixels up with gearing 4 is +12.3 dB.
    {"Gain", 128, 96, {{1, 0, "0.0 dB"}, {0, -106.6f, "12.3 dB"}}, nullptr, 161},
    {"Low Gain", 402, 96, {{0, 65, "-2.5"}}, nullptr, 161},
    {"High Gain", 681, 96, {{0, -26, "1.0"}}, nullptr, 161},
    {"Output", 956, 96, {{0, 520, "-15.0 dB"}}, nullptr, 161},
    {"Oversampling", 542, 20, {}, "Oversampling On", 29},
    {"Bypass", 542, 179, {}, nullptr, 0},
  };
  for (const Case& c : cases)
  {
    auto p = Make();
    WindowedRecordingGraphics& g = Open(*p);
    IBubbleControl* bubble = g.GetBubbleControl();
    IControl* control = g.GetMouseControl(c.x, c.y, false);
    g.OnMouseDown({Pointer(c.x, c.y)});
    for (const Step& step : c.drags)
    {
      g.OnMouseDrag({Pointer(c.x + step.dX, c.y + step.dY, step.dX, step.dY)});
      EXPECT_EQ(bubble->GetBubbleText(), step.text) << c.what;
    }
    g.OnMouseUp({Pointer(c.x, c.y)});

    if (c.drags.empty() && !c.clickText)
    {
      EXPECT_TRUE(bubble->IsHidden()) << c.what;
      EXPECT_EQ(bubble->GetAnimationState(), 0) << c.what;
      EXPECT_EQ(bubble->GetCaller(), nullptr) << c.what;
      continue;
    }
    if (c.clickText)
    {
      EXPECT_EQ(bubble->GetBubbleText(), c.clickText) << c.what;
    }
    EXPECT_FALSE(bubble->IsHidden()) << c.what;
    EXPECT_EQ(bubble->GetCaller(), control) << c.what;
    const IRect r = bubble->GetBubbleBounds();
    EXPECT_EQ(r.T, c.bubbleTop) << c.what;
    EXPECT_EQ(r.MW(), control->GetRECT().MW()) << c.what;
    EXPECT_GE(r.W(), 80.f);
    EXPECT_EQ(r.H(), 40.f);
    EXPECT_EQ(bubble->GetArrowSide(), IBubbleControl::kArrowTop) << c.what;
  }
}

TEST_F(CorvaneEditor, ClicksAndDragsChangeTheParameters)
{
  WindowedRecordingGraphics& g = Open(*plug);
  g.OnMouseDown({Pointer(128, 96)});
  g.OnMouseDrag({Pointer(128, 0, 0, -106.6f)});
  g.OnMouseUp({Pointer(128, 0)});
  EXPECT_NEAR(plug->GetParam(kGain)->Value(), 12.3, 1e-5);
  EXPECT_NEAR(plug->DriveFactor(), std::pow(10.0, plug->GetParam(kGain)->Value() / 20.0), 1e-12);

  for (int i = 0; i < 2; ++i)
  {
    g.OnMouseDown({Pointer(542, 20)});
    g.OnMouseUp({Pointer(542, 20)});
  }
  EXPECT_EQ(plug->GetParam(kOversampling)->Value(), 0.0); // on, then off again
  g.OnMouseDown({Pointer(542, 179)});
  g.OnMouseUp({Pointer(542, 179)});
  EXPECT_EQ(plug->GetParam(kBypass)->Value(), 1.0);
  EXPECT_EQ(plug->BypassMultiplier(), 0.0);
}

TEST_F(CorvaneEditor, CornerHandleZoomsToTwiceTheSizeAndADoubleClickRestoresIt)
{
  WindowedRecordingGraphics& g = Open(*plug);
  g.OnMouseDown({Pointer(1080, 210)});
  g.OnMouseDrag({Pointer(4000, 4000, 2920, 3790)}); // beyond the largest size
  g.OnMouseUp({Pointer(4000, 4000)});
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 2.f);
  EXPECT_EQ(g.WindowWidth(), 2172);
  EXPECT_EQ(g.WindowHeight(), 428);
  // The same face, only larger: the logical layout does not move.
  EXPECT_EQ(g.Width(), 1086);
  EXPECT_EQ(g.GetControl(1)->GetRECT(), IRect(63, 31, 193, 161));
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1076, 204, 1086, 214));
  g.ClearCalls();
  IRectList everything;
  everything.Add(g.GetBounds());
  g.Draw(everything);
  EXPECT_EQ(g.CallsOf(Op::DrawBitmap)[1].rect, IRect(63, 31, 193, 161));

  EXPECT_TRUE(g.OnMouseDblClick(1080, 208, IMouseMods(true)));
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.f);
  EXPECT_EQ(g.WindowWidth(), 1086);
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1066, 194, 1086, 214));
}

// ---- The editor's size in the saved state -------------------------------------------------------

TEST_F(CorvaneEditor, AStateSavedAtZoomTwoOpensTheNextEditorAtZoomTwo)
{
  ByteChunk fresh;
  ASSERT_TRUE(plug->WriteState(fresh));
  ASSERT_EQ(fresh.Size(), 60);
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(fresh.GetData()[i], 0) << i; // no editor yet: width 0, height 0, scale 0

  Open(*plug).Resize(1086, 214, 2.f);
  ByteChunk zoomed;
  plug->WriteState(zoomed); // written while open: the open editor's size
  int w = 0, h = 0;
  float s = 0.f;
  zoomed.Get(&s, zoomed.Get(&h, zoomed.Get(&w, 0)));
  EXPECT_EQ(w, 1086);
  EXPECT_EQ(h, 214);
  EXPECT_FLOAT_EQ(s, 2.f);
  plug->CloseEditorWindow();

  auto restored = Make();
  EXPECT_EQ(restored->ReadState(zoomed, 0), 60);
  EXPECT_EQ(restored->GetLastWidth(), 1086);
  EXPECT_EQ(restored->GetLastHeight(), 214);
  EXPECT_FLOAT_EQ(restored->GetLastScale(), 2.f);
  WindowedRecordingGraphics& g = Open(*restored);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 2.f);
  EXPECT_EQ(g.WindowWidth(), 2172);
  EXPECT_EQ(g.WindowHeight(), 428);
  EXPECT_EQ(g.NControls(), 7);

  // Restored into an open editor: a record of zeros leaves it as it is, a real one applies at once.
  EXPECT_EQ(restored->ReadState(fresh, 0), 60);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 2.f);
  auto other = Make();
  WindowedRecordingGraphics& otherEditor = Open(*other);
  EXPECT_EQ(other->ReadState(zoomed, 0), 60);
  EXPECT_FLOAT_EQ(otherEditor.GetDrawScale(), 2.f);
}

TEST_F(CorvaneEditor, CloseAndReopenKeepTheZoom)
{
  Open(*plug).Resize(1086, 214, 1.5f);
  plug->CloseEditorWindow();
  EXPECT_EQ(plug->GetUI(), nullptr);
  WindowedRecordingGraphics& g = Open(*plug);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.5f);
  EXPECT_EQ(g.WindowWidth(), 1629);
  EXPECT_EQ(g.WindowHeight(), 321);
  // Laid out afresh, showing the current values.
  EXPECT_EQ(g.NControls(), 7);
  EXPECT_DOUBLE_EQ(g.GetControl(1)->GetValue(), 0.5);
}

} // namespace
