#include "Tessellator.h"

#include <algorithm>
#include <cmath>

namespace iplug::igraphics::renderer {

namespace {

using Point = PathCache::Point;

constexpr float kPi = 3.14159265358979f;

void Put(std::vector<Vertex>& v, float x, float y, float u, float w) { v.push_back({x, y, u, w}); }

// Vertex normal at `cur` from the edges (prev → cur) and (cur → next), scaled so that its
// projection on either edge normal is 1 and limited to 4 at very sharp corners. Edge normals are
// the left normals (dy, −dx).
void Miter(const Point& prev, const Point& cur, float& mx, float& my)
{
  const float n0x = prev.dy, n0y = -prev.dx, n1x = cur.dy, n1y = -cur.dx;
  const float dmx = (n0x + n1x) * 0.5f, dmy = (n0y + n1y) * 0.5f;
  const float r2 = dmx * dmx + dmy * dmy;
  if (r2 < 1e-6f)
  {
    mx = n1x;
    my = n1y;
    return;
  }
  const float s = 1.f / std::max(r2, 1.f / 16.f);
  mx = dmx * s;
  my = dmy * s;
}

// Number of segments for an arc of `angle` radians and radius r within tolerance tol.
int ArcDivisions(float r, float angle, float tol)
{
  const float ratio = std::clamp(r / (r + tol), 0.f, 1.f);
  const float step = 2.f * std::acos(ratio);
  if (!(step > 1e-4f))
    return 64;
  return std::clamp(int(std::ceil(angle / step)), 2, 64);
}

// Width of a convex polygon: of the narrowest band between two parallel lines that holds it.
float ConvexWidth(const Point* p, int n)
{
  float best = 1e30f;
  for (int i = 0; i < n; ++i)
  {
    if (!(p[i].len > 0.f))
      continue;
    float farthest = 0.f;
    for (int j = 0; j < n; ++j)
      farthest = std::max(farthest, std::fabs(p[i].dx * (p[j].y - p[i].y) - p[i].dy * (p[j].x - p[i].x)));
    best = std::min(best, farthest);
  }
  return best;
}

class StrokeBuilder
{
public:
  StrokeBuilder(std::vector<Vertex>& verts, float width, float fringeWidth, LineCap lineCap, LineJoin lineJoin,
                float miter, int capDivisions)
    : v(verts), w(width), fringe(fringeWidth), cap(lineCap), join(lineJoin), miterLimit(miter), ncap(capDivisions)
  {
  }

  // Left slot u = 0, right slot u = 1; the point on the centre line has u = 0.5.
  void Pair(float lx, float ly, float lu, float rx, float ry, float ru, float vv = 1.f)
  {
    Put(v, lx, ly, lu, vv);
    Put(v, rx, ry, ru, vv);
  }

  void Join(const Point& in, const Point& p)
  {
    const float d0x = in.dx, d0y = in.dy, d1x = p.dx, d1y = p.dy;
    const float n0x = d0y, n0y = -d0x, n1x = d1y, n1y = -d1x;
    const float cross = d0x * d1y - d0y * d1x;
    const float dot = d0x * d1x + d0y * d1y;
    if (std::fabs(cross) < 1e-4f && dot > 0.f)
    {
      Pair(p.x + n1x * w, p.y + n1y * w, 0.f, p.x - n1x * w, p.y - n1y * w, 1.f);
      return;
    }
    const bool outerLeft = cross >= 0.f;
    const float s = outerLeft ? 1.f : -1.f;
    const float onePlusDot = 1.f + dot;
    const bool reversal = onePlusDot < 1e-4f;
    float mx = 0.f, my = 0.f, mlen = 1e30f;
    if (!reversal)
    {
      mx = (n0x + n1x) / onePlusDot;
      my = (n0y + n1y) / onePlusDot;
      mlen = std::sqrt(mx * mx + my * my);
    }
    // The inner offset lines meet no further back along either segment than w·tan(turn/2).
    const bool innerOk = !reversal && w * std::fabs(cross) / onePlusDot <= std::min(in.len, p.len);
    const float ix = p.x - s * mx * w, iy = p.y - s * my * w;

    // Outer rim points of the join.
    mOuter.clear();
    if (join == LineJoin::Miter && !reversal && mlen <= miterLimit)
    {
      // Without the inner meeting point the join is a fan round the centre point (below); its rim
      // must then run along both segments' outer edges to the tip, or the fan's side from the tip
      // to an inner corner becomes an unsmoothed edge of the stroke, outside its outline.
      if (!innerOk)
        mOuter.push_back({p.x + s * n0x * w, p.y + s * n0y * w});
      mOuter.push_back({p.x + s * mx * w, p.y + s * my * w});
      if (!innerOk)
        mOuter.push_back({p.x + s * n1x * w, p.y + s * n1y * w});
    }
    else if (join == LineJoin::Round)
    {
      const float a0 = std::atan2(s * n0y, s * n0x);
      const float a1 = std::atan2(s * n1y, s * n1x);
      float da = a1 - a0;
      if (outerLeft && da <= 0.f)
        da += 2.f * kPi;
      if (!outerLeft && da >= 0.f)
        da -= 2.f * kPi;
      const int n = std::clamp(int(std::ceil(std::fabs(da) / kPi * float(ncap))), 2, ncap);
      for (int k = 0; k <= n; ++k)
      {
        const float a = a0 + da * float(k) / float(n);
        mOuter.push_back({p.x + std::cos(a) * w, p.y + std::sin(a) * w});
      }
    }
    else
    {
      mOuter.push_back({p.x + s * n0x * w, p.y + s * n0y * w});
      mOuter.push_back({p.x + s * n1x * w, p.y + s * n1y * w});
    }

    const float innerU = outerLeft ? 1.f : 0.f;
    auto pair = [&](const O& o, float ox2, float oy2, float iu) {
      if (outerLeft)
        Pair(o.x, o.y, 0.f, ox2, oy2, iu);
      else
        Pair(ox2, oy2, iu, o.x, o.y, 1.f);
    };
    if (innerOk && mOuter.size() == 1)
    {
      pair(mOuter.front(), ix, iy, innerU);
      return;
    }
    // Bevels and round joins fan round the centre point, whose distance to the rim sets the edge
    // coverage; the inner corner is the meeting point of the inner edges when the segments are
    // long enough for it, else each segment's own inner corner.
    if (innerOk)
      pair(mOuter.front(), ix, iy, innerU);
    else
      pair(mOuter.front(), p.x - s * n0x * w, p.y - s * n0y * w, innerU);
    for (const O& o : mOuter)
      pair(o, p.x, p.y, 0.5f);
    if (innerOk)
      pair(mOuter.back(), ix, iy, innerU);
    else
      pair(mOuter.back(), p.x - s * n1x * w, p.y - s * n1y * w, innerU);
  }

  // Cap at the start of an open sub-path going in direction (dx, dy).
  void StartCap(float px, float py, float dx, float dy)
  {
    const float nx = dy, ny = -dx;
    if (cap == LineCap::Round)
    {
      const float a0 = std::atan2(-ny, -nx);
      for (int k = 0; k <= ncap; ++k)
      {
        const float a = a0 + kPi * float(k) / float(ncap);
        Pair(px + std::cos(a) * w, py + std::sin(a) * w, 0.f, px, py, 0.5f);
      }
      Pair(px + nx * w, py + ny * w, 0.f, px - nx * w, py - ny * w, 1.f);
      return;
    }
    const float ext = cap == LineCap::Square ? w - fringe * 0.5f : 0.f;
    if (fringe > 0.f)
    {
      const float ax = px - dx * (ext + fringe * 0.5f), ay = py - dy * (ext + fringe * 0.5f);
      const float bx = px - dx * (ext - fringe * 0.5f), by = py - dy * (ext - fringe * 0.5f);
      Pair(ax + nx * w, ay + ny * w, 0.f, ax - nx * w, ay - ny * w, 1.f, 0.f);
      Pair(bx + nx * w, by + ny * w, 0.f, bx - nx * w, by - ny * w, 1.f, 1.f);
    }
    else
    {
      const float ax = px - dx * ext, ay = py - dy * ext;
      Pair(ax + nx * w, ay + ny * w, 0.f, ax - nx * w, ay - ny * w, 1.f);
    }
  }

  // Cap at the end of an open sub-path arriving in direction (dx, dy).
  void EndCap(float px, float py, float dx, float dy)
  {
    const float nx = dy, ny = -dx;
    if (cap == LineCap::Round)
    {
      Pair(px + nx * w, py + ny * w, 0.f, px - nx * w, py - ny * w, 1.f);
      const float a0 = std::atan2(ny, nx);
      for (int k = 0; k <= ncap; ++k)
      {
        const float a = a0 + kPi * float(k) / float(ncap);
        Pair(px + std::cos(a) * w, py + std::sin(a) * w, 0.f, px, py, 0.5f);
      }
      return;
    }
    const float ext = cap == LineCap::Square ? w - fringe * 0.5f : 0.f;
    if (fringe > 0.f)
    {
      const float ax = px + dx * (ext - fringe * 0.5f), ay = py + dy * (ext - fringe * 0.5f);
      const float bx = px + dx * (ext + fringe * 0.5f), by = py + dy * (ext + fringe * 0.5f);
      Pair(ax + nx * w, ay + ny * w, 0.f, ax - nx * w, ay - ny * w, 1.f, 1.f);
      Pair(bx + nx * w, by + ny * w, 0.f, bx - nx * w, by - ny * w, 1.f, 0.f);
    }
    else
    {
      const float ax = px + dx * ext, ay = py + dy * ext;
      Pair(ax + nx * w, ay + ny * w, 0.f, ax - nx * w, ay - ny * w, 1.f);
    }
  }

private:
  struct O
  {
    float x, y;
  };
  std::vector<Vertex>& v;
  float w, fringe;
  LineCap cap;
  LineJoin join;
  float miterLimit;
  int ncap;
  std::vector<O> mOuter;
};

} // namespace

bool Tessellator::Fill(const PathCache& path, float fringe, std::vector<Vertex>& verts, std::vector<PathDraw>& draws,
                       bool& convex, uint32_t& coverOffset, float& coverScale)
{
  coverScale = 1.f;
  const auto& pts = path.Points();
  const auto& contours = path.Contours();
  int drawable = 0;
  const PathCache::Contour* only = nullptr;
  for (const auto& c : contours)
    if (c.count >= 3)
    {
      ++drawable;
      only = &c;
    }
  if (drawable == 0)
    return false;
  convex = drawable == 1 && only->convex;
  const float woff = fringe * 0.5f;

  for (const auto& c : contours)
  {
    if (c.count < 3)
      continue;
    const Point* p = pts.data() + c.first;
    const int n = c.count;
    // For a convex contour, which side of the left normal lies outside.
    const float os = c.area < 0.f ? -1.f : 1.f;

    // A convex shape narrower than a fringe would come out of the half-fringe inset turned inside
    // out, a solid blot far darker than the shape. It is widened to one fringe instead and faded
    // by how much it grew, as hairline strokes are, so that it keeps its amount of ink.
    float grow = 0.f;
    if (convex && fringe > 0.f)
    {
      float perimeter = 0.f;
      for (int i = 0; i < n; ++i)
        perimeter += p[i].len;
      // Twice the area over the perimeter never exceeds the width: most shapes stop here.
      if (2.f * std::fabs(c.area) < fringe * perimeter)
      {
        const float width = ConvexWidth(p, n);
        if (width < fringe)
        {
          grow = (fringe - width) * 0.5f;
          double grown = 0.0;
          for (int i = 0, j = n - 1; i < n; j = i++)
          {
            float mix, miy, mjx, mjy;
            Miter(p[(i + n - 1) % n], p[i], mix, miy);
            Miter(p[(j + n - 1) % n], p[j], mjx, mjy);
            const double xi = p[i].x + os * mix * grow, yi = p[i].y + os * miy * grow;
            const double xj = p[j].x + os * mjx * grow, yj = p[j].y + os * mjy * grow;
            grown += xj * yi - xi * yj;
          }
          grown = std::fabs(grown * 0.5);
          coverScale = grown > 0.0 ? float(std::min(1.0, std::fabs(double(c.area)) / grown)) : 0.f;
        }
      }
    }

    PathDraw d;
    d.fillOffset = uint32_t(verts.size());
    for (int i = 0; i < n; ++i)
    {
      if (convex && fringe > 0.f)
      {
        float mx, my;
        Miter(p[(i + n - 1) % n], p[i], mx, my);
        Put(verts, p[i].x - os * mx * (woff - grow), p[i].y - os * my * (woff - grow), 0.5f, 1.f);
      }
      else
        Put(verts, p[i].x, p[i].y, 0.5f, 1.f);
    }
    d.fillCount = uint32_t(n);
    if (fringe > 0.f)
    {
      d.stripOffset = uint32_t(verts.size());
      for (int k = 0; k <= n; ++k)
      {
        const int i = k % n;
        float mx, my;
        Miter(p[(i + n - 1) % n], p[i], mx, my);
        if (convex)
        {
          Put(verts, p[i].x + os * mx * (woff + grow), p[i].y + os * my * (woff + grow), 0.f, 1.f);
          Put(verts, p[i].x - os * mx * (woff - grow), p[i].y - os * my * (woff - grow), 0.5f, 1.f);
        }
        else
        {
          Put(verts, p[i].x + mx * woff, p[i].y + my * woff, 0.f, 1.f);
          Put(verts, p[i].x - mx * woff, p[i].y - my * woff, 1.f, 1.f);
        }
      }
      d.stripCount = uint32_t(verts.size()) - d.stripOffset;
    }
    draws.push_back(d);
  }

  coverOffset = uint32_t(verts.size());
  if (!convex)
  {
    const float* b = path.Bounds();
    const float x0 = b[0] - fringe, y0 = b[1] - fringe, x1 = b[2] + fringe, y1 = b[3] + fringe;
    Put(verts, x1, y1, 0.5f, 1.f);
    Put(verts, x1, y0, 0.5f, 1.f);
    Put(verts, x0, y1, 0.5f, 1.f);
    Put(verts, x0, y0, 0.5f, 1.f);
  }
  return true;
}

bool Tessellator::Stroke(const PathCache& path, float halfWidth, float fringe, LineCap cap, LineJoin join,
                         float miterLimit, float tessTol, std::vector<Vertex>& verts, std::vector<PathDraw>& draws)
{
  const auto& pts = path.Points();
  const int ncap = ArcDivisions(halfWidth, kPi, tessTol);
  StrokeBuilder b(verts, halfWidth, fringe, cap, join, miterLimit, ncap);
  const size_t before = draws.size();
  for (const auto& c : path.Contours())
  {
    if (c.count < 2)
      continue;
    const Point* p = pts.data() + c.first;
    const int n = c.count;
    PathDraw d;
    d.stripOffset = uint32_t(verts.size());
    if (c.closed)
    {
      for (int i = 0; i < n; ++i)
        b.Join(p[(i + n - 1) % n], p[i]);
      // Back to the first pair to close the loop.
      const Vertex first = verts[d.stripOffset], second = verts[d.stripOffset + 1];
      verts.push_back(first);
      verts.push_back(second);
    }
    else
    {
      b.StartCap(p[0].x, p[0].y, p[0].dx, p[0].dy);
      for (int i = 1; i < n - 1; ++i)
        b.Join(p[i - 1], p[i]);
      b.EndCap(p[n - 1].x, p[n - 1].y, p[n - 2].dx, p[n - 2].dy);
    }
    d.stripCount = uint32_t(verts.size()) - d.stripOffset;
    draws.push_back(d);
  }
  return draws.size() > before;
}

} // namespace iplug::igraphics::renderer
