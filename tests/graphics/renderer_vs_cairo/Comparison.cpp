#include "Comparison.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace test::vs_cairo {

namespace {

// A change between neighbouring pixels larger than this is a sharp one: a shape's edge or a
// hard step of colour. Smooth gradients change far less from one pixel to the next.
constexpr int kSharpChange = 8;

int ChannelDifference(const uint8_t* a, const uint8_t* b)
{
  int d = 0;
  for (int c = 0; c < 4; ++c)
    d = std::max(d, std::abs(int(a[c]) - int(b[c])));
  return d;
}

// Pixels within one pixel of a sharp change in either picture.
std::vector<bool> EdgeMask(const Picture& a, const Picture& b)
{
  const int w = a.width, h = a.height;
  std::vector<bool> sharp(size_t(w * h), false), edge(size_t(w * h), false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int dy = 0; dy <= 1; ++dy)
        for (int dx = (dy == 0 ? 1 : -1); dx <= 1; ++dx)
        {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || nx >= w || ny >= h)
            continue;
          if (ChannelDifference(a.At(x, y), a.At(nx, ny)) > kSharpChange ||
              ChannelDifference(b.At(x, y), b.At(nx, ny)) > kSharpChange)
          {
            sharp[size_t(y * w + x)] = true;
            sharp[size_t(ny * w + nx)] = true;
          }
        }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (sharp[size_t(y * w + x)])
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
          {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && nx < w && ny >= 0 && ny < h)
              edge[size_t(ny * w + nx)] = true;
          }
  return edge;
}

} // namespace

Difference Compare(const Picture& ours, const Picture& reference)
{
  Difference d;
  const std::vector<bool> edge = EdgeMask(ours, reference);
  double sum = 0.0, bias = 0.0;
  for (int y = 0; y < ours.height; ++y)
    for (int x = 0; x < ours.width; ++x)
    {
      const int diff = ChannelDifference(ours.At(x, y), reference.At(x, y));
      if (edge[size_t(y * ours.width + x)])
      {
        ++d.edgePixels;
        sum += diff;
        bias += int(ours.At(x, y)[3]) - int(reference.At(x, y)[3]);
        if (diff > d.edgeMax)
        {
          d.edgeMax = diff;
          d.edgeWorst[0] = x;
          d.edgeWorst[1] = y;
        }
      }
      else
      {
        ++d.interiorPixels;
        if (diff > d.interiorMax)
        {
          d.interiorMax = diff;
          d.interiorWorst[0] = x;
          d.interiorWorst[1] = y;
        }
      }
    }
  if (d.edgePixels > 0)
  {
    d.edgeMean = sum / d.edgePixels;
    d.edgeBias = bias / d.edgePixels;
  }
  return d;
}

std::string Difference::Describe() const
{
  std::ostringstream os;
  os.setf(std::ios::fixed);
  os.precision(2);
  os << "edges: " << edgePixels << " px, max " << edgeMax << " at (" << edgeWorst[0] << ", " << edgeWorst[1]
     << "), mean " << edgeMean << ", alpha bias " << edgeBias << "; interior: " << interiorPixels << " px, max "
     << interiorMax << " at (" << interiorWorst[0] << ", " << interiorWorst[1] << ")";
  return os.str();
}

Picture DifferencePicture(const Picture& ours, const Picture& reference)
{
  const std::vector<bool> edge = EdgeMask(ours, reference);
  Picture p;
  p.width = ours.width;
  p.height = ours.height;
  p.rgba.assign(ours.rgba.size(), 0);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
    {
      const int v = std::min(255, 4 * ChannelDifference(ours.At(x, y), reference.At(x, y)));
      uint8_t* o = p.At(x, y);
      const bool isEdge = edge[size_t(y * p.width + x)];
      o[0] = uint8_t(v);
      o[1] = uint8_t(isEdge ? v : 0);
      o[2] = uint8_t(isEdge ? v : 0);
      o[3] = 255;
    }
  return p;
}

} // namespace test::vs_cairo
