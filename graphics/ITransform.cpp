#include "ITransform.h"

#include <cmath>
#include <numbers>

namespace iplug::igraphics {

ITransform ITransform::operator*(const ITransform& o) const
{
  return ITransform(xx * o.xx + xy * o.yx, yx * o.xx + yy * o.yx,
                    xx * o.xy + xy * o.yy, yx * o.xy + yy * o.yy,
                    xx * o.tx + xy * o.ty + tx, yx * o.tx + yy * o.ty + ty);
}

ITransform& ITransform::Translate(double x, double y)
{
  *this = *this * ITransform(1.0, 0.0, 0.0, 1.0, x, y);
  return *this;
}

ITransform& ITransform::Scale(double x, double y)
{
  *this = *this * ITransform(x, 0.0, 0.0, y, 0.0, 0.0);
  return *this;
}

ITransform& ITransform::Rotate(double degrees)
{
  const double rad = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(rad);
  const double s = std::sin(rad);
  *this = *this * ITransform(c, s, -s, c, 0.0, 0.0);
  return *this;
}

void ITransform::TransformPoint(double& x, double& y) const
{
  const double nx = xx * x + xy * y + tx;
  const double ny = yx * x + yy * y + ty;
  x = nx;
  y = ny;
}

ITransform ITransform::Inverted() const
{
  const double det = xx * yy - xy * yx;
  if (det == 0.0 || !std::isfinite(det))
    return ITransform();
  const double inv = 1.0 / det;
  const double ixx = yy * inv;
  const double ixy = -xy * inv;
  const double iyx = -yx * inv;
  const double iyy = xx * inv;
  return ITransform(ixx, iyx, ixy, iyy, -(ixx * tx + ixy * ty), -(iyx * tx + iyy * ty));
}

} // namespace iplug::igraphics
