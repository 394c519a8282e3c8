#include "OffscreenGLContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <mutex>

// Mesa's drivers keep process-wide allocations (shader caches, the JIT's pools) until exit, which
// the leak checker would otherwise report for every GL test.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libEGL_mesa\nleak:libGLX_mesa\nleak:swrast_dri\nleak:libgallium\nleak:libLLVM\nleak:libglapi\n"
         "leak:libdrm\nleak:libEGL.so\nleak:libGLdispatch\nleak:libOpenGL\n";
}

namespace test {

namespace {

// The process's one surfaceless display, initialised while at least one context lives on it and
// terminated with the last one. Terminating is what makes Mesa destroy its screen, and with it
// the threads llvmpipe keeps for the screen (rasterizer, compute and shader-cache threads): left
// running into exit, they are still there, blocked in the driver, when LeakSanitizer stops every
// thread to scan it, and its tracer can then fault on them. Each test program ends with no
// driver thread left.
std::mutex gDisplayLock;
EGLDisplay gDisplay = EGL_NO_DISPLAY;
int gDisplayUsers = 0;

// Terminating the display unloads Mesa's driver, and with it the names LeakSanitizer matches the
// driver's process-wide allocations against (the suppressions above); the driver stays mapped.
void KeepDriverLoaded()
{
  dl_iterate_phdr(
    [](dl_phdr_info* info, size_t, void*) {
      const char* name = info->dlpi_name;
      if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium")))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
      return 0;
    },
    nullptr);
}

EGLDisplay AcquireDisplay(std::string& error)
{
  std::lock_guard lock(gDisplayLock);
  if (gDisplayUsers == 0)
  {
    EGLDisplay d = EGL_NO_DISPLAY;
    auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay)
      d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d == EGL_NO_DISPLAY)
      d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major = 0, minor = 0;
    if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor))
    {
      error = "no EGL display";
      return EGL_NO_DISPLAY;
    }
    gDisplay = d;
    KeepDriverLoaded();
  }
  ++gDisplayUsers;
  return gDisplay;
}

void ReleaseDisplay()
{
  std::lock_guard lock(gDisplayLock);
  if (gDisplayUsers == 0 || --gDisplayUsers > 0)
    return;
  eglTerminate(gDisplay);
  gDisplay = EGL_NO_DISPLAY;
}

} // namespace

OffscreenGLContext::OffscreenGLContext(int width, int height)
  : mWidth(width)
  , mHeight(height)
{
  EGLDisplay display = AcquireDisplay(mError);
  if (display == EGL_NO_DISPLAY)
    return;
  mDisplay = display;
  if (!eglBindAPI(EGL_OPENGL_API))
  {
    mError = "desktop OpenGL not available through EGL";
    return;
  }
  const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                  EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                  EGL_STENCIL_SIZE, 8, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1)
  {
    mError = "no RGBA8 + stencil pbuffer configuration";
    return;
  }
  const EGLint contextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
  mContext = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
  if (mContext == EGL_NO_CONTEXT)
  {
    mError = "eglCreateContext failed";
    return;
  }
  const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  mSurface = eglCreatePbufferSurface(display, config, surfaceAttribs);
  if (mSurface == EGL_NO_SURFACE)
  {
    mError = "eglCreatePbufferSurface failed";
    return;
  }
  mValid = MakeCurrent();
  if (!mValid)
    mError = "eglMakeCurrent failed";
}

OffscreenGLContext::~OffscreenGLContext()
{
  if (!mDisplay)
    return;
  eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (mSurface && mSurface != EGL_NO_SURFACE)
    eglDestroySurface(mDisplay, mSurface);
  if (mContext && mContext != EGL_NO_CONTEXT)
    eglDestroyContext(mDisplay, mContext);
  // The thread's EGL state (its last current context and API) would keep the driver referenced.
  eglReleaseThread();
  ReleaseDisplay();
}

bool OffscreenGLContext::MakeCurrent()
{
  return mDisplay && eglMakeCurrent(mDisplay, mSurface, mSurface, mContext);
}

void* OffscreenGLContext::GetProc(const char* name)
{
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

std::vector<uint8_t> OffscreenGLContext::ReadPixels(int width, int height)
{
  std::vector<uint8_t> bottomUp(size_t(width) * size_t(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<uint8_t> topDown(bottomUp.size());
  const size_t row = size_t(width) * 4;
  for (int y = 0; y < height; ++y)
    std::memcpy(&topDown[size_t(y) * row], &bottomUp[size_t(height - 1 - y) * row], row);
  return topDown;
}

} // namespace test
