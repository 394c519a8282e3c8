#include "AudioFileHeader.h"

#include <cstring>
#include <fstream>

namespace aaxhost {

namespace {

uint64_t Little(const unsigned char* bytes, int count)
{
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | bytes[i];
  return value;
}

uint64_t Big(const unsigned char* bytes, int count)
{
  uint64_t value = 0;
  for (int i = 0; i < count; ++i)
    value = (value << 8) | bytes[i];
  return value;
}

bool ReadAt(std::ifstream& file, uint64_t offset, unsigned char* bytes, size_t count)
{
  file.clear();
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
  return static_cast<size_t>(file.gcount()) == count;
}

// RIFF and RF64: the data chunk's size (or ds64's for RF64) over the fmt chunk's frame size.
int64_t WaveFrames(std::ifstream& file, bool rf64)
{
  uint64_t dataBytes = 0, frameBytes = 0;
  bool dataSeen = false;
  uint64_t at = 12;
  for (int chunks = 0; chunks < 64 && !dataSeen; ++chunks)
  {
    unsigned char head[8];
    if (!ReadAt(file, at, head, sizeof(head)))
      return -1;
    const uint64_t size = Little(head + 4, 4);
    unsigned char body[16] = {};
    if (std::memcmp(head, "ds64", 4) == 0 && ReadAt(file, at + 8, body, 16))
      dataBytes = Little(body + 8, 8);
    else if (std::memcmp(head, "fmt ", 4) == 0 && ReadAt(file, at + 8, body, 14))
      frameBytes = Little(body + 12, 2);
    else if (std::memcmp(head, "data", 4) == 0)
    {
      if (!rf64)
        dataBytes = size;
      dataSeen = true;
    }
    at += 8 + size + (size & 1);
  }
  // A streamed WAV gives 0 or the largest size: no announcement.
  if (!dataSeen || frameBytes == 0 || dataBytes == 0 || (!rf64 && dataBytes >= 0xFFFFFFF0ull))
    return -1;
  return static_cast<int64_t>(dataBytes / frameBytes);
}

int64_t AiffFrames(std::ifstream& file)
{
  uint64_t at = 12;
  for (int chunks = 0; chunks < 64; ++chunks)
  {
    unsigned char head[8];
    if (!ReadAt(file, at, head, sizeof(head)))
      return -1;
    const uint64_t size = Big(head + 4, 4);
    unsigned char body[6];
    if (std::memcmp(head, "COMM", 4) == 0)
      return ReadAt(file, at + 8, body, sizeof(body)) ? static_cast<int64_t>(Big(body + 2, 4)) : -1;
    at += 8 + size + (size & 1);
  }
  return -1;
}

} // namespace

int64_t HeaderAnnouncedFrames(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  unsigned char head[12];
  if (!file || !ReadAt(file, 0, head, sizeof(head)))
    return -1;
  if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0)
    return WaveFrames(file, false);
  if (std::memcmp(head, "RF64", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0)
    return WaveFrames(file, true);
  if (std::memcmp(head, "FORM", 4) == 0 && (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0))
    return AiffFrames(file);
  return -1;
}

} // namespace aaxhost
