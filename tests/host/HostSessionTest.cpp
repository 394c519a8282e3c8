#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <map>
#include <optional>
#include <thread>
#include <random>
#include <string>
#include <vector>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "HostSession.h"
#include "reference/Render.h"
#include "support/AllocationCounter.h"

namespace {

using aaxhost::HostSession;

constexpr double kRate = 48000.0;
constexpr AAX_CTypeID kStateChunk = AAX_TypeID('C', 'R', 'V', 'N');
constexpr size_t kEditorRecordBytes = 12;

std::vector<float> Sine(size_t frames, double frequency, double amplitude, size_t offset = 0)
{
  std::vector<float> out(frames);
  for (size_t i = 0; i < frames; ++i)
    out[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * static_cast<double>(i + offset) / kRate));
  return out;
}

// A host record of exactly `size` data bytes, so that a sanitizer catches any read past it.
struct ChunkRecord
{
  explicit ChunkRecord(int32_t size, AAX_CTypeID id = kStateChunk, size_t allocated = SIZE_MAX)
    : bytes(new unsigned char[sizeof(AAX_SPlugInChunkHeader) + (allocated == SIZE_MAX ? static_cast<size_t>(std::max(size, 0)) : allocated)]())
  {
    Get()->fSize = size;
    Get()->fChunkID = id;
  }
  AAX_SPlugInChunk* Get() { return reinterpret_cast<AAX_SPlugInChunk*>(bytes.get()); }
  unsigned char* Data() { return bytes.get() + sizeof(AAX_SPlugInChunkHeader); }
  std::unique_ptr<unsigned char[]> bytes;
};

// One stereo instance of the built module with a DAW's threads around it.
class Session : public testing::Test
{
protected:
  static HostSession::Options Options(size_t component = 1)
  {
    HostSession::Options options;
    options.modulePath = CORVANE_MODULE_PATH;
    options.component = component;
    options.sampleRate = kRate;
    return options;
  }

  AAX_IACFEffectParameters* Effect() const { return session->Instance().Effect(); }

  // Runs on the parameter thread, as host automation does.
  AAX_Result Update(const char* id, double value)
  {
    return session->ParameterThread().Run([&] {
      return Effect()->UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter);
    });
  }

  // The parameter values the state chunk stores, after the editor record.
  std::vector<double> StoredValues()
  {
    const auto chunk = session->GetChunk();
    std::vector<double> values;
    for (size_t at = kEditorRecordBytes; at + 8 <= chunk.size(); at += 8)
    {
      double v = 0.0;
      std::memcpy(&v, chunk.data() + at, 8);
      values.push_back(v);
    }
    return values;
  }

  double Normalized(const char* id)
  {
    double value = -1.0;
    session->UIThread().Run([&] { Effect()->GetParameterNormalizedValue(id, &value); });
    return value;
  }

  // Renders one block of both channels on the audio thread.
  std::vector<std::vector<float>> Render(const std::vector<float>& left, const std::vector<float>& right)
  {
    std::vector<std::vector<float>> out(2, std::vector<float>(left.size(), 9.0f));
    session->AudioThread().Run([&] {
      float* in[2] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
      float* outs[2] = {out[0].data(), out[1].data()};
      session->RenderBlock(in, outs, static_cast<int32_t>(left.size()));
    });
    return out;
  }

  std::unique_ptr<HostSession> session = std::make_unique<HostSession>(Options());
};

TEST_F(Session, HostUpdateReachesTheFrameworkParameterAndTheHost)
{
  auto& automation = session->Controller().Automation();
  automation.ClearEvents();
  EXPECT_EQ(Update("3", 0.75), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(StoredValues().at(2), 5.0) << "High Gain";
  EXPECT_DOUBLE_EQ(Normalized("3"), 0.75);
  const auto events = automation.Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, "current");
  EXPECT_EQ(events.back().paramID, "3");

  // "" is the master bypass: only it changes.
  const auto before = session->GetChunk();
  EXPECT_EQ(Update("", 1.0), AAX_SUCCESS);
  EXPECT_EQ(session->GetChunk(), before);
  EXPECT_DOUBLE_EQ(Normalized(""), 1.0);

  // "9" names nothing in this product.
  EXPECT_EQ(Update("9", 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(Update("", std::nan("")), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(session->GetChunk(), before);
  int32_t changes = 0;
  Effect()->GetNumberOfChanges(&changes);
  EXPECT_EQ(changes, 2);
}

TEST_F(Session, CoefficientGenerationPostsOneStateNumberPerCall)
{
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(session->ParameterThread().Run([&] { return Effect()->GenerateCoefficients(); }), AAX_SUCCESS);
  const auto packets = session->Controller().Packets();
  ASSERT_EQ(packets.size(), 3u);
  for (int64_t i = 0; i < 3; ++i)
  {
    EXPECT_EQ(packets[static_cast<size_t>(i)].field, 25);
    ASSERT_EQ(packets[static_cast<size_t>(i)].payload.size(), 8u);
    int64_t number = -1;
    std::memcpy(&number, packets[static_cast<size_t>(i)].payload.data(), 8);
    EXPECT_EQ(number, i);
  }
  // The host carries the newest number into the context before the next render.
  Render(Sine(16, 100, 0.1), Sine(16, 100, 0.1));
  int64_t current = -1;
  std::memcpy(&current, session->Context().PortData(25), 8);
  EXPECT_EQ(current, 2);

  // An editor-style request is answered on the parameter thread with an update and the next
  // state number.
  EXPECT_EQ(session->RequestParameter("2", 0.25), AAX_SUCCESS);
  session->SettleParameters();
  EXPECT_DOUBLE_EQ(StoredValues().at(1), -5.0);
  EXPECT_EQ(session->Controller().Packets().size(), 4u);
}

// The module is prepared for 512 frames; a longer host block runs in pieces of 512 that sound
// exactly like the same frames sent block by block (no reset, no break in the smoothers).
TEST_F(Session, ALongerBlockThanPreparedRendersAsOneContinuousSignal)
{
  ASSERT_EQ(Update("4", 0.0), AAX_SUCCESS);  // Output to -15 dB: its smoother glides from 0 dB
  const auto left = Sine(256 + 1300, 440, 0.3);
  const auto right = Sine(256 + 1300, 300, 0.2);
  const auto first = Render({left.begin(), left.begin() + 256}, {right.begin(), right.begin() + 256});
  const auto second = Render({left.begin() + 256, left.end()}, {right.begin() + 256, right.end()});

  reference::Settings settings;
  settings.outputDb = -15.0;
  std::vector<double> expectedLeft, expectedRight;
  reference::Render(settings, kRate, reference::kNoReset, left, right, expectedLeft, expectedRight);
  double worst = 0.0;
  for (size_t i = 0; i < left.size(); ++i)
  {
    const auto& block = i < 256 ? first : second;
    const size_t at = i < 256 ? i : i - 256;
    worst = std::max({worst, std::fabs(block[0][at] - expectedLeft[i]), std::fabs(block[1][at] - expectedRight[i])});
  }
  EXPECT_LT(worst, 1e-6);
}

// A host may render a context after uninitialising the instance (and before releasing it): the
// parameters are gone then, the master bypass with them, and the block must touch neither them
// nor the host's buffers.
TEST_F(Session, RenderingAfterUninitialiseTouchesNothingAndReinitialisingWorks)
{
  ASSERT_EQ(Update("", 1.0), AAX_SUCCESS);
  const std::vector<float> silence(64, 0.0f);
  Render(silence, silence);
  ASSERT_EQ(session->UIThread().Run([&] { return session->Instance().Uninitialize(); }), AAX_SUCCESS);

  for (const auto& channel : Render(Sine(64, 440, 0.5), Sine(64, 440, 0.5)))
    for (float sample : channel)
      ASSERT_EQ(sample, 9.0f) << "no controller, no channels: the host's buffers stay as they were";

  ASSERT_EQ(session->UIThread().Run([&] { return session->Instance().Initialize(); }), AAX_SUCCESS);
  const auto in = Sine(64, 440, 0.5);
  const auto out = Render(in, in);
  std::vector<double> expected, unused;
  reference::Render({}, kRate, reference::kNoReset, in, in, expected, unused);
  for (size_t i = 0; i < in.size(); ++i)
    ASSERT_NEAR(out[0][i], expected[i], 1e-6) << i << ": a fresh start at the defaults, master bypass off";
}

TEST_F(Session, MasterBypassGivesTheInputDelayedByTheReportedLatency)
{
  ASSERT_EQ(Update("5", 1.0), AAX_SUCCESS);  // oversampling on: 64 samples of latency
  Render(Sine(512, 220, 0.5), Sine(512, 330, 0.5));
  EXPECT_EQ(session->Latency(), 64);
  EXPECT_EQ(session->Controller().Latencies(), std::vector<int32_t>{64});

  ASSERT_EQ(Update("", 1.0), AAX_SUCCESS);
  const auto left = Sine(512, 220, 0.5, 512);
  const auto right = Sine(512, 330, 0.5, 512);
  const auto out = Render(left, right);
  for (size_t i = 0; i < 512; ++i)
  {
    ASSERT_EQ(out[0][i], i < 64 ? 0.0f : left[i - 64]) << i;
    ASSERT_EQ(out[1][i], i < 64 ? 0.0f : right[i - 64]) << i;
  }
  EXPECT_EQ(session->Latency(), 64) << "bypassed, the block routine does not run";
}

TEST_F(Session, ChunkRoundTripRestoresEveryParameterAndReportsEach)
{
  const std::vector<std::pair<const char*, double>> settings = {{"1", 0.9}, {"2", 0.1}, {"3", 0.65},
                                                                 {"4", 0.3}, {"5", 1.0}, {"6", 1.0}};
  for (const auto& [id, value] : settings)
    ASSERT_EQ(Update(id, value), AAX_SUCCESS);
  const auto chunk = session->GetChunk();
  ASSERT_EQ(chunk.size(), 60u);
  const auto stored = StoredValues();

  for (const auto& [id, value] : settings)
    ASSERT_EQ(Update(id, 0.5), AAX_SUCCESS);
  ASSERT_NE(StoredValues(), stored);

  auto& automation = session->Controller().Automation();
  automation.ClearEvents();
  EXPECT_EQ(session->SetChunk(chunk), AAX_SUCCESS);
  EXPECT_EQ(StoredValues(), stored);
  std::vector<std::string> reported;
  for (const auto& event : automation.Events())
    if (event.kind == "set")
      reported.push_back(event.paramID);
  EXPECT_EQ(reported, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  for (const auto& [id, value] : settings)
    EXPECT_NEAR(Normalized(id), value, 1e-12) << id << ": the host's answer came back";
  EXPECT_EQ(session->GetChunk(), chunk);
}

TEST_F(Session, ChunkIdentifiersAndIndices)
{
  AAX_CTypeID id = 1;
  EXPECT_EQ(Effect()->GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(Effect()->GetChunkIDFromIndex(-1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(Effect()->GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
  EXPECT_EQ(id, kStateChunk);
  EXPECT_EQ(Effect()->GetChunkIDFromIndex(0, nullptr), AAX_ERROR_NULL_ARGUMENT);
  int32_t count = 0;
  EXPECT_EQ(Effect()->GetNumberOfChunks(&count), AAX_SUCCESS);
  EXPECT_EQ(count, 1);

  uint32_t size = 7;
  EXPECT_EQ(Effect()->GetChunkSize(AAX_TypeID('x', 'x', 'x', 'x'), &size), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(Effect()->GetChunkSize(kStateChunk, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Effect()->GetChunkSize(kStateChunk, &size), AAX_SUCCESS);
  EXPECT_EQ(size, 60u);
  ChunkRecord record(60);
  EXPECT_EQ(Effect()->GetChunk(AAX_TypeID('x', 'x', 'x', 'x'), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  // The host's record holds its size: one that cannot take the state is refused, not overrun.
  for (int32_t recordSize : {59, 0, -1})
  {
    ChunkRecord small(recordSize);
    EXPECT_EQ(Effect()->GetChunk(kStateChunk, small.Get()), AAX_ERROR_INCORRECT_CHUNK_SIZE) << recordSize;
    EXPECT_EQ(small.Get()->fSize, recordSize) << "left as the host wrote it";
  }
  EXPECT_EQ(Effect()->GetChunk(kStateChunk, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Effect()->SetChunk(AAX_TypeID('x', 'x', 'x', 'x'), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
}

// The comparison reads only the host's record, and compares the parameter values where the
// state keeps them: after the 12-byte editor record.
TEST_F(Session, CompareActiveChunkStaysInsideTheRecordAndComparesTheStoredValues)
{
  ASSERT_EQ(Update("1", 0.8), AAX_SUCCESS);
  const auto chunk = session->GetChunk();
  auto compare = [&](ChunkRecord& record, AAX_CBoolean& equal) {
    return session->UIThread().Run([&] { return Effect()->CompareActiveChunk(record.Get(), &equal); });
  };

  ChunkRecord same(60);
  std::memcpy(same.Data(), chunk.data(), 60);
  AAX_CBoolean equal = 0;
  EXPECT_EQ(compare(same, equal), AAX_SUCCESS);
  EXPECT_EQ(equal, 1);

  // A different editor record alone does not make the state different.
  std::memset(same.Data(), 0x7F, kEditorRecordBytes);
  EXPECT_EQ(compare(same, equal), AAX_SUCCESS);
  EXPECT_EQ(equal, 1);

  // The current values laid out from byte 0 (where a reader that ignored the editor record would
  // look) are not this state.
  ChunkRecord shifted(60);
  std::memcpy(shifted.Data(), chunk.data() + kEditorRecordBytes, 48);
  EXPECT_EQ(compare(shifted, equal), AAX_SUCCESS);
  EXPECT_EQ(equal, 0);

  for (int32_t size : {59, 48, 12, 1, 0})
  {
    ChunkRecord shorter(size);
    std::memcpy(shorter.Data(), chunk.data(), static_cast<size_t>(size));
    equal = 1;
    EXPECT_EQ(compare(shorter, equal), AAX_SUCCESS) << size;
    EXPECT_EQ(equal, 0) << size << " bytes cannot hold the six values";
  }

  ASSERT_EQ(Update("1", 0.2), AAX_SUCCESS);
  ChunkRecord old(60);
  std::memcpy(old.Data(), chunk.data(), 60);
  EXPECT_EQ(compare(old, equal), AAX_SUCCESS);
  EXPECT_EQ(equal, 0) << "Gain moved since";

  ChunkRecord foreign(4, AAX_TypeID('x', 'x', 'x', 'x'));
  equal = 0;
  EXPECT_EQ(compare(foreign, equal), AAX_SUCCESS);
  EXPECT_EQ(equal, 1) << "another chunk is not ours to judge";

  ChunkRecord negative(-1, kStateChunk, 8);
  EXPECT_EQ(compare(negative, equal), AAX_ERROR_INCORRECT_CHUNK_SIZE);
  EXPECT_EQ(Effect()->CompareActiveChunk(nullptr, &equal), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Effect()->CompareActiveChunk(old.Get(), nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(Session, SetChunkWithBadRecordsNeverCrashesNorLeavesABadValue)
{
  struct Case
  {
    const char* what;
    int32_t size;
    size_t allocated;
    AAX_Result expected;
  };
  const Case cases[] = {
    {"negative size", -1, 8, AAX_ERROR_INCORRECT_CHUNK_SIZE},
    {"most negative size", INT32_MIN, 8, AAX_ERROR_INCORRECT_CHUNK_SIZE},
    {"absurd size", INT32_MAX, 64, AAX_ERROR_INCORRECT_CHUNK_SIZE},
    {"size past any state", (1 << 24) + 1, 64, AAX_ERROR_INCORRECT_CHUNK_SIZE},
    {"empty", 0, 0, AAX_SUCCESS},
    {"editor record only", 12, 12, AAX_SUCCESS},
  };
  const auto ranges = StoredValues();
  for (const Case& c : cases)
  {
    ChunkRecord record(c.size, kStateChunk, c.allocated);
    EXPECT_EQ(session->UIThread().Run([&] { return Effect()->SetChunk(kStateChunk, record.Get()); }), c.expected) << c.what;
  }
  EXPECT_EQ(session->UIThread().Run([&] { return Effect()->SetChunk(kStateChunk, nullptr); }), AAX_ERROR_NULL_ARGUMENT);

  // Random bytes of every size up to past a whole state: every value stays a number in its range.
  std::mt19937 random(20240611);
  const double lows[] = {-30, -10, -10, -15, 0, 0};
  const double highs[] = {30, 10, 10, 15, 1, 1};
  for (int32_t size = 1; size <= 80; ++size)
  {
    ChunkRecord record(size);
    for (int32_t i = 0; i < size; ++i)
      record.Data()[i] = static_cast<unsigned char>(random());
    ASSERT_EQ(session->UIThread().Run([&] { return Effect()->SetChunk(kStateChunk, record.Get()); }), AAX_SUCCESS);
    session->SettleParameters();
    const auto values = StoredValues();
    ASSERT_EQ(values.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
    {
      ASSERT_TRUE(std::isfinite(values[i])) << size;
      ASSERT_GE(values[i], lows[i]) << size;
      ASSERT_LE(values[i], highs[i]) << size;
    }
  }
  const auto out = Render(Sine(256, 1000, 0.5), Sine(256, 500, 0.5));
  for (const auto& channel : out)
    for (float sample : channel)
      ASSERT_TRUE(std::isfinite(sample));
}

// Host automation on the parameter thread while the audio thread renders without pause.
TEST_F(Session, AutomationDuringRenderingKeepsOutputFiniteAndEndsOnTheLastValues)
{
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::atomic<bool> allFinite{true};
  session->AudioThread().Post([&] {
    const auto left = Sine(64, 440, 0.9);
    const auto right = Sine(64, 660, 0.9);
    std::vector<float> outLeft(64), outRight(64);
    float* in[2] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
    float* out[2] = {outLeft.data(), outRight.data()};
    while (!stop.load())
    {
      session->RenderBlock(in, out, 64);
      for (size_t i = 0; i < 64; ++i)
        if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i]))
          allFinite = false;
      ++blocks;
    }
  });

  const char* ids[] = {"", "1", "2", "3", "4", "5", "6"};
  std::map<std::string, double> last;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 4000; ++i)
  {
    const char* id = ids[random() % 7];
    const double value = unit(random);
    last[id] = value;
    session->Automate(id, value);
  }
  // Whatever the seed draws, the two-valued parameters end between their thresholds: the master
  // bypass turns on above 0, the switches from 0.5.
  for (const char* id : {"", "5", "6"})
  {
    last[id] = 0.25;
    session->Automate(id, 0.25);
  }
  session->SettleParameters();
  // Let the audio thread see the final values for a while.
  const long seen = blocks.load();
  while (blocks.load() < seen + 20)
    std::this_thread::yield();
  stop = true;
  session->AudioThread().WaitIdle();

  EXPECT_TRUE(allFinite.load());
  EXPECT_GT(blocks.load(), 20);
  const auto stored = StoredValues();
  for (const auto& [id, value] : last)
  {
    if (id.empty())
      EXPECT_DOUBLE_EQ(Normalized(id.c_str()), value > 0.0 ? 1.0 : 0.0) << "master bypass";
    else if (id == "5" || id == "6")
      EXPECT_DOUBLE_EQ(Normalized(id.c_str()), value >= 0.5 ? 1.0 : 0.0) << id;
    else
      EXPECT_NEAR(Normalized(id.c_str()), value, 1e-12) << id;
  }
  ASSERT_TRUE(last.count("1") && last.count("3"));
  EXPECT_NEAR(stored[0], -30.0 + 60.0 * last["1"], 1e-9);
  EXPECT_NEAR(stored[2], -10.0 + 20.0 * last["3"], 1e-9);
}

TEST_F(Session, RenderProcedureAllocatesNothingForAPreparedBlockSize)
{
  ASSERT_EQ(Update("5", 1.0), AAX_SUCCESS);
  ASSERT_EQ(Update("1", 0.7), AAX_SUCCESS);
  auto& context = session->Context();
  const auto left = Sine(4096, 440, 0.5);
  const auto right = Sine(4096, 220, 0.5);
  // Warm up: the latency and the first writer-lock use settle here.
  Render({left.begin(), left.begin() + 512}, {right.begin(), right.begin() + 512});
  Render({left.begin(), left.begin() + 512}, {right.begin(), right.begin() + 512});

  // Host blocks up to the prepared 512 frames and far beyond it.
  auto countRender = [&](int32_t frames) {
    return session->AudioThread().Run([&] {
      std::vector<float> outLeft(4096), outRight(4096);
      float* in[2] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
      float* out[2] = {outLeft.data(), outRight.data()};
      // The host's own bookkeeping (posted packets) happens before the procedure is called.
      session->DeliverPackets();
      // The first block at a new size counts too: that is where a frame would grow.
      test::AllocationCounter counter;
      context.Render(in, out, frames);  // points the context at this call's buffers and renders
      void* instance = const_cast<void*>(static_cast<const void*>(context.Fields()));
      void* const instances[1] = {instance};
      for (int i = 0; i < 8; ++i)
        context.Procedure()(instances, instances + 1);
      return counter.Count();
    });
  };
  for (int32_t frames : {512, 1, 4096, 513})
    EXPECT_EQ(countRender(frames), 0) << frames << " frames";
  // Automation between blocks (new state numbers, new values) changes nothing about that.
  ASSERT_EQ(Update("2", 0.9), AAX_SUCCESS);
  ASSERT_EQ(session->ParameterThread().Run([&] { return Effect()->GenerateCoefficients(); }), AAX_SUCCESS);
  EXPECT_EQ(countRender(512), 0);

  // The counter sees what the module allocates: writing the state does.
  const long stateAllocations = session->AudioThread().Run([&] {
    test::AllocationCounter counter;
    uint32_t size = 0;
    Effect()->GetChunkSize(kStateChunk, &size);
    return counter.Count();
  });
  EXPECT_GT(stateAllocations, 0);
}

TEST_F(Session, MonoComponentHasOneHostChannelEachWay)
{
  session.reset();
  session = std::make_unique<HostSession>(Options(0));
  EXPECT_EQ(session->Context().InputChannels(), 1);
  EXPECT_EQ(session->Context().OutputChannels(), 1);
  const auto in = Sine(300, 250, 0.6);
  std::vector<float> out(300, 9.0f);
  session->AudioThread().Run([&] {
    float* ins[1] = {const_cast<float*>(in.data())};
    float* outs[1] = {out.data()};
    session->RenderBlock(ins, outs, 300);
  });
  std::vector<double> expected, right;
  reference::Render({}, kRate, reference::kNoReset, in, std::vector<float>(300, 0.0f), expected, right);
  for (size_t i = 0; i < 300; ++i)
    ASSERT_NEAR(out[i], expected[i], 1e-6) << i;
}

// The tone filters and smoothers are designed from the sample rate: the module must agree with
// the plain chain at every rate a host runs, not only at 48 kHz.
TEST(SessionRates, TheModuleMatchesTheReferenceChainAtEveryRate)
{
  for (const double rate : {22050.0, 44100.0, 88200.0, 96000.0, 192000.0})
  {
    for (const bool oversampling : {false, true})
    {
      SCOPED_TRACE(std::to_string(rate) + (oversampling ? " Hz, oversampled" : " Hz"));
      HostSession::Options options;
      options.modulePath = CORVANE_MODULE_PATH;
      options.sampleRate = rate;
      HostSession session(options);
      const std::pair<const char*, double> settings[] = {
        {"1", 0.7}, {"2", 0.3}, {"3", 0.8}, {"4", 0.4}, {"5", oversampling ? 1.0 : 0.0}};
      for (const auto& [id, value] : settings)
        ASSERT_EQ(session.ParameterThread().Run([&, id = id, value = value] {
          return session.Instance().Effect()->UpdateParameterNormalizedValue(id, value, AAX_eUpdateSource_Parameter);
        }), AAX_SUCCESS);

      const size_t frames = 3000;
      std::vector<float> left(frames), right(frames);
      for (size_t i = 0; i < frames; ++i)
      {
        const double t = static_cast<double>(i) / rate;
        left[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * 220.0 * t) + 0.2 * std::sin(2.0 * M_PI * 5000.0 * t));
        right[i] = static_cast<float>(0.4 * std::sin(2.0 * M_PI * 90.0 * t));
      }
      std::vector<float> outLeft(frames), outRight(frames);
      session.AudioThread().Run([&] {
        for (size_t at = 0; at < frames; at += 500)
        {
          float* in[2] = {left.data() + at, right.data() + at};
          float* out[2] = {outLeft.data() + at, outRight.data() + at};
          session.RenderBlock(in, out, 500);
        }
      });

      reference::Settings expected;
      expected.gainDb = 12.0;
      expected.low = -4.0;
      expected.high = 6.0;
      expected.outputDb = -3.0;
      expected.oversampling = oversampling;
      std::vector<double> expectedLeft, expectedRight;
      reference::Render(expected, rate, reference::kNoReset, left, right, expectedLeft, expectedRight);
      double worst = 0.0;
      for (size_t i = 0; i < frames; ++i)
        worst = std::max({worst, std::fabs(outLeft[i] - expectedLeft[i]), std::fabs(outRight[i] - expectedRight[i])});
      EXPECT_LT(worst, 1e-6);
    }
  }
}

TEST(HostTransport, TicksFollowTheSamplesAndWrapInsideTheLoop)
{
  using aaxhost::HostTransport;
  EXPECT_EQ(HostTransport::TicksForSamples(48000, 120.0, 48000.0), 2 * 960000);
  EXPECT_EQ(HostTransport::TicksForSamples(441, 60.0, 44100.0), 9600);
  EXPECT_EQ(HostTransport::TicksForSamples(100, 0.0, 48000.0), 0);
  EXPECT_EQ(HostTransport::TicksForSamples(100, 120.0, std::nan("")), 0);

  aaxhost::HostRef<HostTransport> transport(new HostTransport());
  HostTransport::State state;
  state.playing = true;
  state.tempo = 120.0;
  state.tickPosition = 0;
  state.looping = true;
  state.loopStartTick = 960000;
  state.loopEndTick = 3840000;
  transport->SetState(state);
  transport->Advance(48000, 48000.0);  // two beats: 1 920 000 ticks
  EXPECT_EQ(transport->GetState().tickPosition, 1920000);
  transport->Advance(48000, 48000.0);  // to 3 840 000, the loop's end: back to its start
  EXPECT_EQ(transport->GetState().tickPosition, 960000);
  transport->Advance(36000, 48000.0);  // one and a half beats on
  EXPECT_EQ(transport->GetState().tickPosition, 2400000);
  EXPECT_EQ(transport->GetState().sampleLocation, 132000);

  state.playing = false;
  transport->SetState(state);
  transport->Advance(1000, 48000.0);
  EXPECT_EQ(transport->GetState().tickPosition, 0) << "stopped: only the sample location moves";
  EXPECT_EQ(transport->GetState().sampleLocation, 1000);
}

} // namespace
