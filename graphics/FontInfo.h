#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace iplug::igraphics {

// What the editor needs to know of one face of a TrueType or OpenType file: where its head, name,
// hhea and fdsc tables are, its family and style names, style bits and vertical metrics.
//
// Every read is bounded by the bytes given: a table or name record that points outside them
// counts as absent, so a truncated or corrupt file gives an invalid face rather than a bad read.
class FontInfo
{
public:
  FontInfo() = default;
  // Parses face `faceIdx` of the bytes; the bytes are not kept.
  FontInfo(const uint8_t* data, size_t size, int faceIdx);

  // A face is usable when its head, name and hhea tables were found.
  bool IsValid() const { return mHeadLocation > 0 && mNameLocation > 0 && mHheaLocation > 0; }

  uint32_t HeadLocation() const { return mHeadLocation; }
  uint32_t NameLocation() const { return mNameLocation; }
  uint32_t HheaLocation() const { return mHheaLocation; }
  uint32_t FdscLocation() const { return mFdscLocation; }
  const std::string& GetFamily() const { return mFamily; }
  const std::string& GetStyle() const { return mStyle; }
  bool IsBold() const { return (mMacStyle & 1) != 0; }
  bool IsItalic() const { return (mMacStyle & 2) != 0; }
  bool IsUnderline() const { return (mMacStyle & 4) != 0; }
  uint16_t GetMacStyle() const { return mMacStyle; }
  uint16_t GetUnitsPerEM() const { return mUnitsPerEM; }
  int16_t GetAscender() const { return mAscender; }
  int16_t GetDescender() const { return mDescender; }
  int16_t GetLineGap() const { return mLineGap; }

  // Faces in the bytes: 1 for a single font, the count of a collection, 0 for anything else.
  static int FaceCount(const uint8_t* data, size_t size);
  // Byte offset of face `faceIdx`, or −1 when there is no such face.
  static long FaceOffset(const uint8_t* data, size_t size, int faceIdx);
  // The first face whose style name is `style`; with an empty `style`, the first face that has a
  // style name at all. −1 when none qualifies.
  static int FindFace(const uint8_t* data, size_t size, const std::string& style);

private:
  uint32_t mHeadLocation = 0;
  uint32_t mNameLocation = 0;
  uint32_t mHheaLocation = 0;
  uint32_t mFdscLocation = 0;
  std::string mFamily;
  std::string mStyle;
  uint16_t mMacStyle = 0;
  uint16_t mUnitsPerEM = 0;
  int16_t mAscender = 0;
  int16_t mDescender = 0;
  int16_t mLineGap = 0;
};

} // namespace iplug::igraphics
