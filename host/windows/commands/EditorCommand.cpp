// The aaxhost editor command on Windows: the module's editor in a real top-level window, its
// input as the system's own (SendInput: the messages reach the window as a user's would, through
// capture, focus and the double-click timing), its display clock running on the system's own
// blank, and its picture read from the screen (or, where the screen does not show its OpenGL
// frames, from the window's own colour buffers).
//   1. the display's pace
//   2. playing the script as system input
//   3. the run

#include "EditorCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <ostream>
#include <thread>

#include "AAX_Errors.h"
#include "EditorRun.h"
#include "HostEditor.h"
#include "HostSession.h"
#include "HostUIThread.h"
#include "ParameterSettings.h"
#include "PngFile.h"
#include "ScreenPicture.h"

namespace aaxhost {

namespace {

// ---- 1. The display's pace ------------------------------------------------------------------------

// Ticks at 60 per second, each followed by the UI thread handling what came in meanwhile (the
// editor's display-clock messages, the input). The editor's clock runs on its own: a tick here is
// the time one frame takes on a 60 Hz display.
class DisplayPace
{
public:
  explicit DisplayPace(HostUIThread& ui) : mUI(ui) {}

  void Tick()
  {
    std::this_thread::sleep_until(mNext);
    mNext = std::max(Clock::now(), mNext) + kPeriod;
    mUI.Flush();
    ++mTicks;
  }

  int Ticks() const { return mTicks; }

private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kPeriod = std::chrono::microseconds(16667);

  HostUIThread& mUI;
  int mTicks = 0;
  Clock::time_point mNext = Clock::now();
};

// ---- 2. Playing the script as system input ---------------------------------------------------------

DWORD ButtonFlag(EditorScriptEvent::Button button, bool down)
{
  switch (button)
  {
    case EditorScriptEvent::Button::Right: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case EditorScriptEvent::Button::Middle: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    default: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
}

// A mouse event at a point of the primary screen. Absolute input is in 1/65536 of the screen,
// which the system maps back by flooring; rounding up lands on the pixel itself.
void SendMouse(POINT screenPoint, DWORD flags, DWORD data = 0)
{
  const int64_t width = std::max(1, GetSystemMetrics(SM_CXSCREEN));
  const int64_t height = std::max(1, GetSystemMetrics(SM_CYSCREEN));
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screenPoint.x * int64_t{65536} + width - 1) / width);
  input.mi.dy = static_cast<LONG>((screenPoint.y * int64_t{65536} + height - 1) / height);
  input.mi.mouseData = data;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(INPUT));
}

// A button event where the cursor is now: a real mouse lets go where it stands, and a release
// sent with a move would first drag whatever the press took hold of to the script's point.
void SendButton(DWORD flags)
{
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(INPUT));
}

void SendKey(WORD virtualKey, bool down)
{
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(INPUT));
}

class ScriptPlayer
{
public:
  ScriptPlayer(HostEditor& editor, HostUIThread& ui, DisplayPace& pace, float logicalWidth)
    : mEditor(editor), mUI(ui), mPace(pace), mLogicalWidth(logicalWidth)
  {
  }

  void Play(const std::vector<EditorScriptEvent>& events)
  {
    for (const auto& e : events)
    {
      if (e.kind == EditorScriptEvent::Kind::Wait)
      {
        for (int i = 0; i < e.frames; ++i)
          mPace.Tick();
        continue;
      }
      HWND window = mEditor.EditorWindow();
      if (!window)
        throw CommandError("script line " + std::to_string(e.line) + ": the editor has no window any more");
      Inject(window, e);
      AwaitHandled();
      // A user's pace: the editor handles the event and draws one frame before the next.
      mPace.Tick();
    }
  }

private:
  // The system queues sent input for the window's thread on its own time. The next move is
  // measured from where the cursor is once the editor has handled this one (a knob that puts the
  // cursor back does so while it handles the move), so the UI thread empties its input first.
  void AwaitHandled()
  {
    for (int attempt = 0; attempt < 200; ++attempt)
    {
      mUI.Flush();
      if (mUI.Run([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; }))
        return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // Logical pixels of the face to the screen, at the zoom and density the window has now.
  POINT ToScreen(HWND window, float x, float y)
  {
    const SIZE size = mEditor.EditorSize();
    const double k = mLogicalWidth > 0.f && size.cx > 0 ? size.cx / static_cast<double>(mLogicalWidth) : 1.0;
    POINT p{static_cast<LONG>(std::lround(x * k)), static_cast<LONG>(std::lround(y * k))};
    ClientToScreen(window, &p);
    return p;
  }

  void Inject(HWND window, const EditorScriptEvent& e)
  {
    using Kind = EditorScriptEvent::Kind;
    if (e.kind == Kind::KeyDown || e.kind == Kind::KeyUp)
    {
      SendKey(static_cast<WORD>(e.virtualKey), e.kind == Kind::KeyDown);
      return;
    }
    const POINT p = ToScreen(window, e.x, e.y);
    // A mouse reports motion, not places: a move goes from wherever the cursor is now by the
    // distance the script moves, so a drag stays as long as written when the editor puts the
    // cursor back (a knob locks it while it is dragged).
    const POINT last = ToScreen(window, mLastX, mLastY);
    POINT cursor{};
    GetCursorPos(&cursor);
    mLastX = e.x;
    mLastY = e.y;
    switch (e.kind)
    {
      case Kind::Press: SendMouse(p, ButtonFlag(e.button, true)); break;
      case Kind::Move: SendMouse(POINT{cursor.x + (p.x - last.x), cursor.y + (p.y - last.y)}, 0); break;
      case Kind::Release: SendButton(ButtonFlag(e.button, false)); break;
      case Kind::DoubleClick:
        for (int click = 0; click < 2; ++click)
        {
          SendMouse(p, ButtonFlag(e.button, true));
          SendMouse(p, ButtonFlag(e.button, false));
        }
        break;
      case Kind::Wheel:
        SendMouse(p, MOUSEEVENTF_WHEEL, static_cast<DWORD>(std::lround(e.notches * WHEEL_DELTA)));
        break;
      default: break;
    }
  }

  HostEditor& mEditor;
  HostUIThread& mUI;
  DisplayPace& mPace;
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
  auto editor = std::make_unique<HostEditor>(session.UIThread(), session.Instance(), editorOptions);
  const AAX_Point viewSize = editor->ViewSize();
  if (options.zoom != 0.0)
    RestoreEditorZoom(session, options.zoom, viewSize);

  // The record shows what happened in the editor, not how the settings arrived.
  session.Controller().Automation().ClearEvents();

  DisplayPace pace(session.UIThread());
  if (const AAX_Result result = editor->Open(); result != AAX_SUCCESS)
    throw CommandError("the editor did not open: " + AAX_ResultMessage(result));
  if (!editor->EditorWindow())
    throw CommandError("the editor opened no window in the host's frame");

  for (int i = 0; i < options.frames; ++i)
    pace.Tick();
  ScriptPlayer(*editor, session.UIThread(), pace, viewSize.horz).Play(script);
  for (int i = 0; i < options.frames; ++i)
    pace.Tick();
  session.SettleParameters();

  EditorRunRecord record;
  record.window = editor->EditorSize();
  record.hostWindow = editor->FrameSize();
  record.ticks = pace.Ticks();
  record.scriptEvents = script.size();
  // Wine (8.0) keeps a child window's OpenGL frames in an off-screen X window of its own and never
  // composes them onto the screen or into the window's device context: the screen shows one flat
  // colour there, and the frame is read back through WGL from the window's own colour buffers.
  HWND editorWindow = editor->EditorWindow();
  ScreenPicture picture = CaptureClientArea(editorWindow);
  const bool composed = !IsFlat(picture);
  if (!composed)
    picture = session.UIThread().Run([editorWindow] { return ReadOpenGLFrame(editorWindow); });
  record.pictureWidth = picture.width;
  record.pictureHeight = picture.height;
  record.parameters = session.Parameters();
  record.automation = session.Controller().Automation().Events();
  record.clicks = editor->Container().MouseEvents();

  editor->Close();
  editor.reset();

  if (picture.width < 1 || picture.height < 1)
    throw CommandError("the editor's window could not be read from the screen or from its OpenGL buffers");
  if (IsFlat(picture))
    throw CommandError("the editor's window shows one flat colour on the screen and in its OpenGL buffers");
  if (!composed)
    std::cerr << "aaxhost: the screen shows the editor's window as one flat colour (the system did not compose its "
                 "OpenGL frames there); the picture was read back through WGL from the window's colour buffers\n";
  WriteEditorOutputs(session, options, picture.width, picture.height, picture.rgba);
  WriteEditorReport(options, record, out);
}

} // namespace aaxhost
