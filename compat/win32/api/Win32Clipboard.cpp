// The process's clipboard.

#include "Win32Clipboard.h"

#include "Win32Kernel.h"
#include "Win32Memory.h"
#include "Win32Script.h"
#include "Win32Text.h"

#include <cstring>
#include <map>
#include <mutex>

using namespace win32compat;

namespace {

struct ClipboardState
{
  std::mutex mutex;
  bool open = false;
  DWORD openThread = 0;
  HWND openWindow = nullptr;
  bool emptied = false; // EmptyClipboard ran since this opening
  HWND owner = nullptr;
  std::map<UINT, HGLOBAL> data;        // blocks the clipboard owns
  std::map<UINT, HGLOBAL> synthesized; // converted forms made on request
};

ClipboardState& Clipboard()
{
  static ClipboardState* state = new ClipboardState;
  return *state;
}

bool OpenedByCaller(const ClipboardState& clipboard)
{
  return clipboard.open && clipboard.openThread == GetCurrentThreadId();
}

void FreeAllLocked(ClipboardState& clipboard)
{
  for (auto& [format, block] : clipboard.data)
    GlobalFree(block);
  for (auto& [format, block] : clipboard.synthesized)
    GlobalFree(block);
  clipboard.data.clear();
  clipboard.synthesized.clear();
}

template <typename Char>
std::basic_string<Char> ReadText(HGLOBAL block)
{
  const SIZE_T count = GlobalSize(block) / sizeof(Char);
  const auto* text = static_cast<const Char*>(GlobalLock(block));
  std::basic_string<Char> result;
  if (text)
  {
    SIZE_T length = 0;
    while (length < count && text[length] != 0)
      ++length;
    result.assign(text, length);
    GlobalUnlock(block);
  }
  return result;
}

template <typename Char>
HGLOBAL WriteText(const std::basic_string<Char>& text)
{
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(Char));
  if (auto* data = static_cast<Char*>(GlobalLock(block)))
  {
    std::memcpy(data, text.c_str(), (text.size() + 1) * sizeof(Char));
    GlobalUnlock(block);
  }
  return block;
}

// The block of the format, converting between the two text formats when needed. Lock held.
HGLOBAL BlockForLocked(ClipboardState& clipboard, UINT format)
{
  if (auto it = clipboard.data.find(format); it != clipboard.data.end())
    return it->second;
  if (auto it = clipboard.synthesized.find(format); it != clipboard.synthesized.end())
    return it->second;
  HGLOBAL made = nullptr;
  if (format == CF_TEXT)
    if (auto it = clipboard.data.find(CF_UNICODETEXT); it != clipboard.data.end())
      made = WriteText(Narrow(ReadText<wchar_t>(it->second)));
  if (format == CF_UNICODETEXT)
    if (auto it = clipboard.data.find(CF_TEXT); it != clipboard.data.end())
      made = WriteText(Widen(ReadText<char>(it->second)));
  if (made)
    clipboard.synthesized[format] = made;
  return made;
}

bool AvailableLocked(const ClipboardState& clipboard, UINT format)
{
  if (clipboard.data.count(format))
    return true;
  if (format == CF_TEXT)
    return clipboard.data.count(CF_UNICODETEXT) > 0;
  if (format == CF_UNICODETEXT)
    return clipboard.data.count(CF_TEXT) > 0;
  return false;
}

} // namespace

BOOL OpenClipboard(HWND newOwner)
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (clipboard.open && !(clipboard.openThread == GetCurrentThreadId() && clipboard.openWindow == newOwner))
  {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (!clipboard.open)
    clipboard.emptied = false;
  clipboard.open = true;
  clipboard.openThread = GetCurrentThreadId();
  clipboard.openWindow = newOwner;
  return TRUE;
}

BOOL CloseClipboard()
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (!OpenedByCaller(clipboard))
  {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return FALSE;
  }
  clipboard.open = false;
  clipboard.openThread = 0;
  clipboard.openWindow = nullptr;
  return TRUE;
}

BOOL EmptyClipboard()
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (!OpenedByCaller(clipboard))
  {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return FALSE;
  }
  FreeAllLocked(clipboard);
  clipboard.owner = clipboard.openWindow;
  clipboard.emptied = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE memory)
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (!OpenedByCaller(clipboard))
  {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  // A clipboard opened without a window has no owner once emptied, and takes no data.
  if (!memory || !clipboard.openWindow || (clipboard.emptied && !clipboard.owner) || clipboard.owner != clipboard.openWindow)
  {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  if (auto it = clipboard.data.find(format); it != clipboard.data.end() && it->second != memory)
    GlobalFree(it->second);
  for (auto& [f, block] : clipboard.synthesized)
    GlobalFree(block);
  clipboard.synthesized.clear();
  clipboard.data[format] = memory;
  return memory;
}

HANDLE GetClipboardData(UINT format)
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (!OpenedByCaller(clipboard))
  {
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return nullptr;
  }
  return BlockForLocked(clipboard, format);
}

BOOL IsClipboardFormatAvailable(UINT format)
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  return AvailableLocked(clipboard, format) ? TRUE : FALSE;
}

HWND GetClipboardOwner()
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  return clipboard.owner;
}

namespace win32compat::script {

bool SetClipboardText(const std::wstring& text)
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  if (clipboard.open)
    return false;
  FreeAllLocked(clipboard);
  clipboard.owner = nullptr;
  clipboard.data[CF_UNICODETEXT] = WriteText(text);
  return true;
}

std::optional<std::wstring> ClipboardText()
{
  auto& clipboard = Clipboard();
  std::lock_guard<std::mutex> lock(clipboard.mutex);
  HGLOBAL block = BlockForLocked(clipboard, CF_UNICODETEXT);
  if (!block)
    return std::nullopt;
  return ReadText<wchar_t>(block);
}

} // namespace win32compat::script
