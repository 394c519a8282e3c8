// The renderer's public face. Sections: creation · frames · state · transforms · clip · paints ·
// paths · fill and stroke · images · framebuffers · text.

#include "RenderContext.h"

#include "ImageDecoder.h"
#include "Tessellator.h"
#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace iplug::igraphics::renderer {

namespace {

constexpr float kPi = 3.14159265358979f;
// Glyphs are rasterised at most this many pixels high; larger text scales the bitmaps up.
constexpr float kMaxRasterSize = 512.f;

bool Finite(float v) { return std::isfinite(v); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation

std::unique_ptr<RenderContext> RenderContext::Create(GetProcAddressFn getProc, int flags)
{
  std::unique_ptr<RenderContext> ctx(new RenderContext());
  if (!ctx->Init(getProc, flags))
    return nullptr;
  return ctx;
}

bool RenderContext::Init(GetProcAddressFn getProc, int flags)
{
  mFlags = flags;
  if (!mGL.Load(getProc))
    return false;
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version || std::atoi(version) < 2)
    return false;
  if (!mBackend.Init(mGL, (flags & kContextAntiAlias) != 0))
    return false;
  GLint fb = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &fb);
  mDefaultFramebuffer = GLuint(fb);
  mFonts = std::make_unique<FontAtlas>(std::min(2048, int(mBackend.MaxTextureSize())));
  mAtlasImage = mBackend.CreateTexture(mFonts->Width(), mFonts->Height(), GLBackend::kImageAlphaOnly, mFonts->Pixels());
  if (!mAtlasImage)
    return false;
  mFonts->TakeResized();
  int y0, y1;
  mFonts->TakeDirtyRows(y0, y1);
  Reset();
  return true;
}

RenderContext::~RenderContext()
{
  mBackend.Shutdown();
}

// ---------------------------------------------------------------------------------------------
// Frames

void RenderContext::BeginFrame(float width, float height, float pixelRatio)
{
  if (mBackend.InFrame())
    mBackend.CancelFrame();
  if (!Finite(width) || !Finite(height) || width <= 0.f || height <= 0.f)
    return; // no frame: every drawing call does nothing until the next valid one
  if (!Finite(pixelRatio) || pixelRatio <= 0.f)
    pixelRatio = 1.f;
  mPixelRatio = pixelRatio;
  mFringe = (mFlags & kContextAntiAlias) ? 1.f / pixelRatio : 0.f;
  mTessTol = 0.25f / pixelRatio;
  mDistTol = 0.01f / pixelRatio;
  mView[0] = width;
  mView[1] = height;
  mDepth = 0;
  mIgnoredSaves = 0;
  Reset();
  mPath.Clear();
  mBackend.BeginFrame(width, height, 1.f / pixelRatio);
}

void RenderContext::CancelFrame()
{
  mBackend.CancelFrame();
}

void RenderContext::EndFrame()
{
  if (!mBackend.InFrame())
    return;
  SyncAtlas();
  mBackend.EndFrame();
}

void RenderContext::SyncAtlas()
{
  int y0 = 0, y1 = 0;
  if (mFonts->TakeResized())
  {
    mBackend.ResizeTexture(mAtlasImage, mFonts->Width(), mFonts->Height(), mFonts->Pixels());
    mFonts->TakeDirtyRows(y0, y1);
    return;
  }
  if (mFonts->TakeDirtyRows(y0, y1))
    mBackend.UpdateTexture(mAtlasImage, 0, y0, mFonts->Width(), y1 - y0, mFonts->Pixels());
}

// ---------------------------------------------------------------------------------------------
// State

void RenderContext::Save()
{
  if (mDepth + 1 >= kMaxStates)
  {
    ++mIgnoredSaves;
    return;
  }
  mStates[size_t(mDepth + 1)] = mStates[size_t(mDepth)];
  ++mDepth;
}

void RenderContext::Restore()
{
  if (mIgnoredSaves > 0)
  {
    --mIgnoredSaves;
    return;
  }
  if (mDepth > 0)
    --mDepth;
}

void RenderContext::Reset()
{
  State& s = S();
  s = State{};
  s.fill = Paint::Solid(Color{1.f, 1.f, 1.f, 1.f});
  s.stroke = Paint::Solid(Color{0.f, 0.f, 0.f, 1.f});
}

void RenderContext::SetCompositeBlend(BlendFactor src, BlendFactor dst)
{
  SetCompositeBlendSeparate(src, dst, src, dst);
}

void RenderContext::SetCompositeBlendSeparate(BlendFactor srcRGB, BlendFactor dstRGB, BlendFactor srcAlpha,
                                              BlendFactor dstAlpha)
{
  S().blend = {srcRGB, dstRGB, srcAlpha, dstAlpha};
}

void RenderContext::SetCompositeSourceOver()
{
  S().blend = GLBackend::Blend{};
}

void RenderContext::SetGlobalAlpha(float alpha)
{
  S().alpha = Finite(alpha) ? std::clamp(alpha, 0.f, 1.f) : 0.f;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void RenderContext::ResetTransform()
{
  S().transform = Transform2D::Identity();
}

void RenderContext::Transform(const Transform2D& t)
{
  S().transform = Transform2D::Multiply(t, S().transform);
}

void RenderContext::Translate(float x, float y)
{
  Transform(Transform2D::Translation(x, y));
}

void RenderContext::Scale(float x, float y)
{
  Transform(Transform2D::Scaling(x, y));
}

void RenderContext::Rotate(float radians)
{
  Transform(Transform2D::Rotation(radians));
}

const Transform2D& RenderContext::CurrentTransform() const
{
  return S().transform;
}

// ---------------------------------------------------------------------------------------------
// Clip

void RenderContext::Scissor(float x, float y, float w, float h)
{
  State& s = S();
  if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h))
  {
    s.clipEmpty = true;
    s.scissor.extent[0] = s.scissor.extent[1] = 0.f;
    return;
  }
  w = std::max(0.f, w);
  h = std::max(0.f, h);
  s.scissor.transform = Transform2D::Multiply(Transform2D::Translation(x + w * 0.5f, y + h * 0.5f), s.transform);
  s.scissor.extent[0] = w * 0.5f;
  s.scissor.extent[1] = h * 0.5f;
  s.clipEmpty = w == 0.f || h == 0.f || !s.scissor.transform.IsFinite();
}

void RenderContext::IntersectScissor(float x, float y, float w, float h)
{
  State& s = S();
  if (s.scissor.extent[0] < 0.f)
  {
    Scissor(x, y, w, h);
    return;
  }
  if (s.clipEmpty)
    return;
  Transform2D inv;
  if (!s.transform.Inverse(inv))
  {
    s.clipEmpty = true;
    return;
  }
  // The current clip as a box in today's user space.
  const Transform2D q = Transform2D::Multiply(s.scissor.transform, inv);
  const float ex = std::fabs(q.a) * s.scissor.extent[0] + std::fabs(q.c) * s.scissor.extent[1];
  const float ey = std::fabs(q.b) * s.scissor.extent[0] + std::fabs(q.d) * s.scissor.extent[1];
  const float minX = std::max(q.e - ex, x), minY = std::max(q.f - ey, y);
  const float maxX = std::min(q.e + ex, x + w), maxY = std::min(q.f + ey, y + h);
  Scissor(minX, minY, std::max(0.f, maxX - minX), std::max(0.f, maxY - minY));
}

void RenderContext::ResetScissor()
{
  State& s = S();
  s.scissor = GLBackend::Scissor{};
  s.clipEmpty = false;
}

// ---------------------------------------------------------------------------------------------
// Paints

void RenderContext::SetFillColor(const Color& c)
{
  S().fill = Paint::Solid(c);
}

void RenderContext::SetFillPaint(const Paint& p)
{
  S().fill = p;
  S().fill.transform = Transform2D::Multiply(p.transform, S().transform);
}

void RenderContext::SetStrokeColor(const Color& c)
{
  S().stroke = Paint::Solid(c);
}

void RenderContext::SetStrokePaint(const Paint& p)
{
  S().stroke = p;
  S().stroke.transform = Transform2D::Multiply(p.transform, S().transform);
}

void RenderContext::SetStrokeWidth(float width)
{
  S().strokeWidth = width;
}

void RenderContext::SetMiterLimit(float limit)
{
  if (Finite(limit))
    S().miterLimit = std::max(limit, 0.f);
}

void RenderContext::SetLineCap(LineCap cap)
{
  S().cap = cap;
}

void RenderContext::SetLineJoin(LineJoin join)
{
  S().join = join;
}

Paint RenderContext::PaintWithAlpha(const Paint& p, float alpha) const
{
  Paint out = p;
  out.inner.a *= alpha;
  out.outer.a *= alpha;
  return out;
}

// ---------------------------------------------------------------------------------------------
// Paths

void RenderContext::BeginPath()
{
  mPath.Clear();
}

void RenderContext::MoveTo(float x, float y)
{
  float fx, fy;
  Point(x, y, fx, fy);
  mPath.MoveTo(fx, fy);
}

void RenderContext::LineTo(float x, float y)
{
  float fx, fy;
  Point(x, y, fx, fy);
  mPath.LineTo(fx, fy);
}

void RenderContext::BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  float a, b, c, d, e, f;
  Point(c1x, c1y, a, b);
  Point(c2x, c2y, c, d);
  Point(x, y, e, f);
  mPath.BezierTo(a, b, c, d, e, f);
}

void RenderContext::Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir)
{
  if (!Finite(cx) || !Finite(cy) || !Finite(r) || !Finite(a0) || !Finite(a1))
  {
    mPath.Poison();
    return;
  }
  float sweep = a1 - a0;
  const float full = 2.f * kPi;
  if (dir == ArcDirection::Clockwise)
  {
    if (std::fabs(sweep) >= full)
      sweep = full;
    else
    {
      sweep = std::fmod(sweep, full);
      if (sweep < 0.f)
        sweep += full;
    }
  }
  else
  {
    if (std::fabs(sweep) >= full)
      sweep = -full;
    else
    {
      sweep = std::fmod(sweep, full);
      if (sweep > 0.f)
        sweep -= full;
    }
  }

  float fx, fy;
  const bool joined = mPath.CurrentPoint(fx, fy) && !mPath.Empty();
  const float sx = cx + std::cos(a0) * r, sy = cy + std::sin(a0) * r;
  if (joined)
    LineTo(sx, sy);
  else
    MoveTo(sx, sy);
  if (std::fabs(sweep) < 1e-6f)
    return;

  // Cubic pieces of at most a quarter turn each.
  const int pieces = std::clamp(int(std::ceil(std::fabs(sweep) / (kPi * 0.5f) - 1e-4f)), 1, 4);
  const float step = sweep / float(pieces);
  const float kappa = 4.f / 3.f * std::tan(step / 4.f) * r;
  float px = sx, py = sy, ptx = -std::sin(a0) * kappa, pty = std::cos(a0) * kappa;
  for (int i = 1; i <= pieces; ++i)
  {
    const float a = a0 + step * float(i);
    const float dx = std::cos(a), dy = std::sin(a);
    const float x = cx + dx * r, y = cy + dy * r;
    const float tx = -dy * kappa, ty = dx * kappa;
    BezierTo(px + ptx, py + pty, x - tx, y - ty, x, y);
    px = x;
    py = y;
    ptx = tx;
    pty = ty;
  }
}

void RenderContext::Rect(float x, float y, float w, float h)
{
  MoveTo(x, y);
  LineTo(x, y + h);
  LineTo(x + w, y + h);
  LineTo(x + w, y);
  ClosePath();
}

void RenderContext::ClosePath()
{
  mPath.Close();
}

void RenderContext::PathWinding(Winding w)
{
  mPath.SetWinding(w);
}

// ---------------------------------------------------------------------------------------------
// Fill and stroke

void RenderContext::Fill()
{
  const State& s = S();
  if (!InFrame() || mPath.Empty() || mPath.IsPoisoned() || s.clipEmpty)
    return;
  Paint paint = PaintWithAlpha(s.fill, s.alpha);
  if (!paint.IsFinite())
    return;
  mPath.Flatten(mTessTol, mDistTol);

  auto& verts = mBackend.Vertices();
  auto& draws = mBackend.PathDraws();
  const size_t v0 = verts.size(), d0 = draws.size();
  bool convex = false;
  uint32_t cover = 0;
  float coverScale = 1.f;
  const bool tessellated = Tessellator::Fill(mPath, mFringe, verts, draws, convex, cover, coverScale);
  paint.inner.a *= coverScale;
  paint.outer.a *= coverScale;
  if (!tessellated || mBackend.OutsideClip(s.scissor, v0) ||
      !mBackend.AddFill(paint, s.scissor, s.blend, mFringe, d0, draws.size() - d0, convex, cover))
  {
    verts.resize(v0);
    draws.resize(d0);
  }
}

void RenderContext::Stroke()
{
  const State& s = S();
  if (!InFrame() || mPath.Empty() || mPath.IsPoisoned() || s.clipEmpty)
    return;
  const float scale = s.transform.AverageScale();
  float width = s.strokeWidth * std::min(scale, 1e4f);
  if (!Finite(width) || width <= 0.f)
    return;
  Paint paint = PaintWithAlpha(s.stroke, s.alpha);
  if (!paint.IsFinite())
    return;
  if (mFringe > 0.f && width < mFringe)
  {
    // Hairlines keep one pixel of width and fade with how much thinner they are.
    const float fade = width / mFringe;
    paint.inner.a *= fade;
    paint.outer.a *= fade;
    width = mFringe;
  }
  mPath.Flatten(mTessTol, mDistTol);

  const float half = width * 0.5f + mFringe * 0.5f;
  const float mult = mFringe > 0.f ? half / mFringe : 1.f;
  auto& verts = mBackend.Vertices();
  auto& draws = mBackend.PathDraws();
  const size_t v0 = verts.size(), d0 = draws.size();
  if (!Tessellator::Stroke(mPath, half, mFringe, s.cap, s.join, s.miterLimit, mTessTol, verts, draws) ||
      mBackend.OutsideClip(s.scissor, v0) ||
      !mBackend.AddStroke(paint, s.scissor, s.blend, mFringe, mult, d0, draws.size() - d0))
  {
    verts.resize(v0);
    draws.resize(d0);
  }
}

// ---------------------------------------------------------------------------------------------
// Images

int RenderContext::CreateImageFromFile(const char* path, int flags)
{
  ImageDecoder::Image img;
  if (!ImageDecoder::DecodeFile(path, img))
    return 0;
  return CreateImageRGBA(img.width, img.height, flags, img.pixels.get());
}

int RenderContext::CreateImageFromMemory(const uint8_t* data, size_t size, int flags)
{
  ImageDecoder::Image img;
  if (!ImageDecoder::DecodeMemory(data, size, img))
    return 0;
  return CreateImageRGBA(img.width, img.height, flags, img.pixels.get());
}

int RenderContext::CreateImageRGBA(int width, int height, int flags, const uint8_t* pixels)
{
  if (!pixels || width <= 0 || height <= 0)
    return 0;
  return mBackend.CreateTexture(width, height, flags & ~GLBackend::kImageAlphaOnly, pixels);
}

bool RenderContext::UpdateImage(int image, const uint8_t* pixels)
{
  int w = 0, h = 0;
  if (image == mAtlasImage || !mBackend.TextureSize(image, w, h))
    return false;
  return mBackend.UpdateTexture(image, 0, 0, w, h, pixels);
}

bool RenderContext::ImageSize(int image, int& width, int& height) const
{
  if (image == mAtlasImage)
  {
    width = height = 0;
    return false;
  }
  return mBackend.TextureSize(image, width, height);
}

void RenderContext::DeleteImage(int image)
{
  if (image != mAtlasImage)
    mBackend.DeleteTexture(image);
}

// ---------------------------------------------------------------------------------------------
// Framebuffers

std::unique_ptr<Framebuffer> RenderContext::CreateFramebuffer(int width, int height, int imageFlags)
{
  if (width <= 0 || height <= 0)
    return nullptr;
  const int image = mBackend.CreateTexture(
    width, height, (imageFlags & ~GLBackend::kImageAlphaOnly) | kImagePremultiplied | kImageFlipY, nullptr);
  if (!image)
    return nullptr;

  GLint prevFbo = 0, prevRbo = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &prevFbo);
  glGetIntegerv(GL_RENDERBUFFER_BINDING, &prevRbo);

  auto fb = std::make_unique<Framebuffer>();
  fb->image = image;
  fb->width = width;
  fb->height = height;
  mGL.GenFramebuffers(1, &fb->fbo);
  mGL.BindFramebuffer(GL_FRAMEBUFFER, fb->fbo);
  mGL.GenRenderbuffers(1, &fb->stencil);
  mGL.BindRenderbuffer(GL_RENDERBUFFER, fb->stencil);
  mGL.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mBackend.TextureId(image), 0);

  // A stencil-only buffer where the driver takes one, else the packed depth-stencil format.
  mGL.RenderbufferStorage(GL_RENDERBUFFER, GL_STENCIL_INDEX8, width, height);
  mGL.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, fb->stencil);
  GLenum status = mGL.CheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE)
  {
    mGL.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    mGL.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    mGL.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, fb->stencil);
    mGL.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, fb->stencil);
    status = mGL.CheckFramebufferStatus(GL_FRAMEBUFFER);
  }

  mGL.BindRenderbuffer(GL_RENDERBUFFER, GLuint(prevRbo));
  mGL.BindFramebuffer(GL_FRAMEBUFFER, GLuint(prevFbo));
  while (glGetError() != GL_NO_ERROR) {}
  if (status != GL_FRAMEBUFFER_COMPLETE)
  {
    DeleteFramebuffer(std::move(fb));
    return nullptr;
  }
  return fb;
}

void RenderContext::BindFramebuffer(const Framebuffer* fb)
{
  mGL.BindFramebuffer(GL_FRAMEBUFFER, fb ? fb->fbo : mDefaultFramebuffer);
}

bool RenderContext::CopyFramebuffer(const Framebuffer& fb)
{
  return CopyFramebuffer(fb, 0, 0, fb.width, fb.height);
}

bool RenderContext::CopyFramebuffer(const Framebuffer& fb, int x, int y, int width, int height)
{
  if (!mGL.BlitFramebuffer || InFrame() || !fb.fbo || fb.width <= 0 || fb.height <= 0)
    return false;
  // Clamped as 64-bit sums: a part far outside must not wrap around into the framebuffer.
  const int x0 = int(std::clamp<int64_t>(x, 0, fb.width));
  const int y0 = int(std::clamp<int64_t>(y, 0, fb.height));
  const int x1 = int(std::clamp<int64_t>(int64_t(x) + std::max(width, 0), 0, fb.width));
  const int y1 = int(std::clamp<int64_t>(int64_t(y) + std::max(height, 0), 0, fb.height));
  if (x1 <= x0 || y1 <= y0)
    return true;
  while (glGetError() != GL_NO_ERROR) {}
  GLint read = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  // A copy obeys the scissor test and the colour mask as drawing does: the host's settings of
  // either must not cut it short.
  const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  mGL.BindFramebuffer(GL_READ_FRAMEBUFFER, fb.fbo);
  mGL.BlitFramebuffer(x0, y0, x1, y1, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  mGL.BindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(read));
  glColorMask(mask[0], mask[1], mask[2], mask[3]);
  if (scissor)
    glEnable(GL_SCISSOR_TEST);
  return glGetError() == GL_NO_ERROR;
}

void RenderContext::DeleteFramebuffer(std::unique_ptr<Framebuffer> fb)
{
  if (!fb)
    return;
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  if (fb->fbo && GLuint(bound) == fb->fbo)
    mGL.BindFramebuffer(GL_FRAMEBUFFER, mDefaultFramebuffer);
  if (fb->fbo)
    mGL.DeleteFramebuffers(1, &fb->fbo);
  if (fb->stencil)
    mGL.DeleteRenderbuffers(1, &fb->stencil);
  mBackend.DeleteTexture(fb->image);
}

// ---------------------------------------------------------------------------------------------
// Text

int RenderContext::CreateFontMem(std::string_view name, const uint8_t* data, size_t size, int faceIndex)
{
  return mFonts->AddFont(name, data, size, faceIndex);
}

int RenderContext::FindFont(std::string_view name) const
{
  return mFonts->FindFont(name);
}

void RenderContext::SetFontFace(std::string_view name)
{
  S().font = mFonts->FindFont(name);
}

void RenderContext::SetFontFaceId(int font)
{
  float a, d, l;
  S().font = mFonts->Metrics(font, a, d, l) ? font : -1;
}

void RenderContext::SetFontSize(float size)
{
  S().fontSize = size;
}

void RenderContext::SetTextAlign(int align)
{
  S().align = align;
}

bool RenderContext::TextMetrics(float* ascender, float* descender, float* lineHeight) const
{
  const State& s = S();
  float a = 0.f, d = 0.f, l = 0.f;
  const bool ok = Finite(s.fontSize) && mFonts->Metrics(s.font, a, d, l);
  const float size = ok ? s.fontSize : 0.f;
  if (ascender)
    *ascender = a * size;
  if (descender)
    *descender = d * size;
  if (lineHeight)
    *lineHeight = l * size;
  return ok;
}

float RenderContext::TextBounds(float x, float y, std::string_view text, float* bounds)
{
  float advance = 0.f;
  Layout(x, y, text, false, bounds, advance, nullptr);
  return advance;
}

float RenderContext::Text(float x, float y, std::string_view text)
{
  float advance = 0.f, start = x;
  if (!Layout(x, y, text, InFrame(), nullptr, advance, &start))
    return x;
  return start + advance;
}

bool RenderContext::Layout(float x, float y, std::string_view text, bool draw, float* bounds, float& advance,
                           float* start)
{
  advance = 0.f;
  if (bounds)
    bounds[0] = bounds[2] = x, bounds[1] = bounds[3] = y;
  const State& s = S();
  float asc = 0.f, desc = 0.f, lineHeight = 0.f;
  if (!Finite(x) || !Finite(y) || !Finite(s.fontSize) || s.fontSize <= 0.f ||
      !mFonts->Metrics(s.font, asc, desc, lineHeight))
    return false;
  const float size = s.fontSize;
  asc *= size;
  desc *= size;

  // Advance of the whole line, for the alignment.
  uint32_t prev = 0;
  for (size_t pos = 0; pos < text.size();)
  {
    const uint32_t glyph = mFonts->GlyphIndex(s.font, NextCodepoint(text, pos));
    advance += (mFonts->Advance(s.font, glyph) + mFonts->Kerning(s.font, prev, glyph)) * size;
    prev = glyph;
  }
  float ox = x;
  if (s.align & kAlignCenter)
    ox -= advance * 0.5f;
  else if (s.align & kAlignRight)
    ox -= advance;
  float baseline = y;
  if (s.align & kAlignTop)
    baseline += asc;
  else if (s.align & kAlignMiddle)
    baseline += (asc + desc) * 0.5f;
  else if (s.align & kAlignBottom)
    baseline += desc;
  float box[4] = {ox, baseline - asc, ox + advance, baseline - desc};
  if (start)
    *start = ox;

  // Glyphs are rasterised at the size they cover on the device.
  const Transform2D& t = s.transform;
  const float scale = t.AverageScale();
  const float devicePerUser = scale * mPixelRatio;
  const float rasterSize = std::min(size * devicePerUser, kMaxRasterSize);
  const int size26 = Finite(rasterSize) ? int(std::lround(rasterSize * 64.f)) : 0;
  const Paint paint = PaintWithAlpha(s.fill, s.alpha);
  const bool drawable = draw && !s.clipEmpty && t.IsFinite() && paint.IsFinite();
  if (size26 >= 1 && Finite(devicePerUser) && devicePerUser > 0.f)
  {
    const float rasterPerUser = rasterSize / size;
    const float margin = 1.f / devicePerUser;
    const bool snap = t.IsAxisAligned() && t.a > 0.f && t.d > 0.f;
    auto& verts = mBackend.Vertices();
    uint32_t first = 0;
    for (int attempt = 0; attempt < 2; ++attempt)
    {
      first = uint32_t(verts.size());
      bool full = false;
      float pen = ox;
      prev = 0;
      for (size_t pos = 0; pos < text.size() && !full;)
      {
        const uint32_t glyph = mFonts->GlyphIndex(s.font, NextCodepoint(text, pos));
        pen += mFonts->Kerning(s.font, prev, glyph) * size;
        prev = glyph;
        const FontAtlas::Glyph* g = nullptr;
        const FontAtlas::Result r = mFonts->GetGlyph(s.font, glyph, size26, g);
        if (r == FontAtlas::Result::Full && attempt == 0)
        {
          full = true;
          break;
        }
        if (r == FontAtlas::Result::Ok && g->width > 0)
        {
          const float gx0 = pen + g->left / rasterPerUser, gy0 = baseline - g->top / rasterPerUser;
          const float gx1 = gx0 + float(g->width) / rasterPerUser, gy1 = gy0 + float(g->height) / rasterPerUser;
          box[0] = std::min(box[0], gx0 - margin);
          box[1] = std::min(box[1], gy0 - margin);
          box[2] = std::max(box[2], gx1 + margin);
          box[3] = std::max(box[3], gy1 + margin);
          if (drawable)
          {
            float x0, y0, x1, y1, x2, y2, x3, y3;
            t.Apply(gx0, gy0, x0, y0);
            t.Apply(gx1, gy0, x1, y1);
            t.Apply(gx1, gy1, x2, y2);
            t.Apply(gx0, gy1, x3, y3);
            if (snap)
            {
              // Whole device pixels keep the bitmap's pixels unblurred.
              const float dx = std::round(x0 * mPixelRatio) / mPixelRatio - x0;
              const float dy = std::round(y0 * mPixelRatio) / mPixelRatio - y0;
              x0 += dx, x1 += dx, x2 += dx, x3 += dx;
              y0 += dy, y1 += dy, y2 += dy, y3 += dy;
            }
            const float minX = std::min({x0, x1, x2, x3}), maxX = std::max({x0, x1, x2, x3});
            const float minY = std::min({y0, y1, y2, y3}), maxY = std::max({y0, y1, y2, y3});
            if (maxX >= 0.f && maxY >= 0.f && minX <= mView[0] && minY <= mView[1])
            {
              const float u0 = float(g->x), v0 = float(g->y);
              const float u1 = u0 + float(g->width), v1 = v0 + float(g->height);
              verts.push_back({x0, y0, u0, v0});
              verts.push_back({x1, y1, u1, v0});
              verts.push_back({x2, y2, u1, v1});
              verts.push_back({x0, y0, u0, v0});
              verts.push_back({x2, y2, u1, v1});
              verts.push_back({x3, y3, u0, v1});
            }
          }
        }
        pen += mFonts->Advance(s.font, glyph) * size;
      }
      if (!full)
        break;
      // The atlas ran out of room: draw what is queued while its glyphs are still there, then
      // start the atlas afresh and lay the line out again.
      verts.resize(first);
      if (InFrame())
      {
        SyncAtlas();
        mBackend.Flush();
      }
      mFonts->Reset();
      box[0] = ox, box[1] = baseline - asc, box[2] = ox + advance, box[3] = baseline - desc;
    }
    if (drawable)
    {
      const uint32_t count = uint32_t(verts.size()) - first;
      if (count > 0 && (mBackend.OutsideClip(s.scissor, first) ||
                        !mBackend.AddTriangles(paint, s.scissor, s.blend, mAtlasImage, first, count)))
        verts.resize(first);
    }
  }
  if (bounds)
    std::copy(box, box + 4, bounds);
  return true;
}

} // namespace iplug::igraphics::renderer
