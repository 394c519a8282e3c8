#pragma once

// The preamp's processed path written plainly from its formulas, frame by frame and in scalar
// code: four smoothers, four tone designs per frame summed term by term from the coefficient
// tables, the standard library's tanh and sin, and half-band filters that shift their delay lines
// on every step. It shares no code with the product's engine.
//
// It is the reference the tests hold the product's staged engine to, and the yardstick the
// benchmarks measure it against in the same run. The product never runs it.
//
// Covers the processed path only: the "Bypass" parameter, the bypass multiplier and the latency
// report belong to the product's block routine around it.
class PlainPreampChain
{
public:
  // The state of a freshly built product: smoothers at 0 with a 240-sample time constant, cleared
  // filters, default targets (0 dB drive and output, centred tone controls, no oversampling).
  PlainPreampChain();

  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }

  // The parameters in their real units, turned into targets as the product does.
  void SetParameters(double gainDb, double lowGain, double highGain, double outputDb, bool oversampling);

  // As the product's reset: clears the half-band filters and moves every smoother to its target.
  void Reset();

  // Renders n frames of two channels. Non-finite input samples are read as 0.
  void Process(const double* const* inputs, double* const* outputs, int n);

private:
  struct Smoother
  {
    double a = 0.0;
    double b = 0.0;
    double z = 0.0;
    double Step(double target);
  };

  struct Shelf
  {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double A0 = 0.0, A1 = 0.0, A2 = 0.0, B0 = 0.0, B1 = 0.0, B2 = 0.0;
    void DesignLow(double f, double p, double q);
    void DesignHigh(double f, double p, double q);
    double Step(double x);
  };

  struct Halfband
  {
    double offset = 1e-15;
    double line[129] = {}; // line[0] is p1, the newest
    double Step(double x);
    void Clear();
  };

  static double Curve(double d);

  double mSampleRate = 48000.0;
  double mDrive = 1.0;
  double mLowTarget = 0.0;
  double mHighTarget = 0.0;
  double mOutput = 1.0;
  int mPasses = 0;

  Smoother mLowSmoother, mHighSmoother, mDriveSmoother, mOutputSmoother;
  Shelf mLowLeft, mLowRight, mHighLeft, mHighRight;
  Halfband mUpLeft, mUpRight, mDownLeft, mDownRight;
  double mOffset = 1e-15;
};
