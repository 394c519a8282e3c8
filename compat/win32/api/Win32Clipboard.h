#pragma once

// The clipboard of our Win32 stand-in, shared by the process (Win32Script.h lets tests put text on
// it as another application would, and read it back). Rules as on Windows: one window (or the
// NULL owner) has it open at a time; EmptyClipboard frees the data and makes the opener the
// owner; SetClipboardData needs an owner (a clipboard opened with NULL cannot take data) and
// takes over the global memory block; CF_TEXT and CF_UNICODETEXT are converted into each other on
// request.

#include "Win32Types.h"

#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_OEMTEXT 7
#define CF_UNICODETEXT 13
#define CF_HDROP 15

// FALSE when another window has it open.
BOOL OpenClipboard(HWND newOwner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// NULL (and nothing placed) when the clipboard is not open by the caller (ERROR_CLIPBOARD_NOT_OPEN),
// when it has no owner, or for delayed rendering (a NULL block).
HANDLE SetClipboardData(UINT format, HANDLE memory);
// A block that stays the clipboard's; NULL when the clipboard is not open or lacks the format.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();
