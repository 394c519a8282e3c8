#include "PictureComparison.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace aaxhost {

namespace {

// The largest difference over the four channels of the pixel at byte offset i.
int PixelDifference(const Picture& a, const Picture& b, size_t i)
{
  int worst = 0;
  for (size_t c = 0; c < 4; ++c)
    worst = std::max(worst, std::abs(static_cast<int>(a.rgba[i + c]) - static_cast<int>(b.rgba[i + c])));
  return worst;
}

bool Consistent(const Picture& p)
{
  return !p.Empty() && p.rgba.size() == static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 4u;
}

} // namespace

bool PictureComparison::Within(double allowedFraction) const
{
  return sameSize && static_cast<double>(beyond) <= allowedFraction * static_cast<double>(pixels);
}

std::string PictureComparison::Describe(int channelTolerance) const
{
  std::ostringstream text;
  if (!sameSize)
    return "the sizes differ";
  text << beyond << " of " << pixels << " pixels differ by more than " << channelTolerance << " levels (largest "
       << largest << ")";
  if (beyond > 0)
    text << " in x " << left << ".." << right - 1 << ", y " << top << ".." << bottom - 1;
  return text.str();
}

PictureComparison ComparePictures(const Picture& actual, const Picture& reference, int channelTolerance)
{
  PictureComparison result;
  result.pixels = static_cast<size_t>(std::max(actual.width, 0)) * static_cast<size_t>(std::max(actual.height, 0));
  result.sameSize = Consistent(actual) && Consistent(reference) && actual.width == reference.width &&
                    actual.height == reference.height;
  if (!result.sameSize)
  {
    result.beyond = result.pixels;
    result.largest = 255;
    return result;
  }
  result.left = actual.width;
  result.top = actual.height;
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x)
    {
      const int difference = PixelDifference(actual, reference, (static_cast<size_t>(y) * static_cast<size_t>(actual.width) + static_cast<size_t>(x)) * 4u);
      result.largest = std::max(result.largest, difference);
      if (difference <= channelTolerance)
        continue;
      ++result.beyond;
      result.left = std::min(result.left, x);
      result.top = std::min(result.top, y);
      result.right = std::max(result.right, x + 1);
      result.bottom = std::max(result.bottom, y + 1);
    }
  if (result.beyond == 0)
    result.left = result.top = 0;
  return result;
}

Picture DifferencePicture(const Picture& actual, const Picture& reference, int channelTolerance)
{
  Picture out;
  if (!Consistent(actual) || !Consistent(reference) || actual.width != reference.width ||
      actual.height != reference.height)
    return out;
  out.width = actual.width;
  out.height = actual.height;
  out.rgba.resize(actual.rgba.size());
  for (size_t i = 0; i < actual.rgba.size(); i += 4)
  {
    const int difference = PixelDifference(actual, reference, i);
    uint8_t* p = &out.rgba[i];
    if (difference > channelTolerance)
    {
      p[0] = 255;
      p[1] = p[2] = 0;
    }
    else if (difference > 0)
    {
      p[0] = p[1] = 0;
      p[2] = 160;
    }
    else
    {
      // A faint picture of the face, so that the red reads as a place on it.
      const int grey = (reference.rgba[i] * 77 + reference.rgba[i + 1] * 150 + reference.rgba[i + 2] * 29) >> 8;
      p[0] = p[1] = p[2] = static_cast<uint8_t>(grey / 4);
    }
    p[3] = 255;
  }
  return out;
}

} // namespace aaxhost
