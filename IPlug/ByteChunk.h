#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace iplug {

// A growable byte buffer for saved state and presets. Values are appended as their raw
// little-endian bytes; reads take a start position and return the position after the value, or
// -1 when the value would run past the end (nothing is read then). Capacity grows in steps of
// 4096 bytes.
class ByteChunk
{
public:
  static constexpr int kGrowBy = 4096;

  // Appends the raw bytes of a trivially copyable value; returns the new size.
  template <class T>
  int Put(const T* pValue)
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return PutBytes(pValue, static_cast<int>(sizeof(T)));
  }

  // Reads a value at startPos; returns the next position or -1.
  template <class T>
  int Get(T* pValue, int startPos) const
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return GetBytes(pValue, static_cast<int>(sizeof(T)), startPos);
  }

  // Appends size bytes (nothing for a null pointer or a size below 1); returns the new size.
  int PutBytes(const void* pData, int size);
  // Copies size bytes from startPos; returns the next position or -1.
  int GetBytes(void* pData, int size, int startPos) const;

  // A string is a 32-bit length followed by that many bytes, without terminator.
  int PutStr(const char* str);
  // Reads a string; a length below 1 gives the empty string. Returns the next position or -1.
  int GetStr(std::string& str, int startPos) const;

  // Appends another chunk's bytes; returns the new size.
  int PutChunk(const ByteChunk* pOther);

  void Clear() { mBytes.clear(); }
  int Size() const { return static_cast<int>(mBytes.size()); }
  // Resizes to newSize bytes (new bytes are zero); returns the old size.
  int Resize(int newSize);
  uint8_t* GetData() { return mBytes.data(); }
  const uint8_t* GetData() const { return mBytes.data(); }

  bool operator==(const ByteChunk& other) const { return mBytes == other.mBytes; }

private:
  void Reserve(size_t size);

  std::vector<uint8_t> mBytes;
};

} // namespace iplug
