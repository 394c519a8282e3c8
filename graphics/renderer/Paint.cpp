#include "Paint.h"

#include <cmath>

namespace iplug::igraphics::renderer {

namespace {

bool Finite(const Color& c)
{
  return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

} // namespace

Paint Paint::Solid(const Color& color)
{
  Paint p;
  p.kind = Kind::Solid;
  p.inner = p.outer = color;
  return p;
}

Paint Paint::LinearGradient(float sx, float sy, float ex, float ey, const Color& inner, const Color& outer)
{
  Paint p;
  p.kind = Kind::Linear;
  float dx = ex - sx, dy = ey - sy;
  float len = std::sqrt(dx * dx + dy * dy);
  if (len > 1e-4f)
  {
    dx /= len;
    dy /= len;
  }
  else
  {
    // Both ends at one point: a hard step from inner to outer there.
    dx = 1.f;
    dy = 0.f;
    len = 1e-4f;
  }
  // Paint x runs along the gradient, paint y across it.
  p.transform = {dx, dy, -dy, dx, sx, sy};
  p.extent[0] = len;
  p.extent[1] = 0.f;
  p.inner = inner;
  p.outer = outer;
  return p;
}

Paint Paint::RadialGradient(float cx, float cy, float r0, float r1, const Color& inner, const Color& outer)
{
  Paint p;
  p.kind = Kind::Radial;
  p.transform = Transform2D::Translation(cx, cy);
  p.radius = r0;
  p.feather = r1 - r0;
  p.inner = inner;
  p.outer = outer;
  return p;
}

Paint Paint::BoxGradient(float x, float y, float w, float h, float r, float feather, const Color& inner,
                         const Color& outer)
{
  Paint p;
  p.kind = Kind::Box;
  p.transform = Transform2D::Translation(x + w * 0.5f, y + h * 0.5f);
  p.extent[0] = w * 0.5f;
  p.extent[1] = h * 0.5f;
  p.radius = r;
  p.feather = feather;
  p.inner = inner;
  p.outer = outer;
  return p;
}

Paint Paint::ImagePattern(float ox, float oy, float w, float h, float angle, int image, float alpha)
{
  Paint p;
  p.kind = Kind::Image;
  p.transform = Transform2D::Multiply(Transform2D::Rotation(angle), Transform2D::Translation(ox, oy));
  p.extent[0] = w;
  p.extent[1] = h;
  p.image = image;
  p.inner = p.outer = Color{1.f, 1.f, 1.f, alpha};
  return p;
}

bool Paint::IsFinite() const
{
  return transform.IsFinite() && std::isfinite(extent[0]) && std::isfinite(extent[1]) && std::isfinite(radius) &&
         std::isfinite(feather) && Finite(inner) && Finite(outer);
}

} // namespace iplug::igraphics::renderer
