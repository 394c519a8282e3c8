#include "HostWorkerThread.h"

namespace aaxhost {

HostWorkerThread::HostWorkerThread() : mThread([this] { Loop(); }) {}

HostWorkerThread::~HostWorkerThread()
{
  {
    std::lock_guard lock(mLock);
    mStopping = true;
  }
  mWake.notify_all();
  mThread.join();
}

void HostWorkerThread::Post(std::function<void()> work)
{
  {
    std::lock_guard lock(mLock);
    mWork.push_back(std::move(work));
  }
  mWake.notify_one();
}

void HostWorkerThread::WaitIdle()
{
  std::unique_lock lock(mLock);
  mIdle.wait(lock, [this] { return mWork.empty() && !mBusy; });
}

void HostWorkerThread::Loop()
{
  std::unique_lock lock(mLock);
  while (true)
  {
    mWake.wait(lock, [this] { return mStopping || !mWork.empty(); });
    if (mWork.empty())
      break;  // stopping, and nothing left to run
    std::function<void()> work = std::move(mWork.front());
    mWork.pop_front();
    mBusy = true;
    lock.unlock();
    try
    {
      work();
    }
    catch (...)
    {
      // Work that must report a failure goes through Run, which carries it to the caller.
    }
    lock.lock();
    mBusy = false;
    if (mWork.empty())
      mIdle.notify_all();
  }
  mIdle.notify_all();
}

} // namespace aaxhost
