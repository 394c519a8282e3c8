#include <gtest/gtest.h>

#include "PictureComparison.h"

namespace {

using aaxhost::Picture;

Picture Plain(int width, int height, uint8_t level)
{
  Picture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, level)};
  for (size_t i = 3; i < p.rgba.size(); i += 4)
    p.rgba[i] = 255;
  return p;
}

uint8_t* Pixel(Picture& p, int x, int y)
{
  return &p.rgba[(static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)) * 4];
}

// Where the tolerance ends: a channel exactly at it is the same picture, one level past it is
// not; any channel counts, alpha too; the box bounds the pixels beyond and nothing else.
TEST(PictureComparison, CountsPixelsPastTheToleranceInAnyChannelAndBoxesThem)
{
  const Picture reference = Plain(40, 30, 100);
  struct Case
  {
    const char* what;
    int channel;
    int change;
    size_t beyond;
  };
  const Case cases[] = {
    {"equal", 0, 0, 0},           {"red at the tolerance", 0, 8, 0}, {"red past it", 0, 9, 1},
    {"blue below", 2, -9, 1},     {"alpha past it", 3, -9, 1},       {"green far", 1, 155, 1},
  };
  for (const Case& c : cases)
  {
    Picture actual = reference;
    Pixel(actual, 7, 21)[c.channel] = static_cast<uint8_t>(Pixel(actual, 7, 21)[c.channel] + c.change);
    const auto result = aaxhost::ComparePictures(actual, reference, 8);
    EXPECT_TRUE(result.sameSize) << c.what;
    EXPECT_EQ(result.pixels, 1200u) << c.what;
    EXPECT_EQ(result.beyond, c.beyond) << c.what;
    EXPECT_EQ(result.largest, std::abs(c.change)) << c.what;
    if (c.beyond == 1)
    {
      EXPECT_EQ(result.left, 7) << c.what;
      EXPECT_EQ(result.top, 21) << c.what;
      EXPECT_EQ(result.right, 8) << c.what;
      EXPECT_EQ(result.bottom, 22) << c.what;
    }
  }

  Picture spread = reference;
  Pixel(spread, 2, 3)[0] = 0;
  Pixel(spread, 30, 25)[1] = 0;
  const auto both = aaxhost::ComparePictures(spread, reference, 8);
  EXPECT_EQ(both.beyond, 2u);
  EXPECT_EQ(both.Describe(8), "2 of 1200 pixels differ by more than 8 levels (largest 100) in x 2..30, y 3..25");
  // 2 of 1200 pixels is within 1/500 of them and not within 1/1000.
  EXPECT_TRUE(both.Within(1.0 / 500));
  EXPECT_FALSE(both.Within(1.0 / 1000));
}

TEST(PictureComparison, PicturesOfAnotherSizeNeverMatchAndGiveNoDifferencePicture)
{
  const auto result = aaxhost::ComparePictures(Plain(40, 30, 100), Plain(30, 40, 100), 8);
  EXPECT_FALSE(result.sameSize);
  EXPECT_FALSE(result.Within(1.0));
  EXPECT_TRUE(aaxhost::DifferencePicture(Plain(40, 30, 100), Plain(40, 31, 100), 8).Empty());
  // A picture whose pixel data does not fit its size is no picture.
  Picture broken = Plain(40, 30, 100);
  broken.rgba.pop_back();
  EXPECT_FALSE(aaxhost::ComparePictures(broken, Plain(40, 30, 100), 8).sameSize);
}

TEST(PictureComparison, DifferencePictureShowsThePixelsBeyondInRedOverTheDimmedFace)
{
  const Picture reference = Plain(4, 2, 200);
  Picture actual = reference;
  Pixel(actual, 1, 0)[0] = 250;  // beyond
  Pixel(actual, 2, 1)[2] = 203;  // within, not equal
  Picture difference = aaxhost::DifferencePicture(actual, reference, 8);
  ASSERT_EQ(difference.width, 4);
  ASSERT_EQ(difference.height, 2);
  const uint8_t* red = Pixel(difference, 1, 0);
  EXPECT_EQ(std::vector<uint8_t>(red, red + 4), (std::vector<uint8_t>{255, 0, 0, 255}));
  const uint8_t* blue = Pixel(difference, 2, 1);
  EXPECT_EQ(std::vector<uint8_t>(blue, blue + 4), (std::vector<uint8_t>{0, 0, 160, 255}));
  const uint8_t* same = Pixel(difference, 0, 0);
  EXPECT_LT(same[0], 64) << "the matching face is dimmed";
  EXPECT_EQ(same[0], same[1]);
  EXPECT_EQ(same[3], 255);
}

} // namespace
