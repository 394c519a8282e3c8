// Modal dialogs answering from the script: message boxes, file, colour and folder choosers, and
// the COM initialisation around the folder browser.
//
// Index:
//   1. The stand-in dialog window
//   2. Message boxes
//   3. File choosers
//   4. Colour chooser
//   5. Folder browser and COM

#include "Win32Dialogs.h"

#include "Win32Kernel.h"
#include "Win32ScriptState.h"
#include "Win32SystemClasses.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace win32compat;

// --- 1. The stand-in dialog window -------------------------------------------------------------

namespace {

struct DialogState
{
  std::optional<COLORREF> color; // set through the registered message SETRGBSTRING
};

// Disables the owner while the dialog is up and enables it again afterwards, as modal loops do.
class ModalOwner
{
public:
  explicit ModalOwner(HWND owner) : mOwner(owner)
  {
    if (mOwner && IsWindow(mOwner) && IsWindowEnabled(mOwner))
    {
      EnableWindow(mOwner, FALSE);
      mDisabled = true;
    }
  }
  ~ModalOwner()
  {
    if (mDisabled && IsWindow(mOwner))
      EnableWindow(mOwner, TRUE);
  }
  ModalOwner(const ModalOwner&) = delete;
  ModalOwner& operator=(const ModalOwner&) = delete;

private:
  HWND mOwner;
  bool mDisabled = false;
};

HWND MakeDialogWindow(HWND owner, const wchar_t* title)
{
  return CreateWindowExW(0, L"#32770", title, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                         owner && IsWindow(owner) ? owner : nullptr, nullptr, nullptr, nullptr);
}

std::wstring TitleOf(HWND dialog)
{
  wchar_t buffer[256] = {};
  GetWindowTextW(dialog, buffer, 256);
  return buffer;
}

} // namespace

namespace win32compat {

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  static const UINT setRgb = RegisterWindowMessageW(SETRGBSTRINGW);
  if (message == setRgb && message != 0)
  {
    if (auto state = ControlState<DialogState>(hwnd))
      state->color = static_cast<COLORREF>(lParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace win32compat

// --- 2. Message boxes ----------------------------------------------------------------------------

namespace {

std::vector<int> ButtonsOf(UINT type)
{
  switch (type & MB_TYPEMASK)
  {
  case MB_OK: return {IDOK};
  case MB_OKCANCEL: return {IDOK, IDCANCEL};
  case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
  case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
  case MB_YESNO: return {IDYES, IDNO};
  case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
  case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
  default: return {};
  }
}

int ShowMessageBox(HWND owner, std::wstring text, std::wstring caption, UINT type)
{
  const auto buttons = ButtonsOf(type);
  if (buttons.empty())
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t defaultIndex = (type & MB_DEFMASK) >> 8;
  if (defaultIndex >= buttons.size())
    defaultIndex = 0;
  int answer = buttons[defaultIndex];
  {
    ModalOwner modal(owner);
    if (const auto scripted = TakeMessageBoxAnswer())
      if (std::find(buttons.begin(), buttons.end(), *scripted) != buttons.end())
        answer = *scripted;
  }
  Record(script::MessageBoxShown{owner, std::move(text), std::move(caption), type, answer});
  return answer;
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
  return ShowMessageBox(owner, text ? text : L"", caption ? caption : L"Error", type);
}

// --- 3. File choosers ----------------------------------------------------------------------------

namespace {

bool Exists(const std::wstring& path)
{
  struct stat info;
  return !path.empty() && ::stat(Narrow(path).c_str(), &info) == 0;
}

size_t NameStart(const std::wstring& path)
{
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? 0 : slash + 1;
}

// The (description, patterns) pairs of a filter: pairs of texts ending with an empty one.
template <typename Char>
std::vector<std::pair<std::wstring, std::wstring>> ParseFilter(const Char* filter)
{
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  if (!filter)
    return pairs;
  auto next = [&filter]() {
    std::basic_string<Char> part;
    for (size_t guard = 0; *filter && guard < 32768; ++guard)
      part += *filter++;
    ++filter; // past the terminator
    if constexpr (sizeof(Char) == 1)
      return Widen(part);
    else
      return std::wstring(part.begin(), part.end());
  };
  for (int guard = 0; guard < 256 && *filter; ++guard)
  {
    std::wstring description = next();
    if (!*filter)
    {
      pairs.emplace_back(std::move(description), std::wstring());
      break;
    }
    pairs.emplace_back(std::move(description), next());
  }
  return pairs;
}

template <typename Char>
std::wstring TextOf(const Char* text, size_t limit = 32768)
{
  if (!text || IS_INTRESOURCE(text))
    return std::wstring();
  std::basic_string<Char> out;
  for (size_t i = 0; i < limit && text[i]; ++i)
    out += text[i];
  if constexpr (sizeof(Char) == 1)
    return Widen(out);
  else
    return std::wstring(out.begin(), out.end());
}

template <typename Ofn>
BOOL ShowFileDialog(Ofn* ofn, bool save)
{
  using Char = std::remove_cv_t<std::remove_pointer_t<decltype(ofn->lpstrFile)>>;
  if (!ofn || ofn->lStructSize != sizeof(Ofn))
  {
    return FALSE;
  }
  script::FileDialogShown shown;
  shown.owner = ofn->hwndOwner;
  shown.save = save;
  shown.filters = ParseFilter(ofn->lpstrFilter);
  shown.initialDirectory = TextOf(ofn->lpstrInitialDir);
  shown.initialFile = ofn->lpstrFile && ofn->nMaxFile > 0 ? TextOf(ofn->lpstrFile, ofn->nMaxFile) : std::wstring();
  shown.defaultExtension = TextOf(ofn->lpstrDefExt);
  shown.title = TextOf(ofn->lpstrTitle);
  shown.flags = ofn->Flags;
  shown.maxFile = ofn->nMaxFile;

  std::optional<std::wstring> chosen;
  {
    ModalOwner modal(ofn->hwndOwner);
    std::optional<std::wstring> answer;
    while (TakeFileAnswer(answer) && answer)
    {
      std::wstring path = *answer;
      const size_t name = NameStart(path);
      if (!shown.defaultExtension.empty() && path.find(L'.', name) == std::wstring::npos)
        path += L"." + shown.defaultExtension;
      const bool fileMissing = (ofn->Flags & OFN_FILEMUSTEXIST) && !Exists(path);
      const bool folderMissing = (ofn->Flags & OFN_PATHMUSTEXIST) && name > 1 && !Exists(path.substr(0, name - 1));
      if (fileMissing || folderMissing)
      {
        shown.refused.push_back(path); // the dialog says so and stays open
        continue;
      }
      chosen = path;
      break;
    }
  }
  if (!chosen)
  {
    Record(std::move(shown));
    return FALSE;
  }
  std::basic_string<Char> converted;
  if constexpr (sizeof(Char) == 1)
    converted = Narrow(*chosen);
  else
    converted.assign(chosen->begin(), chosen->end());
  if (!ofn->lpstrFile || converted.size() + 1 > ofn->nMaxFile)
  {
    if (ofn->lpstrFile && ofn->nMaxFile * sizeof(Char) >= sizeof(WORD))
    {
      const WORD needed = static_cast<WORD>(std::min<size_t>(converted.size() + 1, 0xFFFF));
      std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
    }
    Record(std::move(shown));
    return FALSE;
  }
  std::copy(converted.begin(), converted.end(), ofn->lpstrFile);
  ofn->lpstrFile[converted.size()] = 0;
  const Char separators[] = {static_cast<Char>('\\'), static_cast<Char>('/'), 0};
  const size_t separator = converted.find_last_of(separators);
  const size_t nameStart = separator == std::basic_string<Char>::npos ? 0 : separator + 1;
  const size_t dot = converted.find_last_of(static_cast<Char>('.'));
  ofn->nFileOffset = static_cast<WORD>(nameStart);
  ofn->nFileExtension = static_cast<WORD>(dot != std::basic_string<Char>::npos && dot >= nameStart ? dot + 1
                                                                                                    : converted.size());
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0)
  {
    const auto title = converted.substr(nameStart);
    const size_t count = std::min<size_t>(title.size(), ofn->nMaxFileTitle - 1);
    std::copy_n(title.begin(), count, ofn->lpstrFileTitle);
    ofn->lpstrFileTitle[count] = 0;
  }
  shown.result = *chosen;
  Record(std::move(shown));
  return TRUE;
}

} // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn)
{
  return ShowFileDialog(ofn, false);
}

BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn)
{
  return ShowFileDialog(ofn, true);
}

// --- 4. Colour chooser ---------------------------------------------------------------------------

namespace {

template <typename Choose>
BOOL ShowColorDialog(Choose* choose)
{
  if (!choose || choose->lStructSize != sizeof(Choose) || !choose->lpCustColors)
  {
    return FALSE;
  }
  script::ColorDialogShown shown;
  shown.owner = choose->hwndOwner;
  shown.initial = (choose->Flags & CC_RGBINIT) ? choose->rgbResult : 0;
  shown.flags = choose->Flags;
  std::copy_n(choose->lpCustColors, 16, shown.customColors.begin());

  std::optional<COLORREF> answer;
  {
    ModalOwner modal(choose->hwndOwner);
    HWND dialog = MakeDialogWindow(choose->hwndOwner, L"Color");
    if ((choose->Flags & CC_ENABLEHOOK) && choose->lpfnHook && dialog)
      choose->lpfnHook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(choose));
    if (dialog)
    {
      shown.title = TitleOf(dialog);
      if (auto state = ControlState<DialogState>(dialog))
        shown.hookColor = state->color;
    }
    TakeColorAnswer(answer);
    if (dialog)
      DestroyWindow(dialog);
  }
  shown.result = answer;
  Record(shown);
  if (!answer)
    return FALSE;
  choose->rgbResult = *answer & 0x00FFFFFF;
  return TRUE;
}

} // namespace

BOOL ChooseColorW(LPCHOOSECOLORW choose)
{
  return ShowColorDialog(choose);
}

// --- 5. Folder browser and COM -------------------------------------------------------------------

namespace {

// How often OLE was initialised on the thread and not yet uninitialised.
thread_local int tOleCount = 0;

// An item list holding one item: the folder's path as wide characters.
PIDLIST_ABSOLUTE MakeItemList(const std::wstring& path)
{
  const size_t payload = (path.size() + 1) * sizeof(wchar_t);
  const size_t itemSize = sizeof(USHORT) + payload;
  // Freed by CoTaskMemFree.
  auto* bytes = static_cast<BYTE*>(std::malloc(itemSize + sizeof(USHORT)));
  if (!bytes)
    return nullptr;
  const auto cb = static_cast<USHORT>(std::min<size_t>(itemSize, 0xFFFF));
  std::memcpy(bytes, &cb, sizeof cb);
  std::memcpy(bytes + sizeof(USHORT), path.c_str(), payload);
  const USHORT terminator = 0;
  std::memcpy(bytes + itemSize, &terminator, sizeof terminator);
  return reinterpret_cast<PIDLIST_ABSOLUTE>(bytes);
}

bool PathOfItemList(PCIDLIST_ABSOLUTE list, std::wstring& path)
{
  if (!list)
    return false;
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  USHORT cb;
  std::memcpy(&cb, bytes, sizeof cb);
  if (cb < sizeof(USHORT) + sizeof(wchar_t))
    return false;
  const size_t count = (cb - sizeof(USHORT)) / sizeof(wchar_t);
  path.resize(count);
  std::memcpy(path.data(), bytes + sizeof(USHORT), count * sizeof(wchar_t));
  path.resize(std::wcslen(path.c_str()));
  return true;
}

template <typename Info>
PIDLIST_ABSOLUTE ShowFolderDialog(Info* info)
{
  if (!info)
    return nullptr;
  script::FolderDialogShown shown;
  shown.owner = info->hwndOwner;
  shown.title = TextOf(info->lpszTitle);
  shown.flags = info->ulFlags;
  shown.comInitialised = tOleCount > 0;
  std::optional<std::wstring> answer;
  {
    ModalOwner modal(info->hwndOwner);
    HWND dialog = MakeDialogWindow(info->hwndOwner, L"Browse For Folder");
    if (info->lpfn && dialog)
      info->lpfn(dialog, BFFM_INITIALIZED, 0, info->lParam);
    TakeFolderAnswer(answer);
    if (dialog)
      DestroyWindow(dialog);
  }
  shown.result = answer;
  Record(shown);
  if (!answer)
    return nullptr;
  if (info->pszDisplayName)
  {
    const std::wstring name = answer->substr(NameStart(*answer));
    if constexpr (sizeof(*info->pszDisplayName) == 1)
      CopyOut(Narrow(name), reinterpret_cast<char*>(info->pszDisplayName), MAX_PATH);
    else
      CopyOut(name, reinterpret_cast<wchar_t*>(info->pszDisplayName), MAX_PATH);
  }
  return MakeItemList(*answer);
}

} // namespace

PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW info)
{
  return ShowFolderDialog(info);
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, LPWSTR path)
{
  std::wstring text;
  if (!path || !PathOfItemList(list, text))
    return FALSE;
  CopyOut(text, path, MAX_PATH);
  return TRUE;
}

HRESULT OleInitialize(LPVOID)
{
  return tOleCount++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize()
{
  if (tOleCount > 0)
    --tOleCount;
}

void CoTaskMemFree(LPVOID memory)
{
  std::free(memory);
}
