// A plug-in built on the framework core alone: no plug-in API adapter, no graphics, no Win32.
// It processes a block, takes a parameter change and carries its state into a second instance;
// the program exits non-zero when any of that goes wrong. core_only_symbols checks with nm that
// nothing of the upper layers came along.

#include <cmath>
#include <cstdio>
#include <vector>

#include "ByteChunk.h"
#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

using namespace iplug;

namespace {

ConfigRecord TinyConfig()
{
  ConfigRecord config;
  config.nParams = 1;
  config.channelIOStr = "2-2";
  config.pluginName = "Tiny Gain";
  config.productName = "Tiny Gain";
  config.mfrName = "Corvane";
  return config;
}

class TinyGain final : public IPlugAPIBase, public IPlugProcessor
{
public:
  TinyGain() : IPlugAPIBase(TinyConfig(), kAPIAAX), IPlugProcessor(TinyConfig())
  {
    GetParam(0)->DefineDouble("Gain", 0., -24., 24., 0.1, "dB");
    ConnectChannels(kInput, 0, ChannelCount(kInput), true);
    ConnectChannels(kOutput, 0, ChannelCount(kOutput), true);
    PrepareBlockSize(16);
  }

  void RenderBlock(sample** inputs, sample** outputs, int nFrames) override
  {
    const double gain = std::pow(10., GetParam(0)->Value() / 20.);
    for (int ch = 0; ch < ChannelCount(kOutput); ++ch)
      for (int s = 0; s < nFrames; ++s)
        outputs[ch][s] = inputs[ch][s] * gain;
  }
};

int failures = 0;

void Check(bool ok, const char* what)
{
  if (!ok)
  {
    std::fprintf(stderr, "core-only plug-in: %s\n", what);
    ++failures;
  }
}

} // namespace

int main()
{
  TinyGain plug;
  plug.GetParam(0)->SetValue(6.);
  plug.OnParamChange(0, kHost, -1);

  std::vector<float> left(16, 0.5f), right(16, -0.25f);
  float* ins[] = {left.data(), right.data()};
  std::vector<float> outLeft(16), outRight(16);
  float* outs[] = {outLeft.data(), outRight.data()};
  plug.AttachHostBuffers(kInput, 0, 2, ins, 16);
  plug.AttachHostBuffers(kOutput, 0, 2, outs, 16);
  plug.RunBlock(16);
  Check(std::fabs(outLeft[15] - 0.5f * 1.9952623f) < 1e-5f, "the block was not scaled by +6 dB");
  Check(std::fabs(outRight[0] + 0.25f * 1.9952623f) < 1e-5f, "the second channel was not scaled by +6 dB");

  ByteChunk state;
  Check(plug.WriteState(state), "the state was not written");
  TinyGain other;
  Check(other.ReadState(state, 0) == state.Size(), "the state was not read to its end");
  Check(other.GetParam(0)->Value() == 6., "the parameter did not come back from the state");

  // Without an adapter there is no platform timer, so no idle tick.
  plug.CreateIdleTimer();
  Check(plug.GetIdleTimer() == nullptr, "the core made a timer of its own");

  if (failures == 0)
    std::printf("core-only plug-in: block, parameter and state round trip as expected\n");
  return failures == 0 ? 0 : 1;
}
