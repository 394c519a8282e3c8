#include "LargeBlocks.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr size_t kKiB = 1024;
constexpr size_t kMiB = 1024 * kKiB;

void Fill(void* block, size_t bytes, uint8_t seed)
{
  auto* p = static_cast<uint8_t*>(block);
  for (size_t i = 0; i < bytes; ++i)
    p[i] = static_cast<uint8_t>(seed + i * 7 + i / 4093);
}

bool Holds(const void* block, size_t bytes, uint8_t seed)
{
  const auto* p = static_cast<const uint8_t*>(block);
  for (size_t i = 0; i < bytes; ++i)
    if (p[i] != static_cast<uint8_t>(seed + i * 7 + i / 4093))
      return false;
  return true;
}

double HeapInUse()
{
  const struct mallinfo2 info = ::mallinfo2();
  return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
}

// Every move between the allocator's small blocks and mappings, both ways, and within each.
TEST(LargeBlocks, ReallocationKeepsWhatFitsAcrossEveryKindOfBlock)
{
  struct Case
  {
    size_t from;
    size_t to;
  };
  const Case cases[] = {
      {0, 64},                       // small to small
      {100, 40},                     // shrinking a small block
      {4 * kKiB, 200 * kKiB},        // small to mapped
      {200 * kKiB, 64},              // mapped to small
      {200 * kKiB, 6 * kMiB},        // a mapping grown, as a decoder's output buffer grows
      {6 * kMiB, 300 * kKiB},        // a mapping shrunk
      {6 * kMiB, 6 * kMiB + 1},      // the same pages
      {128 * kKiB - 1, 128 * kKiB},  // across the threshold by one byte
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    void* block = compat::AllocateLargeBlock(c.from);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
    Fill(block, c.from, 3);
    void* grown = compat::ReallocateLargeBlock(block, c.to);
    ASSERT_NE(grown, nullptr);
    EXPECT_TRUE(Holds(grown, std::min(c.from, c.to), 3));
    Fill(grown, c.to, 11); // all of it is writable
    EXPECT_TRUE(Holds(grown, c.to, 11));
    compat::FreeLargeBlock(grown);
  }
  compat::FreeLargeBlock(nullptr);
}

TEST(LargeBlocks, SizesBeyondMemoryFailAndLeaveTheBlockAsItWas)
{
  EXPECT_EQ(compat::AllocateLargeBlock(SIZE_MAX), nullptr);
  EXPECT_EQ(compat::AllocateLargeBlock(SIZE_MAX - 4 * kKiB), nullptr);
  for (const size_t held : {size_t{64}, 300 * kKiB})
  {
    void* block = compat::AllocateLargeBlock(held);
    ASSERT_NE(block, nullptr);
    Fill(block, held, 5);
    EXPECT_EQ(compat::ReallocateLargeBlock(block, SIZE_MAX), nullptr);
    EXPECT_TRUE(Holds(block, held, 5));
    compat::FreeLargeBlock(block);
  }
}

// The point of the blocks: the C library's allocator never sees the large ones, so freeing them
// cannot move its threshold for mapping large blocks.
TEST(LargeBlocks, LargeBlocksAreNotTheAllocatorsToCount)
{
  const double before = HeapInUse();
  void* block = compat::AllocateLargeBlock(24 * kMiB);
  ASSERT_NE(block, nullptr);
  Fill(block, 24 * kMiB, 1);
  block = compat::ReallocateLargeBlock(block, 30 * kMiB);
  ASSERT_NE(block, nullptr);
  EXPECT_LT(HeapInUse() - before, double(kMiB));
  compat::FreeLargeBlock(block);
}

} // namespace
