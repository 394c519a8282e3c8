#include "WindowTestSupport.h"
#include "WindowsUsage.h"

#include <map>
#include <string>

using namespace win32test;
namespace display = win32compat::display;

namespace {

class Input : public Win32Test
{
};

TEST_F(Input, MouseMessagesArePackedAsWindowsPacksThem)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 300, 200, 400, 300);
    Pump();
    log.messages.clear();

    ASSERT_TRUE(display::MouseDown(hwnd, 100, 50));
    Pump();
    const auto* down = log.Last(WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(GET_X_LPARAM(down->lParam), 100);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), 50);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(down->wParam), MK_LBUTTON);
    EXPECT_EQ(log.Count(WM_SETCURSOR), 1) << "WM_SETCURSOR precedes the press";
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 400);
    EXPECT_EQ(cursor.y, 250);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0) << "the thread's view follows the retrieved press";

    // With the capture, a point outside arrives in the captured window's coordinates, signed.
    SetCapture(hwnd);
    display::KeyDown(hwnd, VK_SHIFT);
    display::MouseMove(hwnd, -20, -30);
    display::MouseUp(hwnd, -20, -30);
    Pump();
    const auto* move = log.Last(WM_MOUSEMOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(GET_X_LPARAM(move->lParam), -20);
    EXPECT_EQ(GET_Y_LPARAM(move->lParam), -30);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(move->wParam), MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(log.Last(WM_LBUTTONUP)->wParam), MK_SHIFT) << "the released button is not held";
    display::KeyUp(hwnd, VK_SHIFT);
    ReleaseCapture();

    // The wheel carries its delta and screen coordinates.
    display::MouseWheel(hwnd, 10, 20, -240);
    Pump();
    const auto* wheel = log.Last(WM_MOUSEWHEEL);
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), -240);
    EXPECT_EQ(GET_X_LPARAM(wheel->lParam), 310);
    EXPECT_EQ(GET_Y_LPARAM(wheel->lParam), 220);

    // Pen input carries its signature in the extra information.
    LPARAM extra = 0;
    log.handler = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
      if (message == WM_RBUTTONDOWN)
        extra = GetMessageExtraInfo();
      return false;
    };
    display::MouseDown(hwnd, 1, 1, display::Button::Right, display::kPenSignature | 0x12);
    Pump();
    EXPECT_EQ(static_cast<ULONG_PTR>(extra) & 0xFFFFFF00, display::kPenSignature);
    display::MouseUp(hwnd, 1, 1, display::Button::Right);
    Pump();
    DestroyWindow(hwnd);
  });
}

TEST_F(Input, MovesCoalesceAndClicksInChildrenGoToTheChild)
{
  OnFreshThread([] {
    Recorder parentLog, childLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 200, 200);
    ASSERT_NE(MakeWindow(childLog, 50, 50, 20, 20, parent), nullptr);
    Pump();
    parentLog.messages.clear();
    for (int x = 0; x < 5; ++x)
      display::MouseMove(parent, 10 + x, 10);
    Pump();
    EXPECT_EQ(parentLog.Count(WM_MOUSEMOVE), 1) << "consecutive moves collapse into the latest";
    EXPECT_EQ(GET_X_LPARAM(parentLog.Last(WM_MOUSEMOVE)->lParam), 14);

    display::Click(parent, 55, 58);
    Pump();
    ASSERT_NE(childLog.Last(WM_LBUTTONDOWN), nullptr);
    EXPECT_EQ(GET_X_LPARAM(childLog.Last(WM_LBUTTONDOWN)->lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(childLog.Last(WM_LBUTTONDOWN)->lParam), 8);
    EXPECT_EQ(parentLog.Count(WM_LBUTTONDOWN), 0);
    DestroyWindow(parent);
  });
}

TEST_F(Input, DoubleClicksNeedTheClassStyle)
{
  OnFreshThread([] {
    for (const bool dblclks : {true, false})
    {
      Recorder log;
      HWND hwnd = MakeWindow(log, 0, 0, 50, 50, nullptr, WS_VISIBLE, dblclks ? CS_DBLCLKS : 0);
      display::DoubleClick(hwnd, 10, 10);
      Pump();
      EXPECT_EQ(log.Count(WM_LBUTTONDBLCLK), dblclks ? 1 : 0);
      EXPECT_EQ(log.Count(WM_LBUTTONDOWN), dblclks ? 1 : 2);
      DestroyWindow(hwnd);
    }
  });
}

TEST_F(Input, CaptureAndFocusTransitions)
{
  OnFreshThread([] {
    Recorder aLog, bLog;
    HWND a = MakeWindow(aLog, 0, 0, 10, 10);
    HWND b = MakeWindow(bLog, 20, 0, 10, 10);

    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    ASSERT_NE(aLog.Last(WM_CAPTURECHANGED), nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(aLog.Last(WM_CAPTURECHANGED)->lParam), b);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(bLog.Last(WM_CAPTURECHANGED)->lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(aLog.Last(WM_SETFOCUS)->wParam, 0u);
    aLog.messages.clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(reinterpret_cast<HWND>(aLog.Last(WM_KILLFOCUS)->wParam), b);
    EXPECT_EQ(reinterpret_cast<HWND>(bLog.Last(WM_SETFOCUS)->wParam), a);
    EXPECT_EQ(GetFocus(), b);

    // A focused window that is destroyed loses the focus first.
    bLog.messages.clear();
    DestroyWindow(b);
    EXPECT_EQ(bLog.Messages().front(), static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(GetFocus(), nullptr);

    // Another thread's window can take neither.
    HWND other = nullptr;
    Recorder otherLog;
    OnFreshThread([&] {
      other = MakeWindow(otherLog, 0, 0, 5, 5);
      SetLastError(0);
      EXPECT_EQ(SetFocus(a), nullptr);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
      EXPECT_EQ(GetFocus(), nullptr) << "focus is per thread";
    });
    DestroyWindow(a);
  });
}

TEST_F(Input, KeysTranslateForTheUsLayout)
{
  struct Case
  {
    UINT vk;
    bool shift;
    bool control;
    bool caps;
    int count;
    const wchar_t* text;
  };
  const Case cases[] = {
      {'A', false, false, false, 1, L"a"},   {'A', true, false, false, 1, L"A"},   {'A', false, false, true, 1, L"A"},
      {'A', true, false, true, 1, L"a"},     {'1', true, false, false, 1, L"!"},   {'1', false, false, true, 1, L"1"},
      {VK_OEM_PERIOD, false, false, false, 1, L"."}, {VK_OEM_7, true, false, false, 1, L"\""},
      {VK_DECIMAL, false, false, false, 1, L"."}, {VK_NUMPAD7, false, false, false, 1, L"7"},
      {VK_RETURN, false, false, false, 1, L"\r"}, {VK_BACK, false, false, false, 1, L"\b"},
      {VK_ESCAPE, false, false, false, 1, L"\x1B"}, {'C', false, true, false, 1, L"\x03"},
      {VK_OEM_2, true, false, false, 1, L"?"},   {VK_OEM_7, false, false, false, 1, L"'"},
      {VK_LEFT, false, false, false, 0, L""},  {VK_F5, false, false, false, 0, L""}, {VK_SHIFT, true, false, false, 0, L""},
  };
  for (const auto& c : cases)
  {
    BYTE keys[256] = {};
    if (c.shift)
      keys[VK_SHIFT] = 0x80;
    if (c.control)
      keys[VK_CONTROL] = 0x80;
    if (c.caps)
      keys[VK_CAPITAL] = 0x01;
    WCHAR out[4] = {};
    EXPECT_EQ(ToUnicode(c.vk, 0, keys, out, 4, 0), c.count) << c.vk;
    EXPECT_EQ(std::wstring(out, c.count > 0 ? static_cast<size_t>(c.count) : 0), std::wstring(c.text)) << c.vk;
  }
  BYTE altGr[256] = {};
  altGr[VK_CONTROL] = altGr[VK_MENU] = 0x80;
  WCHAR out[4];
  EXPECT_EQ(ToUnicode('E', 0x12, altGr, out, 4, 0), 0);
  EXPECT_EQ(ToUnicode('E', 0x12 | 0x8000, altGr, out, 4, 0), 0) << "key up";
}

TEST_F(Input, TypedKeysBecomeCharactersThroughTheLoop)
{
  OnFreshThread([] {
    // The set 1 scan codes of the keys that type the text below.
    const std::map<WPARAM, LPARAM> scanCodes = {{'H', 0x23}, {'I', 0x17}, {VK_SPACE, 0x39}, {'1', 0x02},
                                                 {VK_OEM_PERIOD, 0x34}, {'5', 0x06}, {VK_SHIFT, 0x2A}};
    std::wstring typed;
    std::vector<int> counts;
    Recorder log;
    log.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
      if (message == WM_CHAR)
        typed += static_cast<wchar_t>(wParam);
      if (message == WM_KEYDOWN)
      {
        std::wstring text;
        counts.push_back(usage::TranslateKeyMessage(wParam, lParam, text));
        const auto scan = scanCodes.find(wParam);
        EXPECT_EQ((lParam >> 16) & 0xFF, scan != scanCodes.end() ? scan->second : -1) << wParam;
      }
      return false;
    };
    HWND hwnd = MakeWindow(log, 0, 0, 10, 10);
    SetFocus(hwnd);
    ASSERT_TRUE(display::TypeText(hwnd, L"Hi 1.5!"));
    Pump();
    EXPECT_EQ(typed, L"Hi 1.5!");
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "Shift was released after the capitals";

    // Alt makes system keys; a held key repeats with the previous-state bit.
    log.messages.clear();
    display::KeyDown(hwnd, VK_MENU);
    display::KeyDown(hwnd, 'F');
    display::KeyDown(hwnd, 'F');
    display::KeyUp(hwnd, 'F');
    display::KeyUp(hwnd, VK_MENU);
    Pump();
    EXPECT_EQ(log.Count(WM_SYSKEYDOWN), 3);
    EXPECT_EQ(log.Count(WM_SYSCHAR), 2);
    std::vector<LPARAM> downs;
    for (const auto& m : log.messages)
      if (m.message == WM_SYSKEYDOWN && m.wParam == 'F')
        downs.push_back(m.lParam);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ((downs[0] >> 30) & 1, 0);
    EXPECT_EQ((downs[1] >> 30) & 1, 1);
    EXPECT_EQ((downs[0] >> 29) & 1, 1) << "Alt held";
    DestroyWindow(hwnd);
  });
}

TEST_F(Input, MouseTrackingPostsLeaveAndHover)
{
  OnFreshThread([] {
    Recorder aLog, bLog;
    HWND a = MakeWindow(aLog, 0, 0, 50, 50);
    HWND b = MakeWindow(bLog, 100, 0, 50, 50);
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, a, HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&track));
    Pump();
    EXPECT_EQ(aLog.Count(WM_MOUSELEAVE), 1) << "the mouse was not over the window";

    display::MouseMove(a, 10, 10);
    Pump();
    track.dwFlags = TME_LEAVE | TME_HOVER;
    track.dwHoverTime = 20;
    ASSERT_TRUE(TrackMouseEvent(&track));
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, a, WM_MOUSEHOVER, WM_MOUSEHOVER));
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 10);
    display::MouseMove(b, 5, 5);
    Pump();
    EXPECT_EQ(aLog.Count(WM_MOUSELEAVE), 2);
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    TrackMouseEvent(&query);
    EXPECT_EQ(query.dwFlags, 0u) << "a leave ends the tracking";
    DestroyWindow(a);
    DestroyWindow(b);
  });
}

TEST_F(Input, TouchReachesTouchWindowsAndIsPromotedElsewhere)
{
  display::SetDigitizer(NID_READY | NID_MULTI_INPUT | NID_INTEGRATED_TOUCH, 10);
  OnFreshThread([] {
    EXPECT_EQ(GetSystemMetrics(SM_DIGITIZER) & NID_READY, NID_READY);
    std::vector<TOUCHINPUT> inputs;
    Recorder log;
    log.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
      if (message != WM_TOUCH)
        return false;
      inputs.resize(LOWORD(wParam));
      EXPECT_TRUE(GetTouchInputInfo(reinterpret_cast<HTOUCHINPUT>(lParam), LOWORD(wParam), inputs.data(),
                                    sizeof(TOUCHINPUT)));
      return false; // DefWindowProc closes the handle
    };
    HWND hwnd = MakeWindow(log, 100, 100, 200, 200);
    ASSERT_TRUE(RegisterTouchWindow(hwnd, 0));
    using Phase = display::TouchContact::Phase;
    display::Touch(hwnd, {{7, 10, 20, Phase::Down, 4, 4}, {8, 30, 40, Phase::Move}});
    Pump();
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(TOUCH_COORD_TO_PIXEL(inputs[0].x), 110) << "screen coordinates in hundredths";
    EXPECT_EQ(inputs[0].dwID, 7u);
    EXPECT_TRUE(inputs[0].dwFlags & TOUCHEVENTF_DOWN);
    EXPECT_TRUE(inputs[0].dwMask & TOUCHINPUTMASKF_CONTACTAREA);
    EXPECT_EQ(inputs[0].cxContact, 400u);
    EXPECT_TRUE(inputs[1].dwFlags & TOUCHEVENTF_MOVE);
    EXPECT_FALSE(inputs[1].dwMask & TOUCHINPUTMASKF_CONTACTAREA);
    const auto handle = reinterpret_cast<HTOUCHINPUT>(log.Last(WM_TOUCH)->lParam);
    EXPECT_FALSE(CloseTouchInputHandle(handle)) << "already closed by DefWindowProc";

    // A window that did not register gets the touch as mouse input.
    LPARAM extra = 0;
    Recorder plainLog;
    plainLog.handler = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
      if (message == WM_LBUTTONDOWN)
        extra = GetMessageExtraInfo();
      return false;
    };
    HWND plain = MakeWindow(plainLog, 400, 100, 200, 200);
    display::Touch(plain, {{1, 5, 5, Phase::Down}});
    Pump();
    EXPECT_EQ(plainLog.Count(WM_TOUCH), 0);
    EXPECT_EQ(static_cast<ULONG_PTR>(extra), display::kTouchSignature);
    DestroyWindow(hwnd);
    DestroyWindow(plain);
  });
}

TEST_F(Input, DroppedFilesGoToTheWindowThatAcceptsThem)
{
  OnFreshThread([] {
    Recorder parentLog, childLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 100, 100);
    HWND child = MakeWindow(childLog, 40, 40, 20, 20, parent);
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(display::DropFiles(parent, 45, 45, {L"/tmp/a.txt"})) << "nobody accepts files yet";
    DragAcceptFiles(parent, TRUE);
    ASSERT_TRUE(display::DropFiles(child, 5, 6, {L"/tmp/first.wav", L"/tmp/second.wav"}));
    Pump();
    const auto* dropped = parentLog.Last(WM_DROPFILES);
    ASSERT_NE(dropped, nullptr);
    const auto drop = reinterpret_cast<HDROP>(dropped->wParam);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), 15u);
    wchar_t path[8];
    EXPECT_EQ(DragQueryFileW(drop, 0, path, 8), 7u) << "cut to the buffer";
    EXPECT_STREQ(path, L"/tmp/fi");
    POINT point;
    ASSERT_TRUE(DragQueryPoint(drop, &point));
    EXPECT_EQ(point.x, 45) << "in the accepting window's coordinates";
    EXPECT_EQ(point.y, 46);
    DragFinish(drop);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
    DestroyWindow(parent);
  });
}

TEST_F(Input, CursorShapesCountsAndMoves)
{
  OnFreshThread([] {
    // The IDC_ numbers, in the wide form the window layer loads them in.
    const auto systemCursor = [](WORD id) { return LoadCursorW(nullptr, MAKEINTRESOURCEW(id)); };
    EXPECT_EQ(systemCursor(32644), systemCursor(32644)); // IDC_SIZEWE
    EXPECT_EQ(display::CursorId(systemCursor(32649)), 32649); // IDC_HAND
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);

    // A class cursor is set by the default WM_SETCURSOR handling when the mouse arrives.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hCursor = systemCursor(32515); // IDC_CROSS
    wc.lpszClassName = L"CrossCursor";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"CrossCursor", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                nullptr);
    display::MouseMove(hwnd, 5, 5);
    Pump();
    EXPECT_EQ(display::CursorId(display::CurrentCursor()), 32515);

    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(display::CursorVisible());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(display::CursorVisible());

    // Moving the cursor moves the mouse: the window under it hears about it.
    Recorder log;
    HWND target = MakeWindow(log, 1000, 500, 100, 100);
    SetCursorPos(1010, 520);
    Pump();
    ASSERT_NE(log.Last(WM_MOUSEMOVE), nullptr);
    EXPECT_EQ(GET_X_LPARAM(log.Last(WM_MOUSEMOVE)->lParam), 10);
    POINT p;
    SetCursorPos(-50, 99999);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 1079) << "kept on the screen";
    DestroyWindow(hwnd);
    DestroyWindow(target);
    UnregisterClassW(L"CrossCursor", nullptr);
  });
}

} // namespace
