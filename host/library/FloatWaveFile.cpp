#include "FloatWaveFile.h"

#include <bit>
#include <cstring>
#include <vector>

namespace aaxhost {

namespace {

static_assert(std::endian::native == std::endian::little, "WAV samples are written as they lie in memory");

constexpr uint32_t kJunkBytes = 28;  // the size of the ds64 chunk's body that may replace it
constexpr uint32_t kFormatBytes = 18;
constexpr uint32_t kHeaderBytes = 12 + (8 + kJunkBytes) + (8 + kFormatBytes) + (8 + 4) + 8;

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Put64(std::vector<uint8_t>& out, uint64_t value)
{
  Put32(out, static_cast<uint32_t>(value));
  Put32(out, static_cast<uint32_t>(value >> 32));
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
  // Byte by byte: mingw's g++ 12 takes a range insert into the growing header for an overflow.
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(tag[i]));
}

// The header for `frames` frames; sizes of 0 while the data is still being written.
std::vector<uint8_t> Header(int channels, int sampleRate, uint64_t frames, bool rf64)
{
  const uint32_t frameBytes = 4u * static_cast<uint32_t>(channels);
  const uint64_t dataBytes = frames * frameBytes;
  const uint64_t riffBytes = kHeaderBytes - 8 + dataBytes;
  std::vector<uint8_t> out;
  PutTag(out, rf64 ? "RF64" : "RIFF");
  Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(riffBytes));
  PutTag(out, "WAVE");
  PutTag(out, rf64 ? "ds64" : "JUNK");
  Put32(out, kJunkBytes);
  Put64(out, rf64 ? riffBytes : 0);
  Put64(out, rf64 ? dataBytes : 0);
  Put64(out, rf64 ? frames : 0);
  Put32(out, 0);  // no table of other chunk sizes
  PutTag(out, "fmt ");
  Put32(out, kFormatBytes);
  Put16(out, 3);  // IEEE float
  Put16(out, static_cast<uint32_t>(channels));
  Put32(out, static_cast<uint32_t>(sampleRate));
  Put32(out, static_cast<uint32_t>(sampleRate) * frameBytes);
  Put16(out, frameBytes);
  Put16(out, 32);
  Put16(out, 0);  // no extension bytes follow
  PutTag(out, "fact");
  Put32(out, 4);
  Put32(out, frames > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(frames));
  PutTag(out, "data");
  Put32(out, rf64 ? 0xFFFFFFFFu : static_cast<uint32_t>(dataBytes));
  return out;
}

} // namespace

FloatWaveFile::FloatWaveFile(const std::string& path, int channels, int sampleRate) : mChannels(channels)
{
  mFile = std::fopen(path.c_str(), "wb");
  if (!mFile)
    return;
  const std::vector<uint8_t> header = Header(channels, sampleRate, 0, false);
  if (std::fwrite(header.data(), 1, header.size(), mFile) != header.size())
  {
    std::fclose(mFile);
    mFile = nullptr;
  }
  // The rate is written again with the sizes at the end.
  mSampleRate = sampleRate;
}

FloatWaveFile::~FloatWaveFile()
{
  if (mFile)
    std::fclose(mFile);
}

bool FloatWaveFile::Write(const float* interleaved, int64_t frames)
{
  const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(mChannels);
  if (std::fwrite(interleaved, sizeof(float), samples, mFile) != samples)
    return false;
  mFrames += static_cast<uint64_t>(frames);
  return true;
}

bool FloatWaveFile::Close(bool rf64, uint64_t wavLimitBytes)
{
  const uint64_t dataBytes = mFrames * 4u * static_cast<uint64_t>(mChannels);
  const bool large = rf64 || dataBytes > wavLimitBytes || kHeaderBytes - 8 + dataBytes > 0xFFFFFFFFull;
  const std::vector<uint8_t> header = Header(mChannels, mSampleRate, mFrames, large);
  bool ok = std::fflush(mFile) == 0 && std::fseek(mFile, 0, SEEK_SET) == 0 &&
            std::fwrite(header.data(), 1, header.size(), mFile) == header.size();
  ok = std::fclose(mFile) == 0 && ok;
  mFile = nullptr;
  return ok;
}

} // namespace aaxhost
