#pragma once

#include "Color.h"
#include "Transform2D.h"

namespace iplug::igraphics::renderer {

// What fills the inside of a fill, a stroke or a text: a colour, a gradient or an image.
//
// Every paint lives in its own paint space; `transform` maps paint space to the user space in
// which the paint is set (the context then adds its current transform). In paint space:
//  - Linear: the colour runs from `inner` at x = 0 to `outer` at x = extent[0];
//  - Radial: from `inner` at distance `radius` from the origin to `outer` at radius + feather;
//  - Box: a rounded rectangle centred on the origin with half-size `extent` and corner `radius`;
//    `inner` inside it, `outer` outside, blended over a band `feather` wide across its edge;
//  - Image: the image spans (0, 0) to `extent`, tinted by `inner` (white with an alpha for a
//    plain image).
struct Paint
{
  enum class Kind
  {
    Solid,
    Linear,
    Radial,
    Box,
    Image,
  };

  Kind kind = Kind::Solid;
  Transform2D transform;
  float extent[2] = {0.f, 0.f};
  float radius = 0.f;
  float feather = 0.f;
  Color inner;
  Color outer;
  int image = 0;

  static Paint Solid(const Color& color);
  // Colours from `inner` at (sx, sy) to `outer` at (ex, ey), constant beyond both ends.
  static Paint LinearGradient(float sx, float sy, float ex, float ey, const Color& inner, const Color& outer);
  // Colours from `inner` at radius r0 to `outer` at radius r1 around (cx, cy).
  static Paint RadialGradient(float cx, float cy, float r0, float r1, const Color& inner, const Color& outer);
  // A feathered rounded rectangle (x, y, w, h) with corner radius r: `inner` inside, `outer`
  // outside, the change spread over `feather` across the edge (a soft shadow is made this way).
  static Paint BoxGradient(float x, float y, float w, float h, float r, float feather, const Color& inner,
                           const Color& outer);
  // The image placed with its top-left corner at (ox, oy), scaled to (w, h) and turned by
  // `angle` radians about that corner; `alpha` multiplies its opacity.
  static Paint ImagePattern(float ox, float oy, float w, float h, float angle, int image, float alpha);

  // True when every number of the paint is finite (a paint built from NaNs draws nothing).
  bool IsFinite() const;
};

} // namespace iplug::igraphics::renderer
