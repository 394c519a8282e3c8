#pragma once

// The vector kernels of the preamp's processed path, compiled once per x86-64 instruction set and
// chosen at run time from what the processor reports. SSE2 is the baseline every x86-64 processor
// has; AVX2 (with FMA) and AVX-512 are used only where present, so a build made on one machine runs
// safely, and at its best, on another. The transcendental functions come from SLEEF's vector math.
//
// Each kernel computes every element with the same instructions wherever it sits in the array
// (a short tail is padded into a full vector, never handed to scalar code), so the results depend
// on the values alone: a signal rendered whole and in any split gives the same output.
//
// Declarations only: the per-instruction-set translation units include this header, and nothing
// here may be compiled into code that a wider instruction set could later stand in for.

enum class SimdLevel
{
  kSse2,
  kAvx2,
  kAvx512
};

// Arrays given to `halfband` stay readable, and its output writable, this many elements past the
// last one used: it computes whole groups of vectors and discards the surplus.
inline constexpr int kHalfbandKernelPadding = 64;

// One run of the half-band kernel: where its windows are and where its outputs go.
struct HalfbandRun
{
  const double* centre;
  const double* pairs;
  double offset;
  double* out;
};

// The settled tone filters in block form. Both filters of a channel, low then high, are one
// linear system whose state is the two filters' histories (x1, x2, y1, y2 of the low filter, then
// of the high one); for a segment of kToneSegment frames, every output of either filter is a fixed
// weighted sum of the state at the segment's start and the segment's inputs. The weights are built
// from the coefficients (once, while the controls rest) and turn the serial recursion into
// independent sums across the segment's frames.
inline constexpr int kToneSegment = 8;
inline constexpr int kToneState = 8;
// The high filter's x1 and x2 are 10 times the low filter's y1 and y2, so the weights take the
// state as six components: x1, x2, y1, y2 of the low filter and y1, y2 of the high one (state
// indices 0, 1, 2, 3, 6, 7), the low filter's y1 and y2 standing for the high filter's x1 and x2 too.
inline constexpr int kToneWeightedState = 6;
inline constexpr int kToneWeightedIndex[kToneWeightedState] = {0, 1, 2, 3, 6, 7};

struct ToneSegmentWeights
{
  // [column][frame]: the response of the segment's frames to a unit in one input frame (zero
  // before that frame) or in one weighted state component.
  alignas(64) double lowInput[kToneSegment][kToneSegment];
  alignas(64) double lowState[kToneWeightedState][kToneSegment];
  alignas(64) double highInput[kToneSegment][kToneSegment];
  alignas(64) double highState[kToneWeightedState][kToneSegment];
};

// One tone filter's coefficients as its recursion uses them: 1 / A0 multiplies the sum.
struct ToneCoefficients
{
  double b0, b1, b2, a1, a2, inverseA0;
  bool operator==(const ToneCoefficients&) const = default;
};

// Both channels' low and high tone filters stepped frame by frame while a control glides (see
// `toneGlide`). Bands are numbered 0 low, 1 high.
struct ToneGlide
{
  // A gliding band's per-frame coefficients, B0, B1, B2, A0, A1, A2 and 1 / A0 (seven arrays, as
  // the designs write them); null for a band whose coefficients rest at `resting`.
  const double* const* coefficients[2];
  ToneCoefficients resting[2];
  // Set to the coefficients of the last frame filtered.
  ToneCoefficients last[2];
  // x1, x2, y1, y2 of the low filter, then of the high one, each as {left, right}; advanced.
  double history[kToneState][2];
  // The filters' input, replaced by their output.
  double* left;
  double* right;
  // Frames into the current segment at the first frame.
  int phase;
};

// The smoothers' recursions and the curve driven by the drive smoother, in one pass (see
// `smoothSaturate`). Smoothers are numbered 0 low, 1 high, 2 drive, 3 output.
struct SmoothedSaturation
{
  // Each smoother's recursion z = a z + c, c being b times its target; z is advanced.
  double a[4];
  double c[4];
  double z[4];
  // Whether the low, high and output smoothers step too (once, once and twice a frame).
  bool others;
  // Their values: low[i] and high[i], output[2i] and output[2i+1] for frame i.
  double* low;
  double* high;
  double* output;
  // The drive smoother's steps a frame (4, or 8 with oversampling), step k of frame i going to
  // drive[k * driveStride + i]; arrays stay readable up to the next whole vector of frames.
  int driveSteps;
  double* drive;
  int driveStride;
  // One stream of the curve's inputs per two drive steps a frame (left, right; with oversampling
  // left and right of each pass): out[s][i] = S(factor * in[s][i] * drive step driveStep[s] of
  // frame i) / drive step divideStep[s] of frame i. in[s] stays readable up to the next whole
  // vector; nothing is written to out[s] past n.
  const double* in[4];
  double* out[4];
  int driveStep[4];
  int divideStep[4];
  double factor;
};

// One instruction set's kernels. All are pure functions of their arguments; none allocates or locks.
struct PreampKernels
{
  SimdLevel level;

  // out[i] = S(d[i]) / g[i] for i < n, S being the preamp's saturating curve
  // sin(0.1 tanh(d^4) + 0.1 tanh(d^3)) + tanh(d).
  void (*saturateDivide)(const double* d, const double* g, double* out, int n);

  // out[i] = S(factor * d[i] * g) / g for i < n: a drive that rests, to the bit what
  // `saturateDivide` gives with factor * d[i] * g and g in its arrays.
  void (*saturateDrive)(const double* d, double factor, double g, double* out, int n);

  // The kept outputs of the half-band filter in polyphase form:
  //   out[i] = (sum + 0.5 centre[i]) + offset,
  //   sum = the sum over k < 32 of h(2k+1) (pairs[i+k] + pairs[i-1-k]),
  // the terms of every sum taken in one fixed order; pairs[-32..-1] must be readable. So when
  // every pair in the windows holds the same value, every sum is the one `halfband` gives for a
  // single output with that value in every pair, a zero centre and a zero offset, and each output
  // is that sum plus 0.5 centre[i] plus the offset, added in that order, to the bit.
  void (*halfband)(const double* centre, const double* pairs, double offset, double* out, int n);

  // Two independent runs of `halfband`, n outputs each, with the same results to the bit; faster
  // than two calls for short blocks. Writes nothing past the n-th output of either.
  void (*halfbandPair)(const HalfbandRun& a, const HalfbandRun& b, int n);

  // Tone designs for n argument pairs (p[i], q[i]) at sample rate f, into seven coefficient arrays
  // in the order B0, B1, B2, A0, A1, A2 and 1 / A0.
  void (*designLowTone)(double f, const double* p, const double* q, double* const* coefficients, int n);
  void (*designHighTone)(double f, const double* p, const double* q, double* const* coefficients, int n);

  // The same designs for n smoothed control values z[i] (-10..10), each first mapped to its two
  // amounts as the block routine maps them, to the bit.
  void (*designLowControl)(double f, const double* z, double* const* coefficients, int n);
  void (*designHighControl)(double f, const double* z, double* const* coefficients, int n);

  // `segments` whole segments of both channels' tone filters: reads input[ch][0 .. segments *
  // kToneSegment), writes as many outputs of the high filter to output[ch] (which may be the
  // input), and advances state[ch] (kToneState values) to the end of each segment, as the serial
  // filters would leave it: x1 = 10 u, y1 = that filter's last output, and so on. Every output
  // is the same sum in the same order wherever it stands, so a segment computed with zeros for
  // frames still to come gives its earlier frames to the bit.
  void (*toneSegments)(const ToneSegmentWeights& w, double* const* state, const double* const* input,
                       double* const* output, int segments);

  // The outputs of one segment as toneSegments gives them, without advancing the state: for a
  // segment still in part.
  void (*toneSegmentOutputs)(const ToneSegmentWeights& w, const double* const* state,
                             const double* const* input, double* const* output);

  // n frames of the smoothers and of the curve they drive. The recursions are serial and the
  // curve is bound by throughput, so the kernel steps the smoothers a vector of frames ahead of
  // the curve, a few frames between the curve's vectors, and the processor overlaps the two.
  // Every value is the one the recursions and `saturateDivide` give on their own, to the bit. The
  // states are stepped without the flush of subnormal ones: returns whether any came out
  // subnormal (zeros are not), in which case the caller steps them again with the flush.
  bool (*smoothSaturate)(SmoothedSaturation& run, int n);

  // Up to n frames (at least one) of both channels through the low filter and then the high one, as a
  // ToneBiquad steps them with the division by A0 taken as a multiplication by 1 / A0, to the bit
  // (lane 0 left, lane 1 right). Stops before a later frame that starts a segment (phase plus its
  // index a multiple of kToneSegment) whose coefficients in both bands are those of the frame
  // before it, where the filters may go over to segments; returns the frames filtered.
  int (*toneGlide)(ToneGlide& run, int n);
};

// The kernels in use: on first call the widest set the processor supports.
// any thread; lock-free
const PreampKernels& ActivePreampKernels();

// Whether this processor (and its operating system) can run the set.
bool SimdLevelSupported(SimdLevel level);

// The widest set this processor supports.
SimdLevel BestSimdLevel();

// Makes `level` the set in use, for tests and benchmarks that compare them. Returns false, changing
// nothing, when the processor cannot run it.
// not while another thread renders
bool UseSimdLevel(SimdLevel level);

// "SSE2", "AVX2" or "AVX-512".
const char* SimdLevelName(SimdLevel level);

// One table per instruction set, defined in VectorMathSse2.cpp, VectorMathAvx2.cpp and
// VectorMathAvx512.cpp. Reach them through the functions above: calling a wider set's kernels on a
// processor without it stops the program.
const PreampKernels& PreampKernelsSse2();
const PreampKernels& PreampKernelsAvx2();
const PreampKernels& PreampKernelsAvx512();
