#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace iplug {

// A growable block of bytes: the form of the saved state and of presets.
//
// Values are appended as their raw in-memory bytes (little-endian on every machine we build
// for) and read back from a position. Every Put returns the size after appending, or -1 when
// nothing could be appended; every Get returns the position just after the value, or -1 when the
// value would run past the end or the position is negative, and then leaves its output alone.
// Strings are a 32-bit signed length followed by that many bytes, without a terminator.
//
// Capacity grows in steps of 4096 bytes. Copies are by value.
class ByteChunk
{
public:
  static constexpr int kGrowthStep = 4096;

  static_assert(std::endian::native == std::endian::little, "saved states are little-endian");

  ByteChunk() = default;

  int Size() const { return static_cast<int>(mBytes.size()); }

  // Sets the size; new bytes are zero. A negative size empties the chunk. Returns the new size.
  int Resize(int newSize);

  void Clear() { mBytes.clear(); }

  // The first byte; valid (but not to be read from) when the chunk is empty.
  uint8_t* GetData() { return mBytes.empty() ? &mEmpty : mBytes.data(); }
  const uint8_t* GetData() const { return mBytes.empty() ? &mEmpty : mBytes.data(); }

  int PutBytes(const void* data, int size);
  int GetBytes(void* out, int size, int startPos) const;

  template <typename T>
  int Put(const T* value)
  {
    static_assert(std::is_trivially_copyable_v<T> && !std::is_pointer_v<T>, "raw values only");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }

  template <typename T>
  int Get(T* value, int startPos) const
  {
    static_assert(std::is_trivially_copyable_v<T> && !std::is_pointer_v<T>, "raw values only");
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }

  // A null string is stored as the empty one.
  int PutStr(const char* str);
  // A stored length below 1 reads as the empty string.
  int GetStr(std::string& str, int startPos) const;

  // Appends all bytes of another chunk (or of this one).
  int PutChunk(const ByteChunk& other) { return PutBytes(other.GetData(), other.Size()); }

  // Equal when sizes and bytes are.
  bool operator==(const ByteChunk& other) const { return mBytes == other.mBytes; }

private:
  // Makes room for the given total size in whole growth steps.
  void Reserve(size_t totalSize);

  std::vector<uint8_t> mBytes;
  uint8_t mEmpty = 0;
};

} // namespace iplug
