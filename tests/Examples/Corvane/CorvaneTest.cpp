#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "Corvane.h"
#include "OnePoleSmoother.h"
#include "reference/Saturation.h"
#include "support/ProcessingRig.h"

using namespace iplug;

namespace {

std::unique_ptr<Corvane> MakeCorvane()
{
  return std::unique_ptr<Corvane>(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
}

void SetParam(Corvane& plug, int idx, double value)
{
  plug.GetParam(idx)->SetValue(value);
  plug.OnParamChange(idx, kHost, -1);
}

std::vector<float> Sine(int n, double freq, double amplitude, double fs = 48000.0)
{
  std::vector<float> s(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    s[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * freq * i / fs));
  return s;
}

double Peak(const std::vector<float>& s, int from)
{
  double peak = 0.0;
  for (size_t i = static_cast<size_t>(from); i < s.size(); ++i)
    peak = std::max(peak, std::fabs(static_cast<double>(s[i])));
  return peak;
}

// Renders a stereo signal through a fresh instance at the given settings.
std::vector<std::vector<float>> RenderWith(const std::vector<std::pair<int, double>>& settings,
                                           const std::vector<std::vector<float>>& in, int blockSize = 512)
{
  auto plug = MakeCorvane();
  for (auto [idx, value] : settings)
    SetParam(*plug, idx, value);
  ProcessingRig rig(*plug, 2, 2);
  rig.Prepare(blockSize);
  std::vector<std::vector<float>> out;
  rig.Render(in, out, blockSize);
  return out;
}

} // namespace

TEST(CorvaneDefinition, IdentityAndParameters)
{
  auto plug = MakeCorvane();
  ASSERT_TRUE(plug);
  EXPECT_STREQ(plug->GetPluginName(), "Corvane");
  EXPECT_STREQ(plug->GetMfrName(), "Quillmarsh");
  EXPECT_EQ(plug->GetUniqueID(), FourCC("CRVN"));
  EXPECT_EQ(plug->GetMfrID(), FourCC("Qmsh"));
  EXPECT_EQ(plug->GetPluginVersion(), 0x30000);
  EXPECT_EQ(plug->GetEditorWidth(), 1086);
  EXPECT_EQ(plug->GetEditorHeight(), 214);
  EXPECT_EQ(plug->GetMinWidth(), 543);
  EXPECT_EQ(plug->GetMaxWidth(), 2172);
  EXPECT_EQ(plug->GetMinHeight(), 107);
  EXPECT_EQ(plug->GetMaxHeight(), 428);
  EXPECT_TRUE(plug->DoesStateChunks());
  EXPECT_EQ(plug->ChannelCount(kInput), 2);
  EXPECT_EQ(plug->ChannelCount(kOutput), 2);
  EXPECT_EQ(plug->GetLatency(), 0);
  EXPECT_EQ(plug->GetSampleRate(), 48000.0);

  struct Expected { const char* name; double min, max; const char* label; int type; bool stepped; };
  const Expected expected[kNumParams] = {
    {"Gain", -30, 30, "dB", IParam::kTypeDouble, false},
    {"Low Gain", -10, 10, "", IParam::kTypeDouble, false},
    {"High Gain", -10, 10, "", IParam::kTypeDouble, false},
    {"Output", -15, 15, "dB", IParam::kTypeDouble, false},
    {"Oversampling", 0, 1, "", IParam::kTypeInt, true},
    {"Bypass", 0, 1, "", IParam::kTypeInt, true},
  };
  ASSERT_EQ(plug->NParams(), kNumParams);
  for (int i = 0; i < kNumParams; ++i)
  {
    SCOPED_TRACE(expected[i].name);
    const IParam& p = *plug->GetParam(i);
    EXPECT_STREQ(p.Name(), expected[i].name);
    EXPECT_EQ(p.Min(), expected[i].min);
    EXPECT_EQ(p.Max(), expected[i].max);
    EXPECT_STREQ(p.Label(), expected[i].label);
    EXPECT_EQ(p.Type(), expected[i].type);
    EXPECT_EQ((p.Flags() & IParam::kFlagStepped) != 0, expected[i].stepped);
    EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
    EXPECT_EQ(p.Value(), 0.0);
    EXPECT_EQ(p.DisplayPrecision(), i < kOversampling ? 1 : 0);
  }
}

TEST(CorvaneDefinition, SwitchDisplays)
{
  auto plug = MakeCorvane();
  std::string text;
  plug->GetParam(kOversampling)->FormatValue(0.0, false, text);
  EXPECT_EQ(text, "Oversampling Off");
  plug->GetParam(kOversampling)->FormatValue(1.0, false, text);
  EXPECT_EQ(text, "Oversampling On");
  plug->GetParam(kBypass)->FormatValue(0.0, false, text);
  EXPECT_EQ(text, "0");
  plug->GetParam(kBypass)->FormatValue(1.0, false, text);
  EXPECT_EQ(text, "1");
}

TEST(CorvaneDefinition, DerivedValuesFollowParameters)
{
  auto plug = MakeCorvane();
  EXPECT_EQ(plug->DriveFactor(), 1.0);
  EXPECT_EQ(plug->OutputFactor(), 1.0);
  EXPECT_EQ(plug->BypassMultiplier(), 1.0);
  EXPECT_EQ(plug->OversamplingPasses(), 0);

  const struct { double gain, drive; } drives[] = {{-30, std::pow(10, -1.5)}, {0, 1.0}, {30, std::pow(10, 1.5)}};
  for (auto [gain, drive] : drives)
  {
    SetParam(*plug, kGain, gain);
    EXPECT_DOUBLE_EQ(plug->DriveFactor(), drive) << gain;
  }
  SetParam(*plug, kLowGain, -7.5);
  SetParam(*plug, kHighGain, 4.25);
  SetParam(*plug, kOutputLevel, -15);
  EXPECT_EQ(plug->LowTarget(), -7.5);
  EXPECT_EQ(plug->HighTarget(), 4.25);
  EXPECT_DOUBLE_EQ(plug->OutputFactor(), std::pow(10, -0.75));

  SetParam(*plug, kOversampling, 1);
  EXPECT_EQ(plug->OversamplingPasses(), 2);
  EXPECT_EQ(plug->LatencyFactor(), 64);
  SetParam(*plug, kBypass, 1);
  EXPECT_EQ(plug->BypassMultiplier(), 0.0);

  // Indices outside the product's six change nothing.
  plug->OnParamValueChange(6);
  plug->OnParamValueChange(-1);
  EXPECT_EQ(plug->BypassMultiplier(), 0.0);
  EXPECT_EQ(plug->OversamplingPasses(), 2);
}

TEST(CorvaneSaturation, CurveValues)
{
  const double t1 = std::tanh(1.0);
  const struct { double d, expected, tolerance; } cases[] = {
    {0.0, 0.0, 0.0},
    {1.0, std::sin(0.2 * t1) + t1, 1e-15},
    {-1.0, -t1, 1e-15},
    {0.5, 0.481, 5e-4},
    {2.0, 1.163, 5e-4},
    // tanh(10) is 1 - 4.1e-9, so S(10) sits that far below the positive ceiling.
    {10.0, 1.0 + std::sin(0.2), 5e-9},
    {-10.0, -1.0, 1e-8},
  };
  for (auto c : cases)
    EXPECT_NEAR(reference::Saturate(c.d), c.expected, c.tolerance) << "S(" << c.d << ")";

  // The two ceilings differ: nothing positive exceeds 1 + sin(0.2), nothing negative goes below -1.
  for (double d = 0.01; d < 100.0; d *= 1.1)
  {
    EXPECT_LT(reference::Saturate(d), 1.0 + std::sin(0.2) + 1e-12);
    EXPECT_GT(reference::Saturate(-d), -1.0 - 1e-12);
  }
}

TEST(CorvaneSmoother, CoefficientsFromSampleRate)
{
  const struct { double fs, seconds, samples; } cases[] = {
    {48000, 0.03, 1440}, {48000, 0.01, 480}, {44100, 0.03, 1323}, {44100, 0.01, 441}};
  for (auto c : cases)
  {
    OnePoleSmoother s;
    s.SetTime(c.fs, c.seconds);
    EXPECT_NEAR(s.a, std::exp(-2.0 * std::numbers::pi / c.samples), 1e-15) << c.fs << " " << c.seconds;
    EXPECT_DOUBLE_EQ(s.b, 1.0 - s.a);
  }
}

TEST(CorvaneSmoother, FlushesSubnormalState)
{
  OnePoleSmoother s{0.5, 0.5, std::numeric_limits<double>::denorm_min() * 4};
  EXPECT_EQ(s.Step(0.0), 0.0);
  EXPECT_EQ(s.z, 0.0);
}

TEST(CorvaneChain, SmallSignalGainAtDefaults)
{
  const int n = 48000;
  const auto sine = Sine(n, 1000.0, 0.001);
  auto out = RenderWith({}, {sine, sine});
  for (int ch = 0; ch < 2; ++ch)
  {
    const double peak = Peak(out[static_cast<size_t>(ch)], n / 2);
    EXPECT_NEAR(peak, 1.105e-3, 0.003e-3) << ch;
    EXPECT_NEAR(20 * std::log10(peak / 0.001), 0.87, 0.02);
  }
}

TEST(CorvaneChain, OversamplingDelaysByExactly64Samples)
{
  const int n = 8192;
  const auto sine = Sine(n, 1000.0, 0.001);
  auto plain = RenderWith({}, {sine, sine});
  auto oversampled = RenderWith({{kOversampling, 1}}, {sine, sine});
  for (int ch = 0; ch < 2; ++ch)
    for (int i = 2048; i < n; ++i)
      ASSERT_NEAR(oversampled[static_cast<size_t>(ch)][static_cast<size_t>(i)], plain[static_cast<size_t>(ch)][static_cast<size_t>(i - 64)], 2e-8) << "channel " << ch << " frame " << i;
}

TEST(CorvaneChain, BypassParameterIsTheIdentity)
{
  const int n = 4096;
  auto left = Sine(n, 440.0, 0.9);
  auto right = Sine(n, 3000.0, 0.5);
  for (double oversampling : {0.0, 1.0})
  {
    auto out = RenderWith({{kGain, 24}, {kOversampling, oversampling}, {kBypass, 1}}, {left, right}, 100);
    EXPECT_EQ(out[0], left);
    EXPECT_EQ(out[1], right);
  }
}

TEST(CorvaneChain, SplitBlocksGiveTheSameOutput)
{
  const int n = 3000;
  auto left = Sine(n, 440.0, 0.8);
  auto right = Sine(n, 5000.0, 0.3);
  const std::vector<std::pair<int, double>> settings = {{kGain, 12}, {kLowGain, 3}, {kHighGain, -4}, {kOversampling, 1}};
  auto whole = RenderWith(settings, {left, right}, n);
  for (int block : {1, 7, 64, 511})
    EXPECT_EQ(RenderWith(settings, {left, right}, block), whole) << "block size " << block;
}

namespace {
// A stereo block rendered straight through RenderBlock, with both outputs connected.
struct DirectRender
{
  std::unique_ptr<Corvane> plug = MakeCorvane();
  std::vector<double> inL, inR, outL, outR;

  DirectRender()
  {
    plug->ConnectChannels(kOutput, 0, 2, true);
    plug->ResetProcessing();
  }

  void Run(int n, double value = 0.001)
  {
    inL.assign(static_cast<size_t>(n), value);
    inR.assign(static_cast<size_t>(n), value);
    RunCurrent();
  }

  void RunCurrent()
  {
    const int n = static_cast<int>(inL.size());
    outL.assign(static_cast<size_t>(n), 0.0);
    outR.assign(static_cast<size_t>(n), 0.0);
    sample* in[2] = {inL.data(), inR.data()};
    sample* out[2] = {outL.data(), outR.data()};
    plug->RenderBlock(in, out, n);
  }
};
} // namespace

TEST(CorvaneLatency, FollowsOversamplingAndBypass)
{
  DirectRender r;
  r.Run(16);
  EXPECT_EQ(r.plug->GetLatency(), 0);

  SetParam(*r.plug, kOversampling, 1);
  r.Run(16);
  EXPECT_EQ(r.plug->GetLatency(), 64);

  SetParam(*r.plug, kBypass, 1);
  r.Run(16);
  EXPECT_EQ(r.plug->GetLatency(), 0);

  SetParam(*r.plug, kBypass, 0);
  r.Run(0);  // an empty block still checks the latency
  EXPECT_EQ(r.plug->GetLatency(), 64);

  SetParam(*r.plug, kOversampling, 0);
  r.Run(16);
  EXPECT_EQ(r.plug->GetLatency(), 0);
}

TEST(CorvaneChain, OutputGlidesButJumpsAfterReset)
{
  const double target = std::pow(10.0, -0.75);

  // Reference: default output level.
  DirectRender ref;
  ref.Run(8);

  // Output -15 dB with a reset: the very first sample already uses the new factor.
  DirectRender reset;
  SetParam(*reset.plug, kOutputLevel, -15);
  reset.plug->ResetProcessing();
  reset.Run(8);
  for (int i = 0; i < 8; ++i)
    EXPECT_NEAR(reset.outL[static_cast<size_t>(i)] / ref.outL[static_cast<size_t>(i)], target, 1e-9) << i;

  // Without a reset the level glides with the 10 ms smoother, two steps per frame.
  DirectRender glide;
  SetParam(*glide.plug, kOutputLevel, -15);
  glide.Run(8);
  const double a = std::exp(-2.0 * std::numbers::pi / 480.0);
  for (int i = 0; i < 8; ++i)
  {
    const double expectedLeft = target + (1.0 - target) * std::pow(a, 2 * i + 1);
    const double expectedRight = target + (1.0 - target) * std::pow(a, 2 * i + 2);
    EXPECT_NEAR(glide.outL[static_cast<size_t>(i)] / ref.outL[static_cast<size_t>(i)], expectedLeft, 1e-9) << i;
    EXPECT_NEAR(glide.outR[static_cast<size_t>(i)] / ref.outR[static_cast<size_t>(i)], expectedRight, 1e-9) << i;
  }
}

// A reset in the middle of oversampled processing forgets the half-band filters' history: what
// follows sounds as from a fresh instance, with no tail of the earlier signal in it.
TEST(CorvaneChain, ResetWhileOversamplingClearsTheFilters)
{
  DirectRender loud;
  SetParam(*loud.plug, kOversampling, 1);
  loud.Run(256, 0.9);
  loud.plug->ResetProcessing();
  DirectRender fresh;
  SetParam(*fresh.plug, kOversampling, 1);
  fresh.plug->ResetProcessing();

  loud.Run(200, 0.0);
  fresh.Run(200, 0.0);
  double worst = 0.0;
  for (size_t i = 0; i < 200; ++i)
    worst = std::max({worst, std::fabs(loud.outL[i] - fresh.outL[i]), std::fabs(loud.outR[i] - fresh.outR[i])});
  // Cleared filters leave at most a trace (measured 1.6e-7); filters that kept the loud signal
  // ring at more than 1e-3 (below).
  EXPECT_LT(worst, 1e-6);

  // Without the reset the filters still ring with the loud signal.
  DirectRender ringing;
  SetParam(*ringing.plug, kOversampling, 1);
  ringing.Run(256, 0.9);
  ringing.Run(200, 0.0);
  EXPECT_GT(std::fabs(ringing.outL[10] - fresh.outL[10]), 1e-3);
}

TEST(CorvaneChain, NonFiniteInputDoesNotPoisonTheFilters)
{
  const int n = 2048;
  const auto sine = Sine(n, 1000.0, 0.5);
  for (bool oversampling : {false, true})
  {
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()})
    {
      DirectRender poisoned, reference;
      SetParam(*poisoned.plug, kOversampling, oversampling);
      SetParam(*reference.plug, kOversampling, oversampling);
      poisoned.inL.assign(sine.begin(), sine.end());
      poisoned.inR.assign(sine.begin(), sine.end());
      reference.inL = poisoned.inL;
      reference.inR = poisoned.inR;
      poisoned.inL[100] = bad;
      poisoned.inR[200] = bad;
      reference.inL[100] = 0.0;
      reference.inR[200] = 0.0;
      poisoned.RunCurrent();
      reference.RunCurrent();
      for (int i = 0; i < n; ++i)
      {
        ASSERT_TRUE(std::isfinite(poisoned.outL[static_cast<size_t>(i)]) && std::isfinite(poisoned.outR[static_cast<size_t>(i)])) << i;
        ASSERT_EQ(poisoned.outL[static_cast<size_t>(i)], reference.outL[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(poisoned.outR[static_cast<size_t>(i)], reference.outR[static_cast<size_t>(i)]) << i;
      }
    }
  }
}

TEST(CorvaneChain, BypassedByMultiplierAdvancesNothing)
{
  // While bypassed, nothing advances: processing resumes exactly where it stopped.
  DirectRender a, b;
  a.Run(32, 0.2);
  b.Run(32, 0.2);
  SetParam(*a.plug, kBypass, 1);
  a.Run(100, 0.7);
  EXPECT_EQ(a.outL, a.inL);
  SetParam(*a.plug, kBypass, 0);
  a.Run(32, 0.2);
  b.Run(32, 0.2);
  EXPECT_EQ(a.outL, b.outL);
  EXPECT_EQ(a.outR, b.outR);
}
