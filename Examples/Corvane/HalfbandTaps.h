#pragma once

// Taps of the oversampling half-band filter at the odd distances 1, 3, ..., 63 from its centre.
// The centre tap is 0.5 and the taps at even distances are zero, so they are never computed. The
// taps sum to 1 - 6e-6. Data only, so the per-instruction-set kernels can include it safely.
inline constexpr int kHalfbandOddTapCount = 32;
inline constexpr double kHalfbandCentreTap = 0.5;
inline constexpr double kHalfbandOddTaps[kHalfbandOddTapCount] = {
  0.317956, -0.105047, 0.061915, -0.043056, 0.032309, -0.025272, 0.020254, -0.01647,
  0.013505, -0.011119, 0.009163, -0.007542, 0.006187, -0.005051, 0.004099, -0.003301,
  0.002635, -0.002082, 0.001627, -0.001255, 0.000954, -0.000713, 0.000524, -0.000377,
  0.000264, -0.00018, 0.000118, -7.5e-05, 4.5e-05, -2.5e-05, 1.2e-05, -5e-06};
