#include "PresetSlot.h"

#include <cstring>

namespace iplug {

void PresetSlot::SetName(const char* newName)
{
  const char* src = newName ? newName : "";
  const size_t n = strnlen(src, kMaxNameLength);
  std::memcpy(name, src, n);
  name[n] = '\0';
}

} // namespace iplug
