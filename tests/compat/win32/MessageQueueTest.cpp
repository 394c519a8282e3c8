#include "PlatformWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Each test gets a thread of its own, so no queue or quit flag leaks from one test to the next.
void OnFreshThread(const std::function<void()>& body)
{
  std::thread thread(body);
  thread.join();
}

void MakeQueue()
{
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

TEST(MessageQueue, PostingNeedsTheTargetThreadToHaveAQueue)
{
  std::atomic<DWORD> id{0};
  std::atomic<int> step{0};
  std::thread target([&] {
    id = GetCurrentThreadId();
    while (step.load() < 1)
      Sleep(1);
    MakeQueue();
    step = 2;
    while (step.load() < 3)
      Sleep(1);
  });
  while (id.load() == 0)
    Sleep(1);

  SetLastError(0);
  EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));

  step = 1;
  while (step.load() < 2)
    Sleep(1);
  EXPECT_TRUE(PostThreadMessage(id, WM_USER, 0, 0));

  step = 3;
  target.join();
  EXPECT_FALSE(PostThreadMessage(id, WM_USER, 0, 0)) << "the queue ends with its thread";
}

TEST(MessageQueue, PostedMessagesComeInOrderAndQuitEndsTheLoop)
{
  OnFreshThread([] {
    MakeQueue();
    const DWORD self = GetCurrentThreadId();
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 1, 10, -10));
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 2, 20, -20));
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 3, 30, -30));
    ASSERT_TRUE(PostThreadMessage(self, WM_QUIT, 7, 0));

    MSG msg;
    for (UINT n = 1; n <= 3; ++n)
    {
      ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
      EXPECT_EQ(msg.message, WM_USER + n);
      EXPECT_EQ(msg.hwnd, nullptr);
      EXPECT_EQ(msg.wParam, 10u * n);
      EXPECT_EQ(msg.lParam, -10 * static_cast<LPARAM>(n));
    }
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT is retrieved once";
  });
}

TEST(MessageQueue, PeekLeavesOrRemovesAndFiltersSelect)
{
  OnFreshThread([] {
    MakeQueue();
    const DWORD self = GetCurrentThreadId();
    PostThreadMessage(self, WM_USER, 1, 0);
    PostThreadMessage(self, WM_APP, 2, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "PM_NOREMOVE leaves the message where it was";

    // A range filter skips the earlier message without disturbing it.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));

    // (HWND)-1 selects messages without a window.
    ASSERT_TRUE(PeekMessage(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));

    // WM_QUIT passes every filter.
    PostThreadMessage(self, WM_QUIT, 3, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  });
}

TEST(MessageQueue, UnknownWindowFilterAndNullMessageAreRefused)
{
  OnFreshThread([] {
    MakeQueue();
    PostThreadMessage(GetCurrentThreadId(), WM_USER, 0, 0);
    MSG msg;
    const HWND unknown = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    SetLastError(0);
    EXPECT_EQ(GetMessage(&msg, unknown, 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PeekMessage(&msg, unknown, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(DispatchMessage(nullptr), 0);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "the message is still there";
  });
}

TEST(MessageQueue, WaitingLoopReceivesEveryMessageFromAnotherThreadInOrder)
{
  constexpr int kCount = 2000;
  std::atomic<DWORD> id{0};
  std::vector<WPARAM> received;
  std::thread loop([&] {
    MakeQueue();
    id = GetCurrentThreadId();
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
      received.push_back(msg.wParam);
  });
  while (id.load() == 0)
    Sleep(1);

  for (int i = 0; i < kCount; ++i)
  {
    ASSERT_TRUE(PostThreadMessage(id, WM_USER, static_cast<WPARAM>(i), 0));
    if (i % 100 == 0)
      Sleep(0); // let the loop catch up and wait again now and then
  }
  PostThreadMessage(id, WM_QUIT, 0, 0);
  loop.join();

  ASSERT_EQ(received.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i)
    ASSERT_EQ(received[static_cast<size_t>(i)], static_cast<WPARAM>(i));
}

TEST(MessageQueue, AFullQueueRefusesFurtherPosts)
{
  OnFreshThread([] {
    MakeQueue();
    const DWORD self = GetCurrentThreadId();
    int accepted = 0;
    while (accepted < 20000 && PostThreadMessage(self, WM_USER, 0, 0))
      ++accepted;
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostThreadMessage(self, WM_USER, 0, 0)) << "room again after a retrieval";
  });
}

} // namespace
