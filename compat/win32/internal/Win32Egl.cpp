// The EGL side of WGL. No Win32 header is included here (see Win32EglBackend.h).

#define EGL_NO_X11
#define MESA_EGL_NO_X11_HEADERS

#include "Win32EglBackend.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace win32compat::egl {

namespace {

EGLDisplay OpenDisplay()
{
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto has = [clientExtensions](const char* name) {
    return clientExtensions && std::strstr(clientExtensions, name) != nullptr;
  };
  if (getPlatformDisplay && has("EGL_MESA_platform_surfaceless"))
  {
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
      return display;
  }
  auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (getPlatformDisplay && queryDevices && has("EGL_EXT_platform_device"))
  {
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (queryDevices(8, devices, &count))
      for (EGLint i = 0; i < count; ++i)
      {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
          return display;
      }
  }
  EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
    return display;
  return EGL_NO_DISPLAY;
}

EGLDisplay Display()
{
  static EGLDisplay display = [] {
    EGLDisplay d = OpenDisplay();
    if (d != EGL_NO_DISPLAY && !eglBindAPI(EGL_OPENGL_API))
      d = EGL_NO_DISPLAY;
    return d;
  }();
  return display;
}

EGLConfig ConfigFor(const Format& format)
{
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                               EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE,
                               format.depthBits, EGL_STENCIL_SIZE, format.stencilBits, EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(Display(), attributes, configs, 64, &count) || count == 0)
    return nullptr;
  // eglChooseConfig sorts deeper buffers first; take the one closest to what was asked.
  EGLConfig best = configs[0];
  int bestExtra = 1 << 30;
  for (EGLint i = 0; i < count; ++i)
  {
    EGLint depth = 0;
    EGLint stencil = 0;
    eglGetConfigAttrib(Display(), configs[i], EGL_DEPTH_SIZE, &depth);
    eglGetConfigAttrib(Display(), configs[i], EGL_STENCIL_SIZE, &stencil);
    const int extra = (depth - format.depthBits) + (stencil - format.stencilBits);
    if (extra < bestExtra)
    {
      bestExtra = extra;
      best = configs[i];
    }
  }
  return best;
}

void BindFramebuffer(GLenum target, GLuint framebuffer)
{
  static auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
  if (bind)
    bind(target, framebuffer);
}

void BindBuffer(GLenum target, GLuint buffer)
{
  static auto bind = reinterpret_cast<PFNGLBINDBUFFERPROC>(eglGetProcAddress("glBindBuffer"));
  if (bind)
    bind(target, buffer);
}

} // namespace

bool Available()
{
  return Display() != EGL_NO_DISPLAY;
}

void* CreateContext(const Format& format)
{
  if (!Available())
    return nullptr;
  EGLConfig config = ConfigFor(format);
  if (!config)
    return nullptr;
  eglBindAPI(EGL_OPENGL_API);
  EGLContext context = eglCreateContext(Display(), config, EGL_NO_CONTEXT, nullptr);
  return context == EGL_NO_CONTEXT ? nullptr : context;
}

void DestroyContext(void* context)
{
  if (context)
    eglDestroyContext(Display(), static_cast<EGLContext>(context));
}

void* CreateSurface(const Format& format, int width, int height)
{
  if (!Available())
    return nullptr;
  EGLConfig config = ConfigFor(format);
  if (!config)
    return nullptr;
  const EGLint attributes[] = {EGL_WIDTH, std::max(width, 1), EGL_HEIGHT, std::max(height, 1), EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(Display(), config, attributes);
  return surface == EGL_NO_SURFACE ? nullptr : surface;
}

void DestroySurface(void* surface)
{
  if (surface)
    eglDestroySurface(Display(), static_cast<EGLSurface>(surface));
}

namespace {

// One 1x1 pbuffer per format, kept for the process: what a context is bound to while the surface
// it drew to is destroyed.
EGLSurface ParkingSurface(const Format& format)
{
  static std::mutex mutex;
  static EGLSurface surfaces[2][2] = {};
  const size_t depth = format.depthBits > 0 ? 1 : 0, stencil = format.stencilBits > 0 ? 1 : 0;
  std::lock_guard<std::mutex> lock(mutex);
  EGLSurface& surface = surfaces[depth][stencil];
  if (surface == EGL_NO_SURFACE)
    if (void* made = CreateSurface(format, 1, 1))
      surface = static_cast<EGLSurface>(made);
  return surface;
}

// llvmpipe keeps the storage of the framebuffer last drawn to and read from in its drawing state
// and in the scenes it has queued, reusing those one by one, until it has drawn and read
// elsewhere that often: the current surface (the parking one) is cleared and read a few times,
// leaving the application's bindings and state as they were, and the work is waited for.
void LetGoOfLastFramebuffer()
{
  constexpr int kScenes = 16; // more than llvmpipe keeps in flight in practice
  GLint drawFramebuffer = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
  const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  const GLboolean discard = glIsEnabled(GL_RASTERIZER_DISCARD);
  GLboolean colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);

  // A clear that would write nothing never reaches the driver.
  BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_RASTERIZER_DISCARD);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  for (int i = 0; i < kScenes; ++i)
  {
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
  }
  uint8_t pixel[4] = {};
  ReadFrame(1, 1, pixel);
  glFinish();

  glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
  if (scissor)
    glEnable(GL_SCISSOR_TEST);
  if (discard)
    glEnable(GL_RASTERIZER_DISCARD);
  BindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
}

} // namespace

void RetireSurface(void* surface, void* context, const Format& format)
{
  if (!surface || !Available())
    return;
  EGLDisplay display = Display();
  eglBindAPI(EGL_OPENGL_API);
  // Bound to the window's back buffer, the context would keep it alive past its destruction.
  EGLSurface parking = context ? ParkingSurface(format) : EGL_NO_SURFACE;
  const bool parked =
      parking != EGL_NO_SURFACE && eglMakeCurrent(display, parking, parking, static_cast<EGLContext>(context));
  if (parked)
    LetGoOfLastFramebuffer();
  eglDestroySurface(display, static_cast<EGLSurface>(surface));
  if (parked)
  {
    // Mesa drops a context's view of a destroyed surface (and the storage it holds) when the
    // context is next bound to a surface, and only if no live surface has taken the destroyed
    // one's address meanwhile: so it is bound again now, before the replacement's storage exists,
    // rather than when the replacement is bound.
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (!eglMakeCurrent(display, parking, parking, static_cast<EGLContext>(context)))
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }
  else if (context)
  {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }
}

bool MakeCurrent(void* surface, void* context)
{
  if (!Available())
    return false;
  eglBindAPI(EGL_OPENGL_API);
  if (!context)
    return eglMakeCurrent(Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
  return eglMakeCurrent(Display(), static_cast<EGLSurface>(surface), static_cast<EGLSurface>(surface),
                        static_cast<EGLContext>(context)) == EGL_TRUE;
}

bool ReadFrame(int width, int height, uint8_t* rgba)
{
  if (width <= 0 || height <= 0 || !rgba || eglGetCurrentContext() == EGL_NO_CONTEXT)
    return false;
  GLint readFramebuffer = 0, packBuffer = 0, alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
  glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
  glGetIntegerv(GL_PACK_SKIP_ROWS, &skipRows);
  glGetIntegerv(GL_PACK_SKIP_PIXELS, &skipPixels);

  BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  BindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);

  // No glGetError here: that would take a pending error away from the application.
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);

  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
  glPixelStorei(GL_PACK_SKIP_ROWS, skipRows);
  glPixelStorei(GL_PACK_SKIP_PIXELS, skipPixels);
  BindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
  BindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));

  // OpenGL gives the bottom row first; turned over where it lies, so that a frame of the largest
  // editor costs no second copy of itself.
  const size_t row = static_cast<size_t>(width) * 4;
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(rgba + static_cast<size_t>(top) * row, rgba + static_cast<size_t>(top + 1) * row,
                     rgba + static_cast<size_t>(bottom) * row);
  return true;
}

void* ProcAddress(const char* name)
{
  return name ? reinterpret_cast<void*>(eglGetProcAddress(name)) : nullptr;
}

} // namespace win32compat::egl
