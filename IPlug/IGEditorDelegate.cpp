#include "IGEditorDelegate.h"

#include "ByteChunk.h"

namespace iplug {

bool IGEditorDelegate::SerializeEditorSize(ByteChunk& chunk) const
{
  bool ok = chunk.Put(&mLastWidth) > 0;
  ok = chunk.Put(&mLastHeight) > 0 && ok;
  ok = chunk.Put(&mLastScale) > 0 && ok;
  return ok;
}

int IGEditorDelegate::UnserializeEditorSize(const ByteChunk& chunk, int startPos)
{
  int width = 0;
  int height = 0;
  float scale = 0.f;
  int pos = chunk.Get(&width, startPos);
  if (pos < 0)
    width = 0;
  pos = chunk.Get(&height, pos);
  if (pos < 0)
    height = 0;
  pos = chunk.Get(&scale, pos);
  if (pos < 0)
    scale = 0.f;

  mLastWidth = width;
  mLastHeight = height;
  mLastScale = scale;
  return pos;
}

} // namespace iplug
