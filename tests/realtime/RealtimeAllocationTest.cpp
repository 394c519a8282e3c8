#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/AllocationCounter.h"
#include "Corvane.h"
#include "support/ProcessingRig.h"

using namespace iplug;

namespace {

struct PreparedCorvane
{
  std::unique_ptr<Corvane> plug{static_cast<Corvane*>(CreatePlugin(InstanceInfo{}))};
  ProcessingRig rig{*plug, 2, 2};

  explicit PreparedCorvane(int maxFrames)
  {
    // The largest latency the product reports is reserved up front, so that even the block on
    // which oversampling changes the latency resizes the delay line without allocating.
    plug->CreateBypassDelayLine(Corvane::kOversamplingLatency);
    rig.Prepare(maxFrames);
    for (auto& channel : rig.InputBuffers())
      for (size_t i = 0; i < channel.size(); ++i)
        channel[i] = static_cast<float>(0.7 * std::sin(0.05 * static_cast<double>(i)));
  }

  void Set(int idx, double value)
  {
    plug->GetParam(idx)->SetValue(value);
    plug->OnParamValueChange(idx);
  }
};

} // namespace

TEST(RealtimeAllocation, RenderingNeverAllocatesOncePrepared)
{
  for (bool oversampling : {false, true})
  {
    PreparedCorvane c(512);
    c.Set(kOversampling, oversampling);
    c.Set(kGain, 18.0);
    // The tone controls glide through every block below too.
    c.Set(kLowGain, 7.0);
    c.Set(kHighGain, -7.0);
    c.rig.RenderPrepared(512);  // the latency settles on this block

    test::AllocationCounter counter;
    for (int frames : {512, 1, 100, 511, 0})
    {
      c.rig.RenderPrepared(frames);
      c.rig.RenderPrepared(frames, /*hostBypass*/ true);
    }
    EXPECT_EQ(counter.Count(), 0) << "oversampling " << oversampling;
  }
}

TEST(RealtimeAllocation, LatencyChangesStayWithinTheReservedDelayLine)
{
  PreparedCorvane c(256);
  test::AllocationCounter counter;
  c.Set(kOversampling, 1);
  c.rig.RenderPrepared(256);
  EXPECT_EQ(c.plug->GetLatency(), 64);
  c.rig.RenderPrepared(256, true);
  c.Set(kBypass, 1);
  c.rig.RenderPrepared(256);
  EXPECT_EQ(c.plug->GetLatency(), 0);
  c.Set(kBypass, 0);
  c.rig.RenderPrepared(256);
  EXPECT_EQ(c.plug->GetLatency(), 64);
  EXPECT_EQ(counter.Count(), 0);
}

TEST(RealtimeAllocation, CounterSeesAllocations)
{
  // Guards the guard: the counter must notice an allocation on this thread.
  test::AllocationCounter counter;
  auto p = std::make_unique<int>(3);
  EXPECT_EQ(counter.Count(), 1);
}
