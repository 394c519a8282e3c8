#include "SpscQueue.h"

#include "ParamChange.h"
#include "SysexBlock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

using iplug::ParamChange;
using iplug::SpscQueue;
using iplug::SysexBlock;

namespace {

TEST(SpscQueue, HoldsExactlyItsCapacityAndDropsTheNewest)
{
  SpscQueue<ParamChange, 512> queue;
  ParamChange change;
  EXPECT_EQ(queue.Available(), 0u);
  EXPECT_FALSE(queue.Pop(change));

  for (int i = 0; i < 512; ++i)
    ASSERT_TRUE(queue.Push({i, i * 0.5}));
  EXPECT_EQ(queue.Available(), 512u);
  EXPECT_FALSE(queue.Push({512, 0.0})) << "the 513th change is dropped";
  EXPECT_EQ(queue.Available(), 512u);

  for (int i = 0; i < 512; ++i)
  {
    ASSERT_TRUE(queue.Pop(change));
    EXPECT_EQ(change.paramIdx, i);
    EXPECT_EQ(change.value, i * 0.5);
  }
  change = {-1, -1.0};
  EXPECT_FALSE(queue.Pop(change));
  EXPECT_EQ(change.paramIdx, -1) << "a failed pop leaves the output alone";
  EXPECT_EQ(queue.Available(), 0u);
}

TEST(SpscQueue, KeepsOrderAndCountAcrossTheEndOfTheRing)
{
  SpscQueue<int, 4> queue;
  int next = 0;
  int expected = 0;
  for (int round = 0; round < 20; ++round)
  {
    const int batch = 1 + round % 4;
    for (int i = 0; i < batch; ++i)
      ASSERT_TRUE(queue.Push(next++));
    ASSERT_EQ(queue.Available(), static_cast<size_t>(batch));
    int value = -1;
    for (int i = 0; i < batch; ++i)
    {
      ASSERT_TRUE(queue.Pop(value));
      ASSERT_EQ(value, expected++);
      ASSERT_EQ(queue.Available(), static_cast<size_t>(batch - i - 1));
    }
  }
}

TEST(SpscQueue, CarriesWholeSysexBlocks)
{
  SpscQueue<SysexBlock, 4> queue;
  SysexBlock block;
  block.offset = 17;
  block.size = SysexBlock::kMaxSize;
  for (int i = 0; i < SysexBlock::kMaxSize; ++i)
    block.data[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(queue.Push(block));
  SysexBlock out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out.offset, 17);
  EXPECT_EQ(out.size, SysexBlock::kMaxSize);
  for (int i = 0; i < SysexBlock::kMaxSize; ++i)
    ASSERT_EQ(out.data[i], static_cast<uint8_t>(i * 7));
}

// Each element carries its sequence number twice, so a slot read before its copy was published
// shows up as a mismatch, and a lost or repeated element as a gap.
TEST(SpscQueue, TwoThreadsSeeEveryElementOnceInOrder)
{
  struct Item
  {
    uint64_t sequence = 0;
    uint64_t check = 0;
  };
  constexpr uint64_t kCount = 200000;
  SpscQueue<Item, 64> queue;

  std::thread producer([&] {
    for (uint64_t i = 1; i <= kCount;)
    {
      if (queue.Push({i, ~i}))
        ++i;
      else
        std::this_thread::yield();
    }
  });

  uint64_t expected = 1;
  Item item;
  while (expected <= kCount)
  {
    if (!queue.Pop(item))
    {
      std::this_thread::yield();
      continue;
    }
    ASSERT_EQ(item.sequence, expected);
    ASSERT_EQ(item.check, ~expected);
    ++expected;
  }
  producer.join();
  EXPECT_EQ(queue.Available(), 0u);
}

} // namespace
