#include "ImageDecoder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>
#include <vector>

using iplug::igraphics::renderer::ImageDecoder;

namespace test {
namespace {

double HeapInUse()
{
  const struct mallinfo2 info = ::mallinfo2();
  return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
}

// Decoding a picture the size of the editor's knob strip used to take its working buffers and
// its pixels from the C library's allocator; the working buffers, freed at once, raised that
// allocator's threshold for mapping large blocks to their size for the rest of the host's life,
// and every later large buffer of the editor (and of the host) came from the heap, where a buffer
// replaced at each zoom left a resident hole.
TEST(ImageDecoder, LargePicturesAreDecodedOutsideTheAllocatorsHeap)
{
  constexpr int kWidth = 1200, kHeight = 1100;
  std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
  for (size_t i = 0; i < rgba.size(); ++i)
    rgba[i] = uint8_t((i / 4) % 251 + (i % 4) * 3);
  const std::vector<uint8_t> png = EncodePng(kWidth, kHeight, rgba);
  ASSERT_FALSE(png.empty());

  const double before = HeapInUse();
  ImageDecoder::Image image;
  ASSERT_TRUE(ImageDecoder::DecodeMemory(png.data(), png.size(), image));
  EXPECT_LT(HeapInUse() - before, 1024.0 * 1024.0) << "the 5 MB of pixels are held by the allocator";
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  for (const size_t at : {size_t{0}, rgba.size() / 2 + 1, rgba.size() - 1})
    EXPECT_EQ(image.pixels[at], rgba[at]) << "byte " << at;
}

} // namespace
} // namespace test
