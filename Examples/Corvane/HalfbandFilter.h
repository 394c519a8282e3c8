#pragma once

// The fixed half-band low-pass of the 2x oversampling path: 129 taps, linear phase (64 samples of
// delay at the rate it runs at), symmetric, with every tap at an even non-zero distance from the
// centre equal to zero. One instance interpolates the zero-stuffed input, another removes what the
// saturation created above the host's band before every second sample is dropped.
//
// Each step adds an alternating offset of ±1e-15 to what it stores and to what it returns, so the
// chain behind it never sinks into subnormal numbers when the input falls silent. The offset's
// sign survives `Clear`.
//
// Holds everything inline: never allocates.
class HalfbandFilter
{
public:
  static constexpr int kTaps = 129;

  // Filters one sample at the filter's rate and returns the output.
  // audio thread; never allocates
  double Step(double x);

  // Forgets the stored inputs; the offset keeps its value and sign.
  // audio thread or while processing is stopped; never allocates
  void Clear();

  // Block form for the oversampling path, which steps every filter exactly twice per frame, so the
  // offset is the same at the start of every frame and the stored values fall into two phases:
  // "even" (stored by the first step of a frame: input minus the offset) and "odd" (stored by the
  // second step: input plus the offset). A block routine reads the last kPhaseHistory frames of
  // both phases, appends its own frames behind them, computes only the outputs it keeps, and writes
  // the phases back; `Step` then continues exactly where the block left off.
  static constexpr int kPhaseHistory = 64;

  // Fills even[0..63] and odd[0..63], oldest frame first.
  // audio thread; never allocates
  void ReadPhases(double* even, double* odd) const;

  // Takes arrays of kPhaseHistory + frames stored values per phase (the history first) and keeps
  // the newest ones as the delay line. Does nothing when frames is 0 or less.
  // audio thread; never allocates
  void WritePhases(const double* even, const double* odd, int frames);

  // The offset the next step adds to its output (and subtracts from what it stores).
  double Offset() const { return mOffset; }

private:
  static constexpr int kCentre = kTaps / 2; // window index of the centre tap (64 samples back)

  double mOffset = 1e-15;
  // The delay line is kept twice, back to back, so the last kTaps inputs are always one
  // contiguous window starting at mNewest (newest first) and no step has to move them.
  int mNewest = 0;
  double mLine[2 * kTaps] = {};
};
