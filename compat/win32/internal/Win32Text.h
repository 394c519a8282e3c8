#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: conversions between the A (UTF-8) and W (wide) texts of the API, and
// bounded copies into caller buffers.

#include "Win32Types.h"

#include <string>
#include <string_view>

namespace win32compat {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// NULL gives the empty text.
inline std::wstring WidenZ(LPCSTR text) { return text ? Widen(text) : std::wstring(); }

// Copies at most capacity - 1 characters and a terminator; returns the characters copied
// (0 for a capacity below 1). The A form never cuts a UTF-8 sequence in two.
int CopyOut(const std::wstring& text, LPWSTR buffer, int capacity);
int CopyOut(const std::string& text, LPSTR buffer, int capacity);

// Case-insensitive comparison of names (classes, modules, messages): ASCII letters only, as the
// names involved are.
bool SameName(std::wstring_view a, std::wstring_view b);

// A class or resource name that is either a text or a small integer atom.
struct NameOrAtom
{
  std::wstring name;
  WORD atom = 0;
};
NameOrAtom NameFrom(LPCSTR text);
NameOrAtom NameFrom(LPCWSTR text);

} // namespace win32compat
