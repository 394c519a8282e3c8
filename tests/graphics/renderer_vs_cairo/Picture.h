#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test::vs_cairo {

// A drawn picture: premultiplied RGBA bytes, rows top first.
struct Picture
{
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
  uint8_t* At(int x, int y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }

  // Writes the picture as a PNG (through cairo, which takes premultiplied pixels as they are);
  // false when the file cannot be written.
  bool WritePng(const std::string& path) const;
};

} // namespace test::vs_cairo
