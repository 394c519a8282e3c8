#pragma once

// Runs the aaxhost command and reads and writes the audio files it works on.

#include <sndfile.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CommandResult
{
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string Quote(const std::string& text)
{
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline std::string ReadText(const std::filesystem::path& path)
{
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// aaxhost with the given arguments; standard output and error are captured separately.
inline CommandResult RunAaxhost(const std::vector<std::string>& args, const std::filesystem::path& scratch)
{
  const auto errPath = scratch / "stderr.txt";
  std::string command = Quote(AAXHOST_PATH);
  for (const auto& arg : args)
    command += " " + Quote(arg);
  command += " 2>" + Quote(errPath.string());
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return result;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadText(errPath);
  std::filesystem::remove(errPath);
  return result;
}

// Channels of an audio file, de-interleaved.
struct Audio
{
  int sampleRate = 0;
  std::vector<std::vector<float>> channels;
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

inline bool WriteWav(const std::filesystem::path& path, const Audio& audio, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
  SF_INFO info{};
  info.samplerate = audio.sampleRate;
  info.channels = static_cast<int>(audio.channels.size());
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    return false;
  std::vector<float> interleaved(audio.Frames() * audio.channels.size());
  for (size_t i = 0; i < audio.Frames(); ++i)
    for (size_t ch = 0; ch < audio.channels.size(); ++ch)
      interleaved[i * audio.channels.size() + ch] = audio.channels[ch][i];
  const bool ok = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio.Frames())) ==
                  static_cast<sf_count_t>(audio.Frames());
  return sf_close(file) == 0 && ok;
}

// Empty channels when the file cannot be read; `format` receives the file's format.
inline Audio ReadWav(const std::filesystem::path& path, int* format = nullptr)
{
  Audio audio;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    return audio;
  if (format)
    *format = info.format;
  audio.sampleRate = info.samplerate;
  std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.channels.assign(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(info.frames)));
  for (size_t i = 0; i < static_cast<size_t>(info.frames); ++i)
    for (size_t ch = 0; ch < static_cast<size_t>(info.channels); ++ch)
      audio.channels[ch][i] = interleaved[i * static_cast<size_t>(info.channels) + ch];
  return audio;
}

// A scratch folder of its own for one test, removed afterwards.
class ScratchFolder
{
public:
  explicit ScratchFolder(const std::string& name)
    : mPath(std::filesystem::temp_directory_path() / ("corvane-" + name + "-" + std::to_string(::getpid())))
  {
    std::filesystem::remove_all(mPath);
    std::filesystem::create_directories(mPath);
  }
  ~ScratchFolder() { std::filesystem::remove_all(mPath); }
  const std::filesystem::path& Path() const { return mPath; }
  std::filesystem::path operator/(const std::string& name) const { return mPath / name; }
  // Everything in the folder, by name.
  std::vector<std::string> Names() const
  {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mPath))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::filesystem::path mPath;
};
