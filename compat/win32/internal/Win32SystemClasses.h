#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the window classes that the stand-in itself provides, with their
// procedures (W form).

#include "Win32Window.h"

namespace win32compat {

// "EDIT": the edit control (Win32Edit.cpp).
LRESULT CALLBACK EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "#32770": the windows that stand for the common dialogs while they are open (Win32Dialogs.cpp).
LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "tooltips_class32", registered by InitCommonControlsEx (Win32Tooltip.cpp).
LRESULT CALLBACK TooltipWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace win32compat
