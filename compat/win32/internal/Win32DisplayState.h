#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the display settings and the presented frames, shared by the parts
// that answer from them (metrics, versions, module exports, SwapBuffers).

#include "Win32Display.h"

#include <cstdint>
#include <functional>

namespace win32compat {

struct DisplaySettings
{
  SIZE screen{1920, 1080};
  bool verticalBlankAvailable = true;
  DWORD major = 10;
  DWORD minor = 0;
  DWORD build = 19045;
  int digitizer = 0;
  int maximumTouches = 0;
};

DisplaySettings Settings();
SIZE ScreenSize();

// SwapBuffers presents the window's finished frame: `read` fills the display's picture of the
// window (width x height x 4 bytes of RGBA, top row first) where it lies. A picture of the same
// size is overwritten, one of another size freed before the new one is made, so a window holds
// one picture however often and however far it was resized. A failed read leaves the window
// without a picture.
void PresentFrame(HWND hwnd, int width, int height, const std::function<bool(uint8_t*)>& read);
void DropFrames(HWND hwnd);

// The vertical-blank clock (Win32VerticalBlank.cpp).
void ResetVerticalBlank();

} // namespace win32compat
