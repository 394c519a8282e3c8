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

#include <cfloat>

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

// Splat for a value known only at run time: written as a vector operation, it compiles to one
// broadcast (x - 0 is x, signed zeros included), where the lane loop becomes a broadcast per lane.
inline Vec Broadcast(double x)
{
  return x - Vec{};
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

// Two vectors of the curve, a and b, with their transcendental calls interleaved: a call's result
// takes far longer to come than the processor takes to start the next call, and a call of the other
// vector never waits for it. `between<k>()` runs after the k-th call (k = 0 to 7), for work to slip
// in beside them. Lane by lane the same operations as SaturateDivideVec, so the same bits.
template <class Between>
inline void SaturateDividePair(Vec da, Vec ga, Vec db, Vec gb, Vec& ya, Vec& yb, Between&& between)
{
  const Vec a2 = da * da;
  const Vec b2 = db * db;
  const Vec a3 = a2 * da;
  const Vec b3 = b2 * db;
  const Vec a4 = a2 * a2;
  const Vec b4 = b2 * b2;
  const Vec ta4 = Tanh(a4);
  between.template operator()<0>();
  const Vec tb4 = Tanh(b4);
  between.template operator()<1>();
  const Vec ta3 = Tanh(a3);
  between.template operator()<2>();
  const Vec tb3 = Tanh(b3);
  between.template operator()<3>();
  const Vec sa = Sin(0.1 * ta4 + 0.1 * ta3);
  between.template operator()<4>();
  const Vec ta1 = Tanh(da);
  between.template operator()<5>();
  const Vec sb = Sin(0.1 * tb4 + 0.1 * tb3);
  between.template operator()<6>();
  const Vec tb1 = Tanh(db);
  between.template operator()<7>();
  ya = (sa + ta1) / ga;
  yb = (sb + tb1) / gb;
}

struct Nothing
{
  template <int>
  void operator()() const
  {}
};

// A tail of at most a third of a vector (a host's block of one frame): its three tanh arguments per
// element (d^4, d^3, d) are packed side by side into one vector, so it takes one tanh call instead
// of three. The functions work lane by lane, so every result is the bit SaturateDivideVec gives.
typedef long long Lanes __attribute__((vector_size(kLanes * sizeof(long long))));

// Lane l of the result is lane index[l] of a and b side by side, written lane by lane: GCC's
// two-vector shuffle builtin has no counterpart of the same name in clang.
inline Vec Shuffle(Vec a, Vec b, const Lanes& index)
{
  Vec r;
  for (int l = 0; l < kLanes; ++l)
    r[l] = index[l] < kLanes ? a[index[l]] : b[index[l] - kLanes];
  return r;
}

template <int kRest>
Vec SaturateDividePacked(Vec x, Vec g)
{
  static_assert(3 * kRest <= kLanes, "the three runs must fit one vector");
  // Lanes of x from kRest on are zero, and so are those of its powers.
  const Vec x2 = x * x;
  const Vec x3 = x2 * x;
  const Vec x4 = x2 * x2;
  Lanes takeCube, takeSelf, third, second;
  for (int l = 0; l < kLanes; ++l)
  {
    takeCube[l] = l < kRest ? l : l < 2 * kRest ? kLanes + l - kRest : kLanes - 1;
    takeSelf[l] = l < 2 * kRest ? l : l < 3 * kRest ? kLanes + l - 2 * kRest : kLanes + kLanes - 1;
    second[l] = (l + kRest) % kLanes;
    third[l] = (l + 2 * kRest) % kLanes;
  }
  const Vec packed = Shuffle(Shuffle(x4, x3, takeCube), x, takeSelf);
  const Vec t = Tanh(packed);
  return (Sin(0.1 * t + 0.1 * Shuffle(t, t, second)) + Shuffle(t, t, third)) / g;
}

void SaturateDivideTail(const double* d, const double* g, double* out, int rest)
{
  // S(0) / 1 in the unused lanes: no division by zero, nothing out of range.
  const Vec x = LoadPartial(d, rest, 0.0);
  const Vec divisor = LoadPartial(g, rest, 1.0);
  if constexpr (kLanes >= 3)
  {
    if (rest == 1)
      return StorePartial(out, rest, SaturateDividePacked<1>(x, divisor));
  }
  if constexpr (kLanes >= 6)
  {
    if (rest == 2)
      return StorePartial(out, rest, SaturateDividePacked<2>(x, divisor));
  }
  StorePartial(out, rest, SaturateDivideVec(x, divisor));
}

void SaturateDivide(const double* d, const double* g, double* out, int n)
{
  int i = 0;
  for (; i + 2 * kLanes <= n; i += 2 * kLanes)
  {
    Vec ya, yb;
    SaturateDividePair(Load(d + i), Load(g + i), Load(d + i + kLanes), Load(g + i + kLanes), ya, yb, Nothing{});
    Store(out + i, ya);
    Store(out + i + kLanes, yb);
  }
  for (; i + kLanes <= n; i += kLanes)
    Store(out + i, SaturateDivideVec(Load(d + i), Load(g + i)));
  if (i < n)
    SaturateDivideTail(d + i, g + i, out + i, n - i);
}

void SaturateDrive(const double* d, double factor, double g, double* out, int n)
{
  const Vec f = Broadcast(factor);
  const Vec drive = Broadcast(g);
  int i = 0;
  for (; i + 2 * kLanes <= n; i += 2 * kLanes)
  {
    Vec ya, yb;
    SaturateDividePair((f * Load(d + i)) * drive, drive, (f * Load(d + i + kLanes)) * drive, drive, ya, yb, Nothing{});
    Store(out + i, ya);
    Store(out + i + kLanes, yb);
  }
  for (; i + kLanes <= n; i += kLanes)
    Store(out + i, SaturateDivideVec((f * Load(d + i)) * drive, drive));
  if (i < n)
  {
    double driven[kLanes], divisor[kLanes];
    for (int l = 0; l < n - i; ++l)
    {
      driven[l] = (factor * d[i + l]) * g;
      divisor[l] = g;
    }
    SaturateDivideTail(driven, divisor, out + i, n - i);
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
constexpr int kHalfbandVectors = kLanes == 8 ? 8 : 4;
constexpr int kHalfbandGroup = kHalfbandVectors * kLanes;
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
  constexpr int kVectors = kHalfbandVectors;
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

inline bool AllLanes(const Lanes& m)
{
  for (int l = 0; l < kLanes; ++l)
    if (m[l] == 0)
      return false;
  return true;
}

// A vector of high designs without a cut in any lane takes the short form (see HighToneDesign): a
// glide spends most of its vectors wholly on one side of the centre.
inline ToneDesign<Vec> HighToneDesignSided(double f, Vec p, Vec q)
{
  if (AllLanes(q == 0.0))
    return HighToneDesign<Vec, true>(f, p, q);
  return HighToneDesign<Vec>(f, p, q);
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
    StoreDesign(c, i, HighToneDesignSided(f, Load(p + i), Load(q + i)));
  if (i < n)
    StoreDesignPartial(c, i, n - i,
                       HighToneDesignSided(f, LoadPartial(p + i, n - i, 1.0), LoadPartial(q + i, n - i, 0.0)));
}

// The tone amounts of the smoothed control values, as the block routine maps them: the low
// control's -10..10 to -0.3..0.3, the boost and the cut amount never both leaving the floor 1e-5;
// the high control's to -0.85..0.85, p = 1 - t for a boost and q = -t for a cut.
inline void LowAmounts(Vec z, Vec& p, Vec& q)
{
  const Vec t = (z + 10.0) / 20.0 * 0.6 - 0.3;
  const Vec floor = Splat(1e-5);
  p = t > 0.0 ? t : floor;
  q = t < 0.0 ? -t : floor;
}

inline void HighAmounts(Vec z, Vec& p, Vec& q)
{
  const Vec t = (z + 10.0) / 20.0 * 1.7 - 0.85;
  p = t > 0.0 ? 1.0 - t : Splat(1.0);
  q = t < 0.0 ? -t : Splat(0.0);
}

// Unused lanes design the centre setting (a control value of 0).
template <void (*kAmounts)(Vec, Vec&, Vec&), ToneDesign<Vec> (*kDesign)(double, Vec, Vec)>
void DesignFromControl(double f, const double* z, double* const* c, int n)
{
  Vec p, q;
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
  {
    kAmounts(Load(z + i), p, q);
    StoreDesign(c, i, kDesign(f, p, q));
  }
  if (i < n)
  {
    kAmounts(LoadPartial(z + i, n - i, 0.0), p, q);
    StoreDesignPartial(c, i, n - i, kDesign(f, p, q));
  }
}

// Rows row .. row + kLanes of one filter's outputs over a segment: the state's part and the inputs'
// part, each as two interleaved sums, added last. The state's part is what one segment waits for
// from the one before, so its chains are kept short. Input columns past the last row hold only
// zero weights and are left out, so a frame's output never depends on the frames after it.
inline Vec SegmentRows(const double (&inputWeights)[kToneSegment][kToneSegment],
                       const double (&stateWeights)[kToneWeightedState][kToneSegment], const double* state,
                       const double* u, int row)
{
  Vec fromState[2] = {};
  for (int k = 0; k < kToneWeightedState; ++k)
    fromState[k % 2] = MulAdd(Load(stateWeights[k] + row), Broadcast(state[kToneWeightedIndex[k]]), fromState[k % 2]);
  Vec fromInput[2] = {};
  const int columns = row + kLanes < kToneSegment ? row + kLanes : kToneSegment;
  for (int c = 0; c < columns; ++c)
    fromInput[c % 2] = MulAdd(Load(inputWeights[c] + row), Broadcast(u[c]), fromInput[c % 2]);
  return (fromState[0] + fromState[1]) + (fromInput[0] + fromInput[1]);
}

// One channel's segment: its outputs into `out` and its state advanced to the segment's end. Only
// the low filter's last two outputs are needed, for the state.
inline void ToneSegment(const ToneSegmentWeights& w, double* state, const double* u, double* out)
{
  constexpr int kLast = kToneSegment - kLanes;
  double high[kToneSegment];
  for (int row = 0; row < kToneSegment; row += kLanes)
    Store(high + row, SegmentRows(w.highInput, w.highState, state, u, row));
  double low[kLanes];
  Store(low, SegmentRows(w.lowInput, w.lowState, state, u, kLast));
  const double lowLast = low[kLanes - 1];
  const double lowBefore = low[kLanes - 2];
  state[0] = 10.0 * u[kToneSegment - 1];
  state[1] = 10.0 * u[kToneSegment - 2];
  state[2] = lowLast;
  state[3] = lowBefore;
  state[4] = 10.0 * lowLast;
  state[5] = 10.0 * lowBefore;
  state[6] = high[kToneSegment - 1];
  state[7] = high[kToneSegment - 2];
  for (int f = 0; f < kToneSegment; ++f)
    out[f] = high[f];
}

void ToneSegments(const ToneSegmentWeights& w, double* const* state, const double* const* input,
                  double* const* output, int segments)
{
  // Local copies: the compiler may then keep both channels' chains in flight at once.
  double left[kToneState], right[kToneState];
  for (int k = 0; k < kToneState; ++k)
  {
    left[k] = state[0][k];
    right[k] = state[1][k];
  }
  for (int s = 0; s < segments; ++s)
  {
    const int at = s * kToneSegment;
    ToneSegment(w, left, input[0] + at, output[0] + at);
    ToneSegment(w, right, input[1] + at, output[1] + at);
  }
  for (int k = 0; k < kToneState; ++k)
  {
    state[0][k] = left[k];
    state[1][k] = right[k];
  }
}

void ToneSegmentOutputs(const ToneSegmentWeights& w, const double* const* state, const double* const* input,
                        double* const* output)
{
  for (int ch = 0; ch < 2; ++ch)
    for (int row = 0; row < kToneSegment; row += kLanes)
      Store(output[ch] + row, SegmentRows(w.highInput, w.highState, state[ch], input[ch], row));
}

// The lanes of v that the smoothers' flush would set to zero (zeros are not), among the first
// `count`.
inline Lanes SubnormalLanes(Vec v, int count)
{
  Lanes inRange;
  for (int l = 0; l < kLanes; ++l)
    inRange[l] = l < count ? -1 : 0;
  return (v != 0.0) & (v < DBL_MIN) & (v > -DBL_MIN) & inRange;
}

inline Lanes SubnormalLanes(Vec v)
{
  return (v != 0.0) & (v < DBL_MIN) & (v > -DBL_MIN);
}

// The four smoothers' recursions, z = a z + c, with nothing on their paths but the recursion.
template <int kSteps, bool kOthers>
struct SmootherChains
{
  double aLow, aHigh, aDrive, aOutput;
  double cLow, cHigh, cDrive, cOutput;
  double zLow, zHigh, zDrive, zOutput;
  double* drive;
  double* low;
  double* high;
  double* output;
  int stride;

  // Frame i's low, high and output steps.
  inline void StepOthers(int i)
  {
    if constexpr (kOthers)
    {
      zLow = aLow * zLow + cLow;
      zHigh = aHigh * zHigh + cHigh;
      const double o1 = aOutput * zOutput + cOutput;
      zOutput = aOutput * o1 + cOutput;
      low[i] = zLow;
      high[i] = zHigh;
      output[2 * i] = o1;
      output[2 * i + 1] = zOutput;
    }
  }

  inline void StepDrive(int i, int k)
  {
    zDrive = aDrive * zDrive + cDrive;
    drive[k * stride + i] = zDrive;
  }

  void StepFrames(int from, int to)
  {
    for (int i = from; i < to; ++i)
    {
      for (int k = 0; k < kSteps; ++k)
        StepDrive(i, k);
      StepOthers(i);
    }
  }

  // Steps [first, first + count) of a whole vector of frames from `frame` on, the steps numbered
  // frame by frame (kSteps drive steps a frame, the frame's other steps with its first).
  template <int kFirst, int kCount>
  inline void StepRange(int frame)
  {
    for (int j = kFirst; j < kFirst + kCount; ++j)
    {
      if (j % kSteps == 0)
        StepOthers(frame + j / kSteps);
      StepDrive(frame + j / kSteps, j % kSteps);
    }
  }
};

// The smoothers step one vector of frames ahead of the curve. The curve's streams go two at a time,
// their transcendental calls interleaved (SaturateDividePair); the next vector's steps are dealt
// out between the calls, a few at a time, so that in program order each short piece of the
// recursions is followed by a call, which the processor runs while the recursions wait on their
// own latency. The streams of a vector need all steps of its frames, hence the lead. Whether a state came out subnormal is
// tested on whole vectors of them, where the curve loads them.
template <int kSteps, bool kOthers>
bool SmoothSaturate(SmoothedSaturation& r, int n)
{
  constexpr int kStreams = kSteps / 2;
  // kSteps * kLanes steps a vector of frames over 4 * kStreams places between calls.
  constexpr int kPerPlace = kLanes / 2;
  SmootherChains<kSteps, kOthers> chains{r.a[0],  r.a[1], r.a[2], r.a[3],   r.c[0],       r.c[1],
                                         r.c[2],  r.c[3], r.z[0], r.z[1],   r.z[2],       r.z[3],
                                         r.drive, r.low,  r.high, r.output, r.driveStride};
  const int stride = r.driveStride;
  const Vec factor = Splat(r.factor);
  Lanes subnormal = {};
  chains.StepFrames(0, n < kLanes ? n : kLanes);
  int i = 0;
  // Whole vectors followed by a whole one: the steps spread between the calls.
  for (; i + 2 * kLanes <= n; i += kLanes)
  {
    const int next = i + kLanes;
    // Streams 2p and 2p + 1 side by side; the places between their calls are 8p to 8p + 7.
    const auto streams = [&]<int kPair>() {
      constexpr int a = 2 * kPair, b = 2 * kPair + 1;
      const Vec ga = Load(r.drive + r.driveStep[a] * stride + i);
      const Vec divisorA = Load(r.drive + r.divideStep[a] * stride + i);
      const Vec gb = Load(r.drive + r.driveStep[b] * stride + i);
      const Vec divisorB = Load(r.drive + r.divideStep[b] * stride + i);
      subnormal |= SubnormalLanes(ga) | SubnormalLanes(divisorA) | SubnormalLanes(gb) | SubnormalLanes(divisorB);
      Vec ya, yb;
      SaturateDividePair(
        (factor * Load(r.in[a] + i)) * ga, divisorA, (factor * Load(r.in[b] + i)) * gb, divisorB, ya, yb,
        [&]<int kPlace>() { chains.template StepRange<(8 * kPair + kPlace) * kPerPlace, kPerPlace>(next); });
      Store(r.out[a] + i, ya);
      Store(r.out[b] + i, yb);
    };
    streams.template operator()<0>();
    if constexpr (kStreams == 4)
      streams.template operator()<1>();
    if constexpr (kOthers)
      subnormal |= SubnormalLanes(Load(r.low + i)) | SubnormalLanes(Load(r.high + i)) |
                   SubnormalLanes(Load(r.output + 2 * i)) | SubnormalLanes(Load(r.output + 2 * i + kLanes));
  }
  // The last one or two vectors: the next vector's steps between the streams.
  for (; i < n; i += kLanes)
  {
    const int next = i + kLanes;
    const int count = n - i < kLanes ? n - i : kLanes;
    for (int s = 0; s < kStreams; ++s)
    {
      if (next < n)
      {
        const int from = next + s * kLanes / kStreams;
        const int to = next + (s + 1) * kLanes / kStreams;
        chains.StepFrames(from < n ? from : n, to < n ? to : n);
      }
      const Vec g = Load(r.drive + r.driveStep[s] * stride + i);
      const Vec divisor = Load(r.drive + r.divideStep[s] * stride + i);
      subnormal |= SubnormalLanes(g, count) | SubnormalLanes(divisor, count);
      const Vec y = SaturateDivideVec((factor * Load(r.in[s] + i)) * g, divisor);
      if (count == kLanes)
        Store(r.out[s] + i, y);
      else
        StorePartial(r.out[s] + i, count, y);
    }
    if constexpr (kOthers)
    {
      subnormal |= SubnormalLanes(Load(r.low + i), count) | SubnormalLanes(Load(r.high + i), count);
      const int outputs = 2 * count;
      subnormal |= SubnormalLanes(Load(r.output + 2 * i), outputs) |
                   SubnormalLanes(Load(r.output + 2 * i + kLanes), outputs - kLanes);
    }
  }

  r.z[2] = chains.zDrive;
  if constexpr (kOthers)
  {
    r.z[0] = chains.zLow;
    r.z[1] = chains.zHigh;
    r.z[3] = chains.zOutput;
  }
  for (int l = 0; l < kLanes; ++l)
    if (subnormal[l] != 0)
      return true;
  return false;
}

// Left and right side by side in one 128-bit vector: every instruction set steps the two
// channels' recursions as two scalar recursions would, lane by lane.
typedef double Pair __attribute__((vector_size(2 * sizeof(double))));

inline ToneCoefficients CoefficientsAt(const double* const* c, int i)
{
  return {c[0][i], c[1][i], c[2][i], c[4][i], c[5][i], c[6][i]};
}

// The feedback of the last output is added last: the recursion's critical path is then a
// multiplication, a subtraction and a multiplication.
inline Pair ToneStep(Pair& x1, Pair& x2, Pair& y1, Pair& y2, const ToneCoefficients& c, Pair x)
{
  const Pair x0 = 10.0 * x;
  const Pair y = (c.b1 * x1 + c.b0 * x0 + c.b2 * x2 - c.a2 * y2 - c.a1 * y1) * c.inverseA0;
  x2 = x1;
  x1 = x0;
  y2 = y1;
  y1 = y;
  return y;
}

template <bool kGlides>
inline ToneCoefficients BandAt(const ToneGlide& r, int band, int i)
{
  if constexpr (kGlides)
    return CoefficientsAt(r.coefficients[band], i);
  else
    return r.resting[band];
}

// The filters run from one frame where a segment starts to the next without looking at their
// coefficients' equality, which is taken there alone; the histories stay in registers throughout.
template <bool kLowGlides, bool kHighGlides>
int ToneGlideFrames(ToneGlide& r, int n)
{
  Pair h[kToneState];
  for (int k = 0; k < kToneState; ++k)
    h[k] = Pair{r.history[k][0], r.history[k][1]};
  double* const left = r.left;
  double* const right = r.right;
  int i = 0;
  while (i < n)
  {
    const int toBoundary = kToneSegment - (r.phase + i) % kToneSegment;
    const int end = n - i < toBoundary ? n : i + toBoundary;
    for (; i < end; ++i)
    {
      const ToneCoefficients low = BandAt<kLowGlides>(r, 0, i);
      const ToneCoefficients high = BandAt<kHighGlides>(r, 1, i);
      const Pair y =
        ToneStep(h[4], h[5], h[6], h[7], high, ToneStep(h[0], h[1], h[2], h[3], low, Pair{left[i], right[i]}));
      left[i] = y[0];
      right[i] = y[1];
    }
    if (i < n && BandAt<kLowGlides>(r, 0, i) == BandAt<kLowGlides>(r, 0, i - 1) &&
        BandAt<kHighGlides>(r, 1, i) == BandAt<kHighGlides>(r, 1, i - 1))
      break;
  }
  for (int k = 0; k < kToneState; ++k)
  {
    r.history[k][0] = h[k][0];
    r.history[k][1] = h[k][1];
  }
  r.last[0] = BandAt<kLowGlides>(r, 0, i - 1);
  r.last[1] = BandAt<kHighGlides>(r, 1, i - 1);
  return i;
}

int ToneGlideAny(ToneGlide& r, int n)
{
  if (r.coefficients[0] != nullptr)
    return r.coefficients[1] != nullptr ? ToneGlideFrames<true, true>(r, n) : ToneGlideFrames<true, false>(r, n);
  return r.coefficients[1] != nullptr ? ToneGlideFrames<false, true>(r, n) : ToneGlideFrames<false, false>(r, n);
}

bool SmoothSaturateAny(SmoothedSaturation& r, int n)
{
  if (r.driveSteps == 8)
    return r.others ? SmoothSaturate<8, true>(r, n) : SmoothSaturate<8, false>(r, n);
  return r.others ? SmoothSaturate<4, true>(r, n) : SmoothSaturate<4, false>(r, n);
}

const PreampKernels kTable = {CORVANE_LEVEL,
                              SaturateDivide,
                              SaturateDrive,
                              Halfband,
                              HalfbandPair,
                              DesignLow,
                              DesignHigh,
                              DesignFromControl<LowAmounts, LowToneDesign<Vec>>,
                              DesignFromControl<HighAmounts, HighToneDesignSided>,
                              ToneSegments,
                              ToneSegmentOutputs,
                              SmoothSaturateAny,
                              ToneGlideAny};
} // namespace

const PreampKernels& CORVANE_TABLE()
{
  return kTable;
}
