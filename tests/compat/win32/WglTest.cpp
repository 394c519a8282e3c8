#include "WindowTestSupport.h"
#include "WindowsUsage.h"
#include "HeapInUse.h"
#include "support/AllocationCounter.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <malloc.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

using namespace win32test;
namespace display = win32compat::display;

namespace {

class Wgl : public Win32Test
{
};

std::array<uint8_t, 4> PixelAt(const display::Frame& frame, int x, int y)
{
  const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(frame.width) + static_cast<size_t>(x)) * 4;
  return {frame.rgba[at], frame.rgba[at + 1], frame.rgba[at + 2], frame.rgba[at + 3]};
}

using Rgba = std::array<uint8_t, 4>;

TEST_F(Wgl, PixelFormatsHonourWhatIsAsked)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 32, 32);
    HDC dc = GetDC(hwnd);
    struct Case
    {
      DWORD flags;
      BYTE depth;
      BYTE stencil;
      bool doubleBuffer;
      BYTE gotDepth;
      BYTE gotStencil;
    };
    const DWORD gl = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    const Case cases[] = {
        {gl | PFD_DOUBLEBUFFER, 24, 8, true, 24, 8},
        {gl | PFD_DOUBLEBUFFER, 0, 0, true, 0, 0},
        {gl | PFD_DOUBLEBUFFER, 16, 0, true, 24, 0},
        {gl, 24, 8, false, 24, 8},
        {gl | PFD_DOUBLEBUFFER_DONTCARE, 0, 8, true, 24, 8},
    };
    for (const auto& c : cases)
    {
      PIXELFORMATDESCRIPTOR want{};
      want.nSize = sizeof want;
      want.nVersion = 1;
      want.dwFlags = c.flags;
      want.iPixelType = PFD_TYPE_RGBA;
      want.cColorBits = 32;
      want.cDepthBits = c.depth;
      want.cStencilBits = c.stencil;
      const int format = ChoosePixelFormat(dc, &want);
      ASSERT_GT(format, 0);
      PIXELFORMATDESCRIPTOR got{};
      EXPECT_GT(DescribePixelFormat(dc, format, sizeof got, &got), 0);
      EXPECT_EQ((got.dwFlags & PFD_DOUBLEBUFFER) != 0, c.doubleBuffer);
      EXPECT_TRUE(got.dwFlags & PFD_SUPPORT_OPENGL);
      EXPECT_EQ(got.cDepthBits, c.gotDepth);
      EXPECT_EQ(got.cStencilBits, c.gotStencil);
      EXPECT_EQ(got.cColorBits, 32);
    }
    const int count = DescribePixelFormat(dc, 1, 0, nullptr);
    EXPECT_GT(count, 1);
    EXPECT_EQ(wglCreateContext(dc), nullptr) << "no pixel format set yet";
    EXPECT_TRUE(SetPixelFormat(dc, 1, nullptr));
    EXPECT_TRUE(SetPixelFormat(dc, 1, nullptr));
    EXPECT_FALSE(SetPixelFormat(dc, 2, nullptr)) << "a window's format is set once";
    EXPECT_EQ(GetPixelFormat(dc), 1);
    EXPECT_FALSE(SetPixelFormat(dc, count + 1, nullptr));
    ReleaseDC(hwnd, dc);
    DestroyWindow(hwnd);
  });
}

TEST_F(Wgl, AClearSwappedIsTheWindowsPresentedFrame)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 64, 48);
    HGLRC context = usage::CreateGlContext(hwnd);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), context);
    EXPECT_EQ(wglGetCurrentDC(), GetDC(hwnd));
    GLint stencil = 0, framebuffer = -1;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(stencil, 8);
    EXPECT_EQ(framebuffer, 0) << "the window's back buffer is framebuffer 0";

    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 24, 64, 24); // the upper half, counted from the bottom
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    EXPECT_EQ(display::PresentCount(hwnd), 0u);
    ASSERT_TRUE(SwapBuffers(GetDC(hwnd)));
    const auto frame = display::PresentedFrame(hwnd);
    ASSERT_EQ(frame.width, 64);
    ASSERT_EQ(frame.height, 48);
    EXPECT_EQ(frame.serial, 1u);
    EXPECT_EQ(PixelAt(frame, 5, 5), (Rgba{0, 255, 0, 255})) << "rows run from the top";
    EXPECT_EQ(PixelAt(frame, 60, 40), (Rgba{255, 0, 0, 255}));
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1) << "presenting leaves the application's pack state alone";

    // The back buffer follows the client size.
    SetWindowPos(hwnd, nullptr, 0, 0, 30, 20, SWP_NOMOVE | SWP_NOZORDER);
    wglMakeCurrent(GetDC(hwnd), context);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(GetDC(hwnd));
    EXPECT_EQ(display::PresentedFrame(hwnd).width, 30);
    EXPECT_EQ(display::PresentedFrame(hwnd).height, 20);
    EXPECT_EQ(display::PresentCount(hwnd), 2u);

    // Later functions come from wglGetProcAddress, OpenGL 1.1 ones from opengl32 only.
    EXPECT_NE(wglGetProcAddress("glGenFramebuffers"), nullptr);
    EXPECT_EQ(wglGetProcAddress("glClear"), nullptr);
    EXPECT_NE(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
    EXPECT_EQ(wglGetProcAddress("notAFunction"), nullptr);

    // A context in use on one thread belongs to it.
    OnFreshThread([&] {
      SetLastError(0);
      EXPECT_FALSE(wglDeleteContext(context));
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
      EXPECT_FALSE(wglMakeCurrent(GetDC(hwnd), context));
    });

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(wglGetProcAddress("glGenFramebuffers"), nullptr) << "needs a current context";
    EXPECT_FALSE(SwapBuffers(GetDC(hwnd)));
    EXPECT_TRUE(wglDeleteContext(context));
    DestroyWindow(hwnd);
    EXPECT_EQ(display::PresentCount(hwnd), 0u) << "frames go with the window";
  });
}

// The display keeps one picture per window, and presenting reads the frame into it where it
// lies: a frame of the largest editor (15 MB at twice its size on a 192 dpi display) costs no
// second and third copy of itself on the way, and the same size again costs no allocation.
TEST_F(Wgl, PresentingAFrameReadsItIntoTheWindowsPictureWhereItLies)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 48, 32);
    HGLRC context = usage::CreateGlContext(hwnd);
    ASSERT_NE(context, nullptr);
    for (const Rgba colour : {Rgba{255, 0, 0, 255}, Rgba{0, 0, 255, 255}})
    {
      glClearColor(colour[0] / 255.f, colour[1] / 255.f, colour[2] / 255.f, 1.f);
      glClear(GL_COLOR_BUFFER_BIT);
      glEnable(GL_SCISSOR_TEST);
      glScissor(0, 0, 48, 1); // the bottom row
      glClearColor(0, 1, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
      glDisable(GL_SCISSOR_TEST);
      const test::AllocationCounter allocations;
      ASSERT_TRUE(SwapBuffers(GetDC(hwnd)));
      const long count = allocations.Count();
      if (colour[0] == 0)
      {
        EXPECT_EQ(count, 0) << "a frame of the size before reuses the picture";
      }
      const auto frame = display::PresentedFrame(hwnd);
      ASSERT_EQ(frame.rgba.size(), size_t{48} * 32 * 4);
      EXPECT_EQ(PixelAt(frame, 7, 0), colour);
      EXPECT_EQ(PixelAt(frame, 40, 30), colour);
      EXPECT_EQ(PixelAt(frame, 7, 31), (Rgba{0, 255, 0, 255})) << "the bottom row is the picture's last";
    }
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    DestroyWindow(hwnd);
  });
}

TEST_F(Wgl, APaintCycleRedrawsOnlyTheUpdateRegion)
{
  OnFreshThread([] {
    Recorder log;
    HGLRC context = nullptr;
    float colour[3] = {0, 0, 1};
    std::vector<RECT> painted;
    log.handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
      if (message != WM_PAINT)
        return false;
      painted = usage::PaintWithGl(hwnd, context, colour[0], colour[1], colour[2]);
      result = 0;
      return true;
    };
    HWND hwnd = MakeWindow(log, 0, 0, 100, 80);
    context = usage::CreateGlContext(hwnd);
    ASSERT_NE(context, nullptr);
    Pump();
    ASSERT_EQ(painted.size(), 1u) << "a new window is invalid as a whole";
    EXPECT_EQ(painted[0].right, 100);

    colour[0] = 1;
    colour[2] = 0;
    RECT a{10, 10, 20, 20};
    RECT b{60, 50, 70, 60};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    Pump();
    ASSERT_EQ(painted.size(), 2u);
    const auto frame = display::PresentedFrame(hwnd);
    EXPECT_EQ(frame.serial, 2u);
    EXPECT_EQ(PixelAt(frame, 15, 15), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(frame, 65, 55), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(frame, 40, 40), (Rgba{0, 0, 255, 255})) << "the rest kept the last frame's colour";
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    DestroyWindow(hwnd);
  });
}

// A field of /proc/self/status in KiB; 0 where it cannot be read.
long StatusKiB(const char* field)
{
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status)
    return 0;
  char line[256];
  long value = 0;
  const size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, field, length) == 0)
      value = std::atol(line + length);
  std::fclose(status);
  return value;
}

// Starts the peak resident size (VmHWM) afresh from the resident size now.
bool ResetResidentPeak()
{
  std::ofstream clearRefs("/proc/self/clear_refs");
  clearRefs << "5";
  clearRefs.flush();
  return clearRefs.good() && StatusKiB("VmHWM:") > 0;
}

// A window dragged larger gets a back buffer of each new size (8 bytes a pixel with depth and
// stencil) and the display a picture of it (4). What was replaced has to be gone before its
// replacement is drawn into, by either way a frame meets the new size (bound anew, or presented
// and then given the next buffer): otherwise every step of a drag holds both.
TEST_F(Wgl, AGrowingWindowHoldsOneBackBufferAndPictureAtATime)
{
#if defined(COMPAT_SANITIZER_ALLOCATOR)
  GTEST_SKIP() << "the sanitizer's allocator holds freed blocks back on purpose";
#endif
  // Windows' heap hands a large freed block back to the system at once. glibc does too, but only
  // while its mmap threshold stays where it starts; after a large free it keeps such blocks as
  // resident holes, and the peak would show the allocator rather than the buffers' order.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  OnFreshThread([] {
    for (const bool rebinds : {true, false})
    {
      SCOPED_TRACE(rebinds ? "bound anew after each resize" : "resized between frames");
      Recorder log;
      constexpr int kSide = 1536, kStep = 32;
      HWND hwnd = MakeWindow(log, 0, 0, kSide, kSide);
      HGLRC context = usage::CreateGlContext(hwnd);
      ASSERT_NE(context, nullptr);
      const auto drawAndPresent = [&] {
        if (rebinds)
        {
          ASSERT_TRUE(wglMakeCurrent(GetDC(hwnd), context));
        }
        glClearColor(1.f, 0.f, 1.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        ASSERT_TRUE(SwapBuffers(GetDC(hwnd)));
      };
      drawAndPresent();
      drawAndPresent();
      for (int side = kSide + kStep; side <= kSide + 3 * kStep; side += kStep)
      {
        if (!ResetResidentPeak())
          GTEST_SKIP() << "the kernel does not let the resident peak be reset";
        const long before = StatusKiB("VmRSS:");
        SetWindowPos(hwnd, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER);
        drawAndPresent();
        if (!rebinds)
          drawAndPresent(); // the first presents the old size, the second the new
        const long grown = StatusKiB("VmHWM:") - before;
        const long oldPixels = long{side - kStep} * (side - kStep), newPixels = long{side} * side;
        const long needed = 12 * (newPixels - oldPixels) / 1024;
        const long replacedBackBuffer = 8 * oldPixels / 1024;
        EXPECT_LT(grown, needed + replacedBackBuffer / 4)
            << "KiB at the peak of a resize to " << side << ", against " << needed << " KiB the new size needs";
        const auto frame = display::PresentedFrame(hwnd);
        ASSERT_EQ(frame.width, side);
        EXPECT_EQ(PixelAt(frame, side - 1, side - 1), (Rgba{255, 0, 255, 255}));
      }
      EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
      EXPECT_TRUE(wglDeleteContext(context));
      DestroyWindow(hwnd);
    }
  });
}

} // namespace
