#include "InterruptCleanup.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace aaxhost {

namespace {

// The C runtime runs a console's Ctrl-C handler on a thread of its own, so it may take the lock.
std::mutex gLock;
std::vector<std::string> gPaths;

void RemoveAndExit(int signalNumber)
{
  {
    std::lock_guard<std::mutex> lock(gLock);
    for (const std::string& path : gPaths)
      std::remove(path.c_str());
  }
  std::_Exit(128 + signalNumber);
}

} // namespace

void RemoveOnInterrupt(const std::string& path)
{
  static std::once_flag installed;
  std::call_once(installed, [] {
    std::signal(SIGINT, RemoveAndExit);
    std::signal(SIGTERM, RemoveAndExit);
  });
  std::lock_guard<std::mutex> lock(gLock);
  gPaths.push_back(path);
}

void KeepOnInterrupt(const std::string& path)
{
  std::lock_guard<std::mutex> lock(gLock);
  for (auto at = gPaths.begin(); at != gPaths.end(); ++at)
    if (*at == path)
    {
      gPaths.erase(at);
      return;
    }
}

} // namespace aaxhost
