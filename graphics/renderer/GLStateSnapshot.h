#pragma once

#include "GLFunctions.h"

namespace iplug::igraphics::renderer {

// The OpenGL state that the renderer changes and that the host may own, taken before the
// renderer draws and put back afterwards: program, blending, stencil, scissor (switch and box), depth and cull
// switches, colour mask, the texture unit 0 binding, the array buffer, the two vertex attributes
// the renderer uses and the pixel-unpack settings.
class GLStateSnapshot
{
public:
  void Capture(const GLFunctions& gl);
  void Restore(const GLFunctions& gl) const;

private:
  struct Attrib
  {
    GLint enabled, size, type, normalized, stride, buffer;
    void* pointer;
  };

  GLint mProgram = 0;
  GLboolean mBlend = GL_FALSE, mStencil = GL_FALSE, mScissor = GL_FALSE, mDepth = GL_FALSE, mCull = GL_FALSE;
  GLint mBlendSrcRGB = 0, mBlendDstRGB = 0, mBlendSrcA = 0, mBlendDstA = 0, mBlendEqRGB = 0, mBlendEqA = 0;
  GLint mStencilFunc[2] = {}, mStencilRef[2] = {}, mStencilValueMask[2] = {}, mStencilWriteMask[2] = {};
  GLint mStencilFail[2] = {}, mStencilZFail[2] = {}, mStencilZPass[2] = {};
  GLint mScissorBox[4] = {};
  GLboolean mColorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  GLint mActiveTexture = 0, mTexture2D = 0, mArrayBuffer = 0;
  GLint mUnpackAlignment = 4, mUnpackRowLength = 0, mUnpackSkipRows = 0, mUnpackSkipPixels = 0;
  Attrib mAttribs[2] = {};
};

} // namespace iplug::igraphics::renderer
