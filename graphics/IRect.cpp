#include "IRect.h"

#include <algorithm>
#include <cmath>

namespace iplug::igraphics {

bool IRect::Contains(float x, float y) const
{
  if (Empty())
    return false;
  return x >= L && x < R && y >= T && y < B;
}

bool IRect::Contains(const IRect& other) const
{
  if (Empty() || other.Empty())
    return false;
  return other.L >= L && other.R <= R && other.T >= T && other.B <= B;
}

bool IRect::Intersects(const IRect& other) const
{
  if (Empty() || other.Empty())
    return false;
  return L <= other.R && R > other.L && T <= other.B && B > other.T;
}

IRect IRect::Intersect(const IRect& other) const
{
  if (!Intersects(other))
    return IRect();
  return IRect(std::max(L, other.L), std::max(T, other.T), std::min(R, other.R), std::min(B, other.B));
}

IRect IRect::Union(const IRect& other) const
{
  if (Empty())
    return other;
  if (other.Empty())
    return *this;
  return IRect(std::min(L, other.L), std::min(T, other.T), std::max(R, other.R), std::max(B, other.B));
}

IRect IRect::PixelAligned(float scale) const
{
  // A zero or broken scale would turn every coordinate into NaN or infinity.
  if (!(scale > 0.f) || !std::isfinite(scale))
    return *this;
  return IRect(std::floor(L * scale) / scale, std::floor(T * scale) / scale,
               std::ceil(R * scale) / scale, std::ceil(B * scale) / scale);
}

} // namespace iplug::igraphics
