#include "Transform2D.h"

#include <cmath>

namespace iplug::igraphics::renderer {

Transform2D Transform2D::Rotation(float radians)
{
  const float cs = std::cos(radians), sn = std::sin(radians);
  return {cs, sn, -sn, cs, 0.f, 0.f};
}

Transform2D Transform2D::Multiply(const Transform2D& s, const Transform2D& t)
{
  return {s.a * t.a + s.b * t.c, s.a * t.b + s.b * t.d, s.c * t.a + s.d * t.c,
          s.c * t.b + s.d * t.d, s.e * t.a + s.f * t.c + t.e, s.e * t.b + s.f * t.d + t.f};
}

bool Transform2D::Inverse(Transform2D& out) const
{
  const double det = double(a) * d - double(c) * b;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12)
  {
    out = Identity();
    return false;
  }
  const double inv = 1.0 / det;
  out.a = float(d * inv);
  out.c = float(-c * inv);
  out.e = float((double(c) * f - double(d) * e) * inv);
  out.b = float(-b * inv);
  out.d = float(a * inv);
  out.f = float((double(b) * e - double(a) * f) * inv);
  return out.IsFinite();
}

float Transform2D::AverageScale() const
{
  return std::sqrt(std::fabs(a * d - b * c));
}

bool Transform2D::IsFinite() const
{
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) &&
         std::isfinite(e) && std::isfinite(f);
}

} // namespace iplug::igraphics::renderer
