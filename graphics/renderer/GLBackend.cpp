// The GL queue. Sections: shader source · program set-up · textures · recording · rendering.

#include "GLBackend.h"

#include "GLStateSnapshot.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace iplug::igraphics::renderer {

namespace {

// ---------------------------------------------------------------------------------------------
// Shader source

const char* const kVertexShader = R"(#version 110
uniform vec2 viewSize;
attribute vec2 vertex;
attribute vec2 tcoord;
varying vec2 fpos;
varying vec2 ftcoord;
void main()
{
  ftcoord = tcoord;
  fpos = vertex;
  gl_Position = vec4(2.0 * vertex.x / viewSize.x - 1.0, 1.0 - 2.0 * vertex.y / viewSize.y, 0.0, 1.0);
}
)";

// frag[0..2]  paint-space matrix columns      frag[3..5] clip-space matrix columns
// frag[6]     inner colour (premultiplied)    frag[7]    outer colour (premultiplied)
// frag[8]     clip half size, clip scale      frag[9]    extent, radius, feather
// frag[10]    coverage mult, paint kind, coverage kind
// frag[11]    atlas texel scale, image is premultiplied, image rows bottom-up
const char* const kFragmentShader = R"(#version 110
uniform vec4 frag[12];
uniform sampler2D tex;
varying vec2 fpos;
varying vec2 ftcoord;

float roundRectDistance(vec2 p, vec2 ext, float r)
{
  vec2 q = abs(p) - (ext - vec2(r));
  return min(max(q.x, q.y), 0.0) + length(max(q, vec2(0.0))) - r;
}

void main()
{
  mat3 paintMat = mat3(frag[0].xyz, frag[1].xyz, frag[2].xyz);
  mat3 clipMat = mat3(frag[3].xyz, frag[4].xyz, frag[5].xyz);
  vec4 inner = frag[6];
  vec4 outer = frag[7];
  vec2 extent = frag[9].xy;
  float radius = frag[9].z;
  float feather = max(frag[9].w, 0.0001);
  float paintKind = frag[10].y;
  float coverKind = frag[10].z;

  float clip = 1.0;
  if (frag[8].x >= 0.0)
  {
    vec2 d = vec2(0.5) - (abs((clipMat * vec3(fpos, 1.0)).xy) - frag[8].xy) * frag[8].zw;
    clip = clamp(d.x, 0.0, 1.0) * clamp(d.y, 0.0, 1.0);
  }

  float cover = 1.0;
  if (coverKind < 0.5)
    cover = min(1.0, (1.0 - abs(ftcoord.x * 2.0 - 1.0)) * frag[10].x) * min(1.0, ftcoord.y);
  else if (coverKind < 1.5)
    cover = texture2D(tex, ftcoord * frag[11].xy).a;

  // Pixels that neither the shape nor the clip reach stay as they are under any blend; one with
  // a zero destination factor would clear them.
  if (cover * clip <= 0.0)
    discard;

  vec2 pt = (paintMat * vec3(fpos, 1.0)).xy;
  vec4 color = inner;
  if (paintKind > 0.5 && paintKind < 3.5)
  {
    float t;
    if (paintKind < 1.5)
      t = pt.x / max(extent.x, 0.0001);
    else if (paintKind < 2.5)
      t = (length(pt) - radius) / feather;
    else
      t = (roundRectDistance(pt, extent, radius) + feather * 0.5) / feather;
    color = mix(inner, outer, clamp(t, 0.0, 1.0));
  }
  else if (paintKind > 3.5)
  {
    vec2 uv = pt / extent;
    if (frag[11].w > 0.5)
      uv.y = 1.0 - uv.y;
    vec4 texel = texture2D(tex, uv);
    if (frag[11].z < 0.5)
      texel.rgb *= texel.a;
    color = texel * inner;
  }
  gl_FragColor = color * (cover * clip);
}
)";

GLenum ToGL(BlendFactor f)
{
  switch (f)
  {
  case BlendFactor::Zero: return GL_ZERO;
  case BlendFactor::One: return GL_ONE;
  case BlendFactor::SrcColor: return GL_SRC_COLOR;
  case BlendFactor::OneMinusSrcColor: return GL_ONE_MINUS_SRC_COLOR;
  case BlendFactor::DstColor: return GL_DST_COLOR;
  case BlendFactor::OneMinusDstColor: return GL_ONE_MINUS_DST_COLOR;
  case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
  case BlendFactor::OneMinusSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
  case BlendFactor::DstAlpha: return GL_DST_ALPHA;
  case BlendFactor::OneMinusDstAlpha: return GL_ONE_MINUS_DST_ALPHA;
  case BlendFactor::SrcAlphaSaturate: return GL_SRC_ALPHA_SATURATE;
  }
  return GL_ONE;
}

void Premultiply(const Color& c, float* out)
{
  const float a = std::clamp(c.a, 0.f, 1.f);
  out[0] = std::clamp(c.r, 0.f, 1.f) * a;
  out[1] = std::clamp(c.g, 0.f, 1.f) * a;
  out[2] = std::clamp(c.b, 0.f, 1.f) * a;
  out[3] = a;
}

void MatrixColumns(const Transform2D& t, float* out)
{
  const float m[12] = {t.a, t.b, 0.f, 0.f, t.c, t.d, 0.f, 0.f, t.e, t.f, 1.f, 0.f};
  std::copy(m, m + 12, out);
}

GLuint Compile(const GLFunctions& gl, GLenum type, const char* source)
{
  const GLuint shader = gl.CreateShader(type);
  if (!shader)
    return 0;
  gl.ShaderSource(shader, 1, &source, nullptr);
  gl.CompileShader(shader);
  GLint ok = GL_FALSE;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok)
  {
    gl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Program set-up

bool GLBackend::Init(const GLFunctions& gl, bool antiAlias)
{
  mGL = &gl;
  mAntiAlias = antiAlias;
  while (glGetError() != GL_NO_ERROR) {}

  const GLuint vs = Compile(gl, GL_VERTEX_SHADER, kVertexShader);
  const GLuint fs = Compile(gl, GL_FRAGMENT_SHADER, kFragmentShader);
  if (!vs || !fs)
  {
    if (vs)
      gl.DeleteShader(vs);
    if (fs)
      gl.DeleteShader(fs);
    return false;
  }
  mProgram = gl.CreateProgram();
  gl.AttachShader(mProgram, vs);
  gl.AttachShader(mProgram, fs);
  gl.BindAttribLocation(mProgram, 0, "vertex");
  gl.BindAttribLocation(mProgram, 1, "tcoord");
  gl.LinkProgram(mProgram);
  gl.DeleteShader(vs); // stays alive while attached
  gl.DeleteShader(fs);
  GLint linked = GL_FALSE;
  gl.GetProgramiv(mProgram, GL_LINK_STATUS, &linked);
  if (!linked)
  {
    gl.DeleteProgram(mProgram);
    mProgram = 0;
    return false;
  }
  mLocViewSize = gl.GetUniformLocation(mProgram, "viewSize");
  mLocFrag = gl.GetUniformLocation(mProgram, "frag");
  mLocTex = gl.GetUniformLocation(mProgram, "tex");
  gl.GenBuffers(1, &mVertexBuffer);
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize);
  return mLocFrag >= 0 && mVertexBuffer != 0 && glGetError() == GL_NO_ERROR;
}

void GLBackend::Shutdown()
{
  if (!mGL)
    return;
  Clear();
  for (Texture& t : mTextures)
    if (t.id)
      glDeleteTextures(1, &t.id);
  mTextures.clear();
  mFreeSlots.clear();
  if (mVertexBuffer)
    mGL->DeleteBuffers(1, &mVertexBuffer);
  if (mProgram)
    mGL->DeleteProgram(mProgram);
  mVertexBuffer = 0;
  mProgram = 0;
  mGL = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Textures

const GLBackend::Texture* GLBackend::Find(int image) const
{
  if (image < 1 || image > int(mTextures.size()))
    return nullptr;
  const Texture& t = mTextures[size_t(image - 1)];
  return t.live && !t.deletePending ? &t : nullptr;
}

int GLBackend::CreateTexture(int width, int height, int flags, const void* pixels)
{
  if (!mGL || width <= 0 || height <= 0 || width > mMaxTextureSize || height > mMaxTextureSize)
    return 0;

  GLint prevTexture = 0, prevActive = 0, prevAlign = 4, prevRow = 0, prevSkipRows = 0, prevSkipPixels = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &prevActive);
  mGL->ActiveTexture(GL_TEXTURE0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &prevTexture);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &prevAlign);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &prevRow);
  glGetIntegerv(GL_UNPACK_SKIP_ROWS, &prevSkipRows);
  glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &prevSkipPixels);
  while (glGetError() != GL_NO_ERROR) {}

  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  const bool alpha = flags & kImageAlphaOnly;
  const GLenum format = alpha ? GL_ALPHA : GL_RGBA;
  glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
  const GLint filter = (flags & kImageNearest) ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (flags & kImageRepeatX) ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, (flags & kImageRepeatY) ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  const bool ok = glGetError() == GL_NO_ERROR;

  glPixelStorei(GL_UNPACK_ALIGNMENT, prevAlign);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, prevRow);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, prevSkipRows);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, prevSkipPixels);
  glBindTexture(GL_TEXTURE_2D, GLuint(prevTexture));
  mGL->ActiveTexture(GLenum(prevActive));
  if (!ok)
  {
    glDeleteTextures(1, &id);
    return 0;
  }

  Texture t;
  t.id = id;
  t.width = width;
  t.height = height;
  t.flags = flags;
  t.live = true;
  if (!mFreeSlots.empty())
  {
    const int slot = mFreeSlots.back();
    mFreeSlots.pop_back();
    mTextures[size_t(slot)] = t;
    return slot + 1;
  }
  mTextures.push_back(t);
  return int(mTextures.size());
}

bool GLBackend::UpdateTexture(int image, int x, int y, int width, int height, const void* pixels)
{
  const Texture* t = Find(image);
  if (!t || !pixels || x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > t->width ||
      y + height > t->height)
    return false;
  GLint prevTexture = 0, prevActive = 0, prevAlign = 4, prevRow = 0, prevSkipRows = 0, prevSkipPixels = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &prevActive);
  mGL->ActiveTexture(GL_TEXTURE0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &prevTexture);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &prevAlign);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &prevRow);
  glGetIntegerv(GL_UNPACK_SKIP_ROWS, &prevSkipRows);
  glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &prevSkipPixels);

  // `pixels` holds the whole image; only the rectangle is sent.
  glBindTexture(GL_TEXTURE_2D, t->id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, t->width);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, y);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, x);
  const GLenum format = (t->flags & kImageAlphaOnly) ? GL_ALPHA : GL_RGBA;
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, format, GL_UNSIGNED_BYTE, pixels);

  glPixelStorei(GL_UNPACK_ALIGNMENT, prevAlign);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, prevRow);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, prevSkipRows);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, prevSkipPixels);
  glBindTexture(GL_TEXTURE_2D, GLuint(prevTexture));
  mGL->ActiveTexture(GLenum(prevActive));
  return true;
}

bool GLBackend::ResizeTexture(int image, int width, int height, const void* pixels)
{
  const Texture* t = Find(image);
  if (!t || width <= 0 || height <= 0 || width > mMaxTextureSize || height > mMaxTextureSize)
    return false;
  const int flags = t->flags;
  const int fresh = CreateTexture(width, height, flags, pixels);
  if (!fresh)
    return false;
  // Swap the new storage into the old handle so that recorded calls keep pointing at it.
  Texture& oldT = mTextures[size_t(image - 1)];
  Texture& newT = mTextures[size_t(fresh - 1)];
  std::swap(oldT.id, newT.id);
  std::swap(oldT.width, newT.width);
  std::swap(oldT.height, newT.height);
  DeleteTexture(fresh);
  return true;
}

bool GLBackend::TextureSize(int image, int& width, int& height) const
{
  const Texture* t = Find(image);
  width = t ? t->width : 0;
  height = t ? t->height : 0;
  return t != nullptr;
}

GLuint GLBackend::TextureId(int image) const
{
  // Calls recorded before a deletion still draw with the texture until the frame ends.
  if (image < 1 || image > int(mTextures.size()) || !mTextures[size_t(image - 1)].live)
    return 0;
  return mTextures[size_t(image - 1)].id;
}

void GLBackend::DeleteTexture(int image)
{
  if (!Find(image))
    return;
  Texture& t = mTextures[size_t(image - 1)];
  t.deletePending = true;
  if (!mInFrame)
    DeletePending();
}

void GLBackend::DeletePending()
{
  for (size_t i = 0; i < mTextures.size(); ++i)
  {
    Texture& t = mTextures[i];
    if (t.live && t.deletePending)
    {
      glDeleteTextures(1, &t.id);
      t = Texture{};
      mFreeSlots.push_back(int(i));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Recording

void GLBackend::BeginFrame(float width, float height, float devicePixel)
{
  Clear();
  mDevicePixel = devicePixel;
  mView[0] = width;
  mView[1] = height;
  mInFrame = true;
}

void GLBackend::Clear()
{
  mVerts.clear();
  mPathDraws.clear();
  mCalls.clear();
  mUniforms.clear();
}

void GLBackend::CancelFrame()
{
  Clear();
  mInFrame = false;
  DeletePending();
}

void GLBackend::EndFrame()
{
  Flush();
  mInFrame = false;
  DeletePending();
}

void GLBackend::Flush()
{
  if (!mCalls.empty() && mGL)
    Render();
  Clear();
  DeletePending();
}

bool GLBackend::PushUniforms(const Paint& paint, const Scissor& scissor, float strokeMult, Cover cover, int atlasImage)
{
  Uniforms u{};
  float* f = u.v;

  Transform2D inv;
  if (!paint.transform.Inverse(inv))
    return false;
  MatrixColumns(inv, f + 0);

  float kind = 0.f;
  const Texture* tex = nullptr;
  switch (paint.kind)
  {
  case Paint::Kind::Solid: kind = 0.f; break;
  case Paint::Kind::Linear: kind = 1.f; break;
  case Paint::Kind::Radial: kind = 2.f; break;
  case Paint::Kind::Box: kind = 3.f; break;
  case Paint::Kind::Image:
    if (cover == Cover::Atlas)
      break; // text takes the image's tint only: one texture unit serves the glyphs
    tex = Find(paint.image);
    if (!tex || !(paint.extent[0] > 0.f) || !(paint.extent[1] > 0.f))
      return false;
    kind = 4.f;
    break;
  }

  if (scissor.extent[0] >= 0.f)
  {
    Transform2D sinv;
    if (!scissor.transform.Inverse(sinv))
      return false;
    MatrixColumns(sinv, f + 12);
    const Transform2D& s = scissor.transform;
    f[32] = scissor.extent[0];
    f[33] = scissor.extent[1];
    const float px = mDevicePixel;
    f[34] = std::sqrt(s.a * s.a + s.b * s.b) / px;
    f[35] = std::sqrt(s.c * s.c + s.d * s.d) / px;
  }
  else
  {
    MatrixColumns(Transform2D::Identity(), f + 12);
    f[32] = f[33] = -1.f;
    f[34] = f[35] = 1.f;
  }

  Premultiply(paint.inner, f + 24);
  Premultiply(paint.kind == Paint::Kind::Solid || paint.kind == Paint::Kind::Image ? paint.inner : paint.outer,
              f + 28);
  f[36] = paint.extent[0];
  f[37] = paint.extent[1];
  float radius = paint.radius;
  if (paint.kind == Paint::Kind::Box)
    radius = std::clamp(radius, 0.f, std::min(std::fabs(paint.extent[0]), std::fabs(paint.extent[1])));
  f[38] = radius;
  f[39] = paint.feather;
  f[40] = strokeMult;
  f[41] = kind;
  f[42] = cover == Cover::Edge ? 0.f : (cover == Cover::Atlas ? 1.f : 2.f);
  if (cover == Cover::Atlas)
  {
    if (!Find(atlasImage))
      return false;
  }
  else if (tex)
  {
    f[46] = (tex->flags & kImagePremultiplied) ? 1.f : 0.f;
    f[47] = (tex->flags & kImageFlipY) ? 1.f : 0.f;
  }
  mUniforms.push_back(u);
  return true;
}

GLBackend::Box GLBackend::ClipBox(const Scissor& scissor) const
{
  // The shader fades the clip over half a device pixel outside its edge; one whole device pixel
  // of margin keeps every pixel it can touch, so the OpenGL scissor never changes a picture.
  const float margin = mDevicePixel;
  Box box{-margin, -margin, mView[0] + margin, mView[1] + margin};
  if (scissor.extent[0] < 0.f)
    return box;
  const Transform2D& t = scissor.transform;
  const float ex = std::fabs(t.a) * scissor.extent[0] + std::fabs(t.c) * scissor.extent[1];
  const float ey = std::fabs(t.b) * scissor.extent[0] + std::fabs(t.d) * scissor.extent[1];
  box.x0 = std::max(box.x0, t.e - ex - margin);
  box.y0 = std::max(box.y0, t.f - ey - margin);
  box.x1 = std::min(box.x1, t.e + ex + margin);
  box.y1 = std::min(box.y1, t.f + ey + margin);
  if (std::isnan(box.x0) || std::isnan(box.y0) || std::isnan(box.x1) || std::isnan(box.y1))
    box = Box{0.f, 0.f, 0.f, 0.f};
  return box;
}

bool GLBackend::OutsideClip(const Scissor& scissor, size_t firstVertex) const
{
  const Box clip = ClipBox(scissor);
  if (clip.Empty())
    return true;
  if (firstVertex >= mVerts.size())
    return false;
  Box b{mVerts[firstVertex].x, mVerts[firstVertex].y, mVerts[firstVertex].x, mVerts[firstVertex].y};
  for (size_t i = firstVertex + 1; i < mVerts.size(); ++i)
  {
    b.x0 = std::min(b.x0, mVerts[i].x);
    b.y0 = std::min(b.y0, mVerts[i].y);
    b.x1 = std::max(b.x1, mVerts[i].x);
    b.y1 = std::max(b.y1, mVerts[i].y);
  }
  return b.x1 < clip.x0 || b.x0 > clip.x1 || b.y1 < clip.y0 || b.y0 > clip.y1;
}

void GLBackend::ScissorPixels(const Box& box, const GLint viewport[4], GLint out[4]) const
{
  // Frame units to window pixels as the vertex shader maps them; window rows count upwards.
  const double sx = double(viewport[2]) / double(mView[0]), sy = double(viewport[3]) / double(mView[1]);
  const double left = std::floor(viewport[0] + box.x0 * sx);
  const double right = std::ceil(viewport[0] + box.x1 * sx);
  const double bottom = std::floor(viewport[1] + (double(mView[1]) - box.y1) * sy);
  const double top = std::ceil(viewport[1] + (double(mView[1]) - box.y0) * sy);
  const double limit = 1 << 24;
  out[0] = GLint(std::clamp(left, -limit, limit));
  out[1] = GLint(std::clamp(bottom, -limit, limit));
  out[2] = GLint(std::clamp(right - left, 0.0, limit));
  out[3] = GLint(std::clamp(top - bottom, 0.0, limit));
}

bool GLBackend::AddFill(const Paint& paint, const Scissor& scissor, const Blend& blend, float fringe,
                        size_t firstDraw, size_t drawCount, bool convex, uint32_t coverOffset)
{
  const uint32_t uniforms = uint32_t(mUniforms.size());
  const bool aa = fringe > 0.f;
  if (convex)
  {
    if (!PushUniforms(paint, scissor, 1.f, aa ? Cover::Edge : Cover::Full, 0))
      return false;
  }
  else
  {
    // Fringe outside the filled pixels, then the cover over them.
    if (!PushUniforms(paint, scissor, 0.5f, Cover::Edge, 0))
      return false;
    if (!PushUniforms(paint, scissor, 1.f, Cover::Full, 0))
    {
      mUniforms.pop_back();
      return false;
    }
  }
  Call c{};
  c.type = convex ? CallType::ConvexFill : CallType::StencilFill;
  c.image = paint.kind == Paint::Kind::Image ? paint.image : 0;
  c.firstDraw = uint32_t(firstDraw);
  c.drawCount = uint32_t(drawCount);
  c.firstVertex = coverOffset;
  c.vertexCount = convex ? 0 : 4;
  c.uniforms = uniforms;
  c.blend = blend;
  c.clip = ClipBox(scissor);
  mCalls.push_back(c);
  return true;
}

bool GLBackend::AddStroke(const Paint& paint, const Scissor& scissor, const Blend& blend, float fringe,
                          float strokeMult, size_t firstDraw, size_t drawCount)
{
  const uint32_t uniforms = uint32_t(mUniforms.size());
  if (!PushUniforms(paint, scissor, strokeMult, fringe > 0.f ? Cover::Edge : Cover::Full, 0))
    return false;
  Call c{};
  c.type = CallType::Stroke;
  c.image = paint.kind == Paint::Kind::Image ? paint.image : 0;
  c.firstDraw = uint32_t(firstDraw);
  c.drawCount = uint32_t(drawCount);
  c.uniforms = uniforms;
  c.blend = blend;
  c.clip = ClipBox(scissor);
  mCalls.push_back(c);
  return true;
}

bool GLBackend::AddTriangles(const Paint& paint, const Scissor& scissor, const Blend& blend, int atlasImage,
                             uint32_t firstVertex, uint32_t vertexCount)
{
  const uint32_t uniforms = uint32_t(mUniforms.size());
  if (!PushUniforms(paint, scissor, 1.f, Cover::Atlas, atlasImage))
    return false;
  Call c{};
  c.type = CallType::Triangles;
  c.image = atlasImage;
  c.firstVertex = firstVertex;
  c.vertexCount = vertexCount;
  c.uniforms = uniforms;
  c.blend = blend;
  c.clip = ClipBox(scissor);
  mCalls.push_back(c);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Rendering

void GLBackend::SetUniforms(uint32_t index, int image) const
{
  mGL->Uniform4fv(mLocFrag, 12, mUniforms[index].v);
  glBindTexture(GL_TEXTURE_2D, TextureId(image));
}

void GLBackend::Render()
{
  const GLFunctions& gl = *mGL;
  GLStateSnapshot saved;
  saved.Capture(gl);

  gl.UseProgram(mProgram);
  gl.Uniform2fv(mLocViewSize, 1, mView);
  gl.Uniform1i(mLocTex, 0);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_SCISSOR_TEST);
  glDisable(GL_STENCIL_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl.StencilMaskSeparate(GL_FRONT_AND_BACK, 0xff);
  gl.StencilOpSeparate(GL_FRONT_AND_BACK, GL_KEEP, GL_KEEP, GL_KEEP);
  gl.StencilFuncSeparate(GL_FRONT_AND_BACK, GL_ALWAYS, 0, 0xff);
  gl.BlendEquationSeparate(GL_FUNC_ADD, GL_FUNC_ADD);
  gl.ActiveTexture(GL_TEXTURE0);

  gl.BindBuffer(GL_ARRAY_BUFFER, mVertexBuffer);
  gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(mVerts.size() * sizeof(Vertex)), mVerts.data(), GL_STREAM_DRAW);
  gl.EnableVertexAttribArray(0);
  gl.EnableVertexAttribArray(1);
  gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(0));
  gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                         reinterpret_cast<const void*>(offsetof(Vertex, u)));

  // The clip of every call is also the OpenGL scissor box: the shader's clip alone would still
  // rasterise each primitive whole, which for a background clipped to one knob is the whole face.
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLint box[4] = {-1, -1, -1, -1};
  for (const Call& c : mCalls)
  {
    GLint next[4];
    ScissorPixels(c.clip, viewport, next);
    if (next[2] <= 0 || next[3] <= 0)
      continue;
    if (!std::equal(next, next + 4, box))
    {
      std::copy(next, next + 4, box);
      glScissor(box[0], box[1], box[2], box[3]);
    }
    gl.BlendFuncSeparate(ToGL(c.blend.srcRGB), ToGL(c.blend.dstRGB), ToGL(c.blend.srcAlpha), ToGL(c.blend.dstAlpha));
    const PathDraw* draws = mPathDraws.data() + c.firstDraw;
    switch (c.type)
    {
    case CallType::ConvexFill:
      SetUniforms(c.uniforms, c.image);
      for (uint32_t i = 0; i < c.drawCount; ++i)
      {
        glDrawArrays(GL_TRIANGLE_FAN, GLint(draws[i].fillOffset), GLsizei(draws[i].fillCount));
        if (draws[i].stripCount)
          glDrawArrays(GL_TRIANGLE_STRIP, GLint(draws[i].stripOffset), GLsizei(draws[i].stripCount));
      }
      break;

    case CallType::StencilFill:
      // Winding numbers into the stencil: front faces count up, back faces down.
      glEnable(GL_STENCIL_TEST);
      glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
      gl.StencilFuncSeparate(GL_FRONT_AND_BACK, GL_ALWAYS, 0, 0xff);
      gl.StencilOpSeparate(GL_FRONT, GL_KEEP, GL_KEEP, GL_INCR_WRAP);
      gl.StencilOpSeparate(GL_BACK, GL_KEEP, GL_KEEP, GL_DECR_WRAP);
      SetUniforms(c.uniforms + 1, 0);
      for (uint32_t i = 0; i < c.drawCount; ++i)
        glDrawArrays(GL_TRIANGLE_FAN, GLint(draws[i].fillOffset), GLsizei(draws[i].fillCount));
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

      // The fringe only where the winding number is zero, so it never blends over the inside.
      SetUniforms(c.uniforms, c.image);
      gl.StencilOpSeparate(GL_FRONT_AND_BACK, GL_KEEP, GL_KEEP, GL_KEEP);
      if (mAntiAlias)
      {
        gl.StencilFuncSeparate(GL_FRONT_AND_BACK, GL_EQUAL, 0, 0xff);
        for (uint32_t i = 0; i < c.drawCount; ++i)
          if (draws[i].stripCount)
            glDrawArrays(GL_TRIANGLE_STRIP, GLint(draws[i].stripOffset), GLsizei(draws[i].stripCount));
      }

      // Cover every non-zero pixel once and reset the stencil behind it.
      SetUniforms(c.uniforms + 1, c.image);
      gl.StencilFuncSeparate(GL_FRONT_AND_BACK, GL_NOTEQUAL, 0, 0xff);
      gl.StencilOpSeparate(GL_FRONT_AND_BACK, GL_ZERO, GL_ZERO, GL_ZERO);
      glDrawArrays(GL_TRIANGLE_STRIP, GLint(c.firstVertex), GLsizei(c.vertexCount));
      gl.StencilOpSeparate(GL_FRONT_AND_BACK, GL_KEEP, GL_KEEP, GL_KEEP);
      glDisable(GL_STENCIL_TEST);
      break;

    case CallType::Stroke:
      SetUniforms(c.uniforms, c.image);
      for (uint32_t i = 0; i < c.drawCount; ++i)
        glDrawArrays(GL_TRIANGLE_STRIP, GLint(draws[i].stripOffset), GLsizei(draws[i].stripCount));
      break;

    case CallType::Triangles:
    {
      // The atlas may have grown since the call was recorded; glyph texels stay where they were.
      int w = 1, h = 1;
      TextureSize(c.image, w, h);
      mUniforms[c.uniforms].v[44] = 1.f / float(std::max(w, 1));
      mUniforms[c.uniforms].v[45] = 1.f / float(std::max(h, 1));
      SetUniforms(c.uniforms, c.image);
      glDrawArrays(GL_TRIANGLES, GLint(c.firstVertex), GLsizei(c.vertexCount));
      break;
    }
    }
  }

  saved.Restore(gl);
}

} // namespace iplug::igraphics::renderer
