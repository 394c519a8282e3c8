#pragma once

#include "RenderTypes.h"

#include <vector>

namespace iplug::igraphics::renderer {

// The current path: the commands as given (already in frame units, the context applies its
// transform before it stores them) and, on demand, their flattening into polygons.
//
// Flattening turns curves into line segments within a tolerance, drops points that lie on top of
// their neighbour, turns each sub-path to the orientation its winding asks for and works out,
// for every point, the direction and length of the segment that leaves it.
class PathCache
{
public:
  struct Point
  {
    float x, y;
    float dx, dy; // unit direction to the next point
    float len;    // distance to the next point
  };

  struct Contour
  {
    int first = 0;
    int count = 0;
    bool closed = false;
    bool convex = false;
    Winding winding = Winding::Solid;
    float area = 0.f; // shoelace area in frame units; negative runs counter-clockwise on screen
  };

  void Clear();
  void MoveTo(float x, float y);
  void LineTo(float x, float y);
  void BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
  void Close();
  void SetWinding(Winding w);

  bool Empty() const { return mCommands.empty(); }
  // A command carried a non-finite coordinate: the whole path draws nothing until cleared.
  bool IsPoisoned() const { return mPoisoned; }
  void Poison() { mPoisoned = true; mDirty = true; }
  // The last point given, in frame units; false when there is none.
  bool CurrentPoint(float& x, float& y) const;

  // Flattens the commands (a no-op when nothing changed since the last call with the same
  // tolerances). tessTol: largest distance of a curve from its polygon; distTol: points closer
  // than this merge.
  void Flatten(float tessTol, float distTol);

  const std::vector<Point>& Points() const { return mPoints; }
  const std::vector<Contour>& Contours() const { return mContours; }
  // Bounds of all flattened points: min x, min y, max x, max y.
  const float* Bounds() const { return mBounds; }

private:
  enum class Cmd : unsigned char
  {
    Move,
    Line,
    Bezier,
    Close,
    WindingSolid,
    WindingHole,
  };
  struct Command
  {
    Cmd cmd;
    float p[6];
  };

  void Add(const Command& c);
  void AddPoint(float x, float y, float distTol);
  void TessellateBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                        float tessTol, float distTol);
  void FinishContour(Contour& c, float distTol);

  std::vector<Command> mCommands;
  std::vector<Point> mPoints;
  std::vector<Contour> mContours;
  float mBounds[4] = {0.f, 0.f, 0.f, 0.f};
  bool mPoisoned = false;
  bool mDirty = true;
  float mLastTessTol = -1.f;
  float mLastDistTol = -1.f;
  float mLastX = 0.f, mLastY = 0.f;
  bool mHasPoint = false;
};

} // namespace iplug::igraphics::renderer
