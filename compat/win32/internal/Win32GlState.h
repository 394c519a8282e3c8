#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: what other parts need from WGL.

#include "Win32Types.h"

namespace win32compat {

// Frees the window's back buffer when the window is gone.
void ReleaseWindowSurface(HWND hwnd);
// opengl32.dll's exports: the wgl functions and the OpenGL 1.1 entry points; NULL otherwise.
FARPROC OpenGl32Export(const char* name);

} // namespace win32compat
