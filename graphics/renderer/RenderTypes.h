#pragma once

// Small value types and flags shared by the renderer's classes.

#include <cstdint>

namespace iplug::igraphics::renderer {

// Flags for RenderContext::Create.
enum ContextFlags : int
{
  kContextAntiAlias = 1 << 0, // anti-aliased edges on fills and strokes
};

// How a sub-path is oriented before filling. Fills use the non-zero rule, so a sub-path marked as a
// hole inside a solid one cuts it out; every sub-path is solid until it is marked otherwise.
enum class Winding
{
  Solid, // counter-clockwise on screen
  Hole,  // clockwise on screen
};

// Direction of an arc sweep as seen on screen (y grows downwards).
enum class ArcDirection
{
  CounterClockwise,
  Clockwise,
};

enum class LineCap
{
  Butt,
  Round,
  Square,
};

enum class LineJoin
{
  Miter,
  Round,
  Bevel,
};

// Blend factors for the composite operation; the names follow the OpenGL factors they map to.
// Colours reach the blender premultiplied by their alpha, so "source over" is (One, OneMinusSrcAlpha).
enum class BlendFactor
{
  Zero,
  One,
  SrcColor,
  OneMinusSrcColor,
  DstColor,
  OneMinusDstColor,
  SrcAlpha,
  OneMinusSrcAlpha,
  DstAlpha,
  OneMinusDstAlpha,
  SrcAlphaSaturate,
};

// Text alignment: one horizontal and one vertical flag, or'ed together.
enum TextAlign : int
{
  kAlignLeft = 1 << 0,
  kAlignCenter = 1 << 1,
  kAlignRight = 1 << 2,
  kAlignTop = 1 << 3,
  kAlignMiddle = 1 << 4,
  kAlignBaseline = 1 << 5,
  kAlignBottom = 1 << 6,
};

// Flags of an image.
enum ImageFlags : int
{
  kImagePremultiplied = 1 << 0, // pixels are already multiplied by their alpha
  kImageFlipY = 1 << 1,         // rows run bottom-up (the colour image of a framebuffer)
  kImageRepeatX = 1 << 2,
  kImageRepeatY = 1 << 3,
  kImageNearest = 1 << 4,       // nearest-pixel sampling instead of linear
};

// One vertex as the shader takes it: a position in frame units and two coordinates that carry
// either edge coverage (fills and strokes) or atlas texels (text).
struct Vertex
{
  float x, y, u, v;
};

} // namespace iplug::igraphics::renderer
