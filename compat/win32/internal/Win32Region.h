#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: a region as GDI keeps it, a set of non-overlapping rectangles in
// y-x banded order (rows of equal top and bottom, each row sorted by left, rows that have the same
// horizontal spans merged). Update regions and HRGN objects both use it.

#include "Win32Types.h"

#include <vector>

namespace win32compat {

class Region
{
public:
  enum class Op { And, Or, Diff };

  Region() = default;
  // An empty or inverted rectangle gives the empty region; the corners are put in order first.
  explicit Region(RECT rect);

  static Region Combine(const Region& a, const Region& b, Op op);

  bool Empty() const { return mRects.empty(); }
  // The bounding box; all zeros for the empty region.
  RECT Bounds() const;
  const std::vector<RECT>& Rects() const { return mRects; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;

  void Offset(int dx, int dy);

private:
  std::vector<RECT> mRects;
};

} // namespace win32compat
