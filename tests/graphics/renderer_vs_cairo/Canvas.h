#pragma once

#include "renderer/Color.h"
#include "renderer/RenderTypes.h"
#include "renderer/Transform2D.h"

namespace test::vs_cairo {

using iplug::igraphics::renderer::ArcDirection;
using iplug::igraphics::renderer::Color;
using iplug::igraphics::renderer::LineCap;
using iplug::igraphics::renderer::LineJoin;
using iplug::igraphics::renderer::Transform2D;

// What fills or strokes: a colour, a two-colour gradient, or the canvas's test image.
struct PaintSpec
{
  enum class Kind
  {
    Solid,
    Linear,
    Radial,
    Image,
  };
  Kind kind = Kind::Solid;
  Color inner, outer;
  float p[6] = {}; // linear: sx sy ex ey · radial: cx cy r0 r1 · image: ox oy w h angle alpha

  static PaintSpec Solid(Color c) { return {Kind::Solid, c, c, {}}; }
  static PaintSpec Linear(float sx, float sy, float ex, float ey, Color a, Color b)
  {
    return {Kind::Linear, a, b, {sx, sy, ex, ey}};
  }
  static PaintSpec Radial(float cx, float cy, float r0, float r1, Color a, Color b)
  {
    return {Kind::Radial, a, b, {cx, cy, r0, r1}};
  }
  static PaintSpec Image(float ox, float oy, float w, float h, float angle, float alpha)
  {
    return {Kind::Image, {}, {}, {ox, oy, w, h, angle, alpha}};
  }
};

// Compositing operators that both renderers have. Ours names blend factors; cairo names
// Porter-Duff operators and blend modes; each operator here is a pair that computes the same.
enum class Operator
{
  Over,
  Atop,
  DestOver,
  DestOut,
  Xor,
  Add,
  Screen,
  Multiply, // the same only over an opaque destination
  // Unbounded in cairo: it also clears what lies outside the shape, where ours leaves it.
  Source,
  Clear,
  In,
  Out,
  DestIn,
  DestAtop,
};

// One drawing vocabulary over both renderers, in logical units (y downwards), so that a scene is
// written once. It follows our renderer's model; where cairo's differs the cairo side adapts:
//  - ours orients each sub-path by its mark (solid or hole) and fills by non-zero winding, cairo
//    fills by the winding as drawn, so scenes draw holes the other way round and also mark them;
//  - ours has no even-odd rule: the drawing back end marks such a path's last sub-path as a
//    hole, and EvenOdd(true) asks only cairo for the rule;
//  - global alpha is the opacity of each fill or stroke as a whole.
class Canvas
{
public:
  virtual ~Canvas() = default;

  virtual void Save() = 0;
  virtual void Restore() = 0;
  virtual void Translate(float x, float y) = 0;
  virtual void Scale(float x, float y) = 0;
  virtual void Rotate(float radians) = 0;
  virtual void Transform(const Transform2D& t) = 0;
  virtual void Scissor(float x, float y, float w, float h) = 0;
  virtual void IntersectScissor(float x, float y, float w, float h) = 0;

  virtual void SetFill(const PaintSpec& p) = 0;
  virtual void SetStroke(const PaintSpec& p) = 0;
  void SetFillColor(Color c) { SetFill(PaintSpec::Solid(c)); }
  void SetStrokeColor(Color c) { SetStroke(PaintSpec::Solid(c)); }
  virtual void SetStrokeWidth(float w) = 0;
  virtual void SetLineCap(LineCap cap) = 0;
  virtual void SetLineJoin(LineJoin join) = 0;
  virtual void SetMiterLimit(float limit) = 0;
  virtual void SetGlobalAlpha(float alpha) = 0;
  virtual void SetOperator(Operator op) = 0;
  virtual void EvenOdd(bool on) = 0;

  virtual void BeginPath() = 0;
  virtual void MoveTo(float x, float y) = 0;
  virtual void LineTo(float x, float y) = 0;
  virtual void BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y) = 0;
  virtual void Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir) = 0;
  virtual void ClosePath() = 0;
  virtual void MarkHole() = 0;
  virtual void Fill() = 0;
  virtual void Stroke() = 0;

  // A closed rectangle drawn counter-clockwise on screen, as ours draws it; with `hole` clockwise
  // and marked as a hole.
  void Rect(float x, float y, float w, float h, bool hole = false)
  {
    MoveTo(x, y);
    if (hole)
    {
      LineTo(x + w, y);
      LineTo(x + w, y + h);
      LineTo(x, y + h);
    }
    else
    {
      LineTo(x, y + h);
      LineTo(x + w, y + h);
      LineTo(x + w, y);
    }
    ClosePath();
    if (hole)
      MarkHole();
  }

  // A closed circle, counter-clockwise on screen (clockwise and marked with `hole`).
  void Circle(float cx, float cy, float r, bool hole = false)
  {
    const float pi = 3.14159265358979f;
    Arc(cx, cy, r, 0.f, 2.f * pi, hole ? ArcDirection::Clockwise : ArcDirection::CounterClockwise);
    ClosePath();
    if (hole)
      MarkHole();
  }

  // A rectangle with round corners of radius r, counter-clockwise on screen.
  void RoundedRect(float x, float y, float w, float h, float r)
  {
    const float pi = 3.14159265358979f;
    const auto ccw = ArcDirection::CounterClockwise;
    MoveTo(x + r, y);
    Arc(x + r, y + r, r, -pi / 2, -pi, ccw);
    Arc(x + r, y + h - r, r, pi, pi / 2, ccw);
    Arc(x + w - r, y + h - r, r, pi / 2, 0.f, ccw);
    Arc(x + w - r, y + r, r, 0.f, -pi / 2, ccw);
    ClosePath();
  }
};

} // namespace test::vs_cairo
