#pragma once

// A thread that pumps its Win32 message queue the way a host's UI thread does, so that timer
// ticks and posted work arrive through a real message loop. Tests run code on it with Run.

#include "PlatformWindows.h"

#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <utility>

class MessageLoopThread
{
public:
  // A private message that carries a pointer to the work to run.
  static constexpr UINT kRunMessage = WM_APP + 1;

  MessageLoopThread()
  {
    std::promise<DWORD> started;
    auto id = started.get_future();
    mThread = std::thread([&started] {
      MSG msg;
      PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE); // makes the queue before anyone posts
      started.set_value(GetCurrentThreadId());
      while (GetMessage(&msg, nullptr, 0, 0) > 0)
      {
        if (msg.hwnd == nullptr && msg.message == kRunMessage)
        {
          (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
          continue;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    });
    mThreadId = id.get();
  }

  ~MessageLoopThread()
  {
    PostThreadMessage(mThreadId, WM_QUIT, 0, 0);
    mThread.join();
  }

  MessageLoopThread(const MessageLoopThread&) = delete;
  MessageLoopThread& operator=(const MessageLoopThread&) = delete;

  DWORD Id() const { return mThreadId; }

  // Runs the function on the loop thread, between two messages, and returns its result.
  template <typename Function>
  auto Run(Function&& function) -> decltype(function())
  {
    std::packaged_task<decltype(function())()> task(std::forward<Function>(function));
    auto result = task.get_future();
    std::function<void()> call = [&task] { task(); };
    PostThreadMessage(mThreadId, kRunMessage, 0, reinterpret_cast<LPARAM>(&call));
    return result.get();
  }

private:
  std::thread mThread;
  DWORD mThreadId = 0;
};

// Polls until the condition holds or a generous limit has passed; returns whether it holds.
// Ticks may come late on a loaded machine, so tests wait for counts, never for times.
template <typename Condition>
bool WaitUntil(Condition ready, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!ready())
  {
    if (std::chrono::steady_clock::now() > end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
