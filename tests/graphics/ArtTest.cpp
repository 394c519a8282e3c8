#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "renderer/ImageDecoder.h"
#include "ResourceLocation.h"

namespace {

using iplug::igraphics::LoadModuleResource;
using Image = iplug::igraphics::renderer::ImageDecoder::Image;

// The module's picture of that resource name, decoded.
Image Decode(const char* name)
{
  Image image;
  int size = 0;
  const auto* png = static_cast<const uint8_t*>(LoadModuleResource(name, "PNG", size, nullptr));
  EXPECT_NE(png, nullptr) << name;
  if (png)
  {
    EXPECT_TRUE(iplug::igraphics::renderer::ImageDecoder::DecodeMemory(png, static_cast<size_t>(size), image)) << name;
  }
  return image;
}

struct Pixel
{
  int r, g, b, a;
  int Brightness() const { return (r + g + b) / 3; }
};

Pixel At(const Image& image, int x, int y)
{
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 4;
  return Pixel{image.pixels[i], image.pixels[i + 1], image.pixels[i + 2], image.pixels[i + 3]};
}

// Mean colour over a rectangle of pixels.
Pixel Mean(const Image& image, int x0, int y0, int x1, int y1)
{
  long r = 0, g = 0, b = 0, a = 0, n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x, ++n)
    {
      const Pixel p = At(image, x, y);
      r += p.r;
      g += p.g;
      b += p.b;
      a += p.a;
    }
  return Pixel{int(r / n), int(g / n), int(b / n), int(a / n)};
}

// Where the knob's white pointer points in one frame: the mean direction of the bright pixels on
// the skirt, in degrees clockwise from twelve o'clock.
double PointerAngle(const Image& strip, int frame)
{
  const int size = 260;
  const double c = size / 2.0;
  double sx = 0.0, sy = 0.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
    {
      const double dx = x + 0.5 - c;
      const double dy = y + 0.5 - c;
      const double r = std::hypot(dx, dy);
      if (r < 66 || r > 86)
        continue;
      const Pixel p = At(strip, x, frame * size + y);
      if (p.Brightness() > 180 && p.a > 200)
      {
        sx += dx;
        sy += dy;
      }
    }
  return std::atan2(sx, -sy) * 180.0 / std::numbers::pi;
}

TEST(EditorArt, PicturesDecodeAtTheirStoredSizes)
{
  struct Case
  {
    const char* name;
    int width, height;
  };
  for (const Case& c : {Case{"\"BG@2X.PNG\"", 2172, 428}, Case{"\"KNOB@2X.PNG\"", 260, 15860},
                        Case{"\"SW@2X.PNG\"", 74, 148}, Case{"\"OVER@2X.PNG\"", 368, 68}})
  {
    const Image image = Decode(c.name);
    EXPECT_EQ(image.width, c.width) << c.name;
    EXPECT_EQ(image.height, c.height) << c.name;
  }
}

TEST(EditorArt, KnobPointerSweepsThreeHundredDegreesOverSixtyOneFrames)
{
  const Image strip = Decode("\"KNOB@2X.PNG\"");
  ASSERT_EQ(strip.height, 61 * 260);
  double previous = -1000.0;
  for (int frame = 0; frame < 61; ++frame)
  {
    const double angle = PointerAngle(strip, frame);
    EXPECT_NEAR(angle, -150.0 + 5.0 * frame, 3.0) << "frame " << frame + 1;
    EXPECT_GT(angle, previous) << "frame " << frame + 1;
    previous = angle;
    // Each frame is a knob on a transparent square: clear corners, a solid middle.
    EXPECT_EQ(At(strip, 0, frame * 260).a, 0);
    EXPECT_EQ(At(strip, 259, frame * 260 + 259).a, 0);
    EXPECT_EQ(At(strip, 130, frame * 260 + 130).a, 255);
  }
}

TEST(EditorArt, SwitchesShowTwoClearlyDifferentStates)
{
  // The bypass button: its lamp dark in the first frame, lit red in the second.
  const Image bypass = Decode("\"SW@2X.PNG\"");
  const Pixel off = Mean(bypass, 31, 31, 43, 43);
  const Pixel on = Mean(bypass, 31, 74 + 31, 43, 74 + 43);
  EXPECT_LT(off.r, 120);
  EXPECT_GT(on.r, 220);
  EXPECT_GT(on.r - on.b, 60);

  // The oversampling selector: "1x" lit in the first frame, "2x" lit amber in the second.
  const Image over = Decode("\"OVER@2X.PNG\"");
  const Pixel firstLeft = Mean(over, 8, 4, 176, 30);
  const Pixel firstRight = Mean(over, 192, 4, 360, 30);
  const Pixel secondLeft = Mean(over, 8, 38, 176, 64);
  const Pixel secondRight = Mean(over, 192, 38, 360, 64);
  EXPECT_GT(firstLeft.Brightness(), firstRight.Brightness() + 60);
  EXPECT_GT(secondRight.Brightness(), secondLeft.Brightness() + 60);
  EXPECT_GT(secondRight.r, secondRight.b + 60); // amber
}

TEST(EditorArt, PanelIsDarkWithBrightLabelsUnderTheKnobs)
{
  const Image panel = Decode("\"BG@2X.PNG\"");
  EXPECT_EQ(At(panel, 0, 0).a, 255);
  EXPECT_LT(Mean(panel, 0, 0, 2172, 428).Brightness(), 80);
  // Printed labels under each knob (logical y 168 to 181), and the name between the tone knobs.
  for (int knobLeft : {63, 337, 616, 891})
  {
    int bright = 0;
    for (int y = 336; y < 362; ++y)
      for (int x = 2 * knobLeft + 60; x < 2 * knobLeft + 200; ++x)
        bright += At(panel, x, y).Brightness() > 180;
    EXPECT_GT(bright, 150) << "knob at " << knobLeft;
  }
  int name = 0;
  for (int y = 132; y < 172; ++y)
    for (int x = 950; x < 1220; ++x)
      name += At(panel, x, y).Brightness() > 180;
  EXPECT_GT(name, 1000);
}

} // namespace
