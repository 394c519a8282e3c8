// The process's decoded module pictures: one decoding per resource while held, nothing kept once
// the last hold goes, and a reopened editor that uploads the kept pixels instead of decoding.
#include "BackendFixture.h"

#include <memory>
#include <vector>

#include "DecodedPictureStore.h"

using namespace iplug::igraphics;

namespace test {
namespace {

TEST(DecodedPictureStore, DecodesEachResourceOnceWhileHeld)
{
  DecodedPictureStore store;
  const std::vector<uint8_t> red = EncodePng(4, 3, SolidRGBA(4, 3, 255, 0, 0, 255));
  const std::vector<uint8_t> blue = EncodePng(2, 2, SolidRGBA(2, 2, 0, 0, 255, 128));

  // Unheld, a picture is decoded for the caller and not kept.
  const auto loose = store.Find(red.data(), red.size());
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(store.Count(), 0u);

  auto first = store.Hold();
  auto second = store.Hold();
  const auto a = store.Find(red.data(), red.size());
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a, loose);
  EXPECT_EQ(store.Find(red.data(), red.size()), a);
  const auto b = store.Find(blue.data(), blue.size());
  ASSERT_NE(b, nullptr);
  EXPECT_NE(b, a);
  EXPECT_EQ(store.Count(), 2u);
  EXPECT_EQ(store.Bytes(), (4u * 3u + 2u * 2u) * 4u);
  EXPECT_EQ(a->width, 4);
  EXPECT_EQ(a->height, 3);
  EXPECT_EQ(a->pixels[0], 255);
  EXPECT_EQ(b->pixels[2], 255);
  EXPECT_EQ(b->pixels[3], 128);

  // The same bytes elsewhere are another resource: looked up by where they are.
  const std::vector<uint8_t> copy = red;
  EXPECT_NE(store.Find(copy.data(), copy.size()), a);
  EXPECT_EQ(store.Count(), 3u);

  first.reset();
  EXPECT_EQ(store.Count(), 3u);
  second.reset();
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(store.Bytes(), 0u);
  // What a caller still holds outlives the store's entry.
  EXPECT_EQ(a->pixels[0], 255);
}

TEST(DecodedPictureStore, BytesThatDoNotDecodeAreNotKept)
{
  DecodedPictureStore store;
  const auto hold = store.Hold();
  const std::vector<uint8_t> png = EncodePng(8, 8, SolidRGBA(8, 8, 1, 2, 3, 255));
  const std::vector<uint8_t> truncated(png.begin(), png.begin() + 40);
  const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  EXPECT_EQ(store.Find(truncated.data(), truncated.size()), nullptr);
  EXPECT_EQ(store.Find(text.data(), text.size()), nullptr);
  EXPECT_EQ(store.Find(nullptr, 10), nullptr);
  EXPECT_EQ(store.Find(png.data(), 0), nullptr);
  EXPECT_EQ(store.Count(), 0u);
}

} // namespace
} // namespace test
