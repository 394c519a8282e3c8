#include "ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using iplug::ByteChunk;

namespace {

std::vector<uint8_t> Bytes(const ByteChunk& chunk)
{
  return std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size());
}

TEST(ByteChunk, ValuesAreAppendedAsRawLittleEndianBytesAndReadBack)
{
  ByteChunk chunk;
  EXPECT_EQ(chunk.Size(), 0);
  const int32_t width = 0x01020304;
  const float scale = 1.5f;
  const double gain = -12.25;
  EXPECT_EQ(chunk.Put(&width), 4);
  EXPECT_EQ(chunk.Put(&scale), 8);
  EXPECT_EQ(chunk.Put(&gain), 16);

  const std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01,                         // int32
                                         0x00, 0x00, 0xC0, 0x3F,                         // 1.5f
                                         0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x28, 0xC0}; // -12.25
  EXPECT_EQ(Bytes(chunk), expected);

  int32_t w = 0;
  float s = 0.f;
  double g = 0.0;
  int pos = chunk.Get(&w, 0);
  EXPECT_EQ(pos, 4);
  pos = chunk.Get(&s, pos);
  EXPECT_EQ(pos, 8);
  pos = chunk.Get(&g, pos);
  EXPECT_EQ(pos, 16);
  EXPECT_EQ(w, width);
  EXPECT_EQ(s, scale);
  EXPECT_EQ(g, gain);
}

TEST(ByteChunk, ReadsThatDoNotFitGiveMinusOneAndLeaveTheOutputAlone)
{
  ByteChunk chunk;
  chunk.Resize(12);
  struct Case
  {
    int startPos;
    int expected;
  };
  const Case cases[] = {{0, 8}, {4, 12}, {5, -1}, {11, -1}, {12, -1}, {-1, -1}, {-8, -1}, {INT_MAX, -1}, {INT_MIN, -1}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.startPos);
    double value = 42.0;
    EXPECT_EQ(chunk.Get(&value, c.startPos), c.expected);
    EXPECT_EQ(value, c.expected < 0 ? 42.0 : 0.0);
  }

  uint8_t byte = 7;
  EXPECT_EQ(chunk.GetBytes(&byte, -1, 0), -1);
  EXPECT_EQ(chunk.GetBytes(nullptr, 1, 0), -1);
  EXPECT_EQ(chunk.GetBytes(&byte, 0, 12), 12) << "nothing to read at the very end is fine";
  EXPECT_EQ(byte, 7);
}

TEST(ByteChunk, StringsAreALengthAndTheirBytes)
{
  ByteChunk chunk;
  EXPECT_EQ(chunk.PutStr("Gain"), 8);
  EXPECT_EQ(chunk.PutStr(""), 12);
  EXPECT_EQ(chunk.PutStr(nullptr), 16);
  const std::vector<uint8_t> start = {4, 0, 0, 0, 'G', 'a', 'i', 'n'};
  EXPECT_EQ(std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + 8), start);

  std::string text = "old";
  int pos = chunk.GetStr(text, 0);
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(text, "Gain");
  pos = chunk.GetStr(text, pos);
  EXPECT_EQ(pos, 12);
  EXPECT_EQ(text, "");
  pos = chunk.GetStr(text, pos);
  EXPECT_EQ(pos, 16);
  EXPECT_EQ(chunk.GetStr(text, pos), -1) << "no length left";
}

TEST(ByteChunk, DamagedStringLengthsNeverReadOutside)
{
  struct Case
  {
    int32_t length;
    int trailingBytes;
    int expectedPos;
    const char* expectedText;
  };
  const Case cases[] = {
    {3, 3, 7, "abc"},
    {0, 3, 4, ""},
    {-1, 3, 4, ""},       // a length below 1 reads as the empty string
    {INT32_MIN, 0, 4, ""},
    {4, 3, -1, "kept"},   // one byte short
    {INT32_MAX, 3, -1, "kept"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.length);
    ByteChunk chunk;
    chunk.Put(&c.length);
    chunk.PutBytes("abc", c.trailingBytes);
    std::string text = "kept";
    EXPECT_EQ(chunk.GetStr(text, 0), c.expectedPos);
    EXPECT_EQ(text, c.expectedText);
  }
  ByteChunk tooShortForALength;
  tooShortForALength.PutBytes("ab", 2);
  std::string text = "kept";
  EXPECT_EQ(tooShortForALength.GetStr(text, 0), -1);
  EXPECT_EQ(tooShortForALength.GetStr(text, -4), -1);
  EXPECT_EQ(text, "kept");
}

TEST(ByteChunk, ChunksAppendCompareResizeAndClear)
{
  ByteChunk a, b;
  const int32_t one = 1;
  const double two = 2.0;
  a.Put(&one);
  b.Put(&two);
  EXPECT_FALSE(a == b);

  ByteChunk copy = a;
  EXPECT_TRUE(copy == a);
  EXPECT_EQ(copy.PutChunk(b), 12);
  EXPECT_FALSE(copy == a);
  double read = 0.0;
  EXPECT_EQ(copy.Get(&read, 4), 12);
  EXPECT_EQ(read, 2.0);

  // Appending a chunk to itself doubles it, although growing moves its bytes.
  ByteChunk self;
  std::vector<uint8_t> pattern(3000);
  for (size_t i = 0; i < pattern.size(); ++i)
    pattern[i] = static_cast<uint8_t>(i * 13);
  self.PutBytes(pattern.data(), static_cast<int>(pattern.size()));
  EXPECT_EQ(self.PutChunk(self), 6000);
  EXPECT_EQ(std::memcmp(self.GetData(), pattern.data(), 3000), 0);
  EXPECT_EQ(std::memcmp(self.GetData() + 3000, pattern.data(), 3000), 0);

  ByteChunk sized;
  sized.Put(&one);
  EXPECT_EQ(sized.Resize(10000), 10000);
  int32_t first = 0;
  EXPECT_EQ(sized.Get(&first, 0), 4);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(sized.GetData()[9999], 0) << "grown bytes are zero";
  EXPECT_EQ(sized.Resize(2), 2);
  EXPECT_EQ(sized.Resize(-3), 0);
  sized.Put(&one);
  sized.Clear();
  EXPECT_EQ(sized.Size(), 0);
  EXPECT_TRUE(sized == ByteChunk());
  EXPECT_NE(sized.GetData(), nullptr);
}

TEST(ByteChunk, InvalidAppendsChangeNothing)
{
  ByteChunk chunk;
  chunk.PutStr("x");
  EXPECT_EQ(chunk.PutBytes(nullptr, 4), -1);
  EXPECT_EQ(chunk.PutBytes("abc", -1), -1);
  EXPECT_EQ(chunk.PutBytes(nullptr, 0), 5);
  EXPECT_EQ(chunk.Size(), 5);
}

} // namespace
