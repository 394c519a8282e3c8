#pragma once

// Character set conversion of our Win32 stand-in. The stand-in's ANSI code page is UTF-8 (as on
// Windows with the UTF-8 code page enabled), so CP_ACP, CP_THREAD_ACP and CP_UTF8 convert the
// same way. Wide characters here are 32 bits wide: a wide text holds code points, not UTF-16
// units, so a character outside the basic plane counts once where Windows counts a pair.

#include "Win32Types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080

// byteCount -1: the text is null-terminated and the terminator is converted too. A destination
// size of 0 asks for the size needed. Invalid input becomes U+FFFD, or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS; a destination too small fails with
// ERROR_INSUFFICIENT_BUFFER. Returns the characters written (or needed), 0 on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int byteCount, LPWSTR wide, int wideCount);

// The reverse; the default-character arguments must be NULL for UTF-8, as on Windows.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR text, int byteCount,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);
