#include "PlatformWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs the body on another thread and returns what it returned.
template <typename Body>
auto OnOtherThread(Body body) -> decltype(body())
{
  decltype(body()) result{};
  std::thread thread([&] { result = body(); });
  thread.join();
  return result;
}

TEST(CriticalSection, TheOwnerEntersAgainAndMustLeaveAsOften)
{
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  auto otherCanEnter = [&] {
    return OnOtherThread([&] {
      const BOOL entered = TryEnterCriticalSection(&section);
      if (entered)
        LeaveCriticalSection(&section);
      return entered;
    });
  };

  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));
  EXPECT_FALSE(otherCanEnter());

  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  EXPECT_FALSE(otherCanEnter()) << "still entered once";

  OnOtherThread([&] {
    LeaveCriticalSection(&section); // not the owner: ignored
    return 0;
  });
  EXPECT_FALSE(otherCanEnter());

  LeaveCriticalSection(&section);
  EXPECT_TRUE(otherCanEnter());
  DeleteCriticalSection(&section);
}

TEST(CriticalSection, ExcludesOtherThreads)
{
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  long counter = 0; // deliberately not atomic
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
  {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i)
      {
        EnterCriticalSection(&section);
        counter = counter + 1;
        LeaveCriticalSection(&section);
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(counter, 80000);
  DeleteCriticalSection(&section);
}

TEST(Mutex, TracksItsOwner)
{
  HANDLE mutex = CreateMutex(nullptr, TRUE, nullptr);
  ASSERT_NE(mutex, nullptr);
  auto otherWait = [&](DWORD ms) {
    return OnOtherThread([&] {
      const DWORD result = WaitForSingleObject(mutex, ms);
      if (result == WAIT_OBJECT_0)
        ReleaseMutex(mutex);
      return result;
    });
  };

  EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the owner takes it again";
  EXPECT_EQ(otherWait(0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(otherWait(20), static_cast<DWORD>(WAIT_TIMEOUT));

  const auto [released, error] = OnOtherThread([&] {
    SetLastError(0);
    const BOOL ok = ReleaseMutex(mutex);
    return std::pair<BOOL, DWORD>(ok, GetLastError());
  });
  EXPECT_FALSE(released);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_OWNER));

  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(otherWait(0), static_cast<DWORD>(WAIT_TIMEOUT)) << "taken twice, released once";
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(otherWait(0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_FALSE(ReleaseMutex(mutex)) << "no longer the owner";
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutex, ABlockedWaiterGetsItWhenReleased)
{
  HANDLE mutex = CreateMutex(nullptr, TRUE, nullptr);
  std::atomic<int> state{0};
  std::thread waiter([&] {
    state = 1;
    EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    state = 2;
    ReleaseMutex(mutex);
  });
  while (state.load() == 0)
    Sleep(1);
  Sleep(20);
  EXPECT_EQ(state.load(), 1) << "waits while the mutex is owned";
  ReleaseMutex(mutex);
  waiter.join();
  EXPECT_EQ(state.load(), 2);
  CloseHandle(mutex);
}

TEST(Mutex, AThreadEndingAsOwnerAbandonsIt)
{
  HANDLE mutex = CreateMutex(nullptr, FALSE, nullptr);
  OnOtherThread([&] { return WaitForSingleObject(mutex, INFINITE); });
  EXPECT_EQ(WaitForSingleObject(mutex, 1000), static_cast<DWORD>(WAIT_ABANDONED));
  EXPECT_TRUE(ReleaseMutex(mutex)) << "the abandoned mutex went to the waiter";
  EXPECT_EQ(OnOtherThread([&] {
              const DWORD result = WaitForSingleObject(mutex, 0);
              ReleaseMutex(mutex);
              return result;
            }),
            static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(mutex);
}

TEST(Handles, UnknownClosedAndUnsupportedAreRefused)
{
  HANDLE mutex = CreateMutex(nullptr, FALSE, nullptr);
  EXPECT_TRUE(CloseHandle(mutex));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(mutex));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_FAILED));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), static_cast<DWORD>(WAIT_FAILED));
  EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), static_cast<DWORD>(WAIT_FAILED));

  EXPECT_EQ(CreateMutexA(nullptr, FALSE, "named"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

struct ThreadProbe
{
  std::atomic<DWORD> id{0};
  std::atomic<bool> release{false};
  HANDLE ownedMutex = nullptr;
};

DWORD WINAPI ProbeThread(LPVOID parameter)
{
  auto& probe = *static_cast<ThreadProbe*>(parameter);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  WaitForSingleObject(probe.ownedMutex, INFINITE);
  probe.id = GetCurrentThreadId();
  while (!probe.release.load())
    Sleep(1);
  return 0;
}

TEST(Threads, CreateThreadReportsItsIdAndSignalsOnlyAfterCleanUp)
{
  ThreadProbe probe;
  probe.ownedMutex = CreateMutex(nullptr, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ProbeThread, &probe, 0, &id);
  ASSERT_NE(thread, nullptr);
  ASSERT_NE(id, 0u);
  while (probe.id.load() == 0)
    Sleep(1);
  EXPECT_EQ(probe.id.load(), id);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(PostThreadMessage(id, WM_USER, 0, 0));

  probe.release = true;
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  // By the time the handle is signalled the queue is gone and the mutex abandoned.
  EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0));
  EXPECT_EQ(WaitForSingleObject(probe.ownedMutex, 0), static_cast<DWORD>(WAIT_ABANDONED));
  ReleaseMutex(probe.ownedMutex);
  EXPECT_TRUE(CloseHandle(thread));
  CloseHandle(probe.ownedMutex);

  EXPECT_EQ(CreateThread(nullptr, 0, ProbeThread, &probe, CREATE_SUSPENDED, nullptr), nullptr);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(Threads, IdentifiersAndLastErrorsArePerThread)
{
  SetLastError(1234);
  const DWORD mine = GetCurrentThreadId();
  const auto [theirs, theirError] = OnOtherThread([] { return std::pair(GetCurrentThreadId(), GetLastError()); });
  EXPECT_NE(mine, 0u);
  EXPECT_NE(theirs, 0u);
  EXPECT_NE(mine, theirs);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  EXPECT_EQ(theirError, 0u);
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST(Clocks, TheTickCountAdvancesAtLeastAsFarAsASleep)
{
  const DWORD ticksBefore = GetTickCount();
  Sleep(25);
  const DWORD ticksAfter = GetTickCount();
  EXPECT_GE(static_cast<DWORD>(ticksAfter - ticksBefore), 25u);
}

} // namespace
