#include "IPopupMenu.h"

namespace iplug::igraphics {

IPopupMenu::Item::Item(const char* text, int flags, int tag)
  : mText(text ? text : ""), mFlags(flags), mTag(tag)
{
}

IPopupMenu::Item::Item(const char* text, std::unique_ptr<IPopupMenu> submenu)
  : mText(text ? text : ""), mSubmenu(std::move(submenu))
{
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int flags, int tag)
{
  mItems.push_back(std::make_unique<Item>(text, flags, tag));
  return mItems.back().get();
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, std::unique_ptr<IPopupMenu> submenu)
{
  mItems.push_back(std::make_unique<Item>(text, std::move(submenu)));
  return mItems.back().get();
}

IPopupMenu::Item* IPopupMenu::AddSeparator() { return AddItem("", Item::kSeparator); }

IPopupMenu::Item* IPopupMenu::GetItem(int idx) const
{
  if (idx < 0 || idx >= NItems())
    return nullptr;
  return mItems[static_cast<size_t>(idx)].get();
}

const char* IPopupMenu::GetItemText(int idx) const
{
  const Item* item = GetItem(idx);
  return item ? item->GetText().c_str() : "";
}

void IPopupMenu::Clear()
{
  mItems.clear();
  mChosenItemIdx = -1;
}

} // namespace iplug::igraphics
