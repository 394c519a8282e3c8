#include "PlatformWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

void OnFreshThread(const std::function<void()>& body)
{
  std::thread thread(body);
  thread.join();
}

struct Call
{
  HWND hwnd;
  UINT message;
  UINT_PTR id;
};

thread_local std::vector<Call> tCalls;

void CALLBACK RecordingProc(HWND hwnd, UINT message, UINT_PTR id, DWORD)
{
  tCalls.push_back({hwnd, message, id});
}

void CALLBACK UnusedProc(HWND, UINT, UINT_PTR id, DWORD)
{
  tCalls.push_back({nullptr, 0, id});
}

void CALLBACK ThrowingProc(HWND, UINT, UINT_PTR, DWORD)
{
  throw std::runtime_error("tick failed");
}

// Retrieves messages until a tick of the given timer arrives; other ticks are dispatched.
MSG NextTickOf(UINT_PTR id)
{
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0)
  {
    if (msg.message == WM_TIMER && msg.wParam == id)
      return msg;
    DispatchMessage(&msg);
  }
  ADD_FAILURE() << "the loop ended before the tick";
  return msg;
}

TEST(ThreadTimer, TicksArriveThroughTheLoopAndDispatchCallsTheProcedure)
{
  OnFreshThread([] {
    tCalls.clear();
    const UINT_PTR fast = SetTimer(nullptr, 0, 10, RecordingProc);
    const UINT_PTR slow = SetTimer(nullptr, 0, 30, RecordingProc);
    ASSERT_NE(fast, 0u);
    ASSERT_NE(slow, 0u);
    ASSERT_NE(fast, slow);

    int fastTicks = 0;
    int slowTicks = 0;
    MSG msg;
    while ((fastTicks < 5 || slowTicks < 3) && GetMessage(&msg, nullptr, 0, 0) > 0)
    {
      ASSERT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
      EXPECT_EQ(msg.hwnd, nullptr);
      EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&RecordingProc));
      ASSERT_TRUE(msg.wParam == fast || msg.wParam == slow);
      (msg.wParam == fast ? fastTicks : slowTicks)++;
      tCalls.clear();
      EXPECT_EQ(DispatchMessage(&msg), 0);
      ASSERT_EQ(tCalls.size(), 1u);
      EXPECT_EQ(tCalls[0].hwnd, nullptr);
      EXPECT_EQ(tCalls[0].message, static_cast<UINT>(WM_TIMER));
      EXPECT_EQ(tCalls[0].id, msg.wParam);
    }

    EXPECT_TRUE(KillTimer(nullptr, slow));
    EXPECT_FALSE(KillTimer(nullptr, slow)) << "a timer is killed once";
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(NextTickOf(fast).wParam, fast) << "a killed timer never ticks again";
    EXPECT_TRUE(KillTimer(nullptr, fast));
  });
}

TEST(ThreadTimer, AThreadThatDoesNotPumpFindsOnePendingTickPerTimer)
{
  OnFreshThread([] {
    constexpr DWORD kInterval = 100;
    const UINT_PTR id = SetTimer(nullptr, 0, kInterval, nullptr);
    ASSERT_NE(id, 0u);
    MSG msg;
    NextTickOf(id); // the first tick is due; the next one is due an interval after it was taken

    Sleep(8 * kInterval);
    PostThreadMessage(GetCurrentThreadId(), WM_USER, 0, 0);

    const DWORD start = GetTickCount();
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER)) << "posted messages come before ticks";
    int ticks = 0;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
    {
      EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
      ++ticks;
    }
    // Missed ticks do not pile up; only a drain that itself took a whole interval may see two.
    const DWORD drained = GetTickCount() - start;
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 1 + static_cast<int>(drained / kInterval));
    KillTimer(nullptr, id);
  });
}

TEST(ThreadTimer, PeekWithoutRemovingLeavesTheTickPending)
{
  OnFreshThread([] {
    const UINT_PTR id = SetTimer(nullptr, 0, 10, nullptr);
    MSG msg;
    ASSERT_EQ(NextTickOf(id).wParam, id);
    while (!PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE))
      Sleep(1);
    EXPECT_EQ(msg.wParam, id);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, id);
    KillTimer(nullptr, id);
  });
}

TEST(ThreadTimer, DispatchCallsOnlyProceduresThatATimerStillUses)
{
  OnFreshThread([] {
    tCalls.clear();
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PostThreadMessage(GetCurrentThreadId(), WM_TIMER, 99, reinterpret_cast<LPARAM>(&UnusedProc));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    EXPECT_TRUE(tCalls.empty()) << "no timer has this procedure";

    const UINT_PTR id = SetTimer(nullptr, 0, 60000, UnusedProc);
    DispatchMessage(&msg);
    ASSERT_EQ(tCalls.size(), 1u) << "a live timer vouches for the procedure, whatever the identifier";
    EXPECT_EQ(tCalls[0].id, 99u);
    KillTimer(nullptr, id);
  });
}

TEST(ThreadTimer, SetTimerRearmsItsOwnIdentifierAndIgnoresOthers)
{
  OnFreshThread([] {
    const UINT_PTR id = SetTimer(nullptr, 0, 60000, RecordingProc);
    ASSERT_EQ(SetTimer(nullptr, id, 10, RecordingProc), id);
    EXPECT_EQ(NextTickOf(id).wParam, id) << "re-armed with the short interval";

    const UINT_PTR fresh = SetTimer(nullptr, id + 1000, 60000, RecordingProc);
    EXPECT_NE(fresh, 0u);
    EXPECT_NE(fresh, id + 1000) << "an unknown identifier is not adopted";
    KillTimer(nullptr, id);
    KillTimer(nullptr, fresh);
  });
}

TEST(ThreadTimer, TimersEndWithTheirThreadAndCanBeKilledFromAnother)
{
  UINT_PTR orphan = 0;
  OnFreshThread([&] { orphan = SetTimer(nullptr, 0, 50, nullptr); });
  ASSERT_NE(orphan, 0u);
  EXPECT_FALSE(KillTimer(nullptr, orphan)) << "the timer went with its thread";

  std::atomic<UINT_PTR> id{0};
  std::atomic<bool> killed{false};
  std::thread owner([&] {
    const UINT_PTR mine = SetTimer(nullptr, 0, 10, nullptr);
    NextTickOf(mine);
    id = mine;
    while (!killed.load())
      Sleep(1);
    // Drain what was retrieved before the kill; after it nothing can come.
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    Sleep(50);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  });
  while (id.load() == 0)
    Sleep(1);
  EXPECT_TRUE(KillTimer(nullptr, id));
  killed = true;
  owner.join();
}

TEST(ThreadTimer, AnExceptionFromTheProcedureDoesNotEscapeDispatch)
{
  OnFreshThread([] {
    const UINT_PTR id = SetTimer(nullptr, 0, 10, ThrowingProc);
    MSG msg = NextTickOf(id);
    EXPECT_NO_THROW(DispatchMessage(&msg));
    KillTimer(nullptr, id);
  });
}

TEST(ThreadTimer, WindowTimersNeedAWindow)
{
  const HWND unknown = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
  SetLastError(0);
  EXPECT_EQ(SetTimer(unknown, 2, 15, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(KillTimer(unknown, 2));
}

} // namespace
