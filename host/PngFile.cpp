#include "PngFile.h"

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace aaxhost {

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
  if (width < 1 || height < 1 ||
      rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4u)
    return false;
  if (stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4))
    return true;
  std::remove(path.c_str());
  return false;
}

} // namespace aaxhost
