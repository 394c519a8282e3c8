#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "ByteChunk.h"
#include "Corvane.h"

using namespace iplug;

namespace {

std::unique_ptr<Corvane> MakeCorvane()
{
  return std::unique_ptr<Corvane>(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
}

// The product's state as its fields: editor record, then six doubles.
ByteChunk ProductState(int width, int height, float scale, std::initializer_list<double> values)
{
  ByteChunk c;
  c.Put(&width);
  c.Put(&height);
  c.Put(&scale);
  for (double v : values)
    c.Put(&v);
  return c;
}

const double kValues[] = {12.5, -3.0, 4.0, -6.5, 1.0, 0.0};

} // namespace

TEST(ProductState, FreshInstanceWritesSixtyBytesOfZeros)
{
  auto plug = MakeCorvane();
  ByteChunk state;
  EXPECT_TRUE(plug->WriteState(state));
  ASSERT_EQ(state.Size(), 60);
  for (int i = 0; i < 60; ++i)
    EXPECT_EQ(state.GetData()[i], 0) << i;
}

TEST(ProductState, RoundTripRestoresEveryParameterAndTheDerivedValues)
{
  auto source = MakeCorvane();
  for (int i = 0; i < kNumParams; ++i)
    source->GetParam(i)->SetValue(kValues[i]);
  ByteChunk state;
  source->WriteState(state);
  ASSERT_EQ(state.Size(), 60);
  double stored;
  state.Get(&stored, 12);
  EXPECT_EQ(stored, 12.5);

  auto target = MakeCorvane();
  EXPECT_EQ(target->ReadState(state, 0), 60);
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(target->GetParam(i)->Value(), kValues[i]) << i;
  // The restore runs every parameter's change handling, so the block routine follows.
  EXPECT_DOUBLE_EQ(target->DriveFactor(), std::pow(10.0, 12.5 / 20.0));
  EXPECT_EQ(target->OversamplingPasses(), 2);
}

TEST(ProductState, ShortStates)
{
  struct Case
  {
    const char* what;
    int bytes;
    int expectedPos;
    double expected[kNumParams];
  };
  // Before the read every parameter holds 7 (or 1 for the switches).
  const Case cases[] = {
    {"36 bytes: three values, the fourth reads as 0, the rest untouched", 36, -1, {12.5, -3.0, 4.0, 0.0, 1.0, 1.0}},
    {"8 bytes: the editor record is short, no parameter changes", 8, -1, {7, 7, 7, 7, 1, 1}},
    {"12 bytes: editor record only, the first parameter reads as 0", 12, -1, {0, 7, 7, 7, 1, 1}},
    {"0 bytes", 0, -1, {7, 7, 7, 7, 1, 1}},
  };
  const ByteChunk full = ProductState(1086, 214, 2.f, {12.5, -3.0, 4.0, -6.5, 0.0, 0.0});
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto plug = MakeCorvane();
    for (int i = 0; i < kNumParams; ++i)
      plug->GetParam(i)->SetValue(i < 4 ? 7.0 : 1.0);
    ByteChunk shortState;
    shortState.PutBytes(full.GetData(), c.bytes);
    EXPECT_EQ(plug->ReadState(shortState, 0), c.expectedPos);
    for (int i = 0; i < kNumParams; ++i)
      EXPECT_EQ(plug->GetParam(i)->Value(), c.expected[i]) << i;
    // Derived values always follow the parameters, even after a short read.
    EXPECT_DOUBLE_EQ(plug->DriveFactor(), std::pow(10.0, c.expected[0] / 20.0));
  }
}

TEST(ProductState, EditorRecordIsRestoredWhileTheEditorIsClosed)
{
  auto plug = MakeCorvane();
  const ByteChunk state = ProductState(1086, 214, 2.f, {0, 0, 0, 0, 0, 0});
  EXPECT_EQ(plug->ReadState(state, 0), 60);
  EXPECT_EQ(plug->GetLastWidth(), 1086);
  EXPECT_EQ(plug->GetLastHeight(), 214);
  EXPECT_EQ(plug->GetLastScale(), 2.f);

  ByteChunk written;
  plug->WriteState(written);
  EXPECT_EQ(written, state);
}

TEST(ProductState, NonFiniteStoredValuesRestoreDefaults)
{
  auto plug = MakeCorvane();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ByteChunk state = ProductState(0, 0, 0.f, {nan, inf, -inf, 3.0, nan, 1.0});
  for (int i = 0; i < kNumParams; ++i)
    plug->GetParam(i)->SetValue(1.0);
  EXPECT_EQ(plug->ReadState(state, 0), 60);
  const double expected[] = {0.0, 0.0, 0.0, 3.0, 0.0, 1.0};
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(plug->GetParam(i)->Value(), expected[i]) << i;
  EXPECT_EQ(plug->DriveFactor(), 1.0);
}

TEST(ProductState, OutOfRangeValuesAreConfined)
{
  auto plug = MakeCorvane();
  const ByteChunk state = ProductState(0, 0, 0.f, {100.0, -100.0, 0.0, 0.0, 0.6, 7.0});
  plug->ReadState(state, 0);
  EXPECT_EQ(plug->GetParam(kGain)->Value(), 30.0);
  EXPECT_EQ(plug->GetParam(kLowGain)->Value(), -10.0);
  EXPECT_EQ(plug->GetParam(kOversampling)->Value(), 1.0);
  EXPECT_EQ(plug->GetParam(kBypass)->Value(), 1.0);
}

TEST(ProductState, RandomBytesNeverReadOutsideTheChunk)
{
  // Whatever a host hands back, reading stays inside the bytes and leaves legal values.
  unsigned seed = 12345;
  for (int round = 0; round < 200; ++round)
  {
    ByteChunk junk;
    const int size = static_cast<int>(seed % 97);
    for (int i = 0; i < size; ++i)
    {
      seed = seed * 1103515245u + 12345u;
      const uint8_t b = static_cast<uint8_t>(seed >> 16);
      junk.Put(&b);
    }
    auto plug = MakeCorvane();
    const int pos = plug->ReadState(junk, 0);
    EXPECT_TRUE(pos == -1 || pos == 60) << size;
    for (int i = 0; i < kNumParams; ++i)
    {
      const IParam& p = *plug->GetParam(i);
      EXPECT_TRUE(std::isfinite(p.Value()) && p.Value() >= p.Min() && p.Value() <= p.Max());
    }
  }
}
