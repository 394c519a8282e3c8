#pragma once

#include "PlatformWindows.h"

namespace aaxhost {

// Gives the host's new editor frame the display density asked for, the way this platform can:
// the stand-in's display sets it per window; a real Windows display has the density the user
// chose for it, and a frame that cannot have the one asked for throws std::runtime_error saying
// what the display has. UI thread.
void PrepareEditorFrame(HWND frame, UINT dpi);

// The density a new frame gets when none is asked for: the display's own (96 on the stand-in's).
UINT DisplayDpi();

} // namespace aaxhost
