#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the EGL side of WGL. This header and its source use no Win32 type, so
// that EGL's and OpenGL's headers never meet the stand-in's (their BOOL and friends clash).
//
// One EGL display for the process, off-screen: Mesa's surfaceless platform (falling back to the
// device platform, then the default display), desktop OpenGL through eglBindAPI(EGL_OPENGL_API).
// A window's back buffer is a pbuffer surface of its client size, so framebuffer 0 is the
// window's as on Windows.

#include <cstdint>

namespace win32compat::egl {

struct Format
{
  int depthBits = 24;
  int stencilBits = 8;
};

// Whether an EGL display with desktop OpenGL could be opened (once, on first use).
bool Available();

// Contexts and surfaces of the same format work together. Null on failure.
void* CreateContext(const Format& format);
void DestroyContext(void* context);
void* CreateSurface(const Format& format, int width, int height);
void DestroySurface(void* surface);
// Destroys a window's back buffer that a buffer of another size replaces, so that its storage is
// gone before the next one's is allocated (at its first binding). `context`, when not null, is
// the context about to be bound to the replacement, which must have been current before and be
// free or current on the calling thread: it holds its own view of every surface it has drawn to,
// and lets that go only at a later binding, so it is bound to a small surface of its own format
// meanwhile. The calling thread is left with `context` current on that small surface (no context
// when null), for the caller to bind the replacement.
void RetireSurface(void* surface, void* context, const Format& format);
// Both null: no context current on the calling thread.
bool MakeCurrent(void* surface, void* context);

// Reads framebuffer 0 of the current context (width x height from the bottom-left corner) into
// `rgba` (width x height x 4 bytes) as rows from the top down, leaving the context's bindings
// and pack state as they were.
bool ReadFrame(int width, int height, uint8_t* rgba);

// Any OpenGL function by name (a current context is not needed to look it up).
void* ProcAddress(const char* name);
// Whether the name is one of the OpenGL 1.0 and 1.1 entry points.
bool IsOpenGl11Function(const char* name);

} // namespace win32compat::egl
