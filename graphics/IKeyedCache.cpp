#include "IKeyedCache.h"

#include <cstdio>
#include <string>

namespace iplug::igraphics {

uint64_t KeyedCacheKey(const char* name, double scale)
{
  std::string text = name ? name : "";
  char suffix[32];
  const int n = std::snprintf(suffix, sizeof(suffix), "-%.1fx", scale);
  if (n >= static_cast<int>(sizeof(suffix)))
  {
    // A scale too large for the buffer still hashes its whole text.
    std::string longSuffix(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(longSuffix.data(), longSuffix.size(), "-%.1fx", scale);
    longSuffix.resize(static_cast<size_t>(n));
    text += longSuffix;
  }
  else if (n > 0)
  {
    text += suffix;
  }

  uint64_t hash = 14695981039346656037ull; // FNV-1a offset basis
  for (char ch : text)
  {
    hash ^= static_cast<unsigned char>(ch);
    hash *= 1099511628211ull; // FNV prime
  }
  return hash;
}

} // namespace iplug::igraphics
