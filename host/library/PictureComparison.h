#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost {

// An RGBA picture, top row first, 4 bytes per pixel.
struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  bool Empty() const { return width < 1 || height < 1; }
};

// How far a picture is from another of the same face. A pixel counts as different when any of
// its four channels is off by more than the tolerance, so that the dithering and rounding of
// another software rasteriser build pass while a moved edge or a changed colour does not.
struct PictureComparison
{
  bool sameSize = false;
  size_t pixels = 0;    // of the actual picture
  size_t beyond = 0;    // pixels off by more than the tolerance (all of them when sizes differ)
  int largest = 0;      // the largest channel difference seen
  int left = 0, top = 0, right = 0, bottom = 0;  // the box around those pixels; right and bottom exclusive

  // Whether at most this fraction of the pixels are beyond the tolerance (sizes must agree).
  bool Within(double allowedFraction) const;
  // "412 of 522909 pixels differ by more than 8 levels (largest 255) in x 63..192, y 31..160"
  std::string Describe(int channelTolerance) const;
};

PictureComparison ComparePictures(const Picture& actual, const Picture& reference, int channelTolerance);

// A picture that shows where two pictures of one size differ: the reference dimmed to grey,
// pixels within the tolerance but not equal in dark blue, pixels beyond it in red. Empty when
// the sizes differ.
Picture DifferencePicture(const Picture& actual, const Picture& reference, int channelTolerance);

} // namespace aaxhost
