#include <string>
#include <vector>

#include "PlatformServicesFixture.h"
#include "platform/PlatformFontCaches.h"

namespace platformtest {
namespace {

namespace display = testdisplay;

std::wstring WindowText(HWND hwnd)
{
  WCHAR text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

// A face that is not all black, so that a display that reads frames back sees the first arrive.
class FilledControl : public IControl
{
public:
  using IControl::IControl;
  void Draw(IGraphics& g) override { g.FillRect(IColor(255, 90, 120, 200), GetRECT()); }
};

std::wstring ClassOf(HWND hwnd)
{
  WCHAR name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

class TextEntryTest : public OpenEditorTest
{
protected:
  // Opens the entry of a control linked to the parameter, as a click on its value would.
  EntryControl* Prompt(int paramIdx)
  {
    auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(20, 20, 120, 60), paramIdx)));
    graphics->PromptUserInput(*control, 0);
    return control;
  }

  HWND Entry() const { return graphics->GetTextEntryWindow(); }

  void Type(const std::wstring& text)
  {
    ASSERT_TRUE(display::TypeText(Entry(), text));
    PumpUntil([] { return false; }, 50);
  }

  bool EntryGone()
  {
    return PumpUntil([&] { return Entry() == nullptr; });
  }
};

TEST_F(TextEntryTest, EntryIsAFocusedEditChildOverTheControlWithItsTextSelected)
{
  Prompt(0);
  HWND entry = Entry();
  ASSERT_TRUE(entry);
  // The system registers the class as "Edit", whatever the case it was created by.
  EXPECT_EQ(ClassOf(entry), L"Edit");
  EXPECT_EQ(GetParent(entry), editor);
  EXPECT_EQ(GetDlgCtrlID(entry), 99);
  EXPECT_EQ(GetFocus(), entry);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryFocused);
  EXPECT_EQ(WindowText(entry), L"0.0");

  const LONG style = GetWindowLongW(entry, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_AUTOHSCROLL);
  EXPECT_TRUE(style & ES_CENTER);
  // Centred, the field wraps (Windows ignores ES_AUTOHSCROLL there): without this, what does not
  // fit the box's one line could not be typed.
  EXPECT_TRUE(style & ES_AUTOVSCROLL);

  DWORD start = 0, end = 0;
  SendMessageW(entry, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(SendMessageW(entry, EM_GETLIMITTEXT, 0, 0), 7);

  // The entry box of the control is 40 x 16 around its centre (70, 40).
  RECT rect{};
  GetWindowRect(entry, &rect);
  POINT origin{0, 0};
  ClientToScreen(editor, &origin);
  EXPECT_EQ(rect.left - origin.x, 50);
  EXPECT_EQ(rect.top - origin.y, 32);
  EXPECT_EQ(rect.right - rect.left, 41);
  EXPECT_EQ(rect.bottom - rect.top, 17);
  // One 14-pixel line centred in the 16-pixel box.
  RECT format{};
  SendMessageW(entry, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.top, 1);
}

// The field asks its parent for its colours each time it paints, and it paints while the user
// types in it: the style's colours must be what it gets then, not the system's.
TEST_F(TextEntryTest, TheFocusedEntryPaintsInTheStylesColours)
{
  auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(20, 20, 120, 60), 0)));
  ITextStyle style = control->GetText();
  style.textEntryBGColor = IColor(255, 20, 30, 40);
  style.textEntryFGColor = IColor(255, 200, 210, 220);
  control->SetText(style);
  graphics->PromptUserInput(*control, 0);
  ASSERT_TRUE(Entry());
  ASSERT_EQ(GetFocus(), Entry());
  ASSERT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryFocused);

  HDC dc = GetDC(Entry());
  const LRESULT brush = SendMessageW(editor, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Entry()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH)));
  // Each setter answers the colour it replaces: what the message left in the device context.
  EXPECT_EQ(SetBkColor(dc, RGB(0, 0, 0)), RGB(20, 30, 40));
  EXPECT_EQ(SetDCBrushColor(dc, RGB(0, 0, 0)), RGB(20, 30, 40));
  EXPECT_EQ(SetTextColor(dc, RGB(0, 0, 0)), RGB(200, 210, 220));
  ReleaseDC(Entry(), dc);

  // The click that cancels a focused entry still does.
  ASSERT_TRUE(display::Click(editor, 250, 150));
  ASSERT_TRUE(EntryGone());
  EXPECT_TRUE(dlg.paramValues.empty());
}

TEST_F(TextEntryTest, ReturnCommitsTheTypedValueToTheParameter)
{
  EntryControl* control = Prompt(0);
  Type(L"12.5");
  EXPECT_EQ(WindowText(Entry()), L"12.5");
  ASSERT_TRUE(display::KeyPress(Entry(), VK_RETURN));
  ASSERT_TRUE(EntryGone());

  ASSERT_EQ(dlg.paramValues.size(), 1u);
  EXPECT_EQ(dlg.paramValues[0].paramIdx, 0);
  EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), 12.5);
  EXPECT_TRUE(control->completions.empty());
  EXPECT_EQ(graphics->ControlAwaitingTextEntry(), nullptr);
  EXPECT_EQ(graphics->GetTextEntryState(), IGraphicsWin::kTextEntryNone);
}

TEST_F(TextEntryTest, EscapeAndAClickOnTheEditorCancel)
{
  Prompt(0);
  Type(L"7");
  ASSERT_TRUE(display::KeyPress(Entry(), VK_ESCAPE));
  ASSERT_TRUE(EntryGone());

  Prompt(1);
  Type(L"3");
  ASSERT_TRUE(display::Click(editor, 250, 150));
  ASSERT_TRUE(EntryGone());

  EXPECT_TRUE(dlg.paramValues.empty());
  EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), 0.0);
  EXPECT_DOUBLE_EQ(dlg.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(graphics->ControlAwaitingTextEntry(), nullptr);
}

TEST_F(TextEntryTest, CharactersAreFilteredByTheParameterType)
{
  struct Case
  {
    int paramIdx;
    const wchar_t* typed;
    const wchar_t* kept;
  };
  const Case cases[] = {
    {1, L"1a2.5x-+", L"125-+"}, // integer: digits and signs only
    {0, L"-1.5e", L"-1.5"},     // double: the point as well
    {-1, L"Warm 1.5", L"Warm 1.5"}, // no parameter: everything
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.paramIdx);
    auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(20, 20, 120, 60))));
    control->SetTextEntryLength(20);
    graphics->AwaitTextEntry(control, 0);
    graphics->CreatePlatformTextEntry(c.paramIdx, ITextStyle(), IRect(50, 32, 90, 48), 20, "");
    ASSERT_TRUE(Entry());
    Type(c.typed);
    EXPECT_EQ(WindowText(Entry()), c.kept);
    // Backspace always passes.
    ASSERT_TRUE(display::KeyPress(Entry(), VK_BACK));
    PumpUntil([] { return false; }, 30);
    EXPECT_EQ(WindowText(Entry()), std::wstring(c.kept).substr(0, wcslen(c.kept) - 1));
    graphics->CancelPlatformTextEntry();
    ASSERT_TRUE(EntryGone());
  }
}

TEST_F(TextEntryTest, AnEntryWithoutAParameterHandsItsTextToTheControl)
{
  auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(20, 20, 120, 60))));
  graphics->AwaitTextEntry(control, -1);
  graphics->CreatePlatformTextEntry(-1, ITextStyle(), IRect(50, 32, 90, 48), 31, "Preset ü");
  ASSERT_TRUE(Entry());
  EXPECT_EQ(WindowText(Entry()), L"Preset ü");
  // A second entry while one is open is refused.
  HWND first = Entry();
  graphics->CreatePlatformTextEntry(-1, ITextStyle(), IRect(0, 0, 10, 10), 31, "other");
  EXPECT_EQ(Entry(), first);

  ASSERT_TRUE(display::KeyPress(Entry(), VK_END));
  Type(L" ");
  // A character no key types, as an input method delivers it.
  PostMessageW(Entry(), WM_CHAR, 0x2713, 1);
  PumpUntil([] { return false; }, 30);
  // Moving the focus away commits as well.
  SetFocus(editor);
  ASSERT_TRUE(EntryGone());
  ASSERT_EQ(control->completions.size(), 1u);
  EXPECT_EQ(control->completions[0].first, "Preset ü ✓");
  EXPECT_EQ(control->completions[0].second, -1);
  EXPECT_TRUE(dlg.paramValues.empty());
}

TEST_F(TextEntryTest, EntryFontIsTheCachedFontAtThePhysicalSize)
{
  PlatformFontPtr font = graphics->LoadPlatformFont("Roboto-Regular", kRobotoFile);
  ASSERT_TRUE(font);
  graphics->CachePlatformFont("Roboto-Regular", font);
  // The first frames make the window's own device context; count from after them, once a frame
  // has reached the screen and the count has held still for a few ticks (a loaded machine may
  // draw the first frame well after the window opened).
  graphics->AttachControl(new FilledControl(graphics->GetBounds()));
  ASSERT_TRUE(PumpUntil([&] { return display::HasPresented(editor); }, 10000));
  const std::optional<std::string> gdiUncounted = display::Unmeasured(display::Count::GdiObjects);
  size_t gdiBefore = display::LiveObjects().gdiObjects;
  for (int settled = 0; settled < 3;)
  {
    PumpUntil([] { return false; }, 50);
    const size_t now = display::LiveObjects().gdiObjects;
    settled = now == gdiBefore ? settled + 1 : 0;
    gdiBefore = now;
  }

  ITextStyle style(20.f);
  style.align = EAlign::Near;
  style.valign = EVAlign::Top;
  graphics->CreatePlatformTextEntry(-1, style, IRect(10, 10, 110, 40), 10, "x");
  ASSERT_TRUE(Entry());
  if (!gdiUncounted)
  {
    EXPECT_EQ(display::LiveObjects().gdiObjects, gdiBefore + 1);
  }
  EXPECT_EQ(GetWindowLongW(Entry(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), 0);
  auto entryFont = reinterpret_cast<HFONT>(SendMessageW(Entry(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(entryFont);
  LOGFONTW logFont{};
  ASSERT_NE(GetObjectW(entryFont, sizeof(logFont), &logFont), 0);
  EXPECT_EQ(logFont.lfHeight, 20);
  EXPECT_STREQ(logFont.lfFaceName, L"Roboto");

  graphics->CancelPlatformTextEntry();
  ASSERT_TRUE(EntryGone());
  // The entry's window and its font are gone with it.
  EXPECT_EQ(display::LiveObjects().gdiObjects, gdiBefore);
  if (gdiUncounted)
    GTEST_SKIP() << "the entry's font was checked, its GDI objects not: " << *gdiUncounted;
}

} // namespace
} // namespace platformtest
