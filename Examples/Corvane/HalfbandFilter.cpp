#include "HalfbandFilter.h"

#include <algorithm>
#include <iterator>

#include "HalfbandTaps.h"

// With F the frame being stored, the window of the last 129 samples, newest first, is
//   after an even step: even[F], odd[F-1], even[F-1], odd[F-2], ...
//   after an odd step:  odd[F],  even[F],  odd[F-1],  even[F-1], ...
// The centre tap (64 samples back) falls on the phase just stored, 32 frames back, and every pair
// of odd distances 2i+1 on the other phase: the newer sample of the pair i frames after F-32 (one
// more after an odd step), the older one i frames before F-33 (F-32 after an odd step).
double HalfbandFilter::Step(double x)
{
  const double o = mOffset;
  mOffset = -o;
  const double stored = x + mOffset;

  if (!mMidFrame)
    MakeRoom(1);
  const int f = mOldest + kPhaseHistory;
  double* own = mMidFrame ? mOdd : mEven;
  const double* other = mMidFrame ? mEven : mOdd;
  const int newer = mMidFrame ? f - 31 : f - 32;
  const int older = mMidFrame ? f - 32 : f - 33;
  own[f] = stored;

  double y = kHalfbandCentreTap * own[f - 32];
  for (int i = 0; i < kHalfbandOddTapCount; ++i)
    y += kHalfbandOddTaps[i] * (other[newer + i] + other[older - i]);

  if (mMidFrame)
  {
    ExtendOddRun(stored, 1);
    ++mOldest;
  }
  mMidFrame = !mMidFrame;
  return y + o;
}

void HalfbandFilter::Clear()
{
  std::fill(std::begin(mEven), std::end(mEven), 0.0);
  std::fill(std::begin(mOdd), std::end(mOdd), 0.0);
  mOldest = 0;
  mMidFrame = false;
  mOddRunValue = 0.0;
  mOddRun = kPhaseHistory;
}

HalfbandFilter::Phases HalfbandFilter::BeginBlock(int frames)
{
  MakeRoom(std::clamp(frames, 1, kMaxBlockFrames));
  return {mEven + mOldest, mOdd + mOldest};
}

void HalfbandFilter::CommitBlock(int frames)
{
  if (frames <= 0)
    return;
  frames = std::min(frames, kMaxBlockFrames);
  // The run of equal values behind the newest one, scanned only as far as the block goes.
  const double* odd = mOdd + mOldest + kPhaseHistory;
  const double newest = odd[frames - 1];
  int equal = 1;
  while (equal < frames && odd[frames - 1 - equal] == newest)
    ++equal;
  if (equal < frames)
  {
    mOddRunValue = newest;
    mOddRun = equal;
  }
  else
  {
    ExtendOddRun(newest, frames);
  }
  mOldest += frames;
}

void HalfbandFilter::CommitUniformBlock(int frames, double oddValue)
{
  if (frames <= 0)
    return;
  frames = std::min(frames, kMaxBlockFrames);
  ExtendOddRun(oddValue, frames);
  mOldest += frames;
}

void HalfbandFilter::ExtendOddRun(double value, int frames)
{
  if (value == mOddRunValue)
  {
    mOddRun = std::min(mOddRun + frames, kCapacity);
  }
  else
  {
    mOddRunValue = value;
    mOddRun = frames;
  }
}

void HalfbandFilter::MakeRoom(int frames)
{
  if (mOldest + kPhaseHistory + frames + kBlockPadding <= kCapacity)
    return;
  std::copy_n(mEven + mOldest, kPhaseHistory, mEven);
  std::copy_n(mOdd + mOldest, kPhaseHistory, mOdd);
  mOldest = 0;
}
