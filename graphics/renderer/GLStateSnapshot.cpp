#include "GLStateSnapshot.h"

namespace iplug::igraphics::renderer {

void GLStateSnapshot::Capture(const GLFunctions& gl)
{
  glGetIntegerv(GL_CURRENT_PROGRAM, &mProgram);
  mBlend = glIsEnabled(GL_BLEND);
  mStencil = glIsEnabled(GL_STENCIL_TEST);
  mScissor = glIsEnabled(GL_SCISSOR_TEST);
  glGetIntegerv(GL_SCISSOR_BOX, mScissorBox);
  mDepth = glIsEnabled(GL_DEPTH_TEST);
  mCull = glIsEnabled(GL_CULL_FACE);
  glGetIntegerv(GL_BLEND_SRC_RGB, &mBlendSrcRGB);
  glGetIntegerv(GL_BLEND_DST_RGB, &mBlendDstRGB);
  glGetIntegerv(GL_BLEND_SRC_ALPHA, &mBlendSrcA);
  glGetIntegerv(GL_BLEND_DST_ALPHA, &mBlendDstA);
  glGetIntegerv(GL_BLEND_EQUATION_RGB, &mBlendEqRGB);
  glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &mBlendEqA);

  glGetIntegerv(GL_STENCIL_FUNC, &mStencilFunc[0]);
  glGetIntegerv(GL_STENCIL_REF, &mStencilRef[0]);
  glGetIntegerv(GL_STENCIL_VALUE_MASK, &mStencilValueMask[0]);
  glGetIntegerv(GL_STENCIL_WRITEMASK, &mStencilWriteMask[0]);
  glGetIntegerv(GL_STENCIL_FAIL, &mStencilFail[0]);
  glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &mStencilZFail[0]);
  glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &mStencilZPass[0]);
  glGetIntegerv(GL_STENCIL_BACK_FUNC, &mStencilFunc[1]);
  glGetIntegerv(GL_STENCIL_BACK_REF, &mStencilRef[1]);
  glGetIntegerv(GL_STENCIL_BACK_VALUE_MASK, &mStencilValueMask[1]);
  glGetIntegerv(GL_STENCIL_BACK_WRITEMASK, &mStencilWriteMask[1]);
  glGetIntegerv(GL_STENCIL_BACK_FAIL, &mStencilFail[1]);
  glGetIntegerv(GL_STENCIL_BACK_PASS_DEPTH_FAIL, &mStencilZFail[1]);
  glGetIntegerv(GL_STENCIL_BACK_PASS_DEPTH_PASS, &mStencilZPass[1]);

  glGetBooleanv(GL_COLOR_WRITEMASK, mColorMask);
  glGetIntegerv(GL_ACTIVE_TEXTURE, &mActiveTexture);
  gl.ActiveTexture(GL_TEXTURE0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &mTexture2D);
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &mArrayBuffer);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &mUnpackAlignment);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &mUnpackRowLength);
  glGetIntegerv(GL_UNPACK_SKIP_ROWS, &mUnpackSkipRows);
  glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &mUnpackSkipPixels);

  for (GLuint i = 0; i < 2; ++i)
  {
    Attrib& a = mAttribs[i];
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &a.enabled);
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_SIZE, &a.size);
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_TYPE, &a.type);
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &a.normalized);
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &a.stride);
    gl.GetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &a.buffer);
    a.pointer = nullptr;
    gl.GetVertexAttribPointerv(i, GL_VERTEX_ATTRIB_ARRAY_POINTER, &a.pointer);
  }
}

void GLStateSnapshot::Restore(const GLFunctions& gl) const
{
  for (GLuint i = 0; i < 2; ++i)
  {
    const Attrib& a = mAttribs[i];
    gl.BindBuffer(GL_ARRAY_BUFFER, GLuint(a.buffer));
    gl.VertexAttribPointer(i, a.size, GLenum(a.type), GLboolean(a.normalized), a.stride, a.pointer);
    if (a.enabled)
      gl.EnableVertexAttribArray(i);
    else
      gl.DisableVertexAttribArray(i);
  }
  gl.BindBuffer(GL_ARRAY_BUFFER, GLuint(mArrayBuffer));

  gl.UseProgram(GLuint(mProgram));
  auto setEnabled = [](GLenum cap, GLboolean on) { on ? glEnable(cap) : glDisable(cap); };
  setEnabled(GL_BLEND, mBlend);
  setEnabled(GL_STENCIL_TEST, mStencil);
  setEnabled(GL_SCISSOR_TEST, mScissor);
  glScissor(mScissorBox[0], mScissorBox[1], GLsizei(mScissorBox[2]), GLsizei(mScissorBox[3]));
  setEnabled(GL_DEPTH_TEST, mDepth);
  setEnabled(GL_CULL_FACE, mCull);
  gl.BlendFuncSeparate(GLenum(mBlendSrcRGB), GLenum(mBlendDstRGB), GLenum(mBlendSrcA), GLenum(mBlendDstA));
  gl.BlendEquationSeparate(GLenum(mBlendEqRGB), GLenum(mBlendEqA));

  const GLenum faces[2] = {GL_FRONT, GL_BACK};
  for (int f = 0; f < 2; ++f)
  {
    gl.StencilFuncSeparate(faces[f], GLenum(mStencilFunc[f]), mStencilRef[f], GLuint(mStencilValueMask[f]));
    gl.StencilMaskSeparate(faces[f], GLuint(mStencilWriteMask[f]));
    gl.StencilOpSeparate(faces[f], GLenum(mStencilFail[f]), GLenum(mStencilZFail[f]), GLenum(mStencilZPass[f]));
  }

  glColorMask(mColorMask[0], mColorMask[1], mColorMask[2], mColorMask[3]);
  gl.ActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, GLuint(mTexture2D));
  gl.ActiveTexture(GLenum(mActiveTexture));
  glPixelStorei(GL_UNPACK_ALIGNMENT, mUnpackAlignment);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, mUnpackRowLength);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, mUnpackSkipRows);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, mUnpackSkipPixels);
}

} // namespace iplug::igraphics::renderer
