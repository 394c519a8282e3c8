#pragma once

// The bodies of the preamp's vector kernels (declared in VectorMath.h), written once over a GCC
// vector of doubles and compiled once per instruction set by VectorMathSse2.cpp,
// VectorMathAvx2.cpp and VectorMathAvx512.cpp. Include it nowhere else.
//
// Before including, a translation unit defines:
//   CORVANE_LANES          doubles per vector (2, 4 or 8)
//   CORVANE_NATIVE         the matching intrinsic vector type (__m128d, __m256d, __m512d)
//   CORVANE_TANH, CORVANE_SIN   SLEEF's functions of that width
//   CORVANE_LEVEL          the SimdLevel it builds for
//   CORVANE_TABLE          the name of its table function (PreampKernelsSse2 ...)
//
// Everything lives in an unnamed namespace apart from the table function: code compiled for a
// wider instruction set must never be merged with, or stand in for, code of a narrower one.

#include <sleef.h>

#include "HalfbandTaps.h"
#include "ToneDesign.h"
#include "VectorMath.h"

namespace
{
constexpr int kLanes = CORVANE_LANES;
typedef double Vec __attribute__((vector_size(kLanes * sizeof(double))));

inline Vec Load(const double* p)
{
  Vec v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

inline void Store(double* p, Vec v)
{
  __builtin_memcpy(p, &v, sizeof v);
}

inline Vec Splat(double x)
{
  return Vec{} + x;
}

inline Vec Tanh(Vec x)
{
  return (Vec) CORVANE_TANH((CORVANE_NATIVE) x);
}

inline Vec Sin(Vec x)
{
  return (Vec) CORVANE_SIN((CORVANE_NATIVE) x);
}

// Copies the first `count` elements of src into a full vector, the rest being `fill`.
inline Vec LoadPartial(const double* src, int count, double fill)
{
  double lanes[kLanes];
  for (int l = 0; l < kLanes; ++l)
    lanes[l] = l < count ? src[l] : fill;
  return Load(lanes);
}

inline void StorePartial(double* dst, int count, Vec v)
{
  double lanes[kLanes];
  Store(lanes, v);
  for (int l = 0; l < count; ++l)
    dst[l] = lanes[l];
}

inline Vec SaturateDivideVec(Vec d, Vec g)
{
  const Vec d2 = d * d;
  const Vec d3 = d2 * d;
  const Vec d4 = d2 * d2;
  return (Sin(0.1 * Tanh(d4) + 0.1 * Tanh(d3)) + Tanh(d)) / g;
}

void SaturateDivide(const double* d, const double* g, double* out, int n)
{
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    Store(out + i, SaturateDivideVec(Load(d + i), Load(g + i)));
  if (i < n)
  {
    // S(0) / 1 in the unused lanes: no division by zero, nothing out of range.
    const int rest = n - i;
    StorePartial(out + i, rest, SaturateDivideVec(LoadPartial(d + i, rest, 0.0), LoadPartial(g + i, rest, 1.0)));
  }
}

// Four vectors of outputs at a time: each output's sum is a chain of 32 dependent additions, so
// independent chains side by side keep the arithmetic units busy.
void Halfband(const double* centre, const double* pairs, double offset, double* out, int n)
{
  constexpr int kGroup = 4 * kLanes;
  static_assert(kGroup <= kHalfbandKernelPadding, "padding too small for one group of outputs");
  for (int i = 0; i < n; i += kGroup)
  {
    Vec acc0 = kHalfbandCentreTap * Load(centre + i);
    Vec acc1 = kHalfbandCentreTap * Load(centre + i + kLanes);
    Vec acc2 = kHalfbandCentreTap * Load(centre + i + 2 * kLanes);
    Vec acc3 = kHalfbandCentreTap * Load(centre + i + 3 * kLanes);
    const double* newer = pairs + i;
    const double* older = pairs + i - 1;
    for (int k = 0; k < kHalfbandOddTapCount; ++k)
    {
      const double h = kHalfbandOddTaps[k];
      acc0 += h * (Load(newer + k) + Load(older - k));
      acc1 += h * (Load(newer + k + kLanes) + Load(older - k + kLanes));
      acc2 += h * (Load(newer + k + 2 * kLanes) + Load(older - k + 2 * kLanes));
      acc3 += h * (Load(newer + k + 3 * kLanes) + Load(older - k + 3 * kLanes));
    }
    Store(out + i, acc0 + offset);
    Store(out + i + kLanes, acc1 + offset);
    Store(out + i + 2 * kLanes, acc2 + offset);
    Store(out + i + 3 * kLanes, acc3 + offset);
  }
}

inline void StoreDesign(double* const* c, int i, const ToneDesign<Vec>& d)
{
  Store(c[0] + i, d.B0);
  Store(c[1] + i, d.B1);
  Store(c[2] + i, d.B2);
  Store(c[3] + i, d.A0);
  Store(c[4] + i, d.A1);
  Store(c[5] + i, d.A2);
}

inline void StoreDesignPartial(double* const* c, int i, int count, const ToneDesign<Vec>& d)
{
  StorePartial(c[0] + i, count, d.B0);
  StorePartial(c[1] + i, count, d.B1);
  StorePartial(c[2] + i, count, d.B2);
  StorePartial(c[3] + i, count, d.A0);
  StorePartial(c[4] + i, count, d.A1);
  StorePartial(c[5] + i, count, d.A2);
}

// Unused lanes design the centre settings.
void DesignLow(double f, const double* p, const double* q, double* const* c, int n)
{
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    StoreDesign(c, i, LowToneDesign(f, Load(p + i), Load(q + i)));
  if (i < n)
    StoreDesignPartial(c, i, n - i, LowToneDesign(f, LoadPartial(p + i, n - i, 1e-5), LoadPartial(q + i, n - i, 1e-5)));
}

void DesignHigh(double f, const double* p, const double* q, double* const* c, int n)
{
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    StoreDesign(c, i, HighToneDesign(f, Load(p + i), Load(q + i)));
  if (i < n)
    StoreDesignPartial(c, i, n - i, HighToneDesign(f, LoadPartial(p + i, n - i, 1.0), LoadPartial(q + i, n - i, 0.0)));
}

const PreampKernels kTable = {CORVANE_LEVEL, SaturateDivide, Halfband, DesignLow, DesignHigh};
} // namespace

const PreampKernels& CORVANE_TABLE()
{
  return kTable;
}
