#include "ResourceLocation.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "PlatformWindows.h"

namespace iplug::igraphics {

namespace {

std::string Lower(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return s;
}

std::string Upper(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
  return s;
}

struct Search
{
  std::string wanted; // lower case
  std::string found;  // lower case, quoted
};

BOOL CALLBACK MatchResourceName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
  (void) module;
  (void) type;
  // Resources with a numeric identifier have no name to compare.
  if (IS_INTRESOURCE(name))
    return TRUE;
  auto* search = reinterpret_cast<Search*>(param);
  std::string stored = name;
  // The resource compiler keeps the quotes around a quoted name.
  if (stored.size() < 2)
    return TRUE;
  stored = Lower(stored.substr(1, stored.size() - 2));
  if (stored != search->wanted)
    return TRUE;
  search->found = "\"" + stored + "\"";
  return FALSE;
}

} // namespace

EResourceLocation LocateResource(const char* name, const char* type, std::string& result, const char* bundleID,
                                 void* pHInstance, const char* sharedResourcesSubPath)
{
  (void) bundleID;
  (void) sharedResourcesSubPath;
  if (!name || !*name)
    return kNotFound;

  if (type && *type)
  {
    Search search;
    search.wanted = Lower(name);
    const std::string resourceType = Upper(type);
    EnumResourceNamesA(static_cast<HMODULE>(pHInstance), resourceType.c_str(), MatchResourceName,
                       reinterpret_cast<LONG_PTR>(&search));
    if (!search.found.empty())
    {
      result = search.found;
      return kWinBinary;
    }
  }

  std::error_code ec;
  if (std::filesystem::is_regular_file(std::filesystem::path(name), ec))
  {
    result = name;
    return kAbsolutePath;
  }
  return kNotFound;
}

const void* LoadModuleResource(const char* name, const char* type, int& sizeInBytes, void* pHInstance)
{
  if (!name || !type)
    return nullptr;
  const HMODULE module = static_cast<HMODULE>(pHInstance);
  const std::string resourceType = Upper(type);
  HRSRC resource = FindResourceA(module, name, resourceType.c_str());
  if (!resource)
    return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded)
    return nullptr;
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(module, resource);
  // Shorter than any picture or font header: not a resource worth decoding.
  if (!data || size < 8 || size > static_cast<DWORD>(std::numeric_limits<int>::max()))
    return nullptr;
  sizeInBytes = static_cast<int>(size);
  return data;
}

} // namespace iplug::igraphics
