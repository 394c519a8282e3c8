// Native popup menus of the Windows graphics context. The IPopupMenu tree becomes a system menu
// whose identifiers number the items depth first: each menu takes the next block of identifiers
// for its own items, then each of its submenus, in item order, takes the block after that. The
// same walk finds the (sub)menu of a chosen identifier again.

#include "IGraphicsWin.h"

#include <cstdio>
#include <string>

#include "WideText.h"

namespace iplug::igraphics {

namespace {

// The system reports identifier 0 as "nothing chosen", so item n is identifier n + 1.
constexpr long kFirstCommandID = 1;
// Numbered item texts are cut to this many characters.
constexpr int kMaxNumberedTextChars = 50;
// Menus this long are left in one column: the system scrolls them instead.
constexpr int kMaxItemsForColumns = 160;

std::wstring ItemText(const IPopupMenu& menu, int idx, const std::string& text)
{
  std::wstring wide;
  const int prefix = menu.GetPrefix();
  if (prefix >= 1 && prefix <= 3)
  {
    static const char* const kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
    const int needed = std::snprintf(nullptr, 0, kFormats[prefix - 1], idx + 1, text.c_str());
    std::string numbered(needed > 0 ? static_cast<size_t>(needed) : 0, '\0');
    if (needed > 0)
      std::snprintf(numbered.data(), numbered.size() + 1, kFormats[prefix - 1], idx + 1, text.c_str());
    wide = UTF8ToWide(numbered.c_str(), kMaxNumberedTextChars);
  }
  else
  {
    wide = UTF8ToWide(text.c_str());
  }

  // A single '&' would underline the next letter as a keyboard mnemonic and vanish.
  std::wstring escaped;
  escaped.reserve(wide.size());
  for (WCHAR c : wide)
  {
    escaped.push_back(c);
    if (c == L'&')
      escaped.push_back(L'&');
  }
  return escaped;
}

} // namespace

HMENU IGraphicsWin::CreateMenu(IPopupMenu& menu, long* offsetIdx)
{
  const int nItems = menu.NItems();
  const long first = *offsetIdx;
  *offsetIdx += nItems;

  HMENU hMenu = CreatePopupMenu();
  const int columnLength = menu.GetColumnLength();
  for (int i = 0; i < nItems; ++i)
  {
    IPopupMenu::Item* item = menu.GetItem(i);
    // The submenu's block is taken even when the system cannot make the menu, so that the
    // identifiers of everything after it stay where GetItemMenu looks for them.
    HMENU hSubmenu = item->GetSubmenu() ? CreateMenu(*item->GetSubmenu(), offsetIdx) : nullptr;
    if (!hMenu)
    {
      if (hSubmenu)
        DestroyMenu(hSubmenu);
      continue;
    }

    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    std::wstring text;
    if (item->GetIsSeparator())
    {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    }
    else
    {
      text = ItemText(menu, i, item->GetText());
      info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE;
      info.fType = MFT_STRING;
      info.dwTypeData = text.data();
      info.cch = static_cast<UINT>(text.size());
      info.wID = static_cast<UINT>(first + i + kFirstCommandID);
      if (!item->GetEnabled())
        info.fState |= MFS_GRAYED;
      if (item->GetIsTitle())
        info.fState |= MFS_DISABLED;
      if (item->GetChecked())
        info.fState |= MFS_CHECKED;
      if (hSubmenu)
      {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = hSubmenu;
      }
    }
    const int position = i + 1;
    if (nItems < kMaxItemsForColumns && columnLength > 0 && position > 1 && (position - 1) % columnLength == 0)
      info.fType |= MFT_MENUBREAK;

    if (!InsertMenuItemW(hMenu, static_cast<UINT>(i), TRUE, &info) && hSubmenu)
      DestroyMenu(hSubmenu);
  }
  return hMenu;
}

IPopupMenu* IGraphicsWin::GetItemMenu(long idx, long& idxInMenu, long& offsetIdx, IPopupMenu& baseMenu)
{
  const long first = offsetIdx;
  const long nItems = baseMenu.NItems();
  offsetIdx += nItems;
  if (idx >= first && idx < first + nItems)
  {
    idxInMenu = idx - first;
    return &baseMenu;
  }
  for (long i = 0; i < nItems; ++i)
  {
    IPopupMenu::Item* item = baseMenu.GetItem(static_cast<int>(i));
    if (item && item->GetSubmenu())
    {
      if (IPopupMenu* found = GetItemMenu(idx, idxInMenu, offsetIdx, *item->GetSubmenu()))
        return found;
    }
  }
  return nullptr;
}

IPopupMenu* IGraphicsWin::CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync)
{
  isAsync = false;
  if (!mPlugWnd)
    return nullptr;

  long nextIdx = 0;
  HMENU hMenu = CreateMenu(menu, &nextIdx);
  if (!hMenu)
    return nullptr;

  const float k = GetBackingPixelScale();
  POINT at{static_cast<LONG>(k * bounds.L), static_cast<LONG>(k * bounds.B)};
  ClientToScreen(mPlugWnd, &at);

  IPopupMenu* chosenMenu = nullptr;
  if (TrackPopupMenu(hMenu, TPM_LEFTALIGN, at.x, at.y, 0, mPlugWnd, nullptr))
  {
    // The choice arrives as a WM_COMMAND posted to the window; only a menu's (high word 0) counts.
    MSG msg;
    if (PeekMessageW(&msg, mPlugWnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) && HIWORD(msg.wParam) == 0 &&
        PeekMessageW(&msg, mPlugWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
    {
      const long idx = static_cast<long>(LOWORD(msg.wParam)) - kFirstCommandID;
      long idxInMenu = 0;
      long offsetIdx = 0;
      chosenMenu = idx >= 0 ? GetItemMenu(idx, idxInMenu, offsetIdx, menu) : nullptr;
      if (chosenMenu)
      {
        chosenMenu->SetChosenItemIdx(static_cast<int>(idxInMenu));
        chosenMenu->ExecCompletion();
      }
    }
  }

  DestroyMenu(hMenu);
  RECT whole{0, 0, static_cast<LONG>(Width() * k), static_cast<LONG>(Height() * k)};
  InvalidateRect(mPlugWnd, &whole, FALSE);
  return chosenMenu;
}

} // namespace iplug::igraphics
