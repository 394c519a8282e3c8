#pragma once

namespace iplug::igraphics::renderer {

// A 2-D affine transform: x' = a·x + c·y + e, y' = b·x + d·y + f.
struct Transform2D
{
  float a = 1.f, b = 0.f, c = 0.f, d = 1.f, e = 0.f, f = 0.f;

  static Transform2D Identity() { return {}; }
  static Transform2D Translation(float tx, float ty) { return {1.f, 0.f, 0.f, 1.f, tx, ty}; }
  static Transform2D Scaling(float sx, float sy) { return {sx, 0.f, 0.f, sy, 0.f, 0.f}; }
  static Transform2D Rotation(float radians);

  // The transform that applies `first`, then `then`.
  static Transform2D Multiply(const Transform2D& first, const Transform2D& then);

  // Applies `t` before this transform (t in this transform's local space).
  Transform2D PreMultiplied(const Transform2D& t) const { return Multiply(t, *this); }

  // False (and the identity in `out`) when the transform cannot be inverted.
  bool Inverse(Transform2D& out) const;

  void Apply(float x, float y, float& ox, float& oy) const
  {
    ox = a * x + c * y + e;
    oy = b * x + d * y + f;
  }

  // Mean scale of the linear part (square root of the absolute determinant).
  float AverageScale() const;
  bool IsFinite() const;
  // True when the transform only scales and translates (no rotation or skew).
  bool IsAxisAligned() const { return b == 0.f && c == 0.f; }
};

} // namespace iplug::igraphics::renderer
