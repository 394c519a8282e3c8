// The display clock: a thread that waits for the display's vertical blank and posts a tick to the
// editor window after each one, or a window timer where the system has no vertical-blank wait.

#include "IGraphicsWin.h"

namespace iplug::igraphics {

namespace {

constexpr UINT kDisplayTickMessage = 0x401;
constexpr UINT_PTR kDisplayTimerId = 2;
constexpr DWORD kFallbackPeriodMs = 16;
constexpr DWORD kAdapterRetryMs = 1000;
constexpr DWORD kStopTimeoutMs = 10000;

// An export of the library by name, as the type the caller knows it by; null when it is missing.
template <typename Fn>
Fn ProcAs(HMODULE module, const char* name)
{
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

void IGraphicsWin::StartDisplayClock(HWND hWnd)
{
  if (mVSYNCEnabled)
  {
    mVBlankWindow = hWnd;
    mVBlankShutdown = false;
    HANDLE thread = CreateThread(nullptr, 0, &IGraphicsWin::DisplayClockThread, this, 0, nullptr);
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
    if (mVBlankThread != INVALID_HANDLE_VALUE)
    {
      mVBlankShutdown = true;
      WaitForSingleObject(mVBlankThread, kStopTimeoutMs);
      CloseHandle(mVBlankThread);
    }
    mVBlankThread = INVALID_HANDLE_VALUE;
    mVBlankWindow = nullptr;
  }
  else
  {
    KillTimer(mPlugWnd, kDisplayTimerId);
  }
}

DWORD WINAPI IGraphicsWin::DisplayClockThread(LPVOID param)
{
  auto* self = static_cast<IGraphicsWin*>(param);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);

  HMODULE gdi = LoadLibraryA("gdi32.dll");
  auto openAdapter = ProcAs<PFND3DKMT_OPENADAPTERFROMHDC>(gdi, "D3DKMTOpenAdapterFromHdc");
  auto closeAdapter = ProcAs<PFND3DKMT_CLOSEADAPTER>(gdi, "D3DKMTCloseAdapter");
  auto waitForBlank = ProcAs<PFND3DKMT_WAITFORVERTICALBLANKEVENT>(gdi, "D3DKMTWaitForVerticalBlankEvent");

  const auto tick = [self] {
    const int32_t count = ++self->mVBlankCount;
    PostMessageW(self->mVBlankWindow, kDisplayTickMessage, static_cast<WPARAM>(count), 0);
  };

  D3DKMT_HANDLE adapter = 0;
  D3DDDI_VIDEO_PRESENT_SOURCE_ID source = 0;
  if (openAdapter && closeAdapter && waitForBlank)
  {
    bool failedBefore = false;
    DWORD lastFailure = 0;
    while (!self->mVBlankShutdown)
    {
      if (!adapter)
      {
        if (failedBefore && GetTickCount() - lastFailure < kAdapterRetryMs)
        {
          Sleep(kFallbackPeriodMs);
        }
        else
        {
          HDC dc = GetDC(self->mVBlankWindow);
          D3DKMT_OPENADAPTERFROMHDC open{};
          open.hDc = dc;
          const NTSTATUS status = openAdapter(&open);
          ReleaseDC(self->mVBlankWindow, dc);
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
    while (!self->mVBlankShutdown)
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
