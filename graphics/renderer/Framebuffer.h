#pragma once

#include <GL/gl.h>

namespace iplug::igraphics::renderer {

// An off-screen drawing target made by RenderContext::CreateFramebuffer: an OpenGL framebuffer
// object whose colour attachment is a renderer image (usable as an image paint once drawn), with
// a stencil renderbuffer for fills. Delete it through the context that made it.
struct Framebuffer
{
  GLuint fbo = 0;
  GLuint stencil = 0; // renderbuffer
  int image = 0;      // the colour attachment; premultiplied, rows bottom-up
  int width = 0;
  int height = 0;
};

} // namespace iplug::igraphics::renderer
