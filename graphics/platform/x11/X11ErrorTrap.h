#pragma once

#include <X11/Xlib.h>

namespace iplug::igraphics {

// X reports errors asynchronously through a process-wide handler whose default ends the process.
// While one of these lives, a failed request on the display is noted instead (the host may hand
// over a window that is already gone, or take it away while the editor is open); the previous
// handler comes back at the end. UI thread.
class X11ErrorTrap
{
public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Whether a request since the trap was set failed.
  bool Failed();

private:
  Display* mDisplay;
  XErrorHandler mPrevious = nullptr;
};

// Errors on an editor's own connection never end the host: the host may destroy its window, and
// the editor's inside it, at any moment, and requests already on their way then fail. Guarded
// displays' errors are dropped; every other display's go to the handler that was there before.
// The handler is removed again when the last guarded display goes. UI thread.
void GuardDisplay(Display* display);
void UnguardDisplay(Display* display);

} // namespace iplug::igraphics
