#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ByteChunk.h"
#include "CorvaneLayout.h"
#include "GraphicsFixture.h"
#include "IPlugAPIBase.h"
#include "support/WindowedRecordingGraphics.h"

namespace gfxtest {
namespace {

using iplug::ByteChunk;
using iplug::MidiMessage;

// A control that notes what the delegate sends it.
class MessageProbe : public IControl
{
public:
  MessageProbe(const IRect& r, const std::vector<int>& params) : IControl(r, params) {}
  void OnMsgFromDelegate(int msgTag, int dataSize, const void*) override
  {
    heard.push_back("msg " + std::to_string(msgTag) + " " + std::to_string(dataSize));
  }
  void OnMidi(const MidiMessage& msg) override { heard.push_back("midi " + std::to_string(msg.status)); }
  bool OnKeyDown(float x, float y, const iplug::IKeyPress&) override
  {
    heard.push_back("key at " + std::to_string(int(x)) + "," + std::to_string(int(y)));
    return true;
  }
  void Draw(IGraphics&) override {}
  std::vector<std::string> heard;
};

// The graphics delegate with its hooks counted and a make-graphics callable that makes a
// windowed recording context of the product's size, laying out one probe.
class Delegate : public iplug::RecordingEditorDelegate
{
public:
  Delegate() : RecordingEditorDelegate(4)
  {
    SetSizeConstraints(543, 2172, 107, 428);
    GetParam(0)->DefineDouble("Gain", 0.0, -30.0, 30.0, 0.1, "dB");
    GetParam(1)->DefineDouble("Low Gain", 0.0, -10.0, 10.0, 0.1);
    SetMakeGraphicsFunc([this] {
      ++made;
      return new WindowedRecordingGraphics(this, 1086, 214, 60, 1.f);
    });
    SetLayoutFunc([this](IGraphics* g) {
      ++layouts;
      g->AttachBackground("BG.png");
      auto* control = new MessageProbe(IRect(10, 10, 60, 60), {0, 1, 0});
      // Laid out again on the same context, the tag is taken: the refused control stays ours.
      if (g->AttachControl(control, 7))
        probe = control;
      else
        delete control;
    });
  }

  void OnEditorOpen() override
  {
    ++opens;
    RecordingEditorDelegate::OnEditorOpen();
  }
  void OnEditorClose() override
  {
    ++closes;
    if (reenterOnClose)
      CloseEditorWindow();
  }
  void OnParamChangeForEditor(int paramIdx, iplug::EParamSource source) override
  {
    forEditor.push_back(std::to_string(paramIdx) + " " + iplug::ParamSourceName(source));
  }
  void OnMidiForEditor(const MidiMessage& msg) override { midiForEditor.push_back(msg.status); }
  bool OnDelegateMessage(int, int, int, const void*) override
  {
    ++delegateMessages;
    return false;
  }

  WindowedRecordingGraphics* UI() const { return static_cast<WindowedRecordingGraphics*>(GetUI()); }
  using RecordingEditorDelegate::ApplyPendingEditorSize;

  int made = 0;
  int layouts = 0;
  int opens = 0;
  int closes = 0;
  int delegateMessages = 0;
  bool reenterOnClose = false;
  MessageProbe* probe = nullptr;
  std::vector<std::string> forEditor;
  std::vector<int> midiForEditor;
};

int parentWindow = 0;

TEST(GraphicsEditorDelegate, OpeningMakesLaysOutAndReportsTheEditor)
{
  Delegate d;
  EXPECT_EQ(d.GetUI(), nullptr);
  void* view = d.OpenEditorWindow(&parentWindow);
  ASSERT_NE(d.GetUI(), nullptr);
  EXPECT_EQ(view, d.GetUI()->GetPlatformWindow());
  EXPECT_EQ(d.made, 1);
  EXPECT_EQ(d.layouts, 1);
  EXPECT_EQ(d.opens, 1);
  // The first opening keeps the context's own size.
  EXPECT_TRUE(d.resizes.empty());
  EXPECT_EQ(d.GetUI()->Width(), 1086);

  // Opening again reuses the context as it is.
  d.OpenEditorWindow(&parentWindow);
  EXPECT_EQ(d.made, 1);
  EXPECT_TRUE(d.resizes.empty());

  iplug::RecordingEditorDelegate nothing(1);
  EXPECT_EQ(nothing.OpenEditorWindow(&parentWindow), nullptr);
  EXPECT_EQ(nothing.GetUI(), nullptr);
}

TEST(GraphicsEditorDelegate, CloseAndReopenKeepSizeAndZoom)
{
  Delegate d;
  d.CloseEditorWindow(); // nothing open: only the hook runs
  EXPECT_EQ(d.closes, 1);
  EXPECT_EQ(d.GetLastWidth(), 0);

  d.OpenEditorWindow(&parentWindow);
  d.GetUI()->Resize(1200, 300, 1.5f);
  d.CloseEditorWindow();
  EXPECT_EQ(d.GetUI(), nullptr);
  EXPECT_EQ(d.closes, 2);
  EXPECT_EQ(d.GetLastWidth(), 1200);
  EXPECT_EQ(d.GetLastHeight(), 300);
  EXPECT_FLOAT_EQ(d.GetLastScale(), 1.5f);

  d.resizes.clear();
  d.OpenEditorWindow(&parentWindow);
  EXPECT_EQ(d.made, 2);
  EXPECT_EQ(d.GetUI()->Width(), 1200);
  EXPECT_EQ(d.GetUI()->Height(), 300);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.5f);
  ASSERT_EQ(d.resizes.size(), 1u);
  EXPECT_EQ(d.resizes[0].width, 1800);
  EXPECT_TRUE(d.resizes[0].needsPlatformResize);
  EXPECT_EQ(d.layouts, 2); // a new context is laid out afresh
}

TEST(GraphicsEditorDelegate, ACloseEnteredAgainDuringTheCloseReturnsAtOnce)
{
  Delegate d;
  d.OpenEditorWindow(&parentWindow);
  d.reenterOnClose = true;
  d.CloseEditorWindow();
  EXPECT_EQ(d.closes, 1);
  EXPECT_EQ(d.GetUI(), nullptr);
  d.reenterOnClose = false;
  d.CloseEditorWindow(); // the flag was cleared: a later close runs again
  EXPECT_EQ(d.closes, 2);
}

TEST(GraphicsEditorDelegate, ParameterValuesReachEveryLinkedSlot)
{
  Delegate d;
  d.ToEditorParamValue(0, 12.0, false); // closed: only the hook
  EXPECT_EQ(d.forEditor, (std::vector<std::string>{"0 Editor Delegate"}));

  d.OpenEditorWindow(&parentWindow);
  MessageProbe* probe = d.probe;
  d.forEditor.clear();
  d.ToEditorParamValue(0, 15.0, false); // a real value: 15 dB is 0.75
  EXPECT_DOUBLE_EQ(probe->GetValue(0), 0.75);
  EXPECT_DOUBLE_EQ(probe->GetValue(1), 0.5); // parameter 1 at its default since the opening
  EXPECT_DOUBLE_EQ(probe->GetValue(2), 0.75);
  d.ToEditorParamValue(1, 0.25, true);
  EXPECT_DOUBLE_EQ(probe->GetValue(1), 0.25);
  d.ToEditorParamValue(9, 0.25, true); // no such parameter: only the hook
  d.ToEditorParamValue(0, std::numeric_limits<double>::quiet_NaN(), true);
  EXPECT_DOUBLE_EQ(probe->GetValue(0), 0.75);
  EXPECT_EQ(d.forEditor, (std::vector<std::string>{"0 Editor Delegate", "1 Editor Delegate", "9 Editor Delegate",
                                                   "0 Editor Delegate"}));

  // The user's hand wins while the control is held.
  d.UI()->CaptureControl(probe);
  d.ToEditorParamValue(0, 0.1, true);
  EXPECT_DOUBLE_EQ(probe->GetValue(0), 0.75);
}

TEST(GraphicsEditorDelegate, ControlValuesMessagesAndMidiGoByTag)
{
  Delegate d;
  const char data[3] = {1, 2, 3};
  d.ToEditorControlValue(7, 0.3);
  d.ToEditorControlMessage(7, 42, 3, data);
  d.ToEditorMidi(MidiMessage{0, 0x90, 60, 100});
  EXPECT_TRUE(d.midiForEditor.empty()); // closed: MIDI goes nowhere

  d.OpenEditorWindow(&parentWindow);
  MessageProbe* probe = d.probe;
  d.ToEditorControlValue(7, 0.3);
  EXPECT_DOUBLE_EQ(probe->GetValue(0), 0.3);
  d.ToEditorControlValue(8, 0.9); // no control with that tag
  d.ToEditorControlMessage(7, 42, 3, data);
  d.ToEditorControlMessage(8, 43, 3, data);
  EXPECT_EQ(d.delegateMessages, 0); // the base delivery never runs

  d.ToEditorMidi(MidiMessage{0, 0x90, 60, 100}); // the probe does not want MIDI
  probe->SetWantsMidi(true);
  d.ToEditorMidi(MidiMessage{0, 0x80, 60, 0});
  EXPECT_EQ(probe->heard, (std::vector<std::string>{"msg 42 3", "midi 128"}));
  EXPECT_EQ(d.midiForEditor, (std::vector<int>{0x90, 0x80}));
}

TEST(GraphicsEditorDelegate, HostKeysAreDispatchedWhereThePointerIs)
{
  Delegate d;
  EXPECT_FALSE(d.OnHostKeyDown(iplug::IKeyPress("a", 0x41)));
  d.OpenEditorWindow(&parentWindow);
  d.UI()->MoveMouseCursor(20, 30);
  EXPECT_TRUE(d.OnHostKeyDown(iplug::IKeyPress("a", 0x41)));
  EXPECT_EQ(d.probe->heard, (std::vector<std::string>{"key at 20,30"}));
  d.UI()->MoveMouseCursor(500, 100); // the background, and no key handler
  EXPECT_FALSE(d.OnHostKeyUp(iplug::IKeyPress("a", 0x41)));
}

TEST(GraphicsEditorDelegate, SizeRecordFollowsTheOpenEditor)
{
  Delegate d;
  d.OpenEditorWindow(&parentWindow);
  d.GetUI()->Resize(1086, 214, 2.f);
  ByteChunk written;
  EXPECT_TRUE(d.SerializeEditorSize(written));
  EXPECT_EQ(written.Size(), 12);
  int w = 0, h = 0;
  float s = 0.f;
  EXPECT_EQ(written.Get(&s, written.Get(&h, written.Get(&w, 0))), 12);
  EXPECT_EQ(w, 1086);
  EXPECT_EQ(h, 214);
  EXPECT_FLOAT_EQ(s, 2.f);

  // Restored while open: the editor takes the size at once, unless a value is zero.
  auto record = [](int width, int height, float scale) {
    ByteChunk c;
    c.Put(&width);
    c.Put(&height);
    c.Put(&scale);
    return c;
  };
  EXPECT_EQ(d.UnserializeEditorSize(record(1500, 300, 1.25f), 0), 12);
  EXPECT_EQ(d.GetUI()->Width(), 1500);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.25f);
  EXPECT_EQ(d.UnserializeEditorSize(record(1200, 0, 1.f), 0), 12);
  EXPECT_EQ(d.GetUI()->Width(), 1500);
  EXPECT_EQ(d.GetLastWidth(), 0); // the closed-editor record is not touched while open

  // Closed: a short record stores what it could read and zeros for the rest.
  d.CloseEditorWindow();
  ByteChunk shortRecord;
  const int width = 900;
  shortRecord.Put(&width);
  EXPECT_EQ(d.UnserializeEditorSize(shortRecord, 0), -1);
  EXPECT_EQ(d.GetLastWidth(), 900);
  EXPECT_EQ(d.GetLastHeight(), 0);
  EXPECT_EQ(d.GetLastScale(), 0.f);
  // A broken zoom counts as none, so the next opening keeps the editor's own size.
  EXPECT_EQ(d.UnserializeEditorSize(record(1500, 300, std::numeric_limits<float>::quiet_NaN()), 0), 12);
  EXPECT_EQ(d.GetLastScale(), 0.f);
  d.OpenEditorWindow(&parentWindow);
  EXPECT_EQ(d.GetUI()->Width(), 1086);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.f);
}

ByteChunk SizeRecord(int width, int height, float scale)
{
  ByteChunk c;
  c.Put(&width);
  c.Put(&height);
  c.Put(&scale);
  return c;
}

// Hosts save and restore state from threads of their own. The record is read and written there
// without touching the open editor, whose own thread applies a restored size.
TEST(GraphicsEditorDelegate, TheSizeRecordIsSafeFromAnyThread)
{
  Delegate d;
  d.OpenEditorWindow(&parentWindow); // this thread is the editor's UI thread
  d.GetUI()->Resize(1086, 214, 2.f);

  ByteChunk saved;
  int restoredAt = 0;
  std::thread host([&] {
    EXPECT_TRUE(d.SerializeEditorSize(saved));
    restoredAt = d.UnserializeEditorSize(SizeRecord(1500, 300, 1.25f), 0);
  });
  host.join();
  EXPECT_EQ(restoredAt, 12);
  EXPECT_EQ(saved, SizeRecord(1086, 214, 2.f));
  // Not resized from the host's thread ...
  EXPECT_EQ(d.GetUI()->Width(), 1086);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 2.f);
  // ... but a save made meanwhile already carries the restored record ...
  ByteChunk meanwhile;
  std::thread([&] { d.SerializeEditorSize(meanwhile); }).join();
  EXPECT_EQ(meanwhile, SizeRecord(1500, 300, 1.25f));
  // ... and the UI thread applies it at its next tick.
  d.ApplyPendingEditorSize();
  EXPECT_EQ(d.GetUI()->Width(), 1500);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.25f);

  // Restored off the UI thread and closed before a tick: the next opening has that size.
  std::thread([&] { d.UnserializeEditorSize(SizeRecord(1200, 250, 1.5f), 0); }).join();
  d.CloseEditorWindow();
  EXPECT_EQ(d.GetLastWidth(), 1200);
  d.OpenEditorWindow(&parentWindow);
  EXPECT_EQ(d.GetUI()->Width(), 1200);
  EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.5f);
}

// Stored data may come from anywhere: a record the editor cannot show counts as none stored, so
// the editor keeps (or opens at) its own size. The delegate's limits are 543-2172 x 107-428.
TEST(GraphicsEditorDelegate, ARecordTheEditorCannotShowCountsAsNone)
{
  struct Case
  {
    const char* what;
    int width, height;
    float scale;
  };
  const Case cases[] = {
    {"random bytes", 1623891750, 1624665408, 1.f},
    {"a negative width", -1086, 214, 1.f},
    {"a width below the limits", 100, 214, 1.f},
    {"a height above the limits", 1086, 5000, 1.f},
    {"a negative zoom", 1086, 214, -2.f},
    {"an infinite zoom", 1086, 214, std::numeric_limits<float>::infinity()},
    {"a zoom no screen holds", 1086, 214, 1e6f},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Delegate d;
    EXPECT_EQ(d.UnserializeEditorSize(SizeRecord(c.width, c.height, c.scale), 0), 12);
    EXPECT_EQ(d.GetLastWidth(), 0);
    EXPECT_EQ(d.GetLastHeight(), 0);
    EXPECT_EQ(d.GetLastScale(), 0.f);
    ByteChunk written;
    d.SerializeEditorSize(written);
    EXPECT_EQ(written, SizeRecord(0, 0, 0.f));
    d.OpenEditorWindow(&parentWindow);
    EXPECT_EQ(d.GetUI()->Width(), 1086);
    EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.f);
    // Restored while open: the editor stays as it is.
    d.GetUI()->Resize(1086, 214, 1.5f);
    d.UnserializeEditorSize(SizeRecord(c.width, c.height, c.scale), 0);
    EXPECT_EQ(d.GetUI()->Width(), 1086);
    EXPECT_FLOAT_EQ(d.GetUI()->GetDrawScale(), 1.5f);
  }
}

TEST(GraphicsEditorDelegate, ScreenScaleAndLayoutOnResizeReachTheContext)
{
  Delegate d;
  d.SetEditorScreenScale(2.f); // closed: nothing to do
  d.OpenEditorWindow(&parentWindow);
  d.SetEditorScreenScale(2.f);
  EXPECT_FLOAT_EQ(d.GetUI()->GetScreenScale(), 2.f);

  d.GetUI()->Resize(1200, 300, 1.f);
  EXPECT_EQ(d.layouts, 1);
  d.GetUI()->SetLayoutOnResize(true);
  d.GetUI()->Resize(1300, 300, 1.f);
  EXPECT_EQ(d.layouts, 2);
}

// ---- Through the host bridge ------------------------------------------------------------------

iplug::ConfigRecord BridgeConfig()
{
  iplug::ConfigRecord c;
  c.nParams = 6;
  c.plugHasUI = true;
  c.plugWidth = 1086;
  c.plugHeight = 214;
  c.plugMinWidth = 543;
  c.plugMaxWidth = 2172;
  c.plugMinHeight = 107;
  c.plugMaxHeight = 428;
  return c;
}

// A host bridge with the product's parameters and editor that notes what it tells the host.
class BridgePlug : public iplug::IPlugAPIBase
{
public:
  BridgePlug() : IPlugAPIBase(BridgeConfig(), iplug::kAPIAAX)
  {
    GetParam(0)->DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
    GetParam(1)->DefineDouble("Low Gain", 0., -10., 10., 0.1);
    GetParam(2)->DefineDouble("High Gain", 0., -10., 10., 0.1);
    GetParam(3)->DefineDouble("Output", 0., -15., 15., 0.1, "dB");
    GetParam(4)->DefineInt("Oversampling", 0, 0, 1);
    GetParam(5)->DefineInt("Bypass", 0, 0, 1);
    SetMakeGraphicsFunc([this] { return new WindowedRecordingGraphics(this, 1086, 214, 60, 1.f); });
    SetLayoutFunc(LayoutCorvaneEditor);
  }

  void HostBeginParamGesture(int paramIdx) override { host.push_back("touch " + std::to_string(paramIdx)); }
  void HostSetParamNormalized(int paramIdx, double value) override
  {
    char text[64];
    std::snprintf(text, sizeof(text), "value %d %.3f", paramIdx, value);
    host.push_back(text);
  }
  void HostEndParamGesture(int paramIdx) override { host.push_back("release " + std::to_string(paramIdx)); }
  void OnParamValueChange(int paramIdx) override { changed.push_back(paramIdx); }

  std::vector<std::string> host;
  std::vector<int> changed;
};

IMouseEvent Pointer(float x, float y, float dX = 0.f, float dY = 0.f)
{
  IMouseEvent e;
  e.x = x;
  e.y = y;
  e.dX = dX;
  e.dY = dY;
  e.ms = IMouseMods(true);
  return e;
}

TEST(HostBridgeEditor, AKnobDragTouchesSetsAndReleasesTheParameter)
{
  BridgePlug plug;
  EXPECT_EQ(plug.GetViewInterface(), nullptr);
  plug.OpenEditorWindow(&parentWindow);
  IGraphics* g = plug.GetUI();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(plug.GetViewInterface(), static_cast<iplug::IPlugAAXView_Interface*>(g));

  // The "Output" knob, dragged up by 52 pixels in two steps and released.
  g->OnMouseDown({Pointer(956, 96)});
  g->OnMouseDrag({Pointer(956, 70, 0, -26)});
  g->OnMouseDrag({Pointer(956, 44, 0, -26)});
  g->OnMouseUp({Pointer(956, 44)});
  EXPECT_EQ(plug.host, (std::vector<std::string>{"touch 3", "value 3 0.550", "value 3 0.600", "release 3"}));
  EXPECT_NEAR(plug.GetParam(3)->Value(), 3.0, 1e-9);
  EXPECT_EQ(plug.changed, (std::vector<int>{3, 3}));

  // A click on the bypass switch is one complete gesture.
  plug.host.clear();
  g->OnMouseDown({Pointer(540, 180)});
  g->OnMouseUp({Pointer(540, 180)});
  EXPECT_EQ(plug.host, (std::vector<std::string>{"touch 5", "value 5 1.000", "release 5"}));

  plug.CloseEditorWindow();
  EXPECT_EQ(plug.GetViewInterface(), nullptr);
}

// A context with something to keep between openings, as the back end keeps its decoded pictures.
class KeepingGraphics : public WindowedRecordingGraphics
{
public:
  KeepingGraphics(iplug::IGEditorDelegate* d, std::shared_ptr<const void> kept)
    : WindowedRecordingGraphics(d, 1086, 214, 60, 1.f), mKept(std::move(kept))
  {
  }
  std::shared_ptr<const void> KeptBetweenOpenings() const override { return mKept; }

private:
  std::shared_ptr<const void> mKept;
};

TEST(GraphicsEditorDelegate, KeepsWhatItsEditorsShareUntilThePlugInGoes)
{
  // Each context brings its own token; `live` counts the tokens not yet released.
  int live = 0;
  const auto token = [&live] {
    ++live;
    return std::shared_ptr<const void>(new int(0), [&live](const int* p) {
      --live;
      delete p;
    });
  };
  {
    iplug::RecordingEditorDelegate d(1);
    d.SetMakeGraphicsFunc([&d, &token] { return new KeepingGraphics(&d, token()); });
    ASSERT_NE(d.OpenEditorWindow(&parentWindow), nullptr);
    d.CloseEditorWindow();
    EXPECT_EQ(d.GetUI(), nullptr);
    EXPECT_EQ(live, 1) << "let go with the editor: the next opening would decode again";
    // The next context's token takes the place of the last one's.
    ASSERT_NE(d.OpenEditorWindow(&parentWindow), nullptr);
    EXPECT_EQ(live, 1);
    d.CloseEditorWindow();
    EXPECT_EQ(live, 1);
  }
  EXPECT_EQ(live, 0);
}

} // namespace
} // namespace gfxtest
