#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "AudioFormat.h"
#include "FloatWaveFile.h"
#include "OutputPath.h"

namespace aaxhost {

// Audio file input and output through libsndfile. Frames are interleaved 32-bit floats.
// Failures throw CommandError with a message that names the file and what went wrong.
class AudioFileReader
{
public:
  // "-" reads standard input.
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int Channels() const { return mChannels; }
  int SampleRate() const { return mSampleRate; }
  // The frames the file holds; -1 when a stream does not say.
  int64_t Frames() const { return mFrames; }
  // The frames the file's header announces (at least Frames(); more when it was cut short).
  int64_t AnnouncedFrames() const { return mAnnouncedFrames; }
  int64_t FramesRead() const { return mFramesRead; }
  // Reads up to `frames` frames; returns how many were read (0 at the end).
  int64_t Read(float* interleaved, int64_t frames);

private:
  std::string mPath;
  void* mFile = nullptr;
  int mChannels = 0;
  int mSampleRate = 0;
  int64_t mFrames = 0;
  int64_t mAnnouncedFrames = 0;
  int64_t mFramesRead = 0;
};

// Writes an audio file. A file that replaces a path is written beside it and put in its place
// only on Commit, so a failed or interrupted run leaves no partial file behind; a device, pipe
// or standard output is written as the frames come. Integer encodings are reached by rounding,
// with TPDF dither of one step either side when the format asks for it.
class AudioFileWriter
{
public:
  // A 32-bit float WAV.
  AudioFileWriter(const std::string& path, int channels, int sampleRate);
  AudioFileWriter(const OutputPlan& plan, const AudioFormat& format, int channels, int sampleRate,
                  uint64_t dataLimitBytes = kWavLimitBytes);
  // Without Commit the partial file is removed.
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  void Write(const float* interleaved, int64_t frames);
  void Commit();

private:
  void Close();
  void WriteIntegers(const float* interleaved, int64_t frames);

  OutputPlan mPlan;
  AudioFormat mFormat;
  int mChannels = 0;
  uint64_t mDataLimitBytes = 0;
  uint64_t mDataBytes = 0;
  std::string mPartialPath;
  void* mFile = nullptr;
  std::unique_ptr<FloatWaveFile> mWave;  // float WAV and RF64 files, written without libsndfile
  bool mCommitted = false;
  std::vector<int32_t> mIntegers;
  std::minstd_rand mDitherNoise{20261210};  // the same command gives the same file
};

// Whole files of bytes (state chunks, reports).
std::vector<uint8_t> ReadBytes(const std::string& path, const char* what, size_t limit);
// Written as an audio output is: a regular file is written beside the file it replaces and moved
// into place whole, keeping its permissions; a link is written through to its target; a
// read-only file is refused unless `force`; a device or named pipe takes the bytes as they are.
// Throws CommandError ("cannot write WHAT 'PATH': REASON"), leaving any earlier file untouched.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, const char* what, bool force = false);
// Throws CommandError when a file cannot be created at the path (missing folder, a folder in
// its place, no permission); nothing is left behind.
void CheckWritable(const std::string& path, const char* what);

} // namespace aaxhost
