// The reference chain held to the published figures on its own: if it shared a fault with the
// product, the comparisons between the two would let it through.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "reference/Halfband.h"
#include "reference/PreampChain.h"
#include "reference/ToneShelf.h"

namespace
{
constexpr double kRate = 48000.0;

// |H| on the unit circle, input gain of 10 included, in dB.
double ResponseDb(const reference::ToneShelf& f, double hz)
{
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / kRate);
  const std::complex<double> z2 = z1 * z1;
  return 20.0 * std::log10(std::abs(10.0 * (f.B0 + f.B1 * z1 + f.B2 * z2) / (f.A0 + f.A1 * z1 + f.A2 * z2)));
}

// Peak of the left output over the last quarter of a 1 kHz sine of amplitude 0.001.
std::vector<double> RenderSine(const reference::Settings& settings, int frames)
{
  reference::PreampChain chain;
  chain.SetSampleRate(kRate);
  chain.SetParameters(settings);
  chain.Reset();
  const size_t count = static_cast<size_t>(frames);
  std::vector<double> in(count), left(count), right(count);
  for (size_t i = 0; i < count; ++i)
    in[i] = 0.001 * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / kRate);
  const double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  chain.Process(inputs, outputs, frames);
  return left;
}
} // namespace

TEST(ReferenceChain, ToneShelvesMeetTheirResponses)
{
  const struct
  {
    bool low;
    double p, q, hz, db;
  } cases[] = {
    {true, 1e-5, 1e-5, 1000.0, -1.47}, {true, 0.3, 1e-5, 20.0, 8.96},   {true, 1e-5, 0.3, 500.0, -7.60},
    {false, 1.0, 0.0, 1000.0, -1.47},  {false, 0.15, 0.0, 20000.0, 8.88}, {false, 1.0, 0.85, 20000.0, -13.00},
  };
  for (const auto& c : cases)
  {
    reference::ToneShelf f;
    c.low ? f.DesignLow(kRate, c.p, c.q) : f.DesignHigh(kRate, c.p, c.q);
    EXPECT_NEAR(ResponseDb(f, c.hz), c.db, 0.005) << (c.low ? "low" : "high") << " p " << c.p << " q " << c.q
                                                   << " at " << c.hz << " Hz";
  }
}

TEST(ReferenceChain, HalfbandImpulseResponse)
{
  // Outputs counted from the step that takes the impulse (index 0); the ±1e-15 offset is far
  // inside the tolerance.
  reference::Halfband f;
  std::vector<double> y;
  for (int n = 0; n < 70; ++n)
    y.push_back(f.Step(n == 0 ? 1.0 : 0.0));
  const struct
  {
    size_t index;
    double value;
  } cases[] = {{0, 0.0}, {1, -5e-06}, {62, 0.0}, {63, 0.317956}, {64, 0.5}, {65, 0.317956}, {66, 0.0}};
  for (const auto& c : cases)
    EXPECT_NEAR(y[c.index], c.value, 1e-14) << "output " << c.index;
}

TEST(ReferenceChain, SmallSignalGainAndOversamplingDelay)
{
  constexpr int kFrames = 9600;
  const std::vector<double> plain = RenderSine({}, kFrames);
  const double peak = *std::max_element(plain.begin() + 3 * kFrames / 4, plain.end());
  EXPECT_NEAR(20.0 * std::log10(peak / 0.001), 0.87, 0.02);

  reference::Settings oversampled;
  oversampled.oversampling = true;
  const std::vector<double> delayed = RenderSine(oversampled, kFrames);
  double worst = 0.0;
  for (size_t i = kFrames / 2; i < kFrames; ++i)
    worst = std::max(worst, std::fabs(delayed[i] - plain[i - 64]));
  EXPECT_LT(worst, 1e-3 * peak);
}
