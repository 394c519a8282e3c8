// The platform text entry of the Windows graphics context: a native EDIT field laid over a
// control, whose keys and focus changes only mark what should happen; the next display tick
// commits or removes it, outside the EDIT control's own message handling.

#include "IGraphicsWin.h"

#include <mutex>

#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IParam.h"
#include "PlatformFontCaches.h"
#include "WideText.h"

namespace iplug::igraphics {

namespace {

constexpr int kTextEntryControlID = 99;
// Initial texts longer than this are cut; the editor's display texts are far shorter.
constexpr int kMaxInitialTextChars = 31;
// What a commit reads back from the field.
constexpr int kMaxCommittedTextChars = 255;
// Notification code of a WM_COMMAND that means "accept" (as a default push button sends it).
constexpr WORD kAcceptNotification = 1;

bool IsDigit(WPARAM c) { return c >= '0' && c <= '9'; }

// Whether a typed character may enter the text of a parameter of this type.
bool CharacterFitsParam(IParam::EParamType type, WPARAM c)
{
  switch (type)
  {
  case IParam::kTypeBool:
  case IParam::kTypeInt:
  case IParam::kTypeEnum:
    return IsDigit(c) || c == '+' || c == '-';
  case IParam::kTypeDouble:
    return IsDigit(c) || c == '+' || c == '-' || c == '.';
  default:
    return true;
  }
}

} // namespace

void IGraphicsWin::CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                                           const char* str)
{
  if (mParamEditWnd)
    return;

  const float k = GetBackingPixelScale();
  DWORD align = ES_LEFT;
  if (text.align == EAlign::Center)
    align = ES_CENTER;
  else if (text.align == EAlign::Far)
    align = ES_RIGHT;

  const int width = static_cast<int>(bounds.W() * k);
  const int height = static_cast<int>(bounds.H() * k);
  const std::wstring initial = UTF8ToWide(str, kMaxInitialTextChars);
  // A multi-line field that is centred or right-aligned ignores ES_AUTOHSCROLL and wraps instead;
  // without ES_AUTOVSCROLL it would then refuse every character past the first line, and a value
  // wider than the box could not be typed. It scrolls to the line being typed in instead.
  mParamEditWnd = CreateWindowExW(0, L"EDIT", initial.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | ES_MULTILINE |
                                    ES_AUTOHSCROLL | ES_AUTOVSCROLL | align,
                                  static_cast<int>(bounds.L * k), static_cast<int>(bounds.T * k), width + 1,
                                  height + 1, mPlugWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryControlID)),
                                  mHInstance, nullptr);
  if (!mParamEditWnd)
  {
    // No field will ever report back: the control must not keep waiting for one.
    mInTextEntry = nullptr;
    mTextEntryValIdx = -1;
    return;
  }

  {
    std::lock_guard<std::mutex> lock(FontHandleCache().Mutex());
    if (const CachedFontHandle* cached = FontHandleCache().Find(text.font, 1.0))
    {
      LOGFONTW logFont{};
      if (GetObjectW(cached->Get(), sizeof(logFont), &logFont) != 0)
      {
        logFont.lfHeight = static_cast<LONG>(k * text.size);
        mEditFont = CreateFontIndirectW(&logFont);
      }
    }
  }

  IGEditorDelegate* delegate = GetDelegate();
  mEditParam = (delegate && paramIdx >= 0 && paramIdx < delegate->NParams()) ? delegate->GetParam(paramIdx) : nullptr;
  mEditText = text;
  mEditRect = bounds;

  SendMessageW(mParamEditWnd, EM_LIMITTEXT, static_cast<WPARAM>(length > 0 ? length : 0), 0);
  if (mEditFont)
    SendMessageW(mParamEditWnd, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), 0);
  SendMessageW(mParamEditWnd, EM_SETSEL, 0, -1);

  if (text.valign == EVAlign::Middle)
  {
    // The field is as tall as the control's entry bounds; one line of text sits in its middle.
    RECT format{0, static_cast<LONG>((bounds.H() * k - k * text.size) / 2.f), width + 1, height + 1};
    SendMessageW(mParamEditWnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
  }

  // Our procedure goes in before the focus moves, so that the field's state records the focus it
  // gets: a click on the editor then cancels the entry instead of committing it.
  mDefEditProc = reinterpret_cast<WNDPROC>(
    SetWindowLongPtrW(mParamEditWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWin::ParamEditProc)));
  SetFocus(mParamEditWnd);
}

LRESULT CALLBACK IGraphicsWin::ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* self = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(GetParent(hWnd), GWLP_USERDATA));
  if (!self || self->mParamEditWnd != hWnd || !self->mDefEditProc)
    return DefWindowProcW(hWnd, msg, wParam, lParam);

  // The tip of the control under the pointer would cover the field being typed in.
  if (self->mShowingTooltip)
    self->HideTooltip();

  switch (msg)
  {
  case WM_SETFOCUS:
    self->mParamEditMsg = kTextEntryFocused;
    break;
  case WM_KILLFOCUS:
    self->mParamEditMsg = kTextEntryCommit;
    break;
  case WM_GETDLGCODE:
  {
    LRESULT code = CallWindowProcW(self->mDefEditProc, hWnd, msg, wParam, lParam);
    const MSG* asked = reinterpret_cast<const MSG*>(lParam);
    // A dialog-style host would otherwise take Return for its default button.
    if (asked && asked->message == WM_KEYDOWN && wParam == VK_RETURN)
      code |= DLGC_WANTMESSAGE;
    return code;
  }
  case WM_KEYDOWN:
    if (wParam == VK_RETURN)
    {
      self->mParamEditMsg = kTextEntryCommit;
      return 0;
    }
    if (wParam == VK_ESCAPE)
    {
      self->mParamEditMsg = kTextEntryCancel;
      return 0;
    }
    break;
  case WM_CHAR:
    if (self->mEditParam && wParam != VK_BACK && !CharacterFitsParam(self->mEditParam->Type(), wParam))
      return 0;
    break;
  case WM_COMMAND:
    if (HIWORD(wParam) == kAcceptNotification)
    {
      self->mParamEditMsg = kTextEntryCommit;
      return 0;
    }
    break;
  default:
    break;
  }
  return CallWindowProcW(self->mDefEditProc, hWnd, msg, wParam, lParam);
}

void IGraphicsWin::CommitTextEntry()
{
  if (!mParamEditWnd)
    return;
  WCHAR buffer[kMaxCommittedTextChars + 1] = {};
  const int count = GetWindowTextW(mParamEditWnd, buffer, kMaxCommittedTextChars + 1);
  const std::string text = WideToUTF8(buffer, count > 0 ? count : 0);

  IControl* control = mInTextEntry;
  const int valIdx = mTextEntryValIdx;
  mInTextEntry = nullptr;
  mTextEntryValIdx = -1;
  if (!control)
    return;

  const IParam* param = valIdx >= 0 ? control->GetParam(valIdx) : nullptr;
  if (param)
    control->SetValueFromUserInput(param->ToNormalized(param->ParseValue(text.c_str())), valIdx);
  else
    control->OnTextEntryCompletion(text.c_str(), valIdx);
}

void IGraphicsWin::DestroyTextEntry()
{
  if (!mParamEditWnd)
    return;
  HWND edit = mParamEditWnd;
  // Our procedure goes first, so that the messages of the destruction (losing the focus among
  // them) do not mark a commit for a field that no longer exists.
  if (mDefEditProc)
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mDefEditProc));
  mParamEditWnd = nullptr;
  mDefEditProc = nullptr;
  DestroyWindow(edit);
  if (mEditFont)
  {
    DeleteObject(mEditFont);
    mEditFont = nullptr;
  }
  mEditParam = nullptr;
}

void IGraphicsWin::CancelPlatformTextEntry() { mParamEditMsg = kTextEntryCancel; }

} // namespace iplug::igraphics
