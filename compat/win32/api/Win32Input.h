#pragma once

// Input of our Win32 stand-in: mouse capture, keyboard focus, the cursor, the keyboard state and
// character translation, mouse tracking, touch input, dropped files, system metrics and the DPI.
//
// Input arrives as a user's would: the test-facing injection calls of Win32Display.h put mouse,
// key and touch messages into the input queue of the thread that owns the target window, in
// Windows' packing. Mouse messages go to the window that has the capture on that thread, else to
// the deepest visible, enabled window under the point; consecutive moves to the same window are
// coalesced as Windows does. Key messages go to the thread's focus window. When the thread
// retrieves an input message, its own view of the keyboard (GetKeyState, GetKeyboardState) is
// updated and GetMessageExtraInfo answers the message's extra information; before a mouse move
// or button message without capture, WM_SETCURSOR is sent to the window. GetAsyncKeyState tells
// the state at injection time.

#include "Win32Types.h"

// --- Capture and focus -------------------------------------------------------------------------
// Per thread, as Windows keeps them per input queue; only a window of the calling thread can take
// them (else ERROR_ACCESS_DENIED). The window that loses the capture gets WM_CAPTURECHANGED
// (lParam: the new capture window or NULL); focus changes send WM_KILLFOCUS (wParam: the new focus)
// to the old window and then WM_SETFOCUS (wParam: the old focus) to the new one.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();

// --- Cursor ------------------------------------------------------------------------------------
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZE MAKEINTRESOURCE(32640)
#define IDC_ICON MAKEINTRESOURCE(32641)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)
#define IDC_PIN MAKEINTRESOURCE(32671)
#define IDC_PERSON MAKEINTRESOURCE(32672)

// The system cursors only (instance NULL and an IDC_ identifier); anything else is NULL with
// ERROR_RESOURCE_NAME_NOT_FOUND. The same identifier gives the same handle every time.
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Returns the previous cursor. The cursor is process-wide here (one mouse, one screen).
HCURSOR SetCursor(HCURSOR cursor);
// The display counter: the cursor shows while it is 0 or more. Returns the new count.
int ShowCursor(BOOL show);
// Screen coordinates, kept within the screen. Moving the cursor sends the window under it (or the
// window with the capture) a WM_MOUSEMOVE, as a real move of the mouse does.
BOOL SetCursorPos(int x, int y);
BOOL GetCursorPos(LPPOINT point);

// --- Keyboard ----------------------------------------------------------------------------------
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_XBUTTON1 0x05
#define VK_XBUTTON2 0x06
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_EXECUTE 0x2B
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2

// High bit: down; low bit: toggled (flips with each press). The calling thread's view as of the
// last input message it retrieved.
SHORT GetKeyState(int virtualKey);
// High bit: down right now (at injection time); the "pressed since the last call" bit is not kept.
BOOL GetKeyboardState(PBYTE keyState);

// Translates a key with the given keyboard state into a character of the US keyboard layout, the
// stand-in's only one (it has no dead keys). Returns 0 (no character) or 1. Ctrl with a letter
// gives the control characters 1..26; Ctrl+Alt (AltGr) gives nothing. A key-up (bit 15 of the
// scan code) gives 0.
int ToUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT flags);

// --- Mouse tracking ----------------------------------------------------------------------------
#define TME_HOVER 0x00000001
#define TME_LEAVE 0x00000002
#define TME_NONCLIENT 0x00000010
#define TME_QUERY 0x40000000
#define TME_CANCEL 0x80000000
#define HOVER_DEFAULT 0xFFFFFFFF

typedef struct tagTRACKMOUSEEVENT
{
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
} TRACKMOUSEEVENT, *LPTRACKMOUSEEVENT;

// One request per thread. TME_LEAVE: WM_MOUSELEAVE is posted when the mouse next goes to another
// window (or at once when it is not over the window now), and ends all tracking. TME_HOVER:
// WM_MOUSEHOVER (wParam the MK_ keys, lParam the client point) once the mouse has stayed within
// 4 pixels for the hover time (HOVER_DEFAULT: 400 ms); it ends hover tracking.
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);

// --- Touch -------------------------------------------------------------------------------------
#define TWF_FINETOUCH 0x00000001
#define TWF_WANTPALM 0x00000002

#define TOUCHEVENTF_MOVE 0x0001
#define TOUCHEVENTF_DOWN 0x0002
#define TOUCHEVENTF_UP 0x0004
#define TOUCHEVENTF_INRANGE 0x0008
#define TOUCHEVENTF_PRIMARY 0x0010
#define TOUCHEVENTF_NOCOALESCE 0x0020
#define TOUCHEVENTF_PEN 0x0040
#define TOUCHEVENTF_PALM 0x0080

#define TOUCHINPUTMASKF_TIMEFROMSYSTEM 0x0001
#define TOUCHINPUTMASKF_EXTRAINFO 0x0002
#define TOUCHINPUTMASKF_CONTACTAREA 0x0004

#define TOUCH_COORD_TO_PIXEL(l) ((l) / 100)

typedef struct tagTOUCHINPUT
{
  LONG x; // screen coordinates in hundredths of a pixel
  LONG y;
  HANDLE hSource;
  DWORD dwID;
  DWORD dwFlags;
  DWORD dwMask;
  DWORD dwTime;
  ULONG_PTR dwExtraInfo;
  DWORD cxContact; // hundredths of a pixel
  DWORD cyContact;
} TOUCHINPUT, *PTOUCHINPUT;
typedef const TOUCHINPUT* PCTOUCHINPUT;

// A window registered for touch gets WM_TOUCH (LOWORD(wParam) contacts, lParam a touch input
// handle); any other window gets the primary contact as left-button mouse messages whose extra
// information carries the touch signature 0xFF515780.
BOOL RegisterTouchWindow(HWND hwnd, ULONG flags);
BOOL IsTouchWindow(HWND hwnd, PULONG flags);
// size must be sizeof(TOUCHINPUT); copies at most count inputs.
BOOL GetTouchInputInfo(HTOUCHINPUT touchInput, UINT count, PTOUCHINPUT inputs, int size);
BOOL CloseTouchInputHandle(HTOUCHINPUT touchInput);

// --- Dropped files (shell32) -------------------------------------------------------------------
// A window that accepts files (WS_EX_ACCEPTFILES, which DragAcceptFiles sets), or the nearest such
// ancestor of the window under the drop point, is posted WM_DROPFILES with an HDROP in wParam.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// index 0xFFFFFFFF: the number of files; a NULL buffer: the length of that file's path; otherwise
// the path is copied (cut to the buffer) and the characters copied returned.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size);
// The drop point in the client coordinates of the window that received the drop.
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
void DragFinish(HDROP drop);

// --- Screen and metrics ------------------------------------------------------------------------
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_MOUSEPRESENT 19
#define SM_SWAPBUTTON 23
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CMOUSEBUTTONS 43
#define SM_CXDRAG 68
#define SM_CYDRAG 69
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79
#define SM_DIGITIZER 94
#define SM_MAXIMUMTOUCHES 95

#define NID_INTEGRATED_TOUCH 0x00000001
#define NID_EXTERNAL_TOUCH 0x00000002
#define NID_INTEGRATED_PEN 0x00000004
#define NID_EXTERNAL_PEN 0x00000008
#define NID_MULTI_INPUT 0x00000040
#define NID_READY 0x00000080

// The screen's size and the digitizer come from the display settings (Win32Display.h); the
// digitizer metric is 0 (no touch screen) unless a test sets it.
int GetSystemMetrics(int index);

// The window's DPI (96 unless Win32Display.h sets another); 0 with ERROR_INVALID_PARAMETER for an
// unknown window. Also found as "GetDpiForWindow" in "user32.dll" through GetProcAddress.
UINT GetDpiForWindow(HWND hwnd);

#ifdef UNICODE
#define LoadCursor LoadCursorW
#define DragQueryFile DragQueryFileW
#endif
