// The EDIT control: text, selection, typing, the limit, notifications and its colours.

#include "Win32Controls.h"

#include "Win32Clipboard.h"
#include "Win32Gdi.h"
#include "Win32Input.h"
#include "Win32Memory.h"
#include "Win32Paint.h"
#include "Win32SystemClasses.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

using namespace win32compat;

namespace {

constexpr UINT kDefaultLimit = 0x7FFFFFFE;

struct EditState
{
  std::wstring text;
  size_t anchor = 0; // the fixed end of the selection
  size_t caret = 0;  // the moving end
  UINT limit = kDefaultLimit;
  HFONT font = nullptr;
  RECT formatRect{};
  bool formatRectSet = false;
  bool modified = false;
};

struct EditFacts
{
  DWORD style = 0;
  HWND parent = nullptr;
  LONG_PTR id = 0;
  RECT client{};
};

EditFacts FactsOf(HWND hwnd)
{
  EditFacts facts;
  facts.style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  facts.parent = GetParent(hwnd);
  facts.id = GetWindowLongPtrW(hwnd, GWLP_ID);
  GetClientRect(hwnd, &facts.client);
  return facts;
}

void Notify(HWND hwnd, WORD code)
{
  const auto facts = FactsOf(hwnd);
  if (facts.parent)
    SendMessageW(facts.parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(facts.id), code), reinterpret_cast<LPARAM>(hwnd));
}

size_t SelectionStart(const EditState& edit)
{
  return std::min(edit.anchor, edit.caret);
}

size_t SelectionEnd(const EditState& edit)
{
  return std::max(edit.anchor, edit.caret);
}

// Replaces the selection with the text, cut to the limit. Returns whether anything changed; sets
// `refused` when the limit cut something off.
bool ReplaceSelection(EditState& edit, std::wstring insert, bool& refused)
{
  const size_t start = SelectionStart(edit);
  const size_t end = SelectionEnd(edit);
  const size_t kept = edit.text.size() - (end - start);
  refused = false;
  if (kept + insert.size() > edit.limit)
  {
    refused = true;
    insert.resize(edit.limit > kept ? edit.limit - kept : 0);
  }
  if (start == end && insert.empty())
    return false;
  edit.text.replace(start, end - start, insert);
  edit.anchor = edit.caret = start + insert.size();
  edit.modified = true;
  return true;
}

void AfterEdit(HWND hwnd, bool changed, bool refused)
{
  if (refused)
    Notify(hwnd, EN_MAXTEXT);
  if (changed)
  {
    InvalidateRect(hwnd, nullptr, TRUE);
    Notify(hwnd, EN_CHANGE);
  }
}

void Insert(HWND hwnd, EditState& edit, std::wstring insert)
{
  bool refused = false;
  const bool changed = ReplaceSelection(edit, std::move(insert), refused);
  AfterEdit(hwnd, changed, refused);
}

void DeleteAround(HWND hwnd, EditState& edit, bool before)
{
  if (edit.anchor == edit.caret)
  {
    if (before && edit.caret > 0)
      edit.anchor = edit.caret - ((edit.caret >= 2 && edit.text.compare(edit.caret - 2, 2, L"\r\n") == 0) ? 2 : 1);
    else if (!before && edit.caret < edit.text.size())
      edit.anchor = edit.caret + ((edit.text.compare(edit.caret, 2, L"\r\n") == 0) ? 2 : 1);
  }
  Insert(hwnd, edit, std::wstring());
}

void Copy(HWND hwnd, const EditState& edit)
{
  const std::wstring selected = edit.text.substr(SelectionStart(edit), SelectionEnd(edit) - SelectionStart(edit));
  if (selected.empty() || !OpenClipboard(hwnd))
    return;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (selected.size() + 1) * sizeof(wchar_t));
  if (auto* data = static_cast<wchar_t*>(GlobalLock(block)))
  {
    std::memcpy(data, selected.c_str(), (selected.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block))
      GlobalFree(block);
  }
  CloseClipboard();
}

void Paste(HWND hwnd, EditState& edit, DWORD style)
{
  if (!OpenClipboard(hwnd))
    return;
  std::wstring text;
  if (HGLOBAL block = GetClipboardData(CF_UNICODETEXT))
    if (const auto* data = static_cast<const wchar_t*>(GlobalLock(block)))
    {
      const size_t count = GlobalSize(block) / sizeof(wchar_t);
      text.assign(data, std::find(data, data + count, L'\0'));
      GlobalUnlock(block);
    }
  CloseClipboard();
  if (!(style & ES_MULTILINE))
  {
    // A single line takes the pasted text up to its first line break, as the real control does.
    const size_t lineEnd = text.find_first_of(L"\r\n");
    if (lineEnd != std::wstring::npos)
      text.resize(lineEnd);
  }
  Insert(hwnd, edit, text);
}

void TypeCharacter(HWND hwnd, EditState& edit, wchar_t c, DWORD style)
{
  switch (c)
  {
  case 0x01: // Ctrl+A
    edit.anchor = 0;
    edit.caret = edit.text.size();
    return;
  case 0x03: // Ctrl+C
    Copy(hwnd, edit);
    return;
  case 0x16: // Ctrl+V
    if (!(style & ES_READONLY))
      Paste(hwnd, edit, style);
    return;
  case 0x18: // Ctrl+X
    if (!(style & ES_READONLY))
    {
      Copy(hwnd, edit);
      Insert(hwnd, edit, std::wstring());
    }
    return;
  default: break;
  }
  if (style & ES_READONLY)
    return;
  if (c == L'\b')
  {
    DeleteAround(hwnd, edit, true);
    return;
  }
  if (c == L'\r')
  {
    if (style & ES_MULTILINE)
      Insert(hwnd, edit, L"\r\n");
    return;
  }
  if (c == L'\t' && !(style & ES_MULTILINE))
    return;
  if (c < 0x20 && c != L'\t')
    return;
  if ((style & ES_NUMBER) && !(c >= L'0' && c <= L'9'))
    return;
  if (style & ES_UPPERCASE)
    c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  else if (style & ES_LOWERCASE)
    c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  Insert(hwnd, edit, std::wstring(1, c));
}

void MoveCaret(EditState& edit, size_t to)
{
  edit.caret = std::min(to, edit.text.size());
  if (!(GetKeyState(VK_SHIFT) & 0x8000))
    edit.anchor = edit.caret;
}

void KeyDown(HWND hwnd, EditState& edit, UINT vk, DWORD style)
{
  switch (vk)
  {
  case VK_LEFT:
    if (edit.caret > 0)
      MoveCaret(edit, edit.caret - 1);
    else
      MoveCaret(edit, 0);
    break;
  case VK_RIGHT: MoveCaret(edit, edit.caret + 1); break;
  case VK_HOME: MoveCaret(edit, 0); break;
  case VK_END: MoveCaret(edit, edit.text.size()); break;
  case VK_DELETE:
    if (!(style & ES_READONLY))
      DeleteAround(hwnd, edit, false);
    break;
  default: break;
  }
}

void SetSelection(EditState& edit, WPARAM start, LPARAM end)
{
  const auto size = static_cast<LONG_PTR>(edit.text.size());
  const auto s = static_cast<LONG_PTR>(static_cast<int>(start));
  const auto e = static_cast<LONG_PTR>(static_cast<int>(end));
  if (s == -1)
  {
    edit.anchor = edit.caret; // removes the selection
    return;
  }
  const LONG_PTR from = std::clamp<LONG_PTR>(s, 0, size);
  const LONG_PTR to = e < 0 ? size : std::clamp<LONG_PTR>(e, 0, size);
  edit.anchor = static_cast<size_t>(from);
  edit.caret = static_cast<size_t>(to);
}

void Paint(HWND hwnd, DWORD style)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc)
    return;
  // The parent chooses the colours; the control keeps them on its DC and would draw with them.
  if (HWND parent = GetParent(hwnd))
  {
    const UINT message = (style & ES_READONLY) || !IsWindowEnabled(hwnd) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    if (!SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)))
      DefWindowProcW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
  }
  EndPaint(hwnd, &ps);
}

} // namespace

namespace win32compat {

LRESULT CALLBACK EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto edit = ControlState<EditState>(hwnd);
  if (!edit)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  switch (message)
  {
  case WM_NCCREATE:
  {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
      edit->text = cs->lpszName;
    return TRUE;
  }
  case WM_SETTEXT:
    edit->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
    edit->anchor = edit->caret = 0;
    edit->modified = false;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (!(style & ES_MULTILINE))
      Notify(hwnd, EN_CHANGE);
    return TRUE;
  case WM_GETTEXT:
    return CopyOut(edit->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFF)));
  case WM_GETTEXTLENGTH:
    return static_cast<LRESULT>(edit->text.size());
  case WM_SETFONT:
    edit->font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam))
      InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  case WM_GETFONT:
    return reinterpret_cast<LRESULT>(edit->font);
  case WM_CHAR:
    TypeCharacter(hwnd, *edit, static_cast<wchar_t>(wParam), style);
    return 0;
  case WM_KEYDOWN:
    KeyDown(hwnd, *edit, static_cast<UINT>(wParam), style);
    return 0;
  case WM_GETDLGCODE:
    return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | ((style & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
  case WM_SETFOCUS:
    Notify(hwnd, EN_SETFOCUS);
    return 0;
  case WM_KILLFOCUS:
    Notify(hwnd, EN_KILLFOCUS);
    return 0;
  case WM_LBUTTONDOWN:
    SetFocus(hwnd);
    return 0;
  case WM_PAINT:
    Paint(hwnd, style);
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_COPY:
    Copy(hwnd, *edit);
    return 0;
  case WM_CUT:
    if (!(style & ES_READONLY))
    {
      Copy(hwnd, *edit);
      Insert(hwnd, *edit, std::wstring());
    }
    return 0;
  case WM_PASTE:
    if (!(style & ES_READONLY))
      Paste(hwnd, *edit, style);
    return 0;
  case WM_CLEAR:
    if (!(style & ES_READONLY))
      Insert(hwnd, *edit, std::wstring());
    return 0;
  case EM_GETSEL:
  {
    const size_t start = SelectionStart(*edit);
    const size_t end = SelectionEnd(*edit);
    if (wParam)
      *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    if (lParam)
      *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELRESULT(start, end);
  }
  case EM_SETSEL:
    SetSelection(*edit, wParam, lParam);
    return 0;
  case EM_REPLACESEL:
    if (lParam)
      Insert(hwnd, *edit, reinterpret_cast<LPCWSTR>(lParam));
    return 0;
  case EM_LIMITTEXT:
    edit->limit = wParam ? static_cast<UINT>(std::min<WPARAM>(wParam, kDefaultLimit)) : kDefaultLimit;
    return 0;
  case EM_GETLIMITTEXT:
    return edit->limit;
  case EM_SETRECT:
  case EM_SETRECTNP:
    if (lParam)
    {
      edit->formatRect = *reinterpret_cast<const RECT*>(lParam);
      edit->formatRectSet = true;
    }
    else
      edit->formatRectSet = false;
    return 0;
  case EM_GETRECT:
    if (lParam)
      *reinterpret_cast<RECT*>(lParam) = edit->formatRectSet ? edit->formatRect : FactsOf(hwnd).client;
    return 0;
  case EM_GETMODIFY:
    return edit->modified ? TRUE : FALSE;
  case EM_SETMODIFY:
    edit->modified = wParam != 0;
    return 0;
  case EM_GETLINECOUNT:
    return (style & ES_MULTILINE) ? 1 + std::count(edit->text.begin(), edit->text.end(), L'\n') : 1;
  case EM_SETREADONLY:
    SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wParam ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY))));
    return TRUE;
  case EM_CANUNDO:
  case EM_UNDO:
  case WM_UNDO:
    return FALSE;
  default:
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

} // namespace win32compat
