// Face information read from font bytes: the editor's font, a collection made from it, and
// every truncation of it (reads stay inside the bytes; the address sanitizer watches).
#include "BackendFixture.h"

#include "FontData.h"
#include "FontInfo.h"

#include <algorithm>

using namespace iplug::igraphics;

namespace test {
namespace {

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
  b[at] = uint8_t(v >> 24);
  b[at + 1] = uint8_t(v >> 16);
  b[at + 2] = uint8_t(v >> 8);
  b[at + 3] = uint8_t(v);
}

uint32_t GetU32(const std::vector<uint8_t>& b, size_t at)
{
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | uint32_t(b[at + 3]);
}

// A two-face collection holding the font twice; table offsets count from the file's start.
std::vector<uint8_t> Collection(const std::vector<uint8_t>& font)
{
  const size_t header = 20;
  std::vector<uint8_t> out(header + font.size());
  std::copy(font.begin(), font.end(), out.begin() + long(header));
  out[0] = 't', out[1] = 't', out[2] = 'c', out[3] = 'f';
  PutU32(out, 4, 0x00010000);
  PutU32(out, 8, 2);
  PutU32(out, 12, uint32_t(header));
  PutU32(out, 16, uint32_t(header));
  const size_t numTables = (size_t(out[header + 4]) << 8) | out[header + 5];
  for (size_t i = 0; i < numTables; ++i)
  {
    const size_t rec = header + 12 + i * 16;
    PutU32(out, rec + 8, GetU32(out, rec + 8) + uint32_t(header));
  }
  return out;
}

TEST(FontDataTest, TheEditorFontsFace)
{
  std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  ASSERT_FALSE(roboto.empty());
  EXPECT_EQ(FontInfo::FaceCount(roboto.data(), roboto.size()), 1);
  const FontInfo info(roboto.data(), roboto.size(), 0);
  ASSERT_TRUE(info.IsValid());
  EXPECT_EQ(info.GetFamily(), "Roboto");
  EXPECT_EQ(info.GetStyle(), "Regular");
  EXPECT_EQ(info.GetUnitsPerEM(), 2048);
  EXPECT_GT(info.GetAscender(), 0);
  EXPECT_LT(info.GetDescender(), 0);
  EXPECT_FALSE(info.IsBold());
  EXPECT_FALSE(info.IsItalic());
  EXPECT_FALSE(FontInfo(roboto.data(), roboto.size(), 1).IsValid());

  const FontData data(std::move(roboto), 0);
  EXPECT_TRUE(data.IsValid());
  EXPECT_FALSE(FontData().IsValid());
  EXPECT_FALSE(FontData(ReadFileBytes(kRobotoPath), -1).IsValid());
}

TEST(FontDataTest, FacesOfACollection)
{
  const std::vector<uint8_t> ttc = Collection(ReadFileBytes(kRobotoPath));
  EXPECT_EQ(FontInfo::FaceCount(ttc.data(), ttc.size()), 2);
  EXPECT_EQ(FontInfo(ttc.data(), ttc.size(), 1).GetFamily(), "Roboto");
  EXPECT_EQ(FontInfo::FindFace(ttc.data(), ttc.size(), "Regular"), 0);
  EXPECT_EQ(FontInfo::FindFace(ttc.data(), ttc.size(), ""), 0);
  EXPECT_EQ(FontInfo::FindFace(ttc.data(), ttc.size(), "Bold"), -1);
  // An unknown collection version holds no faces.
  std::vector<uint8_t> v3 = ttc;
  PutU32(v3, 4, 0x00030000);
  EXPECT_EQ(FontInfo::FaceCount(v3.data(), v3.size()), 0);
}

TEST(FontDataTest, TruncatedBytesNeverReadPastTheirEnd)
{
  const std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  const std::vector<uint8_t> ttc = Collection(roboto);
  for (const std::vector<uint8_t>* font : {&roboto, &ttc})
  {
    const FontInfo whole(font->data(), font->size(), 0);
    ASSERT_TRUE(whole.IsValid());
    // Cut before the last of its tables starts, a face is invalid.
    const size_t needed = std::max({whole.HeadLocation(), whole.NameLocation(), whole.HheaLocation()}) + 1;
    for (size_t size = 0; size < font->size(); size += (size < 4096 ? 7 : 4099))
    {
      // A copy of exactly `size` bytes, so an overread leaves the allocation.
      const std::vector<uint8_t> cut(font->begin(), font->begin() + long(size));
      const int faces = FontInfo::FaceCount(cut.data(), cut.size());
      for (int face = -1; face <= faces; ++face)
      {
        const FontInfo info(cut.data(), cut.size(), face);
        if (size < needed)
        {
          EXPECT_FALSE(info.IsValid()) << "cut at " << size;
        }
      }
    }
  }
  EXPECT_EQ(FontInfo::FaceCount(nullptr, 100), 0);
}

} // namespace
} // namespace test
