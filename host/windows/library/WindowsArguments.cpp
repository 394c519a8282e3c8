#include "WindowsArguments.h"

#include "PlatformWindows.h"

namespace aaxhost {

std::wstring Quoted(const std::wstring& argument)
{
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument)
  {
    if (c == L'\\')
    {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    out += c;
    backslashes = 0;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

std::wstring Widened(const std::string& text)
{
  if (text.empty())
    return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
  return out;
}

std::string LastErrorText(const char* what)
{
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

} // namespace aaxhost
