#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace aaxhost {

// A 32-bit float WAV written the way other tools expect it: a format chunk of the IEEE-float
// tag with its extension size (libsndfile 1.2 writes none, and sox warns about its float WAV,
// its extensible float WAV and its RF64 alike), a fact chunk, and room reserved at the start (a
// JUNK chunk) so that a file whose data passes what a WAV's 32-bit sizes hold is closed as RF64
// in place, at a limit the caller sets (libsndfile's own switch to RF64 is fixed at 4 GiB). Only
// regular files: a WAV cannot stream, so pipes get the formats libsndfile streams.
class FloatWaveFile
{
public:
  FloatWaveFile(const std::string& path, int channels, int sampleRate);
  ~FloatWaveFile();
  FloatWaveFile(const FloatWaveFile&) = delete;
  FloatWaveFile& operator=(const FloatWaveFile&) = delete;

  bool IsOpen() const { return mFile != nullptr; }
  // Interleaved frames; false when the write failed.
  bool Write(const float* interleaved, int64_t frames);
  // Fills in the sizes, as RF64 when `rf64` or when the data passes `wavLimitBytes`; false when
  // the file could not be finished.
  bool Close(bool rf64, uint64_t wavLimitBytes);

private:
  std::FILE* mFile = nullptr;
  int mChannels = 0;
  int mSampleRate = 0;
  uint64_t mFrames = 0;
};

} // namespace aaxhost
