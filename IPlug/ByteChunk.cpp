#include "ByteChunk.h"

#include <climits>
#include <cstring>

namespace iplug {

void ByteChunk::Reserve(size_t totalSize)
{
  if (totalSize <= mBytes.capacity())
    return;
  const size_t step = static_cast<size_t>(kGrowthStep);
  mBytes.reserve((totalSize + step - 1) / step * step);
}

int ByteChunk::Resize(int newSize)
{
  const size_t size = newSize > 0 ? static_cast<size_t>(newSize) : 0;
  Reserve(size);
  mBytes.resize(size, 0);
  return Size();
}

int ByteChunk::PutBytes(const void* data, int size)
{
  if (size < 0 || (size > 0 && !data) || size > INT_MAX - Size())
    return -1;
  if (size == 0)
    return Size();

  // The source may lie inside this chunk (appending a chunk to itself); growing would move it.
  const auto source = reinterpret_cast<uintptr_t>(data);
  const auto begin = reinterpret_cast<uintptr_t>(mBytes.data());
  const bool inside = !mBytes.empty() && source >= begin && source < begin + mBytes.size();
  const size_t offset = inside ? source - begin : 0;

  const size_t oldSize = mBytes.size();
  Reserve(oldSize + static_cast<size_t>(size));
  mBytes.resize(oldSize + static_cast<size_t>(size));
  std::memcpy(mBytes.data() + oldSize, inside ? mBytes.data() + offset : data, static_cast<size_t>(size));
  return Size();
}

int ByteChunk::GetBytes(void* out, int size, int startPos) const
{
  if (startPos < 0 || size < 0 || (size > 0 && !out))
    return -1;
  if (static_cast<int64_t>(startPos) + size > static_cast<int64_t>(Size()))
    return -1;
  if (size > 0)
    std::memcpy(out, mBytes.data() + startPos, static_cast<size_t>(size));
  return startPos + size;
}

int ByteChunk::PutStr(const char* str)
{
  const size_t length = str ? std::strlen(str) : 0;
  if (length > static_cast<size_t>(INT_MAX) - sizeof(int32_t) ||
      static_cast<int>(length + sizeof(int32_t)) > INT_MAX - Size())
    return -1;
  const int32_t stored = static_cast<int32_t>(length);
  Put(&stored);
  return PutBytes(str, static_cast<int>(length));
}

int ByteChunk::GetStr(std::string& str, int startPos) const
{
  int32_t length = 0;
  const int pos = Get(&length, startPos);
  if (pos < 0)
    return -1;
  if (length < 1)
  {
    str.clear();
    return pos;
  }
  if (static_cast<int64_t>(pos) + length > static_cast<int64_t>(Size()))
    return -1;
  str.assign(reinterpret_cast<const char*>(mBytes.data()) + pos, static_cast<size_t>(length));
  return pos + length;
}

} // namespace iplug
