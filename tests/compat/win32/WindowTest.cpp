#include "WindowTestSupport.h"

#include "support/MessageLoopThread.h"

#include <atomic>
#include <cstring>
#include <string>

using namespace win32test;

namespace {

class Windows : public Win32Test
{
};

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(Windows, ClassesRegisterOncePerModuleAndOutliveNoWindow)
{
  OnFreshThread([] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = L"ClassUnderTest";
    const ATOM atom = RegisterClassW(&wc);
    ASSERT_NE(atom, 0);
    SetLastError(0);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, L"classundertest", &info)) << "names compare without case";
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS | CS_OWNDC));
    EXPECT_EQ(info.lpfnWndProc, &PlainProc);

    HWND hwnd = CreateWindowExW(0, MAKEINTRESOURCEW(atom), L"t", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(UnregisterClassW(L"ClassUnderTest", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    wchar_t name[64];
    EXPECT_EQ(GetClassNameW(hwnd, name, 64), 14);
    EXPECT_STREQ(name, L"ClassUnderTest");
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassW(L"ClassUnderTest", nullptr));
    EXPECT_FALSE(UnregisterClassW(L"ClassUnderTest", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));

    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_TRUE(GetClassInfoW(nullptr, L"EDIT", &info)) << "system classes exist from the start";
  });
}

TEST_F(Windows, CreationAndDestructionSendTheirMessagesInWindowsOrder)
{
  OnFreshThread([] {
    Recorder parentLog, childLog;
    parentLog.handler = [&](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
      if (message == WM_CREATE)
      {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        EXPECT_EQ(cs->lpCreateParams, &parentLog);
        EXPECT_EQ(cs->cx, 300);
        EXPECT_STREQ(cs->lpszName, L"recording");
      }
      return false;
    };
    HWND parent = MakeWindow(parentLog, 10, 20, 300, 200);
    HWND child = MakeWindow(childLog, 5, 6, 50, 40, parent);
    ASSERT_TRUE(parent && child);

    EXPECT_EQ(childLog.Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    const auto* notify = parentLog.Last(WM_PARENTNOTIFY);
    ASSERT_NE(notify, nullptr);
    EXPECT_EQ(LOWORD(notify->wParam), WM_CREATE);
    EXPECT_EQ(reinterpret_cast<HWND>(notify->lParam), child);
    EXPECT_EQ(LOWORD(childLog.messages[2].lParam), 50) << "WM_SIZE carries the client size";
    EXPECT_EQ(HIWORD(childLog.messages[2].lParam), 40);

    // Owned windows go first, then WM_DESTROY parent-first and WM_NCDESTROY child-first.
    Recorder ownedLog;
    HWND owned = CreateWindowExW(0, RecordingClass(), L"owned", WS_POPUP, 0, 0, 5, 5, parent, nullptr, nullptr, &ownedLog);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), parent);
    EXPECT_EQ(GetParent(owned), parent) << "a popup's parent is its owner";

    std::vector<std::pair<HWND, UINT>> order;
    auto track = [&order](Recorder& log) {
      log.handler = [&order](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_DESTROY || message == WM_NCDESTROY)
          order.push_back({hwnd, message});
        return false;
      };
    };
    track(parentLog);
    track(childLog);
    track(ownedLog);
    EXPECT_TRUE(DestroyWindow(parent));
    const std::vector<std::pair<HWND, UINT>> expected{{owned, WM_DESTROY}, {owned, WM_NCDESTROY}, {parent, WM_DESTROY},
                                                      {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(owned));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  });
}

TEST_F(Windows, ARefusedCreationLeavesNoWindow)
{
  OnFreshThread([] {
    struct Case
    {
      UINT message;
      LRESULT answer;
      bool destroySeen;
    };
    for (const Case c : {Case{WM_NCCREATE, FALSE, false}, Case{WM_CREATE, -1, true}})
    {
      Recorder log;
      log.handler = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != c.message)
          return false;
        result = c.answer;
        return true;
      };
      EXPECT_EQ(MakeWindow(log, 0, 0, 10, 10), nullptr);
      EXPECT_EQ(log.Count(WM_DESTROY) > 0, c.destroySeen);
      EXPECT_EQ(log.Count(WM_NCDESTROY), 1);
      EXPECT_EQ(log.messages.back().message, static_cast<UINT>(WM_NCDESTROY));
    }
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, RecordingClass(), L"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  });
}

// The subclassing pattern of the platform's text entry: a new procedure in front of the old one.
struct Subclass
{
  static inline WNDPROC previous = nullptr;
  static inline std::vector<UINT> seen;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
  {
    seen.push_back(message);
    if (message == WM_USER + 7)
      return 1234;
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
  }
};

TEST_F(Windows, SubclassingAndWindowLongs)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 10, 10);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&log));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(WS_POPUP));

    Subclass::seen.clear();
    Subclass::previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass::Proc)));
    EXPECT_EQ(Subclass::previous, &RecordingProc);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 7, 0, 0), 1234);
    log.messages.clear();
    SendMessageW(hwnd, WM_USER + 8, 5, 6);
    EXPECT_EQ(Subclass::seen.back(), static_cast<UINT>(WM_USER + 8));
    ASSERT_EQ(log.messages.size(), 1u) << "passed on to the old procedure";
    EXPECT_EQ(log.messages[0].wParam, 5u);

    // Extra bytes are bounded by the class's cbWndExtra.
    EXPECT_EQ(SetWindowLongPtrW(hwnd, 8, 77), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 8), 77);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 9), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongW(hwnd, GWLP_USERDATA), 0) << "pointer-sized indices need the pointer form";

    // Style changes are announced.
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass::previous));
    log.messages.clear();
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_ACCEPTFILES);
    EXPECT_EQ(log.Messages(), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    DestroyWindow(hwnd);
  });
}

// A window of an ANSI class (as aaxhost makes its frame) sees texts in UTF-8 and answers in UTF-8.
struct NarrowProc
{
  static inline std::string setText;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
  {
    if (message == WM_SETTEXT)
      setText = reinterpret_cast<const char*>(lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
};

TEST_F(Windows, TextCrossesBetweenAnsiAndWideForms)
{
  OnFreshThread([] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &NarrowProc::Proc;
    wc.lpszClassName = "NarrowText";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "NarrowText", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(SetWindowTextW(hwnd, L"Gr\u00FC\u00DFe"));
    EXPECT_EQ(NarrowProc::setText, "Gr\xC3\xBC\xC3\x9F" "e");
    wchar_t wide[16];
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 16), 5) << "characters, not bytes";
    EXPECT_STREQ(wide, L"Gr\u00FC\u00DFe");
    wchar_t cut[4];
    EXPECT_EQ(GetWindowTextW(hwnd, cut, 4), 3);
    EXPECT_STREQ(cut, L"Gr\u00FC") << "cut to the buffer";
    DestroyWindow(hwnd);
  });
}

TEST_F(Windows, SendMessageCrossesThreadsWithoutDeadlock)
{
  MessageLoopThread ui;
  Recorder log;
  HWND mainWindow = nullptr;
  // A window of the test thread that the UI thread calls back while the test thread waits.
  Recorder mainLog;
  mainLog.handler = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_USER + 2)
      return false;
    result = static_cast<LRESULT>(wParam) * 10;
    return true;
  };
  mainWindow = MakeWindow(mainLog, 0, 0, 5, 5);
  log.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_USER + 1)
      return false;
    // Sends back to the waiting thread, which handles it inside its own SendMessage.
    result = SendMessageW(mainWindow, WM_USER + 2, wParam + 1, 0) + 1;
    return true;
  };
  HWND uiWindow = ui.Run([&] { return MakeWindow(log, 0, 0, 10, 10); });
  ASSERT_NE(uiWindow, nullptr);
  EXPECT_EQ(SendMessageW(uiWindow, WM_USER + 1, 4, 0), 51);

  // Posted messages reach the procedure through the UI thread's loop.
  ASSERT_TRUE(PostMessageW(uiWindow, WM_USER + 3, 9, 0));
  ASSERT_TRUE(WaitUntil([&] { return ui.Run([&] { return log.Count(WM_USER + 3); }) == 1; }));
  SetLastError(0);
  EXPECT_FALSE(PostMessageW(uiWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MESSAGE_SYNC_ONLY));

  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(uiWindow)) << "only the owning thread destroys a window";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ui.Run([&] { return DestroyWindow(uiWindow); });
  EXPECT_EQ(SendMessageW(uiWindow, WM_USER + 1, 0, 0), 0);
  DestroyWindow(mainWindow);
}

TEST_F(Windows, ASendToAThreadThatEndsAnswersZero)
{
  std::atomic<HWND> window{nullptr};
  std::atomic<bool> release{false};
  Recorder log;
  std::thread owner([&] {
    window = MakeWindow(log, 0, 0, 5, 5);
    while (!release.load())
      Sleep(1); // never pumps: a send waits until the thread is gone
  });
  while (!window.load())
    Sleep(1);
  std::thread ender([&] {
    Sleep(30);
    release = true;
  });
  EXPECT_EQ(SendMessageW(window.load(), WM_USER, 0, 0), 0);
  owner.join();
  ender.join();
  EXPECT_FALSE(IsWindow(window.load())) << "the thread's windows end with it";
}

TEST_F(Windows, GeometryRelationsAndResizing)
{
  OnFreshThread([] {
    Recorder parentLog, childLog, grandchildLog;
    HWND parent = MakeWindow(parentLog, 100, 50, 400, 300);
    HWND child = MakeWindow(childLog, 10, 20, 200, 100, parent);
    HWND grandchild = MakeWindow(grandchildLog, 3, 4, 20, 10, child);

    RECT r;
    ASSERT_TRUE(GetWindowRect(grandchild, &r));
    EXPECT_EQ(r.left, 113);
    EXPECT_EQ(r.top, 74);
    EXPECT_EQ(r.right, 133);
    ASSERT_TRUE(GetClientRect(grandchild, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(r.bottom, 10);
    POINT p{1, 2};
    ClientToScreen(grandchild, &p);
    EXPECT_EQ(p.x, 114);
    EXPECT_EQ(p.y, 76);
    ScreenToClient(child, &p);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 6);

    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), parent);
    EXPECT_NE(GetAncestor(parent, GA_PARENT), nullptr) << "the desktop";
    EXPECT_EQ(GetParent(parent), nullptr);

    // A resize announces itself, and the default handling turns it into WM_SIZE.
    childLog.messages.clear();
    ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(childLog.Messages(), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}));
    EXPECT_EQ(LOWORD(childLog.Last(WM_SIZE)->lParam), 250);
    EXPECT_EQ(HIWORD(childLog.Last(WM_SIZE)->lParam), 120);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 110) << "position kept";
    EXPECT_EQ(r.right - r.left, 250);

    // Only what grew needs painting.
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    ValidateRect(child, nullptr);
    SetWindowPos(child, nullptr, 10, 20, 260, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(GetUpdateRgn(child, update, FALSE), SIMPLEREGION);
    GetRgnBox(update, &r);
    EXPECT_EQ(r.left, 250);
    EXPECT_EQ(r.right, 260);
    DeleteObject(update);

    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_FALSE(ShowWindow(child, SW_SHOW)) << "returns the visibility before";
    DestroyWindow(parent);
  });
}

TEST_F(Windows, WindowTimersTickIntoTheProcedureAndEndWithTheWindow)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 10, 10);
    EXPECT_EQ(SetTimer(hwnd, 2, 10, nullptr), 2u);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
      DispatchMessageW(&msg);
      if (log.Count(WM_TIMER) == 2)
        break;
    }
    EXPECT_EQ(log.Last(WM_TIMER)->wParam, 2u);
    EXPECT_EQ(log.Last(WM_TIMER)->hwnd, hwnd);
    EXPECT_TRUE(KillTimer(hwnd, 2));
    EXPECT_FALSE(KillTimer(hwnd, 2));

    SetTimer(hwnd, 5, 10, nullptr);
    DestroyWindow(hwnd);
    Sleep(30);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "the timer ended with its window";
  });
}

} // namespace
