#pragma once

#include <cstdint>
#include <vector>

#include "PlatformWindows.h"

namespace aaxhost {

struct ScreenPicture
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // top row first, opaque
};

// The window's client area as the screen shows it, read through GDI from the screen's device
// context: what the user sees, composed from every drawing API the window uses (GDI, OpenGL),
// which a window's own device context does not hold for an OpenGL surface on every system.
// Empty when the window has no client area or the copy fails. The window must be on the screen
// and uncovered. Any thread.
ScreenPicture CaptureClientArea(HWND window);

// Whether every pixel is the same colour (an empty picture too): no editor face is, but a screen
// that never received the window's OpenGL frames is.
bool IsFlat(const ScreenPicture& picture);

} // namespace aaxhost
