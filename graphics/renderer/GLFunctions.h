#pragma once

// The OpenGL header of the system gives the 1.1 functions and the types; everything newer is
// fetched at run time through the platform's procedure-address function, because on Windows the
// system library exports only OpenGL 1.1.
#include <GL/gl.h>
#include <GL/glext.h>

namespace iplug::igraphics::renderer {

// Returns the address of an OpenGL entry point of the current context, or null.
using GetProcAddressFn = void* (*)(const char* name);

// The OpenGL entry points past version 1.1 that the renderer and its callers use, fetched once
// per context. Framebuffer objects are taken from the core names first, then from the ARB and
// EXT extensions that carry them on older drivers.
class GLFunctions
{
public:
  // UI thread, with the context current. False (and MissingFunction set) when an entry point
  // that the renderer needs is missing; the table must not be used then.
  bool Load(GetProcAddressFn getProc);

  bool IsLoaded() const { return mLoaded; }
  // Name of the first required entry point that could not be found, or null.
  const char* MissingFunction() const { return mMissing; }

  // Texturing and blending
  PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
  PFNGLBLENDFUNCSEPARATEPROC BlendFuncSeparate = nullptr;
  PFNGLBLENDEQUATIONSEPARATEPROC BlendEquationSeparate = nullptr;
  PFNGLSTENCILOPSEPARATEPROC StencilOpSeparate = nullptr;
  PFNGLSTENCILFUNCSEPARATEPROC StencilFuncSeparate = nullptr;
  PFNGLSTENCILMASKSEPARATEPROC StencilMaskSeparate = nullptr;
  // Buffers
  PFNGLGENBUFFERSPROC GenBuffers = nullptr;
  PFNGLDELETEBUFFERSPROC DeleteBuffers = nullptr;
  PFNGLBINDBUFFERPROC BindBuffer = nullptr;
  PFNGLBUFFERDATAPROC BufferData = nullptr;
  // Shaders and programs
  PFNGLCREATESHADERPROC CreateShader = nullptr;
  PFNGLSHADERSOURCEPROC ShaderSource = nullptr;
  PFNGLCOMPILESHADERPROC CompileShader = nullptr;
  PFNGLGETSHADERIVPROC GetShaderiv = nullptr;
  PFNGLGETSHADERINFOLOGPROC GetShaderInfoLog = nullptr;
  PFNGLDELETESHADERPROC DeleteShader = nullptr;
  PFNGLCREATEPROGRAMPROC CreateProgram = nullptr;
  PFNGLATTACHSHADERPROC AttachShader = nullptr;
  PFNGLBINDATTRIBLOCATIONPROC BindAttribLocation = nullptr;
  PFNGLLINKPROGRAMPROC LinkProgram = nullptr;
  PFNGLGETPROGRAMIVPROC GetProgramiv = nullptr;
  PFNGLGETPROGRAMINFOLOGPROC GetProgramInfoLog = nullptr;
  PFNGLDELETEPROGRAMPROC DeleteProgram = nullptr;
  PFNGLUSEPROGRAMPROC UseProgram = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation = nullptr;
  PFNGLUNIFORM1IPROC Uniform1i = nullptr;
  PFNGLUNIFORM2FVPROC Uniform2fv = nullptr;
  PFNGLUNIFORM4FVPROC Uniform4fv = nullptr;
  // Vertex attributes
  PFNGLENABLEVERTEXATTRIBARRAYPROC EnableVertexAttribArray = nullptr;
  PFNGLDISABLEVERTEXATTRIBARRAYPROC DisableVertexAttribArray = nullptr;
  PFNGLVERTEXATTRIBPOINTERPROC VertexAttribPointer = nullptr;
  PFNGLGETVERTEXATTRIBIVPROC GetVertexAttribiv = nullptr;
  PFNGLGETVERTEXATTRIBPOINTERVPROC GetVertexAttribPointerv = nullptr;
  // Framebuffer objects
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
  PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
  // Optional (null when the driver has no framebuffer blit): a 1:1 copy between framebuffers,
  // far cheaper than drawing a textured rectangle on a software rasteriser.
  PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;

private:
  bool mLoaded = false;
  const char* mMissing = nullptr;
};

} // namespace iplug::igraphics::renderer
