#pragma once

// The few SLEEF functions that the preamp's vector kernels call, for builds that have no SLEEF
// (Debian ships none for mingw-w64): each lane goes through the C library's tanh and sin. Only
// those builds put this folder on the include path (cmake/CorvaneVectorMath.cmake chooses); the
// kernels and their run-time choice of instruction set stay as they are. The results differ from
// SLEEF's only in the last bits, and like SLEEF's depend on each element alone, so a signal
// rendered whole and in any split still gives the same output.
//
// Templates, so that a translation unit built for SSE2 never instantiates (and never compiles a
// call with) a wider vector type than its instruction set has.

#include <immintrin.h>

#include <cmath>
#include <cstring>

namespace corvane_portable_math {

template <typename V, typename F>
inline V EachLane(V x, F f)
{
  constexpr size_t kLanes = sizeof(V) / sizeof(double);
  double lanes[kLanes];
  std::memcpy(lanes, &x, sizeof x);
  for (size_t l = 0; l < kLanes; ++l)
    lanes[l] = f(lanes[l]);
  std::memcpy(&x, lanes, sizeof x);
  return x;
}

inline double Tanh(double x) { return std::tanh(x); }
inline double Sin(double x) { return std::sin(x); }

} // namespace corvane_portable_math

template <typename V> inline V Sleef_tanhd2_u35sse2(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Tanh); }
template <typename V> inline V Sleef_sind2_u35sse2(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Sin); }
template <typename V> inline V Sleef_tanhd4_u35avx2(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Tanh); }
template <typename V> inline V Sleef_sind4_u35avx2(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Sin); }
template <typename V> inline V Sleef_tanhd8_u35avx512f(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Tanh); }
template <typename V> inline V Sleef_sind8_u35avx512f(V x) { return corvane_portable_math::EachLane(x, corvane_portable_math::Sin); }
