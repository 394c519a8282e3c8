#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace iplug::igraphics::renderer {

// Decodes encoded pictures (PNG, JPEG and the other formats stb_image reads) into 8-bit RGBA
// rows, top row first, alpha not premultiplied.
class ImageDecoder
{
public:
  // The decoder's own buffer, handed over as it is: a copy would cost another allocation and
  // pass over every pixel (16 MB for the editor's knob strip).
  struct FreePixels
  {
    void operator()(uint8_t* pixels) const;
  };

  struct Image
  {
    int width = 0;
    int height = 0;
    std::unique_ptr<uint8_t[], FreePixels> pixels; // width × height × 4 bytes
  };

  // False for empty, truncated, corrupt or unsupported data; `out` is left empty then.
  static bool DecodeMemory(const uint8_t* data, size_t size, Image& out);
  // Reads the whole file, then decodes it as above.
  static bool DecodeFile(const char* path, Image& out);
};

} // namespace iplug::igraphics::renderer
