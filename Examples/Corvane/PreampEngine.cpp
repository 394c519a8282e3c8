#include "PreampEngine.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "HalfbandTaps.h"
#include "IParam.h"
#include "VectorMath.h"

using namespace iplug;

// Index of this file:
//   helpers: smoother probes, tone amounts, coefficient copies
//   Render and RenderChunk: the stages in order
//   smoother sequences
//   tone designs
//   saturation, with and without oversampling, and the half-band filters
//   tone filters

// ---- helpers ---------------------------------------------------------------------------------

namespace
{
constexpr double kToneFloor = 1e-5;
constexpr int kHistory = HalfbandFilter::kPhaseHistory;

// The centre tap of the half-band filter lags 64 steps, i.e. 32 frames of two steps.
constexpr int kCentreLag = 32;

// True when the next step would leave the smoother where it is: it has come to rest, and every
// later step gives the same value.
bool AtRest(const OnePoleSmoother& s, double target)
{
  OnePoleSmoother probe = s;
  return probe.Step(target) == s.z;
}

// A state the smoother's flush would set to zero (a zero is already zero).
inline bool Subnormal(double z)
{
  return z != 0.0 && std::fabs(z) < DBL_MIN;
}

// Low control: -10..10 maps to -0.3..0.3; boost and cut amounts never both leave the floor.
void LowAmounts(double z, double& p, double& q)
{
  const double t = (z + 10.0) / 20.0 * 0.6 - 0.3;
  p = t > 0.0 ? t : kToneFloor;
  q = t < 0.0 ? -t : kToneFloor;
}

// High control: -10..10 maps to -0.85..0.85.
void HighAmounts(double z, double& p, double& q)
{
  const double t = (z + 10.0) / 20.0 * 1.7 - 0.85;
  p = t > 0.0 ? 1.0 - t : 1.0;
  q = t < 0.0 ? -t : 0.0;
}

template <size_t kLength>
void SetCoefficients(ToneBiquad& f, const double (&c)[7][kLength], int i)
{
  f.B0 = c[0][i];
  f.B1 = c[1][i];
  f.B2 = c[2][i];
  f.A0 = c[3][i];
  f.A1 = c[4][i];
  f.A2 = c[5][i];
}
} // namespace

struct PreampEngine::ToneBand
{
  void (*design)(double f, const double* z, double* const* coefficients, int n);
  void (*amounts)(double z, double& p, double& q);
  const double* z;
  double (&coefficients)[7][kStride];
  ToneBiquad& left;
  ToneBiquad& right;
  double& inverseA0;
  double& designRate;
  double& designZ;
  double& p;
  double& q;
};

// ---- Render and RenderChunk ------------------------------------------------------------------

PreampEngine::PreampEngine(PreampState& state) : mState(state)
{
  static_assert(kPad >= kHalfbandKernelPadding, "scratch too short for the kernels' whole vectors");
  static_assert(HalfbandFilter::kBlockPadding >= kHalfbandKernelPadding + 1, "phases too short for the kernels");
  static_assert(kMaxChunk <= HalfbandFilter::kMaxBlockFrames, "a chunk must fit the half-band filters' blocks");
}

void PreampEngine::Render(double sampleRate, const Targets& targets, const IParam& bypass,
                          sample** inputs, sample** outputs, int nFrames)
{
  const PreampKernels& kernels = ActivePreampKernels();
  for (int start = 0; start < nFrames; start += kMaxChunk)
    RenderChunk(kernels, sampleRate, targets, bypass, inputs, outputs, start,
                std::min(kMaxChunk, nFrames - start));
}

void PreampEngine::RenderChunk(const PreampKernels& kernels, double sampleRate, const Targets& targets,
                               const IParam& bypass, sample** inputs, sample** outputs, int start, int n)
{
  const sample* inL = inputs[0] + start;
  const sample* inR = inputs[1] + start;
  sample* outL = outputs[0] + start;
  sample* outR = outputs[1] + start;

  // 1. Input. A non-finite host sample would poison every recursive filter for the rest of the
  // session, so the processed path reads it as silence.
  // The offset's sign flips every frame: written per frame's parity, the loop runs across frames.
  const double even = -mState.denormalOffset;
  for (int i = 0; i < n; ++i)
  {
    const double u = (i & 1) != 0 ? -even : even;
    mOffset[i] = u;
    mInput[i] = (std::isfinite(inL[i]) ? inL[i] : 0.0) + u;
    mInput[n + i] = (std::isfinite(inR[i]) ? inR[i] : 0.0) + u;
  }
  mState.denormalOffset = mOffset[n - 1];

  // 2. Smoother sequences: the drive smoother steps four times per frame, eight with oversampling.
  // While it glides through a chunk long enough, the saturation steps the smoothers itself.
  const bool oversampling = targets.passes != 0;
  const int driveSteps = oversampling ? 8 : 4;
  bool lowSettled = false;
  bool highSettled = false;
  RunSmoothers(targets, driveSteps, n, n >= kSmoothSaturateFrames, lowSettled, highSettled);

  // 3. Saturation; its results are the tone filters' input.
  if (oversampling)
    SaturateOversampled(kernels, targets, n);
  else
    Saturate(kernels, targets, n);

  // 4. Tone designs.
  const bool lowGlides = DesignLow(kernels, sampleRate, lowSettled ? 1 : n);
  const bool highGlides = DesignHigh(kernels, sampleRate, highSettled ? 1 : n);

  // 5. Tone filters.
  if (lowGlides)
    highGlides ? RunToneFilters<true, true>(kernels, n) : RunToneFilters<true, false>(kernels, n);
  else
    highGlides ? RunToneFilters<false, true>(kernels, n) : RunToneFilters<false, false>(kernels, n);

  // 6. Output level and make-up gain, in place and across frames; then "Bypass", read for every
  // frame, chooses between that and the untouched input.
  double* toneL = mTone;
  double* toneR = mTone + n;
  for (int i = 0; i < n; ++i)
  {
    toneL[i] = mOutputZ[2 * i] * toneL[i] * kMakeUpGain - mOffset[i];
    toneR[i] = mOutputZ[2 * i + 1] * toneR[i] * kMakeUpGain - mOffset[i];
  }
  for (int i = 0; i < n; ++i)
  {
    const bool processed = static_cast<int>(bypass.Value()) == 0;
    outL[i] = processed ? toneL[i] : inL[i];
    outR[i] = processed ? toneR[i] : inR[i];
  }
}

// ---- smoother sequences ---------------------------------------------------------------------

// A smoother at rest is a fill. The others step frame by frame in one loop, so that their
// recursions overlap; the drive smoother's, with four or eight steps per frame, sets the pace. With
// `deferGliding`, a gliding drive smoother leaves all stepping to the saturation (SmoothSaturate),
// which hides the recursions behind the curve.
//
// The flush of subnormal states would sit on each recursion's critical path, and it almost never
// fires: so the loop runs without it and notes whether any state came out subnormal; only then are
// the sequences taken again, one step at a time with the flush. Until a flush fires the two are the
// same, so the values are always exactly those of OnePoleSmoother::Step.
void PreampEngine::RunSmoothers(const Targets& targets, int driveSteps, int n, bool deferGliding,
                                bool& lowSettled, bool& highSettled)
{
  mSmootherStart[0] = mState.lowSmoother;
  mSmootherStart[1] = mState.highSmoother;
  mSmootherStart[2] = mState.driveSmoother;
  mSmootherStart[3] = mState.outputSmoother;
  lowSettled = AtRest(mState.lowSmoother, targets.low);
  highSettled = AtRest(mState.highSmoother, targets.high);
  const bool driveSettled = AtRest(mState.driveSmoother, targets.drive);
  const bool othersSettled = lowSettled && highSettled && AtRest(mState.outputSmoother, targets.output);

  // A settled drive is one value for every step: the saturation reads it as such (mSettledDrive)
  // instead of its steps spread over the chunk.
  mDriveSettled = driveSettled;
  mSettledDrive = mState.driveSmoother.z;
  mOthersSettled = othersSettled;
  mDeferred = deferGliding && !driveSettled;
  if (othersSettled)
  {
    std::fill(mLowZ, mLowZ + n, mState.lowSmoother.z);
    std::fill(mHighZ, mHighZ + n, mState.highSmoother.z);
    std::fill(mOutputZ, mOutputZ + 2 * n, mState.outputSmoother.z);
  }
  if (mDeferred)
    return;

  bool subnormal = false;
  if (!driveSettled)
  {
    if (othersSettled)
      subnormal = driveSteps == 8 ? StepSmoothers<8, false>(targets, n) : StepSmoothers<4, false>(targets, n);
    else
      subnormal = driveSteps == 8 ? StepSmoothers<8, true>(targets, n) : StepSmoothers<4, true>(targets, n);
  }
  else if (!othersSettled)
  {
    subnormal = StepSmoothers<0, true>(targets, n);
  }
  if (subnormal)
    StepSmoothersWithFlush(targets, driveSteps, n);
}

// From the chunk's start, one step at a time; the drive's steps go frame by frame, four or eight each.
void PreampEngine::StepSmoothersWithFlush(const Targets& targets, int driveSteps, int n)
{
  mState.lowSmoother = mSmootherStart[0];
  mState.highSmoother = mSmootherStart[1];
  mState.driveSmoother = mSmootherStart[2];
  mState.outputSmoother = mSmootherStart[3];
  for (int i = 0; i < n; ++i)
  {
    mLowZ[i] = mState.lowSmoother.Step(targets.low);
    mHighZ[i] = mState.highSmoother.Step(targets.high);
  }
  for (int i = 0; i < driveSteps * n; ++i)
    mDrive[i] = mState.driveSmoother.Step(targets.drive);
  for (int i = 0; i < 2 * n; ++i)
    mOutputZ[i] = mState.outputSmoother.Step(targets.output);
}

// The deferred smoothers and the curve over the streams in one kernel. False when a state came out
// subnormal: the smoothers are then stepped again with the flush, and the caller saturates as for
// smoothers stepped beforehand.
bool PreampEngine::SmoothSaturate(const PreampKernels& kernels, const Targets& targets, int driveSteps,
                                  const double* const* in, double* const* out, double factor, int n)
{
  const OnePoleSmoother* const smoothers[4] = {&mState.lowSmoother, &mState.highSmoother, &mState.driveSmoother,
                                               &mState.outputSmoother};
  const double target[4] = {targets.low, targets.high, targets.drive, targets.output};
  SmoothedSaturation run{};
  for (int k = 0; k < 4; ++k)
  {
    run.a[k] = smoothers[k]->a;
    run.c[k] = smoothers[k]->b * target[k];
    run.z[k] = smoothers[k]->z;
  }
  run.others = !mOthersSettled;
  run.low = mLowZ;
  run.high = mHighZ;
  run.output = mOutputZ;
  run.driveSteps = driveSteps;
  run.drive = mDrive;
  run.driveStride = kMaxChunk;
  run.factor = factor;
  // Without oversampling: left drives with step 0 and divides by step 1, right drives with step 3
  // and divides by step 2. With it, the streams left 1, left 2, right 1, right 2 take the pairs of
  // steps 0, 2, 1 and 3, each driving with the earlier step.
  constexpr int kPairOf[4] = {0, 2, 1, 3};
  const int streams = driveSteps / 2;
  for (int s = 0; s < streams; ++s)
  {
    run.in[s] = in[s];
    run.out[s] = out[s];
    run.driveStep[s] = driveSteps == 8 ? 2 * kPairOf[s] : s == 0 ? 0 : 3;
    run.divideStep[s] = driveSteps == 8 ? 2 * kPairOf[s] + 1 : s == 0 ? 1 : 2;
  }
  if (kernels.smoothSaturate(run, n))
  {
    StepSmoothersWithFlush(targets, driveSteps, n);
    return false;
  }
  mState.driveSmoother.z = run.z[2];
  if (run.others)
  {
    mState.lowSmoother.z = run.z[0];
    mState.highSmoother.z = run.z[1];
    mState.outputSmoother.z = run.z[3];
  }
  return true;
}

// kDriveSteps 0 leaves the drive smoother alone; kOthers false leaves the low, high and output
// smoothers alone. Returns whether any state came out subnormal.
template <int kDriveSteps, bool kOthers>
bool PreampEngine::StepSmoothers(const Targets& targets, int n)
{
  OnePoleSmoother& low = mState.lowSmoother;
  OnePoleSmoother& high = mState.highSmoother;
  OnePoleSmoother& drive = mState.driveSmoother;
  OnePoleSmoother& output = mState.outputSmoother;
  const double aLow = low.a, cLow = low.b * targets.low;
  const double aHigh = high.a, cHigh = high.b * targets.high;
  const double aDrive = drive.a, cDrive = drive.b * targets.drive;
  const double aOutput = output.a, cOutput = output.b * targets.output;
  double zLow = low.z, zHigh = high.z, zDrive = drive.z, zOutput = output.z;
  bool subnormal = false;
  for (int i = 0; i < n; ++i)
  {
    for (int k = 0; k < kDriveSteps; ++k)
    {
      zDrive = aDrive * zDrive + cDrive;
      mDrive[kDriveSteps * i + k] = zDrive;
      subnormal |= Subnormal(zDrive);
    }
    if constexpr (kOthers)
    {
      zLow = aLow * zLow + cLow;
      zHigh = aHigh * zHigh + cHigh;
      const double o1 = aOutput * zOutput + cOutput;
      zOutput = aOutput * o1 + cOutput;
      mLowZ[i] = zLow;
      mHighZ[i] = zHigh;
      mOutputZ[2 * i] = o1;
      mOutputZ[2 * i + 1] = zOutput;
      // Bitwise on purpose: all four are tested without a branch between them.
      subnormal |= static_cast<bool>(int(Subnormal(zLow)) | int(Subnormal(zHigh)) | int(Subnormal(o1)) |
                                     int(Subnormal(zOutput)));
    }
  }
  if constexpr (kDriveSteps > 0)
    drive.z = zDrive;
  if constexpr (kOthers)
  {
    low.z = zLow;
    high.z = zHigh;
    output.z = zOutput;
  }
  return subnormal;
}

// ---- tone designs ----------------------------------------------------------------------------

// `frames` is 1 when the control is settled for the whole chunk: then the filters keep their
// coefficients unless the amounts or the sample rate differ from the last design. Returns whether
// the filters need per-frame coefficients.
bool PreampEngine::DesignLow(const PreampKernels& kernels, double sampleRate, int frames)
{
  ToneBand band{kernels.designLowControl, LowAmounts, mLowZ, mLowCoefficients, mState.lowLeft, mState.lowRight,
                mLowInverseA0, mLowDesignRate, mLowDesignZ, mState.lowP, mState.lowQ};
  return DesignTone(band, sampleRate, frames);
}

bool PreampEngine::DesignHigh(const PreampKernels& kernels, double sampleRate, int frames)
{
  ToneBand band{kernels.designHighControl, HighAmounts, mHighZ, mHighCoefficients, mState.highLeft, mState.highRight,
                mHighInverseA0, mHighDesignRate, mHighDesignZ, mState.highP, mState.highQ};
  return DesignTone(band, sampleRate, frames);
}

bool PreampEngine::DesignTone(ToneBand& band, double sampleRate, int frames)
{
  // The amounts are a pure function of the smoother's value: a control at rest where it was at
  // the last design needs none, which is what a host sending tiny blocks asks for most.
  if (frames == 1 && sampleRate == band.designRate && band.z[0] == band.designZ)
    return false;
  const int last = frames - 1;
  double p = 0.0, q = 0.0;
  band.amounts(band.z[last], p, q);
  if (frames == 1 && sampleRate == band.designRate && p == band.p && q == band.q)
  {
    band.designZ = band.z[0];
    return false;
  }

  double* const c[7] = {band.coefficients[0], band.coefficients[1], band.coefficients[2], band.coefficients[3],
                        band.coefficients[4], band.coefficients[5], band.coefficients[6]};
  band.design(sampleRate, band.z, c, frames);
  SetCoefficients(band.left, band.coefficients, last);
  SetCoefficients(band.right, band.coefficients, last);
  band.inverseA0 = band.coefficients[6][last];
  band.p = p;
  band.q = q;
  band.designRate = sampleRate;
  band.designZ = band.z[last];
  return frames > 1;
}

// ---- saturation ------------------------------------------------------------------------------

// The left channel drives with the earlier of its two steps and divides by the later one; the
// right channel the other way round.
void PreampEngine::Saturate(const PreampKernels& kernels, const Targets& targets, int n)
{
  if (mDeferred)
  {
    const double* const in[2] = {mInput, mInput + n};
    double* const out[2] = {mTone, mTone + n};
    if (SmoothSaturate(kernels, targets, 4, in, out, 1.0, n))
      return;
  }
  if (mDriveSettled)
  {
    kernels.saturateDrive(mInput, 1.0, mSettledDrive, mTone, 2 * n);
    return;
  }
  for (int i = 0; i < n; ++i)
  {
    const double* g = mDrive + 4 * i;
    mDriven[i] = g[0] * mInput[i];
    mDivisor[i] = g[1];
    mDriven[n + i] = g[3] * mInput[n + i];
    mDivisor[n + i] = g[2];
  }
  kernels.saturateDivide(mDriven, mDivisor, mTone, 2 * n);
}

// Two passes per frame at twice the rate: the input, then zero stuffing. Both channels drive with
// the earlier step of each pair and divide by the later one; the factor 2 restores the level of the
// zero-stuffed signal. The streams are left pass 1, left pass 2, right pass 1, right pass 2; the
// drive steps of a frame go left pass 1, right pass 1, left pass 2, right pass 2.
void PreampEngine::SaturateOversampled(const PreampKernels& kernels, const Targets& targets, int n)
{
  double* const stream[kStreams] = {mDriven, mDriven + n, mDriven + 2 * n, mDriven + 3 * n};
  Upsample(kernels, stream, n);
  double* const saturated[kStreams] = {mSaturated, mSaturated + n, mSaturated + 2 * n, mSaturated + 3 * n};
  if (mDeferred && SmoothSaturate(kernels, targets, 8, stream, saturated, 2.0, n))
  {
    Downsample(kernels, mSaturated, n);
    return;
  }
  if (mDriveSettled)
  {
    kernels.saturateDrive(mDriven, 2.0, mSettledDrive, mSaturated, kStreams * n);
    Downsample(kernels, mSaturated, n);
    return;
  }
  constexpr int kStepOf[kStreams] = {0, 2, 1, 3};
  for (int s = 0; s < kStreams; ++s)
  {
    double* d = stream[s];
    double* divisor = mDivisor + s * n;
    const double* g = mDrive + 2 * kStepOf[s];
    for (int i = 0; i < n; ++i)
    {
      d[i] = 2.0 * d[i] * g[8 * i];
      divisor[i] = g[8 * i + 1];
    }
  }
  kernels.saturateDivide(mDriven, mDivisor, mSaturated, kStreams * n);
  Downsample(kernels, mSaturated, n);
}

// The up-samplers see each input followed by a zero; both of their outputs are kept. The zeros are
// stored as the offset, so once a filter has run for 64 frames the pairs of its first output all
// hold that one value, and the kernel's sum over them is a constant taken once per chunk.
void PreampEngine::Upsample(const PreampKernels& kernels, double* const* stream, int n)
{
  HalfbandFilter* const filters[2] = {&mState.upLeft, &mState.upRight};
  HalfbandRun second[2];
  for (int ch = 0; ch < 2; ++ch)
  {
    HalfbandFilter& filter = *filters[ch];
    const double o = filter.Offset();
    const HalfbandFilter::Phases p = filter.BeginBlock(n);
    double* even = p.even + kHistory;
    double* odd = p.odd + kHistory;
    const double* x = mInput + ch * n;
    for (int i = 0; i < n; ++i)
    {
      even[i] = x[i] + -o;
      odd[i] = 0.0 + o;
    }
    double* first = stream[2 * ch];
    const double* evenCentre = p.even + kCentreLag;
    // The windows of the first outputs reach over the whole history and all but the last new frame.
    if (filter.UniformOddFrames(o) >= kHistory)
    {
      const double constantSum = ConstantPairSum(kernels, o);
      for (int i = 0; i < n; ++i)
        first[i] = (constantSum + kHalfbandCentreTap * evenCentre[i]) + o;
    }
    else
    {
      // Its surplus lands in the second stream, which is written next.
      kernels.halfband(evenCentre, p.odd + kCentreLag, o, first, n);
    }
    second[ch] = {p.odd + kCentreLag, p.even + kCentreLag + 1, -o, stream[2 * ch + 1]};
  }
  kernels.halfbandPair(second[0], second[1], n);
  filters[0]->CommitUniformBlock(n, filters[0]->Offset());
  filters[1]->CommitUniformBlock(n, filters[1]->Offset());
}

// The half-band kernel's sum over pairs that all hold `value`, kept for the last value and kernels.
double PreampEngine::ConstantPairSum(const PreampKernels& kernels, double value)
{
  if (mPairSumKernels != &kernels || mPairSumValue != value)
  {
    std::fill(std::begin(mEqualPairs), std::end(mEqualPairs), value);
    double sum[1 + kHalfbandKernelPadding];
    kernels.halfband(mZeroCentre, mEqualPairs + kCentreLag, 0.0, sum, 1);
    mPairSumKernels = &kernels;
    mPairSumValue = value;
    mPairSum = sum[0];
  }
  return mPairSum;
}

// The down-samplers see both processed samples of a frame and keep only their first output, into
// the tone filters' input.
void PreampEngine::Downsample(const PreampKernels& kernels, const double* saturated, int n)
{
  HalfbandFilter* const filters[2] = {&mState.downLeft, &mState.downRight};
  HalfbandRun runs[2];
  for (int ch = 0; ch < 2; ++ch)
  {
    HalfbandFilter& filter = *filters[ch];
    const double o = filter.Offset();
    const HalfbandFilter::Phases p = filter.BeginBlock(n);
    double* even = p.even + kHistory;
    double* odd = p.odd + kHistory;
    const double* first = saturated + 2 * ch * n;
    const double* second = first + n;
    for (int i = 0; i < n; ++i)
    {
      even[i] = first[i] + -o;
      odd[i] = second[i] + o;
    }
    runs[ch] = {p.even + kCentreLag, p.odd + kCentreLag, o, mTone + ch * n};
  }
  kernels.halfbandPair(runs[0], runs[1], n);
  filters[0]->CommitBlock(n);
  filters[1]->CommitBlock(n);
}

// ---- tone filters ---------------------------------------------------------------------------

namespace
{
// Left and right side by side: both channels' filters share their coefficients, so one SSE2
// operation (the x86-64 baseline, no dispatch needed) steps both, lane by lane exactly as two
// scalar operations would.
typedef double Pair __attribute__((vector_size(2 * sizeof(double))));
using ToneCoefficients = PreampEngine::ToneCoefficients;

template <size_t kLength>
ToneCoefficients CoefficientsAt(const double (&c)[7][kLength], int i)
{
  return {c[0][i], c[1][i], c[2][i], c[4][i], c[5][i], c[6][i]};
}

ToneCoefficients CoefficientsOf(const ToneBiquad& f, double inverseA0)
{
  return {f.B0, f.B1, f.B2, f.A1, f.A2, inverseA0};
}

// ToneBiquad::Step with the feedback of the last output added last and the division by A0 taken as
// a multiplication by its reciprocal: the recursion's critical path is then a multiplication, a
// subtraction and a multiplication. The results differ from the division's in the last bits only.
// T is a double or a Pair.
template <typename T>
inline T ToneStep(T& x1, T& x2, T& y1, T& y2, const ToneCoefficients& c, T x)
{
  const T x0 = 10.0 * x;
  const T y = (c.b1 * x1 + c.b0 * x0 + c.b2 * x2 - c.a2 * y2 - c.a1 * y1) * c.inverseA0;
  x2 = x1;
  x1 = x0;
  y2 = y1;
  y1 = y;
  return y;
}

// Both filters' outputs over a segment, stepped serially from a state and the segment's inputs.
void SegmentResponse(const ToneCoefficients& low, const ToneCoefficients& high, const double (&state)[kToneState],
                     const double (&u)[kToneSegment], double (&lowOut)[kToneSegment], double (&highOut)[kToneSegment])
{
  double s[kToneState];
  std::copy(std::begin(state), std::end(state), s);
  for (int f = 0; f < kToneSegment; ++f)
  {
    lowOut[f] = ToneStep(s[0], s[1], s[2], s[3], low, u[f]);
    highOut[f] = ToneStep(s[4], s[5], s[6], s[7], high, lowOut[f]);
  }
}

struct ToneHistory
{
  Pair x1, x2, y1, y2;

  Pair Step(const ToneCoefficients& c, Pair x) { return ToneStep(x1, x2, y1, y2, c, x); }
};

ToneHistory HistoryOf(const ToneBiquad& left, const ToneBiquad& right)
{
  return {Pair{left.x1, right.x1}, Pair{left.x2, right.x2}, Pair{left.y1, right.y1}, Pair{left.y2, right.y2}};
}

void KeepHistory(ToneBiquad& f, const ToneHistory& h, int lane)
{
  f.x2 = h.x2[lane];
  f.x1 = h.x1[lane];
  f.x0 = h.x1[lane];
  f.y2 = h.y2[lane];
  f.y1 = h.y1[lane];
  f.y0 = h.y1[lane];
}

// The segment state (low x1, x2, y1, y2, then high) of both lanes, and back.
void StateOf(const ToneHistory& low, const ToneHistory& high, int lane, double (&state)[kToneState])
{
  const Pair parts[kToneState] = {low.x1, low.x2, low.y1, low.y2, high.x1, high.x2, high.y1, high.y2};
  for (int k = 0; k < kToneState; ++k)
    state[k] = parts[k][lane];
}

void HistoryFromState(const double (&left)[kToneState], const double (&right)[kToneState], ToneHistory& low,
                      ToneHistory& high)
{
  low = {Pair{left[0], right[0]}, Pair{left[1], right[1]}, Pair{left[2], right[2]}, Pair{left[3], right[3]}};
  high = {Pair{left[4], right[4]}, Pair{left[5], right[5]}, Pair{left[6], right[6]}, Pair{left[7], right[7]}};
}

// A segment's inputs back to zeros, as the next one starts with none.
void ClearSegmentInput(double (&input)[2][kToneSegment])
{
  for (auto& channel : input)
    std::fill(std::begin(channel), std::end(channel), 0.0);
}

} // namespace

// The weights are the filters' responses, stepped serially, to a unit in each weighted state
// component (a unit in the low filter's y1 or y2 comes with 10 in the high filter's x1 or x2) and in
// the first input frame; a later input frame's column is the first one's shifted down.
void PreampEngine::BuildSegmentWeights(const ToneCoefficients& low, const ToneCoefficients& high)
{
  ToneSegmentWeights& w = mSegmentWeights;
  const double zeroState[kToneState] = {};
  const double zeroInput[kToneSegment] = {};
  for (int k = 0; k < kToneWeightedState; ++k)
  {
    const int at = kToneWeightedIndex[k];
    double unit[kToneState] = {};
    unit[at] = 1.0;
    if (at == 2 || at == 3)
      unit[at + 2] = 10.0;
    SegmentResponse(low, high, unit, zeroInput, w.lowState[k], w.highState[k]);
  }
  double impulse[kToneSegment] = {1.0};
  double lowFirst[kToneSegment], highFirst[kToneSegment];
  SegmentResponse(low, high, zeroState, impulse, lowFirst, highFirst);
  for (int c = 0; c < kToneSegment; ++c)
    for (int f = 0; f < kToneSegment; ++f)
    {
      w.lowInput[c][f] = f >= c ? lowFirst[f - c] : 0.0;
      w.highInput[c][f] = f >= c ? highFirst[f - c] : 0.0;
    }
  mWeightsLow = low;
  mWeightsHigh = high;
}

// n frames of both channels in segments, from mSegmentFrame on: the current segment's rest, whole
// segments straight through the kernel, and the start of the next one.
void PreampEngine::RunSegmentFrames(const PreampKernels& kernels, double* left, double* right, int n)
{
  double* const start[2] = {mSegmentStart[0], mSegmentStart[1]};
  int i = 0;
  while (i < n)
  {
    if (mSegmentFrame == 0 && n - i >= kToneSegment)
    {
      const int segments = (n - i) / kToneSegment;
      double* const io[2] = {left + i, right + i};
      kernels.toneSegments(mSegmentWeights, start, io, io, segments);
      i += segments * kToneSegment;
      continue;
    }
    // A segment in part: its inputs so far, zeros for the frames still to come.
    const int count = std::min(n - i, kToneSegment - mSegmentFrame);
    for (int f = 0; f < count; ++f)
    {
      mSegmentInput[0][mSegmentFrame + f] = left[i + f];
      mSegmentInput[1][mSegmentFrame + f] = right[i + f];
    }
    const double* const input[2] = {mSegmentInput[0], mSegmentInput[1]};
    double out[2][kToneSegment];
    double* const output[2] = {out[0], out[1]};
    const bool completes = mSegmentFrame + count == kToneSegment;
    if (completes)
    {
      kernels.toneSegments(mSegmentWeights, start, input, output, 1);
    }
    else
    {
      const double* const state[2] = {mSegmentStart[0], mSegmentStart[1]};
      kernels.toneSegmentOutputs(mSegmentWeights, state, input, output);
    }
    for (int f = 0; f < count; ++f)
    {
      left[i + f] = out[0][mSegmentFrame + f];
      right[i + f] = out[1][mSegmentFrame + f];
    }
    i += count;
    mSegmentFrame = completes ? 0 : mSegmentFrame + count;
    if (completes)
    {
      ClearSegmentInput(mSegmentInput);
    }
  }
}

// The segment's frames so far are stepped again serially from its start, for the histories there.
void PreampEngine::LeaveSegments()
{
  ToneHistory low, high;
  HistoryFromState(mSegmentStart[0], mSegmentStart[1], low, high);
  for (int f = 0; f < mSegmentFrame; ++f)
    high.Step(mWeightsHigh, low.Step(mWeightsLow, Pair{mSegmentInput[0][f], mSegmentInput[1][f]}));
  ClearSegmentInput(mSegmentInput);
  mInSegments = false;
  KeepHistory(mState.lowLeft, low, 0);
  KeepHistory(mState.lowRight, low, 1);
  KeepHistory(mState.highLeft, high, 0);
  KeepHistory(mState.highRight, high, 1);
}

// Serial by nature, the low filter feeding the high one frame by frame; settled stretches run in
// segments instead, where the kernels compute every frame of a segment independently. Entering and
// leaving the segments is decided frame by frame from the coefficients alone (see the members).
template <bool kLowGlides, bool kHighGlides>
void PreampEngine::RunToneFilters(const PreampKernels& kernels, int n)
{
  ToneHistory low = HistoryOf(mState.lowLeft, mState.lowRight);
  ToneHistory high = HistoryOf(mState.highLeft, mState.highRight);
  const ToneCoefficients lowSettled = CoefficientsOf(mState.lowLeft, mLowInverseA0);
  const ToneCoefficients highSettled = CoefficientsOf(mState.highLeft, mHighInverseA0);
  const auto lowAt = [&]([[maybe_unused]] int i) -> ToneCoefficients {
    if constexpr (kLowGlides)
      return CoefficientsAt(mLowCoefficients, i);
    else
      return lowSettled;
  };
  const auto highAt = [&]([[maybe_unused]] int i) -> ToneCoefficients {
    if constexpr (kHighGlides)
      return CoefficientsAt(mHighCoefficients, i);
    else
      return highSettled;
  };
  double* left = mTone;
  double* right = mTone + n;
  ToneCoefficients lastLow = mLastLow;
  ToneCoefficients lastHigh = mLastHigh;
  int i = 0;
  while (i < n)
  {
    if (!mInSegments && mSegmentFrame == 0 && lowAt(i) == lastLow && highAt(i) == lastHigh)
    {
      if (!(mWeightsLow == lastLow && mWeightsHigh == lastHigh))
        BuildSegmentWeights(lastLow, lastHigh);
      StateOf(low, high, 0, mSegmentStart[0]);
      StateOf(low, high, 1, mSegmentStart[1]);
      mInSegments = true;
    }
    if (mInSegments)
    {
      // The frames that keep the segments' coefficients.
      int end = i;
      if constexpr (kLowGlides || kHighGlides)
        while (end < n && lowAt(end) == mWeightsLow && highAt(end) == mWeightsHigh)
          ++end;
      else
        end = lowSettled == mWeightsLow && highSettled == mWeightsHigh ? n : i;
      RunSegmentFrames(kernels, left + i, right + i, end - i);
      lastLow = mWeightsLow;
      lastHigh = mWeightsHigh;
      i = end;
      if (i < n)
      {
        LeaveSegments();
        low = HistoryOf(mState.lowLeft, mState.lowRight);
        high = HistoryOf(mState.highLeft, mState.highRight);
      }
      continue;
    }
    // Serially, to the first frame where the segments may take over.
    ToneGlide run;
    const double* lowRows[7];
    const double* highRows[7];
    for (int k = 0; k < 7; ++k)
    {
      lowRows[k] = mLowCoefficients[k] + i;
      highRows[k] = mHighCoefficients[k] + i;
    }
    run.coefficients[0] = kLowGlides ? lowRows : nullptr;
    run.coefficients[1] = kHighGlides ? highRows : nullptr;
    run.resting[0] = lowSettled;
    run.resting[1] = highSettled;
    const Pair parts[kToneState] = {low.x1, low.x2, low.y1, low.y2, high.x1, high.x2, high.y1, high.y2};
    for (int k = 0; k < kToneState; ++k)
    {
      run.history[k][0] = parts[k][0];
      run.history[k][1] = parts[k][1];
    }
    run.left = left + i;
    run.right = right + i;
    run.phase = mSegmentFrame;
    const int done = kernels.toneGlide(run, n - i);
    const auto history = [&](int k) { return Pair{run.history[k][0], run.history[k][1]}; };
    low = {history(0), history(1), history(2), history(3)};
    high = {history(4), history(5), history(6), history(7)};
    lastLow = run.last[0];
    lastHigh = run.last[1];
    mSegmentFrame = (mSegmentFrame + done) % kToneSegment;
    i += done;
  }
  if (mInSegments)
    HistoryFromState(mSegmentStart[0], mSegmentStart[1], low, high);
  mLastLow = lastLow;
  mLastHigh = lastHigh;
  KeepHistory(mState.lowLeft, low, 0);
  KeepHistory(mState.lowRight, low, 1);
  KeepHistory(mState.highLeft, high, 0);
  KeepHistory(mState.highRight, high, 1);
}
