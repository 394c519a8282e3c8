#include "IPlugLogger.h"
#include "Timer_impl.h"

#include "support/MessageLoopThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using iplug::Timer;
using iplug::Timer_impl;

namespace {

// Timers are made, cancelled and destroyed on the UI thread, which pumps its messages like a
// host's main thread; the test thread only watches the counts.
class TimerTest : public testing::Test
{
protected:
  std::unique_ptr<Timer> MakeOnUi(Timer::ITimerFunction callback, uint32_t intervalMs)
  {
    return ui.Run([&] { return Timer::Make(std::move(callback), intervalMs); });
  }

  void DestroyOnUi(std::unique_ptr<Timer>& timer)
  {
    ui.Run([&] { timer.reset(); });
  }

  size_t Running() { return ui.Run([] { return Timer_impl::NumRunning(); }); }

  // Counts ticks and checks that each one is handed the timer it belongs to.
  struct Probe
  {
    std::atomic<int> ticks{0};
    std::atomic<int> foreign{0};
    std::atomic<const Timer*> self{nullptr};

    Timer::ITimerFunction Callback()
    {
      return [this](Timer& timer) {
        if (&timer != self)
          ++foreign;
        ++ticks;
      };
    }
  };

  MessageLoopThread ui;
};

TEST_F(TimerTest, EachTimerGetsOnlyItsOwnTicks)
{
  const size_t before = Running();
  Probe fast, medium, idle;
  auto fastTimer = MakeOnUi(fast.Callback(), 10);
  fast.self = fastTimer.get();
  auto mediumTimer = MakeOnUi(medium.Callback(), 30);
  medium.self = mediumTimer.get();
  auto idleTimer = MakeOnUi(idle.Callback(), 600000);
  idle.self = idleTimer.get();
  EXPECT_EQ(Running(), before + 3);

  ASSERT_TRUE(WaitUntil([&] { return fast.ticks >= 10 && medium.ticks >= 3; }));
  EXPECT_EQ(idle.ticks, 0) << "ticks of the other timers never reach this one";
  EXPECT_EQ(fast.foreign + medium.foreign, 0);

  DestroyOnUi(fastTimer);
  DestroyOnUi(mediumTimer);
  DestroyOnUi(idleTimer);
  EXPECT_EQ(Running(), before);
}

TEST_F(TimerTest, CancelInsideTheCallbackEndsTheTicksAndLeavesTheRegistry)
{
  const size_t before = Running();
  std::atomic<int> selfCancelling{0};
  auto cancelling = MakeOnUi(
    [&](Timer& timer) {
      if (++selfCancelling == 3)
        timer.Cancel();
    },
    10);
  Probe sentinel;
  auto sentinelTimer = MakeOnUi(sentinel.Callback(), 10);
  sentinel.self = sentinelTimer.get();

  ASSERT_TRUE(WaitUntil([&] { return selfCancelling >= 3; }));
  EXPECT_EQ(Running(), before + 1);
  const int seen = sentinel.ticks;
  ASSERT_TRUE(WaitUntil([&] { return sentinel.ticks >= seen + 10; }));
  EXPECT_EQ(selfCancelling, 3);

  DestroyOnUi(cancelling);
  DestroyOnUi(sentinelTimer);
  EXPECT_EQ(Running(), before);
}

TEST_F(TimerTest, CancellingTwiceOrDestroyingACancelledTimerDoesNothingMore)
{
  const size_t before = Running();
  Probe cancelled, other;
  auto cancelledTimer = MakeOnUi(cancelled.Callback(), 10);
  auto otherTimer = MakeOnUi(other.Callback(), 10);
  other.self = otherTimer.get();

  ui.Run([&] { cancelledTimer->Cancel(); });
  const int ticksAtCancel = cancelled.ticks;
  EXPECT_EQ(Running(), before + 1);
  ui.Run([&] { cancelledTimer->Cancel(); });
  EXPECT_EQ(Running(), before + 1) << "the second cancel removed nothing else";
  DestroyOnUi(cancelledTimer);
  EXPECT_EQ(Running(), before + 1);

  const int seen = other.ticks;
  ASSERT_TRUE(WaitUntil([&] { return other.ticks >= seen + 5; })) << "the other timer still ticks";
  EXPECT_EQ(cancelled.ticks, ticksAtCancel);
  DestroyOnUi(otherTimer);
}

TEST_F(TimerTest, AnEmptyCallbackGivesATimerThatNeverRuns)
{
  const size_t before = Running();
  auto timer = MakeOnUi(Timer::ITimerFunction(), 10);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(Running(), before);
  ui.Run([&] { timer->Cancel(); });
  DestroyOnUi(timer);
}

// A tick that the loop has already retrieved when its timer goes away reaches the shared timer
// procedure (another timer keeps the procedure valid) and must find nothing to call.
TEST_F(TimerTest, ATickOfATimerThatLeftTheRegistryIsIgnored)
{
  for (const bool destroy : {false, true})
  {
    SCOPED_TRACE(destroy ? "destroyed" : "cancelled");
    Probe stale, keeper;
    ui.Run([&] {
      auto staleTimer = Timer::Make(stale.Callback(), 10);
      stale.self = staleTimer.get();
      auto keeperTimer = Timer::Make(keeper.Callback(), 600000);
      keeper.self = keeperTimer.get();

      MSG msg;
      ASSERT_GT(GetMessage(&msg, nullptr, WM_TIMER, WM_TIMER), 0);
      DispatchMessage(&msg);
      ASSERT_EQ(stale.ticks, 1) << "a live tick reaches its callback";

      ASSERT_GT(GetMessage(&msg, nullptr, WM_TIMER, WM_TIMER), 0);
      if (destroy)
        staleTimer.reset();
      else
        staleTimer->Cancel();
      DispatchMessage(&msg);
      EXPECT_EQ(stale.ticks, 1);
      EXPECT_EQ(keeper.ticks, 0);
    });
  }
}

TEST_F(TimerTest, ACallbackMayMakeAnotherTimer)
{
  Probe child;
  std::unique_ptr<Timer> childTimer; // touched on the UI thread only
  auto parent = MakeOnUi(
    [&](Timer& timer) {
      timer.Cancel();
      childTimer = Timer::Make(child.Callback(), 10);
      child.self = childTimer.get();
    },
    10);
  ASSERT_TRUE(WaitUntil([&] { return child.ticks >= 3; }));
  EXPECT_EQ(child.foreign, 0);
  DestroyOnUi(childTimer);
  DestroyOnUi(parent);
}

TEST_F(TimerTest, CancelFromAnotherThreadWaitsForARunningCallback)
{
  std::atomic<bool> inside{false};
  std::atomic<bool> finished{false};
  auto timer = MakeOnUi(
    [&](Timer&) {
      if (finished)
        return;
      inside = true;
      Sleep(100);
      finished = true;
    },
    10);
  ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));
  timer->Cancel();
  EXPECT_TRUE(finished) << "Cancel returned while the callback was still running";
  DestroyOnUi(timer);
}

// The exception ends in the timer procedure, traced, and never reaches the system's dispatcher
// (which would swallow it on Windows and hang under Wine).
TEST_F(TimerTest, ACallbackThatThrowsDoesNotKeepTheRegistryLocked)
{
  std::mutex linesLock;
  std::vector<std::string> lines;
  iplug::SetTraceSink([&](const char*, int, const char* message) {
    std::lock_guard<std::mutex> guard(linesLock);
    lines.emplace_back(message);
  });
  std::atomic<int> throws{0};
  auto thrower = MakeOnUi(
    [&](Timer& timer) {
      timer.Cancel();
      ++throws;
      throw std::runtime_error("idle work failed");
    },
    10);
  ASSERT_TRUE(WaitUntil([&] { return throws >= 1; }));

  // Another thread needs the registry lock; if the throw had kept it, this would never finish.
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread other([done] {
    Timer_impl::NumRunning();
    *done = true;
  });
  EXPECT_TRUE(WaitUntil([&] { return done->load(); }));
  // Joined once it is through, so that it never outlives the program's static objects; left to
  // itself only when it is stuck, and the test has failed.
  if (done->load())
    other.join();
  else
    other.detach();
  EXPECT_EQ(throws, 1);
  DestroyOnUi(thrower);
  iplug::SetTraceSink({});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("the callback threw: idle work failed"), std::string::npos) << lines[0];
}

} // namespace
