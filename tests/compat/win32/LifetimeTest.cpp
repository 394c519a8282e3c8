#include "WindowTestSupport.h"
#include "WindowsUsage.h"

using namespace win32test;
namespace display = win32compat::display;
namespace script = win32compat::script;

namespace {

class Lifetime : public Win32Test
{
};

// One opening and closing of an editor-like window: GL context, paint, text entry, tooltip, menu,
// font, clipboard and a drop, all released again the way the window layer releases them.
void OpenUseAndClose(HWND host)
{
  Recorder log;
  HGLRC context = nullptr;
  log.handler = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_PAINT && context)
    {
      usage::PaintWithGl(hwnd, context, 0.2f, 0.4f, 0.6f);
      result = 0;
      return true;
    }
    if (message == WM_DROPFILES)
      DragFinish(reinterpret_cast<HDROP>(wParam));
    return false;
  };
  HWND editor = MakeWindow(log, 0, 0, 120, 60, host, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  context = usage::CreateGlContext(editor);
  DragAcceptFiles(editor, TRUE);
  display::DropFiles(editor, 5, 5, {L"/tmp/x.wav"});
  Pump();

  HWND edit = CreateWindowExW(0, L"EDIT", L"1.0", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 2, 2, 40, 14, editor,
                              reinterpret_cast<HMENU>(99), nullptr, nullptr);
  LOGFONTW lf{};
  wcscpy(lf.lfFaceName, L"Roboto");
  HFONT font = CreateFontIndirectW(&lf);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  usage::TextEntry entry;
  usage::InstallTextEntry(edit, entry);
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.previous));
  DestroyWindow(edit);
  DeleteObject(font);

  const INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
  InitCommonControlsEx(&init);
  // A popup owned through a child window is owned by that child's top-level window, so it outlives
  // the child unless destroyed on its own.
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, editor, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), host);

  HMENU menu = CreatePopupMenu();
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_STRING;
  item.wID = 1;
  item.dwTypeData = const_cast<wchar_t*>(L"One");
  InsertMenuItemW(menu, 0, TRUE, &item);
  script::AnswerMenu(1);
  TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, editor, nullptr);
  DestroyMenu(menu);

  usage::PutTextOnClipboard(editor, "text");

  DestroyWindow(tip);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  DestroyWindow(editor);
}

TEST_F(Lifetime, OpeningAndClosingManyTimesLeavesNothingBehind)
{
  OnFreshThread([] {
    Recorder hostLog;
    HWND host = MakeWindow(hostLog, 0, 0, 400, 300);
    OpenUseAndClose(host); // first use fills the process-wide caches (fonts, classes)
    script::SetClipboardText(L""); // the clipboard's block is not the editor's
    const auto before = display::LiveObjects();
    for (int i = 0; i < 25; ++i)
    {
      OpenUseAndClose(host);
      script::SetClipboardText(L"");
    }
    const auto after = display::LiveObjects();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.glContexts, before.glContexts);
    EXPECT_EQ(after.glSurfaces, before.glSurfaces);
    EXPECT_EQ(after.frames, before.frames);
    EXPECT_EQ(after.menus, before.menus);
    EXPECT_EQ(after.globalBlocks, before.globalBlocks);
    EXPECT_EQ(after.kernelHandles, before.kernelHandles);
    EXPECT_EQ(after.inputHandles, before.inputHandles);
    EXPECT_EQ(after.memoryFonts, before.memoryFonts);
    DestroyWindow(host);
  });
  EXPECT_EQ(display::LiveObjects().glSurfaces, 0u);
}

} // namespace
