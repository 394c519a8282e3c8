// Platform services of the Windows graphics context besides text entry, menus and fonts: the
// clipboard, message boxes, the file, folder and colour choosers, opening web addresses,
// revealing files in the file browser, and finding the host's top-level window.

#include "IGraphicsWin.h"

#include <array>
#include <string>
#include <vector>

#include "WideText.h"

namespace iplug::igraphics {

namespace {

constexpr int kPathChars = 260;
// The chooser's filter text (description and patterns, each terminated, plus the final
// terminator) and default extension live in fixed buffers of these sizes.
constexpr size_t kFilterChars = 256;
constexpr size_t kDefaultExtensionChars = 16;
constexpr int kMaxClassNameChars = 127;

// Custom colours of the colour chooser, kept for the process between calls (UI thread only).
std::array<COLORREF, 16> customColors{};

struct ColorHookData
{
  std::wstring prompt;
  COLORREF initial = 0;
};

UINT_PTR CALLBACK ColorChooserHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  (void) wParam;
  if (msg == WM_INITDIALOG && lParam)
  {
    const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    const auto* data = reinterpret_cast<const ColorHookData*>(choose->lCustData);
    if (data)
    {
      if (!data->prompt.empty())
        SetWindowTextW(dialog, data->prompt.c_str());
      static const UINT setRGB = RegisterWindowMessageW(SETRGBSTRINGW);
      SendMessageW(dialog, setRGB, 0, static_cast<LPARAM>(data->initial));
    }
  }
  return 0;
}

// "png jpg" → "*.png;*.jpg". Whole patterns only: a pattern that would not fit the filter buffer
// (twice, with the terminators) is left out rather than cut into one that matches other files.
std::wstring FilterPatterns(const std::string& extensions)
{
  const size_t maxPatterns = (kFilterChars - 3) / 2;
  std::wstring patterns;
  size_t pos = 0;
  while (pos < extensions.size())
  {
    const size_t start = extensions.find_first_not_of(' ', pos);
    if (start == std::string::npos)
      break;
    size_t end = extensions.find(' ', start);
    if (end == std::string::npos)
      end = extensions.size();
    const std::wstring pattern = L"*." + UTF8ToWide(extensions.substr(start, end - start).c_str());
    const size_t joined = patterns.size() + (patterns.empty() ? 0 : 1) + pattern.size();
    if (joined <= maxPatterns)
    {
      if (!patterns.empty())
        patterns.push_back(L';');
      patterns += pattern;
    }
    pos = end;
  }
  return patterns;
}

std::wstring FirstExtension(const std::string& extensions)
{
  const size_t start = extensions.find_first_not_of(' ');
  if (start == std::string::npos)
    return std::wstring();
  const size_t end = extensions.find(' ', start);
  const std::string first = extensions.substr(start, end == std::string::npos ? std::string::npos : end - start);
  return UTF8ToWide(first.c_str(), static_cast<int>(kDefaultExtensionChars - 1));
}

// Copies the text into a fixed buffer of kPathChars characters, cut to fit.
void FillPathBuffer(std::array<WCHAR, kPathChars>& buffer, const std::string& text)
{
  buffer.fill(0);
  const std::wstring wide = UTF8ToWide(text.c_str(), kPathChars - 1);
  std::copy(wide.begin(), wide.end(), buffer.begin());
}

} // namespace

// ---- Clipboard -----------------------------------------------------------------------------------

bool IGraphicsWin::GetTextFromClipboard(std::string& str)
{
  str.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr))
    return false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
  {
    if (const auto* text = static_cast<const WCHAR*>(GlobalLock(data)))
    {
      // Another application's block need not be terminated: read no further than it reaches.
      const size_t capacity = GlobalSize(data) / sizeof(WCHAR);
      size_t length = 0;
      while (length < capacity && text[length] != 0)
        ++length;
      str = WideToUTF8(text, static_cast<int>(length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return !str.empty();
}

bool IGraphicsWin::SetTextInClipboard(const char* str)
{
  // Without the host's window the editor's own window owns what we place.
  HWND owner = GetMainWnd();
  if (!owner)
    owner = mPlugWnd;
  if (!OpenClipboard(owner))
    return false;
  EmptyClipboard();

  bool placed = false;
  const std::wstring wide = UTF8ToWide(str);
  if (!wide.empty())
  {
    const size_t bytes = (wide.size() + 1) * sizeof(WCHAR);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes))
    {
      if (auto* target = static_cast<WCHAR*>(GlobalLock(memory)))
      {
        std::copy(wide.begin(), wide.end(), target);
        target[wide.size()] = 0;
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      }
      // The clipboard owns the block only once it took it.
      if (!placed)
        GlobalFree(memory);
    }
  }
  CloseClipboard();
  return placed;
}

// ---- Message box ---------------------------------------------------------------------------------

EMsgBoxResult IGraphicsWin::ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                                           IMsgBoxCompletionHandlerFunc completion)
{
  ReleaseMouseCapture();
  HWND owner = GetMainWnd();
  const std::wstring text = UTF8ToWide(str);
  const std::wstring title = UTF8ToWide(caption);
  const auto result = static_cast<EMsgBoxResult>(
    MessageBoxW(owner, text.c_str(), caption ? title.c_str() : nullptr, static_cast<UINT>(type)));
  if (completion)
    completion(result);
  return result;
}

// ---- Choosers ------------------------------------------------------------------------------------

void IGraphicsWin::PromptForFile(std::string& fileName, std::string& path, EFileAction action, const char* ext,
                                 IFileDialogCompletionHandlerFunc completion)
{
  if (!mPlugWnd)
  {
    fileName.clear();
    return;
  }

  std::array<WCHAR, kPathChars> file{};
  std::array<WCHAR, kPathChars> directory{};
  FillPathBuffer(file, fileName);
  FillPathBuffer(directory, path);

  // Description and patterns are the same text; each is terminated and the list ends with an
  // empty one.
  std::vector<WCHAR> filter;
  std::wstring defaultExtension;
  const std::string extensions = ext ? ext : "";
  const std::wstring patterns = FilterPatterns(extensions);
  if (!patterns.empty())
  {
    for (int copy = 0; copy < 2; ++copy)
    {
      filter.insert(filter.end(), patterns.begin(), patterns.end());
      filter.push_back(0);
    }
    filter.push_back(0);
    defaultExtension = FirstExtension(extensions);
  }

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = mPlugWnd;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.data();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathChars - 1;
  ofn.lpstrInitialDir = directory[0] ? directory.data() : nullptr;
  ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();

  BOOL chosen = FALSE;
  if (action == EFileAction::Save)
  {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    chosen = GetSaveFileNameW(&ofn);
  }
  else
  {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameW(&ofn);
  }

  if (chosen)
  {
    const std::wstring chosenPath(file.data());
    fileName = WideToUTF8(chosenPath);
    // Drive and directory: everything before the file's own name.
    const size_t nameStart = ofn.nFileOffset <= chosenPath.size() ? ofn.nFileOffset : chosenPath.size();
    path = WideToUTF8(chosenPath.substr(0, nameStart));
  }
  else
  {
    fileName.clear();
  }

  if (completion)
    completion(fileName, path);
  ReleaseMouseCapture();
}

void IGraphicsWin::PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion)
{
  std::array<WCHAR, kPathChars> displayName{};
  BROWSEINFOW info{};
  info.hwndOwner = mPlugWnd;
  info.pszDisplayName = displayName.data();
  info.lpszTitle = L"Choose a Directory";
  info.ulFlags = BIF_USENEWUI;

  // The new dialog style needs OLE on this thread; a host that already set it up keeps it.
  const HRESULT ole = OleInitialize(nullptr);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  dir.clear();
  if (chosen)
  {
    std::array<WCHAR, kPathChars> folder{};
    if (SHGetPathFromIDListW(chosen, folder.data()))
      dir = WideToUTF8(folder.data()) + "\\";
    CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(ole))
    OleUninitialize();

  if (completion)
    completion(std::string(), dir);
  ReleaseMouseCapture();
}

bool IGraphicsWin::PromptForColor(IColor& color, const char* str, IColorPickerHandlerFunc completion)
{
  ReleaseMouseCapture();
  if (!mPlugWnd)
    return false;

  ColorHookData hookData;
  hookData.prompt = UTF8ToWide(str);
  hookData.initial = RGB(color.R, color.G, color.B);

  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = mPlugWnd;
  choose.rgbResult = hookData.initial;
  choose.lpCustColors = customColors.data();
  choose.Flags = CC_FULLOPEN | CC_RGBINIT | CC_SOLIDCOLOR | CC_ANYCOLOR | CC_ENABLEHOOK;
  choose.lCustData = reinterpret_cast<LPARAM>(&hookData);
  choose.lpfnHook = ColorChooserHook;

  if (!ChooseColorW(&choose))
    return false;
  color.R = GetRValue(choose.rgbResult);
  color.G = GetGValue(choose.rgbResult);
  color.B = GetBValue(choose.rgbResult);
  if (completion)
    completion(color);
  return true;
}

// ---- Shell ---------------------------------------------------------------------------------------

bool IGraphicsWin::OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                           const char* errMsgOnFailure)
{
  const std::wstring title = UTF8ToWide(msgWindowTitle);
  const LPCWSTR caption = msgWindowTitle ? title.c_str() : nullptr;
  if (confirmMsg && *confirmMsg)
  {
    const std::wstring confirm = UTF8ToWide(confirmMsg);
    if (MessageBoxW(mPlugWnd, confirm.c_str(), caption, MB_YESNO) != IDYES)
      return false;
  }

  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0))
  {
    if (!url || !*url)
      return false;
    const std::wstring address = UTF8ToWide(url);
    const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(mPlugWnd, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
  }

  if (errMsgOnFailure && *errMsgOnFailure)
  {
    const std::wstring error = UTF8ToWide(errMsgOnFailure);
    MessageBoxW(mPlugWnd, error.c_str(), caption, MB_OK);
  }
  return false;
}

bool IGraphicsWin::RevealPath(const char* path, bool select)
{
  if (!path || !*path)
    return false;

  std::array<WCHAR, kPathChars> system{};
  const UINT length = GetSystemDirectoryW(system.data(), kPathChars);
  std::wstring directory = length > 0 && length < kPathChars ? std::wstring(system.data(), length) : std::wstring();
  directory += L"\\";

  std::wstring parameters = select ? L"/select," : L"";
  parameters += L"\"" + UTF8ToWide(path) + L"\\\"";

  const auto result = reinterpret_cast<INT_PTR>(
    ShellExecuteW(mPlugWnd, L"open", L"explorer.exe", parameters.c_str(), directory.c_str(), SW_SHOWNORMAL));
  return result > 32;
}

// ---- Main window ---------------------------------------------------------------------------------

namespace {

struct MainWindowSearch
{
  DWORD processID = 0;
  std::wstring className;
  HWND found = nullptr;
};

BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM lParam)
{
  auto* search = reinterpret_cast<MainWindowSearch*>(lParam);
  DWORD processID = 0;
  GetWindowThreadProcessId(hwnd, &processID);
  if (processID != search->processID)
    return TRUE;
  std::array<WCHAR, kMaxClassNameChars + 1> name{};
  GetClassNameW(hwnd, name.data(), kMaxClassNameChars + 1);
  if (search->className != name.data())
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

} // namespace

HWND IGraphicsWin::GetMainWnd()
{
  if (mMainWnd)
    return mMainWnd;

  if (mParentWnd)
  {
    HWND top = mParentWnd;
    while (HWND up = GetParent(top))
      top = up;
    mMainWnd = top;
    std::array<WCHAR, kMaxClassNameChars + 1> name{};
    GetClassNameW(mMainWnd, name.data(), kMaxClassNameChars + 1);
    mMainWndClassName = WideToUTF8(name.data());
  }
  else if (!mMainWndClassName.empty())
  {
    if (!mPID)
      mPID = GetCurrentProcessId();
    MainWindowSearch search;
    search.processID = mPID;
    search.className = UTF8ToWide(mMainWndClassName.c_str());
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    mMainWnd = search.found;
  }
  return mMainWnd;
}

} // namespace iplug::igraphics
