#pragma once

// What one open editor holds of the X server: its own connection, its window with the colormap
// of the GL visual, the GLX context, the cursors made so far and the keyboard's keymap. Private
// to the X11 window layer.

#include <array>

#include <GL/glx.h>
#include <X11/Xlib.h>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace iplug::igraphics {

struct X11Connection
{
  Display* display = nullptr;
  Window parent = 0;
  Window window = 0;
  Colormap colormap = 0;
  GLXContext context = nullptr;
  GLXFBConfig config = nullptr;

  // What was current before ActivateGLContext, made current again by DeactivateGLContext.
  Display* savedDisplay = nullptr;
  GLXDrawable savedDrawable = 0;
  GLXContext savedContext = nullptr;

  // One per cursor type, made on first use; the invisible one hides the pointer.
  std::array<Cursor, 14> cursors{};
  Cursor invisible = 0;

  xkb_context* xkbContext = nullptr;
  xkb_keymap* keymap = nullptr;
  xkb_state* keyState = nullptr;

  Atom clipboard = 0;
  Atom utf8String = 0;
  Atom targets = 0;
  Atom selectionProperty = 0;
  Atom resourceManager = 0;
  Atom deleteWindow = 0;
};

} // namespace iplug::igraphics
