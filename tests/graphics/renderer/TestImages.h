#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// PNG bytes of an RGBA picture (rows top first), made with stb_image_write.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgba);

// The bytes of a file, empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

inline const char* kRobotoPath = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

} // namespace test
