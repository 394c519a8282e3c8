#pragma once

// The editor's Windows window, driven as a host drives it: a UI thread
// pumping its message loop, a host window with a container child that the editor opens in, and
// input posted into the windows as a user would give it.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"
#include "platform/IGraphicsWin.h"
#include "support/MessageLoopThread.h"
#include "support/RecordingEditorDelegate.h"
#include "support/TestDisplay.h"

namespace wintest {

using iplug::IKeyPress;
using iplug::igraphics::IColor;
using iplug::igraphics::IControl;
using iplug::igraphics::IGraphics;
using iplug::igraphics::IGraphicsWin;
using iplug::igraphics::IMouseMods;
using iplug::igraphics::IRect;

constexpr int kEditorWidth = 300;
constexpr int kEditorHeight = 120;
constexpr IColor kPanelColor{255, 40, 160, 90};

// A control that records the input it is given and paints itself in one colour.
class ProbeControl : public IControl
{
public:
  struct Pointer
  {
    float x, y, dX, dY;
    IMouseMods mods;
  };

  ProbeControl(const IRect& bounds, const IColor& color) : IControl(bounds), mColor(color) {}

  void Draw(IGraphics& g) override
  {
    ++draws;
    if (onDraw)
      onDraw();
    g.FillRect(mColor, GetRECT());
  }
  void OnMouseDown(float x, float y, const IMouseMods& mod) override
  {
    downs.push_back({x, y, 0.f, 0.f, mod});
    if (onMouseDown)
      onMouseDown();
  }
  void OnMouseUp(float x, float y, const IMouseMods& mod) override { ups.push_back({x, y, 0.f, 0.f, mod}); }
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods& mod) override
  {
    drags.push_back({x, y, dX, dY, mod});
  }
  void OnMouseWheel(float x, float y, const IMouseMods& mod, float delta) override
  {
    wheels.push_back({x, y, delta, 0.f, mod});
  }
  void OnDrop(const char* path) override { drops.push_back(path ? path : ""); }
  bool OnKeyDown(float, float, const IKeyPress& key) override
  {
    keys.push_back(key);
    return consumeKeys;
  }

  std::vector<Pointer> downs, ups, drags, wheels;
  std::vector<std::string> drops;
  std::vector<IKeyPress> keys;
  bool consumeKeys = false;
  int draws = 0;
  std::function<void()> onDraw;
  std::function<void()> onMouseDown;

private:
  IColor mColor;
};

// What the host's windows received of the keys the editor passed on.
struct HostKeys
{
  std::vector<std::pair<UINT, WPARAM>> messages;
};

class WindowLayerFixture : public ::testing::Test
{
protected:
  static constexpr int kHostX = 100, kHostY = 50;         // host window, screen coordinates
  static constexpr int kContainerX = 10, kContainerY = 20; // container, in the host

  void SetUp() override
  {
    testdisplay::Reset();
    ui = std::make_unique<MessageLoopThread>();
    ui->Run([this] { CreateHostWindows(); });
  }

  void TearDown() override
  {
    ui->Run([this] {
      for (auto& d : delegates)
        d->CloseEditorWindow();
      delegates.clear();
      if (host)
        DestroyWindow(host);
      host = container = nullptr;
    });
    ui.reset();
    testdisplay::Reset();
  }

  // A delegate whose editor is kEditorWidth x kEditorHeight with a panel (the background) and a
  // probe over all of it; `layout` may change the context before the controls are attached.
  iplug::RecordingEditorDelegate& AddEditor(std::function<void(IGraphics*)> layout = nullptr, int nParams = 0)
  {
    auto d = std::make_unique<iplug::RecordingEditorDelegate>(nParams);
    iplug::RecordingEditorDelegate* raw = d.get();
    raw->SetMakeGraphicsFunc([raw, fps = editorFps] {
      auto* g = new IGraphicsWin(raw, kEditorWidth, kEditorHeight, fps, 1.f);
      g->SetModuleInstance(GetModuleHandleW(nullptr));
      return g;
    });
    raw->SetLayoutFunc([this, layout](IGraphics* g) {
      if (layout)
        layout(g);
      g->AttachControl(new ProbeControl(g->GetBounds(), kPanelColor));
      probe = static_cast<ProbeControl*>(g->AttachControl(new ProbeControl(g->GetBounds(), kPanelColor)));
    });
    delegates.push_back(std::move(d));
    return *raw;
  }

  // Opens the first editor on the UI thread; returns its window.
  HWND Open(std::function<void(IGraphics*)> layout = nullptr)
  {
    auto& d = delegates.empty() ? AddEditor(std::move(layout)) : *delegates.front();
    editor = ui->Run([&d, this] { return static_cast<HWND>(d.OpenEditorWindow(container)); });
    graphics = ui->Run([&d] { return static_cast<IGraphicsWin*>(d.GetUI()); });
    return editor;
  }

  // Runs on the UI thread until the condition, read there, holds.
  template <typename Condition>
  bool UiWaitUntil(Condition condition)
  {
    return WaitUntil([&] { return ui->Run([&] { return static_cast<bool>(condition()); }); });
  }

  SIZE ClientSize(HWND hwnd)
  {
    return ui->Run([hwnd] {
      RECT r{};
      GetClientRect(hwnd, &r);
      return SIZE{r.right, r.bottom};
    });
  }

  void CreateHostWindows()
  {
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, L"CorvaneTestHost", &wc))
    {
      wc.lpfnWndProc = &HostProc;
      wc.lpszClassName = L"CorvaneTestHost";
      RegisterClassW(&wc);
    }
    host = CreateWindowExW(0, L"CorvaneTestHost", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kHostX, kHostY, 1800,
                           900, nullptr, nullptr, nullptr, &hostKeys);
    container = CreateWindowExW(0, L"CorvaneTestHost", L"Container", WS_CHILD | WS_VISIBLE, kContainerX, kContainerY,
                                kEditorWidth, kEditorHeight, host, nullptr, nullptr, &containerKeys);
    // Their first paint gives them their device contexts now, not in the middle of a test that
    // counts what the process holds.
    UpdateWindow(host);
    UpdateWindow(container);
  }

  static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
  {
    if (msg == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    if (msg == WM_KEYDOWN || msg == WM_KEYUP)
    {
      if (auto* keys = reinterpret_cast<HostKeys*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
        keys->messages.emplace_back(msg, wParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  std::unique_ptr<MessageLoopThread> ui;
  std::vector<std::unique_ptr<iplug::RecordingEditorDelegate>> delegates;
  HWND host = nullptr;
  HWND container = nullptr;
  HWND editor = nullptr;
  IGraphicsWin* graphics = nullptr;
  ProbeControl* probe = nullptr;
  int editorFps = 60; // the frame rate of the editors AddEditor makes
  HostKeys hostKeys;
  HostKeys containerKeys;
};

} // namespace wintest
