// `aaxhost process` as a user meets it: values as typed, the format the name asks for, the
// output paths a shell offers (read-only files, links, pipes, "-"), interruptions, cut-short
// inputs and the plug-in's latency. Every case runs the real program.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "CommandRunner.h"

namespace {

constexpr int kRate = 48000;

Audio Silence(size_t frames, int channels = 2)
{
  Audio audio;
  audio.sampleRate = kRate;
  audio.channels.assign(static_cast<size_t>(channels), std::vector<float>(frames, 0.0f));
  return audio;
}

Audio Tone(size_t frames, double amplitude = 0.25)
{
  Audio audio = Silence(frames);
  for (size_t i = 0; i < frames; ++i)
    audio.channels[0][i] = audio.channels[1][i] = static_cast<float>(amplitude * std::sin(0.05 * static_cast<double>(i)));
  return audio;
}

size_t LoudestFrame(const std::vector<float>& channel)
{
  size_t at = 0;
  for (size_t i = 1; i < channel.size(); ++i)
    if (std::fabs(channel[i]) > std::fabs(channel[at]))
      at = i;
  return at;
}

// Frames read to the end: a stream's header may not say how many it holds.
size_t FramesInStream(const std::filesystem::path& path)
{
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    return 0;
  std::vector<float> buffer(4096 * static_cast<size_t>(info.channels));
  size_t frames = 0;
  while (const sf_count_t n = sf_readf_float(file, buffer.data(), 4096))
    frames += static_cast<size_t>(n);
  sf_close(file);
  return frames;
}

bool Installed(const char* tool)
{
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class ProcessCommandLine : public testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(WriteWav(scratch / "in.wav", Tone(2000))); }

  std::string In() const { return (scratch / "in.wav").string(); }
  std::string Out(const std::string& name = "out.wav") const { return (scratch / name).string(); }

  nlohmann::json Parameters(const CommandResult& result) const
  {
    return nlohmann::json::parse(result.out)["parameters"];
  }

  ScratchFolder scratch{"process-line"};
};

// ---- Values -------------------------------------------------------------------------------------

TEST_F(ProcessCommandLine, ValuesAreReadWholeOrRefused)
{
  struct Case
  {
    std::string setting;
    const char* message;  // part of the one line on standard error
  };
  const std::vector<Case> refused = {
    {"Gain=1,5", "'1,5' is not a value of parameter 'Gain'; it takes a number (in dB) from "},
    {"Gain=0x10", "'0x10' is not a value of parameter 'Gain'"},
    {"Gain=6abc", "'6abc' is not a value of parameter 'Gain'"},
    {"Gain=6 Hz", "'6 Hz' is not a value of parameter 'Gain'"},
    {"Gain=", "'' is not a value of parameter 'Gain'"},
    {"Gain=inf", "'inf' is not a value of parameter 'Gain'"},
    {"Gain=--6", "'--6' is not a value of parameter 'Gain'"},
    {"Bypass=maybe", "it takes 'Off' or 'On', or on/off, true/false, yes/no, 1/0 (in any case)"},
    {"Oversampling=2", "it takes 'Oversampling Off' or 'Oversampling On', or on/off"},
    {"Oversampling=Oversampling", "not a value of switch 'Oversampling'"},
    {"1=0x1", "takes a normalised number, not '0x1'"},
    {"1= 0.5", "takes a normalised number"},
  };
  for (const Case& c : refused)
  {
    const auto result = RunAaxhost({"process", In(), Out(), "--param", c.setting}, scratch.Path());
    EXPECT_EQ(result.status, 1) << c.setting;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.setting << ": " << result.err;
    EXPECT_FALSE(std::filesystem::exists(Out())) << c.setting;
  }

  struct Accepted
  {
    std::string setting;
    size_t index;       // in the summary's parameter list ("" first)
    const char* text;   // the value as the summary shows it
  };
  const std::vector<Accepted> accepted = {
    {"Gain=6", 1, "6.00dB"},          {"Gain=6dB", 1, "6.00dB"},     {"gain=+6 db", 1, "6.00dB"},
    {"Gain=-35 dB", 0, nullptr},   {"Gain=.5", 1, "0.50dB"},      {"Oversampling=On", 5, "Oversampling On"},
    {"Oversampling=oversampling on", 5, "Oversampling On"},          {"Oversampling=TRUE", 5, "Oversampling On"},
    {"Oversampling=no", 5, "Oversampling Off"},                      {"Bypass=Off", 6, "Off"},
    {"Bypass=yes", 6, "On"},          {"Bypass=1", 6, "On"},         {"Master Bypass=ON", 0, "On"},
    {"Master Bypass=off", 0, "Off"},  {"5=1", 5, "Oversampling On"},
  };
  for (const Accepted& c : accepted)
  {
    const auto result = RunAaxhost({"process", In(), Out(), "--param", c.setting, "--json"}, scratch.Path());
    if (!c.text)
    {
      // -35 dB is below Gain's range: a well-formed number is still checked against it.
      EXPECT_EQ(result.status, 1) << c.setting;
      EXPECT_NE(result.err.find("out of range"), std::string::npos) << c.setting << ": " << result.err;
      continue;
    }
    ASSERT_EQ(result.status, 0) << c.setting << ": " << result.err;
    EXPECT_EQ(Parameters(result)[c.index]["text"], c.text) << c.setting;
  }
}

// ---- Formats ------------------------------------------------------------------------------------

TEST_F(ProcessCommandLine, TheExtensionNamesTheFormat)
{
  struct Case
  {
    const char* name;
    std::vector<std::string> options;
    int format;          // as libsndfile reads the file back; 0: refused
    const char* message; // in the summary, or on standard error when refused
  };
  const std::vector<Case> cases = {
    {"out.wav", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV, 32-bit float"},
    {"out.WAV", {"--bits", "24"}, SF_FORMAT_WAV | SF_FORMAT_PCM_24, "WAV, 24-bit integer, dithered"},
    {"out.wav", {"--bits", "16", "--no-dither"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "WAV, 16-bit integer"},
    {"out.wav", {"--bits", "32"}, SF_FORMAT_WAV | SF_FORMAT_PCM_32, "WAV, 32-bit integer, dithered"},
    {"out.rf64", {}, SF_FORMAT_RF64 | SF_FORMAT_FLOAT, "RF64, 32-bit float"},
    {"out.w64", {"--bits", "float"}, SF_FORMAT_W64 | SF_FORMAT_FLOAT, "W64, 32-bit float"},
    {"out.aiff", {}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "AIFF, 32-bit float"},
    {"out.aif", {"--bits", "16"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "AIFF, 16-bit integer, dithered"},
    {"out.caf", {}, SF_FORMAT_CAF | SF_FORMAT_FLOAT, "CAF, 32-bit float"},
    {"out.au", {}, SF_FORMAT_AU | SF_FORMAT_FLOAT, "AU, 32-bit float"},
    {"out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC, 24-bit integer, dithered"},
    {"out.flac", {"--bits", "16"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "FLAC, 16-bit integer, dithered"},
    {"out.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS, "OGG Vorbis"},
    {"out.opus", {}, SF_FORMAT_OGG | SF_FORMAT_OPUS, "OGG Opus"},
    {"out.data", {"--type", "flac"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC"},
    {"out.xyz", {}, 0, "cannot tell the format of output '"},
    {"out", {}, 0, "from a name without an extension; aaxhost writes .wav, .wave, .rf64"},
    {"out.flac", {"--bits", "float"}, 0, "--bits takes 16 or 24 for FLAC, not 'float'"},
    {"out.flac", {"--bits", "32"}, 0, "--bits takes 16 or 24 for FLAC"},
    {"out.wav", {"--bits", "12"}, 0, "--bits takes 16, 24, 32 or float for WAV, not '12'"},
    {"out.ogg", {"--bits", "16"}, 0, "OGG Vorbis is a lossy encoding and takes no --bits"},
    {"out.wav", {"--type", "xyz"}, 0, "from the type 'xyz'"},
  };
  for (const Case& c : cases)
  {
    std::vector<std::string> args = {"process", In(), Out(c.name)};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto result = RunAaxhost(args, scratch.Path());
    const std::string what = std::string(c.name) + " " + (c.options.empty() ? "" : c.options[0]);
    if (c.format == 0)
    {
      EXPECT_EQ(result.status, 1) << what;
      EXPECT_NE(result.err.find(c.message), std::string::npos) << what << ": " << result.err;
      EXPECT_EQ(scratch.Names(), std::vector<std::string>{"in.wav"}) << what;
      continue;
    }
    ASSERT_EQ(result.status, 0) << what << ": " << result.err;
    EXPECT_NE(result.out.find(c.message), std::string::npos) << what << ": " << result.out;
    int format = 0;
    const Audio output = ReadWav(Out(c.name), &format);
    EXPECT_EQ(format, c.format) << what;
    EXPECT_EQ(output.Frames(), 2000u) << what;
    std::filesystem::remove(Out(c.name));
  }
}

// With the plug-in passed by, the file holds the input rounded to the depth asked for; the dither
// makes a level below one step audible on average instead of rounding it away.
TEST_F(ProcessCommandLine, IntegersAreDitheredUnlessAskedNot)
{
  const double step = 1.0 / 32768.0;
  Audio quiet = Silence(20000);
  for (auto& channel : quiet.channels)
    std::fill(channel.begin(), channel.end(), static_cast<float>(0.3 * step));
  ASSERT_TRUE(WriteWav(scratch / "quiet.wav", quiet));

  auto render = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"process", (scratch / "quiet.wav").string(), Out(), "--bits", "16",
                                     "--param", "Master Bypass=On"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto result = RunAaxhost(args, scratch.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    return ReadWav(Out());
  };
  const Audio plain = render({"--no-dither"});
  for (float x : plain.channels[0])
    ASSERT_EQ(x, 0.0f) << "0.3 of a step rounds to 0 without dither";

  const Audio dithered = render({});
  double sum = 0.0;
  for (float x : dithered.channels[0])
  {
    const double steps = x / step;
    ASSERT_EQ(steps, std::round(steps)) << "whole steps only";
    ASSERT_LE(std::fabs(steps), 1.0) << "triangular dither of one step either side";
    sum += steps;
  }
  EXPECT_NEAR(sum / static_cast<double>(dithered.Frames()), 0.3, 0.02) << "the dithered mean keeps the level";
  EXPECT_EQ(render({}).channels, dithered.channels) << "the same command gives the same file";
}

// A WAV past its 32-bit sizes would be corrupt: it becomes RF64. The limit is set small here
// through the AAXHOST_WAV_LIMIT_BYTES environment variable (bytes of audio a WAV may hold).
TEST_F(ProcessCommandLine, LargeWavBecomesRf64)
{
  struct Case
  {
    const char* limit;
    const char* name;
    int status;
    int format;
    const char* message;
  };
  // 2000 stereo frames of float: 16000 bytes of audio.
  const std::vector<Case> cases = {
    {"16000", "out.wav", 0, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV, 32-bit float"},
    {"15999", "out.wav", 0, SF_FORMAT_RF64 | SF_FORMAT_FLOAT, "RF64, 32-bit float"},
    {"7999", "out.wav", 0, SF_FORMAT_RF64 | SF_FORMAT_PCM_16, "RF64, 16-bit"},
    {"15999", "out.aiff", 1, 0, "pass the 15999 that AIFF holds; write .rf64, .w64 or .caf instead"},
  };
  for (const Case& c : cases)
  {
    setenv("AAXHOST_WAV_LIMIT_BYTES", c.limit, 1);
    std::vector<std::string> args = {"process", In(), Out(c.name)};
    if (std::string(c.limit) == "7999")
      args.insert(args.end(), {"--bits", "16"});
    const auto result = RunAaxhost(args, scratch.Path());
    unsetenv("AAXHOST_WAV_LIMIT_BYTES");
    ASSERT_EQ(result.status, c.status) << c.limit << ": " << result.err;
    if (c.status != 0)
    {
      EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
      EXPECT_FALSE(std::filesystem::exists(Out(c.name)));
      continue;
    }
    EXPECT_NE(result.out.find(c.message), std::string::npos) << c.limit << ": " << result.out;
    int format = 0;
    EXPECT_EQ(ReadWav(Out(c.name), &format).Frames(), 2000u) << c.limit;
    EXPECT_EQ(format, c.format) << c.limit;
  }
}

// Another tool reads what we write: sox takes the float WAV without its warning about the
// format chunk, and the RF64 file at its full length.
TEST_F(ProcessCommandLine, SoxReadsTheFilesBack)
{
  if (!Installed("sox"))
    GTEST_SKIP() << "sox is not installed (scripts/setup installs it)";
  setenv("AAXHOST_WAV_LIMIT_BYTES", "1000", 1);
  const auto rf64 = RunAaxhost({"process", In(), Out("big.wav")}, scratch.Path());
  unsetenv("AAXHOST_WAV_LIMIT_BYTES");
  ASSERT_EQ(rf64.status, 0) << rf64.err;
  const auto plain = RunAaxhost({"process", In(), Out("float.wav")}, scratch.Path());
  ASSERT_EQ(plain.status, 0) << plain.err;
  const auto flac = RunAaxhost({"process", In(), Out("out.flac")}, scratch.Path());
  ASSERT_EQ(flac.status, 0) << flac.err;

  for (const char* name : {"float.wav", "big.wav", "out.flac"})
  {
    const std::string command = "sox " + Quote(Out(name)) + " -n stat 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
      text.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << name << ": " << text;
    EXPECT_EQ(text.find("WARN"), std::string::npos) << name << ": " << text;
    EXPECT_NE(text.find("Samples read:              4000"), std::string::npos) << name << ": " << text;
  }
}

// ---- Where the output goes ---------------------------------------------------------------------

TEST_F(ProcessCommandLine, ReadOnlyFilesAreKeptUnlessForced)
{
  { std::ofstream(Out()) << "keep me"; }
  chmod(Out().c_str(), 0444);
  const auto refused = RunAaxhost({"process", In(), Out()}, scratch.Path());
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("cannot write output '" + Out() + "': the file is read-only (--force replaces it)"),
            std::string::npos)
    << refused.err;
  EXPECT_EQ(ReadText(Out()), "keep me");

  const auto forced = RunAaxhost({"process", In(), Out(), "--force"}, scratch.Path());
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(ReadWav(Out()).Frames(), 2000u);
  struct stat status{};
  ASSERT_EQ(stat(Out().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0444u) << "the replacement keeps the permissions of the file it replaced";

  chmod(Out().c_str(), 0640);
  ASSERT_EQ(RunAaxhost({"process", In(), Out()}, scratch.Path()).status, 0);
  ASSERT_EQ(stat(Out().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

TEST_F(ProcessCommandLine, LinksAreWrittenThroughToTheirTarget)
{
  std::filesystem::create_directories(scratch / "real");
  { std::ofstream(scratch / "real" / "target.wav") << "old"; }
  std::filesystem::create_symlink("real/target.wav", scratch / "link.wav");
  std::filesystem::create_symlink("real/new.wav", scratch / "dangling.wav");

  for (const char* link : {"link.wav", "dangling.wav"})
  {
    const auto result = RunAaxhost({"process", In(), Out(link)}, scratch.Path());
    ASSERT_EQ(result.status, 0) << link << ": " << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(scratch / link)) << link << " is still a link";
    EXPECT_EQ(ReadWav(Out(link)).Frames(), 2000u) << link;
  }
  EXPECT_EQ(ReadWav(scratch / "real" / "target.wav").Frames(), 2000u);
  EXPECT_EQ(ReadWav(scratch / "real" / "new.wav").Frames(), 2000u);
}

TEST_F(ProcessCommandLine, PipesAndStandardOutputAreStreams)
{
  const std::string fifo = Out("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A reader that takes whatever arrives; it also lets a refused run's open go through.
  auto readAll = [&](const std::string& into) {
    return std::thread([fifo, into] {
      std::ifstream in(fifo, std::ios::binary);
      std::ofstream out(into, std::ios::binary);
      out << in.rdbuf();
    });
  };

  std::thread reader = readAll(Out("from-fifo.flac"));
  const auto streamed = RunAaxhost({"process", In(), fifo, "--type", "flac"}, scratch.Path());
  reader.join();
  ASSERT_EQ(streamed.status, 0) << streamed.err;
  EXPECT_EQ(FramesInStream(Out("from-fifo.flac")), 2000u);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << "a pipe is written to, never replaced";

  reader = readAll(Out("refused.bin"));
  const auto wav = RunAaxhost({"process", In(), fifo, "--type", "wav"}, scratch.Path());
  reader.join();
  EXPECT_EQ(wav.status, 1);
  EXPECT_NE(wav.err.find("WAV needs a file it can seek back in, and this is a pipe"), std::string::npos) << wav.err;
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));

  // "-": standard output carries the audio, the summary moves to standard error.
  const auto out = RunAaxhost({"process", In(), "-", "--type", "au"}, scratch.Path());
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_NE(out.err.find("output peak:"), std::string::npos) << out.err;
  { std::ofstream(Out("stdout.au"), std::ios::binary) << out.out; }
  EXPECT_EQ(FramesInStream(Out("stdout.au")), 2000u);

  // Without a type it is a WAV: refused on a pipe, written where standard output is a file.
  const auto wavOut = RunAaxhost({"process", In(), "-"}, scratch.Path());
  EXPECT_EQ(wavOut.status, 1);
  EXPECT_NE(wavOut.err.find("WAV needs a file it can seek back in"), std::string::npos) << wavOut.err;
  const std::string redirected = Quote(AAXHOST_PATH) + " process " + Quote(In()) + " - > " + Quote(Out("stdout.wav")) +
                                 " 2>/dev/null";
  EXPECT_EQ(std::system(redirected.c_str()), 0);
  EXPECT_EQ(ReadWav(Out("stdout.wav")).Frames(), 2000u);

  // "-" reads standard input too.
  const std::string command = Quote(AAXHOST_PATH) + " process - " + Quote(Out("from-stdin.wav")) + " < " + Quote(In()) +
                              " >/dev/null 2>" + Quote(Out("err.txt"));
  EXPECT_EQ(std::system(command.c_str()), 0) << ReadText(Out("err.txt"));
  EXPECT_EQ(ReadWav(Out("from-stdin.wav")).Frames(), 2000u);

  const auto folder = RunAaxhost({"process", In(), scratch.Path().string(), "--type", "wav"}, scratch.Path());
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("it is a folder"), std::string::npos) << folder.err;
}

// Interrupted while it waits for more input (a pipe that a writer holds open), the program removes
// its unfinished file and exits with 128 + the signal's number.
TEST_F(ProcessCommandLine, InterruptionRemovesThePartialFile)
{
  for (const int signalNumber : {SIGINT, SIGTERM})
  {
    ScratchFolder folder("process-signal");
    const std::string fifo = (folder / "in.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string out = (folder / "out.wav").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execl(AAXHOST_PATH, AAXHOST_PATH, "process", fifo.c_str(), out.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // A WAV header and a little audio, then the writer keeps the pipe open.
    const std::filesystem::path source = folder / "source.wav";
    ASSERT_TRUE(WriteWav(source, Tone(4800)));
    const std::string bytes = ReadText(source);
    const int writer = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));

    auto partial = [&] {
      for (const auto& name : folder.Names())
        if (name.rfind("out.wav.partial-", 0) == 0)
          return true;
      return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!partial() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(partial()) << "the render never began";

    kill(child, signalNumber);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(writer);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << signalNumber;
    EXPECT_EQ(WEXITSTATUS(status), 128 + signalNumber);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"in.fifo", "source.wav"})) << "signal " << signalNumber;
  }
}

// ---- What the render holds ---------------------------------------------------------------------

TEST_F(ProcessCommandLine, TruncatedInputIsNamedAndRefused)
{
  ASSERT_TRUE(WriteWav(scratch / "whole.wav", Tone(1000), SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string whole = ReadText(scratch / "whole.wav");
  { std::ofstream(scratch / "cut.wav", std::ios::binary) << whole.substr(0, 100); }
  const std::string cut = (scratch / "cut.wav").string();
  const size_t held = ReadWav(cut).Frames();  // what is left after the header
  ASSERT_GT(held, 0u);
  ASSERT_LT(held, 1000u);

  const auto refused = RunAaxhost({"process", cut, Out()}, scratch.Path());
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("input '" + cut + "' is truncated: its header announces 1000 frames, " +
                             std::to_string(held) + " could be read"),
            std::string::npos)
    << refused.err;
  EXPECT_FALSE(std::filesystem::exists(Out()));

  const auto allowed = RunAaxhost({"process", cut, Out(), "--allow-truncated"}, scratch.Path());
  ASSERT_EQ(allowed.status, 0) << allowed.err;
  EXPECT_NE(allowed.err.find("warning: input '" + cut + "' is truncated"), std::string::npos) << allowed.err;
  EXPECT_EQ(ReadWav(Out()).Frames(), held);

  const auto complete = RunAaxhost({"process", (scratch / "whole.wav").string(), Out()}, scratch.Path());
  ASSERT_EQ(complete.status, 0) << complete.err;
  EXPECT_EQ(complete.err, "");
}

// As a DAW's bounce: an impulse at frame N comes out at frame N with oversampling on, and the
// output is as long as the input; the raw stream lags by the reported latency and loses its end.
TEST_F(ProcessCommandLine, LatencyIsCompensatedByDefault)
{
  struct Case
  {
    size_t frames;
    size_t impulse;
    std::vector<std::string> options;
    size_t expectedAt;
    const char* latency;
  };
  const std::vector<Case> cases = {
    {1000, 200, {}, 200, "64 samples, compensated"},
    {1000, 200, {"--block", "7"}, 200, "64 samples, compensated"},
    {1000, 970, {}, 970, "64 samples, compensated"},  // within the last 64: only compensation keeps it
    {40, 10, {"--block", "16"}, 10, "64 samples, compensated"},  // shorter than the latency
    {1000, 200, {"--no-latency-compensation"}, 264, "64 samples, not compensated"},
  };
  for (const Case& c : cases)
  {
    Audio impulse = Silence(c.frames);
    impulse.channels[0][c.impulse] = impulse.channels[1][c.impulse] = 0.5f;
    ASSERT_TRUE(WriteWav(scratch / "impulse.wav", impulse));
    std::vector<std::string> args = {"process", (scratch / "impulse.wav").string(), Out(), "--param",
                                     "Oversampling=On"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto result = RunAaxhost(args, scratch.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(c.latency), std::string::npos) << result.out;
    const Audio output = ReadWav(Out());
    ASSERT_EQ(output.Frames(), c.frames);
    EXPECT_EQ(LoudestFrame(output.channels[0]), c.expectedAt) << c.impulse;
    EXPECT_EQ(LoudestFrame(output.channels[1]), c.expectedAt) << c.impulse;
  }
}

} // namespace
