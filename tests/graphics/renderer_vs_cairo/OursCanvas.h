#pragma once

#include "Canvas.h"
#include "Picture.h"

#include "support/OffscreenGLContext.h"

#include "renderer/RenderContext.h"

#include <memory>
#include <string>

namespace test::vs_cairo {

// The canvas on our renderer: an off-screen OpenGL context on Mesa, big enough for the largest
// picture; each frame draws into its lower-left corner and is read back from the framebuffer.
class OursCanvas final : public Canvas
{
public:
  explicit OursCanvas(int maxPixels);
  ~OursCanvas() override;

  // Empty when the OpenGL context or the renderer could not be made.
  const std::string& Error() const { return mError; }
  iplug::igraphics::renderer::RenderContext& Context() { return *mCtx; }

  // A frame of width × height device pixels at `ratio` device pixels per logical unit, cleared
  // to transparent black.
  void Begin(int width, int height, float ratio);
  Picture End();

  void Save() override { mCtx->Save(); }
  void Restore() override { mCtx->Restore(); }
  void Translate(float x, float y) override { mCtx->Translate(x, y); }
  void Scale(float x, float y) override { mCtx->Scale(x, y); }
  void Rotate(float radians) override { mCtx->Rotate(radians); }
  void Transform(const Transform2D& t) override { mCtx->Transform(t); }
  void Scissor(float x, float y, float w, float h) override { mCtx->Scissor(x, y, w, h); }
  void IntersectScissor(float x, float y, float w, float h) override { mCtx->IntersectScissor(x, y, w, h); }

  void SetFill(const PaintSpec& p) override { mCtx->SetFillPaint(ToPaint(p)); }
  void SetStroke(const PaintSpec& p) override { mCtx->SetStrokePaint(ToPaint(p)); }
  void SetStrokeWidth(float w) override { mCtx->SetStrokeWidth(w); }
  void SetLineCap(LineCap cap) override { mCtx->SetLineCap(cap); }
  void SetLineJoin(LineJoin join) override { mCtx->SetLineJoin(join); }
  void SetMiterLimit(float limit) override { mCtx->SetMiterLimit(limit); }
  void SetGlobalAlpha(float alpha) override { mCtx->SetGlobalAlpha(alpha); }
  void SetOperator(Operator op) override;
  void EvenOdd(bool) override {}

  void BeginPath() override { mCtx->BeginPath(); }
  void MoveTo(float x, float y) override { mCtx->MoveTo(x, y); }
  void LineTo(float x, float y) override { mCtx->LineTo(x, y); }
  void BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override
  {
    mCtx->BezierTo(c1x, c1y, c2x, c2y, x, y);
  }
  void Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir) override
  {
    mCtx->Arc(cx, cy, r, a0, a1, dir);
  }
  void ClosePath() override { mCtx->ClosePath(); }
  void MarkHole() override { mCtx->PathWinding(iplug::igraphics::renderer::Winding::Hole); }
  void Fill() override { mCtx->Fill(); }
  void Stroke() override { mCtx->Stroke(); }

private:
  iplug::igraphics::renderer::Paint ToPaint(const PaintSpec& p) const;

  std::unique_ptr<OffscreenGLContext> mGL;
  std::unique_ptr<iplug::igraphics::renderer::RenderContext> mCtx;
  std::string mError;
  int mImage = 0;
  int mWidth = 0, mHeight = 0;
};

} // namespace test::vs_cairo
