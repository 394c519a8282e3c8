// The block routine's speed for 512-frame stereo blocks at 48 kHz, with oversampling off and on.
// Reported as frames per second and as real-time factor (seconds of audio per second of CPU).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "Corvane.h"

using namespace iplug;

static void BM_RenderBlock(benchmark::State& state)
{
  constexpr int kFrames = 512;
  constexpr double kRate = 48000.0;
  std::unique_ptr<IPlugAAX> plug(CreatePlugin(InstanceInfo{}));
  auto& corvane = static_cast<Corvane&>(*plug);
  corvane.GetParam(kGain)->SetValue(12.0);
  corvane.OnParamValueChange(kGain);
  corvane.GetParam(kOversampling)->SetValue(static_cast<double>(state.range(0)));
  corvane.OnParamValueChange(kOversampling);
  corvane.SetSampleRate(kRate);
  corvane.ConnectChannels(kOutput, 0, 2, true);
  corvane.ResetProcessing();

  std::vector<sample> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
  for (int i = 0; i < kFrames; ++i)
  {
    inL[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * i / kRate);
    inR[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 660.0 * i / kRate);
  }
  sample* in[2] = {inL.data(), inR.data()};
  sample* out[2] = {outL.data(), outR.data()};

  for (auto _ : state)
  {
    corvane.RenderBlock(in, out, kFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }

  const double frames = static_cast<double>(state.iterations()) * kFrames;
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderBlock)->Arg(0)->ArgName("oversampling")->Arg(1);

BENCHMARK_MAIN();
