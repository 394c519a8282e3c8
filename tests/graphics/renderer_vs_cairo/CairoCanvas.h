#pragma once

#include "Canvas.h"
#include "Picture.h"

#include <cairo.h>

#include <vector>

namespace test::vs_cairo {

// The canvas on cairo's image backend: the reference picture of each scene.
class CairoCanvas final : public Canvas
{
public:
  CairoCanvas();
  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  void Begin(int width, int height, float ratio);
  Picture End();

  void Save() override;
  void Restore() override;
  void Translate(float x, float y) override { cairo_translate(mCr, x, y); }
  void Scale(float x, float y) override { cairo_scale(mCr, x, y); }
  void Rotate(float radians) override { cairo_rotate(mCr, radians); }
  void Transform(const Transform2D& t) override;
  void Scissor(float x, float y, float w, float h) override;
  void IntersectScissor(float x, float y, float w, float h) override;

  void SetFill(const PaintSpec& p) override { SetPaint(S().fill, p); }
  void SetStroke(const PaintSpec& p) override { SetPaint(S().stroke, p); }
  void SetStrokeWidth(float w) override { S().width = w; }
  void SetLineCap(LineCap cap) override { S().cap = cap; }
  void SetLineJoin(LineJoin join) override { S().join = join; }
  void SetMiterLimit(float limit) override { S().miterLimit = limit; }
  void SetGlobalAlpha(float alpha) override { S().alpha = alpha; }
  void SetOperator(Operator op) override { S().op = op; }
  void EvenOdd(bool on) override { S().evenOdd = on; }

  void BeginPath() override { cairo_new_path(mCr); }
  void MoveTo(float x, float y) override { cairo_move_to(mCr, x, y); }
  void LineTo(float x, float y) override;
  void BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir) override;
  void ClosePath() override { cairo_close_path(mCr); }
  void MarkHole() override {}
  void Fill() override;
  void Stroke() override;

private:
  // A paint and the user space it was set in (cairo has one source; ours keeps two paints).
  struct SetPaintRecord
  {
    cairo_pattern_t* pattern = nullptr;
    cairo_matrix_t space{};
    float opacity = 1.f;
  };
  struct State
  {
    SetPaintRecord fill, stroke;
    float width = 1.f, miterLimit = 10.f, alpha = 1.f;
    LineCap cap = LineCap::Butt;
    LineJoin join = LineJoin::Miter;
    Operator op = Operator::Over;
    bool evenOdd = false;
  };

  State& S() { return mStates.back(); }
  void SetPaint(SetPaintRecord& rec, const PaintSpec& p);
  void Draw(bool stroke);
  static void Release(State& s);
  static void Retain(State& s);

  cairo_surface_t* mSurface = nullptr;
  cairo_surface_t* mImage = nullptr;
  cairo_t* mCr = nullptr;
  std::vector<State> mStates;
};

} // namespace test::vs_cairo
