#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "HalfbandFilter.h"

namespace
{
// Impulse response of a cleared filter with the anti-denormal offset taken out: a twin fed
// silence carries the same offset sequence, so the difference is the filter's response alone.
std::vector<double> ImpulseResponse(int length)
{
  HalfbandFilter f;
  HalfbandFilter silent;
  std::vector<double> h(static_cast<size_t>(length));
  for (int n = 0; n < length; ++n)
    h[static_cast<size_t>(n)] = f.Step(n == 0 ? 1.0 : 0.0) - silent.Step(0.0);
  return h;
}

double Magnitude(const std::vector<double>& h, double hz, double fs)
{
  std::complex<double> sum = 0.0;
  for (size_t n = 0; n < h.size(); ++n)
    sum += h[n] * std::polar(1.0, -2.0 * std::numbers::pi * hz / fs * static_cast<double>(n));
  return std::abs(sum);
}
} // namespace

TEST(HalfbandFilter, ImpulseResponse)
{
  // Outputs counted from the step that takes the impulse (index 0).
  struct
  {
    int index;
    double value;
  } const cases[] = {
    {0, 0.0}, {1, -5e-06}, {2, 0.0}, {3, 1.2e-05}, {62, 0.0}, {63, 0.317956},
    {64, 0.5}, {65, 0.317956}, {66, 0.0}, {126, 0.0}, {127, -5e-06}, {128, 0.0}, {129, 0.0},
  };
  HalfbandFilter f;
  double expectedOffset = 1e-15;
  for (int n = 0, c = 0; n <= 129; ++n, expectedOffset = -expectedOffset)
  {
    const double y = f.Step(n == 0 ? 1.0 : 0.0);
    if (n == cases[c].index)
    {
      EXPECT_NEAR(y, cases[c].value + expectedOffset, 1e-12) << "output " << n;
      ++c;
    }
  }
}

TEST(HalfbandFilter, ImpulseResponseIsSymmetricWithZeroEvenTaps)
{
  const std::vector<double> h = ImpulseResponse(200);
  for (int n = 0; n <= 128; ++n)
  {
    EXPECT_NEAR(h[static_cast<size_t>(n)], h[static_cast<size_t>(128 - n)], 1e-15) << "output " << n;
    const int distance = std::abs(n - 64);
    if (distance != 0 && distance % 2 == 0)
    {
      EXPECT_NEAR(h[static_cast<size_t>(n)], 0.0, 1e-15) << "output " << n;
    }
    else
    {
      EXPECT_GT(std::abs(h[static_cast<size_t>(n)]), 1e-6) << "output " << n;
    }
  }
  for (int n = 129; n < 200; ++n)
    EXPECT_NEAR(h[static_cast<size_t>(n)], 0.0, 1e-15) << "output " << n;
}

TEST(HalfbandFilter, ConstantInputSettlesToTheTapSum)
{
  HalfbandFilter f;
  double y = 0.0;
  for (int n = 0; n < 300; ++n)
    y = f.Step(1.0);
  EXPECT_NEAR(y, 1.0 - 6e-6, 1e-14);
}

TEST(HalfbandFilter, MagnitudeResponseAt96kHz)
{
  const double fs = 96000.0;
  const std::vector<double> h = ImpulseResponse(129);

  for (double hz = 0.0; hz <= 20000.0; hz += 50.0)
    EXPECT_NEAR(Magnitude(h, hz, fs), 1.0, 1e-5) << hz << " Hz";

  EXPECT_NEAR(Magnitude(h, 24000.0, fs), 0.5, 1e-9);
  EXPECT_NEAR(20.0 * std::log10(Magnitude(h, 26000.0, fs)), -59.6, 0.1);

  for (double hz = 28000.0; hz <= 48000.0; hz += 25.0)
    EXPECT_LT(20.0 * std::log10(Magnitude(h, hz, fs)), -100.0) << hz << " Hz";
}

TEST(HalfbandFilter, ClearForgetsTheSignalButKeepsTheOffset)
{
  HalfbandFilter f;
  for (int n = 0; n < 77; ++n) // an odd number of steps leaves the offset at -1e-15
    f.Step(std::sin(0.3 * n));
  f.Clear();

  // From here on it must behave exactly like a cleared filter whose offset has the same sign.
  HalfbandFilter fresh;
  fresh.Step(0.0);
  fresh.Clear();

  EXPECT_EQ(f.Step(0.0), -1e-15);
  fresh.Step(0.0);
  for (int n = 0; n < 200; ++n)
  {
    const double x = n == 5 ? 1.0 : 0.0;
    EXPECT_EQ(f.Step(x), fresh.Step(x)) << "step " << n;
  }
}

// Up-sampling (the sample, then a zero), a gain of 2 for the zero stuffing, down-sampling
// (keep the first of each pair): an in-band signal comes out unchanged, 64 host samples late.
TEST(HalfbandFilter, OversamplingChainDelaysBy64HostSamples)
{
  HalfbandFilter up;
  HalfbandFilter down;
  const double w = 2.0 * std::numbers::pi * 1000.0 / 48000.0;
  auto input = [w](int n) { return n < 0 ? 0.0 : std::sin(w * n); };
  for (int n = 0; n < 1000; ++n)
  {
    const double kept = down.Step(2.0 * up.Step(input(n)));
    down.Step(2.0 * up.Step(0.0));
    if (n >= 128)
    {
      EXPECT_NEAR(kept, input(n - 64), 1e-4) << "sample " << n;
    }
  }
}

// The run of equal odd-phase values, which lets the up-sampler skip the sums over its stuffed
// zeros, must never claim more frames than hold the value: a cleared filter holds zeros, stepping
// and blocks extend or restart the run, and a single different value ends it.
TEST(HalfbandFilter, UniformOddFramesCountsOnlyFramesHoldingTheValue)
{
  constexpr int kHistory = HalfbandFilter::kPhaseHistory;
  HalfbandFilter f;
  EXPECT_GE(f.UniformOddFrames(0.0), kHistory);
  const double o = f.Offset();
  EXPECT_EQ(f.UniformOddFrames(o), 0);

  auto block = [&f](int frames, auto oddValue) {
    const HalfbandFilter::Phases p = f.BeginBlock(frames);
    for (int i = 0; i < frames; ++i)
    {
      p.even[kHistory + i] = 0.25;
      p.odd[kHistory + i] = oddValue(i);
    }
    f.CommitBlock(frames);
  };
  block(10, [o](int) { return o; });
  EXPECT_EQ(f.UniformOddFrames(o), 10);
  for (int i = 0; i < 300; ++i) // across moves of the history to the front
    block(1, [o](int) { return o; });
  EXPECT_EQ(f.UniformOddFrames(o), 310);
  block(7, [o](int i) { return i == 2 ? 0.5 : o; });
  EXPECT_EQ(f.UniformOddFrames(o), 4);
  EXPECT_EQ(f.UniformOddFrames(0.5), 0);

  // Stepping stores x + offset in the odd phase on the second step of each frame.
  f.Step(0.0);
  f.Step(0.0);
  EXPECT_EQ(f.UniformOddFrames(o), 5);
  f.Step(0.0);
  f.Step(0.125);
  EXPECT_EQ(f.UniformOddFrames(o), 0);
  EXPECT_EQ(f.UniformOddFrames(0.125 + o), 1);

  f.Clear();
  EXPECT_GE(f.UniformOddFrames(0.0), kHistory);
  EXPECT_EQ(f.UniformOddFrames(o), 0);

  // A block its writer declares uniform restarts or extends the run as a scanned one would.
  f.BeginBlock(3);
  f.CommitUniformBlock(3, o);
  EXPECT_EQ(f.UniformOddFrames(o), 3);
  EXPECT_EQ(f.UniformOddFrames(0.0), 0);
  f.BeginBlock(200);
  f.CommitUniformBlock(200, o);
  EXPECT_EQ(f.UniformOddFrames(o), 203);
}
