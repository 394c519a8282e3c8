#pragma once

// The controls of our Win32 stand-in: the EDIT control (user32) and the tooltip control
// (comctl32), with the common-control initialisation.
//
// EDIT keeps its text, selection, limit, font and formatting rectangle, and handles typing as the
// real one does: WM_CHAR inserts at the selection (replacing it), Backspace deletes before the
// caret, Return inserts a line break only with ES_MULTILINE (and is otherwise ignored), ES_NUMBER
// takes digits only, ES_UPPERCASE and ES_LOWERCASE convert, ES_READONLY refuses; WM_KEYDOWN moves
// the caret (Left, Right, Home, End, with Shift extending the selection) and deletes (Delete).
// Changes notify the parent with WM_COMMAND (EN_CHANGE, EN_MAXTEXT when the limit refuses
// characters, EN_SETFOCUS and EN_KILLFOCUS). Painting asks the parent for WM_CTLCOLOREDIT and keeps
// the colours and brush it gets (nothing is drawn). WM_GETDLGCODE answers DLGC_WANTCHARS |
// DLGC_HASSETSEL | DLGC_WANTARROWS, and DLGC_WANTALLKEYS as well with ES_MULTILINE.
//
// The tooltip control keeps its tools and their texts; it shows nothing, and TTF_SUBCLASS does not
// subclass the tool window here.

#include "Win32Types.h"
#include "Win32Messages.h"

// --- EDIT -------------------------------------------------------------------------------------
#define ES_LEFT 0x0000
#define ES_CENTER 0x0001
#define ES_RIGHT 0x0002
#define ES_MULTILINE 0x0004
#define ES_UPPERCASE 0x0008
#define ES_LOWERCASE 0x0010
#define ES_PASSWORD 0x0020
#define ES_AUTOVSCROLL 0x0040
#define ES_AUTOHSCROLL 0x0080
#define ES_NOHIDESEL 0x0100
#define ES_READONLY 0x0800
#define ES_WANTRETURN 0x1000
#define ES_NUMBER 0x2000

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_GETRECT 0x00B2
#define EM_SETRECT 0x00B3
#define EM_SETRECTNP 0x00B4
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_CANUNDO 0x00C6
#define EM_UNDO 0x00C7
#define EM_SETREADONLY 0x00CF
#define EM_GETLIMITTEXT 0x00D5

#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501

// --- Common controls --------------------------------------------------------------------------
#define ICC_LISTVIEW_CLASSES 0x1
#define ICC_TREEVIEW_CLASSES 0x2
#define ICC_BAR_CLASSES 0x4
#define ICC_TAB_CLASSES 0x8
#define ICC_UPDOWN_CLASS 0x10
#define ICC_PROGRESS_CLASS 0x20
#define ICC_HOTKEY_CLASS 0x40
#define ICC_ANIMATE_CLASS 0x80
#define ICC_WIN95_CLASSES 0xff
#define ICC_STANDARD_CLASSES 0x4000

typedef struct tagINITCOMMONCONTROLSEX
{
  DWORD dwSize;
  DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

// Registers the tooltip class when the flags ask for tab, bar, list-view or tree-view classes
// (which carry tooltips), as comctl32 does. FALSE for a wrong size.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// --- Tooltips ---------------------------------------------------------------------------------
#define TOOLTIPS_CLASSW L"tooltips_class32"
#define TOOLTIPS_CLASSA "tooltips_class32"

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTS_NOANIMATE 0x10
#define TTS_NOFADE 0x20
#define TTS_BALLOON 0x40

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_SUBCLASS 0x0010
#define TTF_TRACK 0x0020
#define TTF_ABSOLUTE 0x0080
#define TTF_TRANSPARENT 0x0100

#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_SETDELAYTIME (WM_USER + 3)
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_ADDTOOLW (WM_USER + 50)
#define TTM_DELTOOLA (WM_USER + 5)
#define TTM_DELTOOLW (WM_USER + 51)
#define TTM_NEWTOOLRECTA (WM_USER + 6)
#define TTM_NEWTOOLRECTW (WM_USER + 52)
#define TTM_GETTOOLINFOA (WM_USER + 8)
#define TTM_GETTOOLINFOW (WM_USER + 53)
#define TTM_SETTOOLINFOA (WM_USER + 9)
#define TTM_SETTOOLINFOW (WM_USER + 54)
#define TTM_GETTEXTA (WM_USER + 11)
#define TTM_GETTEXTW (WM_USER + 56)
#define TTM_UPDATETIPTEXTA (WM_USER + 12)
#define TTM_UPDATETIPTEXTW (WM_USER + 57)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_TRACKACTIVATE (WM_USER + 17)
#define TTM_TRACKPOSITION (WM_USER + 18)
#define TTM_GETDELAYTIME (WM_USER + 21)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)
#define TTM_GETMAXTIPWIDTH (WM_USER + 25)
#define TTM_POP (WM_USER + 28)
#define TTM_POPUP (WM_USER + 34)

#define LPSTR_TEXTCALLBACKW ((LPWSTR)(INT_PTR)-1)
#define LPSTR_TEXTCALLBACKA ((LPSTR)(INT_PTR)-1)

typedef struct tagTOOLINFOA
{
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
  void* lpReserved;
} TTTOOLINFOA, *PTOOLINFOA, *LPTTTOOLINFOA;

typedef struct tagTOOLINFOW
{
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPWSTR lpszText;
  LPARAM lParam;
  void* lpReserved;
} TTTOOLINFOW, *PTOOLINFOW, *LPTTTOOLINFOW;

typedef TTTOOLINFOA TOOLINFOA;
typedef TTTOOLINFOW TOOLINFOW;
typedef LPTTTOOLINFOA LPTOOLINFOA;
typedef LPTTTOOLINFOW LPTOOLINFOW;

// Accepted structure sizes: from the first version (up to lpszText) to the whole structure.
#define TTTOOLINFOA_V1_SIZE ((UINT)(size_t)&((TTTOOLINFOA*)0)->lParam)
#define TTTOOLINFOW_V1_SIZE ((UINT)(size_t)&((TTTOOLINFOW*)0)->lParam)

#ifdef UNICODE
#define TOOLTIPS_CLASS TOOLTIPS_CLASSW
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKW
typedef TTTOOLINFOW TTTOOLINFO;
typedef TOOLINFOW TOOLINFO;
typedef LPTOOLINFOW LPTOOLINFO;
#define TTM_ADDTOOL TTM_ADDTOOLW
#define TTM_DELTOOL TTM_DELTOOLW
#define TTM_NEWTOOLRECT TTM_NEWTOOLRECTW
#define TTM_GETTOOLINFO TTM_GETTOOLINFOW
#define TTM_SETTOOLINFO TTM_SETTOOLINFOW
#define TTM_GETTEXT TTM_GETTEXTW
#define TTM_UPDATETIPTEXT TTM_UPDATETIPTEXTW
#else
#define TOOLTIPS_CLASS TOOLTIPS_CLASSA
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKA
typedef TTTOOLINFOA TTTOOLINFO;
typedef TOOLINFOA TOOLINFO;
typedef LPTOOLINFOA LPTOOLINFO;
#define TTM_ADDTOOL TTM_ADDTOOLA
#define TTM_DELTOOL TTM_DELTOOLA
#define TTM_NEWTOOLRECT TTM_NEWTOOLRECTA
#define TTM_GETTOOLINFO TTM_GETTOOLINFOA
#define TTM_SETTOOLINFO TTM_SETTOOLINFOA
#define TTM_GETTEXT TTM_GETTEXTA
#define TTM_UPDATETIPTEXT TTM_UPDATETIPTEXTA
#endif
