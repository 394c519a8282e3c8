#pragma once

#include "ByteChunk.h"

namespace iplug {

// One preset: a name (at most 255 characters) and the state it restores.
struct PresetSlot
{
  static constexpr int kMaxNameLength = 255;

  bool initialized = false;
  char name[kMaxNameLength + 1] = "empty";
  ByteChunk state;

  // Copies at most 255 characters; a null name reads as empty.
  void SetName(const char* newName);
};

} // namespace iplug
