#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace iplug::igraphics::renderer {

// Decodes the code point at `pos` and moves `pos` past it. Malformed or truncated sequences,
// overlong forms and surrogates give U+FFFD and advance by one byte, so any bytes decode safely.
inline uint32_t NextCodepoint(std::string_view text, size_t& pos)
{
  const auto byte = [&](size_t i) { return uint8_t(text[i]); };
  const uint8_t b0 = byte(pos);
  constexpr uint32_t kReplacement = 0xFFFD;
  if (b0 < 0x80)
  {
    ++pos;
    return b0;
  }
  int extra = 0;
  uint32_t cp = 0, min = 0;
  if ((b0 & 0xE0) == 0xC0)
  {
    extra = 1;
    cp = b0 & 0x1F;
    min = 0x80;
  }
  else if ((b0 & 0xF0) == 0xE0)
  {
    extra = 2;
    cp = b0 & 0x0F;
    min = 0x800;
  }
  else if ((b0 & 0xF8) == 0xF0)
  {
    extra = 3;
    cp = b0 & 0x07;
    min = 0x10000;
  }
  else
  {
    ++pos;
    return kReplacement;
  }
  if (pos + size_t(extra) >= text.size())
  {
    ++pos;
    return kReplacement;
  }
  for (int i = 1; i <= extra; ++i)
  {
    const uint8_t b = byte(pos + size_t(i));
    if ((b & 0xC0) != 0x80)
    {
      ++pos;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
  {
    ++pos;
    return kReplacement;
  }
  pos += size_t(extra) + 1;
  return cp;
}

} // namespace iplug::igraphics::renderer
