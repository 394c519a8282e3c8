#include "Base64.h"

#include <array>
#include <cstdint>

namespace iplug {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of each character, or -1 outside the alphabet.
constexpr std::array<int8_t, 256> MakeDecodeTable()
{
  std::array<int8_t, 256> table{};
  for (auto& value : table)
    value = -1;
  for (int i = 0; i < 64; ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return table;
}

constexpr auto kDecodeTable = MakeDecodeTable();

} // namespace

std::string Base64Encode(const void* data, int size)
{
  if (!data || size < 1)
    return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  const size_t count = static_cast<size_t>(size);
  std::string text;
  text.reserve((count + 2) / 3 * 4);
  for (size_t i = 0; i < count; i += 3)
  {
    const size_t left = count - i;
    const uint32_t group = (uint32_t{bytes[i]} << 16) | (left > 1 ? uint32_t{bytes[i + 1]} << 8 : 0) |
                           (left > 2 ? uint32_t{bytes[i + 2]} : 0);
    text += kAlphabet[(group >> 18) & 0x3F];
    text += kAlphabet[(group >> 12) & 0x3F];
    text += left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    text += left > 2 ? kAlphabet[group & 0x3F] : '=';
  }
  return text;
}

int Base64Decode(std::string_view text, void* out, int maxBytes)
{
  if (!out || maxBytes < 1)
    return 0;
  auto* bytes = static_cast<uint8_t*>(out);
  int written = 0;
  uint32_t bits = 0;
  int bitCount = 0;
  for (const char c : text)
  {
    const int value = kDecodeTable[static_cast<unsigned char>(c)];
    if (value < 0)
      break;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    bitCount += 6;
    if (bitCount >= 8)
    {
      bitCount -= 8;
      bytes[written++] = static_cast<uint8_t>(bits >> bitCount);
      bits &= (1u << bitCount) - 1;
      if (written == maxBytes)
        break;
    }
  }
  return written;
}

int Base64Decode(const char* text, void* out, int maxBytes)
{
  return text ? Base64Decode(std::string_view(text), out, maxBytes) : 0;
}

} // namespace iplug
