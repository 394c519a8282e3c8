#include "WindowTestSupport.h"
#include "WindowsUsage.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

using namespace win32test;
namespace script = win32compat::script;

namespace {

class Dialogs : public Win32Test
{
};

TEST_F(Dialogs, MessageBoxesAnswerFromTheScriptOrTheirDefaultButton)
{
  OnFreshThread([] {
    Recorder log;
    HWND owner = MakeWindow(log, 0, 0, 10, 10);
    struct Case
    {
      UINT type;
      std::optional<int> scripted;
      int answer;
    };
    const Case cases[] = {
        {MB_OK, std::nullopt, IDOK},
        {MB_YESNO, IDNO, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, std::nullopt, IDNO},
        {MB_YESNO, IDCANCEL, IDYES}, // not one of its buttons: no answer
        {MB_OKCANCEL | MB_DEFBUTTON4, std::nullopt, IDOK},
    };
    for (const auto& c : cases)
    {
      if (c.scripted)
        script::AnswerMessageBox(*c.scripted);
      EXPECT_EQ(MessageBoxW(owner, L"Open the link?", L"Corvane", c.type), c.answer) << c.type;
    }
    EXPECT_EQ(MessageBoxW(owner, L"bad", L"x", 0x0F), 0) << "no such set of buttons";
    const auto shown = script::MessageBoxes();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[1].text, L"Open the link?");
    EXPECT_EQ(shown[1].caption, L"Corvane");
    EXPECT_EQ(shown[1].owner, owner);
    EXPECT_EQ(log.Count(WM_ENABLE), 10) << "the owner is disabled while each box is up";
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
  });
}

TEST_F(Dialogs, FileChoosersTakeTypedPathsAsTheDialogWould)
{
  const auto folder = std::filesystem::temp_directory_path() / "win32-dialog-test";
  std::filesystem::create_directories(folder);
  const std::string existing = (folder / "preset.fxp").string();
  std::fclose(std::fopen(existing.c_str(), "wb"));
  OnFreshThread([&] {
    wchar_t file[260] = L"start.fxp";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"*.fxp;*.fxb\0*.fxp;*.fxb\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = 259;
    ofn.lpstrInitialDir = L"/tmp";
    ofn.lpstrDefExt = L"fxp";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

    const std::wstring missing = (folder / "missing.fxp").wstring();
    script::AnswerFileDialog(missing);
    script::AnswerFileDialog((folder / "preset").wstring()); // the default extension makes it exist
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(std::wstring(file), (folder / "preset.fxp").wstring());
    EXPECT_EQ(std::wstring(file + ofn.nFileOffset), L"preset.fxp");
    EXPECT_EQ(std::wstring(file + ofn.nFileExtension), L"fxp");
    auto shown = script::FileDialogs().back();
    EXPECT_EQ(shown.refused, std::vector<std::wstring>{missing});
    EXPECT_EQ(shown.initialFile, L"start.fxp");
    ASSERT_EQ(shown.filters.size(), 1u);
    EXPECT_EQ(shown.filters[0].second, L"*.fxp;*.fxb");

    // Saving: a new name is fine; one that does not fit the buffer is refused with its size.
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    script::AnswerFileDialog((folder / "new.fxp").wstring());
    EXPECT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_TRUE(script::FileDialogs().back().save);
    const std::wstring longName = (folder / std::wstring(300, L'x')).wstring() + L".fxp";
    script::AnswerFileDialog(longName);
    EXPECT_FALSE(GetSaveFileNameW(&ofn));
    WORD needed;
    std::memcpy(&needed, file, sizeof needed);
    EXPECT_EQ(needed, longName.size() + 1);

    // Cancelled, or not answered at all.
    script::CancelFileDialog();
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    const size_t dialogs = script::FileDialogs().size();
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(script::FileDialogs().size(), dialogs) << "a wrong structure size shows no dialog";
  });
  std::filesystem::remove_all(folder);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data)
{
  if (message == BFFM_INITIALIZED)
    *reinterpret_cast<HWND*>(data) = dialog;
  return 0;
}

TEST_F(Dialogs, TheFolderBrowserAnswersWithAnItemList)
{
  OnFreshThread([] {
    HWND dialog = nullptr;
    wchar_t name[MAX_PATH];
    BROWSEINFOW info{};
    info.lpszTitle = L"Choose a Directory";
    info.ulFlags = BIF_USENEWUI;
    info.pszDisplayName = name;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&dialog);

    script::AnswerFolderDialog(L"/home/user/Presets");
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    OleUninitialize();
    OleUninitialize();
    ASSERT_NE(list, nullptr);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListW(list, path));
    EXPECT_STREQ(path, L"/home/user/Presets");
    EXPECT_STREQ(name, L"Presets");
    CoTaskMemFree(list);
    EXPECT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindow(dialog)) << "the dialog is gone once answered";
    const auto shown = script::FolderDialogs().back();
    EXPECT_TRUE(shown.comInitialised);
    EXPECT_EQ(shown.title, L"Choose a Directory");
    EXPECT_EQ(shown.flags, 0x50u);

    EXPECT_EQ(SHBrowseForFolderW(&info), nullptr) << "not answered: cancelled";
    EXPECT_FALSE(script::FolderDialogs().back().comInitialised);
  });
}

UINT_PTR CALLBACK ColorHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
  if (message == WM_INITDIALOG)
  {
    const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    SetWindowTextW(dialog, L"Knob colour");
    SendMessageW(dialog, RegisterWindowMessageW(SETRGBSTRINGW), 0, static_cast<LPARAM>(choose->rgbResult));
  }
  return 0;
}

TEST_F(Dialogs, TheColourChooserRunsItsHookAndAnswers)
{
  OnFreshThread([] {
    Recorder log;
    HWND owner = MakeWindow(log, 0, 0, 10, 10);
    COLORREF custom[16] = {RGB(1, 2, 3)};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = RGB(10, 20, 30);
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
    choose.lpfnHook = ColorHook;

    script::AnswerColorDialog(RGB(200, 100, 50));
    ASSERT_TRUE(ChooseColorW(&choose));
    EXPECT_EQ(choose.rgbResult, RGB(200, 100, 50));
    const auto shown = script::ColorDialogs().back();
    EXPECT_EQ(shown.title, L"Knob colour");
    ASSERT_TRUE(shown.hookColor.has_value());
    EXPECT_EQ(*shown.hookColor, RGB(10, 20, 30));
    EXPECT_EQ(shown.customColors[0], RGB(1, 2, 3));

    script::CancelColorDialog();
    EXPECT_FALSE(ChooseColorW(&choose));
    EXPECT_EQ(choose.rgbResult, RGB(200, 100, 50)) << "a cancel changes nothing";
    choose.lpCustColors = nullptr;
    EXPECT_FALSE(ChooseColorW(&choose));
    DestroyWindow(owner);
  });
}

TEST_F(Dialogs, ClipboardFollowsWindowsRules)
{
  OnFreshThread([] {
    Recorder log;
    HWND owner = MakeWindow(log, 0, 0, 10, 10);
    ASSERT_TRUE(usage::PutTextOnClipboard(owner, "Gain \xC3\xBC 3 dB"));
    EXPECT_EQ(GetClipboardOwner(), owner);
    EXPECT_EQ(script::ClipboardText(), std::optional<std::wstring>(L"Gain \u00FC 3 dB"));
    std::string back;
    ASSERT_TRUE(usage::TakeTextFromClipboard(back));
    EXPECT_EQ(back, "Gain \xC3\xBC 3 dB");

    // CF_TEXT is made from CF_UNICODETEXT on request.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    const auto* narrow = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "Gain \xC3\xBC 3 dB");
    GlobalUnlock(GetClipboardData(CF_TEXT));
    // Opened without a window: emptying leaves no owner, and no data can be set.
    EXPECT_TRUE(EmptyClipboard());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    GlobalFree(block);
    // Another thread cannot open it meanwhile.
    OnFreshThread([] { EXPECT_FALSE(OpenClipboard(nullptr)); });
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));

    ASSERT_TRUE(script::SetClipboardText(L"from elsewhere"));
    ASSERT_TRUE(usage::TakeTextFromClipboard(back));
    EXPECT_EQ(back, "from elsewhere");
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    DestroyWindow(owner);
  });
}

TEST_F(Dialogs, ShellCallsAreRecordedAndAnswered)
{
  OnFreshThread([] {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(length, std::wcslen(system));
    EXPECT_EQ(GetSystemDirectoryW(system, 3), length + 1) << "too small: the size needed";

    const auto result = ShellExecuteW(nullptr, L"open", L"explorer.exe", L"/select,\"C:\\presets\\a.fxp\"", system,
                                      SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
    script::AnswerShellExecute(SE_ERR_NOASSOC);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(
                  ShellExecuteW(nullptr, L"open", L"https://example.org", nullptr, nullptr, SW_SHOWNORMAL)),
              SE_ERR_NOASSOC);
    const auto calls = script::ShellExecutes();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].file, L"explorer.exe");
    EXPECT_EQ(calls[0].parameters, L"/select,\"C:\\presets\\a.fxp\"");
    EXPECT_EQ(calls[1].file, L"https://example.org");

    DWORD flags = 0;
    EXPECT_TRUE(InternetGetConnectedState(&flags, 0));
    script::SetInternetConnected(false);
    EXPECT_FALSE(InternetGetConnectedState(&flags, 0));
    EXPECT_EQ(flags, static_cast<DWORD>(INTERNET_CONNECTION_OFFLINE));
  });
}

} // namespace
