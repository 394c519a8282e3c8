// The simulated vertical blank and the D3DKMT calls that wait for it.

#include "Win32VerticalBlank.h"

#include "Win32Display.h"
#include "Win32DisplayState.h"
#include "Win32Gdi.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_set>

namespace {

using Clock = std::chrono::steady_clock;

constexpr NTSTATUS kSuccess = 0;
constexpr NTSTATUS kInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
constexpr auto kPeriod = std::chrono::nanoseconds(1'000'000'000 / 60);

struct VerticalBlank
{
  std::mutex mutex;
  std::condition_variable blank;
  uint64_t count = 0;
  bool manual = false;
  Clock::time_point lastBlank = Clock::now();
  int waiters = 0;
  int failWaits = 0;
  int failOpens = 0;
  std::unordered_set<D3DKMT_HANDLE> adapters;
  D3DKMT_HANDLE nextAdapter = 1;

  // In real-time mode the blanks that have passed since the last look are counted now.
  void Advance()
  {
    if (manual)
      return;
    const auto now = Clock::now();
    const auto passed = (now - lastBlank) / kPeriod;
    if (passed > 0)
    {
      count += static_cast<uint64_t>(passed);
      lastBlank += passed * kPeriod;
    }
  }
};

VerticalBlank& Blank()
{
  static VerticalBlank* state = new VerticalBlank;
  return *state;
}

} // namespace

namespace win32compat {

void ResetVerticalBlank()
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  vb.Advance();
  vb.manual = false;
  vb.lastBlank = Clock::now();
  vb.failWaits = 0;
  vb.failOpens = 0;
  vb.blank.notify_all();
}

} // namespace win32compat

NTSTATUS APIENTRY D3DKMTOpenAdapterFromHdc(D3DKMT_OPENADAPTERFROMHDC* openAdapter)
{
  if (!openAdapter || GetObjectType(openAdapter->hDc) != OBJ_DC)
    return kInvalidParameter;
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  if (vb.failOpens > 0)
  {
    --vb.failOpens;
    return kInvalidParameter;
  }
  openAdapter->hAdapter = vb.nextAdapter++;
  openAdapter->AdapterLuid = LUID{0x1234, 0};
  openAdapter->VidPnSourceId = 0;
  vb.adapters.insert(openAdapter->hAdapter);
  return kSuccess;
}

NTSTATUS APIENTRY D3DKMTWaitForVerticalBlankEvent(const D3DKMT_WAITFORVERTICALBLANKEVENT* wait)
{
  if (!wait)
    return kInvalidParameter;
  auto& vb = Blank();
  std::unique_lock<std::mutex> lock(vb.mutex);
  if (!vb.adapters.count(wait->hAdapter) || wait->VidPnSourceId != 0)
    return kInvalidParameter;
  if (vb.failWaits > 0)
  {
    --vb.failWaits;
    return kInvalidParameter;
  }
  vb.Advance();
  const uint64_t target = vb.count + 1;
  ++vb.waiters;
  NTSTATUS result = kSuccess;
  for (;;)
  {
    vb.Advance();
    if (vb.count >= target)
      break;
    if (!vb.adapters.count(wait->hAdapter))
    {
      result = kInvalidParameter;
      break;
    }
    if (vb.manual)
      vb.blank.wait(lock);
    else
      vb.blank.wait_until(lock, vb.lastBlank + kPeriod);
  }
  --vb.waiters;
  return result;
}

NTSTATUS APIENTRY D3DKMTCloseAdapter(const D3DKMT_CLOSEADAPTER* closeAdapter)
{
  if (!closeAdapter)
    return kInvalidParameter;
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  if (vb.adapters.erase(closeAdapter->hAdapter) == 0)
    return kInvalidParameter;
  vb.blank.notify_all();
  return kSuccess;
}

namespace win32compat::display {

void SetManualVerticalBlank(bool manual)
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  vb.Advance();
  vb.manual = manual;
  vb.lastBlank = Clock::now();
  vb.blank.notify_all();
}

void VerticalBlank()
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  vb.Advance();
  ++vb.count;
  vb.blank.notify_all();
}

int VerticalBlankWaiters()
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  return vb.waiters;
}

void FailVerticalBlankWaits(int count)
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  vb.failWaits = std::max(count, 0);
}

void FailAdapterOpens(int count)
{
  auto& vb = Blank();
  std::lock_guard<std::mutex> lock(vb.mutex);
  vb.failOpens = std::max(count, 0);
}

} // namespace win32compat::display
