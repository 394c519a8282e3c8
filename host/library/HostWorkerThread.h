#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

namespace aaxhost {

// One of the host's worker threads (parameter, audio): runs posted work in order. Work posted
// from any thread; Run waits for the result.
class HostWorkerThread
{
public:
  HostWorkerThread();
  // Runs what is already posted, then ends.
  ~HostWorkerThread();
  HostWorkerThread(const HostWorkerThread&) = delete;
  HostWorkerThread& operator=(const HostWorkerThread&) = delete;

  void Post(std::function<void()> work);

  // Runs the function on the worker and returns its result (or rethrows its exception).
  template <typename Function>
  auto Run(Function&& function) -> std::invoke_result_t<Function>
  {
    if (IsCurrent())
      return function();
    std::packaged_task<std::invoke_result_t<Function>()> task(std::forward<Function>(function));
    auto result = task.get_future();
    Post([&task] { task(); });
    return result.get();
  }

  // Until every piece of work posted before this call has run.
  void WaitIdle();
  bool IsCurrent() const { return std::this_thread::get_id() == mThread.get_id(); }

private:
  void Loop();

  std::mutex mLock;
  std::condition_variable mWake;
  std::condition_variable mIdle;
  std::deque<std::function<void()>> mWork;
  bool mBusy = false;
  bool mStopping = false;
  std::thread mThread;
};

} // namespace aaxhost
