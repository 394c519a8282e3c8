// The display clock: a thread that waits for the display's vertical blank and posts a tick to the
// editor window after each one, or a window timer where the system has no vertical-blank wait.

#include "IGraphicsWin.h"

#include <memory>
#include <mutex>

namespace iplug::igraphics {

namespace {

constexpr UINT kDisplayTickMessage = 0x401;
constexpr UINT_PTR kDisplayTimerId = 2;
constexpr DWORD kFallbackPeriodMs = 16;
constexpr DWORD kAdapterRetryMs = 1000;
// Longer than a blank takes to come on any display, far shorter than a user notices a hang.
constexpr DWORD kStopWaitMs = 200;

// An export of the library by name, as the type the caller knows it by; null when it is missing.
template <typename Fn>
Fn ProcAs(HMODULE module, const char* name)
{
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

// The part of the clock that its thread may touch. The editor and the thread each hold a
// reference: the editor may be gone while the thread is still blocked in a wait for a blank
// that does not come, and then it finds this state stopped and ends at its next wake-up.
struct DisplayClockState
{
  explicit DisplayClockState(HWND w) : window(w) {}

  // Counts a tick and posts it, unless the clock was stopped; held under the lock so that
  // nothing is posted once Stop has returned.
  void Tick()
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (stopped)
      return;
    const int32_t n = ++count;
    PostMessageW(window, kDisplayTickMessage, static_cast<WPARAM>(n), 0);
  }

  void Stop()
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopped = true;
  }

  bool Stopped()
  {
    std::lock_guard<std::mutex> lock(mutex);
    return stopped;
  }

  const HWND window;
  std::atomic<int32_t> count{0};

private:
  std::mutex mutex;
  bool stopped = false;
};

namespace {

// The thread's own reference to the state, handed over through the thread's parameter.
using DisplayClockRef = std::shared_ptr<DisplayClockState>;

} // namespace

void IGraphicsWin::StartDisplayClock(HWND hWnd)
{
  if (mVSYNCEnabled)
  {
    mDisplayClock = std::make_shared<DisplayClockState>(hWnd);
    auto* ref = new DisplayClockRef(mDisplayClock);
    HANDLE thread = CreateThread(nullptr, 0, &IGraphicsWin::DisplayClockThread, ref, 0, nullptr);
    if (!thread)
      delete ref;
    mVBlankThread = thread ? thread : INVALID_HANDLE_VALUE;
  }
  else
  {
    const int fps = FPS() > 0 ? FPS() : 60;
    UINT period = static_cast<UINT>(1000 / fps);
    if (period < 20)
      period = 15;
    SetTimer(hWnd, kDisplayTimerId, period, nullptr);
  }
}

void IGraphicsWin::StopDisplayClock()
{
  if (mVSYNCEnabled)
  {
    if (mDisplayClock)
      mDisplayClock->Stop();
    if (mVBlankThread != INVALID_HANDLE_VALUE)
    {
      // A thread in a wait that does not end (a display that stopped blanking) is left to end
      // on its own: it holds nothing of this object, and the UI thread must not hang on it.
      WaitForSingleObject(mVBlankThread, kStopWaitMs);
      CloseHandle(mVBlankThread);
    }
    mVBlankThread = INVALID_HANDLE_VALUE;
  }
  else
  {
    KillTimer(mPlugWnd, kDisplayTimerId);
  }
}

int32_t IGraphicsWin::DisplayTickCount() const { return mDisplayClock ? mDisplayClock->count.load() : 0; }

DWORD WINAPI IGraphicsWin::DisplayClockThread(LPVOID param)
{
  const DisplayClockRef clock = std::move(*static_cast<DisplayClockRef*>(param));
  delete static_cast<DisplayClockRef*>(param);
  DisplayClockState* self = clock.get();
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);

  HMODULE gdi = LoadLibraryA("gdi32.dll");
  auto openAdapter = ProcAs<PFND3DKMT_OPENADAPTERFROMHDC>(gdi, "D3DKMTOpenAdapterFromHdc");
  auto closeAdapter = ProcAs<PFND3DKMT_CLOSEADAPTER>(gdi, "D3DKMTCloseAdapter");
  auto waitForBlank = ProcAs<PFND3DKMT_WAITFORVERTICALBLANKEVENT>(gdi, "D3DKMTWaitForVerticalBlankEvent");

  const auto tick = [self] { self->Tick(); };

  D3DKMT_HANDLE adapter = 0;
  D3DDDI_VIDEO_PRESENT_SOURCE_ID source = 0;
  if (openAdapter && closeAdapter && waitForBlank)
  {
    bool failedBefore = false;
    DWORD lastFailure = 0;
    while (!self->Stopped())
    {
      if (!adapter)
      {
        if (failedBefore && GetTickCount() - lastFailure < kAdapterRetryMs)
        {
          Sleep(kFallbackPeriodMs);
        }
        else
        {
          HDC dc = GetDC(self->window);
          D3DKMT_OPENADAPTERFROMHDC open{};
          open.hDc = dc;
          const NTSTATUS status = openAdapter(&open);
          ReleaseDC(self->window, dc);
          if (status < 0)
          {
            failedBefore = true;
            lastFailure = GetTickCount();
            Sleep(kFallbackPeriodMs);
          }
          else
          {
            adapter = open.hAdapter;
            source = open.VidPnSourceId;
          }
        }
      }
      else
      {
        D3DKMT_WAITFORVERTICALBLANKEVENT wait{};
        wait.hAdapter = adapter;
        wait.VidPnSourceId = source;
        if (waitForBlank(&wait) < 0)
        {
          // The display went away (mode change, sleep): the next pass opens the adapter again.
          D3DKMT_CLOSEADAPTER close{};
          close.hAdapter = adapter;
          closeAdapter(&close);
          adapter = 0;
          Sleep(kFallbackPeriodMs);
        }
      }
      tick();
    }
  }
  else
  {
    while (!self->Stopped())
    {
      Sleep(kFallbackPeriodMs);
      tick();
    }
  }

  if (adapter)
  {
    D3DKMT_CLOSEADAPTER close{};
    close.hAdapter = adapter;
    closeAdapter(&close);
  }
  if (gdi)
    FreeLibrary(gdi);
  return 0;
}

} // namespace iplug::igraphics
