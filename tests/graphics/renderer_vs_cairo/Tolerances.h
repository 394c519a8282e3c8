#pragma once

#include "Scene.h"

namespace test::vs_cairo {

// Where ours draws differently from cairo by design, no scene compares (the limits below do not
// hide these; they are kept out of the scenes):
//  - no even-odd rule: sub-paths are oriented by their solid or hole mark and filled non-zero (the
//    drawing back end marks an even-odd path's last sub-path as a hole); a sub-path drawn the
//    other way round without a mark is solid, where cairo would cut it out;
//  - a paint has two colours: the back end takes a gradient's first and last stops (several stops
//    are bands of two-colour gradients), and colours of different opacity are mixed premultiplied,
//    as HTML canvas does, where cairo mixes them unpremultiplied (48 levels apart half way from
//    transparent red to green);
//  - the box gradient (soft shadows) has no counterpart in cairo;
//  - a stroke's width follows the transform's mean scale, so it does not stretch under a skew or
//    an unequal scale as cairo's pen does;
//  - an open sub-path that ends where it starts is stroked as closed: joined there, not capped;
//  - an arc of a turn or more is one whole circle ending where it began (as HTML canvas draws
//    it); cairo draws every turn and ends at the end angle;
//  - where one translucent stroke crosses itself, the crossing is blended twice;
//  - blends whose destination factor is zero (source, clear, in, out, dest-in, dest-atop) act on
//    what the shape covers, anti-aliased edge included, and leave the rest; cairo's unbounded
//    operators also clear everything outside the shape, and its source and clear fade into the
//    destination across the edge, so those are compared on rectangles on the pixel grid;
//  - IntersectScissor intersects with the current clip's box in today's user space: after a
//    rotation the clip grows to that box, where cairo intersects exactly;
//  - glyph bitmaps sit on whole device pixels, and kerning comes from the font's 'kern' table only
//    (the editor font has none, and cairo's text API does not kern either).
//
// How far our pictures may lie from cairo's, and why. Differences are in levels (0 to 255) of
// the channel that differs most; "edge" and "interior" are as Comparison.h defines them. Each
// limit is the largest value measured on Mesa's llvmpipe at pixel ratios 1 and 2 with a small
// margin: a change of geometry moves whole rows of pixels and lands far outside them.
struct Tolerance
{
  int edgeMax;
  double edgeMean;
  double edgeBias; // limit on |mean alpha difference| over edge pixels: a shape drawn too fat or too thin
};

// Where both draw the same geometry with the same paint, the inside of a shape is the same colour
// computed twice: 8-bit rounding and the shader's float arithmetic part them by a level or two.
constexpr int kInteriorMax = 2;

constexpr Tolerance ToleranceFor(SceneKind kind)
{
  switch (kind)
  {
  // Ours ramps coverage over one device pixel across each edge, which is cairo's exact area
  // coverage on a straight edge; curves flattened to a quarter of a device pixel (cairo: a tenth)
  // and the fringe pushed out along the bisector of a sharp corner (up to 4 times further) make
  // the rest. Measured: max 75 (a 30° tip), mean 1.16, bias 0.68.
  case SceneKind::Fill: return {80, 1.5, 1.0};
  // Paths filled through the stencil are smoothed outside their edge only: a pixel whose centre
  // is inside is full, so edges sit up to half a device pixel further out than cairo's and star
  // tips carry the fringe a pixel or two beyond their point. Measured: max 224, mean 6.9, bias 6.8.
  case SceneKind::ConcaveFill: return {230, 8.0, 7.5};
  // Straight stroke edges match as fills do; round joins and caps are divided to a quarter pixel,
  // and the fringe of an inner join corner and of tight curves overlaps itself. Measured: max
  // 120, mean 2.7, bias 1.3.
  case SceneKind::Stroke: return {128, 3.0, 1.5};
  // Ours draws a stroke thinner than a device pixel one pixel wide, faded by its width: the same
  // ink as cairo's, spread differently across the pixels it touches. Measured: max 39, mean 4.2,
  // bias 0.09.
  case SceneKind::Hairline: return {48, 5.0, 0.5};
  // Inside: the same colours to a level (both mix premultiplied colours at the pixel centre); the
  // edges are those of the stroke or fill drawn. Measured: max 55 (the stroke), mean 1.2, bias 0.7.
  case SceneKind::Gradient: return {64, 1.5, 1.0};
  // Both sample bilinearly at the pixel centre; the edges are the turned rectangle's. Measured:
  // max 51, mean 1.02, bias 0.15.
  case SceneKind::Image: return {56, 1.5, 0.5};
  // A scissor fades over one device pixel across its edge, as cairo's clip of a rectangle covers
  // it. Measured: max 21 (a turned clip), mean 1.2, bias 0.05.
  case SceneKind::Clip: return {24, 1.5, 0.25};
  // The same factors on premultiplied colours; edges are plain fills. Measured: max 15, mean 0.36,
  // bias 0.29.
  case SceneKind::Blend: return {16, 0.5, 0.5};
  }
  return {0, 0.0, 0.0};
}

} // namespace test::vs_cairo
