// Region arithmetic by bands: the horizontal lines where any rectangle of either operand starts or
// ends cut the plane into bands; inside a band both operands are sets of spans, combined span by
// span. Regions here hold a handful of rectangles, so the quadratic walk is plenty.

#include "Win32Region.h"

#include <algorithm>

namespace win32compat {

namespace {

constexpr int kNullRegion = 1;
constexpr int kSimpleRegion = 2;
constexpr int kComplexRegion = 3;

struct Span
{
  LONG left;
  LONG right;
  bool operator==(const Span&) const = default;
};

// The spans that the region covers over the whole band [top, bottom).
std::vector<Span> SpansIn(const std::vector<RECT>& rects, LONG top, LONG bottom)
{
  std::vector<Span> spans;
  for (const auto& r : rects)
    if (r.top <= top && r.bottom >= bottom)
      spans.push_back({r.left, r.right});
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.left < b.left; });
  return spans;
}

bool Covered(const std::vector<Span>& spans, LONG x)
{
  for (const auto& s : spans)
    if (x >= s.left && x < s.right)
      return true;
  return false;
}

bool Apply(Region::Op op, bool inA, bool inB)
{
  switch (op)
  {
  case Region::Op::And: return inA && inB;
  case Region::Op::Or: return inA || inB;
  case Region::Op::Diff: return inA && !inB;
  }
  return false;
}

} // namespace

Region::Region(RECT rect)
{
  if (rect.left > rect.right)
    std::swap(rect.left, rect.right);
  if (rect.top > rect.bottom)
    std::swap(rect.top, rect.bottom);
  if (rect.left < rect.right && rect.top < rect.bottom)
    mRects.push_back(rect);
}

Region Region::Combine(const Region& a, const Region& b, Op op)
{
  std::vector<LONG> ys;
  for (const auto* region : {&a, &b})
    for (const auto& r : region->mRects)
    {
      ys.push_back(r.top);
      ys.push_back(r.bottom);
    }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Region result;
  std::vector<Span> previous;
  size_t previousStart = 0; // index of the previous band's first rectangle in the result
  LONG previousBottom = 0;
  for (size_t i = 0; i + 1 < ys.size(); ++i)
  {
    const LONG top = ys[i];
    const LONG bottom = ys[i + 1];
    const auto spansA = SpansIn(a.mRects, top, bottom);
    const auto spansB = SpansIn(b.mRects, top, bottom);

    std::vector<LONG> xs;
    for (const auto* spans : {&spansA, &spansB})
      for (const auto& s : *spans)
      {
        xs.push_back(s.left);
        xs.push_back(s.right);
      }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    std::vector<Span> band;
    for (size_t j = 0; j + 1 < xs.size(); ++j)
    {
      if (!Apply(op, Covered(spansA, xs[j]), Covered(spansB, xs[j])))
        continue;
      if (!band.empty() && band.back().right == xs[j])
        band.back().right = xs[j + 1];
      else
        band.push_back({xs[j], xs[j + 1]});
    }
    if (band.empty())
    {
      previous.clear();
      continue;
    }
    if (band == previous && previousBottom == top)
    {
      // Same spans as the band just above: stretch those rectangles instead of adding a row.
      for (size_t k = previousStart; k < result.mRects.size(); ++k)
        result.mRects[k].bottom = bottom;
    }
    else
    {
      previousStart = result.mRects.size();
      for (const auto& s : band)
        result.mRects.push_back({s.left, top, s.right, bottom});
      previous = band;
    }
    previousBottom = bottom;
  }
  return result;
}

RECT Region::Bounds() const
{
  if (mRects.empty())
    return RECT{0, 0, 0, 0};
  RECT box = mRects.front();
  for (const auto& r : mRects)
  {
    box.left = std::min(box.left, r.left);
    box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  return box;
}

int Region::Kind() const
{
  if (mRects.empty())
    return kNullRegion;
  return mRects.size() == 1 ? kSimpleRegion : kComplexRegion;
}

void Region::Offset(int dx, int dy)
{
  for (auto& r : mRects)
  {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

} // namespace win32compat
