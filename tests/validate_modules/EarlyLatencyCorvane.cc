// A module for the validator's own tests: it tells the host a latency of 64 samples but delays
// its output by 63. `aaxhost validate` must fail its latency-impulse case on it.

#include <array>

#include "Corvane.h"

namespace {

class EarlyLatencyCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  void RenderBlock(iplug::sample** inputs, iplug::sample** outputs, int nFrames) override
  {
    Corvane::RenderBlock(inputs, outputs, nFrames);
    if (GetLatency() != kDelay + 1)
      Corvane::ReportLatency(kDelay + 1);
    for (size_t ch = 0; ch < 2; ++ch)
    {
      for (int i = 0; i < nFrames; ++i)
      {
        const iplug::sample x = outputs[ch][i];
        outputs[ch][i] = mLine[ch][static_cast<size_t>(mPos[ch])];
        mLine[ch][static_cast<size_t>(mPos[ch])] = x;
        mPos[ch] = (mPos[ch] + 1) % kDelay;
      }
    }
  }

  void ReportLatency(int) override
  {
    if (GetLatency() != kDelay + 1)
      Corvane::ReportLatency(kDelay + 1);
  }

private:
  static constexpr int kDelay = 63;
  std::array<std::array<iplug::sample, kDelay>, 2> mLine{};
  std::array<int, 2> mPos{};
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new EarlyLatencyCorvane(info);
}
