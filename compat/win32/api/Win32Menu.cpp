// Menus: in-memory trees, their editing calls, and TrackPopupMenu answering from the script.

#include "Win32Menu.h"

#include "Win32Kernel.h"
#include "Win32LiveObjects.h"
#include "Win32ScriptState.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

using namespace win32compat;

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MFS_HILITE;
constexpr UINT kTypeBits = MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBREAK | MF_MENUBARBREAK | MFT_RADIOCHECK |
                           MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;

struct Item
{
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU submenu = nullptr;
  ULONG_PTR data = 0;
  std::wstring text;
};

struct Menu
{
  bool popup = true;
  std::vector<Item> items;
};

struct Menus
{
  std::mutex mutex;
  std::map<uintptr_t, Menu> menus;
  uintptr_t next = 0xB0000;
};

Menus& AllMenus()
{
  static Menus* menus = new Menus;
  return *menus;
}

Menu* FindLocked(Menus& all, HMENU handle)
{
  auto it = all.menus.find(reinterpret_cast<uintptr_t>(handle));
  return it == all.menus.end() ? nullptr : &it->second;
}

Menu* CheckLocked(Menus& all, HMENU handle)
{
  Menu* menu = FindLocked(all, handle);
  if (!menu)
    SetLastError(ERROR_INVALID_MENU_HANDLE);
  return menu;
}

// The item by identifier (searching submenus, as MF_BYCOMMAND does) or by position, with the menu
// that holds it. Lock held.
Item* LocateLocked(Menus& all, HMENU handle, UINT item, bool byPosition, HMENU* owner = nullptr, size_t* index = nullptr,
                   int depth = 0)
{
  Menu* menu = FindLocked(all, handle);
  if (!menu || depth > 32)
    return nullptr;
  if (byPosition)
  {
    if (item >= menu->items.size())
      return nullptr;
    if (owner)
      *owner = handle;
    if (index)
      *index = item;
    return &menu->items[item];
  }
  for (size_t i = 0; i < menu->items.size(); ++i)
  {
    auto& candidate = menu->items[i];
    if (!candidate.submenu && candidate.id == item)
    {
      if (owner)
        *owner = handle;
      if (index)
        *index = i;
      return &candidate;
    }
    if (candidate.submenu)
      if (Item* inner = LocateLocked(all, candidate.submenu, item, false, owner, index, depth + 1))
        return inner;
  }
  return nullptr;
}

HMENU Create(bool popup)
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  const uintptr_t handle = all.next;
  all.next += 4;
  all.menus[handle] = Menu{popup, {}};
  return reinterpret_cast<HMENU>(handle);
}

void DestroyLocked(Menus& all, HMENU handle, std::set<uintptr_t>& seen)
{
  if (!seen.insert(reinterpret_cast<uintptr_t>(handle)).second)
    return;
  auto it = all.menus.find(reinterpret_cast<uintptr_t>(handle));
  if (it == all.menus.end())
    return;
  const auto items = it->second.items;
  all.menus.erase(it);
  for (const auto& item : items)
    if (item.submenu)
      DestroyLocked(all, item.submenu, seen);
}

BOOL InsertAt(HMENU menu, UINT position, bool byPosition, Item item)
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  Menu* target = CheckLocked(all, menu);
  if (!target)
    return FALSE;
  if (item.submenu && !FindLocked(all, item.submenu))
  {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  size_t index = target->items.size();
  if (byPosition)
    index = std::min<size_t>(position, target->items.size());
  else if (position != static_cast<UINT>(-1))
  {
    HMENU owner = nullptr;
    size_t at = 0;
    if (LocateLocked(all, menu, position, false, &owner, &at))
    {
      target = FindLocked(all, owner);
      index = at;
    }
  }
  target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
  return TRUE;
}

// Reads a MENUITEMINFO (A or W) into an item, updating only the fields its mask names.
template <typename Info>
bool ApplyInfo(const Info* info, Item& item)
{
  if (!info || info->cbSize != sizeof(Info))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto textOf = [](auto text) -> std::wstring {
    if (!text || IS_INTRESOURCE(text))
      return std::wstring();
    if constexpr (sizeof(*text) == 1)
      return Widen(reinterpret_cast<const char*>(text));
    else
      return std::wstring(reinterpret_cast<const wchar_t*>(text));
  };
  const UINT mask = info->fMask;
  if (mask & MIIM_TYPE)
  {
    item.type = info->fType & kTypeBits;
    if (!(item.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)))
      item.text = textOf(info->dwTypeData);
  }
  if (mask & MIIM_FTYPE)
    item.type = info->fType & kTypeBits;
  if (mask & MIIM_STRING)
    item.text = textOf(info->dwTypeData);
  if (mask & MIIM_STATE)
    item.state = info->fState & kStateBits;
  if (mask & MIIM_ID)
    item.id = info->wID;
  if (mask & MIIM_SUBMENU)
    item.submenu = info->hSubMenu;
  if (mask & MIIM_DATA)
    item.data = info->dwItemData;
  return true;
}

template <typename Info>
BOOL InsertItem(HMENU menu, UINT position, BOOL byPosition, const Info* info)
{
  Item item;
  if (!ApplyInfo(info, item))
    return FALSE;
  return InsertAt(menu, position, byPosition != FALSE, std::move(item));
}

template <typename Info>
BOOL SetItem(HMENU menu, UINT position, BOOL byPosition, const Info* info)
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  if (!CheckLocked(all, menu))
    return FALSE;
  Item* item = LocateLocked(all, menu, position, byPosition != FALSE);
  if (!item)
    return FALSE;
  Item changed = *item;
  if (!ApplyInfo(info, changed))
    return FALSE;
  *item = std::move(changed);
  return TRUE;
}

template <typename Info>
BOOL GetItem(HMENU menu, UINT position, BOOL byPosition, Info* info)
{
  if (!info || info->cbSize != sizeof(Info))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  if (!CheckLocked(all, menu))
    return FALSE;
  const Item* item = LocateLocked(all, menu, position, byPosition != FALSE);
  if (!item)
    return FALSE;
  const UINT mask = info->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE))
    info->fType = item->type;
  if (mask & MIIM_STATE)
    info->fState = item->state;
  if (mask & MIIM_ID)
    info->wID = item->id;
  if (mask & MIIM_SUBMENU)
    info->hSubMenu = item->submenu;
  if (mask & MIIM_DATA)
    info->dwItemData = item->data;
  if (mask & (MIIM_STRING | MIIM_TYPE))
  {
    if constexpr (sizeof(*info->dwTypeData) == 1)
    {
      const std::string text = Narrow(item->text);
      if (!info->dwTypeData || info->cch == 0)
        info->cch = static_cast<UINT>(text.size());
      else
        info->cch = static_cast<UINT>(CopyOut(text, info->dwTypeData, static_cast<int>(info->cch)));
    }
    else
    {
      if (!info->dwTypeData || info->cch == 0)
        info->cch = static_cast<UINT>(item->text.size());
      else
        info->cch = static_cast<UINT>(CopyOut(item->text, info->dwTypeData, static_cast<int>(info->cch)));
    }
  }
  return TRUE;
}

// What the script sees of a menu. Lock held.
std::vector<script::MenuItemShown> ShowLocked(Menus& all, HMENU handle, int depth)
{
  std::vector<script::MenuItemShown> shown;
  const Menu* menu = FindLocked(all, handle);
  if (!menu || depth > 32)
    return shown;
  for (const auto& item : menu->items)
  {
    script::MenuItemShown entry;
    entry.text = item.text;
    entry.id = item.id;
    entry.type = item.type;
    entry.state = item.state;
    entry.popup = item.submenu != nullptr;
    if (item.submenu)
      entry.submenu = ShowLocked(all, item.submenu, depth + 1);
    shown.push_back(std::move(entry));
  }
  return shown;
}

// Whether a user could pick the item with this identifier.
bool Choosable(const std::vector<script::MenuItemShown>& items, UINT id)
{
  for (const auto& item : items)
  {
    if (item.popup)
    {
      if (!(item.state & MFS_DISABLED) && Choosable(item.submenu, id))
        return true;
      continue;
    }
    if (item.id == id && !(item.type & MFT_SEPARATOR) && !(item.state & MFS_DISABLED))
      return true;
  }
  return false;
}

} // namespace

namespace win32compat {

size_t LiveMenus()
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  return all.menus.size();
}

} // namespace win32compat

HMENU CreateMenu()
{
  return Create(false);
}

HMENU CreatePopupMenu()
{
  return Create(true);
}

BOOL DestroyMenu(HMENU menu)
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  if (!CheckLocked(all, menu))
    return FALSE;
  std::set<uintptr_t> seen;
  DestroyLocked(all, menu, seen);
  return TRUE;
}

namespace {

bool MenuExists(HMENU menu)
{
  auto& all = AllMenus();
  std::lock_guard<std::mutex> lock(all.mutex);
  return FindLocked(all, menu) != nullptr;
}

} // namespace

BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info)
{
  return InsertItem(menu, item, byPosition, info);
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, owner);
    if (!window)
      return FALSE;
    if (window->threadId != GetCurrentThreadId())
    {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  if (!MenuExists(menu))
  {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!(flags & TPM_NONOTIFY))
  {
    SendMessageW(owner, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  }

  script::MenuShown shown;
  shown.owner = owner;
  shown.at = POINT{x, y};
  shown.flags = flags;
  {
    auto& all = AllMenus();
    std::lock_guard<std::mutex> lock(all.mutex);
    shown.items = ShowLocked(all, menu, 0);
  }
  UINT chosen = 0;
  if (auto answer = TakeMenuAnswer())
    chosen = answer(shown);
  if (chosen != 0 && !Choosable(shown.items, chosen))
    chosen = 0; // no user could have picked that
  shown.chosen = chosen;
  Record(shown);

  if (!(flags & TPM_NONOTIFY))
  {
    SendMessageW(owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(owner, WM_EXITMENULOOP, TRUE, 0);
  }
  if (flags & TPM_RETURNCMD)
    return static_cast<BOOL>(chosen);
  if (chosen != 0 && !(flags & TPM_NONOTIFY))
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
  return TRUE;
}

