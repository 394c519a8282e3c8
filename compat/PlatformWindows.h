#pragma once

// The one place that chooses the Win32 API: the real one on Windows, our stand-in elsewhere.
// Win32-facing sources include this header and nothing else of the platform. Besides <windows.h>
// it brings the shell, common-dialog, common-control, shell-path, Internet, version-helper and
// OpenGL-on-Windows declarations that the window layer uses, and the layouts of the display
// clock's kernel-mode calls (D3DKMT.h), which no SDK header provides.

#if defined(_WIN32)
  #ifndef NOMINMAX
    #define NOMINMAX
  #endif
  #include <windows.h>
  #include <windowsx.h>
  #include <commctrl.h>
  #include <commdlg.h>
  #include <shellapi.h>
  #include <shlobj.h>
  #include <shlwapi.h>
  #include <wininet.h>
  #include <versionhelpers.h>
#else
  #include "win32/api/Win32.h"
#endif

#include "D3DKMT.h"
