#pragma once

#include "PathCache.h"
#include "RenderTypes.h"

#include <cstdint>
#include <vector>

namespace iplug::igraphics::renderer {

// Vertex ranges of one sub-path: the triangle fan of its inside and the triangle strip of its
// anti-aliased fringe (fills) or of its outline (strokes).
struct PathDraw
{
  uint32_t fillOffset = 0, fillCount = 0;
  uint32_t stripOffset = 0, stripCount = 0;
};

// Turns a flattened path into triangles for the GL queue.
//
// Coverage travels in the vertex coordinates (u, v): across a stroke or a fringe u runs from 0 on
// one outer edge to 1 on the other, so the shader's coverage min(1, (1 − |2u − 1|) × mult) falls
// to 0 exactly at the geometry's rim and reaches 1 one fringe inside it; v falls from 1 to 0 over
// the fringe beyond a butt or square cap. `fringe` is the width of one device pixel in frame
// units, or 0 without anti-aliasing.
class Tessellator
{
public:
  // A fill. A single convex sub-path is drawn directly: its inside shrunk by half a fringe, then
  // a fringe strip from there to half a fringe outside (coverage 1 → 0, use mult 1). Anything else
  // goes through the stencil: fans of the raw polygons, then a fringe strip centred on the edges
  // (use mult 0.5, drawn only outside the filled area) and a cover quad whose four vertices are
  // appended last (at `coverOffset`). A convex sub-path narrower than a fringe is widened to one
  // and `coverScale` (else 1) is what its paint's opacity must be multiplied by to keep its ink.
  // False when there is nothing to fill.
  static bool Fill(const PathCache& path, float fringe, std::vector<Vertex>& verts, std::vector<PathDraw>& draws,
                   bool& convex, uint32_t& coverOffset, float& coverScale);

  // A stroke of half width `halfWidth` (already widened by half a fringe when anti-aliased).
  // `tessTol` sets how finely round joins and caps are divided. False when nothing is drawn.
  static bool Stroke(const PathCache& path, float halfWidth, float fringe, LineCap cap, LineJoin join,
                     float miterLimit, float tessTol, std::vector<Vertex>& verts, std::vector<PathDraw>& draws);
};

} // namespace iplug::igraphics::renderer
