#pragma once

namespace iplug::igraphics {

// An axis-aligned rectangle in logical pixels, x to the right and y downwards.
// All four zero means "empty"; that is also the default value. A rectangle with zero width but
// non-zero coordinates is not empty in this sense: code that cares about area checks W() and H().
struct IRect
{
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  IRect() = default;
  IRect(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }
  float Area() const { return W() * H(); }

  // Half-open: the left and top edges belong to the rectangle, the right and bottom ones do not.
  bool Contains(float x, float y) const;
  // Both non-empty and the other lies inside (edges may coincide).
  bool Contains(const IRect& other) const;
  // The overlap test of Intersect: touching on the right or bottom edge of this one counts,
  // touching on its left or top edge does not.
  bool Intersects(const IRect& other) const;
  // Empty when either is empty or when they do not overlap.
  IRect Intersect(const IRect& other) const;
  // An empty operand contributes nothing.
  IRect Union(const IRect& other) const;
  IRect Grown(float amount) const { return IRect(L - amount, T - amount, R + amount, B + amount); }
  // Outward to whole physical pixels at the given scale.
  IRect PixelAligned(float scale) const;
  // Same size, top-left corner at (x, y).
  IRect MovedTo(float x, float y) const { return IRect(x, y, x + W(), y + H()); }
  IRect Offset(float dx, float dy) const { return IRect(L + dx, T + dy, R + dx, B + dy); }

  bool operator==(const IRect& other) const = default;
};

} // namespace iplug::igraphics
