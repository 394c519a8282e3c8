#include "VectorMath.h"

#include <atomic>

namespace
{
// Null until the first use picks a set; every later use is one atomic load. Picking twice at once
// is harmless (both pick the same set), so no lock is needed on the audio thread.
std::atomic<const PreampKernels*> gActive{nullptr};

const PreampKernels& KernelsFor(SimdLevel level)
{
  switch (level)
  {
    case SimdLevel::kAvx512:
      return PreampKernelsAvx512();
    case SimdLevel::kAvx2:
      return PreampKernelsAvx2();
    case SimdLevel::kSse2:
      break;
  }
  return PreampKernelsSse2();
}
} // namespace

bool SimdLevelSupported(SimdLevel level)
{
  // The compiler's processor check also asks the operating system whether it saves the wider
  // registers, so a set reported here is one that can run.
  __builtin_cpu_init();
  switch (level)
  {
    case SimdLevel::kSse2:
      return true; // part of every x86-64 processor
    case SimdLevel::kAvx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case SimdLevel::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2")
        && __builtin_cpu_supports("fma");
  }
  return false;
}

SimdLevel BestSimdLevel()
{
  for (SimdLevel level : {SimdLevel::kAvx512, SimdLevel::kAvx2})
    if (SimdLevelSupported(level))
      return level;
  return SimdLevel::kSse2;
}

const PreampKernels& ActivePreampKernels()
{
  const PreampKernels* kernels = gActive.load(std::memory_order_acquire);
  if (!kernels)
  {
    kernels = &KernelsFor(BestSimdLevel());
    gActive.store(kernels, std::memory_order_release);
  }
  return *kernels;
}

bool UseSimdLevel(SimdLevel level)
{
  if (!SimdLevelSupported(level))
    return false;
  gActive.store(&KernelsFor(level), std::memory_order_release);
  return true;
}

const char* SimdLevelName(SimdLevel level)
{
  switch (level)
  {
    case SimdLevel::kSse2:
      return "SSE2";
    case SimdLevel::kAvx2:
      return "AVX2";
    case SimdLevel::kAvx512:
      return "AVX-512";
  }
  return "unknown";
}
