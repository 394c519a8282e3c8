#pragma once

#include <limits>

#include "HalfbandFilter.h"
#include "IPlugConstants.h"
#include "PreampState.h"
#include "VectorMath.h"

namespace iplug
{
class IParam;
}
struct PreampKernels;

// The preamp's processed path, run by stages over a block instead of frame by frame:
//   1. input: non-finite samples read as 0, the alternating anti-denormal offset added;
//   2. smoother sequences, each serial and cheap; a smoother at its fixed point is a fill; while
//      the drive glides through a chunk of some length, the saturation's kernel steps them all
//      between its vectors, where their latency hides behind the curve;
//   3. saturation across frames and both channels by the vector kernels, with oversampling
//      between a polyphase up-sampler and a down-sampler that computes only the kept outputs;
//   4. tone designs: one per frame while a tone control glides, computed across frames (amounts
//      included) by the vector kernels; a settled control keeps the coefficients it has, the
//      designs being pure functions of the sample rate and the two amounts;
//   5. the recursive tone filters: frame by frame while a tone control glides; once both rest, in
//      segments whose frames the vector kernels compute independently of each other;
//   6. output level, make-up gain and the per-frame read of the "Bypass" parameter.
// The results are those of the frame-by-frame chain, up to the last bits of the vector
// transcendental functions and of the tone segments' sums, and independent of how the host splits
// its blocks.
//
// The engine advances state the product owns (it is named by the signal chain and initialised and
// reset by the product) through a reference to it; it owns its scratch buffers, sized for
// kMaxChunk frames (longer host blocks run in chunks, so nothing is allocated while rendering), and
// the tone segments' bookkeeping.
class PreampEngine
{
public:
  // What the block routine read from the parameter side at the start of the block.
  struct Targets
  {
    double low = 0.0;
    double high = 0.0;
    double drive = 1.0;
    double output = 1.0;
    int passes = 0; // 0, or 2 for oversampling
  };

  using ToneCoefficients = ::ToneCoefficients;

  static constexpr int kMaxChunk = 256;
  // The shortest chunk whose gliding smoothers the saturation steps itself: a shorter one packs its
  // few saturations into fewer vectors when they are stepped beforehand.
  static constexpr int kSmoothSaturateFrames = 16;
  static constexpr double kMakeUpGain = 1.5488166189124812; // 10^0.19, +3.8 dB

  explicit PreampEngine(PreampState& state);
  PreampEngine(const PreampEngine&) = delete;
  PreampEngine& operator=(const PreampEngine&) = delete;

  // Runs nFrames frames of both channels through the chain. `bypass` is read once per frame: while
  // its value truncates to 1 the frame's outputs are the untouched inputs (the chain still runs).
  // Outputs may be the input buffers.
  // audio thread; never allocates, never locks
  void Render(double sampleRate, const Targets& targets, const iplug::IParam& bypass,
              iplug::sample** inputs, iplug::sample** outputs, int nFrames);

private:
  void RenderChunk(const PreampKernels& kernels, double sampleRate, const Targets& targets,
                   const iplug::IParam& bypass, iplug::sample** inputs, iplug::sample** outputs,
                   int start, int n);
  void RunSmoothers(const Targets& targets, int driveSteps, int n, bool deferGliding, bool& lowSettled,
                    bool& highSettled);
  template <int kDriveSteps, bool kOthers>
  bool StepSmoothers(const Targets& targets, int n);
  void StepSmoothersWithFlush(const Targets& targets, int driveSteps, int n);
  bool SmoothSaturate(const PreampKernels& kernels, const Targets& targets, int driveSteps, const double* const* in,
                      double* const* out, double factor, int n);
  bool DesignLow(const PreampKernels& kernels, double sampleRate, int n);
  bool DesignHigh(const PreampKernels& kernels, double sampleRate, int n);
  // What tells the low and the high band apart in a design: amounts, kernel and the state they set.
  struct ToneBand;
  bool DesignTone(ToneBand& band, double sampleRate, int n);
  void Saturate(const PreampKernels& kernels, const Targets& targets, int n);
  void SaturateOversampled(const PreampKernels& kernels, const Targets& targets, int n);
  // Both up-samplers, from mInput into the four streams; both down-samplers, from the saturated
  // streams into mTone.
  void Upsample(const PreampKernels& kernels, double* const* stream, int n);
  double ConstantPairSum(const PreampKernels& kernels, double value);
  void Downsample(const PreampKernels& kernels, const double* saturated, int n);
  template <bool kLowGlides, bool kHighGlides>
  void RunToneFilters(const PreampKernels& kernels, int n);
  // The settled stretches of the tone filters, in segments (see RunToneFilters).
  void BuildSegmentWeights(const ToneCoefficients& low, const ToneCoefficients& high);
  void RunSegmentFrames(const PreampKernels& kernels, double* left, double* right, int n);
  // Back to the serial filters in the middle of a segment; sets mState's tone histories.
  void LeaveSegments();

  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  static constexpr ToneCoefficients kNoCoefficients = {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN};

  static constexpr int kPad = 64; // whole vectors past the end of a chunk (the kernels' padding)
  static constexpr int kStride = kMaxChunk + kPad;

  PreampState& mState;
  // The sample rates the tone filters' current coefficients were designed at (0: never).
  double mLowDesignRate = 0.0;
  double mHighDesignRate = 0.0;
  // The smoothers' values the current coefficients were designed for (NaN: none yet).
  double mLowDesignZ = std::numeric_limits<double>::quiet_NaN();
  double mHighDesignZ = std::numeric_limits<double>::quiet_NaN();
  // 1 / A0 of the tone filters' current coefficients.
  double mLowInverseA0 = 0.0;
  double mHighInverseA0 = 0.0;
  // The half-band sum over constant pairs, for the value and kernels it was taken with.
  const PreampKernels* mPairSumKernels = nullptr;
  double mPairSumValue = 0.0;
  double mPairSum = 0.0;
  // Whether the drive smoother rests for the whole chunk, and its value then (mDrive is not filled).
  bool mDriveSettled = false;
  double mSettledDrive = 1.0;
  // Whether the low, high and output smoothers rest (their values are filled in).
  bool mOthersSettled = false;
  // Whether the gliding smoothers are left to the saturation's kernel this chunk.
  bool mDeferred = false;
  // The smoothers at the chunk's start, for stepping again with the flush.
  OnePoleSmoother mSmootherStart[4] = {};

  // The tone filters' segments. They are aligned to the frames filtered since construction, and a
  // stretch runs in segments from a segment's first frame on when both filters' coefficients there
  // are those of the frame before, until a frame brings others: where the segments are and which
  // run as segments depends on the signal and the controls alone, never on the host's blocks.
  // While in segments, mState's tone histories are those at the current segment's start.
  alignas(64) ToneSegmentWeights mSegmentWeights = {};
  ToneCoefficients mWeightsLow = kNoCoefficients;  // what mSegmentWeights were built for
  ToneCoefficients mWeightsHigh = kNoCoefficients;
  ToneCoefficients mLastLow = kNoCoefficients;     // the coefficients of the last frame filtered
  ToneCoefficients mLastHigh = kNoCoefficients;
  bool mInSegments = false;
  int mSegmentFrame = 0; // frames filtered since construction, modulo kToneSegment
  double mSegmentStart[2][kToneState] = {};              // left and right state at the segment's start
  alignas(64) double mSegmentInput[2][kToneSegment] = {}; // its inputs so far, zeros after them

  // Scratch, valid within one chunk. Zeroed once: vectors that reach past the end of a chunk
  // compute on ordinary numbers, and their results are thrown away.
  //
  // The saturation's operands are packed: each stream (left and right, and with oversampling the
  // second pass of each) takes n elements behind the one before it, so one kernel call covers all
  // of them and a short block fills its vectors instead of padding one per stream. Streams are
  // written in address order, so a kernel's surplus past one lands where the next is still to come.
  static constexpr int kStreams = 4;
  alignas(64) double mOffset[kMaxChunk] = {};    // the anti-denormal offset of each frame
  alignas(64) double mInput[2 * kMaxChunk + kPad] = {}; // inputs plus offset: left, then right, packed
  alignas(64) double mLowZ[kMaxChunk] = {};      // low smoother, one step per frame
  alignas(64) double mHighZ[kMaxChunk] = {};     // high smoother, one step per frame
  // Drive smoother, four or eight steps per frame: frame by frame, or one row of kMaxChunk per step
  // when the saturation's kernel steps it.
  alignas(64) double mDrive[8 * kMaxChunk] = {};
  alignas(64) double mOutputZ[2 * kMaxChunk] = {}; // output smoother, two steps per frame
  // Per-frame designs: B0, B1, B2, A0, A1, A2 and 1 / A0.
  alignas(64) double mLowCoefficients[7][kStride] = {};
  alignas(64) double mHighCoefficients[7][kStride] = {};
  // The saturation's arguments, divisors and results, packed.
  alignas(64) double mDriven[kStreams * kMaxChunk + kPad] = {};
  alignas(64) double mDivisor[kStreams * kMaxChunk + kPad] = {};
  alignas(64) double mSaturated[kStreams * kMaxChunk + kPad] = {};
  // The tone filters' input, then their output: left, then right, packed.
  alignas(64) double mTone[2 * kMaxChunk + kPad] = {};
  // Where ConstantPairSum takes its one output: a zero centre and a window of equal pairs.
  alignas(64) double mZeroCentre[2 * kPad] = {};
  alignas(64) double mEqualPairs[2 * kPad + 1] = {};
};
