#pragma once

#include <cstdint>

namespace iplug {

// A view of system-exclusive data; it does not own the bytes it points at.
struct SysexMessage
{
  int offset = 0;          // sample offset within the block
  int size = 0;
  const uint8_t* data = nullptr;
};

} // namespace iplug
