// The test display on a real Win32 (Windows, or Wine on an X display). Input goes through the
// system's own input path (SetCursorPos and SendInput), so that the system picks the window that
// gets each message, fills in the button and key state, and lets TranslateMessage make the
// characters of the layout; dropped files are posted as the shell posts them. Frames are read
// back through WGL from the window's own colour buffers.

#include "support/TestDisplay.h"

#include "ScreenPicture.h"

#include <array>
#include <cstring>
#include <mutex>
#include <utility>

namespace testdisplay {

namespace {

// The drops handed to windows, until their receiver has freed them (DragFinish).
std::mutex gDropsMutex;
std::vector<HGLOBAL> gDrops;

bool KeyHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return IsWindow(hwnd) && PostMessageW(hwnd, message, wParam, lParam) != FALSE;
}

bool IsExtendedKey(UINT virtualKey)
{
  switch (virtualKey)
  {
  case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
  case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU:
    return true;
  default:
    return false;
  }
}

// The keyboard goes to the foreground window's thread: the window's top-level window must be it.
// Activating it only when it is not keeps the focus where the test put it.
void BringForward(HWND hwnd)
{
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (root && GetForegroundWindow() != root)
    SetForegroundWindow(root);
}

bool SendKey(HWND hwnd, UINT virtualKey, bool up)
{
  if (!IsWindow(hwnd))
    return false;
  BringForward(hwnd);
  UINT key = virtualKey;
  if (key == VK_SHIFT)
    key = VK_LSHIFT;
  else if (key == VK_CONTROL)
    key = VK_LCONTROL;
  else if (key == VK_MENU)
    key = VK_LMENU;
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(key);
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0u);
  return SendInput(1, &input, sizeof(input)) == 1;
}

// The pointer is put where the user would move it, and the system makes the move's message from
// there, as it makes every message of a press: to the window under the pointer or the capture,
// with the real button and key state, and with tracking (TrackMouseEvent) that sees the pointer
// where the message says it is.
bool PlacePointer(HWND hwnd, int x, int y)
{
  POINT screen{x, y};
  return IsWindow(hwnd) && ClientToScreen(hwnd, &screen) && SetCursorPos(screen.x, screen.y);
}

bool SendMouse(DWORD flags, DWORD data, ULONG_PTR extraInfo)
{
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  input.mi.dwExtraInfo = extraInfo;
  return SendInput(1, &input, sizeof(input)) == 1;
}

DWORD ButtonFlags(Button button, bool up)
{
  switch (button)
  {
  case Button::Right:
    return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
  case Button::Middle:
    return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
  case Button::Left:
    break;
  }
  return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
}

bool UnderWine()
{
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// Every window of the process: its top-level windows and all their descendants (which
// EnumChildWindows reaches at any depth).
BOOL CALLBACK CountWindow(HWND, LPARAM counted)
{
  ++*reinterpret_cast<size_t*>(counted);
  return TRUE;
}

BOOL CALLBACK CountProcessWindow(HWND hwnd, LPARAM counted)
{
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId())
  {
    ++*reinterpret_cast<size_t*>(counted);
    EnumChildWindows(hwnd, &CountWindow, counted);
  }
  return TRUE;
}

constexpr std::array<int, 14> kSystemCursors = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                                 32644, 32645, 32646, 32648, 32649, 32650, 32651};

} // namespace

void Reset()
{
  // As the stand-in's display starts: the pointer in the screen's corner, away from where the
  // tests open their windows (a window that appears under the pointer gets a move at once).
  SetCursorPos(0, 0);
  const std::pair<int, DWORD> buttons[] = {
    {VK_LBUTTON, MOUSEEVENTF_LEFTUP}, {VK_RBUTTON, MOUSEEVENTF_RIGHTUP}, {VK_MBUTTON, MOUSEEVENTF_MIDDLEUP}};
  for (const auto& [button, up] : buttons)
    if (KeyHeld(button))
      SendMouse(up, 0, 0);
  for (int key : {VK_LSHIFT, VK_LCONTROL, VK_LMENU})
  {
    if (KeyHeld(key))
    {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = static_cast<WORD>(key);
      input.ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(1, &input, sizeof(input));
    }
  }
}

bool MouseMove(HWND hwnd, int x, int y) { return PlacePointer(hwnd, x, y); }

bool MouseDown(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return PlacePointer(hwnd, x, y) && SendMouse(ButtonFlags(button, false), 0, extraInfo);
}

bool MouseUp(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return PlacePointer(hwnd, x, y) && SendMouse(ButtonFlags(button, true), 0, extraInfo);
}

bool Click(HWND hwnd, int x, int y, Button button)
{
  return MouseMove(hwnd, x, y) && MouseDown(hwnd, x, y, button) && MouseUp(hwnd, x, y, button);
}

bool MouseWheel(HWND hwnd, int x, int y, int delta)
{
  return PlacePointer(hwnd, x, y) && SendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta), 0);
}

bool KeyDown(HWND hwnd, UINT virtualKey) { return SendKey(hwnd, virtualKey, false); }
bool KeyUp(HWND hwnd, UINT virtualKey) { return SendKey(hwnd, virtualKey, true); }
bool KeyPress(HWND hwnd, UINT virtualKey) { return KeyDown(hwnd, virtualKey) && KeyUp(hwnd, virtualKey); }

bool TypeText(HWND hwnd, std::wstring_view text)
{
  for (wchar_t c : text)
  {
    const SHORT scan = VkKeyScanW(c);
    if (scan == -1)
      return false;
    const UINT key = static_cast<UINT>(scan & 0xFF);
    const bool shift = (scan & 0x100) != 0;
    if ((shift && !KeyDown(hwnd, VK_SHIFT)) || !KeyPress(hwnd, key) || (shift && !KeyUp(hwnd, VK_SHIFT)))
      return false;
  }
  return true;
}

bool DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& paths)
{
  // What the shell hands a window that accepts files: a DROPFILES header and the paths, each
  // ended by a zero and the list by another; the receiver frees it with DragFinish.
  size_t chars = 1;
  for (const std::wstring& path : paths)
    chars += path.size() + 1;
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  if (!block)
    return false;
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{x, y};
  header->fNC = FALSE;
  header->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
  for (const std::wstring& path : paths)
  {
    std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    text += path.size() + 1;
  }
  GlobalUnlock(block);
  if (!Post(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
  {
    GlobalFree(block);
    return false;
  }
  std::lock_guard<std::mutex> lock(gDropsMutex);
  gDrops.push_back(block);
  return true;
}

bool SetWindowDpi(HWND, UINT) { return false; }
bool SetDigitizer(int, int) { return false; }
bool Touch(HWND, const std::vector<TouchContact>&) { return false; }

int CursorId(HCURSOR cursor)
{
  if (!cursor)
    return 0;
  for (int id : kSystemCursors)
    if (LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) == cursor)
      return id;
  return 0;
}

HCURSOR CurrentCursor() { return GetCursor(); }

bool CursorVisible()
{
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) != 0;
}

Frame PresentedFrame(HWND hwnd)
{
  aaxhost::ScreenPicture picture = aaxhost::ReadOpenGLFrame(hwnd);
  return Frame{picture.width, picture.height, std::move(picture.rgba)};
}

// A frame is there once a colour buffer holds something other than one flat colour (a window's
// new buffers read back all black), or a colour other than black.
bool HasPresented(HWND hwnd)
{
  const aaxhost::ScreenPicture picture = aaxhost::ReadOpenGLFrame(hwnd);
  if (picture.rgba.size() < 4)
    return false;
  if (!aaxhost::IsFlat(picture))
    return true;
  return picture.rgba[0] != 0 || picture.rgba[1] != 0 || picture.rgba[2] != 0;
}

std::optional<uint64_t> PresentCount(HWND) { return std::nullopt; }

Objects LiveObjects()
{
  Objects objects;
  EnumWindows(&CountProcessWindow, reinterpret_cast<LPARAM>(&objects.windows));
  objects.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles))
    objects.kernelHandles = handles;
  std::lock_guard<std::mutex> lock(gDropsMutex);
  std::erase_if(gDrops, [](HGLOBAL drop) { return GlobalFlags(drop) == GMEM_INVALID_HANDLE; });
  objects.inputHandles = gDrops.size();
  return objects;
}

std::optional<std::string> Unmeasured(Count count)
{
  switch (count)
  {
  case Count::GdiObjects:
    if (UnderWine() && GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) == 0)
      return "Wine does not count a process's GDI objects (GetGuiResources answers 0)";
    return std::nullopt;
  case Count::KernelHandles:
  {
    DWORD handles = 0;
    if (UnderWine() && (!GetProcessHandleCount(GetCurrentProcess(), &handles) || handles == 0))
      return "Wine does not count a process's handles (GetProcessHandleCount answers 0)";
    return std::nullopt;
  }
  case Count::MemoryFonts:
    // The font enumeration lists a face once however often it was added, and not at all apart
    // from the system's own copy of it.
    return "Win32 lists a private font's face, not each time it was added from memory";
  case Count::InputHandles:
    return std::nullopt; // drops only: touch input does not come from this display
  case Count::Frames:
    return "Win32 has no count of the frames a window presented";
  }
  return std::nullopt;
}

} // namespace testdisplay
