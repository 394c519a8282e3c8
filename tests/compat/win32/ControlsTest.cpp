#include "WindowTestSupport.h"
#include "WindowsUsage.h"

#include <string>

using namespace win32test;
namespace display = win32compat::display;
namespace script = win32compat::script;

namespace {

class Controls : public Win32Test
{
};

std::wstring TextOf(HWND hwnd)
{
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

HWND MakeEdit(HWND parent, DWORD style, const wchar_t* text = L"")
{
  return CreateWindowExW(0, L"EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 80, 20, parent,
                         reinterpret_cast<HMENU>(99), nullptr, nullptr);
}

TEST_F(Controls, EditTakesTypingWithinItsRules)
{
  OnFreshThread([] {
    Recorder parentLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 200, 100);
    HWND edit = MakeEdit(parent, ES_AUTOHSCROLL, L"0.5");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TextOf(edit), L"0.5");
    SetFocus(edit);
    const auto* focus = parentLog.Last(WM_COMMAND);
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(HIWORD(focus->wParam), EN_SETFOCUS);
    EXPECT_EQ(LOWORD(focus->wParam), 99);

    SendMessageW(edit, EM_SETSEL, 0, -1);
    DWORD start = 9, end = 9;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    parentLog.messages.clear();
    display::TypeText(edit, L"12.75");
    display::KeyPress(edit, VK_BACK);
    display::KeyPress(edit, VK_RETURN); // a single line ignores Return
    Pump();
    EXPECT_EQ(TextOf(edit), L"12.7") << "typing replaced the selection";
    int changes = 0;
    for (const auto& m : parentLog.messages)
      changes += m.message == WM_COMMAND && HIWORD(m.wParam) == EN_CHANGE ? 1 : 0;
    EXPECT_EQ(changes, 6);

    // The limit refuses what does not fit and says so.
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    parentLog.messages.clear();
    display::TypeText(edit, L"89");
    Pump();
    EXPECT_EQ(TextOf(edit), L"12.78");
    bool maxText = false;
    for (const auto& m : parentLog.messages)
      maxText = maxText || (m.message == WM_COMMAND && HIWORD(m.wParam) == EN_MAXTEXT);
    EXPECT_TRUE(maxText);

    // Caret keys with Shift select; Delete removes the selection.
    display::KeyPress(edit, VK_HOME);
    display::KeyDown(edit, VK_SHIFT);
    display::KeyPress(edit, VK_RIGHT);
    display::KeyPress(edit, VK_RIGHT);
    display::KeyUp(edit, VK_SHIFT);
    display::KeyPress(edit, VK_DELETE);
    Pump();
    EXPECT_EQ(TextOf(edit), L".78");

    // Losing the focus tells the parent.
    parentLog.messages.clear();
    SetFocus(parent);
    EXPECT_EQ(HIWORD(parentLog.Last(WM_COMMAND)->wParam), EN_KILLFOCUS);
    DestroyWindow(parent);
  });
}

TEST_F(Controls, EditStylesShapeWhatIsTyped)
{
  OnFreshThread([] {
    Recorder parentLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 200, 100);
    struct Case
    {
      DWORD style;
      const wchar_t* typed;
      const wchar_t* result;
    };
    const Case cases[] = {
        {ES_NUMBER, L"1a2.3", L"123"},
        {ES_UPPERCASE, L"abC", L"ABC"},
        {ES_LOWERCASE, L"AbC", L"abc"},
        {ES_READONLY, L"xyz", L"start"},
        {ES_MULTILINE, L"a\rb", L"a\r\nb"},
    };
    for (const auto& c : cases)
    {
      HWND edit = MakeEdit(parent, c.style, c.style == ES_READONLY ? L"start" : L"");
      SetFocus(edit);
      for (const wchar_t* p = c.typed; *p; ++p)
        SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(*p), 0);
      EXPECT_EQ(TextOf(edit), c.result) << c.style;
      const LRESULT code = SendMessageW(edit, WM_GETDLGCODE, 0, 0);
      EXPECT_EQ((code & DLGC_WANTALLKEYS) != 0, (c.style & ES_MULTILINE) != 0);
      DestroyWindow(edit);
    }
    DestroyWindow(parent);
  });
}

TEST_F(Controls, ATextEntryProcedureInFrontOfTheEditFiltersAndEnds)
{
  OnFreshThread([] {
    Recorder parentLog;
    COLORREF background = RGB(10, 20, 30);
    parentLog.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
      if (message != WM_CTLCOLOREDIT)
        return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, background);
      SetTextColor(dc, RGB(200, 210, 220));
      SetBkMode(dc, OPAQUE);
      SetDCBrushColor(dc, background);
      result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      return true;
    };
    HWND parent = MakeWindow(parentLog, 0, 0, 200, 100);
    HWND edit = MakeEdit(parent, ES_MULTILINE | ES_AUTOHSCROLL | ES_CENTER);
    usage::TextEntry entry;
    usage::InstallTextEntry(edit, entry);
    SetFocus(edit);
    display::TypeText(edit, L"-4x.5");
    display::KeyPress(edit, VK_RETURN);
    display::KeyPress(edit, VK_ESCAPE);
    Pump();
    // The letter was swallowed and Return's key press ended the entry; its character still reaches
    // the multi-line control through TranslateMessage, as on Windows.
    EXPECT_EQ(TextOf(edit), L"-4.5\r\n");
    EXPECT_EQ(entry.commits, 1);
    EXPECT_EQ(entry.cancels, 1);

    // Painting asks the parent for its colours and keeps them on the control's DC.
    UpdateWindow(edit);
    EXPECT_EQ(parentLog.Count(WM_CTLCOLOREDIT), 1);
    HDC dc = GetDC(edit);
    EXPECT_EQ(SetBkColor(dc, 0), background);
    EXPECT_EQ(SetTextColor(dc, 0), RGB(200, 210, 220));
    EXPECT_EQ(SetDCBrushColor(dc, 0), background);
    ReleaseDC(edit, dc);

    // Restoring the control's own procedure takes the filter away again.
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.previous));
    SendMessageW(edit, WM_CHAR, 'z', 0);
    EXPECT_EQ(TextOf(edit), L"-4.5\r\nz");
    DestroyWindow(parent);
  });
}

TEST_F(Controls, TooltipsNeedTheCommonControlsAndKeepTheirTools)
{
  OnFreshThread([] {
    Recorder ownerLog;
    HWND owner = MakeWindow(ownerLog, 0, 0, 100, 100);
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_ALWAYSTIP | TTS_NOPREFIX;
    WNDCLASSW registered;
    if (!GetClassInfoW(nullptr, TOOLTIPS_CLASSW, &registered)) // the first use in this process
    {
      HWND early = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
      EXPECT_EQ(early, nullptr) << "comctl32 registers the class in InitCommonControlsEx";
    }
    const INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = const_cast<wchar_t*>(L"");
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 250), -1);
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 250);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

    tool.lpszText = const_cast<wchar_t*>(L"Gain: 3.0 dB");
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    TTTOOLINFOW query{};
    query.cbSize = sizeof query;
    query.hwnd = owner;
    query.uId = reinterpret_cast<UINT_PTR>(owner);
    wchar_t text[8];
    query.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 8, reinterpret_cast<LPARAM>(&query));
    EXPECT_STREQ(text, L"Gain: 3") << "cut to the buffer";

    tool.cbSize = 4; // smaller than any version of the structure
    EXPECT_FALSE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(tip)) << "owned by the window, destroyed with it";
  });
}

TEST_F(Controls, PopupMenusAnswerFromTheScriptAndPostTheCommand)
{
  OnFreshThread([] {
    Recorder ownerLog;
    HWND owner = MakeWindow(ownerLog, 0, 0, 100, 100);
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    // A position past the end appends.
    const auto append = [](HMENU to, UINT type, UINT state, UINT id, const wchar_t* text, HMENU submenu = nullptr) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | (text ? MIIM_STRING : 0u) | (submenu ? MIIM_SUBMENU : 0u);
      info.fType = type;
      info.fState = state;
      info.wID = id;
      info.hSubMenu = submenu;
      info.dwTypeData = const_cast<wchar_t*>(text);
      return InsertMenuItemW(to, 10, TRUE, &info);
    };
    ASSERT_TRUE(append(sub, MFT_STRING, MFS_ENABLED, 3, L"Deep"));
    ASSERT_TRUE(append(menu, MFT_STRING, MFS_CHECKED, 0, L"09: R&&B"));
    ASSERT_TRUE(append(menu, MFT_SEPARATOR, 0, 0, nullptr));
    ASSERT_TRUE(append(menu, MFT_STRING, MFS_GRAYED, 1, L"Off"));
    ASSERT_TRUE(append(menu, MFT_STRING | MFT_MENUBREAK, MFS_ENABLED, 2, L"More", sub));

    script::AnswerMenu(3);
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 120, 140, 0, owner, nullptr));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), 3);
    EXPECT_EQ(HIWORD(msg.wParam), 0);
    EXPECT_EQ(ownerLog.Count(WM_ENTERMENULOOP), 1);
    EXPECT_EQ(ownerLog.Count(WM_EXITMENULOOP), 1);

    const auto shown = script::Menus().back();
    EXPECT_EQ(shown.at.x, 120);
    ASSERT_EQ(shown.items.size(), 4u);
    EXPECT_EQ(shown.items[0].text, L"09: R&&B");
    EXPECT_TRUE(shown.items[0].state & MFS_CHECKED);
    EXPECT_TRUE(shown.items[1].type & MFT_SEPARATOR);
    EXPECT_TRUE(shown.items[2].state & MFS_GRAYED);
    EXPECT_TRUE(shown.items[3].type & MFT_MENUBREAK);
    EXPECT_EQ(shown.items[3].submenu[0].text, L"Deep");

    // What a user cannot pick dismisses the menu; TPM_RETURNCMD returns instead of posting.
    script::AnswerMenu(1);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
    script::AnswerMenu([](const script::MenuShown& m) { return m.items[0].id; });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0) << "identifier 0 is no choice";
    script::AnswerMenu(2);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0) << "a submenu is not an item";
    EXPECT_FALSE(PeekMessageW(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(TrackPopupMenu(menu, 0, 0, 0, 0, owner, nullptr), TRUE) << "dismissed without an answer";

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(sub)) << "submenus go with their menu";
    EXPECT_FALSE(DestroyMenu(menu));
    DestroyWindow(owner);
  });
}

} // namespace
