#include "Base64.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using iplug::Base64Decode;
using iplug::Base64Encode;

namespace {

struct Vector
{
  const char* plain;
  const char* encoded;
};

// The test vectors of RFC 4648, plus a longer text.
const Vector kVectors[] = {
  {"", ""},
  {"f", "Zg=="},
  {"fo", "Zm8="},
  {"foo", "Zm9v"},
  {"foob", "Zm9vYg=="},
  {"fooba", "Zm9vYmE="},
  {"foobar", "Zm9vYmFy"},
  {"Corvane preamp state", "Q29ydmFuZSBwcmVhbXAgc3RhdGU="},
};

TEST(Base64, EncodesAndDecodesTheKnownTexts)
{
  for (const auto& v : kVectors)
  {
    SCOPED_TRACE(v.plain);
    const int length = static_cast<int>(std::strlen(v.plain));
    EXPECT_EQ(Base64Encode(v.plain, length), v.encoded);

    std::vector<char> decoded(static_cast<size_t>(length + 1), '#');
    EXPECT_EQ(Base64Decode(v.encoded, decoded.data(), length), length);
    EXPECT_EQ(std::string(decoded.data(), static_cast<size_t>(length)), v.plain);
    EXPECT_EQ(decoded[static_cast<size_t>(length)], '#');
  }
}

TEST(Base64, RoundTripsEveryByteValueAtEveryRemainder)
{
  std::vector<uint8_t> bytes(256);
  for (int i = 0; i < 256; ++i)
    bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(255 - i);
  for (int size : {1, 2, 3, 254, 255, 256})
  {
    const std::string text = Base64Encode(bytes.data(), size);
    EXPECT_EQ(text.size() % 4, 0u);
    std::vector<uint8_t> back(static_cast<size_t>(size));
    ASSERT_EQ(Base64Decode(text, back.data(), size), size);
    EXPECT_TRUE(std::equal(back.begin(), back.end(), bytes.begin()));
  }
  EXPECT_EQ(Base64Encode(nullptr, 3), "");
  EXPECT_EQ(Base64Encode(bytes.data(), -1), "");
}

TEST(Base64, DecodingStopsAtTheTextsEndAndAtForeignCharacters)
{
  struct Case
  {
    const char* text;
    int maxBytes;
    const char* expected; // what lands in the buffer
  };
  const Case cases[] = {
    {"Zm9vYmFy", 100, "foobar"},  // asking for more than the text holds
    {"Zm9vYmFy", 4, "foob"},      // the buffer limit wins
    {"Zm9vYmFy", 0, ""},
    {"Zm9vYmFy", -5, ""},
    {"Zm9vYm", 100, "foob"},      // truncated: the partial group still gives whole bytes
    {"Zm9vY", 100, "foo"},        // six bits left over make no byte
    {"Zm9v!mFy", 100, "foo"},     // stops at a character outside the alphabet
    {"Zm9v YmFy", 100, "foo"},    // white space is outside it too
    {"Zg==Zm9v", 100, "f"},       // padding ends decoding
    {"-_-_", 100, ""},            // the URL-safe alphabet is not ours
    {"\xc3\xa9Zm9v", 100, ""},    // bytes above 127
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.text);
    std::vector<char> buffer(110, '#');
    const int written = Base64Decode(c.text, buffer.data(), c.maxBytes);
    ASSERT_EQ(written, static_cast<int>(std::strlen(c.expected)));
    EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(written)), c.expected);
    EXPECT_EQ(buffer[static_cast<size_t>(written)], '#') << "nothing written past the decoded bytes";
  }

  // A text with an explicit end is not read beyond it.
  const char text[] = "Zm9vYmFy";
  char out[8] = {};
  EXPECT_EQ(Base64Decode(std::string_view(text, 4), out, 8), 3);
  EXPECT_EQ(Base64Decode(static_cast<const char*>(nullptr), out, 8), 0);
  EXPECT_EQ(Base64Decode("Zm9v", nullptr, 8), 0);
}

} // namespace
