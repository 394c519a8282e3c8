// The stand-in host's own part of every block (carrying packets into the context, the stem
// formats and transport the plug-in asks for, moving the transport on) must cost the plug-in's
// benchmarks nothing a real host would not: no lock, no allocation.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "AAX_Errors.h"
#include "HostSession.h"
#include "LockCounter.h"
#include "support/AllocationCounter.h"

namespace {

using aaxhost::HostSession;
using aaxhost::HostTransport;

constexpr double kRate = 48000.0;
constexpr AAX_CFieldIndex kCurrentStateField = 25;

struct Watched
{
  long allocations = 0;
  long locks = 0;
};

class HostRealtime : public testing::Test
{
protected:
  HostRealtime()
  {
    HostSession::Options options;
    options.modulePath = CORVANE_MODULE_PATH;
    options.sampleRate = kRate;
    session = std::make_unique<HostSession>(options);
    for (size_t i = 0; i < in[0].size(); ++i)
    {
      in[0][i] = static_cast<float>(0.5 * std::sin(0.031 * static_cast<double>(i)));
      in[1][i] = static_cast<float>(0.5 * std::sin(0.017 * static_cast<double>(i)));
    }
  }

  // Whole host blocks on the audio thread, each with both counters around it.
  Watched RenderWatched(const std::vector<int32_t>& blocks)
  {
    return session->AudioThread().Run([&] {
      float* ins[2] = {in[0].data(), in[1].data()};
      float* outs[2] = {out[0].data(), out[1].data()};
      Watched watched;
      for (const int32_t frames : blocks)
      {
        test::AllocationCounter allocations;
        test::LockCounter locks;
        session->RenderBlock(ins, outs, frames);
        watched.allocations += allocations.Count();
        watched.locks += locks.Count();
      }
      return watched;
    });
  }

  AAX_Result Automate(const char* id, double value)
  {
    return session->ParameterThread().Run([&] {
      auto* effect = session->Instance().Effect();
      const AAX_Result result = effect->UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter);
      return result != AAX_SUCCESS ? result : effect->GenerateCoefficients();
    });
  }

  std::unique_ptr<HostSession> session;
  std::vector<float> in[2] = {std::vector<float>(4096), std::vector<float>(4096)};
  std::vector<float> out[2] = {std::vector<float>(4096), std::vector<float>(4096)};
};

TEST_F(HostRealtime, CounterSeesALockOnThisThread)
{
  std::mutex mutex;
  test::LockCounter counter;
  {
    std::lock_guard lock(mutex);
  }
  { std::unique_lock tried(mutex, std::try_to_lock); }
  EXPECT_EQ(counter.Count(), 2);
}

TEST_F(HostRealtime, EveryBlockOfAPreparedSessionTakesNoLockAndAllocatesNothing)
{
  HostTransport::State state;
  state.playing = true;
  state.looping = true;
  state.loopStartTick = 960000;
  state.loopEndTick = 3840000;
  session->Controller().Transport().SetState(state);
  for (const bool oversampling : {false, true})
  {
    ASSERT_EQ(Automate("5", oversampling ? 1.0 : 0.0), AAX_SUCCESS);
    // Prepared: the largest block, the change delivered and the latency settled.
    RenderWatched({4096, 256});

    const int64_t before = session->Controller().Transport().GetState().sampleLocation;
    const std::vector<int32_t> blocks = {1, 16, 32, 64, 512, 4096, 1, 300};
    const Watched watched = RenderWatched(blocks);
    EXPECT_EQ(watched.allocations, 0) << "oversampling " << oversampling;
    EXPECT_EQ(watched.locks, 0) << "oversampling " << oversampling;
    int64_t frames = 0;
    for (const int32_t n : blocks)
      frames += n;
    EXPECT_EQ(session->Controller().Transport().GetState().sampleLocation, before + frames)
      << "every block moved the transport on";
  }
}

TEST_F(HostRealtime, PostedPacketsReachTheContextWithoutAnAllocation)
{
  RenderWatched({4096, 256});
  for (int i = 0; i < 3; ++i)
  {
    ASSERT_EQ(Automate("1", 0.2 + 0.2 * i), AAX_SUCCESS);
    const auto posted = session->Controller().Packets();
    ASSERT_FALSE(posted.empty());
    const Watched watched = RenderWatched({64});
    EXPECT_EQ(watched.allocations, 0);
    const void* port = session->Context().PortData(kCurrentStateField);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(std::memcmp(port, posted.back().payload.data(), posted.back().payload.size()), 0)
      << "the last posted state number is in the context";
  }
  // Once delivered, a packet is not carried again: the next blocks are lock-free once more.
  EXPECT_EQ(RenderWatched({64, 64}).locks, 0);
}

// The audio thread moves the transport on while another thread sets it: the plug-in's queries
// never see half of one state and half of another, and the audio thread never waits.
TEST(HostTransportThreads, SettersOnAnotherThreadNeverTearWhatTheAudioThreadReads)
{
  aaxhost::HostRef<HostTransport> transport(new HostTransport());
  auto set = [&](int32_t k) {
    HostTransport::State state;
    state.tempo = k;
    state.numerator = k;
    state.denominator = 2 * k;
    state.playing = true;
    state.looping = true;
    state.loopStartTick = k;
    state.loopEndTick = k + 960000000;
    transport->SetState(state);
  };
  set(1);
  std::atomic<bool> stop{false};
  std::thread setter([&] {
    for (int32_t k = 2; !stop.load(); k = k % 1000 + 1)
      set(k);
  });

  long torn = 0;
  for (int i = 0; i < 200000; ++i)
  {
    transport->Advance(64, kRate);
    int32_t numerator = 0, denominator = 0;
    bool looping = false;
    int64_t start = 0, end = 0;
    transport->GetCurrentMeter(&numerator, &denominator);
    transport->GetCurrentLoopPosition(&looping, &start, &end);
    if (denominator != 2 * numerator || end != start + 960000000)
      ++torn;
  }
  stop = true;
  setter.join();
  EXPECT_EQ(torn, 0);

  // With the setter gone, what was carried over is applied, and a block counts from the state set.
  transport->Advance(0, kRate);
  HostTransport::State state;
  state.sampleLocation = 1000;
  transport->SetState(state);
  transport->Advance(24, kRate);
  EXPECT_EQ(transport->GetState().sampleLocation, 1024);
}

} // namespace
