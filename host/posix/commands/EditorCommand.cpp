// The aaxhost editor command:
//   1. the display clock, driven by hand at the display's pace
//   2. playing the script into the editor's window
//   3. the run (the steps that do not depend on the display are in EditorRun)

#include "EditorCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "AAX_Errors.h"
#include "EditorRun.h"
#include "EditorScript.h"
#include "HostEditor.h"
#include "HostSession.h"
#include "ParameterSettings.h"
#include "win32/testing/Win32Display.h"

namespace aaxhost {

namespace display = win32compat::display;

namespace {

// ---- 1. The display clock -----------------------------------------------------------------------

// The display's vertical blank, given by hand at 60 per second: every tick the editor's display
// clock sees is one the command gave, so a run draws the same frames each time. Back to the
// display's own clock when it goes (an editor closing waits for its clock thread's next blank).
class DisplayClock
{
public:
  explicit DisplayClock(HostUIThread& ui) : mUI(ui) { display::SetManualVerticalBlank(true); }
  ~DisplayClock() { Release(); }
  DisplayClock(const DisplayClock&) = delete;
  DisplayClock& operator=(const DisplayClock&) = delete;

  void Release()
  {
    if (mManual)
      display::SetManualVerticalBlank(false);
    mManual = false;
  }

  // One blank at the display's pace; then the UI thread handles the tick it brought.
  void Tick()
  {
    std::this_thread::sleep_until(mNext);
    mNext = std::max(Clock::now(), mNext) + kPeriod;
    WaitForClockThread();
    display::VerticalBlank();
    ++mTicks;
    // The clock thread wakes, counts and posts its tick, then waits again; a blank that finds no
    // waiter is still counted, so a slow thread only delays the tick.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    WaitForClockThread();
    mUI.Flush();
  }

  int Ticks() const { return mTicks; }

private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kPeriod = std::chrono::microseconds(16667);

  void WaitForClockThread()
  {
    // An editor without a display-clock thread (no window, or a system without the blank
    // functions) gets its ticks from a timer instead; waiting once is enough to tell.
    if (!mClockThreadSeen && mTicks > 2)
      return;
    const auto until = Clock::now() + std::chrono::milliseconds(250);
    while (display::VerticalBlankWaiters() == 0 && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    mClockThreadSeen = mClockThreadSeen || display::VerticalBlankWaiters() > 0;
  }

  HostUIThread& mUI;
  bool mManual = true;
  bool mClockThreadSeen = false;
  int mTicks = 0;
  Clock::time_point mNext = Clock::now();
};

// ---- 2. Playing the script ------------------------------------------------------------------------

display::Button ButtonOf(EditorScriptEvent::Button button)
{
  switch (button)
  {
    case EditorScriptEvent::Button::Right: return display::Button::Right;
    case EditorScriptEvent::Button::Middle: return display::Button::Middle;
    default: return display::Button::Left;
  }
}

class ScriptPlayer
{
public:
  ScriptPlayer(HostEditor& editor, DisplayClock& clock, float logicalWidth)
    : mEditor(editor), mClock(clock), mLogicalWidth(logicalWidth)
  {
  }

  void Play(const std::vector<EditorScriptEvent>& events)
  {
    for (const auto& e : events)
    {
      if (e.kind == EditorScriptEvent::Kind::Wait)
      {
        for (int i = 0; i < e.frames; ++i)
          mClock.Tick();
        continue;
      }
      HWND window = mEditor.EditorWindow();
      if (!window)
        throw CommandError("script line " + std::to_string(e.line) + ": the editor has no window any more");
      Inject(window, e);
      // A user's pace: the editor handles the event and draws one frame before the next.
      mClock.Tick();
    }
  }

private:
  // Logical pixels of the face to the window's client pixels, at the zoom and density it has now.
  POINT ToClient(float x, float y)
  {
    const SIZE size = mEditor.EditorSize();
    const double k = mLogicalWidth > 0.f && size.cx > 0 ? size.cx / static_cast<double>(mLogicalWidth) : 1.0;
    return POINT{static_cast<LONG>(std::lround(x * k)), static_cast<LONG>(std::lround(y * k))};
  }

  // Where the system's cursor is now, in the window's client pixels.
  static POINT Cursor(HWND window)
  {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
  }

  void Inject(HWND window, const EditorScriptEvent& e)
  {
    using Kind = EditorScriptEvent::Kind;
    bool queued = true;
    if (e.kind == Kind::KeyDown || e.kind == Kind::KeyUp)
    {
      queued = e.kind == Kind::KeyDown ? display::KeyDown(window, e.virtualKey) : display::KeyUp(window, e.virtualKey);
    }
    else
    {
      const POINT p = ToClient(e.x, e.y);
      // A mouse reports motion, not places: a move goes from wherever the cursor is now by the
      // distance the script moves. That is the same place unless the editor put the cursor
      // back (a knob locks it while it is dragged), and then the drag is as long as written.
      const POINT last = ToClient(mLastX, mLastY);
      const POINT cursor = Cursor(window);
      mLastX = e.x;
      mLastY = e.y;
      switch (e.kind)
      {
        case Kind::Press: queued = display::MouseDown(window, p.x, p.y, ButtonOf(e.button)); break;
        case Kind::Move:
          queued = display::MouseMove(window, cursor.x + (p.x - last.x), cursor.y + (p.y - last.y));
          break;
        case Kind::Release: queued = display::MouseUp(window, p.x, p.y, ButtonOf(e.button)); break;
        case Kind::DoubleClick: queued = display::DoubleClick(window, p.x, p.y, ButtonOf(e.button)); break;
        case Kind::Wheel:
          queued = display::MouseWheel(window, p.x, p.y, static_cast<int>(std::lround(e.notches * 120.0)));
          break;
        default: break;
      }
    }
    // Input outside every window reaches nobody, as on a real screen; the script goes on.
    (void) queued;
  }

  HostEditor& mEditor;
  DisplayClock& mClock;
  float mLogicalWidth;
  float mLastX = 0.f;  // the script's last pointer position
  float mLastY = 0.f;
};

} // namespace

// ---- 3. The run -----------------------------------------------------------------------------------

void RunEditor(const EditorOptions& options, std::ostream& out)
{
  CheckEditorOptions(options);
  const std::vector<EditorScriptEvent> script = ReadEditorScriptFile(options);

  HostSession::Options sessionOptions;
  sessionOptions.modulePath = options.modulePath;
  HostSession session(sessionOptions);
  PrepareEditorSession(session, options);

  HostEditor::Options editorOptions;
  editorOptions.dpi = static_cast<UINT>(options.dpi);
  editorOptions.hostTakesParameterClicks = options.hostTakesParameterClicks;
  HostEditor editor(session.UIThread(), session.Instance(), editorOptions);
  const AAX_Point viewSize = editor.ViewSize();
  if (options.zoom != 0.0)
    RestoreEditorZoom(session, options.zoom, viewSize);

  // The record shows what happened in the editor, not how the settings arrived.
  session.Controller().Automation().ClearEvents();

  DisplayClock clock(session.UIThread());
  if (const AAX_Result result = editor.Open(); result != AAX_SUCCESS)
    throw CommandError("the editor did not open: " + AAX_ResultMessage(result));
  if (!editor.EditorWindow())
    throw CommandError("the editor opened no window in the host's frame");

  for (int i = 0; i < options.frames; ++i)
    clock.Tick();
  ScriptPlayer(editor, clock, viewSize.horz).Play(script);
  for (int i = 0; i < options.frames; ++i)
    clock.Tick();
  session.SettleParameters();

  HWND window = editor.EditorWindow();
  const display::Frame picture = window ? display::PresentedFrame(window) : display::Frame{};
  EditorRunRecord record;
  record.window = editor.EditorSize();
  record.hostWindow = editor.FrameSize();
  record.ticks = clock.Ticks();
  record.scriptEvents = script.size();
  record.pictureWidth = picture.width;
  record.pictureHeight = picture.height;
  record.parameters = session.Parameters();
  record.automation = session.Controller().Automation().Events();
  record.clicks = editor.Container().MouseEvents();

  clock.Release();
  editor.Close();

  if (picture.serial == 0 || picture.width < 1 || picture.height < 1)
    throw CommandError("the editor presented no picture");
  WriteEditorOutputs(session, options, picture.width, picture.height, picture.rgba);
  WriteEditorReport(options, record, out);
}

} // namespace aaxhost
