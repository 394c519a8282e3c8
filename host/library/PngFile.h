#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost {

// Writes an RGBA image (top row first, 4 bytes per pixel) as a PNG file; false when the image is
// empty or inconsistent or the file cannot be written, and then no file is left behind.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

// Reads a picture file as RGBA (top row first, 4 bytes per pixel; pictures without alpha get
// 255); false when the file cannot be read or decoded, and the outputs are then left alone.
bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba);

} // namespace aaxhost
