#pragma once

#include "Halfband.h"
#include "Smoother.h"
#include "ToneShelf.h"

namespace reference
{
// The parameters in their real units.
struct Settings
{
  double gainDb = 0.0;   // -30..30
  double low = 0.0;      // -10..10
  double high = 0.0;     // -10..10
  double outputDb = 0.0; // -15..15
  bool oversampling = false;
};

// The preamp's processed path written plainly from its formulas, frame by frame, in double
// precision and scalar code: four smoothers, four tone designs per frame summed term by term from
// the coefficient tables, the standard library's tanh and sin, and half-band filters that shift
// their delay lines on every step. It shares no code with the product.
//
// The tests hold the product's staged engine and the module's render procedure to it, and the
// benchmarks measure the engine against it in the same run.
//
// Covers the processed path only: the "Bypass" parameter, the bypass multiplier and the latency
// report belong to the product's block routine around it.
class PreampChain
{
public:
  // The state of a freshly built product: smoothers at 0 with a 240-sample time constant, cleared
  // filters, default targets (0 dB drive and output, centred tone controls, no oversampling).
  PreampChain();

  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }

  // Turns the parameters into the smoothers' targets as the product does.
  void SetParameters(const Settings& settings);

  // As the product's reset: clears the half-band filters and moves every smoother to its target.
  // The tone filters and the anti-denormal offset go on.
  void Reset();

  // Renders n frames of two channels. Non-finite input samples are read as 0.
  void Process(const double* const* inputs, double* const* outputs, int n);

private:
  double mSampleRate = 48000.0;
  double mDrive = 1.0;
  double mLowTarget = 0.0;
  double mHighTarget = 0.0;
  double mOutput = 1.0;
  int mPasses = 0;

  Smoother mLowSmoother, mHighSmoother, mDriveSmoother, mOutputSmoother;
  ToneShelf mLowLeft, mLowRight, mHighLeft, mHighRight;
  Halfband mUpLeft, mUpRight, mDownLeft, mDownRight;
  double mOffset = 1e-15;
};
} // namespace reference
