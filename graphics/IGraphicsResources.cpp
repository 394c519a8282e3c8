// The graphics context's resource search: image densities and raw resource data.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "IGraphics.h"
#include "ResourceLocation.h"

namespace iplug::igraphics {

namespace {

// The extension is the last path component's part from its last '.' on; none gives "".
size_t ExtensionStart(const std::string& name)
{
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return name.size();
  return dot;
}

} // namespace

EResourceLocation IGraphics::SearchImageResource(const char* name, const char* ext, std::string& result,
                                                 int targetScale, int& sourceScale)
{
  const std::string fullName = name ? name : "";
  const size_t extStart = ExtensionStart(fullName);
  const std::string base = fullName.substr(0, extStart);
  const std::string extension = fullName.substr(extStart);

  // Wide enough that target + 1 never overflows, whatever the caller asks for.
  const long long target = targetScale;
  long long s = target;
  while (s > 0)
  {
    std::string candidate = fullName;
    if (s != 1)
    {
      candidate = base + "@" + std::to_string(s) + "x" + extension;
      // Room for a one-digit density only, as the name buffers of the resource search have.
      if (candidate.size() > fullName.size() + 3)
        candidate.resize(fullName.size() + 3);
    }

    const EResourceLocation found =
      LocateResource(candidate.c_str(), ext, result, GetBundleName(), GetModuleInstance(), "");
    if (found != kNotFound)
    {
      sourceScale = static_cast<int>(s);
      return found;
    }

    // The display's own density first, then 3, then downwards, skipping the one already tried.
    if (s == target && target != 3)
      s = 3;
    else if (s == target + 1)
      s = target - 1;
    else
      s = s - 1;
  }
  sourceScale = 0;
  return kNotFound;
}

std::vector<uint8_t> IGraphics::LoadResourceData(const char* fileNameOrResID, const char* type)
{
  std::vector<uint8_t> data;
  std::string location;
  const EResourceLocation found =
    LocateResource(fileNameOrResID, type, location, GetBundleName(), GetModuleInstance(), "");

  if (found == kWinBinary)
  {
    int size = 0;
    const void* bytes = LoadModuleResource(location.c_str(), type, size, GetModuleInstance());
    if (bytes)
    {
      const auto* first = static_cast<const uint8_t*>(bytes);
      data.assign(first, first + size);
    }
  }
  else if (found == kAbsolutePath)
  {
    std::ifstream file(location, std::ios::binary);
    if (file)
      data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return data;
}

} // namespace iplug::igraphics
