#pragma once

// UTF-8 ↔ wide text for the Win32 calls of the platform layer. The editor speaks UTF-8; the
// system's wide calls speak UTF-16 (on the stand-in, whole code points). Bad bytes become U+FFFD
// rather than failing, so a stray byte in a name never loses the whole text.

#include <string>

#include "PlatformWindows.h"

namespace iplug::igraphics {

// The text as wide characters; at most maxChars of them when maxChars ≥ 0 (a cut never splits a
// surrogate pair).
inline std::wstring UTF8ToWide(const char* text, int maxChars = -1)
{
  if (!text || !*text)
    return std::wstring();
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (needed <= 1)
    return std::wstring();
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), needed);
  wide.resize(static_cast<size_t>(needed - 1));
  if (maxChars >= 0 && wide.size() > static_cast<size_t>(maxChars))
  {
    size_t cut = static_cast<size_t>(maxChars);
    // A high surrogate left alone at the end would be half a character.
    if (sizeof(WCHAR) == 2 && cut > 0 && wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF)
      --cut;
    wide.resize(cut);
  }
  return wide;
}

// The first `count` wide characters (count < 0: up to the terminator) as UTF-8.
inline std::string WideToUTF8(const WCHAR* wide, int count = -1)
{
  if (!wide || count == 0 || (count < 0 && !*wide))
    return std::string();
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0)
    return std::string();
  std::string text(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, count, text.data(), needed, nullptr, nullptr);
  // With count < 0 the terminator was converted too.
  while (!text.empty() && text.back() == '\0')
    text.pop_back();
  return text;
}

inline std::string WideToUTF8(const std::wstring& wide) { return WideToUTF8(wide.c_str(), static_cast<int>(wide.size())); }

} // namespace iplug::igraphics
