#pragma once

// Internal to the stand-in: the US and US-International keyboard layouts — scan codes, the
// characters of each key, dead keys and their compositions.

#include "Win32Types.h"

namespace win32compat {

// The characters the key gives with the keyboard state (see ToUnicode): returns 0, 1 or 2 and
// fills out, or -1 for a dead key (out[0] its spacing form). deadKey is the thread's pending
// dead key; it is updated unless keepState is set.
int TranslateKey(UINT virtualKey, const BYTE* keyState, wchar_t out[2], wchar_t& deadKey, bool keepState);

// Set 1 scan code of the key (0 when it has none) and whether it is an extended (E0) key.
UINT ScanCodeOf(UINT virtualKey);
bool IsExtendedKey(UINT virtualKey);
UINT VirtualKeyOfScanCode(UINT scanCode, bool extended, bool distinguishSides);
// The unshifted character of the key (upper case for letters), with the top bit for dead keys.
UINT CharacterOfKey(UINT virtualKey);

// The key (and whether Shift is needed) that types the character on the current layout.
bool KeyForCharacter(wchar_t c, UINT& virtualKey, bool& shift);

} // namespace win32compat
