#pragma once

// Windows of our Win32 stand-in: classes, creation and destruction, window procedures and
// subclassing, relations, geometry and visibility.
//
// Windows are in-memory objects with real window procedures, run on the thread that created the
// window. The display is headless and draws no frames: a window's non-client area is empty, so
// its client rectangle is its window rectangle, and AdjustWindowRect changes nothing. Top-level
// windows are placed in screen coordinates on one desktop; child windows in their parent's client
// coordinates. Activation is not modelled: no window becomes active or takes the focus unless
// SetFocus is called.
//
// Creation sends, in order: WM_NCCREATE and WM_CREATE (with the CREATESTRUCT), WM_SIZE and
// WM_MOVE, WM_PARENTNOTIFY to the parent of a child (unless WS_EX_NOPARENTNOTIFY), and with
// WS_VISIBLE WM_SHOWWINDOW, after which the whole client area is invalid. WM_NCCREATE answered 0
// or WM_CREATE answered -1 destroys the window again and CreateWindowEx returns NULL.
// DestroyWindow destroys the windows the window owns, takes the focus (WM_KILLFOCUS) and the
// mouse capture (WM_CAPTURECHANGED) away from it and its descendants, then sends WM_DESTROY to
// the window and then to each child (parents first) and WM_NCDESTROY to each child and then to
// the window (children first); its timers end and messages still posted to it are dropped.
// A thread that ends destroys its remaining windows without sending messages.

#include "Win32Types.h"
#include "Win32Messages.h"

typedef LRESULT(CALLBACK* WNDPROC)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND hwnd, LPARAM lParam);

// --- Styles -----------------------------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000
#define WS_POPUP 0x80000000
#define WS_CHILD 0x40000000
#define WS_MINIMIZE 0x20000000
#define WS_VISIBLE 0x10000000
#define WS_DISABLED 0x08000000
#define WS_CLIPSIBLINGS 0x04000000
#define WS_CLIPCHILDREN 0x02000000
#define WS_MAXIMIZE 0x01000000
#define WS_CAPTION 0x00C00000
#define WS_BORDER 0x00800000
#define WS_DLGFRAME 0x00400000
#define WS_VSCROLL 0x00200000
#define WS_HSCROLL 0x00100000
#define WS_SYSMENU 0x00080000
#define WS_THICKFRAME 0x00040000
#define WS_GROUP 0x00020000
#define WS_TABSTOP 0x00010000
#define WS_MINIMIZEBOX 0x00020000
#define WS_MAXIMIZEBOX 0x00010000
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

#define WS_EX_DLGMODALFRAME 0x00000001
#define WS_EX_NOPARENTNOTIFY 0x00000004
#define WS_EX_TOPMOST 0x00000008
#define WS_EX_ACCEPTFILES 0x00000010
#define WS_EX_TRANSPARENT 0x00000020
#define WS_EX_MDICHILD 0x00000040
#define WS_EX_TOOLWINDOW 0x00000080
#define WS_EX_WINDOWEDGE 0x00000100
#define WS_EX_CLIENTEDGE 0x00000200
#define WS_EX_CONTROLPARENT 0x00010000
#define WS_EX_APPWINDOW 0x00040000
#define WS_EX_LAYERED 0x00080000
#define WS_EX_NOACTIVATE 0x08000000

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_GLOBALCLASS 0x4000

// --- Classes ----------------------------------------------------------------------------------
typedef struct tagWNDCLASSA
{
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, *PWNDCLASSA, *LPWNDCLASSA;

typedef struct tagWNDCLASSW
{
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
} WNDCLASSW, *PWNDCLASSW, *LPWNDCLASSW;

typedef struct tagWNDCLASSEXA
{
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXA, *PWNDCLASSEXA, *LPWNDCLASSEXA;

typedef struct tagWNDCLASSEXW
{
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXW, *PWNDCLASSEXW, *LPWNDCLASSEXW;

// Classes belong to a module instance (a NULL instance means the process's own module); a class
// with CS_GLOBALCLASS, and the system classes ("EDIT", "#32770", and after InitCommonControlsEx
// the tooltip class), are found from any instance. A name already registered for the instance
// fails with ERROR_CLASS_ALREADY_EXISTS. Returns the class atom (0xC000 and up), or 0.
ATOM RegisterClassA(const WNDCLASSA* wndClass);
ATOM RegisterClassW(const WNDCLASSW* wndClass);

// The name is a text or an atom (MAKEINTATOM). FALSE with ERROR_CLASS_DOES_NOT_EXIST, or with
// ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);

BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSW wndClass);

// Copies the window's class name (cut to the buffer); returns the characters copied.
int GetClassNameW(HWND hwnd, LPWSTR name, int maxCount);

#define GCLP_MENUNAME (-8)
#define GCLP_HBRBACKGROUND (-10)
#define GCLP_HCURSOR (-12)
#define GCLP_HICON (-14)
#define GCLP_HMODULE (-16)
#define GCL_CBWNDEXTRA (-18)
#define GCL_CBCLSEXTRA (-20)
#define GCLP_WNDPROC (-24)
#define GCL_STYLE (-26)
#define GCW_ATOM (-32)

// --- Creation and destruction -----------------------------------------------------------------
typedef struct tagCREATESTRUCTA
{
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagCREATESTRUCTW
{
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTW, *LPCREATESTRUCTW;

#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define CW_USEDEFAULT ((int)0x80000000)
#define HWND_DESKTOP ((HWND)0)
#define HWND_MESSAGE ((HWND)-3)

// A child (WS_CHILD) needs a parent (else ERROR_TLW_WITH_WSCHILD) and takes hMenu as its
// control identifier; any other window takes the parent as its owner. CW_USEDEFAULT places a
// window at (0, 0) and gives an overlapped window 800 x 600, any other window a size of 0.
// A new window inherits its parent's DPI (Win32Display.h) and is put on top of its siblings.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
#define CreateWindowA(className, windowName, style, x, y, width, height, parent, menu, instance, param) \
  CreateWindowExA(0L, className, windowName, style, x, y, width, height, parent, menu, instance, param)
#define CreateWindowW(className, windowName, style, x, y, width, height, parent, menu, instance, param) \
  CreateWindowExW(0L, className, windowName, style, x, y, width, height, parent, menu, instance, param)

// Only the thread that created the window may destroy it (else ERROR_ACCESS_DENIED).
BOOL DestroyWindow(HWND hwnd);

BOOL IsWindow(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId);

// --- Window procedures ------------------------------------------------------------------------
// The default handling: WM_NCCREATE takes the title; WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH
// work on the title; WM_CLOSE destroys the window; WM_PAINT validates through BeginPaint and
// EndPaint; WM_ERASEBKGND answers 1 when the class has a background brush; WM_SETCURSOR asks the
// parent first and otherwise sets the class cursor in the client area; WM_WINDOWPOSCHANGED sends
// WM_MOVE and WM_SIZE; WM_MOUSEWHEEL goes on to the parent of a child; WM_TOUCH closes the touch
// input handle; WM_NCHITTEST answers HTCLIENT; WM_CTLCOLOREDIT answers the white brush;
// everything else answers 0.
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Calls a procedure obtained from GetWindowLongPtr(GWLP_WNDPROC), converting text-bearing messages
// when the procedure was installed in the other (A or W) form.
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)

// Indices: the GWLP_ and GWL_ values above, or a byte offset into the class's cbWndExtra bytes.
// An index out of range fails with ERROR_INVALID_INDEX. Setting GWLP_WNDPROC subclasses the
// window: the form of the call (A or W) becomes the form in which the procedure gets its
// messages, and the old procedure is returned for CallWindowProc. GWLP_HWNDPARENT sets the owner
// of a top-level window. Changing GWL_STYLE or GWL_EXSTYLE sends WM_STYLECHANGING and
// WM_STYLECHANGED (wParam GWL_STYLE or GWL_EXSTYLE, lParam a STYLESTRUCT).
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR newLong);
typedef struct tagSTYLESTRUCT
{
  DWORD styleOld;
  DWORD styleNew;
} STYLESTRUCT, *LPSTYLESTRUCT;

// The 32-bit forms, for styles and 32-bit extra bytes; GWLP_WNDPROC, GWLP_HINSTANCE,
// GWLP_HWNDPARENT and GWLP_USERDATA need the pointer-sized forms (ERROR_INVALID_INDEX).
LONG GetWindowLongW(HWND hwnd, int index);

// --- Text ------------------------------------------------------------------------------------
// Through WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH, so that controls answer with their own
// text.
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount);

// --- Relations -------------------------------------------------------------------------------
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

// The parent of a child window, the owner of any other window (NULL when it has none).
HWND GetParent(HWND hwnd);
// GA_PARENT: the parent, or the desktop window for a top-level window; GA_ROOT: the top-level
// window reached through parents; GA_ROOTOWNER: GA_ROOT followed through owners.
HWND GetAncestor(HWND hwnd, UINT flags);
// Moves the window under a new parent (NULL: the desktop), keeping its position relative to the
// new parent's client area and its styles, as Windows does. Returns the previous parent.
HWND GetWindow(HWND hwnd, UINT command);
// Top-level windows (in z-order) and the descendants of a window (depth first).
BOOL EnumWindows(WNDENUMPROC enumFunc, LPARAM lParam);
// Class and title compared without regard to case; NULL matches anything.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
int GetDlgCtrlID(HWND hwnd);

// --- Geometry --------------------------------------------------------------------------------
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOSENDCHANGING 0x0400
#define SWP_DEFERERASE 0x2000
#define SWP_ASYNCWINDOWPOS 0x4000

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

typedef struct tagWINDOWPOS
{
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
} WINDOWPOS, *LPWINDOWPOS, *PWINDOWPOS;

// Screen coordinates.
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
// (0, 0, width, height).
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
// Returns the offset added, packed as (dx, dy) in the low and high words.
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);

// Position in the parent's client coordinates (screen coordinates for a top-level window).
// Sends WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED (whose default handling sends WM_MOVE and
// WM_SIZE) when anything changes; a grown window gets its new area invalidated, the whole
// window with CS_HREDRAW or CS_VREDRAW. Negative sizes count as 0. A window of another thread is
// changed by that thread, the call waiting for it as SendMessage does.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// --- Visibility and state --------------------------------------------------------------------
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// Shows or hides the window (minimising and maximising only show it); sends WM_SHOWWINDOW when
// the visibility changes. Returns whether it was visible before.
BOOL ShowWindow(HWND hwnd, int command);
// Visible when the window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND hwnd);
// Sends WM_ENABLE when the state changes; returns whether it was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

#ifdef UNICODE
typedef WNDCLASSW WNDCLASS;
typedef WNDCLASSEXW WNDCLASSEX;
typedef CREATESTRUCTW CREATESTRUCT;
typedef LPCREATESTRUCTW LPCREATESTRUCT;
#define RegisterClass RegisterClassW
#define UnregisterClass UnregisterClassW
#define GetClassInfo GetClassInfoW
#define GetClassName GetClassNameW
#define CreateWindowEx CreateWindowExW
#define CreateWindow CreateWindowW
#define DefWindowProc DefWindowProcW
#define CallWindowProc CallWindowProcW
#define GetWindowLongPtr GetWindowLongPtrW
#define SetWindowLongPtr SetWindowLongPtrW
#define GetWindowLong GetWindowLongW
#define SetWindowText SetWindowTextW
#define GetWindowText GetWindowTextW
#define FindWindow FindWindowW
#else
typedef WNDCLASSA WNDCLASS;
typedef WNDCLASSEXA WNDCLASSEX;
typedef CREATESTRUCTA CREATESTRUCT;
typedef LPCREATESTRUCTA LPCREATESTRUCT;
#define RegisterClass RegisterClassA
#define CreateWindowEx CreateWindowExA
#define CreateWindow CreateWindowA
#define DefWindowProc DefWindowProcA
#define GetWindowLongPtr GetWindowLongPtrA
#endif
