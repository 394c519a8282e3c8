#include "GLFunctions.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

namespace iplug::igraphics::renderer {

namespace {

// Looks `name` up, then `name` + each suffix in turn. Windows' procedure-address function
// answers small integers (1, 2, 3) or -1 for some names it does not have, so only pointers past
// those count as found.
void* Find(GetProcAddressFn getProc, const char* name, std::initializer_list<const char*> suffixes)
{
  auto valid = [](void* p) {
    const auto v = reinterpret_cast<intptr_t>(p);
    return p != nullptr && v != 1 && v != 2 && v != 3 && v != -1;
  };
  if (void* p = getProc(name); valid(p))
    return p;
  for (const char* suffix : suffixes)
  {
    const std::string alt = std::string(name) + suffix;
    if (void* p = getProc(alt.c_str()); valid(p))
      return p;
  }
  return nullptr;
}

} // namespace

bool GLFunctions::Load(GetProcAddressFn getProc)
{
  mLoaded = false;
  mMissing = nullptr;
  if (!getProc)
  {
    mMissing = "(no procedure-address function)";
    return false;
  }

  bool ok = true;
  auto need = [&](auto& fn, const char* name, std::initializer_list<const char*> suffixes = {}) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(Find(getProc, name, suffixes));
    if (!fn && ok)
    {
      ok = false;
      mMissing = name;
    }
  };
  const std::initializer_list<const char*> fbo = {"ARB", "EXT"};

  need(ActiveTexture, "glActiveTexture", {"ARB"});
  need(BlendFuncSeparate, "glBlendFuncSeparate", {"EXT"});
  need(BlendEquationSeparate, "glBlendEquationSeparate", {"EXT"});
  need(StencilOpSeparate, "glStencilOpSeparate");
  need(StencilFuncSeparate, "glStencilFuncSeparate");
  need(StencilMaskSeparate, "glStencilMaskSeparate");
  need(GenBuffers, "glGenBuffers", {"ARB"});
  need(DeleteBuffers, "glDeleteBuffers", {"ARB"});
  need(BindBuffer, "glBindBuffer", {"ARB"});
  need(BufferData, "glBufferData", {"ARB"});
  need(CreateShader, "glCreateShader");
  need(ShaderSource, "glShaderSource");
  need(CompileShader, "glCompileShader");
  need(GetShaderiv, "glGetShaderiv");
  need(GetShaderInfoLog, "glGetShaderInfoLog");
  need(DeleteShader, "glDeleteShader");
  need(CreateProgram, "glCreateProgram");
  need(AttachShader, "glAttachShader");
  need(BindAttribLocation, "glBindAttribLocation");
  need(LinkProgram, "glLinkProgram");
  need(GetProgramiv, "glGetProgramiv");
  need(GetProgramInfoLog, "glGetProgramInfoLog");
  need(DeleteProgram, "glDeleteProgram");
  need(UseProgram, "glUseProgram");
  need(GetUniformLocation, "glGetUniformLocation");
  need(Uniform1i, "glUniform1i");
  need(Uniform2fv, "glUniform2fv");
  need(Uniform4fv, "glUniform4fv");
  need(EnableVertexAttribArray, "glEnableVertexAttribArray");
  need(DisableVertexAttribArray, "glDisableVertexAttribArray");
  need(VertexAttribPointer, "glVertexAttribPointer");
  need(GetVertexAttribiv, "glGetVertexAttribiv");
  need(GetVertexAttribPointerv, "glGetVertexAttribPointerv");
  need(GenFramebuffers, "glGenFramebuffers", fbo);
  need(DeleteFramebuffers, "glDeleteFramebuffers", fbo);
  need(BindFramebuffer, "glBindFramebuffer", fbo);
  need(FramebufferTexture2D, "glFramebufferTexture2D", fbo);
  need(CheckFramebufferStatus, "glCheckFramebufferStatus", fbo);
  need(GenRenderbuffers, "glGenRenderbuffers", fbo);
  need(DeleteRenderbuffers, "glDeleteRenderbuffers", fbo);
  need(BindRenderbuffer, "glBindRenderbuffer", fbo);
  need(RenderbufferStorage, "glRenderbufferStorage", fbo);
  need(FramebufferRenderbuffer, "glFramebufferRenderbuffer", fbo);
  BlitFramebuffer = reinterpret_cast<PFNGLBLITFRAMEBUFFERPROC>(Find(getProc, "glBlitFramebuffer", fbo));

  mLoaded = ok;
  return ok;
}

} // namespace iplug::igraphics::renderer
