#include "CairoCanvas.h"

#include "TestImage.h"

#include <cmath>
#include <cstring>

namespace test::vs_cairo {

namespace {

constexpr double kTurn = 2.0 * 3.14159265358979323846;

cairo_operator_t ToCairo(Operator op)
{
  switch (op)
  {
  case Operator::Over: return CAIRO_OPERATOR_OVER;
  case Operator::Atop: return CAIRO_OPERATOR_ATOP;
  case Operator::DestOver: return CAIRO_OPERATOR_DEST_OVER;
  case Operator::DestOut: return CAIRO_OPERATOR_DEST_OUT;
  case Operator::Xor: return CAIRO_OPERATOR_XOR;
  case Operator::Add: return CAIRO_OPERATOR_ADD;
  case Operator::Screen: return CAIRO_OPERATOR_SCREEN;
  case Operator::Multiply: return CAIRO_OPERATOR_MULTIPLY;
  case Operator::Source: return CAIRO_OPERATOR_SOURCE;
  case Operator::Clear: return CAIRO_OPERATOR_CLEAR;
  case Operator::In: return CAIRO_OPERATOR_IN;
  case Operator::Out: return CAIRO_OPERATOR_OUT;
  case Operator::DestIn: return CAIRO_OPERATOR_DEST_IN;
  case Operator::DestAtop: return CAIRO_OPERATOR_DEST_ATOP;
  }
  return CAIRO_OPERATOR_OVER;
}

// Operators that change the destination outside the shape in cairo; ours blends only where it
// draws, so cairo draws them clipped to the shape.
bool Unbounded(Operator op)
{
  return op == Operator::In || op == Operator::Out || op == Operator::DestIn || op == Operator::DestAtop;
}

void AddStop(cairo_pattern_t* p, double offset, const Color& c)
{
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, c.a);
}

} // namespace

CairoCanvas::CairoCanvas()
{
  mImage = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, TestImage::kSize, TestImage::kSize);
  cairo_surface_flush(mImage);
  unsigned char* data = cairo_image_surface_get_data(mImage);
  const int stride = cairo_image_surface_get_stride(mImage);
  const auto px = TestImage::Pixels();
  for (int y = 0; y < TestImage::kSize; ++y)
    for (int x = 0; x < TestImage::kSize; ++x)
    {
      const uint8_t* p = &px[size_t((y * TestImage::kSize + x) * 4)];
      const uint32_t argb = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
      std::memcpy(data + y * stride + x * 4, &argb, 4);
    }
  cairo_surface_mark_dirty(mImage);
}

CairoCanvas::~CairoCanvas()
{
  for (State& s : mStates)
    Release(s);
  if (mCr)
    cairo_destroy(mCr);
  if (mSurface)
    cairo_surface_destroy(mSurface);
  cairo_surface_destroy(mImage);
}

void CairoCanvas::Begin(int width, int height, float ratio)
{
  for (State& s : mStates)
    Release(s);
  mStates.assign(1, State{});
  if (mCr)
    cairo_destroy(mCr);
  if (mSurface)
    cairo_surface_destroy(mSurface);
  mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  mCr = cairo_create(mSurface);
  cairo_scale(mCr, ratio, ratio);
  // Our defaults after BeginFrame: white fill, black stroke.
  SetFill(PaintSpec::Solid({1.f, 1.f, 1.f, 1.f}));
  SetStroke(PaintSpec::Solid({0.f, 0.f, 0.f, 1.f}));
}

Picture CairoCanvas::End()
{
  cairo_surface_flush(mSurface);
  Picture p;
  p.width = cairo_image_surface_get_width(mSurface);
  p.height = cairo_image_surface_get_height(mSurface);
  p.rgba.resize(size_t(p.width) * size_t(p.height) * 4);
  const unsigned char* data = cairo_image_surface_get_data(mSurface);
  const int stride = cairo_image_surface_get_stride(mSurface);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
    {
      uint32_t argb;
      std::memcpy(&argb, data + y * stride + x * 4, 4);
      uint8_t* o = p.At(x, y);
      o[0] = uint8_t(argb >> 16);
      o[1] = uint8_t(argb >> 8);
      o[2] = uint8_t(argb);
      o[3] = uint8_t(argb >> 24);
    }
  return p;
}

void CairoCanvas::Retain(State& s)
{
  cairo_pattern_reference(s.fill.pattern);
  cairo_pattern_reference(s.stroke.pattern);
}

void CairoCanvas::Release(State& s)
{
  if (s.fill.pattern)
    cairo_pattern_destroy(s.fill.pattern);
  if (s.stroke.pattern)
    cairo_pattern_destroy(s.stroke.pattern);
  s.fill.pattern = s.stroke.pattern = nullptr;
}

void CairoCanvas::Save()
{
  mStates.push_back(mStates.back());
  Retain(mStates.back());
  cairo_save(mCr);
}

void CairoCanvas::Restore()
{
  if (mStates.size() < 2)
    return;
  Release(mStates.back());
  mStates.pop_back();
  cairo_restore(mCr);
}

void CairoCanvas::Transform(const Transform2D& t)
{
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.e, t.f);
  cairo_transform(mCr, &m);
}

void CairoCanvas::Scissor(float x, float y, float w, float h)
{
  // Our scissor replaces the clip; cairo's clip only narrows, so start again from none. The
  // path is kept: ours does not clear it either.
  cairo_path_t* path = cairo_copy_path(mCr);
  cairo_reset_clip(mCr);
  cairo_new_path(mCr);
  cairo_rectangle(mCr, x, y, w, h);
  cairo_clip(mCr);
  cairo_append_path(mCr, path);
  cairo_path_destroy(path);
}

void CairoCanvas::IntersectScissor(float x, float y, float w, float h)
{
  cairo_path_t* path = cairo_copy_path(mCr);
  cairo_new_path(mCr);
  cairo_rectangle(mCr, x, y, w, h);
  cairo_clip(mCr);
  cairo_append_path(mCr, path);
  cairo_path_destroy(path);
}

void CairoCanvas::LineTo(float x, float y)
{
  // Ours starts a sub-path at the last point, or the origin, when a line has none to start from.
  if (!cairo_has_current_point(mCr))
    cairo_move_to(mCr, 0, 0);
  cairo_line_to(mCr, x, y);
}

void CairoCanvas::BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  if (!cairo_has_current_point(mCr))
    cairo_move_to(mCr, 0, 0);
  cairo_curve_to(mCr, c1x, c1y, c2x, c2y, x, y);
}

void CairoCanvas::Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir)
{
  // Our arc takes its direction from `dir` alone and sweeps less than a turn from a0 towards a1
  // that way; a difference of a turn or more is one whole turn. Cairo is given that sweep.
  double sweep = double(a1) - double(a0);
  if (dir == ArcDirection::Clockwise)
    sweep = std::fabs(sweep) >= kTurn ? kTurn : std::fmod(std::fmod(sweep, kTurn) + kTurn, kTurn);
  else
    sweep = std::fabs(sweep) >= kTurn ? -kTurn : std::fmod(std::fmod(sweep, kTurn) - kTurn, kTurn);
  if (dir == ArcDirection::Clockwise)
    cairo_arc(mCr, cx, cy, r, a0, a0 + sweep);
  else
    cairo_arc_negative(mCr, cx, cy, r, a0, a0 + sweep);
}

void CairoCanvas::SetPaint(SetPaintRecord& rec, const PaintSpec& p)
{
  if (rec.pattern)
    cairo_pattern_destroy(rec.pattern);
  rec.opacity = 1.f;
  switch (p.kind)
  {
  case PaintSpec::Kind::Solid:
    rec.pattern = cairo_pattern_create_rgba(p.inner.r, p.inner.g, p.inner.b, p.inner.a);
    break;
  case PaintSpec::Kind::Linear:
    rec.pattern = cairo_pattern_create_linear(p.p[0], p.p[1], p.p[2], p.p[3]);
    AddStop(rec.pattern, 0.0, p.inner);
    AddStop(rec.pattern, 1.0, p.outer);
    cairo_pattern_set_extend(rec.pattern, CAIRO_EXTEND_PAD);
    break;
  case PaintSpec::Kind::Radial:
    rec.pattern = cairo_pattern_create_radial(p.p[0], p.p[1], p.p[2], p.p[0], p.p[1], p.p[3]);
    AddStop(rec.pattern, 0.0, p.inner);
    AddStop(rec.pattern, 1.0, p.outer);
    cairo_pattern_set_extend(rec.pattern, CAIRO_EXTEND_PAD);
    break;
  case PaintSpec::Kind::Image:
  {
    rec.pattern = cairo_pattern_create_for_surface(mImage);
    // Texels to user space: scaled to (w, h), turned by the angle about the corner, moved there.
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, p.p[0], p.p[1]);
    cairo_matrix_rotate(&m, p.p[4]);
    cairo_matrix_scale(&m, p.p[2] / TestImage::kSize, p.p[3] / TestImage::kSize);
    cairo_matrix_invert(&m);
    cairo_pattern_set_matrix(rec.pattern, &m);
    cairo_pattern_set_filter(rec.pattern, CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(rec.pattern, CAIRO_EXTEND_PAD);
    rec.opacity = p.p[5];
    break;
  }
  }
  cairo_get_matrix(mCr, &rec.space);
}

void CairoCanvas::Draw(bool stroke)
{
  const State& s = S();
  const SetPaintRecord& paint = stroke ? s.stroke : s.fill;
  cairo_save(mCr);
  cairo_matrix_t now;
  cairo_get_matrix(mCr, &now);
  cairo_set_matrix(mCr, &paint.space);
  cairo_set_source(mCr, paint.pattern);
  cairo_set_matrix(mCr, &now);

  cairo_set_line_width(mCr, s.width);
  cairo_set_miter_limit(mCr, s.miterLimit);
  cairo_set_line_cap(mCr, s.cap == LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                           : s.cap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                      : CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(mCr, s.join == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                           : s.join == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                       : CAIRO_LINE_JOIN_MITER);
  cairo_set_fill_rule(mCr, s.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  if (Unbounded(s.op) && !stroke)
    cairo_clip_preserve(mCr);

  const float opacity = s.alpha * paint.opacity;
  if (opacity < 1.f)
  {
    // Global alpha is the opacity of the shape as a whole.
    cairo_push_group(mCr); // keeps the source, the path and the settings
  }
  cairo_set_operator(mCr, opacity < 1.f ? CAIRO_OPERATOR_OVER : ToCairo(s.op));
  if (stroke)
    cairo_stroke_preserve(mCr);
  else
    cairo_fill_preserve(mCr);
  if (opacity < 1.f)
  {
    cairo_pop_group_to_source(mCr);
    cairo_set_operator(mCr, ToCairo(s.op));
    cairo_paint_with_alpha(mCr, opacity);
  }
  cairo_restore(mCr);
}

void CairoCanvas::Fill()
{
  Draw(false);
}

void CairoCanvas::Stroke()
{
  Draw(true);
}

} // namespace test::vs_cairo
