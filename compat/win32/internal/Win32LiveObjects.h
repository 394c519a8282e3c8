#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: how many objects each part holds right now, for display::LiveObjects.

#include <cstddef>

namespace win32compat {

size_t LiveWindows();       // Win32Window.cpp, without the desktop
size_t LiveGdiObjects();    // Win32Gdi.cpp, without stock objects and the screen DC
size_t LiveGlContexts();    // Win32Gl.cpp
size_t LiveGlSurfaces();    // Win32Gl.cpp
size_t LiveFrames();        // Win32Display.cpp
size_t LiveMenus();         // Win32Menu.cpp
size_t LiveGlobalBlocks();  // Win32Memory.cpp
size_t LiveKernelHandles(); // Win32Kernel.cpp
size_t LiveInputHandles();  // Win32Input.cpp: touch inputs and drops not yet closed
size_t LiveMemoryFonts();   // Win32Font.cpp

} // namespace win32compat
