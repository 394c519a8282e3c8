#pragma once

#include <cstdint>

#include "ByteChunk.h"

namespace iplug {

// The editor record inside the saved state: width, height and draw scale, in that order. Every
// format's state carries the same bytes, so a size saved by one build opens another's editor.
// All zero means no size stored.
struct EditorSizeRecord
{
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
};

// Appends the record; false when the chunk could not take it.
inline bool PutEditorSizeRecord(ByteChunk& chunk, const EditorSizeRecord& record)
{
  bool ok = chunk.Put(&record.width) > 0;
  ok = chunk.Put(&record.height) > 0 && ok;
  ok = chunk.Put(&record.scale) > 0 && ok;
  return ok;
}

// Reads the record at startPos: a field the chunk ends before reads as zero (an older state has
// no record). Returns the position after it, negative when the chunk ended early.
inline int GetEditorSizeRecord(const ByteChunk& chunk, int startPos, EditorSizeRecord& record)
{
  int pos = chunk.Get(&record.width, startPos);
  if (pos < 0)
    record.width = 0;
  pos = chunk.Get(&record.height, pos);
  if (pos < 0)
    record.height = 0;
  pos = chunk.Get(&record.scale, pos);
  if (pos < 0)
    record.scale = 0.f;
  return pos;
}

} // namespace iplug
