#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost {

// Writes an RGBA image (top row first, 4 bytes per pixel) as a PNG file; false when the image is
// empty or inconsistent or the file cannot be written, and then no file is left behind.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

} // namespace aaxhost
