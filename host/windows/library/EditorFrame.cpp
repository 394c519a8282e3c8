#include "EditorFrame.h"

#include <stdexcept>
#include <string>

namespace aaxhost {

namespace {

// The desktop's density, as a process aware of each display's sees it.
UINT DesktopDpi()
{
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

// The density the system gives the window: per window where the system knows it (Windows 10
// 1607 and later, Wine), else the desktop's.
UINT DpiOf(HWND window)
{
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
    reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow)
    if (const UINT dpi = getDpiForWindow(window); dpi > 0)
      return dpi;
  return DesktopDpi();
}

} // namespace

void PrepareEditorFrame(HWND frame, UINT dpi)
{
  const UINT has = DpiOf(frame);
  if (has != dpi)
    throw std::runtime_error("the display is at " + std::to_string(has) + " dpi, not " + std::to_string(dpi) +
                             ": on Windows the display's scale setting chooses the density");
  // The host's pictures are read from the screen, and its input goes where the pointer is: the
  // frame stays above every other window and takes the keyboard.
  SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(frame);
}

UINT DisplayDpi()
{
  return DesktopDpi();
}

} // namespace aaxhost
