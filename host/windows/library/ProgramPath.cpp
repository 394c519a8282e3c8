#include "ModuleLocation.h"

#include <vector>

#include "PlatformWindows.h"

namespace aaxhost {

std::filesystem::path ProgramPath()
{
  // The buffer grows until the whole path fits: long paths exceed MAX_PATH.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;)
  {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return {};
    if (length < buffer.size())
      return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

} // namespace aaxhost
