// Where the editor's pictures and font come from on X11: files in the resource folder that the
// module names (an LV2 bundle keeps them beside its shared objects), found without regard to
// the case of their names, else a path given whole. There are no module resources on this
// platform.

#include "ResourceLocation.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace iplug::igraphics {

namespace {

std::string Lower(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return s;
}

} // namespace

EResourceLocation LocateResource(const char* name, const char* type, std::string& result, const char* bundleID,
                                 void* pHInstance, const char* sharedResourcesSubPath)
{
  (void) type;
  (void) bundleID;
  (void) sharedResourcesSubPath;
  if (!name || !*name)
    return kNotFound;

  namespace fs = std::filesystem;
  std::error_code ec;
  const auto* folder = static_cast<const char*>(pHInstance);
  // Only a plain file name is looked up in the folder: nothing may climb out of it.
  const fs::path wanted(name);
  if (folder && *folder && wanted.has_filename() && wanted.filename() == wanted)
  {
    const std::string lowered = Lower(name);
    for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec))
    {
      if (Lower(it->path().filename().string()) == lowered && it->is_regular_file(ec))
      {
        result = it->path().string();
        return kAbsolutePath;
      }
    }
  }

  ec.clear();
  if (wanted.is_absolute() && fs::is_regular_file(wanted, ec))
  {
    result = name;
    return kAbsolutePath;
  }
  return kNotFound;
}

const void* LoadModuleResource(const char*, const char*, int&, void*) { return nullptr; }

} // namespace iplug::igraphics
