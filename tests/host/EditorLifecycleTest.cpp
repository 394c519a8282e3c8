#include <gtest/gtest.h>

#include <memory>

#include "AAX_Errors.h"
#include "HostEditor.h"
#include "HostInstance.h"
#include "HostUIThread.h"
#include "StandInHost.h"
#include "win32/testing/Win32Display.h"

namespace {

namespace display = win32compat::display;
using aaxhost::HostEditor;

// The editor opened and closed the way a DAW does it again and again: each time a new editor
// object from the effect's procedure 1, a host window, the view container set and taken away,
// the object released. Nothing may pile up: no window, device context, GL context or surface,
// kernel handle of the display, no memory (LeakSanitizer checks that in the sanitizer build), and
// the module's own count of the objects it handed out is back at 0 once the host let go.
TEST(EditorLifecycle, TwoHundredOpeningsAndClosingsLeaveNothingBehind)
{
  aaxhost::HostUIThread ui;
  std::unique_ptr<aaxhost::StandInHost> host;
  std::unique_ptr<aaxhost::HostInstance> instance;
  ui.Run([&] {
    host = std::make_unique<aaxhost::StandInHost>(CORVANE_MODULE_PATH);
    ASSERT_EQ(host->Startup(), ACF_OK);
    ASSERT_EQ(host->Register(), ACF_OK);
    instance = host->CreateInstance(0, 1);
    instance->Controller().SetSampleRate(48000);
    ASSERT_EQ(instance->Initialize(), AAX_SUCCESS);
  });
  ASSERT_TRUE(instance);

  // On a double-density display each knob picture is decoded once per opening and then shared
  // by the four knobs; at 96 dots per inch every knob decodes it again, which only makes the
  // loop slower.
  HostEditor::Options options;
  options.dpi = 192;
  display::LiveObjectCounts afterFirst;
  int windows = 0;
  for (int i = 0; i < 200; ++i)
  {
    {
      HostEditor editor(ui, *instance, options);
      ASSERT_EQ(editor.Open(), AAX_SUCCESS) << i;
      windows += editor.EditorWindow() != nullptr ? 1 : 0;
      ASSERT_EQ(editor.Close(), AAX_SUCCESS) << i;
      EXPECT_EQ(editor.EditorWindow(), nullptr) << i;
      ui.Run([&] { EXPECT_EQ(host->Module().CanUnloadNow(nullptr), 2) << "the effect and its editor object"; });
    }
    ui.Flush();
    // The first opening may leave what the process keeps for good (registered classes, the
    // font caches' system handles); from then on every opening gives back what it took.
    if (i == 0)
    {
      afterFirst = display::LiveObjects();
    }
    else if (i % 50 == 0 || i == 199)
    {
      EXPECT_EQ(display::LiveObjects(), afterFirst) << "after opening " << i + 1;
    }
  }

  EXPECT_EQ(windows, 200) << "every opening showed the editor's window";

  ui.Run([&] {
    instance->ReleaseEffect();
    EXPECT_EQ(host->Module().CanUnloadNow(nullptr), 0) << "every object the module handed out is gone";
    instance.reset();
    host.reset();
  });
}

} // namespace
