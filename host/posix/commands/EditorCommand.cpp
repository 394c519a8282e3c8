// The aaxhost editor command:
//   1. the display clock, driven by hand at the display's pace
//   2. playing the script into the editor's window
//   3. the records: parameters, automation, parameter clicks
//   4. the run

#include "EditorCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "AAX_Errors.h"
#include "AudioFile.h"
#include "EditorScript.h"
#include "HostEditor.h"
#include "HostSession.h"
#include "OutputPath.h"
#include "ParameterSettings.h"
#include "PngFile.h"
#include "win32/testing/Win32Display.h"

namespace aaxhost {

namespace display = win32compat::display;

namespace {

constexpr size_t kMaxStateFileBytes = 1 << 20;
constexpr size_t kMaxScriptBytes = 1 << 20;

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

// ---- 3. The records -------------------------------------------------------------------------------

struct AutomationRecord
{
  std::string identifier;
  int touches = 0;
  int releases = 0;
  std::vector<double> setValues;
  std::vector<std::string> sequence;  // "touch", "set", "release" in order
};

std::vector<AutomationRecord> RecordByParameter(const std::vector<HostAutomationDelegate::Event>& events)
{
  std::vector<AutomationRecord> records;
  for (const auto& event : events)
  {
    if (event.kind != "touch" && event.kind != "set" && event.kind != "release")
      continue;
    auto found = std::find_if(records.begin(), records.end(),
                              [&](const AutomationRecord& r) { return r.identifier == event.paramID; });
    if (found == records.end())
    {
      records.push_back(AutomationRecord{event.paramID, 0, 0, {}, {}});
      found = records.end() - 1;
    }
    if (event.kind == "touch")
      ++found->touches;
    else if (event.kind == "release")
      ++found->releases;
    else
      found->setValues.push_back(event.value);
    found->sequence.push_back(event.kind);
  }
  return records;
}

std::string NameOf(const std::vector<HostInstance::ParameterInfo>& parameters, const std::string& identifier)
{
  for (const auto& info : parameters)
    if (info.identifier == identifier)
      return info.name;
  return "";
}

std::string Shown(const std::string& identifier)
{
  return identifier.empty() ? "\"\"" : identifier;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path, const char* what, size_t limit)
{
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    throw CommandError(std::string(what) + " '" + path + "' is not a readable file");
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > limit)
    throw CommandError(std::string(what) + " '" + path + "' is larger than " + std::to_string(limit) + " bytes");
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    throw CommandError(std::string(what) + " '" + path + "' cannot be read");
  return bytes;
}

void CheckValid(const EditorOptions& options)
{
  if (options.pngPath.empty())
    throw UsageError("--png names no file");
  const auto folder = std::filesystem::absolute(options.pngPath).parent_path();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    throw CommandError(CannotWriteMessage("picture", options.pngPath, "no folder '" + folder.string() + "'"));
  if (options.frames < 0 || options.frames > kMaxEditorFrames)
    throw UsageError("--frames must be from 0 to " + std::to_string(kMaxEditorFrames) + ", not " +
                     std::to_string(options.frames));
  if (options.dpi < 48 || options.dpi > 480)
    throw UsageError("--dpi must be from 48 to 480, not " + std::to_string(options.dpi));
  // A zoom the editor would clamp is refused, not opened at another size than asked.
  if (options.zoom != 0.0 && !(options.zoom >= kMinEditorZoom && options.zoom <= kMaxEditorZoom))
  {
    std::ostringstream text;
    text << "--zoom must be from " << kMinEditorZoom << " to " << kMaxEditorZoom << ", not " << options.zoom;
    throw UsageError(text.str());
  }
  if (!options.saveStatePath.empty())
  {
    if (options.saveStatePath == "-")
      throw UsageError("--save-state names a file; standard output does not take one");
    PlanOutput(options.saveStatePath, options.force, "state file");
  }
}

// A state whose editor record asks for the zoom: what a session saved at that zoom restores.
void RestoreZoom(HostSession& session, double zoom, const AAX_Point& viewSize)
{
  std::vector<uint8_t> state = session.GetChunk();
  if (state.size() < 12)
    throw CommandError("the module's state holds no editor record to restore a zoom with");
  int32_t width = 0, height = 0;
  std::memcpy(&width, state.data(), 4);
  std::memcpy(&height, state.data() + 4, 4);
  if (width <= 0 || height <= 0)
  {
    width = static_cast<int32_t>(std::lround(viewSize.horz));
    height = static_cast<int32_t>(std::lround(viewSize.vert));
  }
  const float scale = static_cast<float>(zoom);
  std::memcpy(state.data(), &width, 4);
  std::memcpy(state.data() + 4, &height, 4);
  std::memcpy(state.data() + 8, &scale, 4);
  if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
    throw CommandError("the module refused the state at zoom " + std::to_string(zoom) + ": " +
                       AAX_ResultMessage(result));
}

} // namespace

// ---- 4. The run -----------------------------------------------------------------------------------

void RunEditor(const EditorOptions& options, std::ostream& out)
{
  CheckValid(options);
  std::vector<EditorScriptEvent> script;
  if (!options.scriptPath.empty())
  {
    const auto bytes = ReadFileBytes(options.scriptPath, "script", kMaxScriptBytes);
    script = ParseEditorScript(std::string(bytes.begin(), bytes.end()));
  }

  HostSession::Options sessionOptions;
  sessionOptions.modulePath = options.modulePath;
  HostSession session(sessionOptions);

  if (!options.statePath.empty())
  {
    const auto state = ReadFileBytes(options.statePath, "state file", kMaxStateFileBytes);
    if (state.size() != session.GetChunk().size())
      throw CommandError("state file '" + options.statePath + "' holds " + std::to_string(state.size()) +
                         " bytes; the module's state chunk holds " + std::to_string(session.GetChunk().size()));
    if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
      throw CommandError("the module refused state file '" + options.statePath + "': " + AAX_ResultMessage(result));
  }
  ApplySettings(session, ResolveSettings(session, options.settings));

  HostEditor::Options editorOptions;
  editorOptions.dpi = static_cast<UINT>(options.dpi);
  editorOptions.hostTakesParameterClicks = options.hostTakesParameterClicks;
  HostEditor editor(session.UIThread(), session.Instance(), editorOptions);
  const AAX_Point viewSize = editor.ViewSize();
  if (options.zoom != 0.0)
    RestoreZoom(session, options.zoom, viewSize);

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
  const SIZE windowSize = editor.EditorSize();
  const SIZE frameSize = editor.FrameSize();
  const display::Frame picture = window ? display::PresentedFrame(window) : display::Frame{};
  const auto parameters = session.Parameters();
  const auto automation = RecordByParameter(session.Controller().Automation().Events());
  const auto clicks = editor.Container().MouseEvents();

  clock.Release();
  editor.Close();

  if (picture.serial == 0 || picture.width < 1 || picture.height < 1)
    throw CommandError("the editor presented no picture");
  if (!WritePng(options.pngPath, picture.width, picture.height, picture.rgba))
    throw CommandError(CannotWriteMessage("picture", options.pngPath, "the PNG could not be written"));
  // What the editor left, its size included, as a session saved now would hold it.
  if (!options.saveStatePath.empty())
    WriteBytes(options.saveStatePath, session.GetChunk(), "state file", options.force);

  if (options.json)
  {
    nlohmann::ordered_json report;
    report["window"] = {{"width", windowSize.cx}, {"height", windowSize.cy}};
    report["hostWindow"] = {{"width", frameSize.cx}, {"height", frameSize.cy}};
    report["dpi"] = options.dpi;
    report["ticks"] = clock.Ticks();
    report["scriptEvents"] = script.size();
    report["picture"] = {{"path", options.pngPath}, {"width", picture.width}, {"height", picture.height}};
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& info : parameters)
      list.push_back({{"id", info.identifier}, {"name", info.name}, {"normalized", info.value},
                    {"text", ShownValueText(info.identifier, info.value, info.valueText)}});
    report["parameters"] = list;
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const auto& r : automation)
      records.push_back({{"id", r.identifier}, {"name", NameOf(parameters, r.identifier)}, {"touch", r.touches},
                         {"setValueRequests", r.setValues}, {"release", r.releases}, {"sequence", r.sequence}});
    report["automation"] = records;
    nlohmann::ordered_json clickList = nlohmann::ordered_json::array();
    for (const auto& c : clicks)
      clickList.push_back({{"kind", c.kind}, {"ids", c.paramIDs}, {"modifiers", c.modifiers}});
    report["parameterClicks"] = clickList;
    out << report.dump(2) << '\n';
    return;
  }

  out << "editor window: " << windowSize.cx << " x " << windowSize.cy << " (host window " << frameSize.cx << " x "
      << frameSize.cy << ", " << options.dpi << " dpi), " << clock.Ticks() << " display ticks, " << script.size()
      << " script events\n";
  out << "picture: " << options.pngPath << " (" << picture.width << " x " << picture.height << ")\n";
  out << "parameters:\n";
  for (const auto& info : parameters)
    out << "  " << std::left << std::setw(14) << (info.name + ":") << ' '
        << ShownValueText(info.identifier, info.value, info.valueText) << "  ("
        << Shown(info.identifier) << " = " << info.value << ")\n";
  out << "automation since the editor opened:";
  if (automation.empty())
    out << " none";
  out << '\n';
  for (const auto& r : automation)
  {
    out << "  " << Shown(r.identifier) << ' ' << NameOf(parameters, r.identifier) << ": touch " << r.touches
        << ", set-value requests " << r.setValues.size();
    if (!r.setValues.empty())
      out << " (last " << r.setValues.back() << ")";
    out << ", release " << r.releases << '\n';
  }
  if (!clicks.empty())
  {
    out << "parameter clicks offered to the host (" << (options.hostTakesParameterClicks ? "taken" : "left to the editor")
        << "):\n";
    for (const auto& c : clicks)
    {
      out << "  " << c.kind;
      for (const auto& id : c.paramIDs)
        out << ' ' << Shown(id);
      out << " (modifiers " << c.modifiers << ")\n";
    }
  }
}

} // namespace aaxhost
