#include "IRectList.h"

#include <algorithm>

namespace iplug::igraphics {

namespace {

// The written overlap test of the trimming pass; it lets rectangles that only touch through,
// which is why the trimming below works on the true intersection and skips a zero-area one.
bool MayOverlap(const IRect& a, const IRect& b)
{
  return b.L <= a.R && a.L < b.R && b.T <= a.B && a.T <= b.B && b.B != a.T;
}

bool SpansWidth(const IRect& x, const IRect& r) { return x.L == r.L && x.R == r.R; }
bool SpansHeight(const IRect& x, const IRect& r) { return x.T == r.T && x.B == r.B; }

// r minus x, where x spans r's full width or height. Returns the part on the left/top side (or
// the only part) in `first`; `second` receives the part on the other side when x lies strictly
// inside r, and hasSecond says so.
void SplitAround(const IRect& r, const IRect& x, IRect& first, IRect& second, bool& hasSecond)
{
  hasSecond = false;
  if (SpansWidth(x, r))
  {
    const bool atTop = x.T == r.T;
    const bool atBottom = x.B == r.B;
    if (atTop)
      first = IRect(r.L, x.B, r.R, r.B);
    else if (atBottom)
      first = IRect(r.L, r.T, r.R, x.T);
    else
    {
      first = IRect(r.L, r.T, r.R, x.T);
      second = IRect(r.L, x.B, r.R, r.B);
      hasSecond = true;
    }
  }
  else
  {
    const bool atLeft = x.L == r.L;
    const bool atRight = x.R == r.R;
    if (atLeft)
      first = IRect(x.R, r.T, r.R, r.B);
    else if (atRight)
      first = IRect(r.L, r.T, x.L, r.B);
    else
    {
      first = IRect(r.L, r.T, x.L, r.B);
      second = IRect(x.R, r.T, r.R, r.B);
      hasSecond = true;
    }
  }
}

// r minus x, where x covers one corner of r: a band across r's full width on the side away from
// x, and the block beside x.
void SplitCorner(const IRect& r, const IRect& x, IRect& block, IRect& band)
{
  const bool xAtTop = x.T == r.T;
  if (xAtTop)
    band = IRect(r.L, x.B, r.R, r.B);
  else
    band = IRect(r.L, r.T, r.R, x.T);

  const float rowTop = xAtTop ? r.T : x.T;
  const float rowBottom = xAtTop ? x.B : r.B;
  if (x.L == r.L)
    block = IRect(x.R, rowTop, r.R, rowBottom);
  else
    block = IRect(r.L, rowTop, x.L, rowBottom);
}

bool Touches1D(float a0, float a1, float b0, float b1) { return a0 <= b1 && b0 <= a1; }

} // namespace

IRect IRectList::Bounds() const
{
  IRect u;
  for (const IRect& r : mRects)
    u = u.Union(r);
  return u;
}

void IRectList::PixelAlign(float scale)
{
  for (IRect& r : mRects)
    r = r.PixelAligned(scale);
}

void IRectList::Optimize()
{
  TrimOverlaps();
  MergeNeighbours();
}

void IRectList::TrimOverlaps()
{
  for (size_t i = 0; i < mRects.size(); ++i)
  {
    for (size_t j = i + 1; j < mRects.size(); ++j)
    {
      const IRect a = mRects[i];
      const IRect b = mRects[j];

      if (a.Contains(b))
      {
        mRects.erase(mRects.begin() + static_cast<std::ptrdiff_t>(j));
        --j;
        continue;
      }
      if (b.Contains(a))
      {
        // The next rectangle moves into slot i and still has to meet everything after it.
        mRects.erase(mRects.begin() + static_cast<std::ptrdiff_t>(i));
        j = i;
        continue;
      }
      if (!MayOverlap(a, b))
        continue;

      const IRect x(std::max(a.L, b.L), std::max(a.T, b.T), std::min(a.R, b.R), std::min(a.B, b.B));
      if (!(x.W() > 0.f && x.H() > 0.f))
        continue; // they only touch: nothing is painted twice

      IRect first, second, band;
      bool hasSecond = false;
      if (SpansWidth(x, a) || SpansHeight(x, a))
      {
        SplitAround(a, x, first, second, hasSecond);
        mRects[i] = first;
        if (hasSecond)
          mRects.push_back(second);
      }
      else if (SpansWidth(x, b) || SpansHeight(x, b))
      {
        SplitAround(b, x, first, second, hasSecond);
        mRects[j] = first;
        if (hasSecond)
          mRects.push_back(second);
      }
      else
      {
        const size_t smaller = a.Area() < b.Area() ? i : j;
        SplitCorner(mRects[smaller], x, first, band);
        mRects[smaller] = first;
        mRects.push_back(band);
      }
    }
  }
}

void IRectList::MergeNeighbours()
{
  bool merged = true;
  while (merged)
  {
    merged = false;
    for (size_t i = 0; i < mRects.size() && !merged; ++i)
    {
      for (size_t j = i + 1; j < mRects.size(); ++j)
      {
        const IRect& a = mRects[i];
        const IRect& b = mRects[j];
        const bool column = a.L == b.L && a.R == b.R && Touches1D(a.T, a.B, b.T, b.B);
        const bool row = a.T == b.T && a.B == b.B && Touches1D(a.L, a.R, b.L, b.R);
        if (a.Empty() || b.Empty() || column || row)
        {
          mRects[j] = a.Union(b);
          mRects.erase(mRects.begin() + static_cast<std::ptrdiff_t>(i));
          merged = true;
          break;
        }
      }
    }
  }
}

} // namespace iplug::igraphics
