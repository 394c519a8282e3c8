#pragma once

#include <functional>
#include <future>
#include <thread>
#include <type_traits>
#include <utility>

struct tagMSG;

namespace aaxhost {

// The host's main thread as a DAW has it: a thread that pumps the system's message loop, so the
// module's thread timers (its idle timer) tick there, and that runs the host's UI-thread work
// (creating, initialising and releasing instances, chunk calls) between two messages.
class HostUIThread
{
public:
  HostUIThread();
  // Ends the loop after the work already posted and joins the thread.
  ~HostUIThread();
  HostUIThread(const HostUIThread&) = delete;
  HostUIThread& operator=(const HostUIThread&) = delete;

  // Runs the function on the UI thread and returns its result (or rethrows its exception). From
  // the UI thread itself it runs at once.
  template <typename Function>
  auto Run(Function&& function) -> std::invoke_result_t<Function>
  {
    using Result = std::invoke_result_t<Function>;
    if (IsCurrent())
      return function();
    std::packaged_task<Result()> task(std::forward<Function>(function));
    auto result = task.get_future();
    Post([&task] { task(); });
    return result.get();
  }

  // Handles every message already waiting on the UI thread, the input that the display put in
  // its queue included (a posted call such as Run is retrieved before input, so it alone would
  // not see it handled), then returns. From any thread but the UI thread itself.
  void Flush();

  bool IsCurrent() const { return std::this_thread::get_id() == mThread.get_id(); }
  uint32_t ThreadId() const { return mThreadId; }

private:
  // One message as the loop handles it.
  static void Handle(const tagMSG& msg);

  // Posts the work as a thread message and waits until it has run.
  void Post(std::function<void()> work);

  std::thread mThread;
  uint32_t mThreadId = 0;
};

} // namespace aaxhost
