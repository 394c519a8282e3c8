#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "ToneBiquad.h"

namespace
{
enum class Shelf
{
  kLow,
  kHigh
};

ToneBiquad Designed(Shelf shelf, double fs, double p, double q)
{
  ToneBiquad f;
  if (shelf == Shelf::kLow)
    f.DesignLowTone(fs, p, q);
  else
    f.DesignHighTone(fs, p, q);
  return f;
}

// |H| on the unit circle, input gain of 10 included, in dB.
double ResponseDb(const ToneBiquad& f, double fs, double hz)
{
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / fs);
  const std::complex<double> z2 = z1 * z1;
  const std::complex<double> num = 10.0 * (f.B0 + f.B1 * z1 + f.B2 * z2);
  const std::complex<double> den = f.A0 + f.A1 * z1 + f.A2 * z2;
  return 20.0 * std::log10(std::abs(num / den));
}

// Level of a sine run through Step, from the DFT bin over whole periods once it has settled.
double SteppedGainDb(ToneBiquad& f, double fs, double hz)
{
  const double w = 2.0 * std::numbers::pi * hz / fs;
  const int settle = static_cast<int>(fs);
  const int periods = 50;
  const int measure = static_cast<int>(std::lround(periods * fs / hz));
  std::complex<double> bin = 0.0;
  for (int n = 0; n < settle + measure; ++n)
  {
    const double y = f.Step(std::sin(w * n));
    if (n >= settle)
      bin += y * std::polar(1.0, -w * n);
  }
  return 20.0 * std::log10(2.0 * std::abs(bin) / measure);
}

struct ResponseCase
{
  const char* name;
  Shelf shelf;
  double p, q;
  double hz;
  double db;
};

const ResponseCase kResponseCases[] = {
  {"low centre 20 Hz", Shelf::kLow, 1e-5, 1e-5, 20.0, -1.47},
  {"low centre 1 kHz", Shelf::kLow, 1e-5, 1e-5, 1000.0, -1.47},
  {"low centre 20 kHz", Shelf::kLow, 1e-5, 1e-5, 20000.0, -1.47},
  {"low boost 20 Hz", Shelf::kLow, 0.3, 1e-5, 20.0, 8.96},
  {"low boost 500 Hz", Shelf::kLow, 0.3, 1e-5, 500.0, 2.58},
  {"low boost 20 kHz", Shelf::kLow, 0.3, 1e-5, 20000.0, -1.47},
  {"low cut 20 Hz", Shelf::kLow, 1e-5, 0.3, 20.0, -11.92},
  {"low cut 500 Hz", Shelf::kLow, 1e-5, 0.3, 500.0, -7.60},
  {"low cut 20 kHz", Shelf::kLow, 1e-5, 0.3, 20000.0, -1.47},
  {"high centre 20 Hz", Shelf::kHigh, 1.0, 0.0, 20.0, -1.47},
  {"high centre 1 kHz", Shelf::kHigh, 1.0, 0.0, 1000.0, -1.47},
  {"high centre 20 kHz", Shelf::kHigh, 1.0, 0.0, 20000.0, -1.47},
  {"high boost 20 Hz", Shelf::kHigh, 0.15, 0.0, 20.0, -1.46},
  {"high boost 1 kHz", Shelf::kHigh, 0.15, 0.0, 1000.0, 3.29},
  {"high boost 20 kHz", Shelf::kHigh, 0.15, 0.0, 20000.0, 8.88},
  {"high cut 20 Hz", Shelf::kHigh, 1.0, 0.85, 20.0, -1.47},
  {"high cut 1 kHz", Shelf::kHigh, 1.0, 0.85, 1000.0, -3.18},
  {"high cut 20 kHz", Shelf::kHigh, 1.0, 0.85, 20000.0, -13.00},
};
} // namespace

TEST(ToneBiquad, ResponsesAt48kHz)
{
  for (const ResponseCase& c : kResponseCases)
  {
    const ToneBiquad f = Designed(c.shelf, 48000.0, c.p, c.q);
    EXPECT_NEAR(ResponseDb(f, 48000.0, c.hz), c.db, 0.01) << c.name;
  }
}

TEST(ToneBiquad, CentreIsFlatAndTheSameAtEveryRate)
{
  const double freqs[] = {20.0, 100.0, 1000.0, 5000.0, 10000.0, 20000.0};
  for (Shelf shelf : {Shelf::kLow, Shelf::kHigh})
  {
    const double p = shelf == Shelf::kLow ? 1e-5 : 1.0;
    const double q = shelf == Shelf::kLow ? 1e-5 : 0.0;
    const ToneBiquad at48 = Designed(shelf, 48000.0, p, q);
    for (double fs : {44100.0, 96000.0})
    {
      const ToneBiquad f = Designed(shelf, fs, p, q);
      for (double hz : freqs)
      {
        const double db = ResponseDb(f, fs, hz);
        EXPECT_NEAR(db, -1.47, 0.01) << "rate " << fs << ", " << hz << " Hz";
        EXPECT_NEAR(db, ResponseDb(at48, 48000.0, hz), 0.001) << "rate " << fs << ", " << hz << " Hz";
      }
    }
  }
}

// The glides move p and q through their whole ranges at any host rate: a typo in a coefficient
// tends to push a pole outside the unit circle somewhere along the way.
TEST(ToneBiquad, StableOverTheControlRangesAndRates)
{
  auto stable = [](const ToneBiquad& f) {
    const double a1 = f.A1 / f.A0;
    const double a2 = f.A2 / f.A0;
    return std::abs(a2) < 1.0 && std::abs(a1) < 1.0 + a2;
  };
  for (double fs : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0})
  {
    for (int i = 0; i <= 30; ++i)
    {
      const double t = i * 0.01; // 0..0.3
      const double amount = std::max(t, 1e-5);
      EXPECT_TRUE(stable(Designed(Shelf::kLow, fs, amount, 1e-5))) << fs << " boost " << amount;
      EXPECT_TRUE(stable(Designed(Shelf::kLow, fs, 1e-5, amount))) << fs << " cut " << amount;
    }
    for (int i = 0; i <= 34; ++i)
    {
      const double t = i * 0.025; // 0..0.85
      EXPECT_TRUE(stable(Designed(Shelf::kHigh, fs, 1.0 - t, 0.0))) << fs << " boost " << t;
      EXPECT_TRUE(stable(Designed(Shelf::kHigh, fs, 1.0, t))) << fs << " cut " << t;
    }
  }
}

TEST(ToneBiquad, StepFollowsTheDifferenceEquation)
{
  ToneBiquad f;
  f.B0 = 1.0;
  f.B1 = 2.0;
  f.B2 = 3.0;
  f.A0 = 2.0;
  f.A1 = 0.5;
  f.A2 = 0.25;

  // y = (B1 x1 + B0 x0 + B2 x2 - A1 y1 - A2 y2) / A0 with x0 = 10 x, worked by hand.
  EXPECT_EQ(f.Step(1.0), 5.0);        // (1*10) / 2
  EXPECT_EQ(f.Step(0.0), 8.75);       // (2*10 - 0.5*5) / 2
  EXPECT_EQ(f.Step(0.0), 12.1875);    // (3*10 - 0.5*8.75 - 0.25*5) / 2
  EXPECT_EQ(f.Step(0.5), -1.640625);  // (1*5 - 0.5*12.1875 - 0.25*8.75) / 2

  EXPECT_EQ(f.x0, 5.0);
  EXPECT_EQ(f.x1, 5.0);
  EXPECT_EQ(f.x2, 0.0);
  EXPECT_EQ(f.y0, -1.640625);
  EXPECT_EQ(f.y1, -1.640625);
  EXPECT_EQ(f.y2, 12.1875);
}

// Redesigning keeps the history, as the per-sample glide needs; and what Step does with the
// designed coefficients is the response the design promises.
TEST(ToneBiquad, SteppedSineMatchesTheDesignedResponse)
{
  struct SineCase
  {
    const char* name;
    Shelf shelf;
    double p, q, hz, db;
  } const cases[] = {
    {"high boost 1 kHz", Shelf::kHigh, 0.15, 0.0, 1000.0, 3.29},
    {"high cut 1 kHz", Shelf::kHigh, 1.0, 0.85, 1000.0, -3.18},
    {"low boost 500 Hz", Shelf::kLow, 0.3, 1e-5, 500.0, 2.58},
    {"low cut 500 Hz", Shelf::kLow, 1e-5, 0.3, 500.0, -7.60},
  };
  for (const SineCase& c : cases)
  {
    ToneBiquad f = Designed(c.shelf, 48000.0, c.p, c.q);
    EXPECT_NEAR(SteppedGainDb(f, 48000.0, c.hz), c.db, 0.01) << c.name;

    const double y1 = f.y1;
    const double x1 = f.x1;
    if (c.shelf == Shelf::kLow)
      f.DesignLowTone(48000.0, 1e-5, 1e-5);
    else
      f.DesignHighTone(48000.0, 1.0, 0.0);
    EXPECT_EQ(f.y1, y1) << c.name;
    EXPECT_EQ(f.x1, x1) << c.name;
  }
}
