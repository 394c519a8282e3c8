#pragma once

// Update regions and painting of our Win32 stand-in.
//
// Each window keeps an update region in client coordinates. A visible window whose update region
// is not empty makes its thread's queue produce WM_PAINT for it once posted messages and input are
// exhausted (before timers), until the region is validated — by BeginPaint, ValidateRect or
// ValidateRgn. Invalidating a hidden window does nothing; showing a window invalidates all of it.
// Without WS_CLIPCHILDREN, invalidating a window also invalidates the visible children under the
// rectangle.

#include "Win32Gdi.h"
#include "Win32Types.h"

typedef struct tagPAINTSTRUCT
{
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

// rect NULL: the whole client area. erase marks the area for WM_ERASEBKGND at the next BeginPaint.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);

// The bounding box of the update region (all zeros when empty); TRUE when it is not empty.
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Copies the update region into the region; returns its kind (NULLREGION, SIMPLEREGION,
// COMPLEXREGION) or ERROR.
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);

// Fills the PAINTSTRUCT with the window's DC and the bounding box of the update region, sends
// WM_ERASEBKGND when the region was marked for erasing (fErase tells whether it is still to be
// done), and validates the whole update region. Only the window's own thread may paint it.
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// Sends WM_PAINT to the window at once when its update region is not empty.
BOOL UpdateWindow(HWND hwnd);

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800
