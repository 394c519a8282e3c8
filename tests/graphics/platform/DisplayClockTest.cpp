#include "WindowLayerFixture.h"
#include "win32/testing/Win32Display.h"

#include "IParam.h"

#include <chrono>

using namespace wintest;
namespace display = win32compat::display;

namespace {

constexpr UINT kTick = 0x401;

// A clock thread waiting for a manual blank would hold the close up.
class ClockFixture : public WindowLayerFixture
{
protected:
  void TearDown() override
  {
    display::SetManualVerticalBlank(false);
    WindowLayerFixture::TearDown();
  }
};

// The display clock with a manual vertical blank, so each tick is one the test made. Ticks that
// pass the clock's checks are counted through the editor's display-tick hook.
class DisplayClock : public ClockFixture
{
protected:
  // The clock ticks once as soon as it has the display's adapter; that tick and the first paint
  // (from the window being shown) are over when this returns.
  void OpenWithManualBlank(int nParams = 0)
  {
    display::SetManualVerticalBlank(true);
    AddEditor(nullptr, nParams);
    ui->Run([this] {
      editor = static_cast<HWND>(delegates.front()->OpenEditorWindow(container));
      graphics = static_cast<IGraphicsWin*>(delegates.front()->GetUI());
      graphics->SetDisplayTickFunc([this] { ++ticks; });
    });
    ASSERT_TRUE(UiWaitUntil([&] { return ticks == 1 && probe->draws > 0; }));
    ui->Run([this] { ticks = 0; });
  }

  // On the UI thread: one vertical blank, and the tick message the clock posted for it, taken
  // out of the queue so that the test decides when it is handled.
  MSG Blank()
  {
    EXPECT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
    display::VerticalBlank();
    MSG msg{};
    EXPECT_TRUE(WaitUntil([&] { return PeekMessageW(&msg, editor, kTick, kTick, PM_REMOVE) != FALSE; }));
    return msg;
  }

  int ticks = 0;
};

TEST_F(DisplayClock, EachBlankPostsTheNextCountAndRedrawsWhatIsDirty)
{
  OpenWithManualBlank();
  ui->Run([&] {
    const MSG first = Blank();
    const MSG second = Blank();
    EXPECT_EQ(second.wParam, first.wParam + 1);
    DispatchMessageW(&second);
    EXPECT_EQ(ticks, 1);

    const int draws = probe->draws;
    const uint64_t presented = display::PresentCount(editor);
    probe->SetDirty(false);
    const MSG third = Blank();
    DispatchMessageW(&third);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(probe->draws, draws + 1);
    EXPECT_EQ(display::PresentCount(editor), presented + 1);
  });
}

TEST_F(DisplayClock, AStaleTickDoesNothing)
{
  OpenWithManualBlank();
  ui->Run([&] {
    probe->SetDirty(false);
    const int draws = probe->draws;
    const MSG older = Blank();
    const MSG newer = Blank();

    // The older tick finds a newer one queued: nothing is checked, nothing drawn.
    DispatchMessageW(&older);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(probe->draws, draws);

    DispatchMessageW(&newer);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(probe->draws, draws + 1);
  });
}

TEST_F(DisplayClock, APaintLongerThanABlankSkipsTheTickQueuedMeanwhile)
{
  OpenWithManualBlank();
  ui->Run([&] {
    MSG late{};
    probe->onDraw = [&] {
      // A frame so slow that the display blanks while it is drawn.
      late = Blank();
    };
    probe->SetDirty(false);
    const MSG tick = Blank();
    DispatchMessageW(&tick);
    EXPECT_EQ(ticks, 1);
    probe->onDraw = nullptr;
    ASSERT_EQ(late.message, kTick);

    DispatchMessageW(&late);
    EXPECT_EQ(ticks, 1);

    const MSG next = Blank();
    DispatchMessageW(&next);
    EXPECT_EQ(ticks, 2);
  });
}

TEST_F(DisplayClock, OpeningAt150PercentSizesAtScale1AndTheFirstTickFindsTheRealScale)
{
  display::SetManualVerticalBlank(true);
  ui->Run([&] { display::SetWindowDpi(host, 144); });
  auto& d = AddEditor();
  ui->Run([&] {
    // Until a tick has been handled (none can be while this runs), the window has scale 1.
    HWND hwnd = static_cast<HWND>(d.OpenEditorWindow(container));
    editor = hwnd;
    graphics = static_cast<IGraphicsWin*>(d.GetUI());
    EXPECT_EQ(graphics->GetScreenScale(), 1.f);
    RECT r{};
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, kEditorWidth);
    EXPECT_EQ(r.bottom, kEditorHeight);

    // The clock's first tick comes as soon as it has the display's adapter.
    MSG tick{};
    ASSERT_TRUE(WaitUntil([&] { return PeekMessageW(&tick, hwnd, kTick, kTick, PM_REMOVE) != FALSE; }));
    DispatchMessageW(&tick);
    EXPECT_EQ(graphics->GetScreenScale(), 1.5f);
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, 450);
    EXPECT_EQ(r.bottom, 180);
    // That tick drew the whole face again, at the new size.
    const display::Frame frame = display::PresentedFrame(hwnd);
    EXPECT_EQ(frame.width, 450);
    EXPECT_EQ(frame.height, 180);
  });
}

TEST_F(DisplayClock, NoScaleChangeWhileTheMouseIsCaptured)
{
  OpenWithManualBlank();
  HWND hwnd = editor;
  ui->Run([&] {
    display::SetWindowDpi(host, 192);
    SetCapture(hwnd);
    const MSG tick = Blank();
    DispatchMessageW(&tick);
    EXPECT_EQ(graphics->GetScreenScale(), 1.f);
    ReleaseCapture();
    const MSG next = Blank();
    DispatchMessageW(&next);
    EXPECT_EQ(graphics->GetScreenScale(), 2.f);
  });
}

// Where the vertical blank cannot be waited for, the editor still redraws; a clock whose waits
// fail opens the adapter again and goes back to waiting for blanks. Before Windows 8 the clock is
// window timer 2, at the editor's frame period, or 15 ms where that period is below 20 ms.
TEST_F(DisplayClock, FallbackClocksStillDriveRedraws)
{
  struct Case
  {
    const char* name;
    std::function<void()> arrange;
    int fps;
    int blankWaiters;  // threads waiting for a blank once the clock has settled
    UINT timerPeriod;  // of the window's timer 2 (0: no such timer)
  };
  const auto windows7 = [] { display::SetWindowsVersion(6, 1, 7601); };
  const Case cases[] = {
    {"Windows 7: window timer at 60 fps", windows7, 60, 0, 15},
    {"Windows 7: window timer at 50 fps", windows7, 50, 0, 20},
    {"Windows 7: window timer at 30 fps", windows7, 30, 0, 33},
    {"Windows 7: window timer at 24 fps", windows7, 24, 0, 41},
    {"no vertical-blank calls: 16 ms sleeps", [] { display::SetVerticalBlankFunctionsAvailable(false); }, 60, 0, 0},
    {"adapter that will not open", [] { display::FailAdapterOpens(1000000); }, 60, 0, 0},
    {"a few waits that fail", [] { display::FailVerticalBlankWaits(5); }, 60, 1, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    ticks = 0;
    editorFps = c.fps;
    c.arrange();
    Open();
    EXPECT_EQ(ui->Run([&] { return display::WindowTimerPeriod(editor, 2); }), c.timerPeriod);
    ui->Run([&] { graphics->SetDisplayTickFunc([this] { ++ticks; }); });
    ASSERT_TRUE(UiWaitUntil([&] { return ticks >= 3; }));
    ASSERT_TRUE(WaitUntil([&] { return display::VerticalBlankWaiters() == c.blankWaiters; }));
    // One call, or a tick could draw between marking and counting.
    const int draws = ui->Run([&] {
      probe->SetDirty(false);
      return probe->draws;
    });
    EXPECT_TRUE(UiWaitUntil([&] { return probe->draws > draws; }));
    // Closing takes the timer with it.
    ui->Run([&] { delegates.front()->CloseEditorWindow(); });
    EXPECT_EQ(ui->Run([&] { return display::WindowTimerPeriod(editor, 2); }), 0u);
  }
}

// A control linked to a parameter, whose value a text entry edits.
class ValueControl : public IControl
{
public:
  ValueControl(const IRect& bounds, int paramIdx) : IControl(bounds, paramIdx) {}
  void Draw(IGraphics&) override {}
};

TEST_F(DisplayClock, AClickCancelsAFocusedEntryAndCommitsOneThatLostTheFocus)
{
  OpenWithManualBlank(1);
  auto& d = *delegates.front();
  ValueControl* control = nullptr;
  const auto prompt = [&] {
    d.GetParam(0)->DefineDouble("Gain", 0.0, -30.0, 30.0, 0.1, "dB");
    control = static_cast<ValueControl*>(graphics->AttachControl(new ValueControl(IRect(20, 20, 120, 60), 0)));
    graphics->PromptUserInput(*control, 0);
  };
  const auto inputHandled = [&] {
    return UiWaitUntil([] {
      MSG m;
      return !PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_MOUSELAST, PM_NOREMOVE);
    });
  };

  ui->Run([&] {
    prompt();
    ASSERT_NE(graphics->GetTextEntryWindow(), nullptr);
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryFocused);
  });
  ASSERT_TRUE(display::Click(editor, 250, 100));
  ASSERT_TRUE(inputHandled());
  ui->Run([&] {
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryCancel);
    EXPECT_TRUE(probe->downs.empty());
    // The next tick removes the entry and does nothing else.
    const MSG tick = Blank();
    DispatchMessageW(&tick);
    EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryNone);
    EXPECT_TRUE(d.paramValues.empty());
    prompt();
  });

  HWND entry = ui->Run([&] { return graphics->GetTextEntryWindow(); });
  ASSERT_TRUE(display::TypeText(entry, L"12.5"));
  ASSERT_TRUE(inputHandled());
  ui->Run([&] {
    // Focus elsewhere: the entry stays until the next tick and is committed then.
    SetFocus(editor);
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryCommit);
  });
  ASSERT_TRUE(display::Click(editor, 250, 100));
  ASSERT_TRUE(inputHandled());
  ui->Run([&] {
    EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryCommit);
    EXPECT_TRUE(probe->downs.empty());
    const MSG tick = Blank();
    DispatchMessageW(&tick);
    EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
    EXPECT_DOUBLE_EQ(d.GetParam(0)->Value(), 12.5);
  });
}

using DisplayClockLifetime = ClockFixture;

TEST_F(DisplayClockLifetime, ClosingStopsTheClockThread)
{
  Open();
  ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
  const size_t handlesOpen = display::LiveObjects().kernelHandles;
  ui->Run([&] { delegates.front()->CloseEditorWindow(); });
  EXPECT_EQ(display::VerticalBlankWaiters(), 0);
  EXPECT_LT(display::LiveObjects().kernelHandles, handlesOpen);
}

// A display that stops blanking (a monitor switched off, a remote session) leaves the clock
// thread blocked in its wait. Closing must neither hang the UI thread on it nor leave it holding
// the editor: when the blank finally comes, the editor is long gone.
TEST_F(DisplayClockLifetime, ClosingWhileNoBlankComesDoesNotWaitForTheThread)
{
  display::SetManualVerticalBlank(true);
  Open();
  ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));

  const auto start = std::chrono::steady_clock::now();
  ui->Run([&] {
    delegates.front()->CloseEditorWindow();
    delegates.clear();
  });
  const auto closing = std::chrono::steady_clock::now() - start;
  EXPECT_LT(closing, std::chrono::seconds(2)) << "closing held the UI thread until the clock thread ended";
  EXPECT_EQ(display::VerticalBlankWaiters(), 1);

  // The late blank wakes the thread, which ends without posting a tick anywhere (and, in the
  // sanitizer build, without reading the editor it belonged to).
  display::VerticalBlank();
  EXPECT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 0; }));
  ui->Run([] {
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, kTick, kTick, PM_REMOVE));
  });
}

} // namespace
