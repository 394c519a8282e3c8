#include "ByteChunk.h"

#include <limits>

namespace iplug {

void ByteChunk::Reserve(size_t size)
{
  if (size > mBytes.capacity())
    mBytes.reserve((size + kGrowBy - 1) / kGrowBy * kGrowBy);
}

int ByteChunk::PutBytes(const void* pData, int size)
{
  if (pData && size > 0 && static_cast<int64_t>(mBytes.size()) + size <= std::numeric_limits<int>::max())
  {
    const uint8_t* bytes = static_cast<const uint8_t*>(pData);
    Reserve(mBytes.size() + static_cast<size_t>(size));
    mBytes.insert(mBytes.end(), bytes, bytes + size);
  }
  return Size();
}

int ByteChunk::GetBytes(void* pData, int size, int startPos) const
{
  if (!pData || size < 0 || startPos < 0 || static_cast<int64_t>(startPos) + size > Size())
    return -1;
  if (size > 0)
    std::memcpy(pData, mBytes.data() + startPos, static_cast<size_t>(size));
  return startPos + size;
}

int ByteChunk::PutStr(const char* str)
{
  const int length = str ? static_cast<int>(std::strlen(str)) : 0;
  Put(&length);
  return PutBytes(str, length);
}

int ByteChunk::GetStr(std::string& str, int startPos) const
{
  int length = 0;
  const int pos = Get(&length, startPos);
  if (pos < 0)
    return -1;
  if (length < 1)
  {
    str.clear();
    return pos;
  }
  if (static_cast<int64_t>(pos) + length > Size())
    return -1;
  str.assign(reinterpret_cast<const char*>(mBytes.data() + pos), static_cast<size_t>(length));
  return pos + length;
}

int ByteChunk::PutChunk(const ByteChunk* pOther)
{
  if (pOther && pOther != this)
    return PutBytes(pOther->GetData(), pOther->Size());
  if (pOther == this)
  {
    const std::vector<uint8_t> copy = mBytes;
    return PutBytes(copy.data(), static_cast<int>(copy.size()));
  }
  return Size();
}

int ByteChunk::Resize(int newSize)
{
  const int oldSize = Size();
  if (newSize >= 0)
  {
    Reserve(static_cast<size_t>(newSize));
    mBytes.resize(static_cast<size_t>(newSize), 0);
  }
  return oldSize;
}

} // namespace iplug
