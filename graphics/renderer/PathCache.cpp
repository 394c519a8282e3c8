#include "PathCache.h"

#include <algorithm>
#include <cmath>

namespace iplug::igraphics::renderer {

namespace {

constexpr int kMaxBezierLevel = 10; // at most 1024 segments per curve

bool Finite(float v) { return std::isfinite(v); }

int Sign(float v, float eps) { return v > eps ? 1 : (v < -eps ? -1 : 0); }

} // namespace

void PathCache::Clear()
{
  mCommands.clear();
  mPoints.clear();
  mContours.clear();
  mPoisoned = false;
  mDirty = true;
  mHasPoint = false;
}

void PathCache::Add(const Command& c)
{
  mCommands.push_back(c);
  mDirty = true;
}

void PathCache::MoveTo(float x, float y)
{
  if (!Finite(x) || !Finite(y))
    mPoisoned = true;
  Add({Cmd::Move, {x, y, 0.f, 0.f, 0.f, 0.f}});
  mLastX = x;
  mLastY = y;
  mHasPoint = true;
}

void PathCache::LineTo(float x, float y)
{
  if (!Finite(x) || !Finite(y))
    mPoisoned = true;
  Add({Cmd::Line, {x, y, 0.f, 0.f, 0.f, 0.f}});
  mLastX = x;
  mLastY = y;
  mHasPoint = true;
}

void PathCache::BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  if (!Finite(c1x) || !Finite(c1y) || !Finite(c2x) || !Finite(c2y) || !Finite(x) || !Finite(y))
    mPoisoned = true;
  Add({Cmd::Bezier, {c1x, c1y, c2x, c2y, x, y}});
  mLastX = x;
  mLastY = y;
  mHasPoint = true;
}

void PathCache::Close()
{
  Add({Cmd::Close, {}});
}

void PathCache::SetWinding(Winding w)
{
  Add({w == Winding::Hole ? Cmd::WindingHole : Cmd::WindingSolid, {}});
}

bool PathCache::CurrentPoint(float& x, float& y) const
{
  x = mLastX;
  y = mLastY;
  return mHasPoint;
}

void PathCache::AddPoint(float x, float y, float distTol)
{
  Contour& c = mContours.back();
  if (c.count > 0)
  {
    const Point& last = mPoints.back();
    const float dx = x - last.x, dy = y - last.y;
    if (dx * dx + dy * dy < distTol * distTol)
      return;
  }
  mPoints.push_back({x, y, 0.f, 0.f, 0.f});
  ++c.count;
}

void PathCache::TessellateBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                 float tessTol, float distTol)
{
  // Depth-first subdivision on a small explicit stack; each level halves the curve.
  struct Piece
  {
    float p[8];
    int level;
  };
  Piece stack[2 * kMaxBezierLevel + 4];
  int top = 0;
  stack[top++] = {{x1, y1, x2, y2, x3, y3, x4, y4}, 0};
  while (top > 0)
  {
    const Piece s = stack[--top];
    const float* p = s.p;
    const float dx = p[6] - p[0], dy = p[7] - p[1];
    // Distances of both control points from the chord, times the chord's length.
    const float d2 = std::fabs((p[2] - p[6]) * dy - (p[3] - p[7]) * dx);
    const float d3 = std::fabs((p[4] - p[6]) * dy - (p[5] - p[7]) * dx);
    const bool flat = (d2 + d3) * (d2 + d3) < tessTol * tessTol * (dx * dx + dy * dy);
    const bool degenerate = dx * dx + dy * dy < distTol * distTol &&
                            std::fabs(p[2] - p[0]) + std::fabs(p[3] - p[1]) + std::fabs(p[4] - p[0]) +
                                    std::fabs(p[5] - p[1]) < distTol;
    if (flat || degenerate || s.level >= kMaxBezierLevel)
    {
      AddPoint(p[6], p[7], distTol);
      continue;
    }
    const float x12 = (p[0] + p[2]) * 0.5f, y12 = (p[1] + p[3]) * 0.5f;
    const float x23 = (p[2] + p[4]) * 0.5f, y23 = (p[3] + p[5]) * 0.5f;
    const float x34 = (p[4] + p[6]) * 0.5f, y34 = (p[5] + p[7]) * 0.5f;
    const float x123 = (x12 + x23) * 0.5f, y123 = (y12 + y23) * 0.5f;
    const float x234 = (x23 + x34) * 0.5f, y234 = (y23 + y34) * 0.5f;
    const float x1234 = (x123 + x234) * 0.5f, y1234 = (y123 + y234) * 0.5f;
    // Second half first, so the first half is taken off the stack next.
    stack[top++] = {{x1234, y1234, x234, y234, x34, y34, p[6], p[7]}, s.level + 1};
    stack[top++] = {{p[0], p[1], x12, y12, x123, y123, x1234, y1234}, s.level + 1};
  }
}

void PathCache::FinishContour(Contour& c, float distTol)
{
  Point* pts = mPoints.data() + c.first;
  if (c.count > 1)
  {
    const float dx = pts[c.count - 1].x - pts[0].x, dy = pts[c.count - 1].y - pts[0].y;
    if (dx * dx + dy * dy < distTol * distTol)
    {
      // Ends where it starts: the same shape as an explicitly closed sub-path.
      --c.count;
      mPoints.pop_back();
      c.closed = true;
    }
  }

  double area = 0.0;
  for (int i = 0, j = c.count - 1; i < c.count; j = i++)
    area += double(pts[j].x) * pts[i].y - double(pts[i].x) * pts[j].y;
  c.area = float(area * 0.5);

  if (c.count > 2)
  {
    // Solid runs counter-clockwise on screen (negative area with y downwards), a hole clockwise.
    const bool wantNegative = c.winding == Winding::Solid;
    if ((wantNegative && c.area > 0.f) || (!wantNegative && c.area < 0.f))
    {
      std::reverse(pts, pts + c.count);
      c.area = -c.area;
    }
  }

  // Directions run round the contour; for an open one the last point's direction is that of the
  // edge a fill closes it with, which strokes do not use.
  for (int i = 0; i < c.count; ++i)
  {
    Point& p = pts[i];
    const Point& q = pts[(i + 1) % c.count];
    const float dx = q.x - p.x, dy = q.y - p.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    p.len = len;
    p.dx = len > 0.f ? dx / len : 0.f;
    p.dy = len > 0.f ? dy / len : 0.f;
  }

  // Convex: every turn goes the same way and the edge direction sweeps round only once (its x
  // and y components each change sign at most twice), which rules out stars.
  c.convex = false;
  if (c.count >= 3)
  {
    int turn = 0;
    bool sameTurn = true;
    int xChanges = 0, yChanges = 0, firstX = 0, firstY = 0, lastX = 0, lastY = 0;
    for (int i = 0; i < c.count && sameTurn; ++i)
    {
      const Point& prev = pts[(i + c.count - 1) % c.count];
      const Point& cur = pts[i];
      const int s = Sign(prev.dx * cur.dy - prev.dy * cur.dx, 1e-6f);
      if (s != 0)
      {
        if (turn == 0)
          turn = s;
        else if (s != turn)
          sameTurn = false;
      }
      const int sx = Sign(cur.dx, 1e-6f), sy = Sign(cur.dy, 1e-6f);
      if (sx != 0)
      {
        if (firstX == 0)
          firstX = sx;
        else if (sx != lastX)
          ++xChanges;
        lastX = sx;
      }
      if (sy != 0)
      {
        if (firstY == 0)
          firstY = sy;
        else if (sy != lastY)
          ++yChanges;
        lastY = sy;
      }
    }
    if (lastX != 0 && lastX != firstX)
      ++xChanges;
    if (lastY != 0 && lastY != firstY)
      ++yChanges;
    c.convex = sameTurn && turn != 0 && xChanges <= 2 && yChanges <= 2;
  }
}

void PathCache::Flatten(float tessTol, float distTol)
{
  if (!mDirty && tessTol == mLastTessTol && distTol == mLastDistTol)
    return;
  mDirty = false;
  mLastTessTol = tessTol;
  mLastDistTol = distTol;
  mPoints.clear();
  mContours.clear();
  if (mPoisoned)
    return;

  bool open = false; // a contour is being built
  float lastX = 0.f, lastY = 0.f, startX = 0.f, startY = 0.f;
  auto begin = [&](float x, float y) {
    startX = x;
    startY = y;
    if (open)
      FinishContour(mContours.back(), distTol);
    Contour c;
    c.first = int(mPoints.size());
    mContours.push_back(c);
    open = true;
    AddPoint(x, y, distTol);
  };

  for (const Command& cmd : mCommands)
  {
    switch (cmd.cmd)
    {
    case Cmd::Move:
      begin(cmd.p[0], cmd.p[1]);
      lastX = cmd.p[0];
      lastY = cmd.p[1];
      break;
    case Cmd::Line:
      if (!open)
        begin(lastX, lastY);
      AddPoint(cmd.p[0], cmd.p[1], distTol);
      lastX = cmd.p[0];
      lastY = cmd.p[1];
      break;
    case Cmd::Bezier:
      if (!open)
        begin(lastX, lastY);
      TessellateBezier(lastX, lastY, cmd.p[0], cmd.p[1], cmd.p[2], cmd.p[3], cmd.p[4], cmd.p[5], tessTol, distTol);
      lastX = cmd.p[4];
      lastY = cmd.p[5];
      break;
    case Cmd::Close:
      if (open)
      {
        mContours.back().closed = true;
        FinishContour(mContours.back(), distTol);
        open = false;
        // Drawing on after a close starts a new sub-path at the closed one's first point.
        lastX = startX;
        lastY = startY;
      }
      break;
    case Cmd::WindingSolid:
    case Cmd::WindingHole:
      if (!mContours.empty())
      {
        Contour& c = mContours.back();
        const Winding w = cmd.cmd == Cmd::WindingHole ? Winding::Hole : Winding::Solid;
        if (open)
          c.winding = w;
        else if (c.winding != w)
        {
          // The sub-path is already finished: orient it again.
          c.winding = w;
          FinishContour(c, distTol);
        }
      }
      break;
    }
  }
  if (open)
    FinishContour(mContours.back(), distTol);

  float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
  for (const Point& p : mPoints)
  {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  if (mPoints.empty())
    minX = minY = maxX = maxY = 0.f;
  mBounds[0] = minX;
  mBounds[1] = minY;
  mBounds[2] = maxX;
  mBounds[3] = maxY;
}

} // namespace iplug::igraphics::renderer
