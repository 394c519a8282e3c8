// The headless display: its settings, per-window DPI and the frames presented into windows.

#include "Win32Display.h"

#include "Win32DisplayState.h"
#include "Win32GdiState.h"
#include "Win32GlState.h"
#include "Win32LiveObjects.h"
#include "Win32UserState.h"

#include "LargeBlocks.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace win32compat {

namespace {

struct FreeBlock
{
  void operator()(uint8_t* block) const { compat::FreeLargeBlock(block); }
};

// A window's picture lives in memory of its own, as a compositor's would: replaced by one of
// another size (a window being resized), it goes back to the system at once rather than leaving
// a resident hole in the process's heap under the next.
struct StoredFrame
{
  int width = 0;
  int height = 0;
  uint64_t serial = 0;
  size_t bytes = 0;
  std::unique_ptr<uint8_t, FreeBlock> rgba;
};

// The display's own lock is taken last: nothing else is locked while it is held.
struct DisplayState
{
  std::mutex mutex;
  DisplaySettings settings;
  std::unordered_map<uintptr_t, StoredFrame> frames;
};

DisplayState& Display()
{
  static DisplayState* state = new DisplayState;
  return *state;
}

template <typename Change>
void ChangeSettings(Change change)
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  change(state.settings);
}

} // namespace

DisplaySettings Settings()
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.settings;
}

SIZE ScreenSize()
{
  return Settings().screen;
}

void PresentFrame(HWND hwnd, int width, int height, const std::function<bool(uint8_t*)>& read)
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto key = reinterpret_cast<uintptr_t>(hwnd);
  auto& frame = state.frames[key];
  const size_t bytes = static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)) * 4;
  if (frame.bytes != bytes || !frame.rgba)
  {
    frame.rgba.reset(); // gone before the next is taken
    frame.bytes = 0;
    if (bytes > 0)
      frame.rgba.reset(static_cast<uint8_t*>(compat::AllocateLargeBlock(bytes)));
    if (frame.rgba)
      frame.bytes = bytes;
  }
  if (bytes == 0 || !frame.rgba || !read(frame.rgba.get()))
  {
    state.frames.erase(key);
    return;
  }
  frame.width = width;
  frame.height = height;
  ++frame.serial;
}

void DropFrames(HWND hwnd)
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.frames.erase(reinterpret_cast<uintptr_t>(hwnd));
}

size_t LiveFrames()
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.frames.size();
}

void ReleaseWindowResources(HWND hwnd)
{
  ReleaseWindowSurface(hwnd);
  ReleaseWindowDc(hwnd);
  DropFrames(hwnd);
}

} // namespace win32compat

namespace win32compat::display {

void Reset()
{
  ChangeSettings([](DisplaySettings& s) { s = DisplaySettings{}; });
  ResetVerticalBlank();
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::fill(std::begin(state.asyncKeys), std::end(state.asyncKeys), BYTE{0});
  state.cursorPos = POINT{0, 0};
  state.cursor = nullptr;
  state.cursorShowCount = 0;
}

bool SetWindowDpi(HWND hwnd, UINT dpi)
{
  if (dpi == 0)
    return false;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return false;
  std::vector<HWND> pending{hwnd};
  while (!pending.empty())
  {
    auto w = FindWindowLocked(state, pending.back());
    pending.pop_back();
    if (!w)
      continue;
    w->dpi = dpi;
    pending.insert(pending.end(), w->children.begin(), w->children.end());
  }
  return true;
}

void SetDigitizer(int digitizerFlags, int maximumTouches)
{
  ChangeSettings([=](DisplaySettings& s) {
    s.digitizer = digitizerFlags;
    s.maximumTouches = maximumTouches;
  });
}

void SetWindowsVersion(DWORD major, DWORD minor, DWORD build)
{
  ChangeSettings([=](DisplaySettings& s) {
    s.major = major;
    s.minor = minor;
    s.build = build;
  });
}

void SetVerticalBlankFunctionsAvailable(bool available)
{
  ChangeSettings([=](DisplaySettings& s) { s.verticalBlankAvailable = available; });
}

UINT WindowTimerPeriod(HWND hwnd, UINT_PTR id)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  for (const TimerRecord& timer : state.timers)
  {
    if (hwnd && timer.hwnd == hwnd && timer.id == id)
      return timer.elapse;
  }
  return 0;
}

LiveObjectCounts LiveObjects()
{
  LiveObjectCounts counts;
  counts.windows = LiveWindows();
  counts.gdiObjects = LiveGdiObjects();
  counts.glContexts = LiveGlContexts();
  counts.glSurfaces = LiveGlSurfaces();
  counts.frames = LiveFrames();
  counts.menus = LiveMenus();
  counts.globalBlocks = LiveGlobalBlocks();
  counts.kernelHandles = LiveKernelHandles();
  counts.inputHandles = LiveInputHandles();
  counts.memoryFonts = LiveMemoryFonts();
  return counts;
}

Frame PresentedFrame(HWND hwnd)
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto it = state.frames.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == state.frames.end())
    return Frame{};
  const StoredFrame& stored = it->second;
  Frame frame;
  frame.width = stored.width;
  frame.height = stored.height;
  frame.serial = stored.serial;
  frame.rgba.assign(stored.rgba.get(), stored.rgba.get() + stored.bytes);
  return frame;
}

uint64_t PresentCount(HWND hwnd)
{
  auto& state = Display();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto it = state.frames.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == state.frames.end() ? 0 : it->second.serial;
}

} // namespace win32compat::display
