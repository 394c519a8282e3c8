#include "BypassDelayLine.h"

#include <algorithm>

namespace iplug {

BypassDelayLine::BypassDelayLine(int nInputs, int nOutputs, int length)
  : mNInputs(std::max(nInputs, 0)), mNOutputs(std::max(nOutputs, 0))
{
  SetLength(length);
}

void BypassDelayLine::Reserve(int maxLength)
{
  if (maxLength > 0)
    mBuffer.reserve(static_cast<size_t>(mNInputs) * static_cast<size_t>(maxLength));
}

void BypassDelayLine::SetLength(int length)
{
  mLength = static_cast<uint32_t>(std::max(length, 0));
  mWritePos = 0;
  // Within capacity resize() keeps the storage, which is what makes a reserved change real-time safe.
  mBuffer.resize(static_cast<size_t>(mNInputs) * mLength);
  std::fill(mBuffer.begin(), mBuffer.end(), 0.0);
}

void BypassDelayLine::Process(sample* const* inputs, sample* const* outputs, int nFrames)
{
  if (mLength == 0 || nFrames <= 0 || !inputs || !outputs)
    return;

  const int nChans = std::min(mNInputs, mNOutputs);
  for (int ch = 0; ch < nChans; ++ch)
  {
    const sample* in = inputs[ch];
    sample* out = outputs[ch];
    if (!in || !out)
      continue;

    sample* line = mBuffer.data() + static_cast<size_t>(ch) * mLength;
    uint32_t pos = mWritePos;
    for (int s = 0; s < nFrames; ++s)
    {
      // Read the input before writing the output, in case both are the same buffer.
      const sample x = in[s];
      out[s] = line[pos];
      line[pos] = x;
      if (++pos == mLength)
        pos = 0;
    }
  }
  mWritePos = static_cast<uint32_t>((mWritePos + static_cast<uint64_t>(nFrames)) % mLength);
}

} // namespace iplug
