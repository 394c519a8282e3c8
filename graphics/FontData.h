#pragma once

#include <cstdint>
#include <vector>

#include "FontInfo.h"

namespace iplug::igraphics {

// One font file in memory with the face the editor uses: what a platform font hands to the
// drawing back end, which registers the bytes with its renderer and keeps them for the process.
class FontData
{
public:
  // No bytes and no face.
  FontData() = default;
  // Takes the bytes; faceIdx is the face within a collection (−1: none was found).
  FontData(std::vector<uint8_t> bytes, int faceIdx)
    : mBytes(std::move(bytes)), mFaceIdx(faceIdx), mInfo(mBytes.data(), mBytes.size(), faceIdx)
  {
  }
  FontData(const FontData&) = delete;
  FontData& operator=(const FontData&) = delete;

  // Bytes present, a face chosen, and that face's head, name and hhea tables found.
  bool IsValid() const { return !mBytes.empty() && mFaceIdx >= 0 && mInfo.IsValid(); }

  const uint8_t* Get() const { return mBytes.data(); }
  size_t GetSize() const { return mBytes.size(); }
  int GetFaceIdx() const { return mFaceIdx; }
  const FontInfo& GetInfo() const { return mInfo; }

private:
  std::vector<uint8_t> mBytes;
  int mFaceIdx = -1;
  FontInfo mInfo;
};

} // namespace iplug::igraphics
