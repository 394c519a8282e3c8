#pragma once

#include <vector>

#include "IPlugProcessor.h"

// Drives a processing frame the way the host adapter does for one block: connect and attach
// the host's 32-bit buffers, then RunBlock or PassThrough. Buffers are owned here so that a
// test can render signals of any length in blocks of any size.
class ProcessingRig
{
public:
  ProcessingRig(iplug::IPlugProcessor& processor, int nInputs, int nOutputs, double sampleRate = 48000.0);

  // Prepares for blocks of up to maxFrames and resets processing, as the adapter does.
  void Prepare(int maxFrames);

  // Renders `frames` frames from in (one vector per host input channel) into out, in blocks of
  // blockSize frames. With bypass set, the host's bypass path (PassThrough) runs instead.
  void Render(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
              int blockSize, bool hostBypass = false);

  // Renders one block of the prepared buffers in place; no allocation.
  void RenderPrepared(int frames, bool hostBypass = false);

  std::vector<std::vector<float>>& InputBuffers() { return mIn; }
  std::vector<std::vector<float>>& OutputBuffers() { return mOut; }

private:
  iplug::IPlugProcessor& mProcessor;
  int mNInputs;
  int mNOutputs;
  std::vector<std::vector<float>> mIn;
  std::vector<std::vector<float>> mOut;
  std::vector<float*> mInPtrs;
  std::vector<float*> mOutPtrs;
};
