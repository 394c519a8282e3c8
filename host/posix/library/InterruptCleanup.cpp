#include "InterruptCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace aaxhost {

namespace {

// Fixed slots, so the handler reads plain memory: it may run at any point of the program.
constexpr int kSlots = 4;
constexpr size_t kPathBytes = 4096;
char gPaths[kSlots][kPathBytes];
std::atomic<bool> gUsed[kSlots];
std::mutex gSlotsLock;

void RemoveAndExit(int signalNumber)
{
  for (int slot = 0; slot < kSlots; ++slot)
    if (gUsed[slot].load())
      unlink(gPaths[slot]);
  _exit(128 + signalNumber);
}

void InstallHandlers()
{
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action{};
    action.sa_handler = RemoveAndExit;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
  });
}

} // namespace

void RemoveOnInterrupt(const std::string& path)
{
  if (path.size() >= kPathBytes)
    return;
  InstallHandlers();
  std::lock_guard<std::mutex> lock(gSlotsLock);
  for (int slot = 0; slot < kSlots; ++slot)
    if (!gUsed[slot].load())
    {
      std::memcpy(gPaths[slot], path.c_str(), path.size() + 1);
      gUsed[slot].store(true);
      return;
    }
}

void KeepOnInterrupt(const std::string& path)
{
  std::lock_guard<std::mutex> lock(gSlotsLock);
  for (int slot = 0; slot < kSlots; ++slot)
    if (gUsed[slot].load() && path == gPaths[slot])
    {
      gUsed[slot].store(false);
      return;
    }
}

} // namespace aaxhost
