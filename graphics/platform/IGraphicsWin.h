#pragma once

// The editor's Windows graphics context: its child window, OpenGL context and display clock, the
// window procedure that turns messages into input, and the platform services (text entry, popup
// menus, clipboard, message box, choosers, shell, platform fonts).
//
// Index of this header:
//   1. Construction and the IGraphics operations of the window layer
//   2. Platform services
//   3. Window procedure, display clock, scale
//   4. Members
//
// Threads: everything runs on the UI thread that opened the window, except the display-clock
// thread, which touches only the clock state it shares with this object (never the object
// itself): it counts ticks there and posts them to the window until the state is stopped. The two font caches are shared by every editor of the process, each under
// its own lock; when both are taken, the font-resource cache lock comes first.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

// The system's headers before OpenGL's, which take their calling-convention macros from them.
#include "PlatformWindows.h"

#include "IGraphicsVectorGL.h"

namespace iplug {
class IParam;
} // namespace iplug

namespace iplug::igraphics {

struct DisplayClockState;

class IGraphicsWin : public IGraphicsVectorGL
{
public:
  // A font made by the system: its handle, and the style name that picks its face out of a
  // collection when the font bytes are read back.
  class Font : public PlatformFont
  {
  public:
    // A font made from bytes owns the private font it was added as (`installed`) until the
    // font caches take it over; a font that is never cached takes its bytes away with it.
    Font(HFONT font, const char* styleName, bool isSystem, HANDLE installed = nullptr);
    ~Font() override;

    void* GetDescriptor() override { return mFont; }
    std::unique_ptr<FontData> GetFontData() override;
    // Hands the private font over (null for a system font, or when already handed over).
    HANDLE TakeInstalled() { return std::exchange(mInstalled, nullptr); }

  private:
    HFONT mFont;
    std::string mStyleName;
    HANDLE mInstalled;
  };

  // ---- 1. Construction and the window layer (UI thread) ----------------------------------------
  IGraphicsWin(IGEditorDelegate* dlg, int width, int height, int fps = 60, float drawScale = 1.f);
  ~IGraphicsWin() override;

  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType = kArrowCursor) override;

  void* OpenPlatformWindow(void* pParent) override;
  void ClosePlatformWindow() override;
  void* GetPlatformWindow() override { return mPlugWnd; }
  bool PlatformWindowIsOpen() override { return mPlugWnd != nullptr; }

  const char* GetPlatformAPIString() override { return "win32"; }
  void SetModuleInstance(void* instance) override { mHInstance = static_cast<HINSTANCE>(instance); }
  void* GetModuleInstance() const override { return mHInstance; }

  void ActivateGLContext() override;
  void DeactivateGLContext() override;

  bool PlatformSupportsMultiTouch() const override;
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void PlatformResize(bool parentHasResized) override;

  // ---- 2. Platform services (UI thread; the choosers, boxes and menus are modal) ---------------
  void CancelPlatformTextEntry() override;
  bool GetTextFromClipboard(std::string& str) override;
  bool SetTextInClipboard(const char* str) override;
  void NotifyPopupMenu(IPopupMenu&) override {}
  EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                               IMsgBoxCompletionHandlerFunc completion = nullptr) override;
  void PromptForFile(std::string& fileName, std::string& path, EFileAction action = EFileAction::Open,
                     const char* ext = "", IFileDialogCompletionHandlerFunc completion = nullptr) override;
  void PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion = nullptr) override;
  bool PromptForColor(IColor& color, const char* str = "", IColorPickerHandlerFunc completion = nullptr) override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  bool RevealPath(const char* path, bool select) override;

  // ---- 3. Scale, for tests and the host ----------------------------------------------------------
  // The window's DPI ÷ 96 (1 when the system cannot tell).
  static float GetScaleForWindow(HWND hwnd);

  // The text-entry states.
  enum ETextEntryState : int32_t
  {
    kTextEntryNone = 0,
    kTextEntryFocused = 1,
    kTextEntryDrawn = 2,
    kTextEntryCancel = 3,
    kTextEntryCommit = 4,
  };
  int32_t GetTextEntryState() const { return mParamEditMsg; }
  HWND GetTextEntryWindow() const { return mParamEditWnd; }

protected:
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override;
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync) override;
  void DrawResize() override;
  renderer::GetProcAddressFn GetGLProcAddress() const override;
  bool WindowKeepsFrame() const override { return mSwapKeepsFrame; }

private:
  // Window procedure and its parts (IGraphicsWin.cpp).
  static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnDisplayTick(int32_t count);
  void Paint();
  bool HandleKey(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void HandleTouch(WPARAM wParam, LPARAM lParam);
  IMouseEvent MouseEventFromMessage(WPARAM wParam, LPARAM lParam);
  void ShowTooltip();
  void HideTooltip();

  // Display clock (IGraphicsWin.cpp).
  void StartDisplayClock(HWND hWnd);
  void StopDisplayClock();
  static DWORD WINAPI DisplayClockThread(LPVOID param);
  int32_t DisplayTickCount() const;

  // OpenGL context (IGraphicsWin.cpp).
  bool CreateGLContext();
  void DestroyGLContext();

  // Every context counts itself in and out of the process-wide font caches; the last one out
  // empties them (IGraphicsWin_Fonts.cpp).
  static void RetainFontCaches();
  static void ReleaseFontCaches();

  // Platform text entry (IGraphicsWin_TextEntry.cpp).
  static LRESULT CALLBACK ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void CommitTextEntry();
  void DestroyTextEntry();

  // Popup menus (IGraphicsWin_PopupMenu.cpp).
  HMENU CreateMenu(IPopupMenu& menu, long* offsetIdx);
  IPopupMenu* GetItemMenu(long idx, long& idxInMenu, long& offsetIdx, IPopupMenu& baseMenu);

  // The host's top-level window, found on first use (IGraphicsWin_Services.cpp).
  HWND GetMainWnd();

  // ---- 4. Members, in order ------------------------------------------------------------------
  HGLRC mHGLRC = nullptr;
  HDC mStartHDC = nullptr;
  HGLRC mStartHGLRC = nullptr;
  HINSTANCE mHInstance = nullptr;
  HWND mPlugWnd = nullptr;
  HWND mParamEditWnd = nullptr;
  HWND mTooltipWnd = nullptr;
  HWND mParentWnd = nullptr;
  HWND mMainWnd = nullptr;
  WNDPROC mDefEditProc = nullptr;
  HFONT mEditFont = nullptr;
  DWORD mPID = 0;
  // What the clock thread shares with this object; the thread holds its own reference, so a
  // thread still blocked in a wait when the editor closes outlives nothing it uses.
  std::shared_ptr<DisplayClockState> mDisplayClock;
  HANDLE mVBlankThread = INVALID_HANDLE_VALUE;
  int32_t mVBlankSkipUntil = 0;
  bool mVSYNCEnabled = false;
  IParam* mEditParam = nullptr;
  ITextStyle mEditText;
  IRect mEditRect;
  int32_t mParamEditMsg = kTextEntryNone;
  bool mShowingTooltip = false;
  float mHiddenCursorX = 0.f;
  float mHiddenCursorY = 0.f;
  int mTooltipIdx = -1;
  std::string mMainWndClassName;
  // Last position of every active touch, by touch identifier.
  std::unordered_map<int64_t, IMouseEvent> mTouchPoints;
  // The pixel format's buffer swap copies, so the back buffer keeps the last frame.
  bool mSwapKeepsFrame = false;
  // The client size when the context was last made current: the back buffer follows it.
  SIZE mBackBufferSize{0, 0};
  // From the opening until the first display tick has looked at the window's scale (on a 150 %
  // display that tick is the one that sizes the window for good).
  bool mOpening = false;
};

} // namespace iplug::igraphics
