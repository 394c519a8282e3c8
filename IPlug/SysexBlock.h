#pragma once

#include <cstdint>

namespace iplug {

// The stored form of a system-exclusive message inside a queue: the bytes themselves travel with
// it, since a SysexMessage only points at bytes that its sender owns.
struct SysexBlock
{
  // Messages larger than this are not queued.
  static constexpr int kMaxSize = 512;

  int offset = 0; // sample offset within the block
  int size = 0;   // bytes used in data
  uint8_t data[kMaxSize] = {};
};

} // namespace iplug
