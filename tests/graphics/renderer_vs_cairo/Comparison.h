#pragma once

#include "Picture.h"

#include <string>

namespace test::vs_cairo {

// How two pictures of one scene differ, per channel in levels of 0 to 255. Edge pixels are
// those within a pixel of a sharp change in either picture (a geometric edge, a hard colour
// step); the rest are interior, where both renderers must agree almost exactly.
struct Difference
{
  int edgePixels = 0;
  int edgeMax = 0;
  double edgeMean = 0.0; // mean over edge pixels of the largest channel difference
  double edgeBias = 0.0; // mean over edge pixels of ours' alpha minus cairo's: a shape too fat or too thin
  int edgeWorst[2] = {-1, -1};
  int interiorPixels = 0;
  int interiorMax = 0;
  int interiorWorst[2] = {-1, -1};

  std::string Describe() const;
};

Difference Compare(const Picture& ours, const Picture& reference);

// A picture of where and how much the two differ: interior differences in red, edge
// differences in grey, both four times as bright as the difference.
Picture DifferencePicture(const Picture& ours, const Picture& reference);

} // namespace test::vs_cairo
