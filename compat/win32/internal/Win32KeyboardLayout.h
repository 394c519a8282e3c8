#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the US keyboard layout — scan codes and the characters of each key.

#include "Win32Types.h"

namespace win32compat {

// The character the key gives with the keyboard state (see ToUnicode), 0 for none.
wchar_t TranslateKey(UINT virtualKey, const BYTE* keyState);

// Set 1 scan code of the key (0 when it has none) and whether it is an extended (E0) key.
UINT ScanCodeOf(UINT virtualKey);
bool IsExtendedKey(UINT virtualKey);

// The key (and whether Shift is needed) that types the character.
bool KeyForCharacter(wchar_t c, UINT& virtualKey, bool& shift);

} // namespace win32compat
