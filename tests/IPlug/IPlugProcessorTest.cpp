#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "IPlugProcessor.h"
#include "support/AllocationCounter.h"

using namespace iplug;

namespace {

ConfigRecord Record(const char* channelText, int latency = 0)
{
  ConfigRecord config;
  config.channelIOStr = channelText;
  config.latency = latency;
  return config;
}

// A block routine that remembers what it was handed and writes a recognisable value per output
// channel: 10 * channel + 0.1 + frame.
class RecordingProcessor : public IPlugProcessor
{
public:
  using IPlugProcessor::IPlugProcessor;

  void RenderBlock(sample** inputs, sample** outputs, int nFrames) override
  {
    seenInputs.assign(inputs, inputs + ChannelCount(kInput));
    seenOutputs.assign(outputs, outputs + ChannelCount(kOutput));
    seenInputValues.clear();
    for (int ch = 0; ch < ChannelCount(kInput); ++ch)
      seenInputValues.emplace_back(inputs[ch], inputs[ch] + nFrames);
    seenFrames = nFrames;
    for (int ch = 0; ch < ChannelCount(kOutput); ++ch)
      for (int s = 0; s < nFrames; ++s)
        outputs[ch][s] = 10.0 * ch + 0.1 + s;
  }

  std::vector<sample*> seenInputs, seenOutputs;
  std::vector<std::vector<sample>> seenInputValues;
  int seenFrames = -1;
};

// Host-side buffers for one block: one float vector per channel and the pointer array the
// adapter would hand over.
struct HostBuffers
{
  HostBuffers(int nChans, int nFrames, float fill = 0.0f)
    : data(static_cast<size_t>(nChans), std::vector<float>(static_cast<size_t>(nFrames), fill))
  {
    for (auto& channel : data)
      ptrs.push_back(channel.data());
  }
  std::vector<std::vector<float>> data;
  std::vector<float*> ptrs;
};

// Connects and attaches nIn inputs and nOut outputs the way the adapter does for one block.
void AttachBlock(IPlugProcessor& p, HostBuffers& in, HostBuffers& out, int nFrames)
{
  const int nIn = static_cast<int>(in.ptrs.size());
  const int nOut = static_cast<int>(out.ptrs.size());
  p.ConnectChannels(kInput, 0, nIn, true);
  p.ConnectChannels(kInput, nIn, p.ChannelCount(kInput) - nIn, false);
  p.AttachHostBuffers(kInput, 0, nIn, in.ptrs.data(), nFrames);
  p.ConnectChannels(kOutput, 0, nOut, true);
  p.ConnectChannels(kOutput, nOut, p.ChannelCount(kOutput) - nOut, false);
  p.AttachHostBuffers(kOutput, 0, nOut, out.ptrs.data(), nFrames);
}

} // namespace

TEST(IPlugProcessor, StartsFromTheRecord)
{
  ConfigRecord config = Record("1-1 2-2", 64);
  config.plugType = 0;
  config.plugDoesMidiIn = true;
  IPlugProcessor p(config);
  EXPECT_EQ(p.GetLatency(), 64);
  EXPECT_TRUE(p.DoesMidiIn());
  EXPECT_FALSE(p.DoesMidiOut());
  EXPECT_EQ(p.GetSampleRate(), 48000.0);
  EXPECT_EQ(p.GetBlockSize(), 0);
  EXPECT_EQ(p.NIOConfigs(), 2);
  EXPECT_EQ(p.GetBypassDelayLine(), nullptr);

  const TimeInfo& t = p.GetTimeInfo();
  EXPECT_EQ(t.mTempo, 120.0);
  EXPECT_EQ(t.mSamplePos, -1.0);
  EXPECT_EQ(t.mPPQPos, -1.0);
  EXPECT_EQ(t.mLastBar, -1.0);
  EXPECT_EQ(t.mCycleStart, -1.0);
  EXPECT_EQ(t.mCycleEnd, -1.0);
  EXPECT_EQ(t.mNumerator, 4);
  EXPECT_EQ(t.mDenominator, 4);
  EXPECT_EQ(t.mTransportFlags, 0);
}

TEST(IPlugProcessor, MonoHostOnMonoOrStereoText)
{
  RecordingProcessor p(Record("1-1 2-2"));
  p.PrepareBlockSize(8);
  HostBuffers in(1, 8, 0.5f), out(1, 8, -7.0f);
  AttachBlock(p, in, out, 8);
  p.RunBlock(8);

  // The block routine still gets both channels; the missing ones stand on their scratch.
  ASSERT_EQ(p.seenInputs.size(), 2u);
  ASSERT_EQ(p.seenOutputs.size(), 2u);
  EXPECT_EQ(p.seenInputs[1], p.GetChannelData(kInput, 1)->mScratch.data());
  EXPECT_EQ(p.seenOutputs[1], p.GetChannelData(kOutput, 1)->mScratch.data());
  EXPECT_EQ(p.seenInputValues[0], std::vector<sample>(8, 0.5));
  EXPECT_EQ(p.seenInputValues[1], std::vector<sample>(8, 0.0)); // disconnected input is silence
  EXPECT_EQ(p.ConnectedChannelCount(kInput), 1);
  EXPECT_EQ(p.ConnectedChannelCount(kOutput), 1);

  // Only output 0 goes back to the host, narrowed without clipping.
  for (int s = 0; s < 8; ++s)
    EXPECT_EQ(out.data[0][static_cast<size_t>(s)], static_cast<float>(0.1 + s));
  EXPECT_EQ(p.GetChannelData(kOutput, 1)->mHostOutput, nullptr);
}

TEST(IPlugProcessor, ConversionRoundTripIsExact)
{
  IPlugProcessor p(Record("1-1 2-2"));
  const std::vector<float> values = {0.0f,    -0.0f,    0.1f,     -1.0f,   1.0f,    3.75f,
                                     FLT_MIN, -FLT_MAX, FLT_MAX,  1e-40f,  -1e-45f, 12345.678f,
                                     std::numeric_limits<float>::infinity(),
                                     std::numeric_limits<float>::quiet_NaN()};
  const int n = static_cast<int>(values.size());
  p.PrepareBlockSize(n);
  HostBuffers in(2, n), out(2, n);
  in.data[0] = values;
  in.data[1].assign(values.rbegin(), values.rend());
  in.ptrs = {in.data[0].data(), in.data[1].data()};

  // The base block routine copies, so the host gets back exactly what it gave, bit for bit:
  // even values the processed path would clean are handed over faithfully by the frame.
  AttachBlock(p, in, out, n);
  p.RunBlock(n);
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(std::memcmp(out.data[static_cast<size_t>(ch)].data(), in.data[static_cast<size_t>(ch)].data(), sizeof(float) * static_cast<long unsigned int>(n)), 0)
      << "channel " << ch;
}

TEST(IPlugProcessor, BaseRenderBlockCopiesMatchingChannelsAndSilencesTheRest)
{
  struct Case
  {
    const char* text;
    std::vector<std::vector<sample>> expected; // per output channel
  };
  const Case cases[] = {
    {"2-2", {{1, 2, 3}, {4, 5, 6}}},
    {"1-2", {{1, 2, 3}, {0, 0, 0}}},
    {"2-1", {{1, 2, 3}}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    IPlugProcessor p(Record(c.text));
    std::vector<std::vector<sample>> inputs = {{1, 2, 3}, {4, 5, 6}};
    std::vector<std::vector<sample>> outputs(c.expected.size(), std::vector<sample>(3, 9.0));
    std::vector<sample*> inPtrs, outPtrs;
    for (int ch = 0; ch < p.ChannelCount(kInput); ++ch)
      inPtrs.push_back(inputs[static_cast<size_t>(ch)].data());
    for (auto& o : outputs)
      outPtrs.push_back(o.data());
    p.RenderBlock(inPtrs.data(), outPtrs.data(), 3);
    EXPECT_EQ(outputs, c.expected);
  }
}

TEST(IPlugProcessor, PrepareBlockSize)
{
  RecordingProcessor p(Record("1-1 2-2"));
  p.PrepareBlockSize(4);
  HostBuffers in(2, 4, 0.25f), out(2, 4);
  AttachBlock(p, in, out, 4);
  p.RunBlock(4);

  // The same size again keeps buffers and contents.
  const sample* inScratch = p.GetChannelData(kInput, 0)->mScratch.data();
  const std::vector<sample> outBefore = p.GetChannelData(kOutput, 1)->mScratch;
  p.PrepareBlockSize(4);
  EXPECT_EQ(p.GetChannelData(kInput, 0)->mScratch.data(), inScratch);
  EXPECT_EQ(p.GetChannelData(kInput, 0)->mScratch, std::vector<sample>(4, 0.25));
  EXPECT_EQ(p.GetChannelData(kOutput, 1)->mScratch, outBefore);

  // A new size silences every buffer and leaves no channel pointing at a freed one, even before
  // the channels are connected again (the outputs' host buffers are too short for this block).
  p.PrepareBlockSize(64);
  EXPECT_EQ(p.GetBlockSize(), 64);
  p.ConnectChannels(kOutput, 0, 2, false);
  p.RunBlock(64);
  EXPECT_EQ(p.seenFrames, 64);
  for (int ch = 0; ch < 2; ++ch)
  {
    EXPECT_EQ(p.seenInputs[static_cast<size_t>(ch)], p.GetChannelData(kInput, ch)->mScratch.data());
    EXPECT_EQ(p.seenInputValues[static_cast<size_t>(ch)], std::vector<sample>(64, 0.0));
  }

  p.PrepareBlockSize(-3);
  EXPECT_EQ(p.GetBlockSize(), 0);
}

TEST(IPlugProcessor, InputThatDropsOutReadsSilenceNotItsLastBlock)
{
  RecordingProcessor p(Record("1-1 2-2"));
  p.PrepareBlockSize(4);
  HostBuffers stereoIn(2, 4, 0.75f), stereoOut(2, 4);
  AttachBlock(p, stereoIn, stereoOut, 4);
  p.RunBlock(4);

  HostBuffers monoIn(1, 4, 0.5f), monoOut(1, 4);
  AttachBlock(p, monoIn, monoOut, 4);
  p.RunBlock(4);
  EXPECT_EQ(p.seenInputValues[1], std::vector<sample>(4, 0.0));
}

TEST(IPlugProcessor, BypassDelaysByTheLatencyAcrossAnyBlockSplit)
{
  constexpr int kLatency = 64;
  constexpr int kTotal = 200;
  const std::vector<std::vector<int>> splits = {{50, 50, 50, 50}, {1, 63, 1, 100, 35}, {200}};

  for (const std::vector<int>& split : splits)
  {
    SCOPED_TRACE(testing::Message() << "first block " << split[0]);
    IPlugProcessor p(Record("1-1 2-2", kLatency));
    p.CreateBypassDelayLine();
    ASSERT_NE(p.GetBypassDelayLine(), nullptr);
    p.PrepareBlockSize(200);

    std::vector<float> result[2];
    int pos = 0;
    for (int n : split)
    {
      HostBuffers in(2, n), out(2, n, 99.0f);
      for (int s = 0; s < n; ++s)
      {
        in.data[0][static_cast<size_t>(s)] = static_cast<float>(pos + s + 1);
        in.data[1][static_cast<size_t>(s)] = -static_cast<float>(pos + s + 1);
      }
      AttachBlock(p, in, out, n);
      p.PassThrough(n);
      for (int ch = 0; ch < 2; ++ch)
        result[ch].insert(result[ch].end(), out.data[static_cast<size_t>(ch)].begin(), out.data[static_cast<size_t>(ch)].end());
      pos += n;
    }

    ASSERT_EQ(result[0].size(), static_cast<size_t>(kTotal));
    for (int s = 0; s < kTotal; ++s)
    {
      const float expected = s < kLatency ? 0.0f : static_cast<float>(s - kLatency + 1);
      ASSERT_EQ(result[0][static_cast<size_t>(s)], expected) << "sample " << s;
      ASSERT_EQ(result[1][static_cast<size_t>(s)], -expected) << "sample " << s;
    }
  }
}

TEST(IPlugProcessor, ReportLatencyReshapesTheBypassDelay)
{
  IPlugProcessor p(Record("1-1 2-2", 64));
  p.CreateBypassDelayLine();
  p.PrepareBlockSize(8);
  HostBuffers in(2, 8, 1.0f), out(2, 8);
  AttachBlock(p, in, out, 8);
  p.PassThrough(8); // leaves audio in the line

  // Latency 0: straight copy, bypassed samples untouched (a NaN stays a NaN).
  p.ReportLatency(0);
  EXPECT_EQ(p.GetLatency(), 0);
  EXPECT_EQ(p.GetBypassDelayLine()->Length(), 0u);
  in.data[0][3] = std::numeric_limits<float>::quiet_NaN();
  AttachBlock(p, in, out, 8);
  p.PassThrough(8);
  EXPECT_EQ(std::memcmp(out.data[0].data(), in.data[0].data(), sizeof(float) * 8), 0);
  EXPECT_EQ(out.data[1], in.data[1]);

  // A new latency starts from silence, not from what the line held before.
  p.ReportLatency(3);
  const BypassDelayLine& line = *p.GetBypassDelayLine();
  EXPECT_EQ(line.Length(), 3u);
  EXPECT_EQ(line.WritePos(), 0u);
  HostBuffers ramp(2, 8), rampOut(2, 8);
  for (int s = 0; s < 8; ++s)
    ramp.data[0][static_cast<size_t>(s)] = ramp.data[1][static_cast<size_t>(s)] = static_cast<float>(s + 1);
  AttachBlock(p, ramp, rampOut, 8);
  p.PassThrough(8);
  EXPECT_EQ(rampOut.data[0], (std::vector<float>{0, 0, 0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(rampOut.data[1], rampOut.data[0]);

  p.ReportLatency(-5);
  EXPECT_EQ(p.GetLatency(), 0);
}

TEST(IPlugProcessor, BypassDelayLineNeedsAnInput)
{
  IPlugProcessor noInput(Record("0-2", 64));
  noInput.CreateBypassDelayLine();
  EXPECT_EQ(noInput.GetBypassDelayLine(), nullptr);

  IPlugProcessor p(Record("1-1 2-2", 16));
  p.CreateBypassDelayLine();
  const BypassDelayLine* line = p.GetBypassDelayLine();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->NInputs(), 2);
  EXPECT_EQ(line->NOutputs(), 2);
  EXPECT_EQ(line->Length(), 16u);
}

TEST(BypassDelayLine, DelaysInPlace)
{
  BypassDelayLine line(1, 1, 3);
  std::vector<sample> buffer = {1, 2, 3, 4, 5};
  sample* ptr = buffer.data();
  line.Process(&ptr, &ptr, 5);
  EXPECT_EQ(buffer, (std::vector<sample>{0, 0, 0, 1, 2}));
  EXPECT_EQ(line.WritePos(), 2u);
}

TEST(BypassDelayLine, OutputsBeyondTheInputsAreLeftAlone)
{
  BypassDelayLine line(1, 2, 2);
  std::vector<sample> in = {1, 2, 3}, out0(3, 9.0), out1(3, 9.0);
  sample* ins[] = {in.data()};
  sample* outs[] = {out0.data(), out1.data()};
  line.Process(ins, outs, 3);
  EXPECT_EQ(out0, (std::vector<sample>{0, 0, 1}));
  EXPECT_EQ(out1, std::vector<sample>(3, 9.0));
}

TEST(IPlugProcessor, AudioPathNeverAllocates)
{
  IPlugProcessor p(Record("1-1 2-2"));
  p.PrepareBlockSize(256);
  p.CreateBypassDelayLine(64); // room for the largest latency up front
  HostBuffers in(2, 256, 0.5f), out(2, 256), monoIn(1, 128, 0.25f), monoOut(1, 128);

  test::AllocationCounter counter;
  for (int block = 0; block < 4; ++block)
  {
    AttachBlock(p, in, out, 256);
    p.RunBlock(256);
    p.ReportLatency(block % 2 ? 64 : 0);
    AttachBlock(p, monoIn, monoOut, 128);
    p.PassThrough(128);
  }
  p.ClearScratch();
  EXPECT_EQ(counter.Count(), 0);

  // Past the reserve the line has to grow, and the counter sees it.
  p.ReportLatency(1000);
  EXPECT_GT(counter.Count(), 0);
}

TEST(IPlugProcessor, HostMisuseIsHarmless)
{
  IPlugProcessor p(Record("1-1 2-2"));
  p.PrepareBlockSize(8);

  // Ranges are clipped; negative or oversized ones touch nothing that does not exist.
  p.ConnectChannels(kInput, -3, 4, true); // reaches channel 0 only
  EXPECT_EQ(p.ConnectedChannelCount(kInput), 1);
  EXPECT_TRUE(p.GetChannelData(kInput, 0)->mConnected);
  p.ConnectChannels(kInput, 1, -5, true);
  p.ConnectChannels(kInput, 5, 2, true);
  p.ConnectChannels(kInput, 1, INT_MAX, true);
  EXPECT_EQ(p.ConnectedChannelCount(kInput), 2);
  p.ConnectChannels(kInput, INT_MAX, INT_MAX, false);
  EXPECT_EQ(p.ConnectedChannelCount(kInput), 2);
  EXPECT_EQ(p.GetChannelData(kOutput, 2), nullptr);

  // A null pointer array, and null buffers for connected channels: silence in, nothing out.
  p.AttachHostBuffers(kInput, 0, 2, nullptr, 8);
  HostBuffers out(2, 8, 5.0f);
  float* outPtrs[] = {nullptr, out.ptrs[1]};
  p.ConnectChannels(kOutput, 0, 2, true);
  p.AttachHostBuffers(kOutput, 0, 2, outPtrs, 8);
  p.RunBlock(8);
  EXPECT_EQ(out.data[1], std::vector<float>(8, 0.0f));

  float* inPtrs[] = {nullptr, nullptr};
  p.AttachHostBuffers(kInput, 0, 2, inPtrs, 8);
  p.PassThrough(8);
  EXPECT_EQ(out.data[1], std::vector<float>(8, 0.0f));

  // A block longer than the prepared size stays inside the scratch buffers, and the host frames
  // past it are silenced rather than left stale.
  HostBuffers bigIn(2, 20, 1.0f), bigOut(2, 20, 5.0f);
  AttachBlock(p, bigIn, bigOut, 20);
  p.RunBlock(20);
  for (int s = 0; s < 20; ++s)
    EXPECT_EQ(bigOut.data[0][static_cast<size_t>(s)], s < 8 ? 1.0f : 0.0f) << "sample " << s;
  p.PassThrough(-4);
  p.RunBlock(-4);
}

TEST(IPlugProcessor, LimitToStereo)
{
  IPlugProcessor p(Record("4-4"));
  p.ConnectChannels(kInput, 0, 4, true);
  p.LimitToStereo();
  EXPECT_EQ(p.ConnectedChannelCount(kInput), 2);
  EXPECT_FALSE(p.GetChannelData(kInput, 2)->mConnected);
  EXPECT_EQ(p.ConnectedChannelCount(kOutput), 2);
  EXPECT_TRUE(p.GetChannelData(kOutput, 3)->mConnected);
}

TEST(IPlugProcessor, LabelChannel)
{
  IPlugProcessor p(Record("2-2"));
  struct Case
  {
    ERoute direction;
    int ch;
    const char* format;
    bool zeroBased;
    const char* expected;
  };
  const Case cases[] = {
    {kInput, 0, "In %d", false, "In 1"},
    {kInput, 1, "In %d", true, "In 1"},
    {kOutput, 1, "Out %02i (%%)", false, "Out 02 (%)"},
    {kOutput, 0, "Left", false, "Left"},
    // Anything but one integer conversion is shown as written, never handed to printf.
    {kInput, 0, "%s", false, "%s"},
    {kInput, 1, "%d of %d", false, "%d of %d"},
    {kOutput, 0, "%ld", false, "%ld"},
    // Labels are cut to 32 characters.
    {kOutput, 1, "Output channel with a very long name %d", false,
     "Output channel with a very long "},
  };
  for (const Case& c : cases)
  {
    p.LabelChannel(c.direction, c.ch, c.format, c.zeroBased);
    EXPECT_STREQ(p.GetChannelData(c.direction, c.ch)->mLabel, c.expected) << c.format;
  }

  p.LabelChannel(kInput, 2, "X %d", false);
  p.LabelChannel(kInput, -1, "X %d", false);
  EXPECT_STREQ(p.GetChannelData(kInput, 0)->mLabel, "%s");
}

TEST(IPlugProcessor, SamplesPerBeatAndSampleRate)
{
  IPlugProcessor p(Record("1-1"));
  EXPECT_DOUBLE_EQ(p.SamplesPerBeat(), 24000.0);
  p.SetSampleRate(44100.0);
  TimeInfo t;
  t.mTempo = 90.0;
  p.SetTimeInfo(t);
  EXPECT_DOUBLE_EQ(p.SamplesPerBeat(), 29400.0);
  for (double tempo : {0.0, -120.0, std::numeric_limits<double>::quiet_NaN()})
  {
    t.mTempo = tempo;
    p.SetTimeInfo(t);
    EXPECT_EQ(p.SamplesPerBeat(), 0.0);
  }

  for (double bad : {0.0, -48000.0, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()})
    p.SetSampleRate(bad);
  EXPECT_EQ(p.GetSampleRate(), 44100.0);
}

TEST(IPlugProcessor, MidiListSendsEveryMessageAndReportsAnyFailure)
{
  struct Sender : IPlugProcessor
  {
    using IPlugProcessor::IPlugProcessor;
    bool SendMidiMsg(const MidiMessage& msg) override
    {
      sent.push_back(msg.status);
      return msg.status != 0x90;
    }
    std::vector<int> sent;
  };
  Sender s(Record("1-1"));
  const MidiMessage msgs[] = {{0, 0x80, 60, 0}, {1, 0x90, 60, 100}, {2, 0xB0, 7, 64}};
  EXPECT_FALSE(s.SendMidiMsgs(msgs));
  EXPECT_EQ(s.sent, (std::vector<int>{0x80, 0x90, 0xB0}));
  EXPECT_TRUE(s.SendMidiMsgs(std::span<const MidiMessage>(msgs, 1)));

  s.sent.clear();
  s.ProcessMidiMsg(msgs[2]);
  EXPECT_EQ(s.sent, (std::vector<int>{0xB0}));

  IPlugProcessor base(Record("1-1"));
  EXPECT_FALSE(base.SendMidiMsg(msgs[0]));
  EXPECT_TRUE(base.SendMidiMsgs({}));
  EXPECT_FALSE(base.SendSysEx(SysexMessage{}));
}
