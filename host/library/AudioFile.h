#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost {

// Audio file input and output through libsndfile. Frames are interleaved 32-bit floats.
// Failures throw CommandError with a message that names the file and what went wrong.
class AudioFileReader
{
public:
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int Channels() const { return mChannels; }
  int SampleRate() const { return mSampleRate; }
  int64_t Frames() const { return mFrames; }
  // Reads up to `frames` frames; returns how many were read (0 at the end).
  int64_t Read(float* interleaved, int64_t frames);

private:
  std::string mPath;
  void* mFile = nullptr;
  int mChannels = 0;
  int mSampleRate = 0;
  int64_t mFrames = 0;
};

// Writes a 32-bit float WAV into a file beside the target and puts it in the target's place
// only on Commit, so a failed run leaves no partial file behind.
class AudioFileWriter
{
public:
  AudioFileWriter(const std::string& path, int channels, int sampleRate);
  // Without Commit the partial file is removed.
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  void Write(const float* interleaved, int64_t frames);
  void Commit();

private:
  void Close();

  std::string mPath;
  std::string mPartialPath;
  void* mFile = nullptr;
  bool mCommitted = false;
};

// Whole files of bytes (state chunks), written beside the target and moved into place.
std::vector<uint8_t> ReadBytes(const std::string& path, const char* what, size_t limit);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, const char* what);
// Throws CommandError when a file cannot be created at the path (missing folder, a folder in
// its place, no permission); nothing is left behind.
void CheckWritable(const std::string& path, const char* what);

} // namespace aaxhost
