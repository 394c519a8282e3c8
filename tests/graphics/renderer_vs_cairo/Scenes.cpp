#include "Scene.h"

#include <cmath>

namespace test::vs_cairo {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr auto kCW = ArcDirection::Clockwise;
constexpr auto kCCW = ArcDirection::CounterClockwise;

constexpr Color kBlue = Color::FromRGBA8(40, 110, 230);
constexpr Color kOrange = Color::FromRGBA8(240, 140, 20);
constexpr Color kGreen = Color::FromRGBA8(30, 170, 80);
constexpr Color kInk = Color::FromRGBA8(20, 20, 30);
constexpr Color kRed = Color::FromRGBA8(220, 40, 40);

// A regular star of `points` tips around (cx, cy), visiting every `skip`-th tip: a self-crossing
// path whose middle winds twice.
void Star(Canvas& c, float cx, float cy, float r, int points, int skip)
{
  for (int i = 0; i < points; ++i)
  {
    const float a = -kPi / 2 + 2.f * kPi * float(i * skip % points) / float(points);
    if (i == 0)
      c.MoveTo(cx + r * std::cos(a), cy + r * std::sin(a));
    else
      c.LineTo(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  c.ClosePath();
}

// A zigzag of three corners: a right angle, an acute 40° turn back and a shallow bend.
void Zigzag(Canvas& c, float x, float y)
{
  c.MoveTo(x, y + 20);
  c.LineTo(x + 20, y + 20);
  c.LineTo(x + 20, y);
  c.LineTo(x + 30, y + 27);
  c.LineTo(x + 60, y + 20);
}

const char* CapName(LineCap cap)
{
  return cap == LineCap::Butt ? "butt" : cap == LineCap::Round ? "round" : "square";
}

const char* JoinName(LineJoin join)
{
  return join == LineJoin::Miter ? "miter" : join == LineJoin::Round ? "round" : "bevel";
}

std::string WidthName(float w)
{
  return w == 2.5f ? "2_5" : std::to_string(int(w));
}

const char* OperatorName(Operator op)
{
  switch (op)
  {
  case Operator::Over: return "over";
  case Operator::Atop: return "atop";
  case Operator::DestOver: return "dest_over";
  case Operator::DestOut: return "dest_out";
  case Operator::Xor: return "xor";
  case Operator::Add: return "add";
  case Operator::Screen: return "screen";
  case Operator::Multiply: return "multiply";
  case Operator::Source: return "source";
  case Operator::Clear: return "clear";
  case Operator::In: return "in";
  case Operator::Out: return "out";
  case Operator::DestIn: return "dest_in";
  case Operator::DestAtop: return "dest_atop";
  }
  return "?";
}

std::vector<Scene> MakeScenes()
{
  std::vector<Scene> s;

  // --- Fills ------------------------------------------------------------------------------------
  s.push_back({"convex_polygons", SceneKind::Fill, [](Canvas& c) {
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 for (int i = 0; i < 6; ++i)
                 {
                   const float a = 2.f * kPi * float(i) / 6.f + 0.2f;
                   if (i == 0)
                     c.MoveTo(30 + 24 * std::cos(a), 30 + 24 * std::sin(a));
                   else
                     c.LineTo(30 + 24 * std::cos(a), 30 + 24 * std::sin(a));
                 }
                 c.ClosePath();
                 c.Fill();
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.MoveTo(60.3f, 58.7f);
                 c.LineTo(90.1f, 64.2f);
                 c.LineTo(70.6f, 91.4f);
                 c.ClosePath();
                 c.Fill();
               }});
  s.push_back({"concave_polygon_and_curves", SceneKind::ConcaveFill, [](Canvas& c) {
                 c.SetFillColor(kGreen);
                 c.BeginPath(); // an arrow
                 c.MoveTo(8, 30);
                 c.LineTo(50, 30);
                 c.LineTo(50, 12);
                 c.LineTo(88, 44);
                 c.LineTo(50, 76);
                 c.LineTo(50, 58);
                 c.LineTo(8, 58);
                 c.ClosePath();
                 c.Fill();
                 c.SetFillColor(kRed);
                 c.BeginPath(); // a crescent of two curves
                 c.MoveTo(20, 66);
                 c.BezierTo(30, 100, 70, 100, 80, 70);
                 c.BezierTo(60, 86, 40, 86, 20, 66);
                 c.ClosePath();
                 c.Fill();
               }});
  s.push_back({"star_non_zero", SceneKind::ConcaveFill, [](Canvas& c) {
                 c.SetFillColor(kInk);
                 c.BeginPath();
                 Star(c, 30, 32, 26, 5, 2);
                 c.Fill();
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 Star(c, 68, 66, 26, 7, 3);
                 c.Fill();
               }});
  s.push_back({"holes_by_winding", SceneKind::ConcaveFill, [](Canvas& c) {
                 c.SetFillColor(kBlue);
                 c.BeginPath(); // a square with a round and a square hole
                 c.Rect(6, 6, 50, 50);
                 c.Circle(22, 22, 10, true);
                 c.Rect(34, 34, 16, 14, true);
                 c.Fill();
                 c.SetFillColor(kOrange);
                 c.BeginPath(); // a ring
                 c.Circle(66, 66, 26);
                 c.Circle(66, 66, 14, true);
                 c.Fill();
               }});
  s.push_back({"even_odd_nested_squares", SceneKind::ConcaveFill, [](Canvas& c) {
                 // Three squares drawn the same way round: even-odd leaves the middle one empty,
                 // which is what marking it as a hole gives ours.
                 c.SetFillColor(kGreen);
                 c.EvenOdd(true);
                 c.BeginPath();
                 c.Rect(8, 8, 80, 80);
                 c.Rect(22.5f, 22.5f, 51, 51);
                 c.MarkHole();
                 c.Rect(36.25f, 36.25f, 23.5f, 23.5f);
                 c.Fill();
               }});
  s.push_back({"rounded_rects_and_circles", SceneKind::Fill, [](Canvas& c) {
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.RoundedRect(6, 6, 54, 30, 8);
                 c.Fill();
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.RoundedRect(64.5f, 8.5f, 26, 40, 12.5f);
                 c.Fill();
                 c.SetFillColor(kInk);
                 c.BeginPath();
                 c.Circle(30, 66, 24);
                 c.Fill();
                 const float circles[3][3] = {{72.3f, 72.6f, 9.4f}, {82.f, 56.f, 3.f}, {62.f, 90.f, 1.2f}};
                 for (const auto& d : circles)
                 {
                   c.BeginPath();
                   c.Circle(d[0], d[1], d[2]);
                   c.Fill();
                 }
               }});
  s.push_back({"tiny_shapes", SceneKind::Fill, [](Canvas& c) {
                 c.SetFillColor(kInk);
                 for (int i = 0; i < 8; ++i)
                 {
                   const float size = 0.25f + 0.5f * float(i);
                   c.BeginPath();
                   c.Rect(6 + 11.f * float(i), 10.3f, size, size);
                   c.Fill();
                   c.BeginPath();
                   c.Circle(8 + 11.f * float(i), 40.5f, size * 0.5f);
                   c.Fill();
                 }
               }});

  // --- Arcs -------------------------------------------------------------------------------------
  s.push_back({"arcs_both_directions", SceneKind::ConcaveFill, [](Canvas& c) {
                 // Pies from the centre: three quarters clockwise, three quarters anticlockwise
                 // (the same angles), and a short sweep each way across angle 0.
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.MoveTo(26, 26);
                 c.Arc(26, 26, 20, 0.3f, 0.3f + 1.5f * kPi, kCW);
                 c.ClosePath();
                 c.Fill();
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.MoveTo(70, 26);
                 c.Arc(70, 26, 20, 0.3f, 0.3f + 1.5f * kPi, kCCW);
                 c.ClosePath();
                 c.Fill();
                 c.SetFillColor(kGreen);
                 c.BeginPath();
                 c.MoveTo(26, 70);
                 c.Arc(26, 70, 20, -0.6f, 0.6f, kCW);
                 c.ClosePath();
                 c.Fill();
                 c.BeginPath();
                 c.MoveTo(70, 70);
                 c.Arc(70, 70, 20, 0.6f, -0.6f, kCCW);
                 c.ClosePath();
                 c.Fill();
               }});
  s.push_back({"arcs_stroked_and_wrapped", SceneKind::Stroke, [](Canvas& c) {
                 c.SetStrokeColor(kInk);
                 c.SetStrokeWidth(5);
                 c.SetLineCap(LineCap::Round);
                 c.BeginPath(); // angles given the other way round: the sweep wraps to 3/4 turn
                 c.Arc(26, 26, 16, 0.f, -0.5f * kPi, kCW);
                 c.Stroke();
                 c.BeginPath();
                 c.Arc(70, 26, 16, 0.f, 0.5f * kPi, kCCW);
                 c.Stroke();
                 c.SetLineCap(LineCap::Butt);
                 c.BeginPath(); // more than a turn each way: one whole circle
                 c.Arc(26, 70, 16, 0.2f, 0.2f + 3.f * kPi, kCW);
                 c.Stroke();
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.MoveTo(70, 70);
                 c.Arc(70, 70, 18, 1.f, 1.f - 5.f * kPi, kCCW);
                 c.ClosePath();
                 c.Fill();
               }});

  // --- Strokes ----------------------------------------------------------------------------------
  for (float width : {1.f, 2.5f, 10.f})
  {
    for (LineCap cap : {LineCap::Butt, LineCap::Round, LineCap::Square})
      s.push_back({std::string("caps_") + CapName(cap) + "_width_" + WidthName(width), SceneKind::Stroke,
                   [=](Canvas& c) {
                     c.SetStrokeColor(kInk);
                     c.SetStrokeWidth(width);
                     c.SetLineCap(cap);
                     c.BeginPath(); // horizontal, vertical and slanted open segments
                     c.MoveTo(14, 14);
                     c.LineTo(82, 14);
                     c.MoveTo(14.5f, 30);
                     c.LineTo(14.5f, 82);
                     c.MoveTo(30, 34);
                     c.LineTo(80, 78.5f);
                     c.Stroke();
                   }});
    for (LineJoin join : {LineJoin::Miter, LineJoin::Round, LineJoin::Bevel})
      s.push_back({std::string("joins_") + JoinName(join) + "_width_" + WidthName(width), SceneKind::Stroke,
                   [=](Canvas& c) {
                     c.SetStrokeColor(kBlue);
                     c.SetStrokeWidth(width);
                     c.SetLineJoin(join);
                     c.BeginPath();
                     Zigzag(c, 14, 12);
                     c.Stroke();
                     c.SetStrokeColor(kInk);
                     c.BeginPath(); // closed: joined at every corner, no caps
                     c.MoveTo(20, 58);
                     c.LineTo(76, 52);
                     c.LineTo(40, 88);
                     c.ClosePath();
                     c.Stroke();
                   }});
  }
  s.push_back({"miter_limit_both_sides", SceneKind::Stroke, [](Canvas& c) {
                 // Corners of 60° (miter 2 widths long) and 30° (3.86): a limit of 2.1 keeps the
                 // first's miter and cuts the second's, 1.9 cuts both, 4 keeps both.
                 c.SetStrokeColor(kInk);
                 c.SetStrokeWidth(8);
                 const float limits[] = {1.9f, 2.1f, 4.f};
                 for (int i = 0; i < 3; ++i)
                 {
                   c.SetMiterLimit(limits[i]);
                   const float x = 14 + 30.f * float(i);
                   c.BeginPath();
                   c.MoveTo(x - 8, 42);
                   c.LineTo(x, 42 - 16 * std::tan(kPi / 3));
                   c.LineTo(x + 8, 42);
                   c.Stroke();
                   c.BeginPath();
                   c.MoveTo(x - 5, 88);
                   c.LineTo(x, 88 - 5 / std::tan(kPi / 12));
                   c.LineTo(x + 5, 88);
                   c.Stroke();
                 }
               }});
  s.push_back({"open_and_closed_paths", SceneKind::Stroke, [](Canvas& c) {
                 c.SetStrokeColor(kInk);
                 c.SetStrokeWidth(6);
                 c.SetLineCap(LineCap::Square);
                 c.BeginPath(); // open: capped at both ends, which meet at the corner
                 c.MoveTo(12, 40);
                 c.LineTo(30, 10);
                 c.LineTo(46, 40);
                 c.LineTo(18, 40);
                 c.Stroke();
                 c.BeginPath(); // closed: mitred there
                 c.MoveTo(52, 40);
                 c.LineTo(70, 10);
                 c.LineTo(86, 40);
                 c.ClosePath();
                 c.Stroke();
                 c.SetStrokeColor(kBlue);
                 c.SetLineJoin(LineJoin::Round);
                 c.BeginPath(); // two sub-paths, one closed
                 c.Rect(12, 54, 30, 30);
                 c.MoveTo(54, 58);
                 c.BezierTo(90, 50, 50, 100, 86, 86);
                 c.Stroke();
               }});
  s.push_back({"translucent_stroke", SceneKind::Stroke, [](Canvas& c) {
                 c.SetStrokeColor(kBlue.WithAlpha(0.5f));
                 c.SetStrokeWidth(8);
                 c.BeginPath();
                 c.MoveTo(10, 20);
                 c.LineTo(80, 20);
                 c.LineTo(60, 40);
                 c.Stroke();
                 // Where one translucent stroke crosses itself ours blends it twice (its strip is
                 // drawn without the stencil), so the scene keeps to strokes that do not.
                 c.SetLineJoin(LineJoin::Round);
                 c.BeginPath();
                 c.MoveTo(10, 60);
                 c.LineTo(40, 86);
                 c.LineTo(60, 56);
                 c.BezierTo(70, 40, 90, 70, 86, 90);
                 c.Stroke();
               }});
  s.push_back({"thick_curve", SceneKind::Stroke, [](Canvas& c) {
                 c.SetStrokeColor(kGreen);
                 c.SetStrokeWidth(24);
                 c.SetLineJoin(LineJoin::Round);
                 c.SetLineCap(LineCap::Round);
                 c.BeginPath();
                 c.MoveTo(18, 78);
                 c.BezierTo(18, 10, 78, 10, 78, 60);
                 c.Stroke();
               }});
  s.push_back({"thin_strokes", SceneKind::Hairline, [](Canvas& c) {
                 c.SetStrokeColor(kInk);
                 const float widths[] = {0.2f, 0.35f, 0.5f, 0.75f};
                 for (int i = 0; i < 4; ++i)
                 {
                   c.SetStrokeWidth(widths[i]);
                   c.BeginPath();
                   c.MoveTo(8, 10.5f + 8.f * float(i));
                   c.LineTo(88, 14.f + 8.f * float(i));
                   c.MoveTo(10.f + 20.f * float(i), 50);
                   c.LineTo(20.f + 20.f * float(i), 90);
                   c.Stroke();
                 }
               }});

  // --- Paints -----------------------------------------------------------------------------------
  s.push_back({"linear_gradients", SceneKind::Gradient, [](Canvas& c) {
                 c.SetFill(PaintSpec::Linear(10, 10, 80, 40, kBlue, kOrange));
                 c.BeginPath();
                 c.Rect(4, 4, 88, 42);
                 c.Fill();
                 // A fade of one colour: the same whether colours are mixed premultiplied or not.
                 c.SetFill(PaintSpec::Linear(0, 52, 0, 92, kGreen.WithAlpha(0.f), kGreen));
                 c.BeginPath();
                 c.Rect(4, 50, 88, 42);
                 c.Fill();
               }});
  s.push_back({"radial_gradients", SceneKind::Gradient, [](Canvas& c) {
                 c.SetFill(PaintSpec::Radial(34, 34, 6, 40, Color::FromRGBA8(255, 240, 180), kBlue));
                 c.BeginPath();
                 c.Rect(0, 0, 96, 96);
                 c.Fill();
                 c.SetFill(PaintSpec::Radial(70, 70, 0, 22, kOrange, kOrange.WithAlpha(0.f)));
                 c.BeginPath();
                 c.Circle(70, 70, 24);
                 c.Fill();
               }});
  s.push_back({"gradient_stops_as_bands", SceneKind::Gradient, [](Canvas& c) {
                 // Several stops: one two-colour gradient per band between neighbouring stops.
                 const Color stops[] = {kBlue, kGreen, kOrange, kRed, kInk};
                 for (int i = 0; i < 4; ++i)
                 {
                   const float x0 = 8 + 20.f * float(i), x1 = x0 + 20;
                   c.SetFill(PaintSpec::Linear(x0, 0, x1, 0, stops[i], stops[i + 1]));
                   c.BeginPath();
                   c.Rect(x0, 8, 20, 80);
                   c.Fill();
                 }
               }});
  s.push_back({"gradient_stroke", SceneKind::Gradient, [](Canvas& c) {
                 c.SetStroke(PaintSpec::Linear(10, 0, 86, 0, kRed, kBlue));
                 c.SetStrokeWidth(12);
                 c.SetLineJoin(LineJoin::Round);
                 c.BeginPath();
                 Zigzag(c, 14, 30);
                 c.Stroke();
               }});
  s.push_back({"image_patterns", SceneKind::Image, [](Canvas& c) {
                 // Turned by the canvas, then turned within the paint and faded.
                 c.Save();
                 c.Translate(30, 4);
                 c.Rotate(0.35f);
                 c.SetFill(PaintSpec::Image(0, 0, 40, 40, 0.f, 1.f));
                 c.BeginPath();
                 c.Rect(0, 0, 40, 40);
                 c.Fill();
                 c.Restore();
                 c.SetFill(PaintSpec::Image(20, 50, 32, 32, -0.5f, 0.7f));
                 c.Save();
                 c.Translate(20, 50);
                 c.Rotate(-0.5f);
                 c.BeginPath();
                 c.Rect(0, 0, 32, 32);
                 c.Restore();
                 c.Fill();
                 // Upright at the image's own size: texel for device pixel at ratio 1.
                 c.SetFill(PaintSpec::Image(74, 74, 16, 16, 0.f, 1.f));
                 c.BeginPath();
                 c.Rect(74, 74, 16, 16);
                 c.Fill();
               }});

  // --- Transforms -------------------------------------------------------------------------------
  s.push_back({"transforms_nested", SceneKind::Fill, [](Canvas& c) {
                 c.SetFillColor(kBlue);
                 c.Save();
                 c.Translate(48, 48);
                 c.Rotate(0.4f);
                 c.BeginPath();
                 c.Rect(-36, -36, 30, 20);
                 c.Fill();
                 c.Save();
                 c.Scale(1.5f, 0.75f);
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.Circle(10, 10, 12);
                 c.Fill();
                 c.Restore();
                 c.SetStrokeColor(kInk); // after the restore: the rotation alone again
                 c.SetStrokeWidth(3);
                 c.BeginPath();
                 c.Rect(-10, 20, 36, 12);
                 c.Stroke();
                 c.Restore();
                 c.SetFillColor(kGreen); // back to no transform
                 c.BeginPath();
                 c.Rect(4, 80, 30, 12);
                 c.Fill();
               }});
  s.push_back({"transforms_skew_and_scale", SceneKind::ConcaveFill, [](Canvas& c) {
                 c.Save();
                 c.Transform({1.f, 0.2f, 0.6f, 1.f, 6.f, 4.f});
                 c.SetFillColor(kGreen);
                 c.BeginPath();
                 Star(c, 24, 24, 20, 5, 2);
                 c.Fill();
                 c.Restore();
                 c.Save();
                 c.Translate(50, 50);
                 c.Scale(2.5f, 2.5f);
                 c.SetStrokeColor(kInk); // uniform scale: the stroke grows with it
                 c.SetStrokeWidth(1.5f);
                 c.SetLineJoin(LineJoin::Miter);
                 c.BeginPath();
                 c.MoveTo(2, 14);
                 c.LineTo(8, 2);
                 c.LineTo(14, 14);
                 c.ClosePath();
                 c.Stroke();
                 c.Restore();
                 c.Save();
                 c.Translate(96, 0);
                 c.Scale(-1, 1); // mirrored
                 c.SetFillColor(kRed);
                 c.BeginPath();
                 c.MoveTo(10, 60);
                 c.LineTo(40, 66);
                 c.LineTo(14, 90);
                 c.ClosePath();
                 c.Fill();
                 c.Restore();
               }});

  // --- Clip -------------------------------------------------------------------------------------
  s.push_back({"scissor_and_intersection", SceneKind::Clip, [](Canvas& c) {
                 c.Save();
                 c.Scissor(10, 10, 50, 40);
                 c.IntersectScissor(20, 4, 60, 30);
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.Circle(40, 30, 30);
                 c.Fill();
                 c.Restore();
                 c.Save();
                 c.Scissor(10.3f, 56.6f, 40.4f, 30.2f); // off the pixel grid
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.Rect(4, 50, 88, 44);
                 c.Fill();
                 c.Restore();
               }});
  s.push_back({"scissor_rotated", SceneKind::Clip, [](Canvas& c) {
                 c.Save();
                 c.Translate(48, 48);
                 c.Rotate(0.5f);
                 c.Scissor(-30, -18, 60, 36);
                 c.Rotate(-0.5f);
                 c.SetFill(PaintSpec::Linear(-40, 0, 40, 0, kGreen, kBlue));
                 c.BeginPath();
                 c.Rect(-44, -44, 88, 88);
                 c.Fill();
                 c.Restore();
               }});

  // --- Alpha and compositing --------------------------------------------------------------------
  s.push_back({"global_alpha", SceneKind::Blend, [](Canvas& c) {
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.Rect(8, 8, 50, 50);
                 c.Fill();
                 c.SetGlobalAlpha(0.5f);
                 c.SetFillColor(kOrange);
                 c.BeginPath();
                 c.Circle(56, 56, 30);
                 c.Fill();
                 c.SetGlobalAlpha(0.3f);
                 c.SetFill(PaintSpec::Linear(0, 0, 96, 0, kRed, kGreen));
                 c.BeginPath();
                 c.Rect(4, 70, 88, 20);
                 c.Fill();
               }});
  for (Operator op : {Operator::Over, Operator::Atop, Operator::DestOver, Operator::DestOut, Operator::Xor,
                      Operator::Add, Operator::Screen, Operator::Multiply, Operator::Source, Operator::Clear,
                      Operator::In, Operator::Out, Operator::DestIn, Operator::DestAtop})
    s.push_back({std::string("operator_") + OperatorName(op), SceneKind::Blend, [op](Canvas& c) {
                   const bool opaqueOnly = op == Operator::Multiply;
                   const bool bounded = !(op == Operator::Source || op == Operator::Clear || op == Operator::In ||
                                          op == Operator::Out || op == Operator::DestIn || op == Operator::DestAtop);
                   // What is there: translucent on the left, opaque on the right.
                   c.SetFillColor(kBlue.WithAlpha(opaqueOnly ? 1.f : 0.6f));
                   c.BeginPath();
                   c.Rect(8, 8, 40, 80);
                   c.Fill();
                   c.SetFillColor(kOrange);
                   c.BeginPath();
                   c.Rect(48, 8, 40, 80);
                   c.Fill();
                   // What is drawn: a translucent green across both and beyond them.
                   c.SetOperator(op);
                   c.SetFillColor(kGreen.WithAlpha(0.7f));
                   c.BeginPath();
                   c.Rect(opaqueOnly ? 16 : 2, 20, opaqueOnly ? 64 : 92, 24);
                   c.Fill();
                   if (bounded) // edges only where the operator leaves the rest alone in both
                   {
                     c.SetFillColor(kRed.WithAlpha(0.8f));
                     c.BeginPath();
                     c.Circle(48, 66, opaqueOnly ? 16 : 22);
                     c.Fill();
                   }
                 }});
  s.push_back({"operator_source_scissored", SceneKind::Blend, [](Canvas& c) {
                 // Only the clip's inside may change: what is there stays all round it.
                 c.SetFillColor(kBlue);
                 c.BeginPath();
                 c.Rect(8, 8, 80, 80);
                 c.Fill();
                 c.Scissor(24, 24, 48, 40);
                 c.SetOperator(Operator::Source);
                 c.SetFillColor(kGreen.WithAlpha(0.5f));
                 c.BeginPath();
                 c.Rect(0, 0, 96, 96);
                 c.Fill();
               }});
  return s;
}

} // namespace

const std::vector<Scene>& Scenes()
{
  static const std::vector<Scene> scenes = MakeScenes();
  return scenes;
}

} // namespace test::vs_cairo
