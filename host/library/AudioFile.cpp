#include "AudioFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sndfile.h>
#include <unistd.h>

#include "AudioFileHeader.h"
#include "InterruptCleanup.h"
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
  SF_INFO info{};
  SNDFILE* file = nullptr;
  if (path == "-")
  {
    file = sf_open_fd(StandardInputDescriptor(), SFM_READ, &info, SF_FALSE);
  }
  else
  {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
      throw CommandError("cannot read input " + Quoted(path) + ": it is a folder");
    file = sf_open(path.c_str(), SFM_READ, &info);
  }
  if (!file)
    throw CommandError("cannot read input " + Quoted(path) + ": " + sf_strerror(nullptr));
  mFile = file;
  mChannels = info.channels;
  mSampleRate = info.samplerate;
  // A stream read from a pipe does not say how long it is.
  mFrames = info.frames == SF_COUNT_MAX ? -1 : info.frames;
  mAnnouncedFrames = mFrames;
  if (path != "-" && mFrames >= 0)
    mAnnouncedFrames = std::max(mFrames, HeaderAnnouncedFrames(path));
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
  mFramesRead += read;
  return read;
}

namespace {

AudioFormat FloatWav()
{
  AudioFormat format;
  format.sndfileFormat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  format.container = "WAV";
  format.floatSamples = true;
  format.sizeLimited = true;
  return format;
}

} // namespace

AudioFileWriter::AudioFileWriter(const std::string& path, int channels, int sampleRate)
  : AudioFileWriter(PlanOutput(path, false, "output"), FloatWav(), channels, sampleRate)
{
}

AudioFileWriter::AudioFileWriter(const OutputPlan& plan, const AudioFormat& format, int channels, int sampleRate,
                                 uint64_t dataLimitBytes)
  : mPlan(plan), mFormat(format), mChannels(channels), mDataLimitBytes(dataLimitBytes)
{
  const std::string cannot = "cannot write output " + Quoted(plan.shownPath) + ": ";
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = format.sndfileFormat;
  SNDFILE* file = nullptr;
  if (plan.Replaces())
  {
    mPartialPath = PartialPath(plan.replacePath);
    RemoveOnInterrupt(mPartialPath);
    const int container = format.sndfileFormat & SF_FORMAT_TYPEMASK;
    if (format.floatSamples && (container == SF_FORMAT_WAV || container == SF_FORMAT_RF64))
    {
      mWave = std::make_unique<FloatWaveFile>(mPartialPath, channels, sampleRate);
      if (mWave->IsOpen())
        return;
      const std::string reason = std::strerror(errno);
      mWave.reset();
      std::remove(mPartialPath.c_str());
      KeepOnInterrupt(mPartialPath);
      throw CommandError(cannot + reason);
    }
    file = sf_open(mPartialPath.c_str(), SFM_WRITE, &info);
    if (!file)
    {
      const std::string reason = sf_strerror(nullptr);
      std::remove(mPartialPath.c_str());
      KeepOnInterrupt(mPartialPath);
      throw CommandError(cannot + reason);
    }
  }
  else
  {
    OpenStream(mPlan, "output");
    if (format.needsSeeking && !mPlan.streamSeekable)
    {
      if (mPlan.ownsDescriptor)
        ::close(mPlan.streamDescriptor);
      throw CommandError(cannot + format.container +
                         " needs a file it can seek back in, and this is a pipe, socket or terminal; write a "
                         "streamable format instead (.flac, .ogg, .opus, .mp3 or .au; --type names one)");
    }
    file = sf_open_fd(mPlan.streamDescriptor, SFM_WRITE, &info, mPlan.ownsDescriptor ? SF_TRUE : SF_FALSE);
    if (!file)
    {
      if (mPlan.ownsDescriptor)
        ::close(mPlan.streamDescriptor);
      throw CommandError(cannot + sf_strerror(nullptr));
    }
  }
  mFile = file;
  if (format.autoDowngrade)
    sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
  Close();
  if (!mCommitted && !mPartialPath.empty())
  {
    std::remove(mPartialPath.c_str());
    KeepOnInterrupt(mPartialPath);
  }
}

void AudioFileWriter::Close()
{
  mWave.reset();
  if (mFile)
    sf_close(static_cast<SNDFILE*>(mFile));
  mFile = nullptr;
}

void AudioFileWriter::Write(const float* interleaved, int64_t frames)
{
  const uint64_t bytes = static_cast<uint64_t>(frames) * static_cast<uint64_t>(mChannels) *
                         static_cast<uint64_t>(mFormat.BytesPerSample());
  // Never a header whose sizes wrapped round: the run fails instead.
  if (mFormat.sizeLimited && mDataBytes + bytes > mDataLimitBytes)
    throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": the audio passes the " +
                       std::to_string(mDataLimitBytes) + " bytes that " + mFormat.container + " holds");
  mDataBytes += bytes;
  if (mWave)
  {
    if (!mWave->Write(interleaved, frames))
      throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " + std::strerror(errno));
    return;
  }
  if (mFormat.bits > 0)
  {
    WriteIntegers(interleaved, frames);
    return;
  }
  if (sf_writef_float(static_cast<SNDFILE*>(mFile), interleaved, frames) != frames)
    throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " +
                       sf_strerror(static_cast<SNDFILE*>(mFile)));
}

// Full scale is 2^(bits-1) steps; the dither is the difference of two uniform values of one step,
// triangular over two steps, so the error that rounding leaves no longer follows the signal.
void AudioFileWriter::WriteIntegers(const float* interleaved, int64_t frames)
{
  const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(mChannels);
  mIntegers.resize(count);
  const int bits = mFormat.bits;
  const double scale = std::ldexp(1.0, bits - 1);
  const double lowest = -scale, highest = scale - 1.0;
  const int64_t toTopBits = int64_t{1} << (32 - bits);
  const double noiseStep = 1.0 / (static_cast<double>(mDitherNoise.max()) - mDitherNoise.min() + 1.0);
  for (size_t i = 0; i < count; ++i)
  {
    const double sample = interleaved[i];
    double steps = std::isnan(sample) ? 0.0 : sample * scale;
    if (mFormat.dither)
    {
      const double a = (mDitherNoise() - mDitherNoise.min()) * noiseStep;
      const double b = (mDitherNoise() - mDitherNoise.min()) * noiseStep;
      steps += a - b;
    }
    const double rounded = std::clamp(std::floor(steps + 0.5), lowest, highest);
    mIntegers[i] = static_cast<int32_t>(static_cast<int64_t>(rounded) * toTopBits);
  }
  if (sf_writef_int(static_cast<SNDFILE*>(mFile), mIntegers.data(), frames) != frames)
    throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " +
                       sf_strerror(static_cast<SNDFILE*>(mFile)));
}

void AudioFileWriter::Commit()
{
  if (mWave)
  {
    const bool finished = mWave->Close(mFormat.container == "RF64" && !mFormat.autoDowngrade, mDataLimitBytes);
    const std::string reason = std::strerror(errno);
    mWave.reset();
    if (!finished)
      throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " + reason);
  }
  const int closeError = mFile ? sf_close(static_cast<SNDFILE*>(mFile)) : 0;
  mFile = nullptr;
  if (closeError != 0)
    throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " + sf_error_number(closeError));
  if (!mPlan.Replaces())
  {
    mCommitted = true;
    return;
  }
  // The replacement keeps the permissions of the file it replaces.
  std::error_code error;
  if (mPlan.keptMode >= 0)
    std::filesystem::permissions(mPartialPath, static_cast<std::filesystem::perms>(mPlan.keptMode), error);
  if (const std::string reason = MoveIntoPlace(mPartialPath, mPlan.replacePath); !reason.empty())
    throw CommandError("cannot write output " + Quoted(mPlan.shownPath) + ": " + reason);
  mCommitted = true;
  KeepOnInterrupt(mPartialPath);
}

void CheckWritable(const std::string& path, const char* what)
{
  std::error_code error;
  if (path.empty())
    throw CommandError(std::string("no ") + what + " file given");
  if (std::filesystem::is_directory(path, error))
    throw CommandError(CannotWriteMessage(what, path, "it is a folder"));
  // A probe file beside the target shows that the folder exists and takes new files.
  const std::string probe = PartialPath(path) + ".probe";
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (!file)
    throw CommandError(CannotWriteMessage(what, path, std::strerror(errno)));
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

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, const char* what, bool force)
{
  if (path == "-")
    throw CommandError(CannotWriteMessage(what, path, "standard output does not take one; name a file"));
  OutputPlan plan = PlanOutput(path, force, what);
  if (!plan.Replaces())
  {
    // A device or a named pipe takes the bytes as they are.
    OpenStream(plan, what);
    std::string reason;
    for (size_t at = 0; at < bytes.size() && reason.empty();)
    {
      const ssize_t n = ::write(plan.streamDescriptor, bytes.data() + at, bytes.size() - at);
      if (n < 0 && errno != EINTR)
        reason = std::strerror(errno);
      at += n > 0 ? static_cast<size_t>(n) : 0u;
    }
    if (plan.ownsDescriptor)
      ::close(plan.streamDescriptor);
    if (!reason.empty())
      throw CommandError(CannotWriteMessage(what, path, reason));
    return;
  }
  // As an audio output: written beside the file it replaces (a link's target) and moved into
  // place whole, with the permissions of the file it replaces.
  const std::string partial = PartialPath(plan.replacePath);
  RemoveOnInterrupt(partial);
  std::string reason;
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file)
      reason = std::strerror(errno);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file && reason.empty())
      reason = "the file could not be written in full";
  }
  std::error_code error;
  if (reason.empty() && plan.keptMode >= 0)
    std::filesystem::permissions(partial, static_cast<std::filesystem::perms>(plan.keptMode), error);
  if (reason.empty())
    reason = MoveIntoPlace(partial, plan.replacePath);
  if (!reason.empty())
    std::remove(partial.c_str());
  KeepOnInterrupt(partial);
  if (!reason.empty())
    throw CommandError(CannotWriteMessage(what, path, reason));
}

} // namespace aaxhost
