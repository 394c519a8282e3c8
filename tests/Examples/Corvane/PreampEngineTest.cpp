// The staged engine behind RenderBlock against the plainly written reference chain: the same
// numbers (within 1e-9) on hard signals, at every block size, with and without oversampling, with
// settled and gliding controls, on every instruction set this processor has; and the same output,
// to the bit, however the host splits its blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Corvane.h"
#include "HalfbandFilter.h"
#include "HalfbandTaps.h"
#include "IParam.h"
#include "OnePoleSmoother.h"
#include "PreampEngine.h"
#include "PreampState.h"
#include "ToneBiquad.h"
#include "VectorMath.h"
#include "reference/PreampChain.h"
#include "reference/Saturation.h"

using namespace iplug;

namespace
{
constexpr double kRate = 48000.0;

// Puts the dispatcher back to the processor's best set when a test is done with forcing one.
struct SimdLevelScope
{
  ~SimdLevelScope() { UseSimdLevel(BestSimdLevel()); }
};

std::vector<SimdLevel> SupportedLevels()
{
  std::vector<SimdLevel> levels;
  for (SimdLevel level : {SimdLevel::kSse2, SimdLevel::kAvx2, SimdLevel::kAvx512})
    if (SimdLevelSupported(level))
      levels.push_back(level);
  return levels;
}

using Stereo = std::vector<std::vector<double>>;

Stereo Noise(int n)
{
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> full(-1.0, 1.0);
  Stereo s(2, std::vector<double>(static_cast<size_t>(n)));
  for (int i = 0; i < n; ++i)
  {
    s[0][static_cast<size_t>(i)] = full(rng);
    s[1][static_cast<size_t>(i)] = full(rng);
  }
  return s;
}

// Full-scale exponential sweeps from 20 Hz to 20 kHz, the right channel running downwards.
Stereo Sweep(int n)
{
  Stereo s(2, std::vector<double>(static_cast<size_t>(n)));
  const double ratio = std::log(1000.0);
  for (int i = 0; i < n; ++i)
  {
    const double t = static_cast<double>(i) / n;
    const double phaseUp = 2.0 * std::numbers::pi * 20.0 * n / kRate / ratio * (std::exp(ratio * t) - 1.0);
    const double phaseDown = 2.0 * std::numbers::pi * 20000.0 * n / kRate / ratio * (1.0 - std::exp(-ratio * t));
    s[0][static_cast<size_t>(i)] = std::sin(phaseUp);
    s[1][static_cast<size_t>(i)] = std::sin(phaseDown);
  }
  return s;
}

// Full-scale square waves: the steepest steps the chain can get.
Stereo Square(int n)
{
  Stereo s(2, std::vector<double>(static_cast<size_t>(n)));
  for (int i = 0; i < n; ++i)
  {
    s[0][static_cast<size_t>(i)] = (i / 37) % 2 == 0 ? 1.0 : -1.0;
    s[1][static_cast<size_t>(i)] = (i / 503) % 2 == 0 ? -1.0 : 1.0;
  }
  return s;
}

struct Settings
{
  double gain, low, high, output;
};

// A scenario: settings before the reset, then (for gliding controls) new targets at frame 0 and
// again at kSecondChange, each far enough from the last that every smoother glides.
struct Scenario
{
  const char* signal;
  bool oversampling;
  bool gliding;
};

constexpr int kSecondChange = 700;
constexpr Settings kSettled = {18.0, 4.0, -6.0, -3.0};
constexpr Settings kGlideStart = {-30.0, -10.0, 10.0, 15.0};
constexpr Settings kGlideFirst = {30.0, 10.0, -10.0, -15.0};
constexpr Settings kGlideSecond = {6.0, -10.0, 10.0, 0.0};

Stereo SignalFor(const std::string& name, int n)
{
  if (name == "noise")
    return Noise(n);
  if (name == "sweep")
    return Sweep(n);
  return Square(n);
}

reference::Settings ReferenceSettings(const Settings& s, bool oversampling)
{
  return {s.gain, s.low, s.high, s.output, oversampling};
}

Stereo RenderReference(const Scenario& sc, const Stereo& in)
{
  const int n = static_cast<int>(in[0].size());
  reference::PreampChain chain;
  chain.SetSampleRate(kRate);
  const Settings first = sc.gliding ? kGlideStart : kSettled;
  chain.SetParameters(ReferenceSettings(first, sc.oversampling));
  chain.Reset();
  Stereo out(2, std::vector<double>(static_cast<size_t>(n)));
  int pos = 0;
  auto run = [&](int end) {
    const double* ip[2] = {in[0].data() + pos, in[1].data() + pos};
    double* op[2] = {out[0].data() + pos, out[1].data() + pos};
    chain.Process(ip, op, end - pos);
    pos = end;
  };
  if (sc.gliding)
  {
    chain.SetParameters(ReferenceSettings(kGlideFirst, sc.oversampling));
    run(kSecondChange);
    chain.SetParameters(ReferenceSettings(kGlideSecond, sc.oversampling));
  }
  run(n);
  return out;
}

void Apply(Corvane& plug, const Settings& s)
{
  const std::pair<int, double> values[] = {{kGain, s.gain}, {kLowGain, s.low}, {kHighGain, s.high}, {kOutputLevel, s.output}};
  for (auto [idx, value] : values)
  {
    plug.GetParam(idx)->SetValue(value);
    plug.OnParamValueChange(idx);
  }
}

// Renders the first `frames` frames through RenderBlock in host blocks of blockSize frames; a
// parameter change falls between two blocks, as a host delivers it.
Stereo RenderProduct(const Scenario& sc, const Stereo& in, int frames, int blockSize)
{
  std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  plug->SetSampleRate(kRate);
  plug->ConnectChannels(kOutput, 0, 2, true);
  Apply(*plug, sc.gliding ? kGlideStart : kSettled);
  plug->GetParam(kOversampling)->SetValue(sc.oversampling ? 1.0 : 0.0);
  plug->OnParamValueChange(kOversampling);
  plug->ResetProcessing();
  if (sc.gliding)
    Apply(*plug, kGlideFirst);

  Stereo io = in; // rendered in place, as hosts often do
  for (auto& ch : io)
    ch.resize(static_cast<size_t>(frames));
  for (int pos = 0; pos < frames;)
  {
    if (sc.gliding && pos == kSecondChange)
      Apply(*plug, kGlideSecond);
    int end = std::min(pos + blockSize, frames);
    if (sc.gliding && pos < kSecondChange && end > kSecondChange)
      end = kSecondChange;
    sample* ptrs[2] = {io[0].data() + pos, io[1].data() + pos};
    plug->RenderBlock(ptrs, ptrs, end - pos);
    pos = end;
  }
  return io;
}

std::vector<int> BlockSizes()
{
  std::vector<int> sizes;
  for (int n = 1; n <= 70; ++n)
    sizes.push_back(n);
  for (int n : {71, 97, 127, 128, 211, 255, 256, 257, 509, 512, 1021, 1024, 2039, 2048, 4093, 4096})
    sizes.push_back(n);
  return sizes;
}

// Enough frames for a few blocks of every size, and for the second change of the gliding controls.
int FramesFor(int blockSize)
{
  return std::max(1500, 2 * blockSize + 301);
}

} // namespace

TEST(PreampEngine, MatchesTheReferenceChainAtEveryBlockSize)
{
  SimdLevelScope restore;
  const std::vector<int> sizes = BlockSizes();
  const int longest = FramesFor(sizes.back());
  const Scenario scenarios[] = {
    {"noise", false, false}, {"noise", true, false}, {"noise", false, true}, {"noise", true, true},
    {"sweep", false, false}, {"sweep", true, false}, {"sweep", false, true}, {"sweep", true, true},
    {"square", false, false}, {"square", true, false}, {"square", false, true}, {"square", true, true},
  };

  for (const Scenario& sc : scenarios)
  {
    const Stereo in = SignalFor(sc.signal, longest);
    const Stereo expected = RenderReference(sc, in);
    for (SimdLevel level : SupportedLevels())
    {
      ASSERT_TRUE(UseSimdLevel(level));
      SCOPED_TRACE(std::string(sc.signal) + (sc.oversampling ? ", oversampling" : ", no oversampling")
                   + (sc.gliding ? ", gliding" : ", settled") + ", " + SimdLevelName(level));
      // The whole signal in one block is the reference every split must reproduce to the bit.
      const Stereo whole = RenderProduct(sc, in, longest, longest);
      for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < longest; ++i)
          ASSERT_NEAR(whole[static_cast<size_t>(ch)][static_cast<size_t>(i)], expected[static_cast<size_t>(ch)][static_cast<size_t>(i)], 1e-9)
              << "channel " << ch << " frame " << i;

      for (int blockSize : sizes)
      {
        const int frames = FramesFor(blockSize);
        const Stereo split = RenderProduct(sc, in, frames, blockSize);
        for (int ch = 0; ch < 2; ++ch)
          for (int i = 0; i < frames; ++i)
            ASSERT_EQ(split[static_cast<size_t>(ch)][static_cast<size_t>(i)], whole[static_cast<size_t>(ch)][static_cast<size_t>(i)]) << "block size " << blockSize << " channel " << ch << " frame " << i;
      }
    }
  }
}

// Settled tone controls run their filters in segments of frames; a change that reaches the tone
// filters in the middle of a segment sends them back to stepping frame by frame, and they return
// to segments once the coefficients rest again. Here: the sample rate changes in the middle of a
// segment (new designs, and the smoothers move by an ulp or so before resting again), the output
// level changes (tone untouched), then the low control starts a glide, again in mid-segment. Every
// split must give the whole render to the bit, and the whole render the reference's numbers.
TEST(PreampEngine, ToneSegmentsLeaveAndReturnAtAnyFrame)
{
  SimdLevelScope restore;
  struct Event
  {
    int frame;
    double rate;
    Settings settings;
  };
  constexpr Settings kChangedOutput = {18.0, 4.0, -6.0, 5.0};
  constexpr Settings kChangedLow = {18.0, -7.0, -6.0, 5.0};
  const Event events[] = {{0, kRate, kSettled}, {701, 44100.0, kSettled}, {1203, 44100.0, kChangedOutput},
                          {1606, 44100.0, kChangedLow}};
  constexpr int kFrames = 2000;
  const Stereo in = Noise(kFrames);

  Stereo expected(2, std::vector<double>(kFrames));
  {
    reference::PreampChain chain;
    for (size_t e = 0; e < std::size(events); ++e)
    {
      const int end = e + 1 < std::size(events) ? events[e + 1].frame : kFrames;
      chain.SetSampleRate(events[e].rate);
      chain.SetParameters(ReferenceSettings(events[e].settings, false));
      if (e == 0)
        chain.Reset();
      const double* ip[2] = {in[0].data() + events[e].frame, in[1].data() + events[e].frame};
      double* op[2] = {expected[0].data() + events[e].frame, expected[1].data() + events[e].frame};
      chain.Process(ip, op, end - events[e].frame);
    }
  }

  const auto render = [&](int blockSize) {
    std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
    plug->SetSampleRate(kRate);
    plug->ConnectChannels(kOutput, 0, 2, true);
    Apply(*plug, kSettled);
    plug->ResetProcessing();
    Stereo io = in;
    size_t next = 1;
    for (int pos = 0; pos < kFrames;)
    {
      if (next < std::size(events) && pos == events[next].frame)
      {
        plug->SetSampleRate(events[next].rate);
        Apply(*plug, events[next].settings);
        ++next;
      }
      int end = std::min(pos + blockSize, kFrames);
      if (next < std::size(events))
        end = std::min(end, events[next].frame);
      sample* ptrs[2] = {io[0].data() + pos, io[1].data() + pos};
      plug->RenderBlock(ptrs, ptrs, end - pos);
      pos = end;
    }
    return io;
  };

  for (SimdLevel level : SupportedLevels())
  {
    ASSERT_TRUE(UseSimdLevel(level));
    SCOPED_TRACE(SimdLevelName(level));
    const Stereo whole = render(kFrames);
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < kFrames; ++i)
        ASSERT_NEAR(whole[static_cast<size_t>(ch)][static_cast<size_t>(i)], expected[static_cast<size_t>(ch)][static_cast<size_t>(i)], 1e-9)
            << "channel " << ch << " frame " << i;
    for (int blockSize : {1, 2, 3, 5, 7, 8, 9, 13, 16, 31, 64, 100, 256, 999})
    {
      const Stereo split = render(blockSize);
      for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < kFrames; ++i)
          ASSERT_EQ(split[static_cast<size_t>(ch)][static_cast<size_t>(i)], whole[static_cast<size_t>(ch)][static_cast<size_t>(i)])
              << "block size " << blockSize << " channel " << ch << " frame " << i;
    }
  }
}

TEST(PreampEngine, EveryInstructionSetTheProcessorHasCanBeChosen)
{
  SimdLevelScope restore;
  EXPECT_TRUE(SimdLevelSupported(SimdLevel::kSse2));
  EXPECT_EQ(ActivePreampKernels().level, BestSimdLevel());
  for (SimdLevel level : {SimdLevel::kSse2, SimdLevel::kAvx2, SimdLevel::kAvx512})
  {
    SCOPED_TRACE(SimdLevelName(level));
    const SimdLevel before = ActivePreampKernels().level;
    EXPECT_EQ(UseSimdLevel(level), SimdLevelSupported(level));
    EXPECT_EQ(ActivePreampKernels().level, SimdLevelSupported(level) ? level : before);
  }
  EXPECT_STREQ(SimdLevelName(SimdLevel::kSse2), "SSE2");
  EXPECT_STREQ(SimdLevelName(SimdLevel::kAvx2), "AVX2");
  EXPECT_STREQ(SimdLevelName(SimdLevel::kAvx512), "AVX-512");
}

// The kernels on their own, on every set and every tail length: the curve against the scalar one,
// the designs against ToneBiquad's, the polyphase half-band against stepping the filter.
TEST(PreampEngine, KernelsAgreeWithTheScalarBuildingBlocks)
{
  SimdLevelScope restore;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> drive(-40.0, 40.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr int kMax = 19;
  for (SimdLevel level : SupportedLevels())
  {
    ASSERT_TRUE(UseSimdLevel(level));
    const PreampKernels& k = ActivePreampKernels();
    SCOPED_TRACE(SimdLevelName(level));
    for (int n = 0; n <= kMax; ++n)
    {
      std::vector<double> d(static_cast<size_t>(n)), g(static_cast<size_t>(n)), out(static_cast<size_t>(n + 1), -7.0);
      for (int i = 0; i < n; ++i)
      {
        d[static_cast<size_t>(i)] = drive(rng);
        g[static_cast<size_t>(i)] = 0.03 + 30.0 * unit(rng);
      }
      k.saturateDivide(d.data(), g.data(), out.data(), n);
      for (int i = 0; i < n; ++i)
      {
        const size_t at = static_cast<size_t>(i);
        EXPECT_NEAR(out[at], reference::Saturate(d[at]) / g[at], 1e-14 / g[at]) << "n " << n << " i " << i;
      }
      EXPECT_EQ(out[static_cast<size_t>(n)], -7.0) << "wrote past the end, n " << n;

      // A resting drive, with the oversampled path's factor and without.
      for (double factor : {1.0, 2.0})
      {
        const double rest = n > 0 ? g[0] : 1.5;
        std::vector<double> driven(static_cast<size_t>(n)), divisor(static_cast<size_t>(n), rest),
          expected(static_cast<size_t>(n)), rested(static_cast<size_t>(n + 1), -7.0);
        for (int i = 0; i < n; ++i)
          driven[static_cast<size_t>(i)] = factor * d[static_cast<size_t>(i)] * rest;
        k.saturateDivide(driven.data(), divisor.data(), expected.data(), n);
        k.saturateDrive(d.data(), factor, rest, rested.data(), n);
        for (int i = 0; i < n; ++i)
          ASSERT_EQ(rested[static_cast<size_t>(i)], expected[static_cast<size_t>(i)]) << "factor " << factor << " n " << n << " i " << i;
        EXPECT_EQ(rested[static_cast<size_t>(n)], -7.0) << "wrote past the end, n " << n;
      }

      std::vector<double> p(static_cast<size_t>(n)), q(static_cast<size_t>(n)), lowP(static_cast<size_t>(n)), lowQ(static_cast<size_t>(n));
      std::vector<std::vector<double>> c(7, std::vector<double>(static_cast<size_t>(n + 1), -7.0));
      double* cp[7] = {c[0].data(), c[1].data(), c[2].data(), c[3].data(), c[4].data(), c[5].data(), c[6].data()};
      for (int i = 0; i < n; ++i)
      {
        p[static_cast<size_t>(i)] = 0.15 + 0.85 * unit(rng);
        q[static_cast<size_t>(i)] = 0.85 * unit(rng);
      }
      k.designHighTone(kRate, p.data(), q.data(), cp, n);
      for (int i = 0; i < n; ++i)
      {
        ToneBiquad t;
        t.DesignHighTone(kRate, p[static_cast<size_t>(i)], q[static_cast<size_t>(i)]);
        const double expected[7] = {t.B0, t.B1, t.B2, t.A0, t.A1, t.A2, 1.0 / t.A0};
        for (int j = 0; j < 7; ++j)
          EXPECT_NEAR(c[static_cast<size_t>(j)][static_cast<size_t>(i)], expected[j], 1e-14 * std::fabs(expected[j]) + 1e-18) << "high " << j;
      }
      for (int i = 0; i < n; ++i)
      {
        p[static_cast<size_t>(i)] = i % 2 ? 1e-5 : 1e-5 + 0.3 * unit(rng);
        q[static_cast<size_t>(i)] = i % 2 ? 1e-5 + 0.3 * unit(rng) : 1e-5;
      }
      k.designLowTone(kRate, p.data(), q.data(), cp, n);
      for (int i = 0; i < n; ++i)
      {
        ToneBiquad t;
        t.DesignLowTone(kRate, p[static_cast<size_t>(i)], q[static_cast<size_t>(i)]);
        const double expected[7] = {t.B0, t.B1, t.B2, t.A0, t.A1, t.A2, 1.0 / t.A0};
        for (int j = 0; j < 7; ++j)
          EXPECT_NEAR(c[static_cast<size_t>(j)][static_cast<size_t>(i)], expected[j], 1e-14 * std::fabs(expected[j])) << "low " << j;
      }
      for (int j = 0; j < 7; ++j)
        EXPECT_EQ(c[static_cast<size_t>(j)][static_cast<size_t>(n)], -7.0) << "design wrote past the end, n " << n;
    }

    // Designs straight from the smoothed control values map them to the amounts as the block
    // routine does: the centre, the ends and both sides of it, to the bit, at every tail length.
    const double controls[] = {0.0, -10.0, 10.0, -1e-12, 1e-12, 3.25, -6.5, 9.999, -0.1, 7.0, -3.0};
    constexpr int kControls = static_cast<int>(std::size(controls));
    for (int n = 1; n <= kControls; ++n)
    {
      std::vector<double> p(static_cast<size_t>(n)), q(static_cast<size_t>(n));
      std::vector<std::vector<double>> fromAmounts(7, std::vector<double>(static_cast<size_t>(n))),
        fromControl(7, std::vector<double>(static_cast<size_t>(n + 1), -7.0));
      double* ap[7];
      double* cp[7];
      for (int j = 0; j < 7; ++j)
      {
        ap[j] = fromAmounts[static_cast<size_t>(j)].data();
        cp[j] = fromControl[static_cast<size_t>(j)].data();
      }
      for (bool lowBand : {true, false})
      {
        for (int i = 0; i < n; ++i)
        {
          const double z = controls[i];
          const double t = lowBand ? (z + 10.0) / 20.0 * 0.6 - 0.3 : (z + 10.0) / 20.0 * 1.7 - 0.85;
          p[static_cast<size_t>(i)] = lowBand ? (t > 0.0 ? t : 1e-5) : (t > 0.0 ? 1.0 - t : 1.0);
          q[static_cast<size_t>(i)] = t < 0.0 ? -t : (lowBand ? 1e-5 : 0.0);
        }
        (lowBand ? k.designLowTone : k.designHighTone)(kRate, p.data(), q.data(), ap, n);
        (lowBand ? k.designLowControl : k.designHighControl)(kRate, controls, cp, n);
        for (int j = 0; j < 7; ++j)
        {
          for (int i = 0; i < n; ++i)
            ASSERT_EQ(fromControl[static_cast<size_t>(j)][static_cast<size_t>(i)], fromAmounts[static_cast<size_t>(j)][static_cast<size_t>(i)])
                << (lowBand ? "low" : "high") << " coefficient " << j << " control " << controls[i] << " n " << n;
          EXPECT_EQ(fromControl[static_cast<size_t>(j)][static_cast<size_t>(n)], -7.0) << "wrote past the end, n " << n;
        }
      }
    }

    // A glide on one side of the centre: whole vectors of boosts (where the high design leaves out
    // the cut's terms), of cuts, and both meeting at the centre, each design ToneBiquad's to the bit.
    {
      constexpr int kGlide = 24;
      for (double from : {0.0, 10.0, -10.0, -3.0})
      {
        std::vector<double> z(kGlide), p(kGlide), q(kGlide);
        for (int i = 0; i < kGlide; ++i)
          z[static_cast<size_t>(i)] = from == 0.0 ? 1e-9 * i : from == -3.0 ? -3.0 + 0.25 * i : from * (1.0 - 0.04 * i);
        std::vector<std::vector<double>> c(7, std::vector<double>(kGlide));
        double* cp[7];
        for (int j = 0; j < 7; ++j)
          cp[j] = c[static_cast<size_t>(j)].data();
        for (bool lowBand : {true, false})
        {
          (lowBand ? k.designLowControl : k.designHighControl)(kRate, z.data(), cp, kGlide);
          for (int i = 0; i < kGlide; ++i)
          {
            const double t = lowBand ? (z[static_cast<size_t>(i)] + 10.0) / 20.0 * 0.6 - 0.3
                                     : (z[static_cast<size_t>(i)] + 10.0) / 20.0 * 1.7 - 0.85;
            ToneBiquad b;
            if (lowBand)
              b.DesignLowTone(kRate, t > 0.0 ? t : 1e-5, t < 0.0 ? -t : 1e-5);
            else
              b.DesignHighTone(kRate, t > 0.0 ? 1.0 - t : 1.0, t < 0.0 ? -t : 0.0);
            const double expected[7] = {b.B0, b.B1, b.B2, b.A0, b.A1, b.A2, 1.0 / b.A0};
            for (int j = 0; j < 7; ++j)
              ASSERT_EQ(c[static_cast<size_t>(j)][static_cast<size_t>(i)], expected[j])
                << (lowBand ? "low" : "high") << " coefficient " << j << " control " << z[static_cast<size_t>(i)];
          }
        }
      }
    }

    // Two half-band runs side by side give each run's own outputs, to the bit, for every length
    // (whole groups and short tails), and write nothing past them.
    for (int n : {1, 2, 7, 8, 9, 31, 32, 33, 64, 77})
    {
      // The windows reach 31 pairs past the last output, and the kernel may read a padding beyond.
      constexpr int kBack = 32;
      const size_t size = static_cast<size_t>(kBack + n + kHalfbandOddTapCount + kHalfbandKernelPadding);
      std::vector<double> centre[2], pairs[2], single[2], paired[2];
      for (int r = 0; r < 2; ++r)
      {
        centre[r].resize(size);
        pairs[r].resize(size);
        for (double& v : centre[r])
          v = unit(rng) - 0.5;
        for (double& v : pairs[r])
          v = unit(rng) - 0.5;
        single[r].assign(static_cast<size_t>(n + kHalfbandKernelPadding), 0.0);
        paired[r].assign(static_cast<size_t>(n + 1), -7.0);
        k.halfband(centre[r].data(), pairs[r].data() + kBack, 0.001 * (r + 1), single[r].data(), n);
      }
      const HalfbandRun a{centre[0].data(), pairs[0].data() + kBack, 0.001, paired[0].data()};
      const HalfbandRun b{centre[1].data(), pairs[1].data() + kBack, 0.002, paired[1].data()};
      k.halfbandPair(a, b, n);
      for (int r = 0; r < 2; ++r)
      {
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
          ASSERT_EQ(paired[r][i], single[r][i]) << "run " << r << " n " << n << " i " << i;
        EXPECT_EQ(paired[r][static_cast<size_t>(n)], -7.0) << "pair wrote past the end, n " << n;
      }
    }

    // The gliding tone filters against the plain recursion, per channel and band, to the bit: both
    // bands gliding and either one resting, from every phase of a segment; and the stop before a
    // segment's first frame whose coefficients repeat the frame before's in both bands.
    {
      constexpr int kFrames = 40;
      std::vector<double> lowZ(kFrames), highZ(kFrames);
      for (int i = 0; i < kFrames; ++i)
      {
        lowZ[static_cast<size_t>(i)] = -9.0 + 0.45 * i;
        highZ[static_cast<size_t>(i)] = 8.0 - 0.4 * i;
      }
      // Frames 24 to 39 keep the design of frame 23: the segment starting at 24 - phase repeats.
      for (int i = 24; i < kFrames; ++i)
        lowZ[static_cast<size_t>(i)] = highZ[static_cast<size_t>(i)] = 0.0;
      lowZ[23] = highZ[23] = 0.0;
      std::vector<std::vector<double>> lowC(7, std::vector<double>(kFrames)), highC(7, std::vector<double>(kFrames));
      double* lowW[7];
      double* highW[7];
      const double* lowR[7];
      const double* highR[7];
      for (int j = 0; j < 7; ++j)
      {
        lowR[j] = lowW[j] = lowC[static_cast<size_t>(j)].data();
        highR[j] = highW[j] = highC[static_cast<size_t>(j)].data();
      }
      k.designLowControl(kRate, lowZ.data(), lowW, kFrames);
      k.designHighControl(kRate, highZ.data(), highW, kFrames);
      const auto at = [](const double* const* c, int i) {
        return ToneCoefficients{c[0][i], c[1][i], c[2][i], c[4][i], c[5][i], c[6][i]};
      };
      const ToneCoefficients restingLow = at(lowR, 5);
      const ToneCoefficients restingHigh = at(highR, 30);
      for (int bands = 0; bands < 3; ++bands)
        for (int phase = 0; phase < kToneSegment; ++phase)
        {
          SCOPED_TRACE("bands " + std::to_string(bands) + " phase " + std::to_string(phase));
          ToneGlide run{};
          run.coefficients[0] = bands != 2 ? lowR : nullptr;
          run.coefficients[1] = bands != 1 ? highR : nullptr;
          run.resting[0] = restingLow;
          run.resting[1] = restingHigh;
          double expectedState[2][kToneState];
          for (int ch = 0; ch < 2; ++ch)
            for (int j = 0; j < kToneState; ++j)
              run.history[j][ch] = expectedState[ch][j] = unit(rng) - 0.5;
          std::vector<double> io[2], expected[2];
          for (int ch = 0; ch < 2; ++ch)
          {
            io[ch].resize(kFrames + 1);
            for (double& v : io[ch])
              v = unit(rng) - 0.5;
            io[ch][kFrames] = -7.0; // written by no one
            expected[ch] = io[ch];
          }
          run.left = io[0].data();
          run.right = io[1].data();
          run.phase = phase;
          const int done = k.toneGlide(run, kFrames);

          // The first segment start from frame 24 on: before it a band glides.
          int stop = phase == 0 ? kToneSegment : kToneSegment - phase;
          while (stop < 24)
            stop += kToneSegment;
          ASSERT_EQ(done, stop);
          for (int ch = 0; ch < 2; ++ch)
          {
            double* s = expectedState[ch];
            for (int i = 0; i < done; ++i)
            {
              const ToneCoefficients low = bands != 2 ? at(lowR, i) : restingLow;
              const ToneCoefficients high = bands != 1 ? at(highR, i) : restingHigh;
              const double x0 = 10.0 * expected[ch][static_cast<size_t>(i)];
              const double y =
                (low.b1 * s[0] + low.b0 * x0 + low.b2 * s[1] - low.a2 * s[3] - low.a1 * s[2]) * low.inverseA0;
              s[1] = s[0], s[0] = x0, s[3] = s[2], s[2] = y;
              const double u0 = 10.0 * y;
              const double v =
                (high.b1 * s[4] + high.b0 * u0 + high.b2 * s[5] - high.a2 * s[7] - high.a1 * s[6]) * high.inverseA0;
              s[5] = s[4], s[4] = u0, s[7] = s[6], s[6] = v;
              expected[ch][static_cast<size_t>(i)] = v;
            }
            for (int i = 0; i <= kFrames; ++i)
              ASSERT_EQ(io[ch][static_cast<size_t>(i)], expected[ch][static_cast<size_t>(i)])
                << "channel " << ch << " frame " << i;
            for (int j = 0; j < kToneState; ++j)
              ASSERT_EQ(run.history[j][ch], s[j]) << "channel " << ch << " state " << j;
          }
          EXPECT_EQ(run.last[0], bands != 2 ? at(lowR, done - 1) : restingLow);
          EXPECT_EQ(run.last[1], bands != 1 ? at(highR, done - 1) : restingHigh);
        }

      // Its first frame is never a stop, repeated coefficients or not: the caller has looked there.
      const double* lowFrom24[7];
      const double* highFrom24[7];
      for (int j = 0; j < 7; ++j)
      {
        lowFrom24[j] = lowR[j] + 24;
        highFrom24[j] = highR[j] + 24;
      }
      std::vector<double> left(16, 0.25), right(16, -0.25);
      ToneGlide run{};
      run.coefficients[0] = lowFrom24;
      run.coefficients[1] = highFrom24;
      run.left = left.data();
      run.right = right.data();
      EXPECT_EQ(k.toneGlide(run, 16), kToneSegment);
    }
  }
}

// The block form of the half-band filter continues exactly where stepping left off, and stepping
// continues exactly where the block form left off, across enough blocks of every length that the
// history moves to the front of its arrays again and again.
TEST(PreampEngine, HalfbandPhasesRoundTripWithStep)
{
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  HalfbandFilter stepped, mixed;
  auto stepPair = [](HalfbandFilter& f, double a, double b) {
    const double first = f.Step(a);
    f.Step(b);
    return first;
  };
  constexpr int kHistory = HalfbandFilter::kPhaseHistory;
  for (int round = 0; round < 12; ++round)
  {
    for (int i = 0; i < 90; ++i)
    {
      const double a = unit(rng), b = unit(rng);
      ASSERT_EQ(stepPair(stepped, a, b), stepPair(mixed, a, b)) << "round " << round << " step " << i;
    }

    // Blocks of 1 to 256 frames: the stored values are the inputs shifted by the offset, and the
    // history the block form shows is what stepping stored.
    std::uniform_int_distribution<int> lengths(1, HalfbandFilter::kMaxBlockFrames);
    for (int block = 0; block < 5; ++block)
    {
      const int frames = block == 0 ? 1 : lengths(rng);
      const HalfbandFilter::Phases p = mixed.BeginBlock(frames);
      const double o = mixed.Offset();
      for (int i = 0; i < frames; ++i)
      {
        const double a = unit(rng), b = unit(rng);
        stepPair(stepped, a, b);
        p.even[kHistory + i] = a - o;
        p.odd[kHistory + i] = b + o;
      }
      mixed.CommitBlock(frames);
      ASSERT_EQ(mixed.Offset(), stepped.Offset());
    }
  }
  for (int i = 0; i < 70; ++i)
  {
    const double a = unit(rng), b = unit(rng);
    ASSERT_EQ(stepPair(stepped, a, b), stepPair(mixed, a, b)) << i;
  }
}

// States that decay into subnormal numbers are flushed to zero exactly where OnePoleSmoother::Step
// flushes them, also when the engine steps its smoothers in one loop without the flush.
TEST(PreampEngine, SmoothersFlushSubnormalStatesLikeStep)
{
  OnePoleSmoother low{0.5, 0.5, 1e-300}, high{0.5, 0.5, -1e-300}, drive{0.5, 0.5, 1.0}, output{0.5, 0.5, 1e-300};
  PreampState state;
  state.lowSmoother = low;
  state.highSmoother = high;
  state.driveSmoother = drive;
  state.outputSmoother = output;
  PreampEngine engine(state);
  OnePoleSmoother refLow = low, refHigh = high, refOutput = output;

  IParam bypass;
  bypass.DefineInt("Bypass", 0, 0, 1);
  constexpr int kFrames = 64; // 2^-64 * 1e-300 is subnormal but not yet zero
  std::vector<double> left(kFrames, 0.25), right(kFrames, -0.25);
  sample* io[2] = {left.data(), right.data()};
  PreampEngine::Targets targets;
  targets.low = targets.high = targets.output = 0.0;
  engine.Render(kRate, targets, bypass, io, io, kFrames);

  for (int i = 0; i < kFrames; ++i)
  {
    refLow.Step(0.0);
    refHigh.Step(0.0);
    refOutput.Step(0.0);
    refOutput.Step(0.0);
  }
  EXPECT_EQ(refLow.z, 0.0);
  EXPECT_EQ(state.lowSmoother.z, refLow.z);
  EXPECT_EQ(state.highSmoother.z, refHigh.z);
  EXPECT_EQ(state.outputSmoother.z, refOutput.z);
  EXPECT_EQ(state.driveSmoother.z, 1.0);
  for (int i = 0; i < kFrames; ++i) // the output level is next to nothing: only the offset is left
    ASSERT_TRUE(std::fabs(left[static_cast<size_t>(i)]) <= 1e-15 && std::fabs(right[static_cast<size_t>(i)]) <= 1e-15) << i;
}
