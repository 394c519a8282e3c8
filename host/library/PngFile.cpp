#include "PngFile.h"

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

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

bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba)
{
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
  if (!pixels)
    return false;
  rgba.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 4u);
  stbi_image_free(pixels);
  width = w;
  height = h;
  return true;
}

} // namespace aaxhost
