#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "PlatformServicesFixture.h"
#include "win32/testing/Win32Display.h"
#include "win32/testing/Win32Script.h"

namespace platformtest {
namespace {

namespace script = win32compat::script;
using win32compat::display::LiveObjects;

using PopupMenuTest = OpenEditorTest;

const script::MenuItemShown* FindItem(const std::vector<script::MenuItemShown>& items, const std::wstring& text)
{
  for (const script::MenuItemShown& item : items)
  {
    if (item.text == text)
      return &item;
    if (const script::MenuItemShown* found = FindItem(item.submenu, text))
      return found;
  }
  return nullptr;
}

// Chooses the item shown with this text.
void Choose(const std::wstring& text)
{
  script::AnswerMenu([text](const script::MenuShown& shown) {
    const script::MenuItemShown* item = FindItem(shown.items, text);
    return item ? item->id : 0u;
  });
}

TEST_F(PopupMenuTest, ItemsReachTheSystemMenuWithTheirTextsAndFlags)
{
  IPopupMenu menu;
  menu.AddItem("Bass & Treble");
  menu.AddItem("Muted", IPopupMenu::Item::kDisabled);
  menu.AddItem("Section", IPopupMenu::Item::kTitle);
  menu.AddItem("Chosen", IPopupMenu::Item::kChecked);
  menu.AddSeparator();
  bool isAsync = true;
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(10, 20, 60, 40), isAsync), nullptr);
  EXPECT_FALSE(isAsync);

  const std::vector<script::MenuShown> menus = script::Menus();
  ASSERT_EQ(menus.size(), 1u);
  const script::MenuShown& shown = menus[0];
  EXPECT_EQ(shown.owner, editor);
  // The bounds' bottom-left corner, on the screen: the host frame is at (100, 50).
  EXPECT_EQ(shown.at.x, 110);
  EXPECT_EQ(shown.at.y, 90);
  ASSERT_EQ(shown.items.size(), 5u);
  EXPECT_EQ(shown.items[0].text, L"Bass && Treble");
  EXPECT_EQ(shown.items[0].state, 0u);
  EXPECT_EQ(shown.items[1].state & MFS_GRAYED, static_cast<UINT>(MFS_GRAYED));
  EXPECT_EQ(shown.items[2].state & MFS_DISABLED, static_cast<UINT>(MFS_DISABLED));
  EXPECT_EQ(shown.items[3].state & MFS_CHECKED, static_cast<UINT>(MFS_CHECKED));
  EXPECT_TRUE(shown.items[4].type & MFT_SEPARATOR);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

TEST_F(PopupMenuTest, NumberingPrefixesAndColumns)
{
  struct Case
  {
    int prefix;
    const wchar_t* ninth;
  };
  const Case cases[] = {{0, L"Item 9"}, {1, L"9: Item 9"}, {2, L"09: Item 9"}, {3, L"009: Item 9"}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.prefix);
    script::Reset();
    IPopupMenu menu;
    menu.SetPrefix(c.prefix);
    menu.SetColumnLength(4);
    for (int i = 1; i <= 10; ++i)
      menu.AddItem(("Item " + std::to_string(i)).c_str());
    bool isAsync = false;
    graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync);
    ASSERT_EQ(script::Menus().size(), 1u);
    const std::vector<script::MenuItemShown> items = script::Menus()[0].items;
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[8].text, c.ninth);
    // Columns of four: items 5 and 9 start new ones.
    for (size_t i = 0; i < items.size(); ++i)
      EXPECT_EQ((items[i].type & MFT_MENUBREAK) != 0, i == 4 || i == 8) << i;
  }
}

TEST_F(PopupMenuTest, NumberedTextsAreCutAtFiftyCharacters)
{
  IPopupMenu menu;
  menu.SetPrefix(2);
  menu.AddItem(std::string(80, 'x').c_str());
  menu.AddItem("R&B");
  bool isAsync = false;
  graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync);
  ASSERT_EQ(script::Menus().size(), 1u);
  EXPECT_EQ(script::Menus()[0].items[0].text, L"01: " + std::wstring(46, L'x'));
  EXPECT_EQ(script::Menus()[0].items[1].text, L"02: R&&B");
}

TEST_F(PopupMenuTest, TheChosenItemIsSetInItsOwnSubmenuWhoseCompletionRuns)
{
  IPopupMenu menu;
  std::vector<std::string> completed;
  menu.SetCompletionFunc([&](IPopupMenu* m) { completed.push_back("root:" + std::to_string(m->GetChosenItemIdx())); });
  menu.AddItem("Flat");
  auto shapes = std::make_unique<IPopupMenu>();
  IPopupMenu* shapesMenu = shapes.get();
  shapes->AddItem("Shelf");
  auto deeper = std::make_unique<IPopupMenu>();
  IPopupMenu* deeperMenu = deeper.get();
  deeper->AddItem("Gentle");
  deeper->AddItem("Steep");
  deeper->SetCompletionFunc([&](IPopupMenu* m) { completed.push_back("deeper:" + std::to_string(m->GetChosenItemIdx())); });
  shapes->AddItem("Slopes", std::move(deeper));
  menu.AddItem("Shapes", std::move(shapes));
  menu.AddItem("Bright");

  const size_t menusBefore = LiveObjects().menus;
  bool isAsync = false;
  Choose(L"Steep");
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), deeperMenu);
  EXPECT_EQ(deeperMenu->GetChosenItemIdx(), 1);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(shapesMenu->GetChosenItemIdx(), -1);

  Choose(L"Bright");
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 2);

  // The first item of the root menu can be chosen like any other.
  Choose(L"Flat");
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 0);

  Choose(L"Shelf");
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), shapesMenu);
  EXPECT_EQ(shapesMenu->GetChosenItemIdx(), 0);

  // Dismissed: nothing chosen, no completion.
  script::AnswerMenu(0u);
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), nullptr);

  EXPECT_EQ(completed, (std::vector<std::string>{"deeper:1", "root:2", "root:0"}));
  // Identifiers are unique across the tree.
  std::vector<UINT> ids;
  std::function<void(const std::vector<script::MenuItemShown>&)> collect = [&](const auto& items) {
    for (const auto& item : items)
    {
      ids.push_back(item.id);
      collect(item.submenu);
    }
  };
  collect(script::Menus()[0].items);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
  // Every system menu, submenus included, is gone again.
  EXPECT_EQ(LiveObjects().menus, menusBefore);
}

TEST_F(PopupMenuTest, AParameterWithDisplayTextsIsSetFromTheMenu)
{
  auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(20, 20, 120, 60), 2)));
  control->SetDisablePrompt(false);
  Choose(L"on");
  graphics->PromptUserInput(*control, 0);
  ASSERT_EQ(script::Menus().size(), 1u);
  ASSERT_EQ(script::Menus()[0].items.size(), 2u);
  EXPECT_TRUE(script::Menus()[0].items[0].state & MFS_CHECKED);
  EXPECT_DOUBLE_EQ(dlg.GetParam(2)->Value(), 1.0);
}

TEST_F(PopupMenuTest, WithoutAWindowNoMenuIsShown)
{
  graphics->ClosePlatformWindow();
  IPopupMenu menu;
  menu.AddItem("Only");
  bool isAsync = true;
  EXPECT_EQ(graphics->CreatePlatformPopupMenu(menu, IRect(), isAsync), nullptr);
  EXPECT_FALSE(isAsync);
  EXPECT_TRUE(script::Menus().empty());
}

} // namespace
} // namespace platformtest
