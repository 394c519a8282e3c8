#pragma once

namespace iplug {

// Transport bits of TimeInfo::mTransportFlags.
enum ETransportFlags
{
  kTransportRunning = 1 << 0,
  kTransportLooping = 1 << 1,
  kTransportRecording = 1 << 2
};

// The host's transport, filled by the host adapter before each processed block. Positions stay
// at -1 until the host supplies them, so a reader can tell "unknown" from "at the start".
struct TimeInfo
{
  double mTempo = 120.0;         // beats per minute
  double mSamplePos = -1.0;      // samples since the timeline's origin
  double mPPQPos = -1.0;         // beats (quarter notes) since the timeline's origin
  double mLastBar = -1.0;        // beat position of the current bar's start
  double mCycleStart = -1.0;     // loop start, in beats
  double mCycleEnd = -1.0;       // loop end, in beats
  int mNumerator = 4;
  int mDenominator = 4;
  int mTransportFlags = 0;       // ETransportFlags
};

} // namespace iplug
