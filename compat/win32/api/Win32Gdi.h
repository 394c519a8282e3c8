#pragma once

// The gdi32 subset of our Win32 stand-in that is not about fonts or OpenGL: device contexts, the
// GDI object handles (brushes, regions, stock objects) and regions.
//
// Nothing is drawn: the display is headless and what a window shows is what OpenGL presents into
// it (Win32Gl.h). Device contexts keep the state that code sets on them (colours, background
// mode, the DC brush colour, selected objects) so that it can be read back.

#include "Win32Types.h"

#define RGB(r, g, b) ((COLORREF)((DWORD)(BYTE)(r) | ((DWORD)(BYTE)(g) << 8) | ((DWORD)(BYTE)(b) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR (0xFFFFFFFFL)
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)

// --- Objects ---------------------------------------------------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

typedef struct tagLOGBRUSH
{
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

// Stock objects are shared and never deleted (DeleteObject on one succeeds and does nothing).
HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF color);
// Fails for an object selected into a device context, as on Windows.
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);
// Fonts give their LOGFONT (Win32Font.h), brushes their LOGBRUSH; a NULL buffer asks for the size.
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

// --- Device contexts -------------------------------------------------------------------------
// Every window has one device context of its own (as with CS_OWNDC), which GetDC returns each
// time; GetDC(NULL) gives the screen's. ReleaseDC answers 1 for a DC of that window.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
// A memory DC (hdc ignored); DeleteDC frees it.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

// Returns the object of the same kind that was selected before; regions are not selectable here
// (HGDI_ERROR).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

#define TRANSPARENT 1
#define OPAQUE 2

COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);

#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// --- Regions ---------------------------------------------------------------------------------
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR

#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

#define RDH_RECTANGLES 1

typedef struct _RGNDATAHEADER
{
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
} RGNDATAHEADER, *PRGNDATAHEADER;

typedef struct _RGNDATA
{
  RGNDATAHEADER rdh;
  char Buffer[1];
} RGNDATA, *PRGNDATA, *LPRGNDATA;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
// dest = src1 op src2 (RGN_COPY: src1); dest may be one of the sources. Returns the kind of the
// result, or ERROR.
int GetRgnBox(HRGN region, LPRECT rect);
// The region's rectangles in y-x banded order after an RGNDATAHEADER. A NULL buffer asks for the
// size; a buffer too small gives 0; otherwise the size given is returned.
DWORD GetRegionData(HRGN region, DWORD count, LPRGNDATA data);

#ifdef UNICODE
#define GetObject GetObjectW
#endif
