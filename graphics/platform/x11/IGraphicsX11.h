#pragma once

// The editor's X11 graphics context: a child window inside the host's window on an X server,
// its GLX context, the display clock driven by the host's idle calls, the event handling that
// turns X events into input, and the platform services an X desktop offers.
//
// Index of this header:
//   1. Construction and the IGraphics operations of the window layer
//   2. Platform services
//   3. The host's side: idle calls, resize requests, density
//   4. Members
//
// Threads: everything runs on the UI thread that opened the window (the thread the host calls
// the editor and its idle function on). Each editor has a connection of its own to the X
// server, so its events never mix with the host's and closing it frees everything it made.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "IGraphicsVectorGL.h"

namespace iplug::igraphics {

struct X11Connection;

class IGraphicsX11 : public IGraphicsVectorGL
{
public:
  // ---- 1. Construction and the window layer (UI thread) ----------------------------------------
  IGraphicsX11(IGEditorDelegate* dlg, int width, int height, int fps = 60, float drawScale = 1.f);
  ~IGraphicsX11() override;

  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType = kArrowCursor) override;

  // pParent is the host's X window (an XID carried in the pointer, as LV2's ui:parent carries
  // it). Returns the editor's window the same way, or null when no window could be made.
  void* OpenPlatformWindow(void* pParent) override;
  void ClosePlatformWindow() override;
  void* GetPlatformWindow() override;
  bool PlatformWindowIsOpen() override;

  const char* GetPlatformAPIString() override { return "x11"; }
  // The module instance names the folder that holds the editor's pictures and font (a
  // NUL-terminated path that outlives the context); the resource search looks there.
  void SetModuleInstance(void* instance) override { mResourceFolder = static_cast<const char*>(instance); }
  void* GetModuleInstance() const override { return const_cast<char*>(mResourceFolder); }

  void ActivateGLContext() override;
  void DeactivateGLContext() override;

  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void PlatformResize(bool parentHasResized) override;

  // ---- 2. Platform services (UI thread) ----------------------------------------------------------
  // The CLIPBOARD selection, as UTF-8 text; the editor owns it while its window is open.
  bool GetTextFromClipboard(std::string& str) override;
  bool SetTextInClipboard(const char* str) override;
  // Web addresses and paths go to the desktop's handler, xdg-open; true when it was started.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  bool RevealPath(const char* path, bool select) override;
  // What this layer does not offer (platform text entry, menus, boxes, choosers) is refused with
  // a failure result and one trace line.
  void CancelPlatformTextEntry() override {}
  void NotifyPopupMenu(IPopupMenu&) override {}
  EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                               IMsgBoxCompletionHandlerFunc completion = nullptr) override;
  void PromptForFile(std::string& fileName, std::string& path, EFileAction action = EFileAction::Open,
                     const char* ext = "", IFileDialogCompletionHandlerFunc completion = nullptr) override;
  void PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion = nullptr) override;
  bool PromptForColor(IColor& color, const char* str = "", IColorPickerHandlerFunc completion = nullptr) override;

  // ---- 3. The host's side ---------------------------------------------------------------------
  // The host's idle call (UI thread): handles the window's pending events and, when a frame
  // period has passed since the last tick, runs one display tick. An idle call that comes late
  // draws once; the ticks it missed are dropped, not caught up.
  void OnIdle();
  // Asked whenever the editor's window size changes (physical pixels); true when the host has
  // resized its own window to match. Without one the editor resizes its parent itself.
  using HostResizeFunc = std::function<bool(int width, int height)>;
  void SetHostResizeFunc(HostResizeFunc func) { mHostResize = std::move(func); }

  // The X server's density: Xft.dpi ÷ 96 (1 when the resource is not set).
  static float ScaleFromResources(const char* resources);

protected:
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char*, const PlatformFontPtr&) override {}
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync) override;
  void DrawResize() override;
  renderer::GetProcAddressFn GetGLProcAddress() const override;

private:
  // Window and GL context (IGraphicsX11.cpp).
  bool CreateWindowAndContext(unsigned long parent, int width, int height);
  void DestroyWindowAndContext();
  float ReadScreenScale() const;

  // Events (IGraphicsX11_Events.cpp).
  void ProcessEvents();
  void HandleEvent(void* event);
  void HandleButton(void* event, bool press);
  void HandleMotion(void* event);
  void HandleKey(void* event, bool press);
  void HandleSelectionRequest(void* event);
  void OnDisplayTick();
  void Paint(IRectList& rects);

  // ---- 4. Members ------------------------------------------------------------------------------
  std::unique_ptr<X11Connection> mX;
  const char* mResourceFolder = nullptr;
  HostResizeFunc mHostResize;
  std::chrono::steady_clock::time_point mNextTick{};
  // The pointer position the lock returns to while the cursor is hidden and locked.
  float mHiddenCursorX = 0.f, mHiddenCursorY = 0.f;
  // The last press, for double clicks: button, time (server milliseconds) and position.
  unsigned int mLastPressButton = 0;
  unsigned long mLastPressTime = 0;
  int mLastPressX = 0, mLastPressY = 0;
  // Text this editor offers as the CLIPBOARD selection.
  std::string mClipboardText;
};

} // namespace iplug::igraphics
