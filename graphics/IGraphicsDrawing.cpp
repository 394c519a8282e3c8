// The drawing vocabulary of the graphics context: primitives built on the path interface, the
// current transform with its save/restore stack, and the off-screen layer stack.
//
// Sections: path builders · primitives · bitmaps and pictures · transforms · layers

#include <algorithm>
#include <cmath>
#include <utility>

#include "IControl.h"
#include "IGraphics.h"

namespace iplug::igraphics {

namespace {

void StrokeSolid(IGraphics& g, const IColor& color, float thickness, const IBlendInfo* blend,
                 const IStrokeStyle& style = IStrokeStyle())
{
  g.PathStroke(IFillPattern(color), thickness, style, blend);
}

void FillSolid(IGraphics& g, const IColor& color, const IBlendInfo* blend)
{
  g.PathFill(IFillPattern(color), IFillStyle(), blend);
}

// Dashes of dashLen separated by gaps of dashLen. Lengths that are zero, negative or not numbers
// would never advance along the path, so they draw nothing at all.
bool DashedStyle(float dashLen, IStrokeStyle& style)
{
  if (!(dashLen > 0.f) || !std::isfinite(dashLen))
    return false;
  style.dash.Add(dashLen);
  style.dash.Add(dashLen);
  return true;
}

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// Distance of the cubic control points for a quarter ellipse.
constexpr float kKappa = 0.5522847498f;

} // namespace

// ---- Path builders --------------------------------------------------------------------------

void IGraphics::PathLine(float x1, float y1, float x2, float y2)
{
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
}

void IGraphics::PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3)
{
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
}

void IGraphics::PathRect(const IRect& r)
{
  PathMoveTo(r.L, r.T);
  PathLineTo(r.R, r.T);
  PathLineTo(r.R, r.B);
  PathLineTo(r.L, r.B);
  PathClose();
}

void IGraphics::PathRoundRect(const IRect& r, float cRTL, float cRTR, float cRBR, float cRBL)
{
  // A radius beyond half the shorter side would fold the outline over itself.
  const float maxRadius = std::max(0.f, 0.5f * std::min(r.W(), r.H()));
  auto limit = [maxRadius](float radius) { return std::isfinite(radius) ? std::clamp(radius, 0.f, maxRadius) : 0.f; };
  const float tl = limit(cRTL);
  const float tr = limit(cRTR);
  const float br = limit(cRBR);
  const float bl = limit(cRBL);

  if (tl == 0.f && tr == 0.f && br == 0.f && bl == 0.f)
  {
    PathRect(r);
    return;
  }

  PathMoveTo(r.L, r.T + tl);
  PathArc(r.L + tl, r.T + tl, tl, 270.f, 360.f);
  PathLineTo(r.R - tr, r.T);
  PathArc(r.R - tr, r.T + tr, tr, 0.f, 90.f);
  PathLineTo(r.R, r.B - br);
  PathArc(r.R - br, r.B - br, br, 90.f, 180.f);
  PathLineTo(r.L + bl, r.B);
  PathArc(r.L + bl, r.B - bl, bl, 180.f, 270.f);
  PathClose();
}

void IGraphics::PathCircle(float cx, float cy, float r)
{
  PathArc(cx, cy, r, 0.f, 360.f);
  PathClose();
}

void IGraphics::PathEllipse(float cx, float cy, float r1, float r2, float angle)
{
  const double rad = static_cast<double>(angle) * kDegToRad;
  const float c = static_cast<float>(std::cos(rad));
  const float s = static_cast<float>(std::sin(rad));
  // Local (unrotated) point → screen point.
  auto px = [&](float x, float y) { return cx + c * x - s * y; };
  auto py = [&](float x, float y) { return cy + s * x + c * y; };
  const float kx = kKappa * r1;
  const float ky = kKappa * r2;

  // Clockwise from the top: top → right → bottom → left → top.
  PathMoveTo(px(0.f, -r2), py(0.f, -r2));
  PathCubicBezierTo(px(kx, -r2), py(kx, -r2), px(r1, -ky), py(r1, -ky), px(r1, 0.f), py(r1, 0.f));
  PathCubicBezierTo(px(r1, ky), py(r1, ky), px(kx, r2), py(kx, r2), px(0.f, r2), py(0.f, r2));
  PathCubicBezierTo(px(-kx, r2), py(-kx, r2), px(-r1, ky), py(-r1, ky), px(-r1, 0.f), py(-r1, 0.f));
  PathCubicBezierTo(px(-r1, -ky), py(-r1, -ky), px(-kx, -r2), py(-kx, -r2), px(0.f, -r2), py(0.f, -r2));
  PathClose();
}

void IGraphics::PathEllipse(const IRect& bounds)
{
  PathEllipse(bounds.MW(), bounds.MH(), 0.5f * bounds.W(), 0.5f * bounds.H(), 0.f);
}

void IGraphics::PathConvexPolygon(const float* x, const float* y, int nPoints)
{
  if (!x || !y || nPoints < 1)
    return;
  PathMoveTo(x[0], y[0]);
  for (int i = 1; i < nPoints; ++i)
    PathLineTo(x[i], y[i]);
  PathClose();
}

// ---- Primitives -----------------------------------------------------------------------------

void IGraphics::DrawPoint(const IColor& color, float x, float y, const IBlendInfo* blend)
{
  FillRect(color, IRect(x, y, x + 1.f, y + 1.f), blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendInfo* blend,
                         float thickness)
{
  PathClear();
  PathLine(x1, y1, x2, y2);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendInfo* blend,
                               float thickness, float dashLen)
{
  IStrokeStyle style;
  if (!DashedStyle(dashLen, style))
    return;
  PathClear();
  PathLine(x1, y1, x2, y2);
  StrokeSolid(*this, color, thickness, blend, style);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathRect(bounds);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR,
                              float cRBL, const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius, const IBlendInfo* blend,
                              float thickness)
{
  DrawRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend, thickness);
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                        const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathArc(cx, cy, r, a1, a2);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathCircle(cx, cy, r);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness)
{
  PathClear();
  PathEllipse(bounds);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlendInfo* blend, float thickness)
{
  if (!x || !y || nPoints < 1)
    return;
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness,
                               float dashLen)
{
  IStrokeStyle style;
  if (!DashedStyle(dashLen, style))
    return;
  PathClear();
  PathRect(bounds);
  StrokeSolid(*this, color, thickness, blend, style);
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendInfo* blend)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  FillSolid(*this, color, blend);
}

void IGraphics::FillRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend)
{
  PathClear();
  PathRect(bounds);
  FillSolid(*this, color, blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR,
                              float cRBL, const IBlendInfo* blend)
{
  PathClear();
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  FillSolid(*this, color, blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius, const IBlendInfo* blend)
{
  FillRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend)
{
  PathClear();
  PathCircle(cx, cy, r);
  FillSolid(*this, color, blend);
}

void IGraphics::FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlendInfo* blend)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  FillSolid(*this, color, blend);
}

void IGraphics::FillEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend)
{
  PathClear();
  PathEllipse(bounds);
  FillSolid(*this, color, blend);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendInfo* blend)
{
  PathClear();
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2);
  PathClose();
  FillSolid(*this, color, blend);
}

void IGraphics::FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlendInfo* blend)
{
  if (!x || !y || nPoints < 1)
    return;
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  FillSolid(*this, color, blend);
}

void IGraphics::DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                         const IBlendInfo* blend, float thickness)
{
  PathClear();

  // Only the lines that can reach the target are built: a bound far away (or infinite) would
  // otherwise grow the path until memory runs out. The part that can be seen is the clip area
  // (the top layer, the clip rectangle or the whole editor) mapped back through the transform.
  IRect visible = !mLayers.empty() ? mLayers.top()->Bounds() : mClipRECT;
  if (visible.Empty())
    visible = GetBounds();
  const ITransform toLocal = mTransform.Inverted();
  double visL = HUGE_VAL, visT = HUGE_VAL, visR = -HUGE_VAL, visB = -HUGE_VAL;
  for (const auto& [cx, cy] : {std::pair<float, float>{visible.L, visible.T}, {visible.R, visible.T},
                               {visible.L, visible.B}, {visible.R, visible.B}})
  {
    double x = cx, y = cy;
    toLocal.TransformPoint(x, y);
    visL = std::min(visL, x), visR = std::max(visR, x);
    visT = std::min(visT, y), visB = std::max(visB, y);
  }
  // A clip or transform that is not a number shows nothing.
  if (!(visL <= visR && visT <= visB) || !std::isfinite(visL) || !std::isfinite(visR) || !std::isfinite(visT) ||
      !std::isfinite(visB))
    return;
  // A stroke reaches half its width beyond its line.
  const double pad = (std::isfinite(thickness) ? std::fabs(double(thickness)) : 0.0) + 1.0;

  // Lines at start + k × spacing, k ≥ 1, before end, within [lo, hi]; positions come from the
  // line number, not from adding up the spacing, so they never drift.
  const auto lines = [&](float start, float end, float spacing, double lo, double hi, auto&& line) {
    if (!(spacing > 1.f) || !std::isfinite(spacing) || !std::isfinite(start) || std::isnan(end))
      return;
    const double last = std::min(double(end), hi);
    const double first = std::max(1.0, std::ceil((lo - double(start)) / double(spacing)));
    const double count = std::floor((last - double(start)) / double(spacing)) - first + 1.0;
    // Lines denser than this in view are finer than the pixels they cross.
    constexpr double kMaxLines = 65536.0;
    if (!(count > 0.0) || count > kMaxLines)
      return;
    // Counted in whole steps: far from the origin, first + 1 may equal first in floating point.
    for (int i = 0; i < static_cast<int>(count); ++i)
    {
      const float at = start + static_cast<float>(first + i) * spacing;
      if (!(at < end))
        break;
      line(at);
    }
  };
  // Along its length, too, a line is cut to what can be seen: the renderer gets no infinite ends.
  const auto cut = [](float a, double lo, double hi) { return static_cast<float>(std::clamp(double(a), lo, hi)); };
  const float top = cut(bounds.T, visT - pad, visB + pad), bottom = cut(bounds.B, visT - pad, visB + pad);
  const float left = cut(bounds.L, visL - pad, visR + pad), right = cut(bounds.R, visL - pad, visR + pad);
  lines(bounds.L, bounds.R, gridSizeH, visL - pad, visR + pad, [&](float x) { PathLine(x, top, x, bottom); });
  lines(bounds.T, bounds.B, gridSizeV, visT - pad, visB + pad, [&](float y) { PathLine(left, y, right, y); });

  StrokeSolid(*this, color, thickness, blend);
}

void IGraphics::DrawData(const IColor& color, const IRect& bounds, const float* normYPoints, int nPoints,
                         const float* normXPoints, const IBlendInfo* blend, float thickness)
{
  if (!normYPoints || nPoints < 1)
    return;

  const float w = bounds.W();
  const float h = bounds.H();
  PathClear();
  PathMoveTo(bounds.L, bounds.B - normYPoints[0] * h);
  for (int i = 1; i < nPoints; ++i)
  {
    const float xi = normXPoints ? normXPoints[i] : static_cast<float>(i) / static_cast<float>(nPoints - 1);
    PathLineTo(bounds.L + xi * w, bounds.B - normYPoints[i] * h);
  }
  StrokeSolid(*this, color, thickness, blend);
}

// ---- Bitmaps and pictures -------------------------------------------------------------------

void IGraphics::DrawFittedBitmap(const IBitmapInfo& bitmap, const IRect& bounds, const IBlendInfo* blend)
{
  if (!bitmap.IsValid() || bitmap.W() <= 0 || bitmap.H() <= 0)
    return;
  const float w = static_cast<float>(bitmap.W());
  const float h = static_cast<float>(bitmap.H());
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / w, bounds.H() / h);
  DrawBitmap(bitmap, IRect(0.f, 0.f, w, h), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawRotatedBitmap(const IBitmapInfo& bitmap, float destCentreX, float destCentreY, double angle,
                                  const IBlendInfo* blend)
{
  if (!bitmap.IsValid())
    return;
  const float drawScale = bitmap.GetDrawScale() > 0.f ? bitmap.GetDrawScale() : 1.f;
  const float w = static_cast<float>(bitmap.W()) / drawScale;
  const float h = static_cast<float>(bitmap.H()) / drawScale;
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawBitmap(bitmap, IRect(-0.5f * w, -0.5f * h, 0.5f * w, 0.5f * h), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawSVG(const ISVG& svg, const IRect& bounds, const IBlendInfo* blend)
{
  if (!svg.IsValid())
    return;

  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(std::min(bounds.W() / svg.width, bounds.H() / svg.height));

  for (const ISVG::Shape& shape : svg.shapes)
  {
    PathClear();
    for (const ISVG::Path& path : shape.paths)
    {
      const std::vector<float>& p = path.points;
      if (p.size() < 2)
        continue;
      PathMoveTo(p[0], p[1]);
      for (size_t i = 2; i + 6 <= p.size(); i += 6)
        PathCubicBezierTo(p[i], p[i + 1], p[i + 2], p[i + 3], p[i + 4], p[i + 5]);
      if (path.closed)
        PathClose();
    }

    auto withOpacity = [&shape](IColor c) {
      c.A = static_cast<int>(std::lround(static_cast<float>(c.A) * std::clamp(shape.opacity, 0.f, 1.f)));
      return c;
    };
    if (shape.filled)
    {
      IFillStyle fill;
      fill.rule = shape.evenOdd ? EFillRule::EvenOdd : EFillRule::Winding;
      fill.preserve = shape.stroked; // the stroke below needs the same path
      PathFill(IFillPattern(withOpacity(shape.fillColor)), fill, blend);
    }
    if (shape.stroked)
      PathStroke(IFillPattern(withOpacity(shape.strokeColor)), shape.strokeWidth, IStrokeStyle(), blend);
  }

  PathTransformRestore();
}

void IGraphics::DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                               double angle, const IBlendInfo* blend)
{
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawSVG(svg, IRect(-0.5f * width, -0.5f * height, 0.5f * width, 0.5f * height), blend);
  PathTransformRestore();
}

// ---- Transforms -----------------------------------------------------------------------------

void IGraphics::PathTransformSave() { mTransformStates.push(mTransform); }

void IGraphics::PathTransformRestore()
{
  if (mTransformStates.empty())
    return;
  mTransform = mTransformStates.top();
  mTransformStates.pop();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformReset(bool clearStates)
{
  if (clearStates)
  {
    while (!mTransformStates.empty())
      mTransformStates.pop();
  }
  mTransform = ITransform();
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformTranslate(float x, float y)
{
  mTransform.Translate(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformScale(float x, float y)
{
  mTransform.Scale(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::PathTransformRotate(float degrees)
{
  mTransform.Rotate(degrees);
  PathTransformSetMatrix(mTransform);
}

// ---- Layers ---------------------------------------------------------------------------------

void IGraphics::StartLayer(IControl* owner, const IRect& bounds, bool cacheable)
{
  const float scale = GetBackingPixelScale();
  const IRect aligned = bounds.PixelAligned(scale);
  const int pixelWidth = static_cast<int>(std::ceil(std::ceil(aligned.W()) * scale));
  const int pixelHeight = static_cast<int>(std::ceil(std::ceil(aligned.H()) * scale));

  std::unique_ptr<APIBitmap> bitmap = CreateAPIBitmap(pixelWidth, pixelHeight, mScreenScale, mDrawScale, cacheable);
  const IRect ownerBounds = owner ? owner->GetRECT() : IRect();
  PushLayer(std::make_unique<IDrawLayer>(std::move(bitmap), owner, ownerBounds, aligned));
}

ILayerPtr IGraphics::EndLayer() { return PopLayer(); }

void IGraphics::PushLayer(ILayerPtr layer)
{
  if (!layer)
    return;
  const IRect bounds = layer->Bounds();
  mLayers.push(std::move(layer));
  UpdateLayer();
  mTransform = ITransform();
  PathTransformSetMatrix(mTransform);
  PathClipRegion(bounds);
  PathClear();
}

ILayerPtr IGraphics::PopLayer()
{
  ILayerPtr layer;
  if (!mLayers.empty())
  {
    layer = std::move(mLayers.top());
    mLayers.pop();
  }
  UpdateLayer();
  mTransform = ITransform();
  PathTransformSetMatrix(mTransform);
  PathClipRegion(IRect());
  PathClear();
  return layer;
}

bool IGraphics::CheckLayer(const ILayerPtr& layer)
{
  if (!layer || !layer->GetAPIBitmap())
    return false;

  if (IControl* owner = layer->GetOwner())
  {
    if (!(owner->GetRECT() == layer->GetOwnerBounds()))
    {
      layer->SetOwnerBounds(owner->GetRECT());
      layer->Invalidate();
    }
  }
  if (layer->IsInvalid())
    return false;

  const APIBitmap* bitmap = layer->GetAPIBitmap();
  return bitmap->GetDrawScale() == mDrawScale && bitmap->GetScale() == mScreenScale;
}

void IGraphics::PathClipRegion(const IRect& r)
{
  const IRect base = mLayers.empty() ? mClipRECT : mLayers.top()->Bounds();
  const IRect clip = r.Empty() ? base : r.Intersect(base);
  PathTransformSetMatrix(ITransform());
  SetClipRegion(clip);
  PathTransformSetMatrix(mTransform);
}

} // namespace iplug::igraphics
