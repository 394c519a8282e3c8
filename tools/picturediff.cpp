// picturediff ACTUAL REFERENCE [--crop LEFT TOP] [--difference OUT.png]
//   compares two pictures of one face with the validator's tolerance: the same size, and at most
//   one pixel in 5000 with a channel more than 8 levels away. Prints what differs; exits 0 when
//   the pictures match, 1 when they differ or cannot be read. With --difference, writes a picture
//   of where they differ. Each picture is a PNG file or an X window dump (xwd, true colour at 32
//   bits a pixel: what an X server shows of a window). Used to check that the Windows build's
//   editor, run on Wine's X display, shows what the Linux build's shows.

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PictureComparison.h"
#include "PngFile.h"

namespace {

constexpr int kChannelTolerance = 8;
constexpr double kAllowedFraction = 1.0 / 5000.0;

// An X window dump: a header of big-endian 32-bit fields, the window's name, the colour map,
// then the rows.
bool ReadXwd(const char* path, aaxhost::Picture& picture)
{
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  constexpr size_t kFields = 25;
  if (bytes.size() < kFields * 4)
    return false;
  std::array<uint32_t, kFields> field{};
  for (size_t i = 0; i < kFields; ++i)
    field[i] = uint32_t{bytes[4 * i]} << 24 | uint32_t{bytes[4 * i + 1]} << 16 | uint32_t{bytes[4 * i + 2]} << 8 |
               uint32_t{bytes[4 * i + 3]};
  const uint32_t headerSize = field[0], version = field[1], format = field[2], width = field[4], height = field[5],
                 byteOrder = field[7], bitsPerPixel = field[11], bytesPerLine = field[12], redMask = field[14],
                 greenMask = field[15], blueMask = field[16], colours = field[19];
  constexpr uint32_t kZPixmap = 2, kVersion = 7, kMaxSide = 1u << 15;
  if (version != kVersion || format != kZPixmap || bitsPerPixel != 32 || width < 1 || height < 1 ||
      width > kMaxSide || height > kMaxSide || bytesPerLine < width * 4 || redMask != 0xff0000u ||
      greenMask != 0x00ff00u || blueMask != 0x0000ffu || headerSize < kFields * 4 || colours > 65536)
    return false;
  const size_t start = size_t{headerSize} + size_t{colours} * 12u;
  if (bytes.size() < start + size_t{bytesPerLine} * height)
    return false;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.rgba.resize(size_t{width} * height * 4u);
  for (size_t y = 0; y < height; ++y)
    for (size_t x = 0; x < width; ++x)
    {
      const uint8_t* p = &bytes[start + y * bytesPerLine + x * 4];
      // Least significant byte first: blue, green, red, pad; else the other way round.
      const bool lsbFirst = byteOrder == 0;
      uint8_t* out = &picture.rgba[(y * width + x) * 4];
      out[0] = lsbFirst ? p[2] : p[1];
      out[1] = lsbFirst ? p[1] : p[2];
      out[2] = lsbFirst ? p[0] : p[3];
      out[3] = 255;
    }
  return true;
}

bool Read(const char* path, aaxhost::Picture& picture)
{
  if (aaxhost::ReadPng(path, picture.width, picture.height, picture.rgba) || ReadXwd(path, picture))
    return true;
  std::fprintf(stderr, "picturediff: '%s' cannot be read as a picture\n", path);
  return false;
}

// The reference without its first `left` columns and `top` rows.
aaxhost::Picture Cropped(const aaxhost::Picture& picture, int left, int top)
{
  aaxhost::Picture out;
  out.width = picture.width - left;
  out.height = picture.height - top;
  if (out.width < 1 || out.height < 1)
    return {};
  out.rgba.reserve(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 4u);
  for (int y = top; y < picture.height; ++y)
  {
    const auto row = picture.rgba.begin() + (static_cast<ptrdiff_t>(y) * picture.width + left) * 4;
    out.rgba.insert(out.rgba.end(), row, row + static_cast<ptrdiff_t>(out.width) * 4);
  }
  return out;
}

bool Count(const char* text, int& value)
{
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end || v < 0 || v > 4096)
    return false;
  value = static_cast<int>(v);
  return true;
}

} // namespace

int main(int argc, char** argv)
{
  const char* differencePath = nullptr;
  int left = 0, top = 0;
  bool usable = argc >= 3;
  for (int i = 3; usable && i < argc; ++i)
  {
    const std::string option = argv[i];
    if (option == "--difference" && i + 1 < argc)
      differencePath = argv[++i];
    else if (option == "--crop" && i + 2 < argc)
    {
      usable = Count(argv[i + 1], left) && Count(argv[i + 2], top);
      i += 2;
    }
    else
      usable = false;
  }
  if (!usable)
  {
    std::fprintf(stderr, "usage: picturediff ACTUAL REFERENCE [--crop LEFT TOP] [--difference OUT.png]\n");
    return 1;
  }
  aaxhost::Picture actual, reference;
  if (!Read(argv[1], actual) || !Read(argv[2], reference))
    return 1;
  if (left > 0 || top > 0)
    reference = Cropped(reference, left, top);
  const aaxhost::PictureComparison comparison = aaxhost::ComparePictures(actual, reference, kChannelTolerance);
  if (!comparison.sameSize)
  {
    std::printf("picturediff: %d x %d against %d x %d\n", actual.width, actual.height, reference.width,
                reference.height);
    return 1;
  }
  std::printf("picturediff: %s\n", comparison.Describe(kChannelTolerance).c_str());
  if (differencePath)
  {
    const aaxhost::Picture difference = aaxhost::DifferencePicture(actual, reference, kChannelTolerance);
    aaxhost::WritePng(differencePath, difference.width, difference.height, difference.rgba);
  }
  return comparison.Within(kAllowedFraction) ? 0 : 1;
}
