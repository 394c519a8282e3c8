#pragma once

#include <vector>

#include "IPlugConstants.h"

namespace iplug {

// The processing frame's record of one input or output channel. The block routine sees only the
// pointer in mSlot, and that always points at mScratch: host buffers are 32-bit while the block
// routine works in `sample`, so inputs are converted into the scratch and outputs out of it.
struct ChannelData
{
  static constexpr int kMaxLabelLength = 32;

  bool mConnected = false;       // the host feeds (input) or reads (output) it in this block
  sample** mSlot = nullptr;      // this channel's entry in the frame's pointer array
  float* mHostOutput = nullptr;  // outputs: the host buffer the block is converted into
  std::vector<sample> mScratch;  // converted input, pre-conversion output, or stand-in silence
  char mLabel[kMaxLabelLength + 1] = {};
};

} // namespace iplug
