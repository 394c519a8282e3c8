#pragma once

#include <cstddef>
#include <vector>

#include "IRect.h"

namespace iplug::igraphics {

// A growable list of rectangles in insertion order: the regions of one repaint.
class IRectList
{
public:
  void Add(const IRect& r) { mRects.push_back(r); }
  void Set(int idx, const IRect& r) { mRects[static_cast<size_t>(idx)] = r; }
  void Remove(int idx) { mRects.erase(mRects.begin() + idx); }
  void Clear() { mRects.clear(); }
  int Count() const { return static_cast<int>(mRects.size()); }
  // Callers pass 0 … Count() − 1.
  const IRect& Get(int idx) const { return mRects[static_cast<size_t>(idx)]; }

  // The union of all entries (empty for an empty list).
  IRect Bounds() const;
  // Replaces every entry by its pixel-aligned form.
  void PixelAlign(float scale);
  // Rewrites the list so that it covers exactly the same area with rectangles that do not
  // overlap, merging neighbours that line up, so no pixel is painted twice in one frame.
  void Optimize();

private:
  void TrimOverlaps();
  void MergeNeighbours();

  std::vector<IRect> mRects;
};

} // namespace iplug::igraphics
