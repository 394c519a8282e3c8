#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "IPlugConstants.h"

namespace iplug {

// Delays bypassed audio by the plug-in's latency, so that switching the host's bypass keeps the
// signal aligned with the processed path. Channel ch occupies the run of Length() samples that
// starts at ch * Length() in one buffer.
//
// Lengths up to the reserved one are set without allocating: a caller that knows the largest
// latency it will report calls Reserve() once off the audio thread, and later length changes on
// the audio thread then only resize within that capacity.
class BypassDelayLine
{
public:
  // Not real-time: allocates the buffer. Negative counts or lengths count as 0.
  BypassDelayLine(int nInputs, int nOutputs, int length);

  // Not real-time: makes room for lengths up to maxLength.
  void Reserve(int maxLength);

  // Sets the delay, rewinds and fills with silence. Allocates only when the new length needs more
  // than the reserved room. A negative length counts as 0.
  void SetLength(int length);

  // Audio thread; never allocates. For each channel below both channel counts, writes the input
  // delayed by Length() samples to the output; other outputs are left as they are. Does nothing
  // while the length is 0. Inputs and outputs may be the same buffers.
  void Process(sample* const* inputs, sample* const* outputs, int nFrames);

  int NInputs() const { return mNInputs; }
  int NOutputs() const { return mNOutputs; }
  uint32_t Length() const { return mLength; }
  uint32_t WritePos() const { return mWritePos; }
  size_t Capacity() const { return mBuffer.capacity(); }

private:
  std::vector<sample> mBuffer;
  int mNInputs = 0;
  int mNOutputs = 0;
  uint32_t mWritePos = 0;
  uint32_t mLength = 0;
};

} // namespace iplug
