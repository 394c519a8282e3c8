#pragma once

#include <cstdint>

namespace iplug {

// One short MIDI message, timed within the current block.
struct MidiMessage
{
  int offset = 0;          // sample offset within the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

} // namespace iplug
