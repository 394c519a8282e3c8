#include "FontInfo.h"

namespace iplug::igraphics {

namespace {

// Big-endian readers that answer 0 past the end, so a short file reads as missing data.
struct Reader
{
  const uint8_t* data;
  size_t size;

  bool Has(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }
  uint16_t U16(size_t o) const { return Has(o, 2) ? uint16_t((data[o] << 8) | data[o + 1]) : 0; }
  int16_t S16(size_t o) const { return static_cast<int16_t>(U16(o)); }
  uint32_t U32(size_t o) const
  {
    return Has(o, 4) ? (uint32_t(data[o]) << 24) | (uint32_t(data[o + 1]) << 16) | (uint32_t(data[o + 2]) << 8) |
                         uint32_t(data[o + 3])
                     : 0;
  }
  bool Tag(size_t o, const char* tag) const
  {
    return Has(o, 4) && data[o] == uint8_t(tag[0]) && data[o + 1] == uint8_t(tag[1]) &&
           data[o + 2] == uint8_t(tag[2]) && data[o + 3] == uint8_t(tag[3]);
  }
};

bool IsSingleFont(const Reader& r)
{
  static const uint8_t kTrueType1[4] = {0, 1, 0, 0};
  static const uint8_t kTrueType2[4] = {'1', 0, 0, 0};
  const auto starts = [&r](const uint8_t* sig) {
    return r.Has(0, 4) && r.data[0] == sig[0] && r.data[1] == sig[1] && r.data[2] == sig[2] && r.data[3] == sig[3];
  };
  return starts(kTrueType1) || starts(kTrueType2) || r.Tag(0, "OTTO") || r.Tag(0, "typ1");
}

bool IsCollection(const Reader& r)
{
  if (!r.Tag(0, "ttcf"))
    return false;
  const uint32_t version = r.U32(4);
  return version == 0x00010000 || version == 0x00020000;
}

// Offset of the table with this tag in the face's directory, 0 when absent or out of bounds.
uint32_t FindTable(const Reader& r, size_t face, const char* tag)
{
  const uint16_t numTables = r.U16(face + 4);
  const size_t records = face + 12;
  for (uint16_t i = 0; i < numTables; ++i)
  {
    const size_t rec = records + size_t(i) * 16;
    if (!r.Has(rec, 16))
      return 0;
    if (r.Tag(rec, tag))
    {
      const uint32_t offset = r.U32(rec + 8);
      const uint32_t length = r.U32(rec + 12);
      return r.Has(offset, length) && offset > 0 ? offset : 0;
    }
  }
  return 0;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
  if (cp < 0x80)
    out += char(cp);
  else if (cp < 0x800)
  {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  }
  else if (cp < 0x10000)
  {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
  else
  {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// The name record `nameID` of the name table at `table`: the Windows Unicode English record,
// else the Macintosh Roman one; empty when neither is there.
std::string ReadName(const Reader& r, uint32_t table, uint16_t nameID)
{
  if (!table)
    return {};
  const uint16_t count = r.U16(table + 2);
  const size_t strings = table + r.U16(table + 4);
  std::string mac;
  for (uint16_t i = 0; i < count; ++i)
  {
    const size_t rec = table + 6 + size_t(i) * 12;
    if (!r.Has(rec, 12))
      break;
    if (r.U16(rec + 6) != nameID)
      continue;
    const uint16_t platform = r.U16(rec), encoding = r.U16(rec + 2), language = r.U16(rec + 4);
    const size_t length = r.U16(rec + 8);
    const size_t offset = strings + r.U16(rec + 10);
    if (!r.Has(offset, length))
      continue;
    if (platform == 3 && encoding == 1 && language == 0x409)
    {
      std::string out;
      for (size_t k = 0; k + 1 < length; k += 2)
      {
        uint32_t cp = r.U16(offset + k);
        if (cp >= 0xD800 && cp < 0xDC00 && k + 3 < length)
        {
          const uint32_t low = r.U16(offset + k + 2);
          if (low >= 0xDC00 && low < 0xE000)
          {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            k += 2;
          }
        }
        AppendUtf8(out, cp);
      }
      if (!out.empty())
        return out;
    }
    else if (platform == 1 && encoding == 0 && language == 0 && mac.empty())
    {
      mac.assign(reinterpret_cast<const char*>(r.data + offset), length);
    }
  }
  return mac;
}

} // namespace

int FontInfo::FaceCount(const uint8_t* data, size_t size)
{
  if (!data)
    return 0;
  const Reader r{data, size};
  if (IsSingleFont(r))
    return 1;
  if (IsCollection(r))
  {
    // A count larger than the offsets that follow it would send look-ups past the end.
    if (size < 12)
      return 0;
    const uint32_t count = r.U32(8);
    const uint32_t fits = uint32_t((size - 12) / 4);
    return int(count < fits ? count : fits);
  }
  return 0;
}

long FontInfo::FaceOffset(const uint8_t* data, size_t size, int faceIdx)
{
  if (!data || faceIdx < 0 || faceIdx >= FaceCount(data, size))
    return -1;
  const Reader r{data, size};
  if (IsSingleFont(r))
    return 0;
  const uint32_t offset = r.U32(12 + size_t(faceIdx) * 4);
  return offset < size ? long(offset) : -1;
}

int FontInfo::FindFace(const uint8_t* data, size_t size, const std::string& style)
{
  const int n = FaceCount(data, size);
  for (int i = 0; i < n; ++i)
  {
    const FontInfo info(data, size, i);
    if (style.empty() ? !info.GetStyle().empty() : info.GetStyle() == style)
      return i;
  }
  return -1;
}

FontInfo::FontInfo(const uint8_t* data, size_t size, int faceIdx)
{
  const long face = FaceOffset(data, size, faceIdx);
  if (face < 0)
    return;
  const Reader r{data, size};
  mHeadLocation = FindTable(r, size_t(face), "head");
  mNameLocation = FindTable(r, size_t(face), "name");
  mHheaLocation = FindTable(r, size_t(face), "hhea");
  mFdscLocation = FindTable(r, size_t(face), "fdsc");

  if (mHeadLocation)
  {
    mUnitsPerEM = r.U16(mHeadLocation + 18);
    mMacStyle = r.U16(mHeadLocation + 44);
  }
  if (mHheaLocation)
  {
    mAscender = r.S16(mHheaLocation + 4);
    mDescender = r.S16(mHheaLocation + 6);
    mLineGap = r.S16(mHheaLocation + 8);
  }
  mFamily = ReadName(r, mNameLocation, 1);
  mStyle = ReadName(r, mNameLocation, 2);
}

} // namespace iplug::igraphics
