#include "HalfbandFilter.h"

#include <algorithm>
#include <iterator>

#include "HalfbandTaps.h"

double HalfbandFilter::Step(double x)
{
  const double o = mOffset;
  mOffset = -o;

  mNewest = (mNewest == 0 ? kTaps : mNewest) - 1;
  const double stored = x + mOffset;
  mLine[mNewest] = stored;
  mLine[mNewest + kTaps] = stored;

  // w[k] is the input k steps back; the pairs around the centre share one multiplication.
  const double* w = mLine + mNewest;
  double y = kHalfbandCentreTap * w[kCentre];
  for (int i = 0; i < kHalfbandOddTapCount; ++i)
  {
    const int d = 2 * i + 1;
    y += kHalfbandOddTaps[i] * (w[kCentre - d] + w[kCentre + d]);
  }
  return y + o;
}

void HalfbandFilter::Clear()
{
  std::fill(std::begin(mLine), std::end(mLine), 0.0);
}

void HalfbandFilter::ReadPhases(double* even, double* odd) const
{
  // w[0] is the newest stored value, the second step of the last frame.
  const double* w = mLine + mNewest;
  for (int m = 0; m < kPhaseHistory; ++m)
  {
    even[m] = w[2 * (kPhaseHistory - 1 - m) + 1];
    odd[m] = w[2 * (kPhaseHistory - 1 - m)];
  }
}

void HalfbandFilter::WritePhases(const double* even, const double* odd, int frames)
{
  if (frames <= 0)
    return;
  const int last = kPhaseHistory + frames - 1;
  mNewest = 0;
  for (int k = 0; k < kTaps; ++k)
  {
    const double v = (k % 2 == 0) ? odd[last - k / 2] : even[last - k / 2];
    mLine[k] = v;
    mLine[k + kTaps] = v;
  }
}
