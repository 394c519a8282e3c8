#include "PreampEngine.h"

#include <algorithm>
#include <cmath>

#include "IParam.h"
#include "VectorMath.h"

using namespace iplug;

// Index of this file:
//   helpers (smoother sequences, tone amounts, coefficient copies)
//   Render and RenderChunk: the stages in order
//   tone designs
//   saturation, with and without oversampling
//   tone filters

// ---- helpers ---------------------------------------------------------------------------------

namespace
{
constexpr double kToneFloor = 1e-5;

// The centre tap of the half-band filter lags 64 steps, i.e. 32 frames of two steps.
constexpr int kCentreLag = 32;

// Writes `count` successive steps of s toward target into out. A smoother whose next step would
// not change it stays where it is, so its sequence is a fill; that is also where a glide ends.
// Returns true when every value written is the same.
bool RunSmoother(OnePoleSmoother& s, double target, double* out, int count)
{
  OnePoleSmoother probe = s;
  const double first = probe.Step(target);
  if (first == s.z)
  {
    s.z = first;
    std::fill(out, out + count, first);
    return true;
  }
  double previous = s.z;
  for (int i = 0; i < count; ++i)
  {
    const double z = s.Step(target);
    out[i] = z;
    if (z == previous)
    {
      std::fill(out + i + 1, out + count, z);
      return false;
    }
    previous = z;
  }
  return false;
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
void SetCoefficients(ToneBiquad& f, const double (&c)[6][kLength], int i)
{
  f.B0 = c[0][i];
  f.B1 = c[1][i];
  f.B2 = c[2][i];
  f.A0 = c[3][i];
  f.A1 = c[4][i];
  f.A2 = c[5][i];
}
} // namespace

// ---- Render and RenderChunk ------------------------------------------------------------------

PreampEngine::PreampEngine(const State& state) : mState(state)
{
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
  double u = mState.denormalOffset;
  for (int i = 0; i < n; ++i)
  {
    u = -u;
    mOffset[i] = u;
    mInput[0][i] = (std::isfinite(inL[i]) ? inL[i] : 0.0) + u;
    mInput[1][i] = (std::isfinite(inR[i]) ? inR[i] : 0.0) + u;
  }
  mState.denormalOffset = u;

  // 2. Smoother sequences: the drive smoother steps four times per frame, eight with oversampling.
  const bool lowSettled = RunSmoother(mState.lowSmoother, targets.low, mLowZ, n);
  const bool highSettled = RunSmoother(mState.highSmoother, targets.high, mHighZ, n);
  const bool oversampling = targets.passes != 0;
  RunSmoother(mState.driveSmoother, targets.drive, mDrive, (oversampling ? 8 : 4) * n);
  RunSmoother(mState.outputSmoother, targets.output, mOutputZ, 2 * n);

  // 3. Tone designs.
  const bool lowGlides = DesignLow(kernels, sampleRate, lowSettled ? 1 : n);
  const bool highGlides = DesignHigh(kernels, sampleRate, highSettled ? 1 : n);

  // 4. Saturation; its results are the tone filters' input.
  if (oversampling)
    SaturateOversampled(kernels, n);
  else
    Saturate(kernels, n);

  // 5. Tone filters.
  if (lowGlides)
    highGlides ? RunToneFilters<true, true>(n) : RunToneFilters<true, false>(n);
  else
    highGlides ? RunToneFilters<false, true>(n) : RunToneFilters<false, false>(n);

  // 6. Output level and make-up gain; "Bypass" is read for every frame.
  for (int i = 0; i < n; ++i)
  {
    const double yL = mOutputZ[2 * i] * mTone[0][i] * kMakeUpGain;
    const double yR = mOutputZ[2 * i + 1] * mTone[1][i] * kMakeUpGain;
    if (static_cast<int>(bypass.Value()) == 0)
    {
      outL[i] = yL - mOffset[i];
      outR[i] = yR - mOffset[i];
    }
    else
    {
      outL[i] = inL[i];
      outR[i] = inR[i];
    }
  }
}

// ---- tone designs ----------------------------------------------------------------------------

// `frames` is 1 when the control is settled for the whole chunk: then the filters keep their
// coefficients unless the amounts or the sample rate differ from the last design. Returns whether
// the filters need per-frame coefficients.
bool PreampEngine::DesignLow(const PreampKernels& kernels, double sampleRate, int frames)
{
  for (int i = 0; i < frames; ++i)
    LowAmounts(mLowZ[i], mAmountP[i], mAmountQ[i]);
  const int last = frames - 1;
  if (frames == 1 && sampleRate == mLowDesignRate && mAmountP[0] == mState.lowP && mAmountQ[0] == mState.lowQ)
    return false;

  double* const c[6] = {mLowCoefficients[0], mLowCoefficients[1], mLowCoefficients[2],
                        mLowCoefficients[3], mLowCoefficients[4], mLowCoefficients[5]};
  kernels.designLowTone(sampleRate, mAmountP, mAmountQ, c, frames);
  SetCoefficients(mState.lowLeft, mLowCoefficients, last);
  SetCoefficients(mState.lowRight, mLowCoefficients, last);
  mState.lowP = mAmountP[last];
  mState.lowQ = mAmountQ[last];
  mLowDesignRate = sampleRate;
  return frames > 1;
}

bool PreampEngine::DesignHigh(const PreampKernels& kernels, double sampleRate, int frames)
{
  for (int i = 0; i < frames; ++i)
    HighAmounts(mHighZ[i], mAmountP[i], mAmountQ[i]);
  const int last = frames - 1;
  if (frames == 1 && sampleRate == mHighDesignRate && mAmountP[0] == mState.highP && mAmountQ[0] == mState.highQ)
    return false;

  double* const c[6] = {mHighCoefficients[0], mHighCoefficients[1], mHighCoefficients[2],
                        mHighCoefficients[3], mHighCoefficients[4], mHighCoefficients[5]};
  kernels.designHighTone(sampleRate, mAmountP, mAmountQ, c, frames);
  SetCoefficients(mState.highLeft, mHighCoefficients, last);
  SetCoefficients(mState.highRight, mHighCoefficients, last);
  mState.highP = mAmountP[last];
  mState.highQ = mAmountQ[last];
  mHighDesignRate = sampleRate;
  return frames > 1;
}

// ---- saturation ------------------------------------------------------------------------------

// The left channel drives with the earlier of its two steps and divides by the later one; the
// right channel the other way round.
void PreampEngine::Saturate(const PreampKernels& kernels, int n)
{
  for (int i = 0; i < n; ++i)
  {
    const double* g = mDrive + 4 * i;
    mDriven[0][i] = g[0] * mInput[0][i];
    mDivisor[0][i] = g[1];
    mDriven[1][i] = g[3] * mInput[1][i];
    mDivisor[1][i] = g[2];
  }
  kernels.saturateDivide(mDriven[0], mDivisor[0], mTone[0], n);
  kernels.saturateDivide(mDriven[1], mDivisor[1], mTone[1], n);
}

// Two passes per frame at twice the rate: the input, then zero stuffing. Both channels drive with
// the earlier step of each pair and divide by the later one; the factor 2 restores the level of the
// zero-stuffed signal.
void PreampEngine::SaturateOversampled(const PreampKernels& kernels, int n)
{
  Upsample(kernels, mState.upLeft, mInput[0], mDriven[0], mDriven[2], n);
  Upsample(kernels, mState.upRight, mInput[1], mDriven[1], mDriven[3], n);
  for (int i = 0; i < n; ++i)
  {
    const double* g = mDrive + 8 * i;
    for (int s = 0; s < 4; ++s) // left pass 1, right pass 1, left pass 2, right pass 2
    {
      mDriven[s][i] = 2.0 * mDriven[s][i] * g[2 * s];
      mDivisor[s][i] = g[2 * s + 1];
    }
  }
  for (int s = 0; s < 4; ++s)
    kernels.saturateDivide(mDriven[s], mDivisor[s], mSaturated[s], n);
  Downsample(kernels, mState.downLeft, mSaturated[0], mSaturated[2], mTone[0], n);
  Downsample(kernels, mState.downRight, mSaturated[1], mSaturated[3], mTone[1], n);
}

// The up-sampler sees each input followed by a zero; both of its outputs are kept.
void PreampEngine::Upsample(const PreampKernels& kernels, HalfbandFilter& filter, const double* x,
                            double* first, double* second, int n)
{
  filter.ReadPhases(mEven, mOdd);
  const double o = filter.Offset();
  for (int i = 0; i < n; ++i)
  {
    mEven[kHistory + i] = x[i] + -o;
    mOdd[kHistory + i] = 0.0 + o;
  }
  kernels.halfband(mEven + kCentreLag, mOdd + kCentreLag, o, first, n);
  kernels.halfband(mOdd + kCentreLag, mEven + kCentreLag + 1, -o, second, n);
  filter.WritePhases(mEven, mOdd, n);
}

// The down-sampler sees both processed samples of a frame and keeps only its first output.
void PreampEngine::Downsample(const PreampKernels& kernels, HalfbandFilter& filter, const double* first,
                              const double* second, double* out, int n)
{
  filter.ReadPhases(mEven, mOdd);
  const double o = filter.Offset();
  for (int i = 0; i < n; ++i)
  {
    mEven[kHistory + i] = first[i] + -o;
    mOdd[kHistory + i] = second[i] + o;
  }
  kernels.halfband(mEven + kCentreLag, mOdd + kCentreLag, o, out, n);
  filter.WritePhases(mEven, mOdd, n);
}

// ---- tone filters ----------------------------------------------------------------------------

// Serial by nature. The filters are copied in and out so their state stays in registers.
template <bool kLowGlides, bool kHighGlides>
void PreampEngine::RunToneFilters(int n)
{
  ToneBiquad lowL = mState.lowLeft;
  ToneBiquad lowR = mState.lowRight;
  ToneBiquad highL = mState.highLeft;
  ToneBiquad highR = mState.highRight;
  for (int i = 0; i < n; ++i)
  {
    if constexpr (kLowGlides)
    {
      SetCoefficients(lowL, mLowCoefficients, i);
      SetCoefficients(lowR, mLowCoefficients, i);
    }
    if constexpr (kHighGlides)
    {
      SetCoefficients(highL, mHighCoefficients, i);
      SetCoefficients(highR, mHighCoefficients, i);
    }
    mTone[0][i] = highL.Step(lowL.Step(mTone[0][i]));
    mTone[1][i] = highR.Step(lowR.Step(mTone[1][i]));
  }
  mState.lowLeft = lowL;
  mState.lowRight = lowR;
  mState.highLeft = highL;
  mState.highRight = highR;
}
