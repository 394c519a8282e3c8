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

// The window's last OpenGL frame, read through WGL: a context of our own, made current on the
// window's device context (whose pixel format the window's owner set), reads the front buffer,
// and where that holds one flat colour, the back buffer, which a swap that copies leaves holding
// the frame it presented. For systems that never compose a child window's OpenGL frames onto the
// screen or into a device context, where the screen shows one flat colour in their place: Wine 8
// keeps them in an X window of its own, whose front buffer reads back black through Mesa while
// its back buffer holds the frame. Empty when the window has no OpenGL pixel format or the read
// fails. The context current on the calling thread before stays current. Call on the window's
// thread, between its frames.
ScreenPicture ReadOpenGLFrame(HWND window);

// Whether every pixel is the same colour (an empty picture too): no editor face is, but a screen
// that never received the window's OpenGL frames is.
bool IsFlat(const ScreenPicture& picture);

} // namespace aaxhost
