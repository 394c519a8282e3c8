#pragma once

// The scriptable user behind our Win32 stand-in's modal calls, for tests and tools; not part of
// Win32.
//
// A test queues answers before the code under test opens a message box, a popup menu, a file,
// folder or colour chooser or asks the shell to open something; each call takes the oldest answer
// of its kind and is recorded with what it showed and how it ended. Without a queued answer a
// message box takes its default button and the choosers and menus are dismissed. The clipboard can
// be filled and read as another application would. Answers and records are process-wide and may be
// queued from any thread.

#include "../api/Win32Types.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace win32compat::script {

// Forgets every answer and record; the Internet counts as connected again. The clipboard is left.
void Reset();

// --- Message boxes ----------------------------------------------------------------------------
struct MessageBoxShown
{
  HWND owner = nullptr;
  std::wstring text;
  std::wstring caption;
  UINT type = 0;
  int answer = 0; // the button the box returned
};
void AnswerMessageBox(int button); // IDOK, IDYES ...
std::vector<MessageBoxShown> MessageBoxes();

// --- Popup menus ------------------------------------------------------------------------------
struct MenuItemShown
{
  std::wstring text;
  UINT id = 0;
  UINT type = 0;  // MFT_ flags (MFT_SEPARATOR, MFT_MENUBREAK ...)
  UINT state = 0; // MFS_ flags (MFS_CHECKED, MFS_DISABLED ...)
  bool popup = false;
  std::vector<MenuItemShown> submenu;
};
struct MenuShown
{
  HWND owner = nullptr;
  POINT at{}; // screen coordinates
  UINT flags = 0;
  std::vector<MenuItemShown> items;
  UINT chosen = 0; // the identifier chosen, 0 when dismissed
};
// Chooses the item with the identifier (0 dismisses the menu). An item a user could not choose
// (disabled, a separator, a submenu, or not in the menu) dismisses it as well.
void AnswerMenu(UINT id);
// Decides from what is shown.
void AnswerMenu(std::function<UINT(const MenuShown&)> choose);
std::vector<MenuShown> Menus();

// --- File and folder choosers -----------------------------------------------------------------
struct FileDialogShown
{
  HWND owner = nullptr;
  bool save = false;
  std::vector<std::pair<std::wstring, std::wstring>> filters; // (description, patterns)
  std::wstring initialDirectory;
  std::wstring initialFile;
  std::wstring defaultExtension;
  std::wstring title;
  DWORD flags = 0;
  DWORD maxFile = 0;
  std::vector<std::wstring> refused; // answers the dialog did not accept
  std::optional<std::wstring> result; // empty when cancelled
};
// A path typed in and confirmed; CancelFileDialog queues a cancel.
void AnswerFileDialog(const std::wstring& path);
void CancelFileDialog();
std::vector<FileDialogShown> FileDialogs();

struct FolderDialogShown
{
  HWND owner = nullptr;
  std::wstring title;
  UINT flags = 0;
  bool comInitialised = false;
  std::optional<std::wstring> result;
};
void AnswerFolderDialog(const std::wstring& path);
void CancelFolderDialog();
std::vector<FolderDialogShown> FolderDialogs();

// --- Colour chooser ---------------------------------------------------------------------------
struct ColorDialogShown
{
  HWND owner = nullptr;
  COLORREF initial = 0;
  DWORD flags = 0;
  std::array<COLORREF, 16> customColors{};
  std::wstring title;                 // as the hook set it
  std::optional<COLORREF> hookColor;  // as the hook set it through SETRGBSTRING
  std::optional<COLORREF> result;
};
void AnswerColorDialog(COLORREF color);
void CancelColorDialog();
std::vector<ColorDialogShown> ColorDialogs();

// --- Shell ------------------------------------------------------------------------------------
struct ShellExecuteCall
{
  HWND hwnd = nullptr;
  std::wstring operation;
  std::wstring file;
  std::wstring parameters;
  std::wstring directory;
  int show = 0;
  INT_PTR result = 0;
};
// The result of the next ShellExecute (above 32 is success; 42 when nothing is queued).
void AnswerShellExecute(INT_PTR result);
std::vector<ShellExecuteCall> ShellExecutes();
void SetInternetConnected(bool connected);

// --- Clipboard --------------------------------------------------------------------------------
// Replaces the clipboard's content with the text, owned by no window of ours; false while the
// clipboard is open.
bool SetClipboardText(const std::wstring& text);
// The CF_UNICODETEXT on the clipboard, if any.
std::optional<std::wstring> ClipboardText();

} // namespace win32compat::script
