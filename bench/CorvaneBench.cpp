// The block routine's speed for 512-frame stereo blocks at 48 kHz, with oversampling off and on,
// with settled controls and while every smoother glides, next to the reference chain (reference/)
// measured in the same run; and the whole render procedure as a host reaches it: the module file
// loaded through the stand-in host, its render procedure called with host blocks of 1, 16, 32, 64,
// 512 and 4096 frames of 32-bit samples on the host's audio thread; and the vector limit, the
// curve alone on every sample of a block, next to the half-band filters alone (what the exact
// filters add above it with oversampling). After the runs a table gives each figure per frame and
// its ratio to the plain chain (the block routine's and the filters' also to the vector limit,
// gliding also to settled), with the instruction set the vector kernels use (the module's own dispatcher chooses
// the same one: it runs the same code on the same processor).
//
// On a shared machine, run the cases as alternating rounds and read the medians:
//   bench_CorvaneBench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//
//   bench_CorvaneBench [--simd=sse2|avx2|avx512] [--module=PATH] [Google Benchmark options]
//
// --simd forces a narrower instruction set than the processor's best, to compare them (it does
// not reach into the module, which always takes the best). --module names the module file
// (default: the one this build made).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "Corvane.h"
#include "HalfbandTaps.h"
#include "HostSession.h"
#include "ParameterSettings.h"
#include "VectorMath.h"
#include "reference/PreampChain.h"

using namespace iplug;

#ifndef CORVANE_MODULE_PATH
#define CORVANE_MODULE_PATH "build/bin/Corvane.aaxplugin"
#endif

namespace
{
std::string gModulePath = CORVANE_MODULE_PATH;
constexpr int kFrames = 512;
constexpr double kRate = 48000.0;

// Two settings far apart: switching between them before every block keeps every smoother gliding
// through the whole block (the drive smoother, the fastest, needs thousands of frames to come to
// rest).
struct Settings
{
  double gain, low, high, output;
};
constexpr Settings kSettled = {12.0, 3.0, -4.0, -2.0};
constexpr Settings kGlideA = {-24.0, -10.0, 10.0, 12.0};
constexpr Settings kGlideB = {24.0, 10.0, -10.0, -12.0};

struct TestSignal
{
  std::vector<sample> left, right;
  TestSignal() : left(kFrames), right(kFrames)
  {
    for (int i = 0; i < kFrames; ++i)
    {
      left[static_cast<size_t>(i)] = 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * i / kRate);
      right[static_cast<size_t>(i)] = 0.5 * std::sin(2.0 * std::numbers::pi * 660.0 * i / kRate);
    }
  }
};

void Apply(Corvane& plug, const Settings& s)
{
  const std::pair<int, double> values[] = {{kGain, s.gain}, {kLowGain, s.low}, {kHighGain, s.high}, {kOutputLevel, s.output}};
  for (auto [idx, value] : values)
  {
    plug.GetParam(idx)->SetValue(value);
    plug.OnParamValueChange(idx);
  }
}

void SetCounters(benchmark::State& state)
{
  const double frames = static_cast<double>(state.iterations()) * kFrames;
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}

void BM_RenderBlock(benchmark::State& state)
{
  const bool oversampling = state.range(0) != 0;
  const bool glide = state.range(1) != 0;
  std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  Apply(*plug, glide ? kGlideA : kSettled);
  plug->GetParam(kOversampling)->SetValue(oversampling ? 1.0 : 0.0);
  plug->OnParamValueChange(kOversampling);
  plug->SetSampleRate(kRate);
  plug->ConnectChannels(kOutput, 0, 2, true);
  plug->ResetProcessing();

  TestSignal in;
  std::vector<sample> outL(kFrames), outR(kFrames);
  sample* inputs[2] = {in.left.data(), in.right.data()};
  sample* outputs[2] = {outL.data(), outR.data()};
  bool flip = false;
  for (auto _ : state)
  {
    if (glide)
      Apply(*plug, (flip = !flip) ? kGlideB : kGlideA);
    plug->RenderBlock(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

void BM_PlainChain(benchmark::State& state)
{
  const bool oversampling = state.range(0) != 0;
  const bool glide = state.range(1) != 0;
  reference::PreampChain chain;
  chain.SetSampleRate(kRate);
  auto apply = [&](const Settings& s) { chain.SetParameters({s.gain, s.low, s.high, s.output, oversampling}); };
  apply(glide ? kGlideA : kSettled);
  chain.Reset();

  TestSignal in;
  std::vector<double> outL(kFrames), outR(kFrames);
  const double* inputs[2] = {in.left.data(), in.right.data()};
  double* outputs[2] = {outL.data(), outR.data()};
  bool flip = false;
  for (auto _ : state)
  {
    if (glide)
      apply((flip = !flip) ? kGlideB : kGlideA);
    chain.Process(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

void Cases(benchmark::internal::Benchmark* b)
{
  b->ArgNames({"oversampling", "glide"});
  for (int oversampling : {0, 1})
    for (int glide : {0, 1})
      b->Args({oversampling, glide});
}

BENCHMARK(BM_RenderBlock)->Apply(Cases);
BENCHMARK(BM_PlainChain)->Apply(Cases);

// The floor under the block routine: the curve and its division for every sample of a block (two
// a frame, four with oversampling), on the vector width in use, from and to arrays that stay in
// the first-level cache; no smoothers, filters or conversions.
void BM_VectorLimit(benchmark::State& state)
{
  const int perFrame = state.range(0) != 0 ? 4 : 2;
  const PreampKernels& kernels = ActivePreampKernels();
  const size_t n = static_cast<size_t>(perFrame * kFrames);
  std::vector<double> driven(n), divisor(n), out(n);
  for (size_t i = 0; i < n; ++i)
  {
    driven[i] = 4.0 * std::sin(0.01 * double(i));
    divisor[i] = 1.0 + 1e-4 * double(i % 7);
  }
  for (auto _ : state)
  {
    kernels.saturateDivide(driven.data(), divisor.data(), out.data(), static_cast<int>(n));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

BENCHMARK(BM_VectorLimit)->ArgName("oversampling")->Arg(0)->Arg(1);

// What the exact half-band filters add to the oversampled path on their own: the four sums of 32
// folded pairs a frame that it computes (both up-samplers' second outputs, both down-samplers' kept
// ones; the up-samplers' first outputs are a constant and a centre tap) through the same kernel,
// on arrays that stay in the first-level cache.
void BM_HalfbandFilters(benchmark::State& state)
{
  const PreampKernels& kernels = ActivePreampKernels();
  constexpr int kBack = kHalfbandOddTapCount;
  const size_t size = static_cast<size_t>(kBack + kFrames + kHalfbandOddTapCount + kHalfbandKernelPadding);
  std::vector<double> centre[4], pairs[4], out[4];
  HalfbandRun runs[4];
  for (size_t r = 0; r < 4; ++r)
  {
    centre[r].resize(size);
    pairs[r].resize(size);
    out[r].resize(static_cast<size_t>(kFrames + kHalfbandKernelPadding));
    for (size_t i = 0; i < size; ++i)
    {
      centre[r][i] = 0.5 * std::sin(0.013 * double(i + 97 * r));
      pairs[r][i] = 0.5 * std::sin(0.021 * double(i + 31 * r));
    }
    runs[r] = {centre[r].data(), pairs[r].data() + kBack, 1e-15, out[r].data()};
  }
  for (auto _ : state)
  {
    kernels.halfbandPair(runs[0], runs[1], kFrames);
    kernels.halfbandPair(runs[2], runs[3], kFrames);
    for (auto& o : out)
      benchmark::DoNotOptimize(o.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

BENCHMARK(BM_HalfbandFilters);

// Process CPU seconds: while the plain chain is timed, the host's threads are idle.
double CpuSeconds()
{
  return double(std::clock()) / double(CLOCKS_PER_SEC);
}

// CPU nanoseconds per frame of the plain chain with settled controls, measured once per
// oversampling setting, so that each case through the exports carries its ratio to the plain
// chain as a counter of the same run.
double PlainNanosPerFrame(bool oversampling)
{
  static std::map<bool, double> measured;
  if (const auto found = measured.find(oversampling); found != measured.end())
    return found->second;
  reference::PreampChain chain;
  chain.SetSampleRate(kRate);
  chain.SetParameters({kSettled.gain, kSettled.low, kSettled.high, kSettled.output, oversampling});
  chain.Reset();
  TestSignal in;
  std::vector<double> outL(kFrames), outR(kFrames);
  const double* inputs[2] = {in.left.data(), in.right.data()};
  double* outputs[2] = {outL.data(), outR.data()};
  // The best of a few rounds of a tenth of a second each: the figure least disturbed by whatever
  // else the machine is doing.
  double best = 0.0;
  for (int round = 0; round < 5; ++round)
  {
    const double start = CpuSeconds();
    int64_t frames = 0;
    while (CpuSeconds() - start < 0.1)
    {
      chain.Process(inputs, outputs, kFrames);
      benchmark::DoNotOptimize(outL.data());
      benchmark::ClobberMemory();
      frames += kFrames;
    }
    const double nanos = (CpuSeconds() - start) * 1e9 / double(frames);
    best = round == 0 ? nanos : std::min(best, nanos);
  }
  return measured[oversampling] = best;
}

// The module file's render procedure, as aaxhost process drives it: the parameters set through
// the host's automation path, then block after block of 32-bit stereo samples on the audio
// thread (each block also delivers the host's posted packets and moves the transport on).
void BM_ThroughExports(benchmark::State& state)
{
  const bool oversampling = state.range(0) != 0;
  const int block = static_cast<int>(state.range(1));
  std::unique_ptr<aaxhost::HostSession> session;
  try
  {
    aaxhost::HostSession::Options options;
    options.modulePath = gModulePath;
    options.component = 1;
    options.sampleRate = kRate;
    session = std::make_unique<aaxhost::HostSession>(options);
    char gain[64], low[64], high[64], output[64];
    std::snprintf(gain, sizeof(gain), "Gain=%g", kSettled.gain);
    std::snprintf(low, sizeof(low), "Low Gain=%g", kSettled.low);
    std::snprintf(high, sizeof(high), "High Gain=%g", kSettled.high);
    std::snprintf(output, sizeof(output), "Output=%g", kSettled.output);
    aaxhost::ApplySettings(*session, aaxhost::ResolveSettings(*session, {gain, low, high, output,
                                                                         oversampling ? "Oversampling=1" : "Oversampling=0"}));
  }
  catch (const std::exception& error)
  {
    state.SkipWithError((std::string("cannot load the module: ") + error.what()).c_str());
    return;
  }

  // A second of a two-tone signal, handed out block after block.
  constexpr int kSignal = 48000;
  std::vector<float> left(kSignal + 4096), right(kSignal + 4096);
  for (size_t i = 0; i < left.size(); ++i)
  {
    left[i] = float(0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * double(i) / kRate));
    right[i] = float(0.5 * std::sin(2.0 * std::numbers::pi * 660.0 * double(i) / kRate));
  }
  std::vector<float> outL(static_cast<size_t>(block)), outR(static_cast<size_t>(block));
  float* outputs[2] = {outL.data(), outR.data()};

  // The iterations run on the audio thread itself, so the CPU time is that thread's.
  session->AudioThread().Run([&] {
    int at = 0;
    for (auto _ : state)
    {
      float* inputs[2] = {left.data() + at, right.data() + at};
      session->RenderBlock(inputs, outputs, block);
      benchmark::DoNotOptimize(outL.data());
      benchmark::DoNotOptimize(outR.data());
      benchmark::ClobberMemory();
      at += block;
      if (at >= kSignal)
        at = 0;
    }
  });
  const double frames = static_cast<double>(state.iterations()) * block;
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
  // CPU time per frame of the plain chain over this case's: above 1 the exports are faster.
  state.counters["x_plain"] = benchmark::Counter(PlainNanosPerFrame(oversampling) * frames * 1e-9,
                                                 benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ThroughExports)
  ->ArgNames({"oversampling", "block"})
  ->ArgsProduct({{0, 1}, {1, 16, 32, 64, 512, 4096}});

// Prints what the console reporter prints, keeps the CPU time of every case (the median when the
// runs are repeated), and ends with the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& reports) override
  {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports)
    {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median)
        continue;
      std::string name = run.run_name.str();
      if (median || !mMedian.count(name))
      {
        mNanosPerFrame[name] = run.GetAdjustedCPUTime() * TimeUnitToNanos(run.time_unit) / FramesPerIteration(name);
        if (median)
          mMedian[name] = true;
      }
    }
  }

  void Finalize() override
  {
    ConsoleReporter::Finalize();
    std::printf("\nvector kernels: %s (the module's: %s)\n", SimdLevelName(ActivePreampKernels().level),
                SimdLevelName(BestSimdLevel()));
    std::printf("%-34s %18s %18s %8s\n", "CPU time per stereo frame", "RenderBlock", "plain chain", "ratio");
    for (const char* os : {"0", "1"})
      for (const char* glide : {"0", "1"})
      {
        const std::string args = std::string("/oversampling:") + os + "/glide:" + glide;
        const auto fast = mNanosPerFrame.find("BM_RenderBlock" + args);
        const auto plain = mNanosPerFrame.find("BM_PlainChain" + args);
        if (fast == mNanosPerFrame.end() || plain == mNanosPerFrame.end())
          continue;
        const std::string label = std::string("oversampling ") + (os[0] == '1' ? "on" : "off")
          + (glide[0] == '1' ? ", gliding" : ", settled");
        std::printf("%-34s %15.1f ns %15.1f ns %7.2fx\n", label.c_str(), fast->second, plain->second,
                    plain->second / fast->second);
      }
    std::printf("%-34s %18s %18s %8s\n", "above the vector limit", "RenderBlock", "vector limit", "ratio");
    for (const char* os : {"0", "1"})
      for (const char* glide : {"0", "1"})
      {
        const auto fast = mNanosPerFrame.find(std::string("BM_RenderBlock/oversampling:") + os + "/glide:" + glide);
        const auto limit = mNanosPerFrame.find(std::string("BM_VectorLimit/oversampling:") + os);
        if (fast == mNanosPerFrame.end() || limit == mNanosPerFrame.end())
          continue;
        const std::string label = std::string("oversampling ") + (os[0] == '1' ? "on" : "off")
          + (glide[0] == '1' ? ", gliding" : ", settled");
        std::printf("%-34s %15.1f ns %15.1f ns %7.2fx\n", label.c_str(), fast->second, limit->second,
                    fast->second / limit->second);
      }
    const auto halfband = mNanosPerFrame.find("BM_HalfbandFilters");
    const auto limitOn = mNanosPerFrame.find("BM_VectorLimit/oversampling:1");
    if (halfband != mNanosPerFrame.end() && limitOn != mNanosPerFrame.end())
      std::printf("%-34s %15.1f ns %15.1f ns %7.2fx\n", "half-band filters alone (on)", halfband->second,
                  limitOn->second, halfband->second / limitOn->second);
    std::printf("%-34s %18s %18s %8s\n", "gliding against settled", "gliding", "settled", "ratio");
    for (const char* os : {"0", "1"})
    {
      const std::string stem = std::string("BM_RenderBlock/oversampling:") + os + "/glide:";
      const auto gliding = mNanosPerFrame.find(stem + "1");
      const auto settled = mNanosPerFrame.find(stem + "0");
      if (gliding == mNanosPerFrame.end() || settled == mNanosPerFrame.end())
        continue;
      const std::string label = std::string("oversampling ") + (os[0] == '1' ? "on" : "off");
      std::printf("%-34s %15.1f ns %15.1f ns %7.2fx\n", label.c_str(), gliding->second, settled->second,
                  gliding->second / settled->second);
    }
    std::printf("%-34s %18s %18s %8s\n", "through the module's exports", "render procedure", "plain (settled)", "ratio");
    for (const char* os : {"0", "1"})
      for (const char* block : {"1", "16", "32", "64", "512", "4096"})
      {
        const auto fast = mNanosPerFrame.find(std::string("BM_ThroughExports/oversampling:") + os + "/block:" + block);
        const auto plain = mNanosPerFrame.find(std::string("BM_PlainChain/oversampling:") + os + "/glide:0");
        if (fast == mNanosPerFrame.end() || plain == mNanosPerFrame.end())
          continue;
        const std::string label = std::string("oversampling ") + (os[0] == '1' ? "on" : "off") + ", block " + block;
        std::printf("%-34s %15.1f ns %15.1f ns %7.2fx\n", label.c_str(), fast->second, plain->second,
                    plain->second / fast->second);
      }
  }

private:
  static double FramesPerIteration(const std::string& name)
  {
    const size_t at = name.find("/block:");
    return at == std::string::npos ? double(kFrames) : std::atof(name.c_str() + at + 7);
  }

  static double TimeUnitToNanos(benchmark::TimeUnit unit)
  {
    switch (unit)
    {
      case benchmark::kSecond: return 1e9;
      case benchmark::kMillisecond: return 1e6;
      case benchmark::kMicrosecond: return 1e3;
      case benchmark::kNanosecond: return 1.0;
    }
    return 1.0;
  }

  std::map<std::string, double> mNanosPerFrame;
  std::map<std::string, bool> mMedian;
};

// Takes --simd=NAME and --module=PATH out of the arguments; false when NAME is unknown or the
// processor lacks it.
bool TakeSimdOption(int& argc, char** argv)
{
  int kept = 0;
  bool ok = true;
  for (int i = 0; i < argc; ++i)
  {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--module=", 9) == 0)
    {
      gModulePath = arg + 9;
      continue;
    }
    if (std::strncmp(arg, "--simd=", 7) != 0)
    {
      argv[kept++] = argv[i];
      continue;
    }
    const std::string name = arg + 7;
    const SimdLevel level = name == "sse2" ? SimdLevel::kSse2 : name == "avx2" ? SimdLevel::kAvx2 : SimdLevel::kAvx512;
    if ((name != "sse2" && name != "avx2" && name != "avx512") || !UseSimdLevel(level))
    {
      std::fprintf(stderr, "bench_CorvaneBench: --simd=%s is not available on this processor\n", name.c_str());
      ok = false;
    }
  }
  argc = kept;
  return ok;
}
} // namespace

int main(int argc, char** argv)
{
  if (!TakeSimdOption(argc, argv))
    return 2;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::AddCustomContext("vector kernels", SimdLevelName(ActivePreampKernels().level));
  // The module's copy of the dispatcher runs the same detection on the same processor.
  benchmark::AddCustomContext("module vector kernels", SimdLevelName(BestSimdLevel()));
  benchmark::AddCustomContext("module", gModulePath);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
