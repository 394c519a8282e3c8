#include "AudioFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sndfile.h>
#include <unistd.h>

#include "ParameterSettings.h"

namespace aaxhost {

namespace {

std::string PartialPath(const std::string& path)
{
  return path + ".partial-" + std::to_string(::getpid());
}

std::string Quoted(const std::string& path)
{
  return "'" + path + "'";
}

// Puts the finished file in place of any earlier one of that name. The C library's rename
// refuses an existing target on Windows; the filesystem library's replaces it everywhere.
// Empty on success, otherwise why not.
std::string MoveIntoPlace(const std::string& partial, const std::string& path)
{
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  return error ? error.message() : std::string();
}

} // namespace

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path)
{
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw CommandError("cannot read input " + Quoted(path) + ": it is a folder");
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    throw CommandError("cannot read input " + Quoted(path) + ": " + sf_strerror(nullptr));
  mFile = file;
  mChannels = info.channels;
  mSampleRate = info.samplerate;
  mFrames = info.frames;
}

AudioFileReader::~AudioFileReader()
{
  if (mFile)
    sf_close(static_cast<SNDFILE*>(mFile));
}

int64_t AudioFileReader::Read(float* interleaved, int64_t frames)
{
  const sf_count_t read = sf_readf_float(static_cast<SNDFILE*>(mFile), interleaved, frames);
  if (read < 0 || (read == 0 && sf_error(static_cast<SNDFILE*>(mFile)) != SF_ERR_NO_ERROR))
    throw CommandError("cannot read input " + Quoted(mPath) + ": " + sf_strerror(static_cast<SNDFILE*>(mFile)));
  return read;
}

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate)
  : mPath(path), mPartialPath(PartialPath(path))
{
  CheckWritable(path, "output");
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(mPartialPath.c_str(), SFM_WRITE, &info);
  if (!file)
    throw CommandError("cannot write output " + Quoted(path) + ": " + sf_strerror(nullptr));
  mFile = file;
}

AudioFileWriter::~AudioFileWriter()
{
  Close();
  if (!mCommitted)
    std::remove(mPartialPath.c_str());
}

void AudioFileWriter::Close()
{
  if (mFile)
    sf_close(static_cast<SNDFILE*>(mFile));
  mFile = nullptr;
}

void AudioFileWriter::Write(const float* interleaved, int64_t frames)
{
  if (sf_writef_float(static_cast<SNDFILE*>(mFile), interleaved, frames) != frames)
    throw CommandError("cannot write output " + Quoted(mPath) + ": " + sf_strerror(static_cast<SNDFILE*>(mFile)));
}

void AudioFileWriter::Commit()
{
  const int closeError = mFile ? sf_close(static_cast<SNDFILE*>(mFile)) : 0;
  mFile = nullptr;
  if (closeError != 0)
    throw CommandError("cannot write output " + Quoted(mPath) + ": " + sf_error_number(closeError));
  if (const std::string reason = MoveIntoPlace(mPartialPath, mPath); !reason.empty())
    throw CommandError("cannot write output " + Quoted(mPath) + ": " + reason);
  mCommitted = true;
}

void CheckWritable(const std::string& path, const char* what)
{
  std::error_code error;
  if (path.empty())
    throw CommandError(std::string("no ") + what + " file given");
  if (std::filesystem::is_directory(path, error))
    throw CommandError(std::string("cannot write ") + what + " " + Quoted(path) + ": it is a folder");
  // A probe file beside the target shows that the folder exists and takes new files.
  const std::string probe = PartialPath(path) + ".probe";
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (!file)
    throw CommandError(std::string("cannot write ") + what + " " + Quoted(path) + ": " + std::strerror(errno));
  std::fclose(file);
  std::remove(probe.c_str());
}

std::vector<uint8_t> ReadBytes(const std::string& path, const char* what, size_t limit)
{
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw CommandError(std::string("cannot read ") + what + " " + Quoted(path) + ": it is a folder");
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw CommandError(std::string("cannot read ") + what + " " + Quoted(path) + ": " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  char buffer[4096];
  while (file.read(buffer, sizeof(buffer)) || file.gcount() > 0)
  {
    bytes.insert(bytes.end(), buffer, buffer + file.gcount());
    if (bytes.size() > limit)
      throw CommandError(std::string(what) + " " + Quoted(path) + " is too large (over " + std::to_string(limit) + " bytes)");
  }
  return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, const char* what)
{
  CheckWritable(path, what);
  const std::string partial = PartialPath(path);
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
    {
      std::remove(partial.c_str());
      throw CommandError(std::string("cannot write ") + what + " " + Quoted(path));
    }
  }
  if (const std::string reason = MoveIntoPlace(partial, path); !reason.empty())
  {
    std::remove(partial.c_str());
    throw CommandError(std::string("cannot write ") + what + " " + Quoted(path) + ": " + reason);
  }
}

} // namespace aaxhost
