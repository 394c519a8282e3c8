// Pixel formats, WGL contexts, window back buffers and SwapBuffers, on the EGL side of
// Win32Egl.cpp.
//
// Index:
//   1. Pixel formats
//   2. Contexts and back buffers
//   3. Function look-up

#include "Win32Gl.h"

#include "Win32DisplayState.h"
#include "Win32EglBackend.h"
#include "Win32GdiState.h"
#include "Win32GlState.h"
#include "Win32Kernel.h"
#include "Win32LiveObjects.h"
#include "Win32Window.h"
#include "Win32UserState.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

using namespace win32compat;

// --- 1. Pixel formats --------------------------------------------------------------------------

namespace {

constexpr DWORD kGlWindow = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_SUPPORT_COMPOSITION;

struct FormatSpec
{
  DWORD flags;
  BYTE depth;
  BYTE stencil;
};

// The double-buffered formats swap by copying: SwapBuffers presents the back buffer and keeps it.
constexpr FormatSpec kFormats[] = {
    {kGlWindow | PFD_DOUBLEBUFFER | PFD_SWAP_COPY, 24, 8},
    {kGlWindow | PFD_DOUBLEBUFFER | PFD_SWAP_COPY, 24, 0},
    {kGlWindow | PFD_DOUBLEBUFFER | PFD_SWAP_COPY, 0, 0},
    {kGlWindow | PFD_SUPPORT_GDI, 24, 8},
    {kGlWindow | PFD_SUPPORT_GDI, 0, 0},
    {PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_GENERIC_FORMAT, 0, 0},
};
constexpr int kFormatCount = static_cast<int>(sizeof(kFormats) / sizeof(kFormats[0]));

const FormatSpec* FormatAt(int format)
{
  return format >= 1 && format <= kFormatCount ? &kFormats[format - 1] : nullptr;
}

PIXELFORMATDESCRIPTOR Describe(const FormatSpec& candidate)
{
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = candidate.flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cRedBits = 8;
  pfd.cRedShift = 16;
  pfd.cGreenBits = 8;
  pfd.cGreenShift = 8;
  pfd.cBlueBits = 8;
  pfd.cBlueShift = 0;
  pfd.cAlphaBits = 8;
  pfd.cAlphaShift = 24;
  pfd.cDepthBits = candidate.depth;
  pfd.cStencilBits = candidate.stencil;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

bool IsDc(HDC dc)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  return FindDcLocked(dc) != nullptr;
}

} // namespace

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request)
{
  if (!IsDc(dc) || !request)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD required =
      request->dwFlags & (PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL);
  int best = 0;
  long bestScore = 0;
  for (int i = 0; i < kFormatCount; ++i)
  {
    const auto& candidate = kFormats[i];
    if ((candidate.flags & required) != required || request->iPixelType != PFD_TYPE_RGBA)
      continue;
    if (!(request->dwFlags & PFD_DOUBLEBUFFER_DONTCARE) &&
        ((request->dwFlags & PFD_DOUBLEBUFFER) != 0) != ((candidate.flags & PFD_DOUBLEBUFFER) != 0))
      continue;
    const int wantDepth = (request->dwFlags & PFD_DEPTH_DONTCARE) ? 0 : request->cDepthBits;
    const int wantStencil = request->cStencilBits;
    long score = 0;
    if (candidate.depth < wantDepth)
      score += 1000;
    if (candidate.stencil < wantStencil)
      score += 1000;
    score += std::abs(candidate.depth - wantDepth) + std::abs(candidate.stencil - wantStencil);
    if (best == 0 || score < bestScore)
    {
      best = i + 1;
      bestScore = score;
    }
  }
  return best;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
  const HWND hwnd = WindowOfDc(dc);
  if (!hwnd || !FormatAt(format))
  {
    SetLastError(hwnd ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return FALSE;
  if (window->pixelFormat != 0 && window->pixelFormat != format)
  {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  window->pixelFormat = format;
  return TRUE;
}

int GetPixelFormat(HDC dc)
{
  const HWND hwnd = WindowOfDc(dc);
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window || window->pixelFormat == 0)
  {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return 0;
  }
  return window->pixelFormat;
}

int DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR descriptor)
{
  if (!IsDc(dc))
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!descriptor)
    return kFormatCount;
  const auto* candidate = FormatAt(format);
  if (!candidate)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const PIXELFORMATDESCRIPTOR pfd = Describe(*candidate);
  std::memcpy(descriptor, &pfd, std::min<size_t>(bytes, sizeof pfd));
  return kFormatCount;
}

// --- 2. Contexts and back buffers --------------------------------------------------------------

namespace {

struct ContextRecord
{
  void* egl = nullptr;
  int format = 0;
  DWORD thread = 0;     // the thread it is current on, 0 when none
  HWND window = nullptr; // the window it draws to while current
  bool used = false;     // it has been current (it may hold a view of the surfaces it drew to)
};

struct SurfaceRecord
{
  void* egl = nullptr;
  int width = 0;
  int height = 0;
};

struct GlState
{
  std::mutex mutex;
  std::unordered_map<uintptr_t, ContextRecord> contexts;
  std::unordered_map<uintptr_t, SurfaceRecord> surfaces; // by window
  uintptr_t next = 0x60000;
};

GlState& Gl()
{
  static GlState* state = new GlState;
  return *state;
}

// A thread that ends with a context current leaves it free, as on Windows.
struct CurrentContext
{
  HGLRC context = nullptr;
  HDC dc = nullptr;
  ~CurrentContext()
  {
    if (context)
      wglMakeCurrent(nullptr, nullptr);
  }
};
thread_local CurrentContext tCurrent;

egl::Format EglFormat(int format)
{
  const auto* candidate = FormatAt(format);
  return candidate ? egl::Format{candidate->depth, candidate->stencil} : egl::Format{};
}

SIZE ClientSize(HWND hwnd)
{
  RECT client{};
  GetClientRect(hwnd, &client);
  return SIZE{client.right, client.bottom};
}

bool Fits(const SurfaceRecord& surface, SIZE size)
{
  return surface.egl && surface.width == std::max<int>(size.cx, 1) && surface.height == std::max<int>(size.cy, 1);
}

// The window's back buffer at its client size, made anew when the size changed. The replaced one
// is destroyed before the new one is first bound, which is when its storage is allocated: a
// window being dragged larger must not hold two back buffers at any step. `context` is the one to
// be bound to it next, free or current on the calling thread; the thread may be left with it
// current on another surface, for the caller to bind the returned one. Lock held.
void* SurfaceForLocked(GlState& gl, HWND hwnd, SIZE size, const ContextRecord& context)
{
  auto& surface = gl.surfaces[reinterpret_cast<uintptr_t>(hwnd)];
  if (Fits(surface, size))
    return surface.egl;
  const int width = std::max<int>(size.cx, 1);
  const int height = std::max<int>(size.cy, 1);
  // Made while the old one still exists, so that the two cannot share an address (the driver
  // tells a destroyed surface from a live one by it); a pbuffer gets its storage only when bound.
  void* made = egl::CreateSurface(EglFormat(context.format), width, height);
  if (!made)
    return surface.egl;
  egl::RetireSurface(surface.egl, context.used ? context.egl : nullptr, EglFormat(context.format));
  surface = SurfaceRecord{made, width, height};
  return made;
}

HGLRC CurrentHandle()
{
  return tCurrent.context;
}

} // namespace

namespace win32compat {

size_t LiveGlContexts()
{
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  return gl.contexts.size();
}

size_t LiveGlSurfaces()
{
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  return gl.surfaces.size();
}

void ReleaseWindowSurface(HWND hwnd)
{
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  auto it = gl.surfaces.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == gl.surfaces.end())
    return;
  egl::DestroySurface(it->second.egl);
  gl.surfaces.erase(it);
}

} // namespace win32compat

HGLRC wglCreateContext(HDC dc)
{
  const int format = GetPixelFormat(dc);
  const auto* candidate = FormatAt(format);
  if (!candidate || !(candidate->flags & PFD_SUPPORT_OPENGL))
  {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return nullptr;
  }
  void* context = egl::CreateContext(EglFormat(format));
  if (!context)
  {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  const uintptr_t handle = gl.next;
  gl.next += 4;
  gl.contexts.emplace(handle, ContextRecord{context, format, 0, nullptr});
  return reinterpret_cast<HGLRC>(handle);
}

BOOL wglDeleteContext(HGLRC context)
{
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  auto it = gl.contexts.find(reinterpret_cast<uintptr_t>(context));
  if (it == gl.contexts.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const DWORD self = GetCurrentThreadId();
  if (it->second.thread != 0 && it->second.thread != self)
  {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  if (it->second.thread == self)
  {
    egl::MakeCurrent(nullptr, nullptr);
    tCurrent = CurrentContext{};
  }
  egl::DestroyContext(it->second.egl);
  gl.contexts.erase(it);
  return TRUE;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
  auto& gl = Gl();
  const DWORD self = GetCurrentThreadId();
  if (!context)
  {
    std::lock_guard<std::mutex> lock(gl.mutex);
    if (auto it = gl.contexts.find(reinterpret_cast<uintptr_t>(CurrentHandle())); it != gl.contexts.end())
    {
      it->second.thread = 0;
      it->second.window = nullptr;
    }
    egl::MakeCurrent(nullptr, nullptr);
    tCurrent.context = nullptr;
    tCurrent.dc = nullptr;
    return TRUE;
  }
  const HWND hwnd = WindowOfDc(dc);
  if (!hwnd)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int format = GetPixelFormat(dc);
  const SIZE size = ClientSize(hwnd);

  std::lock_guard<std::mutex> lock(gl.mutex);
  auto it = gl.contexts.find(reinterpret_cast<uintptr_t>(context));
  if (it == gl.contexts.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto& record = it->second;
  if (record.thread != 0 && record.thread != self)
  {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  if (format != record.format)
  {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  // Replacing the window's back buffer may rebind contexts on this thread: from here on, the
  // thread's previous context is no longer current, also when this call fails (as on Windows).
  if (auto previous = gl.contexts.find(reinterpret_cast<uintptr_t>(CurrentHandle())); previous != gl.contexts.end())
  {
    previous->second.thread = 0;
    previous->second.window = nullptr;
  }
  void* surface = SurfaceForLocked(gl, hwnd, size, record);
  if (!surface || !egl::MakeCurrent(surface, record.egl))
  {
    egl::MakeCurrent(nullptr, nullptr);
    tCurrent.context = nullptr;
    tCurrent.dc = nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  record.thread = self;
  record.window = hwnd;
  record.used = true;
  tCurrent.context = context;
  tCurrent.dc = dc;
  return TRUE;
}

HGLRC wglGetCurrentContext()
{
  return tCurrent.context;
}

HDC wglGetCurrentDC()
{
  return tCurrent.dc;
}

BOOL SwapBuffers(HDC dc)
{
  const HWND hwnd = WindowOfDc(dc);
  if (!hwnd)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const SIZE size = ClientSize(hwnd);
  auto& gl = Gl();
  std::lock_guard<std::mutex> lock(gl.mutex);
  auto context = gl.contexts.find(reinterpret_cast<uintptr_t>(CurrentHandle()));
  auto surface = gl.surfaces.find(reinterpret_cast<uintptr_t>(hwnd));
  if (context == gl.contexts.end() || context->second.window != hwnd || surface == gl.surfaces.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int width = surface->second.width, height = surface->second.height;
  PresentFrame(hwnd, width, height, [=](uint8_t* rgba) { return egl::ReadFrame(width, height, rgba); });

  // A window that changed size gets a back buffer of its new size for the next frame.
  if (!Fits(surface->second, size))
  {
    void* next = SurfaceForLocked(gl, hwnd, size, context->second);
    if (!egl::MakeCurrent(next, context->second.egl))
    {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
  return TRUE;
}

// --- 3. Function look-up -----------------------------------------------------------------------

namespace {

int tSwapInterval = 1;

const char* APIENTRY GetExtensionsStringArb(HDC)
{
  return "WGL_ARB_extensions_string WGL_EXT_extensions_string WGL_EXT_swap_control";
}

const char* APIENTRY GetExtensionsStringExt()
{
  return GetExtensionsStringArb(nullptr);
}

BOOL APIENTRY SwapIntervalExt(int interval)
{
  if (interval < 0)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  tSwapInterval = interval;
  return TRUE;
}

int APIENTRY GetSwapIntervalExt()
{
  return tSwapInterval;
}

template <typename F>
PROC AsProc(F function)
{
  return reinterpret_cast<PROC>(reinterpret_cast<void*>(function));
}

} // namespace

PROC wglGetProcAddress(LPCSTR name)
{
  if (!name || !CurrentHandle())
    return nullptr;
  if (std::strcmp(name, "wglGetExtensionsStringARB") == 0)
    return AsProc(&GetExtensionsStringArb);
  if (std::strcmp(name, "wglGetExtensionsStringEXT") == 0)
    return AsProc(&GetExtensionsStringExt);
  if (std::strcmp(name, "wglSwapIntervalEXT") == 0)
    return AsProc(&SwapIntervalExt);
  if (std::strcmp(name, "wglGetSwapIntervalEXT") == 0)
    return AsProc(&GetSwapIntervalExt);
  if (std::strncmp(name, "gl", 2) != 0 || egl::IsOpenGl11Function(name))
    return nullptr;
  return reinterpret_cast<PROC>(egl::ProcAddress(name));
}

namespace win32compat {

FARPROC OpenGl32Export(const char* name)
{
  static const struct
  {
    const char* name;
    FARPROC proc;
  } kWgl[] = {
      {"wglCreateContext", AsProc(&wglCreateContext)},
      {"wglDeleteContext", AsProc(&wglDeleteContext)},
      {"wglMakeCurrent", AsProc(&wglMakeCurrent)},
      {"wglGetCurrentContext", AsProc(&wglGetCurrentContext)},
      {"wglGetCurrentDC", AsProc(&wglGetCurrentDC)},
      {"wglGetProcAddress", AsProc(&wglGetProcAddress)},
  };
  for (const auto& entry : kWgl)
    if (std::strcmp(entry.name, name) == 0)
      return entry.proc;
  if (egl::IsOpenGl11Function(name))
    return reinterpret_cast<FARPROC>(egl::ProcAddress(name));
  return nullptr;
}

} // namespace win32compat
