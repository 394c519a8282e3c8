#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace iplug::igraphics {

// A menu tree shown by the platform's popup menu: items with texts and flags, optional submenus
// (owned by their item), an optional numbering prefix and column length, and the index of the
// item the user chose (−1 while none is chosen).
class IPopupMenu
{
public:
  class Item
  {
  public:
    enum Flags
    {
      kNoFlags = 0,
      kDisabled = 1 << 0,
      kTitle = 1 << 1,
      kChecked = 1 << 2,
      kSeparator = 1 << 3
    };

    Item(const char* text, int flags = kNoFlags, int tag = -1);
    Item(const char* text, std::unique_ptr<IPopupMenu> submenu);

    const std::string& GetText() const { return mText; }
    int GetFlags() const { return mFlags; }
    int GetTag() const { return mTag; }
    bool GetEnabled() const { return !(mFlags & kDisabled); }
    bool GetChecked() const { return (mFlags & kChecked) != 0; }
    bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
    bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
    IPopupMenu* GetSubmenu() const { return mSubmenu.get(); }

    void SetChecked(bool checked) { mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked); }
    void SetEnabled(bool enabled) { mFlags = enabled ? (mFlags & ~kDisabled) : (mFlags | kDisabled); }

  private:
    std::string mText;
    int mFlags = kNoFlags;
    int mTag = -1;
    std::unique_ptr<IPopupMenu> mSubmenu;
  };

  using CompletionFunc = std::function<void(IPopupMenu* menu)>;

  IPopupMenu() = default;
  explicit IPopupMenu(const char* rootTitle) : mRootTitle(rootTitle ? rootTitle : "") {}

  Item* AddItem(const char* text, int flags = Item::kNoFlags, int tag = -1);
  Item* AddItem(const char* text, std::unique_ptr<IPopupMenu> submenu);
  Item* AddSeparator();

  int NItems() const { return static_cast<int>(mItems.size()); }
  // Null for an index out of range.
  Item* GetItem(int idx) const;
  // Text of an item, empty for an index out of range.
  const char* GetItemText(int idx) const;

  // Removes every item and forgets the choice.
  void Clear();

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int idx) { mChosenItemIdx = idx; }
  Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }

  // 0 none, 1 "1: …", 2 "01: …", 3 "001: …".
  int GetPrefix() const { return mPrefix; }
  void SetPrefix(int prefix) { mPrefix = (prefix >= 0 && prefix <= 3) ? prefix : 0; }
  // Items per column; 0 for one column.
  int GetColumnLength() const { return mColumnLength; }
  void SetColumnLength(int length) { mColumnLength = length > 0 ? length : 0; }

  const std::string& GetRootTitle() const { return mRootTitle; }

  void SetCompletionFunc(CompletionFunc func) { mCompletionFunc = std::move(func); }
  const CompletionFunc& GetCompletionFunc() const { return mCompletionFunc; }
  void ExecCompletion()
  {
    if (mCompletionFunc)
      mCompletionFunc(this);
  }

private:
  std::vector<std::unique_ptr<Item>> mItems;
  std::string mRootTitle;
  int mChosenItemIdx = -1;
  int mPrefix = 0;
  int mColumnLength = 0;
  CompletionFunc mCompletionFunc;
};

} // namespace iplug::igraphics
