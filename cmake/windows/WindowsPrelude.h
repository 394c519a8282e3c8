#pragma once

// Included first in every translation unit of the Windows build. <GL/gl.h> includes <windows.h> on
// Windows, so without this a file saw the Win32 A/W macros (LoadBitmap -> LoadBitmapA) or not
// depending on its includes, and a virtual function could end up with two names. With <windows.h>
// read first everywhere, the macros that collide with the framework's own member names are undone
// once, for all files alike.
#include "PlatformWindows.h"

#undef LoadBitmap
