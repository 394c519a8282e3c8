// Speed of the preamp's per-sample filter work: both tone designs (run for every sample and
// channel while the controls glide), one tone-filter step and one half-band step.

#include <benchmark/benchmark.h>

#include <cmath>

#include "HalfbandFilter.h"
#include "ToneBiquad.h"

namespace
{
// A slow, bounded control movement so the designs see changing amounts, as during a glide.
double Glide(int n, double lo, double hi)
{
  return lo + (hi - lo) * (0.5 + 0.5 * std::sin(1e-3 * n));
}

// One item: DesignLowTone plus DesignHighTone for one channel and sample.
void BM_ToneDesignLowAndHigh(benchmark::State& state)
{
  ToneBiquad low;
  ToneBiquad high;
  double amounts[1024][2];
  for (int n = 0; n < 1024; ++n)
  {
    amounts[n][0] = Glide(n, 1e-5, 0.3);
    amounts[n][1] = Glide(n, 0.0, 0.85);
  }
  int n = 0;
  for (auto _ : state)
  {
    const double* a = amounts[n++ & 1023];
    low.DesignLowTone(48000.0, a[0], 1e-5);
    high.DesignHighTone(48000.0, 1.0, a[1]);
    benchmark::DoNotOptimize(low);
    benchmark::DoNotOptimize(high);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToneDesignLowAndHigh);

void BM_ToneBiquadStep(benchmark::State& state)
{
  ToneBiquad f;
  f.DesignHighTone(48000.0, 0.15, 0.0);
  double x = 1e-3;
  for (auto _ : state)
  {
    x = -x;
    benchmark::DoNotOptimize(f.Step(x));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToneBiquadStep);

void BM_HalfbandFilterStep(benchmark::State& state)
{
  HalfbandFilter f;
  double x = 0.25;
  for (auto _ : state)
  {
    x = -x;
    benchmark::DoNotOptimize(f.Step(x));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalfbandFilterStep);
} // namespace

BENCHMARK_MAIN();
