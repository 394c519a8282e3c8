// Stand-ins until the keyed cache and the resource search arrive from the editor work; removed then.
#include "IKeyedCache.h"
#include <cstdio>
namespace iplug::igraphics {
uint64_t KeyedCacheKey(const char* name, double scale)
{
  char buf[64];
  std::snprintf(buf, sizeof(buf), "-%.1fx", scale);
  uint64_t h = 14695981039346656037ull;
  for (const char* p = name; p && *p; ++p) { h ^= uint8_t(*p); h *= 1099511628211ull; }
  for (const char* p = buf; *p; ++p) { h ^= uint8_t(*p); h *= 1099511628211ull; }
  return h;
}
}
// (stand-in)
#include "IGraphics.h"
#include <filesystem>
namespace iplug::igraphics {
EResourceLocation IGraphics::SearchImageResource(const char* name, const char* ext, std::string& result,
                                                 int targetScale, int& sourceScale)
{
  (void) ext;
  int s = targetScale;
  while (true)
  {
    sourceScale = s;
    if (s <= 0) return kNotFound;
    std::string n(name), cand;
    if (s == 1) cand = n;
    else {
      auto slash = n.find_last_of('/');
      auto dot = n.find_last_of('.');
      if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) cand = n + "@" + std::to_string(s) + "x";
      else cand = n.substr(0, dot) + "@" + std::to_string(s) + "x" + n.substr(dot);
    }
    if (std::filesystem::exists(cand)) { result = cand; return kAbsolutePath; }
    if (s == targetScale && targetScale != 3) s = 3;
    else if (s == targetScale + 1) s = targetScale - 1;
    else s = s - 1;
  }
}
}
// (stand-in)
#include "ResourceLocation.h"
namespace iplug::igraphics {
const void* LoadModuleResource(const char*, const char*, int& sizeInBytes, void*) { sizeInBytes = 0; return nullptr; }
}
