#pragma once

// The one place that chooses the Win32 API: the real one on Windows, our stand-in elsewhere.
// Win32-facing sources include this header and nothing else of the platform.

#if defined(_WIN32)
  #ifndef NOMINMAX
    #define NOMINMAX
  #endif
  #include <windows.h>
#else
  #include "win32/Win32.h"
#endif
