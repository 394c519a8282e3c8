#include "ImageDecoder.h"

#include "LargeBlocks.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#define STBI_NO_STDIO // files are read here, so that paths work the same everywhere
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
// A picture's working buffers are as large as the picture (16 MB for the editor's knob strip) and
// most are freed as soon as it is decoded: taken from the C library's allocator, freeing them would
// move that allocator's threshold for large blocks for the rest of the host's life. The pixels
// handed out come from here too, and FreePixels gives them back.
#define STBI_MALLOC(size) compat::AllocateLargeBlock(size)
#define STBI_REALLOC(pointer, size) compat::ReallocateLargeBlock(pointer, size)
#define STBI_FREE(pointer) compat::FreeLargeBlock(pointer)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace iplug::igraphics::renderer {

void ImageDecoder::FreePixels::operator()(uint8_t* pixels) const
{
  compat::FreeLargeBlock(pixels);
}

namespace {

// Larger files than this are not pictures an editor would load.
constexpr std::streamoff kMaxFileSize = 256 * 1024 * 1024;

} // namespace

bool ImageDecoder::DecodeMemory(const uint8_t* data, size_t size, Image& out)
{
  out = Image{};
  if (!data || size == 0 || size > size_t(INT_MAX))
    return false;
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, int(size), &w, &h, &channels, 4);
  if (!pixels)
    return false;
  if (w <= 0 || h <= 0)
  {
    stbi_image_free(pixels);
    return false;
  }
  out.width = w;
  out.height = h;
  out.pixels.reset(pixels);
  return true;
}

bool ImageDecoder::DecodeFile(const char* path, Image& out)
{
  out = Image{};
  if (!path)
    return false;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file)
    return false;
  const std::streamoff size = file.tellg();
  if (size <= 0 || size > kMaxFileSize)
    return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
    return false;
  return DecodeMemory(bytes.data(), bytes.size(), out);
}

} // namespace iplug::igraphics::renderer
