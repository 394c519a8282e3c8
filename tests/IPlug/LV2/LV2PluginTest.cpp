#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <memory>
#include <vector>

#include "ByteChunk.h"
#include "Corvane.h"
#include "LV2Host.h"
#include "support/AllocationCounter.h"
#include "support/ProcessingRig.h"

using namespace lv2test;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void FillSignal(Instance& inst, int channels)
{
  for (int ch = 0; ch < channels; ++ch)
  {
    auto& in = inst.In(ch);
    for (size_t i = 0; i < in.size(); ++i)
      in[i] = static_cast<float>(0.6 * std::sin(0.013 * static_cast<double>(i) * (ch + 1)) +
                                 0.2 * std::sin(0.31 * static_cast<double>(i)));
  }
}

struct Settings
{
  float gain = 0.f, low = 0.f, high = 0.f, output = 0.f, oversampling = 0.f, bypass = 0.f;
};

std::array<float, kParamPorts> Values(const Settings& s)
{
  return {s.gain, s.low, s.high, s.output, s.oversampling, s.bypass};
}

void Apply(Instance& inst, const Settings& s)
{
  inst.Control(kGain) = s.gain;
  inst.Control(kLowGain) = s.low;
  inst.Control(kHighGain) = s.high;
  inst.Control(kOutputLevel) = s.output;
  inst.Control(kOversampling) = s.oversampling;
  inst.Control(kBypass) = s.bypass;
}

double MaxDifference(const std::vector<float>& a, const std::vector<float>& b)
{
  double worst = a.size() == b.size() ? 0.0 : INFINITY;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    worst = std::max(worst, std::fabs(static_cast<double>(a[i]) - b[i]));
  return worst;
}

class LV2Plugin : public ::testing::Test
{
protected:
  Module module;
  void SetUp() override { ASSERT_TRUE(module.Loaded()) << dlerror(); }
};

} // namespace

TEST_F(LV2Plugin, ExportsTheMonoAndStereoPluginsWithTheStateInterface)
{
  ASSERT_NE(module.Descriptor(0), nullptr);
  ASSERT_NE(module.Descriptor(1), nullptr);
  EXPECT_STREQ(module.Descriptor(0)->URI, kMonoURI);
  EXPECT_STREQ(module.Descriptor(1)->URI, kStereoURI);
  EXPECT_EQ(module.Descriptor(2), nullptr);
  EXPECT_NE(module.Descriptor(1)->extension_data(LV2_STATE__interface), nullptr);
  EXPECT_EQ(module.Descriptor(1)->extension_data("http://example.org/none"), nullptr);
}

// The same settings through the LV2 ports and through the framework's own parameter path (as the
// AAX adapter drives it) give the same samples, including a change in the middle that the
// smoothers glide through.
TEST_F(LV2Plugin, RendersWhatTheAAXBuildRendersAtTheSameSettings)
{
  struct Case
  {
    const char* name;
    Settings first;
    Settings second;
  };
  const Case cases[] = {
    {"defaults", {}, {}},
    {"drive oversampled", {24.f, 0.f, 0.f, 0.f, 1.f, 0.f}, {6.f, 0.f, 0.f, -3.f, 1.f, 0.f}},
    {"tone", {0.f, -8.f, 7.f, 0.f, 0.f, 0.f}, {12.f, 3.f, -2.f, 4.5f, 0.f, 0.f}},
    {"bypass parameter", {0.f, 0.f, 0.f, 0.f, 1.f, 1.f}, {0.f, 0.f, 0.f, 0.f, 1.f, 0.f}},
  };
  constexpr int kFrames = 8192;
  constexpr int kBlock = 512;
  for (const Case& c : cases)
  {
    Instance lv2(module, 2, {}, kFrames);
    ASSERT_TRUE(lv2.Valid());
    FillSignal(lv2, 2);

    std::unique_ptr<Corvane> aax(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
    ProcessingRig rig(*aax, 2, 2);
    rig.Prepare(kBlock);
    std::vector<std::vector<float>> aaxOut(2, std::vector<float>(kFrames));
    for (int half = 0; half < 2; ++half)
    {
      const Settings& s = half == 0 ? c.first : c.second;
      Apply(lv2, s);
      const auto v = Values(s);
      for (int p = 0; p < kParamPorts; ++p)
      {
        iplug::IParam* param = aax->GetParam(p);
        param->SetNormalizedValue(param->ToNormalized(v[static_cast<size_t>(p)]));
        aax->OnParamChange(p, iplug::kHost, -1);
      }
      const int start = half * kFrames / 2;
      for (int at = start; at < start + kFrames / 2; at += kBlock)
      {
        lv2.Run(kBlock, static_cast<uint32_t>(at));
        std::vector<std::vector<float>> in(2), out(2);
        for (int ch = 0; ch < 2; ++ch)
          in[static_cast<size_t>(ch)].assign(lv2.In(ch).begin() + at, lv2.In(ch).begin() + at + kBlock);
        rig.Render(in, out, kBlock);
        for (int ch = 0; ch < 2; ++ch)
          std::copy(out[static_cast<size_t>(ch)].begin(), out[static_cast<size_t>(ch)].end(),
                    aaxOut[static_cast<size_t>(ch)].begin() + at);
      }
    }
    for (int ch = 0; ch < 2; ++ch)
      EXPECT_EQ(MaxDifference(lv2.Out(ch), aaxOut[static_cast<size_t>(ch)]), 0.0) << c.name << " channel " << ch;
  }
}

TEST_F(LV2Plugin, LatencyPortFollowsOversamplingAndTheBypassParameter)
{
  Instance inst(module, 2);
  ASSERT_TRUE(inst.Valid());
  // A run of no frames (how hosts ask for the latency before audio flows) reports it as well.
  const struct
  {
    float oversampling;
    float bypass;
    uint32_t frames;
    float latency;
  } steps[] = {{0.f, 0.f, 0, 0.f},  {1.f, 0.f, 0, 64.f}, {1.f, 0.f, 256, 64.f}, {1.f, 1.f, 256, 0.f},
               {1.f, 0.f, 0, 64.f}, {0.f, 0.f, 256, 0.f}};
  for (const auto& step : steps)
  {
    inst.Control(kOversampling) = step.oversampling;
    inst.Control(kBypass) = step.bypass;
    inst.Run(step.frames);
    EXPECT_EQ(inst.Latency(), step.latency)
      << "oversampling " << step.oversampling << " bypass " << step.bypass << " frames " << step.frames;
  }
}

// The host's bypass passes the input through untouched, delayed by the latency in force, which
// it keeps reporting so the host's compensation does not move.
TEST_F(LV2Plugin, HostBypassIsBitExactAndKeepsTheLatency)
{
  for (float oversampling : {0.f, 1.f})
  {
    Instance inst(module, 2, {}, 4096);
    ASSERT_TRUE(inst.Valid());
    FillSignal(inst, 2);
    inst.Control(kGain) = 18.f;
    inst.Control(kOversampling) = oversampling;
    inst.Run(64);  // the latency settles
    inst.Enabled() = 0.f;
    for (uint32_t at = 0; at < 4096; at += 300)
      inst.Run(std::min<uint32_t>(300, 4096 - at), at);
    const size_t delay = oversampling == 1.f ? 64 : 0;
    EXPECT_EQ(inst.Latency(), static_cast<float>(delay));
    for (int ch = 0; ch < 2; ++ch)
    {
      for (size_t i = 0; i < 4096; ++i)
      {
        const float expected = i >= delay ? inst.In(ch)[i - delay] : 0.f;
        ASSERT_EQ(inst.Out(ch)[i], expected) << "oversampling " << oversampling << " channel " << ch << " frame " << i;
      }
    }
  }
}

// Runs longer than the prepared block (announced or not) are rendered in pieces: the output is
// the same as one rendered in small runs.
TEST_F(LV2Plugin, LongRunsRenderInPiecesLikeShortOnes)
{
  constexpr int kFrames = 6000;
  Instance reference(module, 2, {}, kFrames);
  ASSERT_TRUE(reference.Valid());
  FillSignal(reference, 2);
  Apply(reference, {20.f, -3.f, 4.f, 0.f, 1.f, 0.f});
  reference.RenderAll(100);

  const struct
  {
    const char* name;
    HostOptions options;
    uint32_t run;
  } cases[] = {
    {"no options, one run of 6000", {}, kFrames},
    {"maximum 64 announced, runs of 1000", {true, 64}, 1000},
    {"maximum 4096 announced, runs of 4096", {true, 4096}, 4096},
    {"no URID map, runs of 777", {false, 0}, 777},
  };
  for (const auto& c : cases)
  {
    Instance inst(module, 2, c.options, kFrames);
    ASSERT_TRUE(inst.Valid()) << c.name;
    FillSignal(inst, 2);
    Apply(inst, {20.f, -3.f, 4.f, 0.f, 1.f, 0.f});
    inst.RenderAll(c.run);
    for (int ch = 0; ch < 2; ++ch)
      EXPECT_EQ(MaxDifference(inst.Out(ch), reference.Out(ch)), 0.0) << c.name;
  }
}

TEST_F(LV2Plugin, MonoPluginRendersTheLeftChannelOfTheStereoOne)
{
  Instance mono(module, 1, {}, 4096);
  Instance stereo(module, 2, {}, 4096);
  ASSERT_TRUE(mono.Valid() && stereo.Valid());
  FillSignal(stereo, 2);
  mono.In(0) = stereo.In(0);
  for (Instance* inst : {&mono, &stereo})
  {
    Apply(*inst, {12.f, 2.f, -4.f, 1.f, 1.f, 0.f});
    inst->RenderAll(512);
  }
  EXPECT_EQ(MaxDifference(mono.Out(0), stereo.Out(0)), 0.0);
  EXPECT_EQ(mono.Latency(), 64.f);
}

TEST_F(LV2Plugin, RunNeverAllocates)
{
  Instance inst(module, 2, {true, 256}, 4096);
  ASSERT_TRUE(inst.Valid());
  FillSignal(inst, 2);
  {
    // The counter sees allocations made inside the module: building an instance makes some.
    test::AllocationCounter counter;
    Instance other(module, 2);
    ASSERT_GT(counter.Count(), 0);
  }
  inst.Control(kGain) = 6.f;
  inst.Run(256);

  test::AllocationCounter counter;
  // Parameter changes, latency changes both ways, the host's bypass, runs longer than announced.
  const struct
  {
    float oversampling;
    float bypass;
    float enabled;
    uint32_t frames;
  } runs[] = {{1.f, 0.f, 1.f, 256}, {1.f, 0.f, 0.f, 1}, {0.f, 0.f, 1.f, 4000}, {1.f, 1.f, 1.f, 17},
              {1.f, 0.f, 0.f, 2048}, {0.f, 0.f, 1.f, 0}, {1.f, 0.f, 1.f, 3333}};
  float gain = -12.f;
  for (const auto& r : runs)
  {
    inst.Control(kGain) = gain += 5.f;
    inst.Control(kOversampling) = r.oversampling;
    inst.Control(kBypass) = r.bypass;
    inst.Enabled() = r.enabled;
    inst.Run(r.frames);
  }
  EXPECT_EQ(counter.Count(), 0);
}

// What a careless host may do, against a reference instance that a careful host ran.
TEST_F(LV2Plugin, BadHostInputNeitherCrashesNorReachesTheModel)
{
  constexpr uint32_t kFrames = 2048;
  const Settings driven{24.f, 0.f, 0.f, 0.f, 1.f, 0.f};
  Instance reference(module, 2, {}, kFrames);
  ASSERT_TRUE(reference.Valid());
  FillSignal(reference, 2);
  Apply(reference, driven);
  reference.RenderAll(512);

  const struct
  {
    const char* name;
    void (*spoil)(Instance&);  // after the first run
  } cases[] = {
    {"NaN gain", [](Instance& i) { i.Control(kGain) = kNaN; }},
    {"infinite gain", [](Instance& i) { i.Control(kGain) = INFINITY; }},
    {"NaN oversampling", [](Instance& i) { i.Control(kOversampling) = kNaN; }},
    {"NaN enable switch", [](Instance& i) { i.Enabled() = kNaN; }},
    {"gain port disconnected", [](Instance& i) {
       i.Control(kGain) = -30.f;
       i.Descriptor()->connect_port(i.Handle(), kGain, nullptr);
     }},
    {"enable port disconnected", [](Instance& i) { i.Descriptor()->connect_port(i.Handle(), kEnabledPort, nullptr); }},
    {"latency port disconnected", [](Instance& i) { i.Descriptor()->connect_port(i.Handle(), kLatencyPort, nullptr); }},
    {"port index past the last", [](Instance& i) {
       // The plug-in must not keep these: junk is gone before the next run.
       float junk = 5.f;
       i.Descriptor()->connect_port(i.Handle(), kStereoPortCount, &junk);
       i.Descriptor()->connect_port(i.Handle(), 0xFFFFFFFFu, &junk);
     }},
  };
  for (const auto& c : cases)
  {
    Instance inst(module, 2, {}, kFrames);
    ASSERT_TRUE(inst.Valid());
    FillSignal(inst, 2);
    Apply(inst, driven);
    inst.Run(512, 0);
    c.spoil(inst);
    for (uint32_t at = 512; at < kFrames; at += 512)
    {
      inst.Run(512, at);
    }
    for (int ch = 0; ch < 2; ++ch)
      EXPECT_EQ(MaxDifference(inst.Out(ch), reference.Out(ch)), 0.0) << c.name;
  }
}

TEST_F(LV2Plugin, NullAudioPortsReadAsSilenceAndAreSkipped)
{
  Instance inst(module, 2, {}, 1024);
  ASSERT_TRUE(inst.Valid());
  FillSignal(inst, 2);
  inst.Control(kGain) = 12.f;
  inst.Descriptor()->connect_port(inst.Handle(), inst.AudioIn(0), nullptr);
  inst.Descriptor()->connect_port(inst.Handle(), inst.AudioOut(1), nullptr);
  std::fill(inst.Out(1).begin(), inst.Out(1).end(), 7.f);
  inst.Descriptor()->run(inst.Handle(), 1024);
  for (float s : inst.Out(0))
    ASSERT_LT(std::fabs(s), 1e-6f);  // silence in, (next to) silence out
  for (float s : inst.Out(1))
    ASSERT_EQ(s, 7.f);  // never written

  // Every port disconnected: the run still completes.
  for (uint32_t port = 0; port < 14; ++port)
    inst.Descriptor()->connect_port(inst.Handle(), port, nullptr);
  inst.Descriptor()->run(inst.Handle(), 4096);
}

TEST_F(LV2Plugin, InstantiationRefusesSampleRatesItCannotRunAt)
{
  for (double rate : {0.0, -48000.0, std::nan(""), std::numeric_limits<double>::infinity()})
  {
    HostOptions options;
    options.sampleRate = rate;
    Instance inst(module, 2, options);
    EXPECT_FALSE(inst.Valid()) << rate;
  }
  HostOptions options;
  options.sampleRate = 96000.0;
  EXPECT_TRUE(Instance(module, 1, options).Valid());
}

// ---- State --------------------------------------------------------------------------------

namespace {

StateRecord Save(Instance& inst)
{
  StateRecord record;
  EXPECT_EQ(inst.State()->save(inst.Handle(), StateRecord::Store, &record, 0, nullptr), LV2_STATE_SUCCESS);
  return record;
}

// Makes a record another instance's map understands, as a host's state store does.
StateRecord For(Instance& to, StateRecord record)
{
  record.key = to.Map().Map(kStateKey);
  record.type = to.Map().Map(LV2_ATOM__Chunk);
  return record;
}

} // namespace

TEST_F(LV2Plugin, StateRestoresTheSameRenderAndIsTheAAXChunk)
{
  const Settings tone{3.5f, -8.f, 7.f, -2.f, 1.f, 0.f};
  Instance saved(module, 2, {}, 4096);
  ASSERT_TRUE(saved.Valid());
  Apply(saved, tone);
  saved.Run(1);
  const StateRecord record = Save(saved);
  EXPECT_EQ(record.key, saved.Map().Map(kStateKey));
  EXPECT_EQ(record.type, saved.Map().Map(LV2_ATOM__Chunk));
  EXPECT_EQ(record.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  ASSERT_EQ(record.bytes.size(), 60u);

  // The AAX build's state at the same settings is the same bytes, and reads back to them.
  std::unique_ptr<Corvane> aax(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  const auto v = Values(tone);
  for (int p = 0; p < kParamPorts; ++p)
    aax->GetParam(p)->SetNormalizedValue(aax->GetParam(p)->ToNormalized(v[static_cast<size_t>(p)]));
  iplug::ByteChunk aaxState;
  ASSERT_TRUE(aax->WriteState(aaxState));
  ASSERT_EQ(aaxState.Size(), 60);
  EXPECT_EQ(std::vector<uint8_t>(aaxState.GetData(), aaxState.GetData() + 60), record.bytes);

  // Restored into an instance whose ports stay at the defaults: the state's values stand.
  Instance restored(module, 2, {}, 4096);
  ASSERT_TRUE(restored.Valid());
  restored.Run(1);
  StateRecord transfer = For(restored, record);
  ASSERT_EQ(restored.State()->restore(restored.Handle(), StateRecord::Retrieve, &transfer, 0, nullptr),
            LV2_STATE_SUCCESS);
  FillSignal(saved, 2);
  FillSignal(restored, 2);
  saved.Descriptor()->activate(saved.Handle());
  restored.Descriptor()->activate(restored.Handle());
  saved.RenderAll(512);
  restored.RenderAll(512);
  // Not bit for bit: the tone filters keep their state through activation, and the one frame
  // each instance ran before (silence and the denormal guard) went through other settings.
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_LT(MaxDifference(restored.Out(ch), saved.Out(ch)), 1e-12);
  EXPECT_EQ(restored.Latency(), 64.f);

  // A later move of a control still reaches the model (the ports still hold the defaults).
  restored.Control(kBypass) = 1.f;
  restored.Run(64);
  EXPECT_EQ(restored.Latency(), 0.f);
}

TEST_F(LV2Plugin, BadStatesAreRefusedAndChangeNothing)
{
  Instance inst(module, 2);
  ASSERT_TRUE(inst.Valid());
  Apply(inst, {9.f, 1.f, 2.f, 3.f, 1.f, 0.f});
  inst.Run(1);
  const StateRecord before = Save(inst);

  Instance other(module, 2);
  Apply(other, {-9.f, -1.f, -2.f, -3.f, 0.f, 1.f});
  other.Run(1);
  const StateRecord valid = For(inst, Save(other));

  StateRecord wrongType = valid;
  wrongType.type = inst.Map().Map(LV2_ATOM__Int);
  StateRecord shortRecord = valid;
  shortRecord.bytes.resize(59);
  StateRecord empty = valid;
  empty.bytes.clear();
  StateRecord missing = valid;
  missing.stored = false;
  StateRecord otherKey = valid;
  otherKey.key = inst.Map().Map("http://example.org/other");

  const struct
  {
    const char* name;
    StateRecord record;
    LV2_State_Status expected;
  } cases[] = {
    {"wrong type", wrongType, LV2_STATE_ERR_BAD_TYPE},
    {"59 bytes", shortRecord, LV2_STATE_ERR_UNKNOWN},
    {"no bytes", empty, LV2_STATE_ERR_UNKNOWN},
    {"no property", missing, LV2_STATE_ERR_NO_PROPERTY},
    {"another key", otherKey, LV2_STATE_ERR_NO_PROPERTY},
  };
  for (auto c : cases)
  {
    EXPECT_EQ(inst.State()->restore(inst.Handle(), StateRecord::Retrieve, &c.record, 0, nullptr), c.expected) << c.name;
    EXPECT_EQ(Save(inst).bytes, before.bytes) << c.name;
  }
  EXPECT_EQ(inst.State()->restore(inst.Handle(), nullptr, nullptr, 0, nullptr), LV2_STATE_ERR_UNKNOWN);

  // A stored NaN restores that parameter's default; the others take their stored values.
  StateRecord withNaN = valid;
  const double nan = std::nan("");
  std::memcpy(withNaN.bytes.data() + 12, &nan, sizeof(nan));  // Gain, after the editor record
  ASSERT_EQ(inst.State()->restore(inst.Handle(), StateRecord::Retrieve, &withNaN, 0, nullptr), LV2_STATE_SUCCESS);
  StateRecord expected = valid;
  const double gainDefault = 0.0;
  std::memcpy(expected.bytes.data() + 12, &gainDefault, sizeof(gainDefault));
  EXPECT_EQ(Save(inst).bytes, expected.bytes);

  // Without a URID map the plug-in cannot name its state.
  Instance unmapped(module, 2, {false, 0});
  ASSERT_TRUE(unmapped.Valid());
  StateRecord record;
  EXPECT_EQ(unmapped.State()->save(unmapped.Handle(), StateRecord::Store, &record, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_FALSE(record.stored);
}
