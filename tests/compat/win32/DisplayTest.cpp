#include "WindowTestSupport.h"
#include "WindowsUsage.h"

#include "support/MessageLoopThread.h"

using namespace win32test;
namespace display = win32compat::display;

namespace {

class Display : public Win32Test
{
};

// The D3DKMT calls, found the way a display clock finds them.
template <typename Function>
Function FromGdi(const char* name)
{
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), name)));
}

TEST_F(Display, DpiIsLookedUpAtRunTimeAndSettablePerWindow)
{
  OnFreshThread([] {
    Recorder parentLog, childLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 100, 100);
    HWND child = MakeWindow(childLog, 0, 0, 10, 10, parent);
    EXPECT_EQ(usage::DpiOf(child), 96u);
    ASSERT_TRUE(display::SetWindowDpi(parent, 192));
    EXPECT_EQ(usage::DpiOf(parent), 192u);
    EXPECT_EQ(usage::DpiOf(child), 192u) << "a window moves with its children";
    Recorder lateLog;
    HWND late = MakeWindow(lateLog, 0, 0, 10, 10, parent);
    EXPECT_EQ(GetDpiForWindow(late), 192u) << "new children take their parent's DPI";
    Recorder topLog;
    HWND top = MakeWindow(topLog, 0, 0, 10, 10);
    EXPECT_EQ(GetDpiForWindow(top), 96u) << "a new top-level window starts on the default display";

    EXPECT_EQ(GetDpiForWindow(nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    DestroyWindow(parent);
    DestroyWindow(top);
  });
}

TEST_F(Display, ModulesAnswerByNameWithTheirExports)
{
  struct Case
  {
    const char* module;
    const char* export_;
    bool found;
  };
  const Case cases[] = {
      {"user32.dll", "GetDpiForWindow", true},
      {"USER32", "GetDpiForWindow", true},
      {"C:\\Windows\\System32\\gdi32.dll", "D3DKMTWaitForVerticalBlankEvent", true},
      {"gdi32.dll", "D3DKMTOpenAdapterFromHdc", true},
      {"opengl32.dll", "wglGetProcAddress", true},
      {"opengl32.dll", "glClear", true},
      {"opengl32.dll", "glGenFramebuffers", false}, // later than OpenGL 1.1: wglGetProcAddress only
      {"user32.dll", "NoSuchFunction", false},
  };
  for (const auto& c : cases)
  {
    HMODULE module = LoadLibraryA(c.module);
    ASSERT_NE(module, nullptr) << c.module;
    EXPECT_EQ(GetProcAddress(module, c.export_) != nullptr, c.found) << c.module << " " << c.export_;
    EXPECT_TRUE(FreeLibrary(module));
  }
  EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(GetModuleHandleA("user32.dll"), "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleW(L"user32.dll"), LoadLibraryA("USER32.DLL"));
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
}

TEST_F(Display, VersionChecks)
{
  EXPECT_TRUE(IsWindows8OrGreater());
  display::SetWindowsVersion(6, 1, 7601);
  EXPECT_FALSE(IsWindows8OrGreater());
  display::SetWindowsVersion(6, 3, 9600);
  EXPECT_TRUE(IsWindows8OrGreater()) << "minor 3 beats minor 2 although the major is equal";
  display::SetWindowsVersion(10, 0, 19045);
  EXPECT_TRUE(IsWindows8OrGreater()) << "a higher major wins whatever the minor";

  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  EXPECT_FALSE(VerifyVersionInfoW(&info, 0, 0)) << "nothing to compare";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// A window that counts the display clock's ticks and checks they arrive in order.
struct TickCounter
{
  Recorder log;
  std::atomic<int> ticks{0};
  std::atomic<int> lastCount{0};
  std::atomic<bool> outOfOrder{false};
};

HWND MakeTickWindow(TickCounter& counter)
{
  counter.log.handler = [&counter](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message != 0x401)
      return false;
    if (static_cast<int>(wParam) <= counter.lastCount.load())
      counter.outOfOrder = true;
    counter.lastCount = static_cast<int>(wParam);
    ++counter.ticks;
    return true;
  };
  return MakeWindow(counter.log, 0, 0, 10, 10);
}

TEST_F(Display, TheDisplayClockTicksOncePerVerticalBlank)
{
  display::SetManualVerticalBlank(true);
  MessageLoopThread ui;
  TickCounter counter;
  HWND hwnd = ui.Run([&] { return MakeTickWindow(counter); });
  usage::DisplayClock clock;
  clock.window = hwnd;
  HANDLE thread = CreateThread(nullptr, 0, usage::DisplayClockThread, &clock, 0, nullptr);
  ASSERT_NE(thread, nullptr);

  for (int blank = 0; blank < 5; ++blank)
  {
    ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
    display::VerticalBlank();
    ASSERT_TRUE(WaitUntil([&] { return counter.ticks.load() == blank + 1; }));
  }
  EXPECT_TRUE(clock.usedVerticalBlank.load());
  EXPECT_FALSE(counter.outOfOrder.load());

  // A failed wait closes the adapter; the clock opens it again and goes on.
  ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
  display::FailVerticalBlankWaits(1);
  display::VerticalBlank();
  ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
  display::VerticalBlank();
  ASSERT_TRUE(WaitUntil([&] { return counter.ticks.load() >= 6; }));

  clock.stop = true;
  display::SetManualVerticalBlank(false); // real-time blanks release whatever wait is still to come
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  ui.Run([&] { return DestroyWindow(hwnd); });
}

TEST_F(Display, RealTimeBlanksKeepComingAndMissingFunctionsFallBackToSleeps)
{
  for (const bool available : {true, false})
  {
    display::SetVerticalBlankFunctionsAvailable(available);
    MessageLoopThread ui;
    TickCounter counter;
    HWND hwnd = ui.Run([&] { return MakeTickWindow(counter); });
    usage::DisplayClock clock;
    clock.window = hwnd;
    HANDLE thread = CreateThread(nullptr, 0, usage::DisplayClockThread, &clock, 0, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return counter.ticks.load() >= 5; }));
    clock.stop = true;
    EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    EXPECT_EQ(clock.usedVerticalBlank.load(), available);
    EXPECT_FALSE(counter.outOfOrder.load());
    ui.Run([&] { return DestroyWindow(hwnd); });
  }
}

TEST_F(Display, AdaptersNeedADisplayDcAndClosingEndsWaits)
{
  OnFreshThread([] {
    const auto openAdapter = FromGdi<PFND3DKMT_OPENADAPTERFROMHDC>("D3DKMTOpenAdapterFromHdc");
    const auto waitForBlank = FromGdi<PFND3DKMT_WAITFORVERTICALBLANKEVENT>("D3DKMTWaitForVerticalBlankEvent");
    const auto closeAdapter = FromGdi<PFND3DKMT_CLOSEADAPTER>("D3DKMTCloseAdapter");
    ASSERT_TRUE(openAdapter && waitForBlank && closeAdapter);
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 10, 10);
    D3DKMT_OPENADAPTERFROMHDC open{};
    open.hDc = CreateCompatibleDC(nullptr);
    EXPECT_NE(openAdapter(&open), 0) << "a memory DC has no display";
    DeleteDC(open.hDc);
    open.hDc = GetDC(hwnd);
    display::FailAdapterOpens(1);
    EXPECT_NE(openAdapter(&open), 0);
    ASSERT_EQ(openAdapter(&open), 0);

    display::SetManualVerticalBlank(true);
    NTSTATUS result = 0;
    std::thread waiter([&] {
      D3DKMT_WAITFORVERTICALBLANKEVENT wait{open.hAdapter, 0, open.VidPnSourceId};
      result = waitForBlank(&wait);
    });
    ASSERT_TRUE(WaitUntil([] { return display::VerticalBlankWaiters() == 1; }));
    D3DKMT_CLOSEADAPTER close{open.hAdapter};
    EXPECT_EQ(closeAdapter(&close), 0);
    waiter.join();
    EXPECT_NE(result, 0) << "the wait ends, failed, when its adapter closes";
    EXPECT_NE(closeAdapter(&close), 0);
    DestroyWindow(hwnd);
  });
}

} // namespace
