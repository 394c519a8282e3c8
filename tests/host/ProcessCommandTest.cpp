#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CommandRunner.h"
#include "reference/Render.h"

namespace {

constexpr int kRate = 48000;

// A short plucked-string-like tone on the left and a rising sine sweep on the right, loud enough
// to reach the curve's bend.
Audio TestSignal(size_t frames, int channels = 2)
{
  Audio audio;
  audio.sampleRate = kRate;
  audio.channels.assign(static_cast<size_t>(channels), std::vector<float>(frames));
  double phase = 0.0;
  for (size_t i = 0; i < frames; ++i)
  {
    const double t = static_cast<double>(i) / kRate;
    double pluck = 0.0;
    for (int h = 1; h <= 6; ++h)
      pluck += std::sin(2.0 * M_PI * 196.0 * h * t) * std::exp(-t * (4.0 + 3.0 * h)) / h;
    phase += 2.0 * M_PI * (60.0 + 12000.0 * t / (static_cast<double>(frames) / kRate)) / kRate;
    audio.channels[0][i] = static_cast<float>(0.7 * pluck);
    if (channels > 1)
      audio.channels[1][i] = static_cast<float>(0.5 * std::sin(phase));
  }
  return audio;
}

// The largest difference between the module's output and the reference, over every channel.
double MaxDifference(const Audio& rendered, const std::vector<std::vector<double>>& expected)
{
  double worst = 0.0;
  for (size_t ch = 0; ch < expected.size(); ++ch)
    for (size_t i = 0; i < expected[ch].size(); ++i)
      worst = std::max(worst, std::fabs(static_cast<double>(rendered.channels[ch][i]) - expected[ch][i]));
  return worst;
}

class ProcessCommand : public testing::Test
{
protected:
  ScratchFolder scratch{"process"};
};

struct ChainCase
{
  bool oversampling;
  int block;
  int frames = 9000;  // past 65536 the file is read and written in more than one chunk
};

void PrintTo(const ChainCase& c, std::ostream* out)
{
  *out << (c.oversampling ? "oversampling on" : "oversampling off") << ", blocks of " << c.block << ", "
       << c.frames << " frames";
}

class ProcessMatchesTheChain : public ProcessCommand, public testing::WithParamInterface<ChainCase>
{
};

TEST_P(ProcessMatchesTheChain, WithinOneMillionthPerSample)
{
  const ChainCase c = GetParam();
  const Audio input = TestSignal(static_cast<size_t>(c.frames));
  ASSERT_TRUE(WriteWav(scratch / "in.wav", input));

  // Names with texts and identifiers with normalised values, mixed.
  const auto result = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "out.wav").string(),
                                  "--param", "Gain=12", "--param", "2=0.3", "--param", "High Gain=6",
                                  "--param", "4=0.4", "--param", std::string("Oversampling=") + (c.oversampling ? "1" : "0"),
                                  "--block", std::to_string(c.block), "--no-latency-compensation", "--json"},
                                 scratch.Path());
  ASSERT_EQ(result.status, 0) << result.err;
  const auto summary = nlohmann::json::parse(result.out);
  EXPECT_EQ(summary["latency"], c.oversampling ? 64 : 0);
  EXPECT_EQ(summary["block_size"], c.block);
  EXPECT_EQ(summary["blocks"], (c.frames + c.block - 1) / c.block);

  int format = 0;
  const Audio output = ReadWav(scratch / "out.wav", &format);
  EXPECT_EQ(format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(output.sampleRate, kRate);
  ASSERT_EQ(output.channels.size(), 2u);
  ASSERT_EQ(output.Frames(), input.Frames());

  reference::Settings settings;
  settings.gainDb = 12.0;
  settings.low = -4.0;
  settings.high = 6.0;
  settings.outputDb = -3.0;
  settings.oversampling = c.oversampling;
  // Blocks larger than the prepared 512 frames run in pieces: the same signal at every block size.
  std::vector<std::vector<double>> expected(2);
  reference::Render(settings, kRate, reference::kNoReset, input.channels[0], input.channels[1], expected[0], expected[1]);
  EXPECT_LT(MaxDifference(output, expected), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, ProcessMatchesTheChain,
                         testing::Values(ChainCase{false, 1}, ChainCase{false, 7}, ChainCase{false, 512},
                                         ChainCase{false, 4096}, ChainCase{true, 1}, ChainCase{true, 7},
                                         ChainCase{true, 512}, ChainCase{true, 4096}, ChainCase{false, 7, 70000},
                                         ChainCase{true, 4096, 70000}),
                         [](const auto& caseInfo) {
                           return std::string(caseInfo.param.oversampling ? "Oversampled" : "Plain") + "Block" +
                                  std::to_string(caseInfo.param.block) + "Frames" + std::to_string(caseInfo.param.frames);
                         });

TEST_F(ProcessCommand, MonoFileRunsThroughTheMonoComponentAsTheLeftChannelWithSilenceBeside)
{
  const Audio input = TestSignal(4000, 1);
  ASSERT_TRUE(WriteWav(scratch / "mono.wav", input, SF_FORMAT_WAV | SF_FORMAT_PCM_24));
  const Audio stored = ReadWav(scratch / "mono.wav");  // what the 24-bit file really holds
  const auto result = RunAaxhost({"process", (scratch / "mono.wav").string(), (scratch / "out.wav").string(),
                                  "--param", "Gain=20", "--json"},
                                 scratch.Path());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(nlohmann::json::parse(result.out)["component"], "mono (IEF1)");

  const Audio output = ReadWav(scratch / "out.wav");
  ASSERT_EQ(output.channels.size(), 1u);
  reference::Settings settings;
  settings.gainDb = 20.0;
  std::vector<std::vector<double>> expected(1);
  std::vector<double> right;
  reference::Render(settings, kRate, reference::kNoReset, stored.channels[0], std::vector<float>(stored.Frames(), 0.0f), expected[0],
                    right);
  EXPECT_LT(MaxDifference(output, expected), 1e-6);
}

TEST_F(ProcessCommand, SummaryAndStateFilesRoundTrip)
{
  ASSERT_TRUE(WriteWav(scratch / "in.wav", TestSignal(2000)));
  const auto first = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "a.wav").string(), "--param",
                                 "Low Gain=-2.5", "--param", "Oversampling=1", "--save-state",
                                 (scratch / "a.state").string()},
                                scratch.Path());
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("component:     stereo (IEF2)"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("latency:       64 samples"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("Low Gain:      -2.50"), std::string::npos) << first.out;
  EXPECT_EQ(std::filesystem::file_size(scratch / "a.state"), 60u);

  // The state brings the same settings back: the same output, sample for sample.
  const auto second = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "b.wav").string(), "--state",
                                  (scratch / "a.state").string()},
                                 scratch.Path());
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(ReadWav(scratch / "a.wav").channels, ReadWav(scratch / "b.wav").channels);

  // Settings given with a state override it.
  const auto third = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "c.wav").string(), "--state",
                                 (scratch / "a.state").string(), "--param", "5=0", "--json"},
                                scratch.Path());
  ASSERT_EQ(third.status, 0) << third.err;
  EXPECT_EQ(nlohmann::json::parse(third.out)["latency"], 0);

  const auto shown = RunAaxhost({"state", (scratch / "a.state").string(), "--json"}, scratch.Path());
  ASSERT_EQ(shown.status, 0) << shown.err;
  const auto state = nlohmann::json::parse(shown.out);
  EXPECT_EQ(state["chunk"], "CRVN");
  EXPECT_EQ(state["bytes"], 60);
  // The editor record is whatever the editor last left there (nothing: it never opened).
  EXPECT_TRUE(state["editor"]["width"].is_number_integer());
  EXPECT_TRUE(state["editor"]["scale"].is_number());
  ASSERT_EQ(state["parameters"].size(), 6u);
  EXPECT_EQ(state["parameters"][1]["name"], "Low Gain");
  EXPECT_DOUBLE_EQ(state["parameters"][1]["value"].get<double>(), -2.5);
  EXPECT_EQ(state["parameters"][1]["text"], "-2.50");
  EXPECT_EQ(state["parameters"][4]["text"], "Oversampling On");

  const auto written = RunAaxhost({"state", "--write", (scratch / "w.state").string(), "--param", "Output=-6",
                                   "--param", "Gain=3", "--json"},
                                  scratch.Path());
  ASSERT_EQ(written.status, 0) << written.err;
  const auto made = nlohmann::json::parse(written.out);
  EXPECT_DOUBLE_EQ(made["parameters"][3]["value"].get<double>(), -6.0);
  EXPECT_EQ(made["parameters"][0]["text"], "3.00dB");
  EXPECT_EQ(std::filesystem::file_size(scratch / "w.state"), 60u);
}

TEST_F(ProcessCommand, BadInputExitsWithOneMessageAndLeavesNoOutput)
{
  ASSERT_TRUE(WriteWav(scratch / "in.wav", TestSignal(600)));
  std::filesystem::create_directories(scratch / "folder");
  { std::ofstream(scratch / "notes.txt") << "these are not samples\n"; }
  { std::ofstream(scratch / "short.state") << "0123456789"; }
  Audio surround;
  surround.sampleRate = kRate;
  surround.channels.assign(3, std::vector<float>(100, 0.1f));
  ASSERT_TRUE(WriteWav(scratch / "three.wav", surround));
  const std::string in = (scratch / "in.wav").string();
  const std::string out = (scratch / "out.wav").string();

  struct Case
  {
    const char* what;
    std::vector<std::string> args;
    const char* message;  // a part of the one line on standard error
  };
  const std::vector<Case> cases = {
    {"missing input", {"process", (scratch / "none.wav").string(), out}, "cannot read input"},
    {"unreadable input", {"process", (scratch / "folder").string(), out}, "cannot read input"},
    {"not audio", {"process", (scratch / "notes.txt").string(), out}, "cannot read input"},
    {"three channels", {"process", (scratch / "three.wav").string(), out}, "mono or stereo"},
    {"unknown name", {"process", in, out, "--param", "Drive=3"}, "unknown parameter 'Drive'"},
    {"unknown identifier", {"process", in, out, "--param", "9=0.5"}, "unknown parameter identifier '9'"},
    {"no equals sign", {"process", in, out, "--param", "Gain"}, "KEY=VALUE"},
    {"normalised above 1", {"process", in, out, "--param", "1=1.5"}, "out of range"},
    {"normalised below 0", {"process", in, out, "--param", "3=-0.1"}, "out of range"},
    {"normalised not a number", {"process", in, out, "--param", "3=nan"}, "normalised number"},
    {"text above the range", {"process", in, out, "--param", "Gain=31"}, "out of range"},
    {"text below the range", {"process", in, out, "--param", "Output=-15.5dB"}, "out of range"},
    {"step above the last", {"process", in, out, "--param", "Oversampling=2"}, "not a value of switch"},
    {"not a value", {"process", in, out, "--param", "Master Bypass=maybe"}, "not a value"},
    {"zero block", {"process", in, out, "--block", "0"}, "block size"},
    {"negative block", {"process", in, out, "--block", "-3"}, "block size"},
    {"output in a missing folder", {"process", in, (scratch / "nowhere" / "out.wav").string()}, "cannot write output"},
    {"output is a folder", {"process", in, (scratch / "folder").string()}, "cannot write output"},
    {"state of the wrong size", {"process", in, out, "--state", (scratch / "short.state").string()}, "60"},
    {"missing state", {"process", in, out, "--state", (scratch / "none.state").string()}, "cannot read state file"},
    {"state saved to a missing folder", {"process", in, out, "--save-state", (scratch / "nowhere" / "s").string()}, "cannot write state file"},
    {"missing module", {"process", "--module", (scratch / "none.aaxplugin").string(), in, out}, "none.aaxplugin"},
    {"state command, short file", {"state", (scratch / "short.state").string()}, "60"},
  };
  const auto before = scratch.Names();
  for (const Case& c : cases)
  {
    const auto result = RunAaxhost(c.args, scratch.Path());
    EXPECT_NE(result.status, 0) << c.what;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.what << ": " << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.what << ": " << result.err;
    EXPECT_EQ(scratch.Names(), before) << c.what << ": a file was left behind";
  }
}

TEST_F(ProcessCommand, NamedSettingsTakeDisplayTextsAndSteps)
{
  ASSERT_TRUE(WriteWav(scratch / "in.wav", TestSignal(300)));
  const auto result = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "out.wav").string(), "--param",
                                  "master bypass=on", "--param", "Bypass=1", "--param", "High Gain=-7.25", "--json"},
                                 scratch.Path());
  ASSERT_EQ(result.status, 0) << result.err;
  const auto parameters = nlohmann::json::parse(result.out)["parameters"];
  EXPECT_EQ(parameters[0]["text"], "On") << "the host's master bypass reads Off and On";
  EXPECT_EQ(parameters[3]["text"], "-7.25");
  EXPECT_EQ(parameters[6]["text"], "On");
  // The master bypass passes the input straight through at zero latency.
  EXPECT_EQ(ReadWav(scratch / "out.wav").channels, ReadWav(scratch / "in.wav").channels);

  const auto stepped = RunAaxhost({"process", (scratch / "in.wav").string(), (scratch / "out.wav").string(), "--param",
                                   "Master Bypass=1", "--json"},
                                  scratch.Path());
  ASSERT_EQ(stepped.status, 0) << stepped.err;
  EXPECT_EQ(nlohmann::json::parse(stepped.out)["parameters"][0]["text"], "On") << "step 1 of the discrete bypass";
}

} // namespace

namespace {

TEST_F(ProcessCommand, DemoSignalIsTheSameEveryTime)
{
  const auto first = RunAaxhost({"signal", (scratch / "a.wav").string(), "--seconds", "0.5"}, scratch.Path());
  const auto second = RunAaxhost({"signal", (scratch / "b.wav").string(), "--seconds", "0.5"}, scratch.Path());
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  const Audio a = ReadWav(scratch / "a.wav");
  EXPECT_EQ(a.sampleRate, 48000);
  ASSERT_EQ(a.channels.size(), 2u);
  EXPECT_EQ(a.Frames(), 24000u);
  EXPECT_EQ(a.channels, ReadWav(scratch / "b.wav").channels);
  float peak = 0.0f;
  for (const auto& channel : a.channels)
    for (float x : channel)
      peak = std::max(peak, std::fabs(x));
  EXPECT_GT(peak, 0.1f);
  EXPECT_LT(peak, 1.0f);

  const auto bad = RunAaxhost({"signal", (scratch / "c.wav").string(), "--seconds", "0"}, scratch.Path());
  EXPECT_NE(bad.status, 0);
  EXPECT_FALSE(std::filesystem::exists(scratch / "c.wav"));
}

} // namespace
