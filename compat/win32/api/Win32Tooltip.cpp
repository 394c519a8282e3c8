// The tooltip control and the common-control initialisation that registers it.

#include "Win32Controls.h"

#include "Win32Input.h"
#include "Win32SystemClasses.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>
#include <cstring>

using namespace win32compat;

namespace {

struct Tool
{
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  HINSTANCE instance = nullptr;
  std::wstring text;
  bool callback = false; // LPSTR_TEXTCALLBACK: the owner is asked for the text
  LPARAM lParam = 0;
};

struct TooltipState
{
  std::vector<Tool> tools;
  int maxWidth = -1;
  bool active = true;
  bool shown = false;
  int delays[4] = {500, 500, 5000, 100}; // automatic, reshow, autopop, initial (milliseconds)
  POINT trackPosition{};
};

// What a TOOLINFO (A or W) says, read within the size the caller declared. The text is read only
// when it is an input: for the queries, lpszText is the caller's buffer.
template <typename Info>
bool ReadTool(const Info* info, Tool& tool, bool readText)
{
  if (!info || info->cbSize < static_cast<UINT>(offsetof(Info, lParam)) || info->cbSize > sizeof(Info))
    return false;
  tool.flags = info->uFlags;
  tool.hwnd = info->hwnd;
  tool.id = info->uId;
  tool.rect = info->rect;
  tool.instance = info->hinst;
  tool.lParam = info->cbSize >= offsetof(Info, lpReserved) ? info->lParam : 0;
  tool.callback = false;
  if (!readText)
    return true;
  const auto text = info->lpszText;
  if (reinterpret_cast<INT_PTR>(text) == -1)
    tool.callback = true;
  else if (text && !IS_INTRESOURCE(text))
  {
    if constexpr (sizeof(*text) == 1)
      tool.text = Widen(reinterpret_cast<const char*>(text));
    else
      tool.text = reinterpret_cast<const wchar_t*>(text);
  }
  else
    tool.text.clear(); // NULL, or a string resource the stand-in does not have
  return true;
}

template <typename Info>
void WriteTool(const Tool& tool, Info* info)
{
  info->uFlags = tool.flags;
  info->hwnd = tool.hwnd;
  info->uId = tool.id;
  info->rect = tool.rect;
  info->hinst = tool.instance;
  if (info->cbSize >= offsetof(Info, lpReserved))
    info->lParam = tool.lParam;
}

template <typename Info>
void WriteText(const Tool& tool, Info* info, WPARAM capacity)
{
  if (!info || !info->lpszText || IS_INTRESOURCE(info->lpszText))
    return;
  // Older callers pass no size; the control then assumes the traditional 80 characters.
  const int size = capacity ? static_cast<int>(std::min<WPARAM>(capacity, 0x7FFFFFFF)) : 80;
  if constexpr (sizeof(*info->lpszText) == 1)
    CopyOut(Narrow(tool.text), reinterpret_cast<char*>(info->lpszText), size);
  else
    CopyOut(tool.text, reinterpret_cast<wchar_t*>(info->lpszText), size);
}

std::vector<Tool>::iterator FindTool(TooltipState& state, const Tool& key)
{
  return std::find_if(state.tools.begin(), state.tools.end(),
                      [&key](const Tool& t) { return t.hwnd == key.hwnd && t.id == key.id; });
}

template <typename Info>
LRESULT HandleTool(TooltipState& state, UINT kind, WPARAM wParam, LPARAM lParam)
{
  auto* info = reinterpret_cast<Info*>(lParam);
  Tool tool;
  const bool textIsInput = kind == TTM_ADDTOOLW || kind == TTM_UPDATETIPTEXTW || kind == TTM_SETTOOLINFOW;
  if (!ReadTool(info, tool, textIsInput))
    return FALSE;
  auto it = FindTool(state, tool);
  switch (kind)
  {
  case TTM_ADDTOOLW:
    if (it != state.tools.end())
      *it = tool;
    else
      state.tools.push_back(tool);
    return TRUE;
  case TTM_DELTOOLW:
    if (it != state.tools.end())
      state.tools.erase(it);
    return 0;
  case TTM_UPDATETIPTEXTW:
    if (it != state.tools.end())
    {
      it->text = tool.text;
      it->callback = tool.callback;
      if (it->text.empty() && !it->callback)
        state.shown = false; // nothing left to show
    }
    return 0;
  case TTM_NEWTOOLRECTW:
    if (it != state.tools.end())
      it->rect = tool.rect;
    return 0;
  case TTM_SETTOOLINFOW:
    if (it != state.tools.end())
      *it = tool;
    return 0;
  case TTM_GETTOOLINFOW:
    if (it == state.tools.end())
      return FALSE;
    WriteTool(*it, info);
    WriteText(*it, info, 0);
    return TRUE;
  case TTM_GETTEXTW:
    if (it != state.tools.end())
      WriteText(*it, info, wParam);
    else if (info->lpszText && !IS_INTRESOURCE(info->lpszText))
      info->lpszText[0] = 0;
    return 0;
  default:
    return 0;
  }
}

} // namespace

namespace win32compat {

LRESULT CALLBACK TooltipWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto state = ControlState<TooltipState>(hwnd);
  if (!state)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message)
  {
  case TTM_ADDTOOLA: return HandleTool<TTTOOLINFOA>(*state, TTM_ADDTOOLW, wParam, lParam);
  case TTM_ADDTOOLW: return HandleTool<TTTOOLINFOW>(*state, TTM_ADDTOOLW, wParam, lParam);
  case TTM_DELTOOLA: return HandleTool<TTTOOLINFOA>(*state, TTM_DELTOOLW, wParam, lParam);
  case TTM_DELTOOLW: return HandleTool<TTTOOLINFOW>(*state, TTM_DELTOOLW, wParam, lParam);
  case TTM_UPDATETIPTEXTA: return HandleTool<TTTOOLINFOA>(*state, TTM_UPDATETIPTEXTW, wParam, lParam);
  case TTM_UPDATETIPTEXTW: return HandleTool<TTTOOLINFOW>(*state, TTM_UPDATETIPTEXTW, wParam, lParam);
  case TTM_NEWTOOLRECTA: return HandleTool<TTTOOLINFOA>(*state, TTM_NEWTOOLRECTW, wParam, lParam);
  case TTM_NEWTOOLRECTW: return HandleTool<TTTOOLINFOW>(*state, TTM_NEWTOOLRECTW, wParam, lParam);
  case TTM_SETTOOLINFOA: return HandleTool<TTTOOLINFOA>(*state, TTM_SETTOOLINFOW, wParam, lParam);
  case TTM_SETTOOLINFOW: return HandleTool<TTTOOLINFOW>(*state, TTM_SETTOOLINFOW, wParam, lParam);
  case TTM_GETTOOLINFOA: return HandleTool<TTTOOLINFOA>(*state, TTM_GETTOOLINFOW, wParam, lParam);
  case TTM_GETTOOLINFOW: return HandleTool<TTTOOLINFOW>(*state, TTM_GETTOOLINFOW, wParam, lParam);
  case TTM_GETTEXTA: return HandleTool<TTTOOLINFOA>(*state, TTM_GETTEXTW, wParam, lParam);
  case TTM_GETTEXTW: return HandleTool<TTTOOLINFOW>(*state, TTM_GETTEXTW, wParam, lParam);
  case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(state->tools.size());
  case TTM_SETMAXTIPWIDTH:
  {
    const int previous = state->maxWidth;
    state->maxWidth = static_cast<int>(lParam);
    return previous;
  }
  case TTM_GETMAXTIPWIDTH: return state->maxWidth;
  case TTM_ACTIVATE:
    state->active = wParam != 0;
    if (!state->active)
      state->shown = false;
    return 0;
  case TTM_POPUP:
    state->shown = state->active && !state->tools.empty();
    return 0;
  case TTM_POP:
    state->shown = false;
    return 0;
  case TTM_SETDELAYTIME:
    if (wParam <= 3)
      state->delays[wParam] = static_cast<int>(LOWORD(lParam));
    return 0;
  case TTM_GETDELAYTIME: return wParam <= 3 ? state->delays[wParam] : 0;
  case TTM_TRACKACTIVATE:
    state->shown = wParam != 0 && state->active;
    return 0;
  case TTM_TRACKPOSITION:
    state->trackPosition = POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    return 0;
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

} // namespace win32compat

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX))
    return FALSE;
  if (init->dwICC & (ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES))
    RegisterSystemClass(TOOLTIPS_CLASSW, TooltipWindowProc, CS_DBLCLKS | CS_SAVEBITS, 0,
                        LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
  return TRUE;
}
