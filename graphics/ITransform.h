#pragma once

namespace iplug::igraphics {

// An affine map (x, y) → (xx·x + xy·y + tx, yx·x + yy·y + ty).
struct ITransform
{
  double xx = 1.0;
  double yx = 0.0;
  double xy = 0.0;
  double yy = 1.0;
  double tx = 0.0;
  double ty = 0.0;

  ITransform() = default;
  ITransform(double xx_, double yx_, double xy_, double yy_, double tx_, double ty_)
    : xx(xx_), yx(yx_), xy(xy_), yy(yy_), tx(tx_), ty(ty_)
  {
  }

  // The following three compose on the right: the new operation acts in the current local
  // coordinates, before the existing map.
  ITransform& Translate(double x, double y);
  ITransform& Scale(double x, double y);
  // Degrees, positive clockwise on screen (y grows downwards).
  ITransform& Rotate(double degrees);

  // this ∘ other: applies other first.
  ITransform operator*(const ITransform& other) const;

  void TransformPoint(double& x, double& y) const;
  // The inverse map; a singular map inverts to the identity.
  ITransform Inverted() const;

  bool operator==(const ITransform& other) const = default;
};

} // namespace iplug::igraphics
