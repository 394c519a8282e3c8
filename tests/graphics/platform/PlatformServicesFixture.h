#pragma once

// A Windows graphics context with its protected platform operations in reach, and the stand-in's
// display and scripted user at their defaults around each test.

#include <memory>

#include <gtest/gtest.h>

#include "PlatformWindows.h"
#include "platform/IGraphicsWin.h"
#include "support/RecordingEditorDelegate.h"
#include "win32/Win32Display.h"
#include "win32/Win32Script.h"

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
};

inline const char* kRobotoFile = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

class PlatformServicesTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    win32compat::display::Reset();
    win32compat::script::Reset();
    dlg.GetParam(0)->DefineDouble("Gain", 0.0, -30.0, 30.0, 0.1, "dB");
    dlg.GetParam(1)->DefineInt("Steps", 0, 0, 10);
    dlg.GetParam(2)->DefineBool("Bypass", false);
    graphics = std::make_unique<TestGraphicsWin>(&dlg, 300, 200, 60, 1.f);
    graphics->SetModuleInstance(GetModuleHandleW(nullptr));
  }
  void TearDown() override
  {
    graphics.reset();
    win32compat::script::Reset();
    win32compat::display::Reset();
  }

  iplug::RecordingEditorDelegate dlg{3};
  std::unique_ptr<TestGraphicsWin> graphics;
};

} // namespace platformtest
