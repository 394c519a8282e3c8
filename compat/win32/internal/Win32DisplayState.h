#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the display settings and the presented frames, shared by the parts
// that answer from them (metrics, versions, module exports, SwapBuffers).

#include "Win32Display.h"

#include <vector>

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

// SwapBuffers hands the window's finished frame (RGBA, top row first) to the display.
void StoreFrame(HWND hwnd, int width, int height, std::vector<uint8_t> rgba);
void DropFrames(HWND hwnd);

// The vertical-blank clock (Win32VerticalBlank.cpp).
void ResetVerticalBlank();

} // namespace win32compat
