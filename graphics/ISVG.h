#pragma once

#include <vector>

#include "IColor.h"

namespace iplug::igraphics {

// A parsed vector picture: its size and its shapes, each a set of sub-paths of cubic curves
// (a start point followed by groups of two control points and an end point), filled and/or
// stroked with one colour. The editor draws it through the path interface only.
struct ISVG
{
  struct Path
  {
    std::vector<float> points; // x0, y0, then c1x, c1y, c2x, c2y, x, y per curve
    bool closed = false;
  };

  struct Shape
  {
    std::vector<Path> paths;
    bool filled = false;
    IColor fillColor;
    bool evenOdd = false;
    bool stroked = false;
    IColor strokeColor;
    float strokeWidth = 1.f;
    float opacity = 1.f;
  };

  float width = 0.f;
  float height = 0.f;
  std::vector<Shape> shapes;

  bool IsValid() const { return width > 0.f && height > 0.f; }
};

} // namespace iplug::igraphics
