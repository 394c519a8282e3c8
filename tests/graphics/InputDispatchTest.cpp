#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AAX_IViewContainer.h"
#include "GraphicsFixture.h"
#include "ICornerResizerControl.h"
#include "IPopupMenu.h"

namespace gfxtest {
namespace {

using Journal = std::vector<std::string>;
using iplug::IKeyPress;

std::string F(float v)
{
  std::string s = std::to_string(v);
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.')
    s.pop_back();
  return s;
}

// A control that writes every input hook it receives into the journal.
class InputProbe : public IControl
{
public:
  InputProbe(const IRect& bounds, const std::vector<int>& params, Journal& journal, const char* name)
    : IControl(bounds, params), mJournal(journal), mName(name)
  {
  }

  void OnMouseDown(float x, float y, const IMouseMods& mod) override
  {
    Note("down " + F(x) + "," + F(y) + (mod.R ? " R" : ""));
  }
  void OnMouseUp(float x, float y, const IMouseMods&) override { Note("up " + F(x) + "," + F(y)); }
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods&) override
  {
    Note("drag " + F(x) + "," + F(y) + " d" + F(dX) + "," + F(dY));
  }
  void OnMouseDblClick(float x, float y, const IMouseMods&) override { Note("dbl " + F(x) + "," + F(y)); }
  void OnMouseWheel(float, float, const IMouseMods&, float delta) override { Note("wheel " + F(delta)); }
  void OnMouseOver(float x, float y, const IMouseMods& mod) override
  {
    Note("over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override
  {
    if (mMouseIsOver)
      Note("out");
    IControl::OnMouseOut();
  }
  void OnDrop(const char* path) override { Note(std::string("drop ") + path); }
  bool OnKeyDown(float, float, const IKeyPress& key) override
  {
    Note(std::string("key ") + key.utf8);
    return handlesKeys;
  }
  bool OnKeyUp(float, float, const IKeyPress& key) override
  {
    Note(std::string("keyup ") + key.utf8);
    return handlesKeys;
  }
  void CreateContextMenu(IPopupMenu& menu) override
  {
    for (const std::string& item : menuItems)
      menu.AddItem(item.c_str());
  }
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override
  {
    Note("menu " + std::to_string(menu ? menu->GetChosenItemIdx() : -2) + " slot " + std::to_string(valIdx));
  }
  void OnRescale() override { ++rescales; }
  void Draw(IGraphics&) override {}

  bool handlesKeys = false;
  int rescales = 0;
  std::vector<std::string> menuItems;

private:
  void Note(const std::string& what) { mJournal.push_back(mName + ":" + what); }
  Journal& mJournal;
  std::string mName;
};

// The editor delegate notes gestures in the same journal, so their order against the control's
// hooks shows.
class JournalDelegate : public iplug::RecordingEditorDelegate
{
public:
  JournalDelegate(int nParams, Journal& journal) : RecordingEditorDelegate(nParams), mJournal(journal) {}
  void FromEditorBeginParamGesture(int paramIdx) override
  {
    mJournal.push_back("begin " + std::to_string(paramIdx));
    RecordingEditorDelegate::FromEditorBeginParamGesture(paramIdx);
  }
  void FromEditorEndParamGesture(int paramIdx) override
  {
    mJournal.push_back("end " + std::to_string(paramIdx));
    RecordingEditorDelegate::FromEditorEndParamGesture(paramIdx);
  }

private:
  Journal& mJournal;
};

// Plays the host's view container: its own modifier bits, whether it takes parameter clicks.
class FakeViewContainer : public AAX_IViewContainer
{
public:
  int32_t GetModifiers(uint32_t* outModifiers) const override
  {
    *outModifiers = modifiers;
    return 0;
  }
  int32_t HandleParameterMouseDown(const char* paramID, uint32_t bits) override
  {
    clicks.push_back(std::string(paramID) + " " + std::to_string(bits));
    return takesClicks ? 0 : -20004;
  }

  uint32_t modifiers = 0;
  bool takesClicks = false;
  std::vector<std::string> clicks;
};

IMouseEvent At(float x, float y, IMouseMods mods = IMouseMods(true), float dX = 0.f, float dY = 0.f)
{
  IMouseEvent e;
  e.x = x;
  e.y = y;
  e.dX = dX;
  e.dY = dY;
  e.ms = mods;
  return e;
}

class InputFixture : public ::testing::Test
{
protected:
  InputFixture()
  {
    dlg.SetSizeConstraints(543, 2172, 107, 428);
    for (int i = 0; i < 6; ++i)
      dlg.GetParam(i)->DefineDouble("P", 0.0, 0.0, 1.0, 0.01);
    g.AddBitmap("BG.png", 2172, 428, 2);
    g.AttachBackground("BG.png");
    knob = Add(IRect(100, 30, 200, 130), {4}, "knob");
  }

  InputProbe* Add(const IRect& r, const std::vector<int>& params, const char* name)
  {
    return static_cast<InputProbe*>(g.AttachControl(new InputProbe(r, params, journal, name)));
  }

  void Click(float x, float y, IMouseMods mods = IMouseMods(true))
  {
    g.OnMouseDown({At(x, y, mods)});
    g.OnMouseUp({At(x, y, mods)});
  }

  Journal journal;
  JournalDelegate dlg{6, journal};
  RecordingGraphics g{&dlg, 1086, 214, 60, 1.f};
  InputProbe* knob = nullptr;
};

// ---- Hit testing ----------------------------------------------------------------------------

TEST_F(InputFixture, TheFrontmostControlThatTakesTheEventWins)
{
  InputProbe* front = Add(IRect(150, 80, 250, 180), {}, "front");
  struct Case
  {
    const char* what;
    void (*setUp)(InputProbe* front);
    const char* firstHeard; // a click at (160, 90), where both probes overlap
  };
  const Case cases[] = {
    {"front is on top", [](InputProbe*) {}, "front:down 160,90"},
    {"hidden", [](InputProbe* c) { c->Hide(true); }, "begin 4"},
    {"ignores the mouse", [](InputProbe* c) { c->SetIgnoreMouse(true); }, "begin 4"},
    {"disabled", [](InputProbe* c) { c->SetDisabled(true); }, "begin 4"},
    {"disabled but wants events",
     [](InputProbe* c) {
       c->SetDisabled(true);
       c->SetMouseEventsWhenDisabled(true);
     },
     "front:down 160,90"},
  };
  for (const Case& c : cases)
  {
    front->Hide(false);
    front->SetIgnoreMouse(false);
    front->SetDisabled(false);
    front->SetMouseEventsWhenDisabled(false);
    c.setUp(front);
    journal.clear();
    g.OnMouseDown({At(160, 90)});
    g.OnMouseUp({At(160, 90)});
    ASSERT_FALSE(journal.empty()) << c.what;
    EXPECT_EQ(journal.front(), c.firstHeard) << c.what;
  }
}

TEST_F(InputFixture, BackgroundTakesClicksButIsNeverHovered)
{
  g.EnableMouseOver(true);
  IControl* background = g.GetControl(0);
  EXPECT_EQ(g.GetMouseControl(10, 10, false), background);
  EXPECT_FALSE(g.OnMouseOver(10, 10, IMouseMods()));
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
  EXPECT_EQ(g.GetMouseOverIdx(), -1);

  EXPECT_TRUE(g.OnMouseOver(150, 50, IMouseMods()));
  EXPECT_EQ(g.GetMouseOverControl(), knob);
  EXPECT_EQ(g.GetMouseOverIdx(), 1);
  EXPECT_TRUE(knob->GetMouseIsOver());
  // Moving off: the old control hears it leave.
  journal.clear();
  g.OnMouseOver(10, 10, IMouseMods());
  EXPECT_EQ(journal, (Journal{"knob:out"}));
  EXPECT_FALSE(knob->GetMouseIsOver());
}

TEST_F(InputFixture, WithoutMouseOverOnlyTheCornerHandleIsHovered)
{
  g.AttachCornerResizer();
  EXPECT_FALSE(g.OnMouseOver(150, 50, IMouseMods()));
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(g.OnMouseOver(1080, 210, IMouseMods()));
  EXPECT_EQ(g.GetMouseOverControl(), g.GetCornerResizer());
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
  EXPECT_EQ(g.GetCursorType(), kSizeNWSECursor);
}

TEST_F(InputFixture, MouseOutForgetsTheHoverAndRemembersTheCursorShownInside)
{
  g.EnableMouseOver(true);
  g.SetMouseCursor(kHandCursor);
  g.OnMouseOver(150, 50, IMouseMods());
  journal.clear();
  g.OnMouseOut();
  EXPECT_EQ(journal, (Journal{"knob:out"}));
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
  // The window shows the arrow outside; the cursor type keeps what was shown inside.
  EXPECT_EQ(g.GetCursorType(), kHandCursor);
}

// ---- Mouse down, up and drag ----------------------------------------------------------------

TEST_F(InputFixture, ClickWrapsTheControlInGesturesForEveryLinkedSlotAndUpdatesHover)
{
  g.EnableMouseOver(true);
  InputProbe* multi = Add(IRect(300, 30, 400, 130), {2, kNoParameter, 0}, "multi");
  g.OnMouseDown({At(310, 40)});
  EXPECT_TRUE(g.ControlIsCaptured(multi));
  EXPECT_FLOAT_EQ(g.GetMouseDownX(), 310.f);
  EXPECT_FLOAT_EQ(g.GetMouseDownY(), 40.f);
  // Released outside: the captured control still gets the mouse-up; the hover moves on.
  g.OnMouseUp({At(150, 50)});
  EXPECT_EQ(journal, (Journal{"begin 2", "begin 0", "multi:down 310,40", "multi:up 150,50", "end 2", "end 0",
                              "knob:over"}));
  EXPECT_FALSE(g.ControlIsCaptured(multi));
  EXPECT_EQ(g.GetMouseOverControl(), knob);
}

TEST_F(InputFixture, HostTakingTheClickLeavesTheEditorUntouched)
{
  FakeViewContainer host;
  host.takesClicks = true;
  host.modifiers = 32;
  g.SetViewContainer(&host);

  struct Case
  {
    IMouseMods mods;
    uint32_t bits;
  };
  const Case cases[] = {
    {IMouseMods(true), 32},
    {IMouseMods(true, false, true), 32 | 1},
    {IMouseMods(true, false, false, false, true), 32 | 4},
    {IMouseMods(true, false, false, true), 32 | 8},
    {IMouseMods(false, true), 32 | 16},
    {IMouseMods(false, true, true, true, true), 32 | 1 | 4 | 8 | 16},
  };
  for (const Case& c : cases)
  {
    host.clicks.clear();
    journal.clear();
    g.OnMouseDown({At(150, 50, c.mods)});
    // Parameter index 4 is the host's parameter "5".
    EXPECT_EQ(host.clicks, (std::vector<std::string>{"5 " + std::to_string(c.bits)}));
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(g.ControlIsCaptured(knob));
    g.OnMouseUp({At(150, 50, c.mods)});
    EXPECT_TRUE(journal.empty());
  }

  // Controls without a parameter never ask the host.
  host.clicks.clear();
  Add(IRect(600, 30, 700, 130), {}, "plain");
  Click(610, 40);
  EXPECT_TRUE(host.clicks.empty());
  EXPECT_EQ(journal.front(), "plain:down 610,40");
}

TEST_F(InputFixture, RightClickOnAParameterShowsOnlyTheControlsOwnMenu)
{
  FakeViewContainer host; // declines every click
  g.SetViewContainer(&host);

  g.OnMouseDown({At(150, 50, IMouseMods(false, true))});
  EXPECT_EQ(host.clicks, (std::vector<std::string>{"5 16"}));
  EXPECT_TRUE(journal.empty()); // no gesture, no mouse-down
  EXPECT_FALSE(g.ControlIsCaptured(knob));
  EXPECT_TRUE(g.popupMenus.empty());

  knob->menuItems = {"Learn", "Reset"};
  g.popupChoice = 1;
  g.OnMouseDown({At(150, 50, IMouseMods(false, true))});
  ASSERT_EQ(g.popupMenus.size(), 1u);
  EXPECT_EQ(g.popupMenus[0], (std::vector<std::string>{"Learn", "Reset"}));
  // A context choice is not a value: it arrives without a value slot.
  EXPECT_EQ(journal, (Journal{"knob:menu 1 slot -1"}));

  // A control without a parameter gets the right click itself.
  journal.clear();
  Add(IRect(600, 30, 700, 130), {}, "plain");
  g.OnMouseDown({At(610, 40, IMouseMods(false, true))});
  EXPECT_EQ(journal, (Journal{"plain:down 610,40 R"}));
}

TEST_F(InputFixture, DragsGoToTheCapturedControlOnlyWhenThePointerMoved)
{
  g.OnMouseDrag({At(150, 50, IMouseMods(true), 3, 4)}); // nothing captured
  EXPECT_TRUE(journal.empty());

  g.OnMouseDown({At(150, 50)});
  journal.clear();
  g.OnMouseDrag({At(150, 50, IMouseMods(true), 0, 0)});
  g.OnMouseDrag({At(900, 5, IMouseMods(true), 0, -2)}); // far outside: still the knob's
  g.OnMouseDrag({At(901, 5, IMouseMods(true), 1, 0)});
  EXPECT_EQ(journal, (Journal{"knob:drag 900,5 d0,-2", "knob:drag 901,5 d1,0"}));
}

TEST_F(InputFixture, DoubleClickReleasesTheCaptureSoNoMouseUpFollows)
{
  EXPECT_TRUE(g.OnMouseDblClick(150, 50, IMouseMods(true)));
  EXPECT_FALSE(g.ControlIsCaptured(knob));
  g.OnMouseUp({At(150, 50)});
  EXPECT_EQ(journal, (Journal{"knob:dbl 150,50"}));

  // A control that treats double clicks as single clicks gets a press, with its gesture.
  journal.clear();
  knob->SetDblAsSingleClick(true);
  EXPECT_TRUE(g.OnMouseDblClick(150, 50, IMouseMods(true)));
  g.OnMouseUp({At(150, 50)});
  EXPECT_EQ(journal, (Journal{"begin 4", "knob:down 150,50", "knob:up 150,50", "end 4"}));
}

TEST_F(InputFixture, DoubleClickOverNothingIsNotTaken)
{
  RecordingGraphics bare(&dlg, 1086, 214);
  EXPECT_FALSE(bare.OnMouseDblClick(10, 10, IMouseMods(true)));
}

TEST_F(InputFixture, WheelAndDropReachTheControlUnderThePointer)
{
  g.OnMouseWheel(150, 50, IMouseMods(), -2.f);
  g.OnDrop("/tmp/take.wav", 150, 50);
  g.OnMouseWheel(700, 50, IMouseMods(), 1.f); // the background
  EXPECT_EQ(journal, (Journal{"knob:wheel -2", "knob:drop /tmp/take.wav"}));
}

TEST_F(InputFixture, KeysGoToTheControlUnderThePointerThenToTheKeyHandler)
{
  const IKeyPress key("a", 0x41);
  // Over the background, with no key handler: not handled, so the window passes the key on.
  EXPECT_FALSE(g.OnKeyDown(700, 50, key));

  std::vector<std::string> handled;
  g.SetKeyHandlerFunc([&handled](const IKeyPress& press, bool isUp) {
    handled.push_back(std::string(isUp ? "up " : "down ") + press.utf8);
    return true;
  });
  EXPECT_TRUE(g.OnKeyDown(700, 50, key));
  EXPECT_TRUE(journal.empty()); // the background control never sees keys

  EXPECT_TRUE(g.OnKeyDown(150, 50, key)); // the knob declines, the handler takes it
  knob->handlesKeys = true;
  EXPECT_TRUE(g.OnKeyUp(150, 50, key));
  EXPECT_EQ(journal, (Journal{"knob:key a", "knob:keyup a"}));
  EXPECT_TRUE(g.OnKeyUp(700, 50, key));
  EXPECT_EQ(handled, (std::vector<std::string>{"down a", "down a", "up a"}));
}

TEST_F(InputFixture, WithMultiTouchASecondFingerOnlyReachesControlsThatWantIt)
{
  g.EnableMultiTouch(true);
  const IMouseMods finger1(true, false, false, false, false, 1);
  const IMouseMods finger2(true, false, false, false, false, 2);
  g.OnMouseDown({At(150, 50, finger1), At(160, 60, finger2)});
  EXPECT_EQ(g.GetTouchesForControl(knob), (std::vector<uint64_t>{1}));
  EXPECT_EQ(journal, (Journal{"begin 4", "knob:down 150,50"}));

  g.OnMouseUp({At(150, 50, finger1), At(160, 60, finger2)});
  journal.clear();
  knob->SetWantsMultiTouch(true);
  g.OnMouseDown({At(150, 50, finger1), At(160, 60, finger2)});
  EXPECT_EQ(g.GetTouchesForControl(knob).size(), 2u);
  EXPECT_EQ(journal, (Journal{"begin 4", "knob:down 150,50", "begin 4", "knob:down 160,60"}));
}

// ---- The corner handle ----------------------------------------------------------------------

TEST_F(InputFixture, CornerDragZoomsAndRescalesWhenReleased)
{
  g.AttachCornerResizer(kResizeModeScale);
  const int rescalesBefore = knob->rescales;
  g.OnMouseDown({At(1080, 210)});
  EXPECT_TRUE(g.GetResizingInProcess());
  EXPECT_TRUE(journal.empty()); // the handle takes the press; no control sees it

  g.OnMouseDrag({At(1620, 315, IMouseMods(true), 540, 105)});
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.5f);
  g.OnMouseDrag({At(2160, 500, IMouseMods(true), 540, 185)}); // the smaller ratio wins
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 2.f);
  EXPECT_EQ(g.Width(), 1086);
  ASSERT_FALSE(dlg.resizes.empty());
  EXPECT_EQ(dlg.resizes.back().width, 2172);
  EXPECT_EQ(dlg.resizes.back().height, 428);
  EXPECT_TRUE(journal.empty()); // drags during a resize reach no control
  EXPECT_EQ(knob->rescales, rescalesBefore);

  // Bitmaps are asked for again at the end of the drag, not on every step.
  g.OnMouseUp({At(2160, 420)});
  EXPECT_FALSE(g.GetResizingInProcess());
  EXPECT_EQ(knob->rescales, rescalesBefore + 1);
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1076, 204, 1086, 214));

  // Back to the creation size at zoom 1 with a double click on the handle.
  EXPECT_TRUE(g.OnMouseDblClick(1080, 208, IMouseMods(true)));
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.f);
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(1066, 194, 1086, 214));
}

TEST_F(InputFixture, CornerDragInSizeModeChangesTheLogicalSize)
{
  g.AttachCornerResizer(kResizeModeSize);
  g.OnMouseDown({At(1080, 210)});
  g.OnMouseDrag({At(1500.7f, 300.2f, IMouseMods(true), 420, 90)});
  EXPECT_EQ(g.Width(), 1500);
  EXPECT_EQ(g.Height(), 300);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.f);
  g.OnMouseDrag({At(5000, 5000, IMouseMods(true), 1, 1)});
  EXPECT_EQ(g.Width(), 2172); // the delegate's limits
  EXPECT_EQ(g.Height(), 428);
  g.OnMouseUp({At(5000, 5000)});
  EXPECT_FALSE(g.GetResizingInProcess());
}

} // namespace
} // namespace gfxtest
