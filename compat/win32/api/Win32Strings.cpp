// UTF-8 <-> wide conversion for the stand-in's A and W calls.

#include "Win32Strings.h"

#include "Win32Kernel.h"
#include "Win32Text.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence starting at text[i]; advances i. Returns false for an invalid one
// (the code point is then the replacement character and i moves past one byte).
bool DecodeOne(const unsigned char* text, size_t size, size_t& i, char32_t& out)
{
  const unsigned char lead = text[i];
  int extra;
  char32_t cp;
  if (lead < 0x80)
  {
    out = lead;
    ++i;
    return true;
  }
  if ((lead & 0xE0) == 0xC0)
  {
    extra = 1;
    cp = lead & 0x1F;
  }
  else if ((lead & 0xF0) == 0xE0)
  {
    extra = 2;
    cp = lead & 0x0F;
  }
  else if ((lead & 0xF8) == 0xF0)
  {
    extra = 3;
    cp = lead & 0x07;
  }
  else
  {
    out = kReplacement;
    ++i;
    return false;
  }
  if (i + static_cast<size_t>(extra) >= size)
  {
    out = kReplacement;
    ++i;
    return false;
  }
  for (int k = 1; k <= extra; ++k)
  {
    const unsigned char c = text[i + static_cast<size_t>(k)];
    if ((c & 0xC0) != 0x80)
    {
      out = kReplacement;
      ++i;
      return false;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
  {
    out = kReplacement;
    ++i;
    return false;
  }
  out = cp;
  i += static_cast<size_t>(extra) + 1;
  return true;
}

void EncodeOne(char32_t cp, std::string& out)
{
  if (cp < 0x80)
    out += static_cast<char>(cp);
  else if (cp < 0x800)
  {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else if (cp < 0x10000)
  {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool ValidCodePage(UINT codePage)
{
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP || codePage == CP_UTF8;
}

bool ValidScalar(char32_t cp)
{
  return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

} // namespace

namespace win32compat {

std::wstring Widen(std::string_view text)
{
  std::wstring out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  size_t i = 0;
  while (i < text.size())
  {
    char32_t cp;
    DecodeOne(bytes, text.size(), i, cp);
    out += static_cast<wchar_t>(cp);
  }
  return out;
}

std::string Narrow(std::wstring_view text)
{
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text)
  {
    const auto cp = static_cast<char32_t>(c);
    EncodeOne(ValidScalar(cp) ? cp : kReplacement, out);
  }
  return out;
}

int CopyOut(const std::wstring& text, LPWSTR buffer, int capacity)
{
  if (!buffer || capacity < 1)
    return 0;
  const int count = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(capacity - 1)));
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return count;
}

int CopyOut(const std::string& text, LPSTR buffer, int capacity)
{
  if (!buffer || capacity < 1)
    return 0;
  size_t count = std::min<size_t>(text.size(), static_cast<size_t>(capacity - 1));
  // Step back over continuation bytes so that a sequence is never cut in two.
  if (count < text.size())
    while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80)
      --count;
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
         });
}

NameOrAtom NameFrom(LPCSTR text)
{
  if (IS_INTRESOURCE(text))
    return {std::wstring(), static_cast<WORD>(reinterpret_cast<ULONG_PTR>(text))};
  return {Widen(text), 0};
}

NameOrAtom NameFrom(LPCWSTR text)
{
  if (IS_INTRESOURCE(text))
    return {std::wstring(), static_cast<WORD>(reinterpret_cast<ULONG_PTR>(text))};
  return {std::wstring(text), 0};
}

} // namespace win32compat

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int byteCount, LPWSTR wide, int wideCount)
{
  if (!ValidCodePage(codePage) || !text || byteCount == 0 || byteCount < -1 || wideCount < 0 ||
      (wideCount > 0 && !wide))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t size = byteCount == -1 ? std::char_traits<char>::length(text) + 1 : static_cast<size_t>(byteCount);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::u32string decoded;
  size_t i = 0;
  while (i < size)
  {
    char32_t cp;
    if (!DecodeOne(bytes, size, i, cp) && (flags & MB_ERR_INVALID_CHARS))
    {
      SetLastError(ERROR_NO_UNICODE_TRANSLATION);
      return 0;
    }
    decoded += cp;
  }
  const int needed = static_cast<int>(decoded.size());
  if (wideCount == 0)
    return needed;
  if (needed > wideCount)
  {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  for (int k = 0; k < needed; ++k)
    wide[k] = static_cast<wchar_t>(decoded[static_cast<size_t>(k)]);
  return needed;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR text, int byteCount,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar)
{
  if (!ValidCodePage(codePage) || !wide || wideCount == 0 || wideCount < -1 || byteCount < 0 ||
      (byteCount > 0 && !text) || defaultChar || usedDefaultChar)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t count = wideCount == -1 ? std::char_traits<wchar_t>::length(wide) + 1 : static_cast<size_t>(wideCount);
  std::string encoded;
  for (size_t i = 0; i < count; ++i)
  {
    const auto cp = static_cast<char32_t>(wide[i]);
    if (!ValidScalar(cp))
    {
      if (flags & WC_ERR_INVALID_CHARS)
      {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      EncodeOne(kReplacement, encoded);
    }
    else
      EncodeOne(cp, encoded);
  }
  const int needed = static_cast<int>(encoded.size());
  if (byteCount == 0)
    return needed;
  if (needed > byteCount)
  {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(encoded.begin(), encoded.end(), text);
  return needed;
}
