#pragma once

// The bodies of the preamp's vector kernels (declared in VectorMath.h), written once over a GCC
// vector of doubles and compiled once per instruction set by VectorMathSse2.cpp,
// VectorMathAvx2.cpp and VectorMathAvx512.cpp. Include it nowhere else.
//
// Before including, a translation unit defines:
//   CORVANE_LANES          doubles per vector (2, 4 or 8)
//   CORVANE_NATIVE         the matching intrinsic vector type (__m128d, __m256d, __m512d)
//   CORVANE_TANH, CORVANE_SIN   SLEEF's functions of that width
//   CORVANE_MULADD(a, b, c)     a * b + c on intrinsic vectors: fused where the set has it
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
  Vec v;
  for (int l = 0; l < kLanes; ++l)
    v[l] = x;
  return v;
}

inline Vec Tanh(Vec x)
{
  return (Vec) CORVANE_TANH((CORVANE_NATIVE) x);
}

inline Vec MulAdd(Vec a, Vec b, Vec c)
{
  return (Vec) CORVANE_MULADD((CORVANE_NATIVE) a, (CORVANE_NATIVE) b, (CORVANE_NATIVE) c);
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

// Each output sums its 32 pairs first and only then adds the centre tap and the offset: so a window
// whose pairs all hold one value sums to a constant, which the block routine may take once (see
// VectorMath.h).
//
// Four vectors of outputs at a time (a group), so that independent sums keep the units busy. The
// window a pair reads for tap k of vector j starts kLanes * j + k places from the group, so taps
// that differ by a multiple of kLanes share windows between the vectors: the taps are taken by
// residue r (k = r + kLanes * q), up to four values of q at a time, which loads each window once
// instead of once per tap and vector. Every output adds its terms in the same order. Outputs
// short of a whole group are taken one vector at a time, in that order too.
constexpr int kHalfbandGroup = 4 * kLanes;
constexpr int kPerResidue = kHalfbandOddTapCount / kLanes;

// One vector of outputs, the taps in the groups' order.
inline Vec HalfbandSum(const double* pairs)
{
  Vec acc = {};
  for (int r = 0; r < kLanes; ++r)
    for (int q = 0; q < kPerResidue; ++q)
    {
      const int k = r + kLanes * q;
      acc = MulAdd(Splat(kHalfbandOddTaps[k]), Load(pairs + k) + Load(pairs - 1 - k), acc);
    }
  return acc;
}

void Halfband(const double* centre, const double* pairs, double offset, double* out, int n)
{
  constexpr int kVectors = 4;
  constexpr int kGroup = kHalfbandGroup;
  constexpr int kStep = kPerResidue < 4 ? kPerResidue : 4;
  constexpr int kWindows = kStep + kVectors - 1;
  static_assert(kGroup <= kHalfbandKernelPadding, "padding too small for one group of outputs");
  static_assert(kHalfbandOddTapCount % kLanes == 0 && kPerResidue % kStep == 0, "taps must split evenly");

  int i = 0;
  for (; i + kGroup <= n; i += kGroup)
  {
    const double* newer = pairs + i;
    const double* older = pairs + i - 1;
    Vec acc[kVectors] = {};
    for (int r = 0; r < kLanes; ++r)
    {
      for (int q0 = 0; q0 < kPerResidue; q0 += kStep)
      {
        // Tap k = r + kLanes * (q0 + c) of vector j reads newer window c + j and older window
        // j - c + kStep - 1.
        Vec newerWindow[kWindows];
        Vec olderWindow[kWindows];
        for (int t = 0; t < kWindows; ++t)
        {
          newerWindow[t] = Load(newer + r + kLanes * (q0 + t));
          olderWindow[t] = Load(older - r + kLanes * (t - (kStep - 1) - q0));
          // With 32 vector registers every window fits: keep each in one, as left alone the
          // compiler loads it again for every use. With 16 they do not, and reloads are cheaper.
          if constexpr (kLanes == 8)
            __asm__("" : "+v"(newerWindow[t]), "+v"(olderWindow[t]));
        }
        for (int c = 0; c < kStep; ++c)
        {
          const Vec h = Splat(kHalfbandOddTaps[r + kLanes * (q0 + c)]);
          for (int j = 0; j < kVectors; ++j)
            acc[j] = MulAdd(h, newerWindow[c + j] + olderWindow[j - c + kStep - 1], acc[j]);
        }
      }
    }
    for (int j = 0; j < kVectors; ++j)
      Store(out + i + j * kLanes, (acc[j] + kHalfbandCentreTap * Load(centre + i + j * kLanes)) + offset);
  }
  // The rest one vector at a time, each tap in the order the groups take them, so that a short
  // block computes no more than its own outputs and every output is the group's to the bit.
  for (; i < n; i += kLanes)
    Store(out + i, (HalfbandSum(pairs + i) + kHalfbandCentreTap * Load(centre + i)) + offset);
}

// Two filters' outputs: the groups as Halfband takes them, the rest with the two filters' sums
// side by side, as each sum is one long chain of dependent operations. Writes no output past n.
void HalfbandPair(const HalfbandRun& a, const HalfbandRun& b, int n)
{
  const int whole = n / kHalfbandGroup * kHalfbandGroup;
  Halfband(a.centre, a.pairs, a.offset, a.out, whole);
  Halfband(b.centre, b.pairs, b.offset, b.out, whole);
  for (int i = whole; i < n; i += kLanes)
  {
    const Vec sumA = HalfbandSum(a.pairs + i);
    const Vec sumB = HalfbandSum(b.pairs + i);
    const Vec yA = (sumA + kHalfbandCentreTap * Load(a.centre + i)) + a.offset;
    const Vec yB = (sumB + kHalfbandCentreTap * Load(b.centre + i)) + b.offset;
    if (n - i >= kLanes)
    {
      Store(a.out + i, yA);
      Store(b.out + i, yB);
    }
    else
    {
      StorePartial(a.out + i, n - i, yA);
      StorePartial(b.out + i, n - i, yB);
    }
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
  Store(c[6] + i, Splat(1.0) / d.A0);
}

inline void StoreDesignPartial(double* const* c, int i, int count, const ToneDesign<Vec>& d)
{
  StorePartial(c[0] + i, count, d.B0);
  StorePartial(c[1] + i, count, d.B1);
  StorePartial(c[2] + i, count, d.B2);
  StorePartial(c[3] + i, count, d.A0);
  StorePartial(c[4] + i, count, d.A1);
  StorePartial(c[5] + i, count, d.A2);
  StorePartial(c[6] + i, count, Splat(1.0) / d.A0);
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

const PreampKernels kTable = {CORVANE_LEVEL, SaturateDivide, Halfband, HalfbandPair, DesignLow, DesignHigh};
} // namespace

const PreampKernels& CORVANE_TABLE()
{
  return kTable;
}
