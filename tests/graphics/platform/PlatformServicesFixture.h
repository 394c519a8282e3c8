#pragma once

// A Windows graphics context with its protected platform operations in reach, and the display
// (on the stand-in, its scripted user too) at its defaults around each test.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "IControl.h"
#include "PlatformWindows.h"
#include "platform/IGraphicsWin.h"
#include "support/RecordingEditorDelegate.h"
#include "support/TestDisplay.h"

namespace platformtest {

using namespace iplug::igraphics;

class TestGraphicsWin : public IGraphicsWin
{
public:
  using IGraphicsWin::IGraphicsWin;
  using IGraphicsWin::CachePlatformFont;
  using IGraphicsWin::CreatePlatformPopupMenu;
  using IGraphicsWin::CreatePlatformTextEntry;
  using IGraphicsWin::LoadPlatformFont;

  // What PromptUserInput notes before it opens an entry, for entries opened directly.
  void AwaitTextEntry(IControl* control, int valIdx)
  {
    mInTextEntry = control;
    mTextEntryValIdx = valIdx;
  }
  IControl* ControlAwaitingTextEntry() const { return mInTextEntry; }
};

// A control that notes the texts its entries hand back.
class EntryControl : public IControl
{
public:
  explicit EntryControl(const IRect& bounds, int paramIdx = kNoParameter) : IControl(bounds, paramIdx) {}
  void Draw(IGraphics&) override {}
  void OnTextEntryCompletion(const char* str, int valIdx) override { completions.emplace_back(str, valIdx); }

  std::vector<std::pair<std::string, int>> completions;
};

inline const char* kRobotoFile = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

class PlatformServicesTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    testdisplay::Reset();
    dlg.GetParam(0)->DefineDouble("Gain", 0.0, -30.0, 30.0, 0.1, "dB");
    dlg.GetParam(1)->DefineInt("Steps", 0, 0, 10);
    dlg.GetParam(2)->DefineBool("Bypass", false);
    graphics = std::make_unique<TestGraphicsWin>(&dlg, 300, 200, 60, 1.f);
    graphics->SetModuleInstance(GetModuleHandleW(nullptr));
  }
  void TearDown() override
  {
    graphics.reset();
    testdisplay::Reset();
  }

  iplug::RecordingEditorDelegate dlg{3};
  std::unique_ptr<TestGraphicsWin> graphics;
};

inline LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The editor open in a host: a top-level frame at (100, 50) of the screen holding the view that
// the editor window is a child of.
class OpenEditorTest : public PlatformServicesTest
{
protected:
  void SetUp() override
  {
    PlatformServicesTest::SetUp();
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, kHostClass, &wc))
    {
      wc.lpfnWndProc = HostWindowProc;
      wc.lpszClassName = kHostClass;
      RegisterClassW(&wc);
    }
    frame = CreateWindowExW(0, kHostClass, L"Host", WS_POPUP | WS_VISIBLE, 100, 50, 800, 600, nullptr, nullptr,
                            nullptr, nullptr);
    view = CreateWindowExW(0, kHostClass, L"View", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, frame, nullptr, nullptr,
                           nullptr);
    ASSERT_TRUE(frame && view);
    editor = static_cast<HWND>(graphics->OpenPlatformWindow(view));
    ASSERT_TRUE(editor);
  }
  void TearDown() override
  {
    if (graphics)
      graphics->ClosePlatformWindow();
    graphics.reset();
    DestroyWindow(frame);
    PlatformServicesTest::TearDown();
  }

  // Handles messages until the condition holds (display ticks arrive about every 16 ms).
  static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done())
    {
      if (std::chrono::steady_clock::now() > end)
        return false;
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      else
      {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    return true;
  }

  static constexpr const wchar_t* kHostClass = L"CorvaneTestHost";
  HWND frame = nullptr;
  HWND view = nullptr;
  HWND editor = nullptr;
};

} // namespace platformtest
