#include "ProcessingRig.h"

#include <algorithm>

using namespace iplug;

ProcessingRig::ProcessingRig(IPlugProcessor& processor, int nInputs, int nOutputs, double sampleRate)
  : mProcessor(processor), mNInputs(nInputs), mNOutputs(nOutputs)
{
  mProcessor.SetSampleRate(sampleRate);
}

void ProcessingRig::Prepare(int maxFrames)
{
  mIn.assign(static_cast<size_t>(mNInputs), std::vector<float>(static_cast<size_t>(maxFrames), 0.f));
  mOut.assign(static_cast<size_t>(mNOutputs), std::vector<float>(static_cast<size_t>(maxFrames), 0.f));
  mInPtrs.resize(static_cast<size_t>(mNInputs));
  mOutPtrs.resize(static_cast<size_t>(mNOutputs));
  for (int c = 0; c < mNInputs; ++c)
    mInPtrs[static_cast<size_t>(c)] = mIn[static_cast<size_t>(c)].data();
  for (int c = 0; c < mNOutputs; ++c)
    mOutPtrs[static_cast<size_t>(c)] = mOut[static_cast<size_t>(c)].data();
  mProcessor.PrepareBlockSize(maxFrames);
  mProcessor.ResetProcessing();
}

void ProcessingRig::RenderPrepared(int frames, bool hostBypass)
{
  const int nIn = mProcessor.ChannelCount(kInput);
  const int nOut = mProcessor.ChannelCount(kOutput);
  mProcessor.ConnectChannels(kInput, 0, mNInputs, true);
  mProcessor.ConnectChannels(kInput, mNInputs, nIn - mNInputs, false);
  mProcessor.AttachHostBuffers(kInput, 0, nIn, mInPtrs.data(), frames);
  mProcessor.ConnectChannels(kOutput, 0, mNOutputs, true);
  mProcessor.ConnectChannels(kOutput, mNOutputs, nOut - mNOutputs, false);
  mProcessor.AttachHostBuffers(kOutput, 0, nOut, mOutPtrs.data(), frames);
  if (hostBypass)
    mProcessor.PassThrough(frames);
  else
    mProcessor.RunBlock(frames);
}

void ProcessingRig::Render(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                           int blockSize, bool hostBypass)
{
  const int total = in.empty() ? 0 : static_cast<int>(in[0].size());
  out.assign(static_cast<size_t>(mNOutputs), std::vector<float>(static_cast<size_t>(total), 0.f));
  for (int start = 0; start < total; start += blockSize)
  {
    const int frames = std::min(blockSize, total - start);
    for (int c = 0; c < mNInputs; ++c)
      std::copy_n(in[static_cast<size_t>(c)].begin() + start, frames, mIn[static_cast<size_t>(c)].begin());
    RenderPrepared(frames, hostBypass);
    for (int c = 0; c < mNOutputs; ++c)
      std::copy_n(mOut[static_cast<size_t>(c)].begin(), frames, out[static_cast<size_t>(c)].begin() + start);
  }
}
