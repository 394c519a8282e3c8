// The drawing back end on the vector renderer.
//
// Sections: process-wide state · conversions · Bitmap · construction · frame cycle · drawing ·
// layers · paths · bitmaps · fonts and text

#include "IGraphicsVectorGL.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "DecodedPictureStore.h"
#include "Framebuffer.h"
#include "IGEditorDelegate.h"
#include "RenderContext.h"
#include "ResourceLocation.h"

namespace iplug::igraphics {

using renderer::BlendFactor;
using renderer::Color;
using renderer::Paint;
using renderer::RenderContext;
using renderer::Transform2D;

// ---- Process-wide state ---------------------------------------------------------------------

namespace {

// Font bytes by font identifier (scale 1), shared by every editor of the process and emptied
// when the last one goes. Its lock also guards the instance count.
struct FontDataCache
{
  IKeyedCache<FontData> cache;
  int instances = 0;
};

FontDataCache& FontCache()
{
  static FontDataCache fontCache;
  return fontCache;
}

// A dotted line of more dashes than this is a bad request (a dash far below a pixel) that would
// only build an enormous path; it draws nothing.
constexpr double kMaxDashes = 1 << 20;

constexpr float kPi = 3.1415927f;

// The largest first frame that reaches the window drawn through the renderer's program rather
// than copied (see EndFrame).
constexpr int64_t kFirstFrameDrawnMaxPixels = 1 << 20;

// ---- Conversions ----------------------------------------------------------------------------

Color ToColor(const IColor& c, float weight)
{
  return Color{c.R / 255.f, c.G / 255.f, c.B / 255.f, (c.A * weight) / 255.f};
}

Transform2D ToTransform2D(const ITransform& t)
{
  return Transform2D{float(t.xx), float(t.yx), float(t.xy), float(t.yy), float(t.tx), float(t.ty)};
}

float DegToRad(float degrees) { return degrees * kPi / 180.f; }

// The box of the measured text turned by the style's angle, moved so that it sits in the bounds
// as the alignment asks; (tx, ty) is that move. Text is turned about the origin of the drawing
// space and then moved by (tx, ty), so the box is where the turned text lands.
void RotatedTextBox(const ITextStyle& style, const IRect& bounds, IRect& rect, float& tx, float& ty)
{
  const float a = DegToRad(style.angle);
  const float c = std::cos(a), s = std::sin(a);
  const float xs[4] = {rect.L, rect.R, rect.R, rect.L};
  const float ys[4] = {rect.T, rect.T, rect.B, rect.B};
  float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (int i = 0; i < 4; ++i)
  {
    const float x = xs[i] * c - ys[i] * s;
    const float y = xs[i] * s + ys[i] * c;
    x0 = std::min(x0, x), x1 = std::max(x1, x);
    y0 = std::min(y0, y), y1 = std::max(y1, y);
  }
  const IRect turned(x0, y0, x1, y1);
  switch (style.align)
  {
    case EAlign::Near: tx = bounds.L - turned.L; break;
    case EAlign::Far: tx = bounds.R - turned.R; break;
    default: tx = bounds.MW() - turned.MW(); break;
  }
  switch (style.valign)
  {
    case EVAlign::Top: ty = bounds.T - turned.T; break;
    case EVAlign::Bottom: ty = bounds.B - turned.B; break;
    default: ty = bounds.MH() - turned.MH(); break;
  }
  rect = turned.Offset(tx, ty);
}

} // namespace

// ---- Bitmap ---------------------------------------------------------------------------------

IGraphicsVectorGL::Bitmap::Bitmap(RenderContext* vg, int image, float scale, float drawScale)
  : APIBitmap(image, 0, 0, scale, drawScale), mVG(vg)
{
  if (mVG)
    mVG->ImageSize(image, mWidth, mHeight);
}

IGraphicsVectorGL::Bitmap::Bitmap(IGraphicsVectorGL* maker, RenderContext* vg,
                                  std::unique_ptr<renderer::Framebuffer> fb, int width, int height, float scale,
                                  float drawScale)
  : APIBitmap(fb ? fb->image : 0, width, height, scale, drawScale)
  , mGraphics(maker)
  , mVG(vg)
  , mFramebuffer(std::move(fb))
{
}

IGraphicsVectorGL::Bitmap::~Bitmap()
{
  if (mFramebuffer)
  {
    if (mGraphics)
      mGraphics->ReleaseFramebuffer(std::move(mFramebuffer));
  }
  else if (mVG && mImage)
  {
    mVG->DeleteImage(mImage);
  }
}

// ---- Construction ---------------------------------------------------------------------------

IGraphicsVectorGL::IGraphicsVectorGL(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : IGraphics(dlg, width, height, fps, drawScale), mPictureHold(DecodedPictureStore::Shared().Hold())
{
  FontDataCache& fonts = FontCache();
  std::lock_guard<std::mutex> lock(fonts.cache.Mutex());
  ++fonts.instances;
}

IGraphicsVectorGL::~IGraphicsVectorGL()
{
  {
    FontDataCache& fonts = FontCache();
    std::lock_guard<std::mutex> lock(fonts.cache.Mutex());
    if (--fonts.instances == 0)
      fonts.cache.Clear();
    DeleteDeferredFramebuffers();
  }

  // Controls and layers hold bitmaps of this context's renderer: they go while it still exists.
  // The base would remove the controls only after this part of the object is gone. The cursor
  // flag is cleared first, as the base does, since the window layer is already gone.
  mCursorHidden = false;
  RemoveAllControls();
  while (!mLayers.empty())
    mLayers.pop();

  std::lock_guard<std::mutex> lock(mBitmapCache.Mutex());
  mBitmapCache.Clear();
  DeleteFramebufferNow(std::move(mMainFramebuffer));
  DeleteDeferredFramebuffers();
  mVG.reset();
}

void* IGraphicsVectorGL::GetDrawContext() { return mVG.get(); }

int IGraphicsVectorGL::BitmapCacheSize()
{
  std::lock_guard<std::mutex> lock(mBitmapCache.Mutex());
  return mBitmapCache.Size();
}

// ---- Frame cycle ----------------------------------------------------------------------------

int IGraphicsVectorGL::LogicalFrameWidth() const { return int(float(Width()) * GetDrawScale()); }
int IGraphicsVectorGL::LogicalFrameHeight() const { return int(float(Height()) * GetDrawScale()); }
int IGraphicsVectorGL::PhysicalFrameWidth() const { return int(float(LogicalFrameWidth()) * GetScreenScale()); }
int IGraphicsVectorGL::PhysicalFrameHeight() const { return int(float(LogicalFrameHeight()) * GetScreenScale()); }

void IGraphicsVectorGL::OnViewInitialized(void* pContext)
{
  (void) pContext;
  if (mVG)
    return;
  const renderer::GetProcAddressFn getProc = GetGLProcAddress();
  if (!getProc)
    return;
  mVG = RenderContext::Create(getProc, renderer::kContextAntiAlias);
  mWindowHoldsFrame = false;
  mFrameCopy = FrameCopy::Cold;
  // The window's context has just been made current, so what is bound now is the window's own
  // framebuffer; any later look might find a layer's or the main one bound instead.
  if (mVG)
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &mWindowFramebuffer);
}

void IGraphicsVectorGL::OnViewDestroyed()
{
  RemoveAllControls();
  // Layers left on the stack hold framebuffers of the renderer that is about to go.
  while (!mLayers.empty())
    mLayers.pop();

  std::lock_guard<std::mutex> lock(mBitmapCache.Mutex());
  mBitmapCache.Clear();
  DeleteFramebufferNow(std::move(mMainFramebuffer));
  DeleteDeferredFramebuffers();
  mVG.reset();
  mWindowHoldsFrame = false;
}

void IGraphicsVectorGL::BindFramebufferOrDefault(const renderer::Framebuffer* fb)
{
  if (!mVG)
    return;
  mVG->GL().BindFramebuffer(GL_FRAMEBUFFER, fb ? fb->fbo : GLuint(mWindowFramebuffer));
}

void IGraphicsVectorGL::BeginFrame()
{
  mInDraw = true;
  mNumFrameRegions = 0;
  IGraphics::BeginFrame();
  if (!mVG)
    return;

  glViewport(0, 0, PhysicalFrameWidth(), PhysicalFrameHeight());
  // A window that holds the previous frame keeps it: only the repainted regions are replaced.
  if (CompositesWholeFrame())
  {
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }

  // The main framebuffer is not cleared: what the dirty regions do not cover stays as it was.
  BindFramebufferOrDefault(mMainFramebuffer.get());
  mVG->BeginFrame(float(LogicalFrameWidth()), float(LogicalFrameHeight()), GetScreenScale());
}

void IGraphicsVectorGL::EndFrame()
{
  if (mVG)
  {
    mVG->EndFrame();

    // The finished picture goes onto the window, copied between framebuffers where the driver
    // can: drawing every pixel of the face through the shader would cost more than the dirty
    // regions themselves.
    glViewport(0, 0, PhysicalFrameWidth(), PhysicalFrameHeight());
    BindFramebufferOrDefault(nullptr);
    if (mMainFramebuffer)
    {
      bool copied = true;
      if (CompositesWholeFrame())
      {
        // A fresh renderer's first copy between framebuffers makes a software rasteriser
        // compile a shader of its own, which at 96 dpi costs several times what drawing the whole
        // face does; drawing the picture through the renderer's own program costs more per pixel
        // instead. So the first picture of a frame of up to about a million
        // pixels (where the two cost the same on llvmpipe) goes the second way, and the copy is
        // readied on an idle tick (WarmUpFrameCopy).
        if (mFrameCopy == FrameCopy::Cold &&
            int64_t(PhysicalFrameWidth()) * PhysicalFrameHeight() <= kFirstFrameDrawnMaxPixels)
        {
          copied = false;
          mFrameCopy = FrameCopy::WarmUpDue;
        }
        else
        {
          copied = mVG->CopyFramebuffer(*mMainFramebuffer, 0, 0, PhysicalFrameWidth(), PhysicalFrameHeight());
          mFrameCopy = FrameCopy::Ready;
        }
      }
      else
      {
        mFrameCopy = FrameCopy::Ready;
        for (int i = 0; i < mNumFrameRegions && copied; ++i)
        {
          int x = 0, y = 0, w = 0, h = 0;
          WindowPart(mFrameRegions[i], x, y, w, h);
          copied = mVG->CopyFramebuffer(*mMainFramebuffer, x, y, w, h);
        }
      }
      if (!copied)
      {
        // Drawn as an image over a cleared window with source-over, which is a plain copy.
        if (!CompositesWholeFrame())
        {
          glClearColor(0.f, 0.f, 0.f, 0.f);
          glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        }
        const float w = float(LogicalFrameWidth()), h = float(LogicalFrameHeight());
        mVG->BeginFrame(w, h, GetScreenScale());
        mVG->Save();
        mVG->ResetTransform();
        mVG->BeginPath();
        mVG->Rect(0.f, 0.f, w, h);
        // The frame lies in the framebuffer's lower-left corner (it may be larger during a
        // corner drag): the image is placed so that that corner covers the window.
        const float s = GetScreenScale();
        const float imageW = float(mMainFramebuffer->width) / s, imageH = float(mMainFramebuffer->height) / s;
        const float top = float(PhysicalFrameHeight() - mMainFramebuffer->height) / s;
        mVG->SetFillPaint(Paint::ImagePattern(0.f, top, imageW, imageH, 0.f, mMainFramebuffer->image, 1.f));
        mVG->Fill();
        mVG->Restore();
        mVG->EndFrame();
      }
      mWindowHoldsFrame = true;
    }
  }
  mInDraw = false;
  DeleteDeferredFramebuffers();
}

bool IGraphicsVectorGL::FrameCopyWarmUpDue() const { return mVG && mMainFramebuffer && mFrameCopy == FrameCopy::WarmUpDue; }

void IGraphicsVectorGL::WarmUpFrameCopy()
{
  if (!FrameCopyWarmUpDue() || mInDraw)
    return;
  mFrameCopy = FrameCopy::Ready;
  // The window's corner pixel gets the main framebuffer's, which the last frame put there too.
  BindFramebufferOrDefault(nullptr);
  mVG->CopyFramebuffer(*mMainFramebuffer, 0, 0, 1, 1);
}

void IGraphicsVectorGL::CompleteRegion(const IRect& bounds)
{
  if (!mInDraw || bounds.Empty())
    return;
  for (int i = 0; i < mNumFrameRegions; ++i)
  {
    if (mFrameRegions[i].Intersects(bounds))
    {
      mFrameRegions[i] = mFrameRegions[i].Union(bounds);
      return;
    }
  }
  if (mNumFrameRegions < kMaxFrameRegions)
    mFrameRegions[mNumFrameRegions++] = bounds;
  else
    mFrameRegions[kMaxFrameRegions - 1] = mFrameRegions[kMaxFrameRegions - 1].Union(bounds);
}

void IGraphicsVectorGL::WindowPart(const IRect& region, int& x, int& y, int& w, int& h) const
{
  const int frameW = PhysicalFrameWidth(), frameH = PhysicalFrameHeight();
  const float k = GetBackingPixelScale();
  // One device pixel more on every side: the renderer's scissor reaches that far around a clip
  // for its soft edge, and what a blend left there must reach the window too.
  const double left = std::floor(double(region.L) * k) - 1.0, right = std::ceil(double(region.R) * k) + 1.0;
  const double top = std::floor(double(region.T) * k) - 1.0, bottom = std::ceil(double(region.B) * k) + 1.0;
  if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom))
  {
    x = y = 0, w = frameW, h = frameH;
    return;
  }
  const int x0 = int(std::clamp(left, 0.0, double(frameW))), x1 = int(std::clamp(right, 0.0, double(frameW)));
  const int y0 = int(std::clamp(top, 0.0, double(frameH))), y1 = int(std::clamp(bottom, 0.0, double(frameH)));
  x = x0;
  w = std::max(x1 - x0, 0);
  y = frameH - y1;
  h = std::max(y1 - y0, 0);
}

void IGraphicsVectorGL::BindTarget(bool beginRendererFrame)
{
  if (!mVG)
    return;
  const float d = GetDrawScale(), s = GetScreenScale();
  if (!mLayers.empty())
  {
    const IDrawLayer& layer = *mLayers.top();
    const auto* bitmap = dynamic_cast<const Bitmap*>(layer.GetAPIBitmap());
    if (!bitmap || !bitmap->GetFramebuffer())
      return; // a layer whose framebuffer could not be made: what is drawn into it goes nowhere
    const float backing = GetBackingPixelScale();
    glViewport(0, 0, int(layer.Bounds().W() * backing), int(layer.Bounds().H() * backing));
    BindFramebufferOrDefault(bitmap->GetFramebuffer());
    // A layer is drawn into outside the window's frames too (made ahead, cached): it needs a
    // renderer frame of its own whenever it is the target; popping it draws what was queued.
    (void) beginRendererFrame;
    mVG->BeginFrame(layer.Bounds().W() * d, layer.Bounds().H() * d, s);
    return;
  }
  glViewport(0, 0, PhysicalFrameWidth(), PhysicalFrameHeight());
  // Outside a frame the window's framebuffer stays bound: BeginFrame clears what is bound.
  BindFramebufferOrDefault(mInDraw ? mMainFramebuffer.get() : nullptr);
  if (beginRendererFrame)
    mVG->BeginFrame(float(LogicalFrameWidth()), float(LogicalFrameHeight()), s);
}

void IGraphicsVectorGL::UpdateLayer()
{
  if (!mVG)
    return;
  mVG->EndFrame();
  BindTarget(mInDraw);
}

void IGraphicsVectorGL::LargestPhysicalFrame(int& width, int& height) const
{
  // The size a corner drag can reach: the largest zoom, or in size mode the delegate's largest
  // size at the zoom the editor has.
  const bool bySize = GetResizerMode() == kResizeModeSize && GetDelegate();
  const float d = bySize ? GetDrawScale() : std::max(GetDrawScale(), GetMaxScale());
  const int w = bySize ? std::max(Width(), GetDelegate()->GetMaxWidth()) : Width();
  const int h = bySize ? std::max(Height(), GetDelegate()->GetMaxHeight()) : Height();
  width = std::max(int(float(int(float(w) * d)) * GetScreenScale()), PhysicalFrameWidth());
  height = std::max(int(float(int(float(h) * d)) * GetScreenScale()), PhysicalFrameHeight());
}

void IGraphicsVectorGL::DrawResize()
{
  // The window's framebuffer follows the new size and holds nothing of the new picture.
  mWindowHoldsFrame = false;
  if (!mVG)
  {
    DeleteFramebufferNow(std::move(mMainFramebuffer));
    return;
  }
  const int w = PhysicalFrameWidth(), h = PhysicalFrameHeight();
  const bool fits = mMainFramebuffer && mMainFramebuffer->width >= w && mMainFramebuffer->height >= h;
  const bool exact = mMainFramebuffer && mMainFramebuffer->width == w && mMainFramebuffer->height == h;
  // A corner drag resizes the face at every step. Replacing the framebuffer at each one would
  // leave the driver holding the last few (it lets a deleted texture go only when later drawing
  // replaces its state) and scatter the heap with sizes that are never asked for again; so the
  // drag draws into one framebuffer made for the largest size it can reach, in its lower-left
  // corner, and the framebuffer is fitted to the face when the drag ends.
  if (GetResizingInProcess() ? !fits : !exact)
  {
    int allocW = w, allocH = h;
    if (GetResizingInProcess())
      LargestPhysicalFrame(allocW, allocH);
    // Freed before the next is made, so that the two never need memory at the same time.
    DeleteFramebufferNow(std::move(mMainFramebuffer));
    mMainFramebuffer = mVG->CreateFramebuffer(allocW, allocH);
    if (!mMainFramebuffer && (allocW != w || allocH != h))
      mMainFramebuffer = mVG->CreateFramebuffer(w, h);
    if (!mMainFramebuffer)
      return;
  }
  // A new framebuffer's pixels are undefined, and a kept one holds the face at another size;
  // regions that no control repaints must not show either.
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  mVG->GL().BindFramebuffer(GL_FRAMEBUFFER, mMainFramebuffer->fbo);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  mVG->GL().BindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
}

void IGraphicsVectorGL::ReleaseFramebuffer(std::unique_ptr<renderer::Framebuffer> fb)
{
  if (!fb)
    return;
  if (DrawingToTarget())
  {
    // The frame's recorded calls may still sample its image.
    std::lock_guard<std::mutex> lock(mFramebufferMutex);
    mDeferredFramebuffers.push(std::move(fb));
    return;
  }
  DeleteFramebufferNow(std::move(fb));
}

void IGraphicsVectorGL::DeleteFramebufferNow(std::unique_ptr<renderer::Framebuffer> fb)
{
  // Without a renderer the GL objects went with it; only the record is left to free.
  if (fb && mVG)
    mVG->DeleteFramebuffer(std::move(fb));
}

void IGraphicsVectorGL::DeleteDeferredFramebuffers()
{
  std::lock_guard<std::mutex> lock(mFramebufferMutex);
  while (!mDeferredFramebuffers.empty())
  {
    DeleteFramebufferNow(std::move(mDeferredFramebuffers.top()));
    mDeferredFramebuffers.pop();
  }
}

// ---- Drawing --------------------------------------------------------------------------------

void IGraphicsVectorGL::ApplyBlend(const IBlendInfo* blend)
{
  if (!mVG)
    return;
  using F = BlendFactor;
  switch (BlendType(blend))
  {
    case 0: mVG->SetCompositeBlend(F::One, F::OneMinusSrcAlpha); break;
    case 1: mVG->SetCompositeBlend(F::DstAlpha, F::Zero); break;
    case 2: mVG->SetCompositeBlend(F::OneMinusDstAlpha, F::Zero); break;
    case 3: mVG->SetCompositeBlend(F::DstAlpha, F::OneMinusSrcAlpha); break;
    case 4: mVG->SetCompositeBlend(F::OneMinusDstAlpha, F::One); break;
    case 5: mVG->SetCompositeBlend(F::Zero, F::SrcAlpha); break;
    case 6: mVG->SetCompositeBlend(F::Zero, F::OneMinusSrcAlpha); break;
    case 7: mVG->SetCompositeBlend(F::OneMinusDstAlpha, F::SrcAlpha); break;
    case 8: mVG->SetCompositeBlend(F::SrcAlpha, F::DstAlpha); break;
    case 9: mVG->SetCompositeBlend(F::OneMinusDstAlpha, F::OneMinusSrcAlpha); break;
    default: break;
  }
}

void IGraphicsVectorGL::DrawBitmap(const IBitmapInfo& bitmap, const IRect& dest, int srcX, int srcY,
                                   const IBlendInfo* blend)
{
  const APIBitmap* api = bitmap.GetAPIBitmap();
  if (!api || !mVG)
    return;
  PathClear();
  mVG->Rect(dest.L, dest.T, dest.W(), dest.H());

  // The picture's pixels at its own density, its top-left corner moved so that the frame at
  // (srcX, srcY) lands on the destination's corner; the rectangle clips the other frames.
  const float k = 1.f / (api->GetScale() * api->GetDrawScale());
  Paint paint;
  paint.kind = Paint::Kind::Image;
  paint.transform = Transform2D::Multiply(Transform2D::Scaling(k, k),
                                          Transform2D::Translation(dest.L - float(srcX), dest.T - float(srcY)));
  paint.extent[0] = float(bitmap.W()) * api->GetScale();
  paint.extent[1] = float(bitmap.H()) * api->GetScale();
  paint.radius = 0.f;
  paint.feather = 0.f;
  paint.inner = paint.outer = Color{1.f, 1.f, 1.f, BlendWeight(blend)};
  paint.image = api->GetImage();
  mVG->SetFillPaint(paint);

  ApplyBlend(blend);
  mVG->Fill();
  mVG->SetCompositeSourceOver();
  PathClear();
}

void IGraphicsVectorGL::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                                       const IBlendInfo* blend, float thickness, float dashLen)
{
  // A dash of zero or less would never get anywhere along the line.
  if (!(dashLen > 0.f) || !std::isfinite(dashLen))
    return;
  const float dx = x2 - x1, dy = y2 - y1;
  const double dashes = std::round(std::sqrt(double(dx) * dx + double(dy) * dy) / double(dashLen));
  if (!std::isfinite(dashes) || dashes > kMaxDashes)
    return;
  const int n = int(dashes);

  PathClear();
  PathMoveTo(x1, y1);
  if (n > 0)
  {
    const float step = 1.f / float(n);
    for (int i = 1; i < n; i += 2)
    {
      PathLineTo(x1 + dx * step * float(i), y1 + dy * step * float(i));
      PathMoveTo(x1 + dx * step * float(i + 1), y1 + dy * step * float(i + 1));
    }
  }
  PathStroke(IFillPattern(color), thickness, IStrokeStyle(), blend);
}

void IGraphicsVectorGL::DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend,
                                       float thickness, float dashLen)
{
  if (!(dashLen > 0.f) || !std::isfinite(dashLen))
    return;
  const double periodsH = std::ceil(double(bounds.W()) / (2.0 * dashLen));
  const double periodsV = std::ceil(double(bounds.H()) / (2.0 * dashLen));
  if (!std::isfinite(periodsH) || !std::isfinite(periodsV) || periodsH + periodsV > kMaxDashes)
    return;

  // Each edge starts with a dash at its first corner, going round clockwise from the top left;
  // the last dash of an edge stops at its far corner.
  struct Edge
  {
    float x, y, dx, dy, length;
    int periods;
  };
  const Edge edges[4] = {
    {bounds.L, bounds.T, 1.f, 0.f, bounds.W(), int(periodsH)},
    {bounds.R, bounds.T, 0.f, 1.f, bounds.H(), int(periodsV)},
    {bounds.R, bounds.B, -1.f, 0.f, bounds.W(), int(periodsH)},
    {bounds.L, bounds.B, 0.f, -1.f, bounds.H(), int(periodsV)},
  };

  PathClear();
  for (const Edge& e : edges)
  {
    for (int p = 0; p < e.periods; ++p)
    {
      const float start = 2.f * dashLen * float(p);
      const float end = std::min(start + dashLen, e.length);
      if (end <= start)
        break;
      PathMoveTo(e.x + e.dx * start, e.y + e.dy * start);
      PathLineTo(e.x + e.dx * end, e.y + e.dy * end);
    }
  }
  PathStroke(IFillPattern(color), thickness, IStrokeStyle(), blend);
}

void IGraphicsVectorGL::DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop,
                                           float roundness, float blur, const IBlendInfo* blend)
{
  if (!mVG)
    return;
  PathClear();
  mVG->Rect(outerBounds.L, outerBounds.T, outerBounds.W(), outerBounds.H());
  const Color shadow{0.f, 0.f, 0.f, 128.f * BlendWeight(blend) / 255.f};
  mVG->SetFillPaint(Paint::BoxGradient(innerBounds.L + xyDrop, innerBounds.T + xyDrop, innerBounds.W(),
                                       innerBounds.H(), roundness, std::max(blur, 1.f), shadow,
                                       Color{0.f, 0.f, 0.f, 0.f}));
  mVG->SetCompositeSourceOver();
  mVG->Fill();
  PathClear();
}

IColor IGraphicsVectorGL::GetPoint(int x, int y)
{
  (void) x;
  (void) y;
  return kColorBlack;
}

void IGraphicsVectorGL::RetainBitmap(const IBitmapInfo& bitmap, const char* cacheName)
{
  // Bitmaps stay in this context's cache until the window closes.
  (void) bitmap;
  (void) cacheName;
}

void IGraphicsVectorGL::ReleaseBitmap(const IBitmapInfo& bitmap) { (void) bitmap; }

bool IGraphicsVectorGL::BitmapExtSupported(const char* ext)
{
  if (!ext)
    return false;
  std::string lower(ext);
  for (char& c : lower)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("png") != std::string::npos || lower.find("jpg") != std::string::npos ||
         lower.find("jpeg") != std::string::npos;
}

// ---- Layers ---------------------------------------------------------------------------------

std::unique_ptr<APIBitmap> IGraphicsVectorGL::CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                                              bool cacheable)
{
  (void) cacheable;
  if (!mVG)
    return nullptr;
  if (DrawingToTarget())
    mVG->EndFrame();

  std::unique_ptr<APIBitmap> bitmap;
  if (auto fb = mVG->CreateFramebuffer(width, height))
  {
    mVG->GL().BindFramebuffer(GL_FRAMEBUFFER, fb->fbo);
    glViewport(0, 0, width, height);
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    mVG->BeginFrame(float(width), float(height), 1.f);
    mVG->EndFrame();
    bitmap = std::make_unique<Bitmap>(this, mVG.get(), std::move(fb), width, height, scale, float(drawScale));
  }

  // Drawing goes on where it was: the current layer or the main framebuffer, with the current
  // transform and clip (a new renderer frame starts from none).
  BindTarget(mInDraw);
  if (DrawingToTarget())
    PathClipRegion();
  return bitmap;
}

void IGraphicsVectorGL::GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data)
{
  if (!layer || !mVG)
    return;
  const auto* bitmap = dynamic_cast<const Bitmap*>(layer->GetAPIBitmap());
  if (!bitmap || !bitmap->GetFramebuffer())
    return;
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  try
  {
    data.resize(size_t(w) * size_t(h) * 4);
  }
  catch (const std::bad_alloc&)
  {
    return;
  }

  // What the current target has queued is drawn first; then the layer is read and drawing goes
  // on in the current target.
  mVG->EndFrame();
  BindFramebufferOrDefault(bitmap->GetFramebuffer());
  // Rows packed tight, whatever the host left in the pack state (a wider alignment or a row
  // length would write past the buffer).
  GLint alignment = 4, rowLength = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
  BindTarget(mInDraw);
  if (DrawingToTarget())
    PathClipRegion();
}

void IGraphicsVectorGL::ApplyShadow(ILayerPtr& layer, const RawBitmapData& mask, const IShadow& shadow)
{
  if (!layer || !mVG)
    return;
  const auto* bitmap = dynamic_cast<const Bitmap*>(layer->GetAPIBitmap());
  if (!bitmap || !bitmap->GetFramebuffer())
    return;
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (mask.size() < size_t(w) * size_t(h) * 4)
    return;
  const IRect bounds = layer->Bounds();

  // The layer stack owns what is pushed; the caller's layer is lent to it and given back.
  ILayerPtr& lent = layer;

  if (!shadow.drawForeground)
  {
    PushLayer(std::move(lent));
    mVG->SetCompositeBlend(BlendFactor::Zero, BlendFactor::Zero);
    PathClear();
    mVG->Rect(bounds.L, bounds.T, bounds.W(), bounds.H());
    mVG->SetFillColor(Color{0.f, 0.f, 0.f, 0.f});
    mVG->Fill();
    mVG->SetCompositeSourceOver();
    lent = PopLayer();
  }

  // The mask as an image (rows bottom first, as layer pixels are read) and a scratch layer.
  const int maskImage = mVG->CreateImageRGBA(w, h, renderer::kImageFlipY | renderer::kImagePremultiplied, mask.data());
  if (!maskImage)
    return;
  IBitmapInfo maskInfo;
  auto maskBitmap = std::make_unique<Bitmap>(mVG.get(), maskImage, bitmap->GetScale(), bitmap->GetDrawScale());
  maskInfo = IBitmapInfo(maskBitmap.get(), "");
  std::unique_ptr<APIBitmap> scratch = CreateAPIBitmap(w, h, bitmap->GetScale(), bitmap->GetDrawScale());
  if (!scratch)
    return;
  auto scratchLayer = std::make_unique<IDrawLayer>(std::move(scratch), nullptr, IRect(), bounds);
  APIBitmap* scratchBitmap = scratchLayer->GetAPIBitmap();

  PathTransformSave();
  PushLayer(std::move(lent));
  PushLayer(std::move(scratchLayer));

  // The pattern, kept only where the mask has ink.
  DrawBitmap(maskInfo, bounds, 0, 0, nullptr);
  PathClear();
  mVG->Rect(bounds.L, bounds.T, bounds.W(), bounds.H());
  PathTransformTranslate(-shadow.xOffset, -shadow.yOffset);
  const IBlendInfo keepInside(EBlend(1), 1.f);
  PathFill(shadow.pattern, IFillStyle(), &keepInside);

  // The shadow goes behind the layer's content.
  scratchLayer = PopLayer();
  const float opacity = std::clamp(std::isfinite(shadow.opacity) ? shadow.opacity : 0.f, 0.f, 1.f);
  const IBlendInfo behind(EBlend(4), opacity);
  DrawBitmap(IBitmapInfo(scratchBitmap, ""), bounds.Offset(shadow.xOffset, shadow.yOffset), 0, 0, &behind);
  lent = PopLayer();
  PathTransformRestore();

  scratchLayer.reset();
  maskBitmap.reset();
}

// ---- Paths ----------------------------------------------------------------------------------

void IGraphicsVectorGL::PathClear()
{
  if (mVG)
    mVG->BeginPath();
  mCurrentX = mCurrentY = mSubpathX = mSubpathY = 0.f;
  mHasCurrentPoint = false;
}

void IGraphicsVectorGL::PathClose()
{
  if (mVG)
    mVG->ClosePath();
  mCurrentX = mSubpathX;
  mCurrentY = mSubpathY;
}

void IGraphicsVectorGL::PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding)
{
  if (!mVG)
    return;
  const float start = DegToRad(a1 - 90.f), end = DegToRad(a2 - 90.f);
  const bool ccw = winding == EWinding::CCW;
  const bool hadPoint = mHasCurrentPoint;
  mVG->Arc(cx, cy, r, start, end, ccw ? renderer::ArcDirection::CounterClockwise : renderer::ArcDirection::Clockwise);
  // A sweep of a full turn or more is drawn as one turn and ends where it began.
  const float stop = std::fabs(end - start) >= 2.f * kPi ? start : end;
  if (!hadPoint)
  {
    mSubpathX = cx + std::cos(start) * r;
    mSubpathY = cy + std::sin(start) * r;
  }
  mCurrentX = cx + std::cos(stop) * r;
  mCurrentY = cy + std::sin(stop) * r;
  mHasCurrentPoint = true;
}

void IGraphicsVectorGL::PathMoveTo(float x, float y)
{
  if (mVG)
    mVG->MoveTo(x, y);
  mCurrentX = mSubpathX = x;
  mCurrentY = mSubpathY = y;
  mHasCurrentPoint = true;
}

void IGraphicsVectorGL::PathLineTo(float x, float y)
{
  if (mVG)
    mVG->LineTo(x, y);
  mCurrentX = x;
  mCurrentY = y;
  mHasCurrentPoint = true;
}

void IGraphicsVectorGL::PathSetWinding(bool clockwise)
{
  if (mVG)
    mVG->PathWinding(clockwise ? renderer::Winding::Hole : renderer::Winding::Solid);
}

void IGraphicsVectorGL::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  if (mVG)
    mVG->BezierTo(c1x, c1y, c2x, c2y, x2, y2);
  mCurrentX = x2;
  mCurrentY = y2;
  mHasCurrentPoint = true;
}

void IGraphicsVectorGL::PathQuadraticBezierTo(float cx, float cy, float x2, float y2)
{
  const float x0 = mCurrentX, y0 = mCurrentY;
  PathCubicBezierTo(x0 + 2.f / 3.f * (cx - x0), y0 + 2.f / 3.f * (cy - y0), x2 + 2.f / 3.f * (cx - x2),
                    y2 + 2.f / 3.f * (cy - y2), x2, y2);
}

void IGraphicsVectorGL::SetPaint(const IFillPattern& pattern, const IBlendInfo* blend, bool stroke)
{
  const float weight = BlendWeight(blend);
  Paint paint;
  if (pattern.type == EPatternType::Solid || pattern.nStops < 1)
  {
    paint = Paint::Solid(ToColor(pattern.stops[0].color, weight));
  }
  else
  {
    // Gradients take their first and last stops; the pattern's transform maps drawing space to
    // the gradient's, so its inverse places the gradient in drawing space.
    const Color first = ToColor(pattern.stops[0].color, weight);
    const Color last = ToColor(pattern.stops[pattern.nStops - 1].color, weight);
    const ITransform inverse = pattern.transform.Inverted();
    double x0 = 0.0, y0 = 0.0;
    inverse.TransformPoint(x0, y0);
    if (pattern.type == EPatternType::Radial)
    {
      const float r = float(inverse.xx);
      paint = Paint::RadialGradient(float(x0), float(y0), r * pattern.stops[0].offset, r, first, last);
    }
    else
    {
      double x1 = 0.0, y1 = 1.0;
      inverse.TransformPoint(x1, y1);
      paint = Paint::LinearGradient(float(x0), float(y0), float(x1), float(y1), first, last);
    }
  }
  if (stroke)
    mVG->SetStrokePaint(paint);
  else
    mVG->SetFillPaint(paint);
}

void IGraphicsVectorGL::PathStroke(const IFillPattern& pattern, float thickness, const IStrokeStyle& style,
                                   const IBlendInfo* blend)
{
  if (!mVG)
    return;
  switch (style.cap)
  {
    case ELineCap::Round: mVG->SetLineCap(renderer::LineCap::Round); break;
    case ELineCap::Square: mVG->SetLineCap(renderer::LineCap::Square); break;
    default: mVG->SetLineCap(renderer::LineCap::Butt); break;
  }
  switch (style.join)
  {
    case ELineJoin::Round: mVG->SetLineJoin(renderer::LineJoin::Round); break;
    case ELineJoin::Bevel: mVG->SetLineJoin(renderer::LineJoin::Bevel); break;
    default: mVG->SetLineJoin(renderer::LineJoin::Miter); break;
  }
  mVG->SetMiterLimit(style.miterLimit);
  mVG->SetStrokeWidth(thickness);
  SetPaint(pattern, blend, true);
  mVG->PathWinding(renderer::Winding::Solid);
  ApplyBlend(blend);
  mVG->Stroke();
  mVG->SetCompositeSourceOver();
  if (!style.preserve)
    PathClear();
}

void IGraphicsVectorGL::PathFill(const IFillPattern& pattern, const IFillStyle& style, const IBlendInfo* blend)
{
  if (!mVG)
    return;
  mVG->PathWinding(style.rule == EFillRule::EvenOdd ? renderer::Winding::Hole : renderer::Winding::Solid);
  SetPaint(pattern, blend, false);
  ApplyBlend(blend);
  mVG->Fill();
  mVG->SetCompositeSourceOver();
  if (!style.preserve)
    PathClear();
}

void IGraphicsVectorGL::PathTransformSetMatrix(const ITransform& transform)
{
  if (!mVG)
    return;
  const float d = GetDrawScale();
  mVG->ResetTransform();
  mVG->Scale(d, d);
  if (!mLayers.empty())
  {
    const IRect& bounds = mLayers.top()->Bounds();
    mVG->Translate(-bounds.L, -bounds.T);
  }
  mVG->Transform(ToTransform2D(transform));
}

void IGraphicsVectorGL::SetClipRegion(const IRect& bounds)
{
  if (mVG)
    mVG->Scissor(bounds.L, bounds.T, bounds.W(), bounds.H());
}

// ---- Bitmaps --------------------------------------------------------------------------------

std::unique_ptr<APIBitmap> IGraphicsVectorGL::LoadAPIBitmap(const char* name, const void* pData, int dataSize,
                                                            int scale)
{
  (void) name;
  if (!mVG || !pData || dataSize <= 0)
    return nullptr;
  ActivateGLContext();
  const int image = mVG->CreateImageFromMemory(static_cast<const uint8_t*>(pData), size_t(dataSize), 0);
  DeactivateGLContext();
  if (!image)
    return nullptr;
  return std::make_unique<Bitmap>(mVG.get(), image, float(scale), 1.f);
}

IBitmapInfo IGraphicsVectorGL::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmapInfo();
  if (targetScale == 0)
    targetScale = int(std::ceil(GetScreenScale()));

  std::lock_guard<std::mutex> lock(mBitmapCache.Mutex());
  APIBitmap* bitmap = mBitmapCache.Find(name, targetScale);
  if (!bitmap)
  {
    const char* dot = std::strrchr(name, '.');
    const std::string ext = dot ? dot + 1 : "";
    std::string location;
    int sourceScale = 0;
    const EResourceLocation kind = SearchImageResource(name, ext.c_str(), location, targetScale, sourceScale);
    if (kind == kNotFound || !BitmapExtSupported(ext.c_str()))
      return IBitmapInfo();
    // One decoded copy per picture found, kept under the density it was found at: a density
    // without a picture of its own shares it. Kept under the density asked for, a picture that
    // exists only at 2x would be decoded and held twice by an editor that opens at 1x and moves
    // to 2x (every 150 % display does, on its first tick).
    bitmap = mBitmapCache.Find(name, sourceScale);
    if (!bitmap)
    {
      std::unique_ptr<APIBitmap> decoded = LoadAPIBitmap(location.c_str(), sourceScale, kind, ext.c_str());
      if (!decoded)
        return IBitmapInfo();
      bitmap = decoded.get();
      mBitmapCache.Add(std::move(decoded), name, sourceScale);
    }
  }
  return IBitmapInfo(bitmap, name, nStates, framesAreHorizontal);
}

std::unique_ptr<APIBitmap> IGraphicsVectorGL::LoadAPIBitmap(const char* fileNameOrResID, int scale,
                                                            EResourceLocation location, const char* ext)
{
  if (!mVG || !fileNameOrResID)
    return nullptr;
  int image = 0;
  if (location == kWinBinary)
  {
    int size = 0;
    const void* bytes = LoadModuleResource(fileNameOrResID, ext, size, GetModuleInstance());
    // A module resource stays put and unchanged while the module is loaded: decoded once for the
    // whole process.
    const auto picture = bytes && size > 0 ? DecodedPictureStore::Shared().Find(bytes, size_t(size)) : nullptr;
    if (picture)
    {
      ActivateGLContext();
      image = mVG->CreateImageRGBA(picture->width, picture->height, 0, picture->pixels.get());
      DeactivateGLContext();
    }
  }
  else if (location == kAbsolutePath)
  {
    ActivateGLContext();
    image = mVG->CreateImageFromFile(fileNameOrResID, 0);
    DeactivateGLContext();
  }
  // A picture that cannot be decoded is not a bitmap: nothing is cached for it and the caller
  // gets an empty reference.
  if (!image)
    return nullptr;
  return std::make_unique<Bitmap>(mVG.get(), image, float(scale), 1.f);
}

IBitmapInfo IGraphicsVectorGL::LoadBitmap(const char* name, const void* pData, int dataSize, int nStates,
                                          bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmapInfo();
  const int scale = targetScale > 0 ? targetScale : 1;
  std::lock_guard<std::mutex> lock(mBitmapCache.Mutex());
  APIBitmap* bitmap = mBitmapCache.Find(name, scale);
  if (!bitmap)
  {
    std::unique_ptr<APIBitmap> decoded = LoadAPIBitmap(name, pData, dataSize, scale);
    if (!decoded)
      return IBitmapInfo();
    bitmap = decoded.get();
    mBitmapCache.Add(std::move(decoded), name, scale);
  }
  return IBitmapInfo(bitmap, name, nStates, framesAreHorizontal);
}

// ---- Fonts and text -------------------------------------------------------------------------

bool IGraphicsVectorGL::LoadAPIFont(const char* fontID, const PlatformFontPtr& font)
{
  if (!fontID || !mVG)
    return false;
  FontDataCache& fonts = FontCache();
  std::lock_guard<std::mutex> lock(fonts.cache.Mutex());
  if (const FontData* cached = fonts.cache.Find(fontID, 1.0))
    return mVG->CreateFontMem(fontID, cached->Get(), cached->GetSize(), cached->GetFaceIdx()) >= 0;

  if (!font)
    return false;
  std::unique_ptr<FontData> data = font->GetFontData();
  if (!data || !data->IsValid())
    return false;
  if (mVG->CreateFontMem(fontID, data->Get(), data->GetSize(), data->GetFaceIdx()) < 0)
    return false;
  fonts.cache.Add(std::move(data), fontID, 1.0);
  return true;
}

void IGraphicsVectorGL::PrepareText(const ITextStyle& style, const IRect& bounds, float& x, float& y) const
{
  mVG->SetFontFace(style.font);
  mVG->SetFontSize(style.size);
  int align = 0;
  switch (style.align)
  {
    case EAlign::Near: align |= renderer::kAlignLeft, x = bounds.L; break;
    case EAlign::Far: align |= renderer::kAlignRight, x = bounds.R; break;
    default: align |= renderer::kAlignCenter, x = bounds.MW(); break;
  }
  switch (style.valign)
  {
    case EVAlign::Top: align |= renderer::kAlignTop, y = bounds.T; break;
    case EVAlign::Bottom: align |= renderer::kAlignBottom, y = bounds.B; break;
    default: align |= renderer::kAlignMiddle, y = bounds.MH(); break;
  }
  mVG->SetTextAlign(align);
}

float IGraphicsVectorGL::DoMeasureText(const ITextStyle& style, const char* str, IRect& bounds) const
{
  if (!mVG || !str)
    return 0.f;
  float x = 0.f, y = 0.f;
  PrepareText(style, bounds, x, y);
  float box[4] = {0.f, 0.f, 0.f, 0.f};
  mVG->TextBounds(x, y, str, box);
  IRect measured(box[0], box[1], box[2], box[3]);
  const float width = measured.W();
  if (style.angle != 0.f)
  {
    float tx = 0.f, ty = 0.f;
    RotatedTextBox(style, bounds, measured, tx, ty);
  }
  bounds = measured;
  return width;
}

void IGraphicsVectorGL::DoDrawText(const ITextStyle& style, const char* str, const IRect& bounds,
                                   const IBlendInfo* blend)
{
  if (!mVG || !str)
    return;
  float x = 0.f, y = 0.f;
  PrepareText(style, bounds, x, y);
  float box[4] = {0.f, 0.f, 0.f, 0.f};
  mVG->TextBounds(x, y, str, box);

  mVG->Save();
  if (style.angle != 0.f)
  {
    IRect measured(box[0], box[1], box[2], box[3]);
    float tx = 0.f, ty = 0.f;
    RotatedTextBox(style, bounds, measured, tx, ty);
    mVG->Translate(tx, ty);
    mVG->Rotate(DegToRad(style.angle));
  }
  mVG->SetFillColor(ToColor(style.fgColor, BlendWeight(blend)));
  ApplyBlend(blend);
  mVG->Text(x, y, str);
  mVG->SetCompositeSourceOver();
  mVG->Restore();
}

} // namespace iplug::igraphics
