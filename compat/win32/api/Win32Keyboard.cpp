// The US keyboard layout and character translation: ToUnicode and TranslateMessage.

#include "Win32Input.h"
#include "Win32KeyboardLayout.h"

#include "Win32Kernel.h"
#include "Win32UserState.h"

#include <array>

namespace win32compat {

namespace {

struct ScanEntry
{
  UINT vk;
  UINT scan;
  bool extended;
};

// The US keyboard's set 1 scan codes.
constexpr ScanEntry kScanCodes[] = {
    {VK_ESCAPE, 0x01, false}, {'1', 0x02, false}, {'2', 0x03, false}, {'3', 0x04, false}, {'4', 0x05, false},
    {'5', 0x06, false}, {'6', 0x07, false}, {'7', 0x08, false}, {'8', 0x09, false}, {'9', 0x0A, false},
    {'0', 0x0B, false}, {VK_OEM_MINUS, 0x0C, false}, {VK_OEM_PLUS, 0x0D, false}, {VK_BACK, 0x0E, false},
    {VK_TAB, 0x0F, false}, {'Q', 0x10, false}, {'W', 0x11, false}, {'E', 0x12, false}, {'R', 0x13, false},
    {'T', 0x14, false}, {'Y', 0x15, false}, {'U', 0x16, false}, {'I', 0x17, false}, {'O', 0x18, false},
    {'P', 0x19, false}, {VK_OEM_4, 0x1A, false}, {VK_OEM_6, 0x1B, false}, {VK_RETURN, 0x1C, false},
    {VK_LCONTROL, 0x1D, false}, {VK_CONTROL, 0x1D, false}, {'A', 0x1E, false}, {'S', 0x1F, false},
    {'D', 0x20, false}, {'F', 0x21, false}, {'G', 0x22, false}, {'H', 0x23, false}, {'J', 0x24, false},
    {'K', 0x25, false}, {'L', 0x26, false}, {VK_OEM_1, 0x27, false}, {VK_OEM_7, 0x28, false},
    {VK_OEM_3, 0x29, false}, {VK_LSHIFT, 0x2A, false}, {VK_SHIFT, 0x2A, false}, {VK_OEM_5, 0x2B, false},
    {'Z', 0x2C, false}, {'X', 0x2D, false}, {'C', 0x2E, false}, {'V', 0x2F, false}, {'B', 0x30, false},
    {'N', 0x31, false}, {'M', 0x32, false}, {VK_OEM_COMMA, 0x33, false}, {VK_OEM_PERIOD, 0x34, false},
    {VK_OEM_2, 0x35, false}, {VK_RSHIFT, 0x36, false}, {VK_MULTIPLY, 0x37, false}, {VK_LMENU, 0x38, false},
    {VK_MENU, 0x38, false}, {VK_SPACE, 0x39, false}, {VK_CAPITAL, 0x3A, false}, {VK_F1, 0x3B, false},
    {VK_F2, 0x3C, false}, {VK_F3, 0x3D, false}, {VK_F4, 0x3E, false}, {VK_F5, 0x3F, false},
    {VK_F6, 0x40, false}, {VK_F7, 0x41, false}, {VK_F8, 0x42, false}, {VK_F9, 0x43, false},
    {VK_F10, 0x44, false}, {VK_NUMLOCK, 0x45, false}, {VK_SCROLL, 0x46, false}, {VK_NUMPAD7, 0x47, false},
    {VK_NUMPAD8, 0x48, false}, {VK_NUMPAD9, 0x49, false}, {VK_SUBTRACT, 0x4A, false},
    {VK_NUMPAD4, 0x4B, false}, {VK_NUMPAD5, 0x4C, false}, {VK_NUMPAD6, 0x4D, false}, {VK_ADD, 0x4E, false},
    {VK_NUMPAD1, 0x4F, false}, {VK_NUMPAD2, 0x50, false}, {VK_NUMPAD3, 0x51, false},
    {VK_NUMPAD0, 0x52, false}, {VK_DECIMAL, 0x53, false}, {VK_OEM_102, 0x56, false}, {VK_F11, 0x57, false},
    {VK_F12, 0x58, false},
    // Extended keys share their codes with the keypad and tell themselves apart by the E0 prefix.
    {VK_RCONTROL, 0x1D, true}, {VK_DIVIDE, 0x35, true}, {VK_RMENU, 0x38, true}, {VK_HOME, 0x47, true},
    {VK_UP, 0x48, true}, {VK_PRIOR, 0x49, true}, {VK_LEFT, 0x4B, true}, {VK_RIGHT, 0x4D, true},
    {VK_END, 0x4F, true}, {VK_DOWN, 0x50, true}, {VK_NEXT, 0x51, true}, {VK_INSERT, 0x52, true},
    {VK_DELETE, 0x53, true}, {VK_LWIN, 0x5B, true}, {VK_RWIN, 0x5C, true}, {VK_APPS, 0x5D, true},
};

struct CharEntry
{
  UINT vk;
  wchar_t normal;
  wchar_t shifted;
};

constexpr CharEntry kCharacters[] = {
    {'0', L'0', L')'}, {'1', L'1', L'!'}, {'2', L'2', L'@'}, {'3', L'3', L'#'}, {'4', L'4', L'$'},
    {'5', L'5', L'%'}, {'6', L'6', L'^'}, {'7', L'7', L'&'}, {'8', L'8', L'*'}, {'9', L'9', L'('},
    {VK_OEM_1, L';', L':'}, {VK_OEM_PLUS, L'=', L'+'}, {VK_OEM_COMMA, L',', L'<'}, {VK_OEM_MINUS, L'-', L'_'},
    {VK_OEM_PERIOD, L'.', L'>'}, {VK_OEM_2, L'/', L'?'}, {VK_OEM_3, L'`', L'~'}, {VK_OEM_4, L'[', L'{'},
    {VK_OEM_5, L'\\', L'|'}, {VK_OEM_6, L']', L'}'}, {VK_OEM_7, L'\'', L'"'}, {VK_OEM_102, L'\\', L'|'},
    {VK_SPACE, L' ', L' '}, {VK_RETURN, L'\r', L'\r'}, {VK_BACK, L'\b', L'\b'}, {VK_TAB, L'\t', L'\t'},
    {VK_ESCAPE, 0x1B, 0x1B}, {VK_MULTIPLY, L'*', L'*'}, {VK_ADD, L'+', L'+'}, {VK_SUBTRACT, L'-', L'-'},
    {VK_DIVIDE, L'/', L'/'}, {VK_DECIMAL, L'.', L'.'},
};

bool Down(const BYTE* state, int vk)
{
  return (state[vk] & 0x80) != 0;
}

bool Toggled(const BYTE* state, int vk)
{
  return (state[vk] & 0x01) != 0;
}

// The character the key gives without Ctrl, or 0.
wchar_t PlainCharacter(UINT vk, bool shift, bool caps)
{
  if (vk >= 'A' && vk <= 'Z')
    return static_cast<wchar_t>((shift != caps) ? vk : vk + ('a' - 'A'));
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
    return static_cast<wchar_t>(L'0' + (vk - VK_NUMPAD0));
  for (const auto& entry : kCharacters)
  {
    if (entry.vk == vk)
      return shift ? entry.shifted : entry.normal;
  }
  return 0;
}

// Ctrl with a key: the ASCII control characters.
wchar_t ControlCharacter(UINT vk, bool shift)
{
  if (vk >= 'A' && vk <= 'Z')
    return static_cast<wchar_t>(vk - 'A' + 1);
  switch (vk)
  {
  case VK_OEM_4: return 0x1B;
  case VK_OEM_5: return 0x1C;
  case VK_OEM_6: return 0x1D;
  case '6': return shift ? 0x1E : 0;
  case VK_OEM_MINUS: return shift ? 0x1F : 0;
  case VK_SPACE: return L' ';
  case VK_BACK: return 0x7F;
  case VK_RETURN: return L'\n';
  case VK_CANCEL: return 0x03;
  case VK_ESCAPE: return 0x1B;
  default: return 0;
  }
}

} // namespace

wchar_t TranslateKey(UINT vk, const BYTE* state)
{
  const bool shift = Down(state, VK_SHIFT) || Down(state, VK_LSHIFT) || Down(state, VK_RSHIFT);
  const bool control = Down(state, VK_CONTROL) || Down(state, VK_LCONTROL) || Down(state, VK_RCONTROL);
  const bool alt = Down(state, VK_MENU) || Down(state, VK_LMENU) || Down(state, VK_RMENU);
  if (control && alt)
    return 0; // AltGr: nothing on this layout
  return control ? ControlCharacter(vk, shift) : PlainCharacter(vk, shift, Toggled(state, VK_CAPITAL));
}

UINT ScanCodeOf(UINT vk)
{
  for (const auto& entry : kScanCodes)
    if (entry.vk == vk)
      return entry.scan;
  return 0;
}

bool IsExtendedKey(UINT vk)
{
  for (const auto& entry : kScanCodes)
    if (entry.vk == vk)
      return entry.extended;
  return false;
}

bool KeyForCharacter(wchar_t c, UINT& vk, bool& shift)
{
  if (c >= L'a' && c <= L'z')
  {
    vk = static_cast<UINT>(c - L'a' + 'A');
    shift = false;
    return true;
  }
  if (c >= L'A' && c <= L'Z')
  {
    vk = static_cast<UINT>(c);
    shift = true;
    return true;
  }
  for (const auto& entry : kCharacters)
  {
    // Characters are typed on the main keyboard, never on the keypad.
    if (entry.vk >= VK_NUMPAD0 && entry.vk <= VK_DIVIDE)
      continue;
    if (entry.normal == c)
    {
      vk = entry.vk;
      shift = false;
      return true;
    }
    if (entry.shifted == c)
    {
      vk = entry.vk;
      shift = true;
      return true;
    }
  }
  return false;
}

} // namespace win32compat

using namespace win32compat;

int ToUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT)
{
  if (!keyState || (scanCode & 0x8000))
    return 0;
  const wchar_t c = TranslateKey(virtualKey, keyState);
  if (c == 0)
    return 0;
  if (buffer && bufferSize > 0)
    buffer[0] = c;
  if (buffer && bufferSize > 1)
    buffer[1] = 0;
  return 1;
}

BOOL TranslateMessage(const MSG* msg)
{
  if (!msg)
    return FALSE;
  const UINT message = msg->message;
  if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
    return FALSE;
  if (message == WM_KEYUP || message == WM_SYSKEYUP)
    return TRUE;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto queue = CurrentQueueLocked(state);
  // Posted messages come before input, so the character arrives before the next key.
  if (const wchar_t c = TranslateKey(static_cast<UINT>(msg->wParam), queue->keyState))
    PostToThreadLocked(state, queue->threadId,
                       MakeMessage(msg->hwnd, message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR,
                                   static_cast<WPARAM>(c), msg->lParam));
  return TRUE;
}
