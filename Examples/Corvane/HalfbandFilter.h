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
// The oversampling path steps every filter exactly twice per frame, so the offset is the same at
// the start of every frame and the stored values fall into two phases: "even" (stored by the first
// step of a frame: input minus the offset) and "odd" (stored by the second step: input plus the
// offset). The delay line is kept in that form, one array per phase, so the block routine works on
// it in place: it appends its frames behind the last kPhaseHistory frames, computes only the
// outputs it keeps, and commits them. Appending moves the history to the front only when the
// arrays are full, so a block of any size, down to one frame, costs only its own frames.
//
// Holds everything inline: never allocates.
class HalfbandFilter
{
public:
  static constexpr int kTaps = 129;
  // Frames of each phase that one output reads back: 64 of each make the 128 samples behind it.
  static constexpr int kPhaseHistory = 64;
  // The most frames one block may append.
  static constexpr int kMaxBlockFrames = 256;
  // Elements past a block's last frame that stay readable: the block routine's kernels compute
  // whole vectors and discard the surplus.
  static constexpr int kBlockPadding = 72;

  // Filters one sample at the filter's rate and returns the output.
  // audio thread; never allocates
  double Step(double x);

  // Forgets the stored inputs; the offset keeps its value and sign.
  // audio thread or while processing is stopped; never allocates
  void Clear();

  // The two phases of one block: [0, kPhaseHistory) hold the history, oldest frame first, and the
  // block's frames go behind it; kBlockPadding more elements past them are readable.
  struct Phases
  {
    double* even;
    double* odd;
  };

  // Makes room for `frames` new frames (1 to kMaxBlockFrames) and returns where they go. Call at a
  // frame boundary: after an even number of steps since the last Clear.
  // audio thread; never allocates
  Phases BeginBlock(int frames);

  // Keeps the `frames` frames written behind the history as the newest ones; `Step` and the next
  // block continue from there.
  // audio thread; never allocates
  void CommitBlock(int frames);

  // CommitBlock for a block whose odd phase holds `oddValue` in every frame, without reading it.
  // audio thread; never allocates
  void CommitUniformBlock(int frames, double oddValue);

  // How many of the newest frames hold `value` in their odd phase, counted up to kPhaseHistory at
  // least when they all do (0 when the newest does not). An up-sampler stores only the offset
  // there, so the block routine can tell without reading them that a whole window holds it.
  int UniformOddFrames(double value) const { return value == mOddRunValue ? mOddRun : 0; }

  // The offset the next step adds to its output (and subtracts from what it stores).
  double Offset() const { return mOffset; }

private:
  static constexpr int kCapacity = kPhaseHistory + kMaxBlockFrames + kBlockPadding;

  // Moves the history to the front when fewer than `frames` frames (and the padding) fit behind it.
  void MakeRoom(int frames);
  // Takes `frames` newer odd-phase frames holding `value` into the run of equal ones.
  void ExtendOddRun(double value, int frames);

  double mOffset = 1e-15;
  // The oldest frame of the history; the frame being stored is mOldest + kPhaseHistory.
  int mOldest = 0;
  // Step has stored the even half of the frame being stored and not yet its odd half.
  bool mMidFrame = false;
  // The newest odd-phase frames that all hold mOddRunValue (the run stops counting at kCapacity).
  double mOddRunValue = 0.0;
  int mOddRun = kPhaseHistory;
  alignas(64) double mEven[kCapacity] = {};
  alignas(64) double mOdd[kCapacity] = {};
};
