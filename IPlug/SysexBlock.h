#pragma once

#include <cstdint>

namespace iplug {

// System-exclusive data as stored inside a queue: a fixed 512-byte block, so queues never
// allocate.
struct SysexBlock
{
  static constexpr int kMaxSize = 512;

  int offset = 0;
  int size = 0;
  uint8_t data[kMaxSize] = {};
};

} // namespace iplug
