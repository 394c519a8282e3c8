// The memory the editor's window takes while it opens. The C library's trim is counted here: it
// hands every freed page back to the system, so a trim while the editor opens makes the pictures
// it is about to upload fault all of that memory in again.

#include <dlfcn.h>

#include <atomic>
#include <cstddef>

#include "graphics/platform/WindowLayerFixture.h"
#include "win32/testing/Win32Display.h"

namespace {

std::atomic<int> gTrims{0};

} // namespace

// The window layer is the only caller in this program; every call still reaches the C library.
extern "C" int malloc_trim(size_t pad)
{
  ++gTrims;
  using TrimFn = int (*)(size_t);
  static const auto next = reinterpret_cast<TrimFn>(dlsym(RTLD_NEXT, "malloc_trim"));
  return next ? next(pad) : 0;
}

namespace wintest {
namespace {

namespace display = win32compat::display;

using OpeningMemory = WindowLayerFixture;

// Opens the editor at a density and waits for its first frame of the full size.
struct OpeningCase
{
  UINT dpi;
  int width, height;
};

TEST_F(OpeningMemory, OpeningUpToTheFirstFrameHandsNoFreedMemoryBack)
{
  // 144 dpi opens at scale 1 and finds 1.5 on its first tick: a resize inside the opening.
  for (const OpeningCase c : {OpeningCase{96, kEditorWidth, kEditorHeight},
                              OpeningCase{144, kEditorWidth * 3 / 2, kEditorHeight * 3 / 2},
                              OpeningCase{192, kEditorWidth * 2, kEditorHeight * 2}})
  {
    SCOPED_TRACE(c.dpi);
    ui->Run([&] { display::SetWindowDpi(host, c.dpi); });
    gTrims = 0;
    HWND hwnd = Open();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
      if (display::PresentCount(hwnd) == 0)
        return false;
      const SIZE size = ClientSize(hwnd);
      return size.cx == c.width && size.cy == c.height;
    }));
    EXPECT_EQ(gTrims.load(), 0);
    ui->Run([&] { delegates.front()->CloseEditorWindow(); });
  }
}

TEST_F(OpeningMemory, AZoomAfterTheFirstFrameHandsTheReplacedBuffersBack)
{
  HWND hwnd = Open();
  ASSERT_TRUE(WaitUntil([&] { return display::PresentCount(hwnd) >= 1; }));
  gTrims = 0;
  ui->Run([&] { graphics->Resize(kEditorWidth, kEditorHeight, 2.f); });
  EXPECT_GE(gTrims.load(), 1);

  // Reopened, the window starts over: its first sizing is part of an opening again.
  ui->Run([&] { delegates.front()->CloseEditorWindow(); });
  gTrims = 0;
  hwnd = Open();
  ASSERT_TRUE(WaitUntil([&] { return display::PresentCount(hwnd) >= 1; }));
  EXPECT_EQ(gTrims.load(), 0);
}

} // namespace
} // namespace wintest
