#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "ByteChunk.h"
#include "HostCodes.h"
#include "IPlugAPIBase.h"
#include "IPlugLogger.h"
#include "support/MessageLoopThread.h"
#include "support/ScopedLocale.h"

using namespace iplug;

namespace {

// A host bridge with hooks that record what reached them.
class RecordingBridge : public IPlugAPIBase
{
public:
  explicit RecordingBridge(bool hasUI = true, int nParams = 4) : IPlugAPIBase(MakeConfig(hasUI, nParams), kAPIAAX)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->DefineDouble("P", 0., -10., 10., 0.1);
  }

  void ToEditorParamValue(int idx, double value, bool normalized) override
  {
    EXPECT_FALSE(normalized);
    toEditor.push_back({idx, value});
  }
  void ToEditorMidi(const MidiMessage& msg) override { midi.push_back(msg); }
  void OnIdleTick() override { ++idleTicks; }
  void HostBeginParamGesture(int idx) override { calls.push_back("begin " + std::to_string(idx)); }
  void HostEndParamGesture(int idx) override { calls.push_back("end " + std::to_string(idx)); }
  void HostSetParamNormalized(int idx, double v) override
  {
    calls.push_back("set " + std::to_string(idx) + " " + std::to_string(v));
  }
  void OnParamChange(int idx, EParamSource source, int offset) override
  {
    calls.push_back("change " + std::to_string(idx) + " " + ParamSourceName(source));
    changes.push_back("change " + std::to_string(idx) + " " + ParamSourceName(source));
    offsets.push_back(offset);
    IPlugAPIBase::OnParamChange(idx, source, offset);
  }
  void OnParamChangeForEditor(int idx, EParamSource source) override
  {
    changes.push_back("editor " + std::to_string(idx) + " " + ParamSourceName(source));
    IPlugAPIBase::OnParamChangeForEditor(idx, source);
  }
  void OnParamValueChange(int idx) override { changes.push_back("value " + std::to_string(idx)); }
  void InitForHost() override { calls.push_back("init"); }
  void AfterHostIdentified() override { calls.push_back("identified"); }

  // The platform timer, as an adapter supplies it.
  std::unique_ptr<Timer> MakeIdleTimer(Timer::ITimerFunction callback, uint32_t intervalMs) override
  {
    return Timer::Make(std::move(callback), intervalMs);
  }

  void Tick() { OnIdleTimer(mTickSource); }
  SpscQueue<ParamChange, kParamChangeQueueSize>& ParamChanges() { return mParamChangesForEditor; }
  SpscQueue<MidiMessage, kMidiQueueSize>& MidiForEditor() { return mMidiForEditor; }
  SpscQueue<SysexBlock, kSysexQueueSize>& SysexFromEditor() { return mSysexFromEditor; }

  std::vector<ParamChange> toEditor;
  std::vector<MidiMessage> midi;
  std::vector<std::string> calls;
  std::vector<std::string> changes;  // change handling and editor notices, in order
  std::vector<int> offsets;
  std::atomic<int> idleTicks{0};

private:
  // Stands in for the idle timer when a test drives the idle cycle by hand.
  struct ManualTimer : Timer
  {
    void Cancel() override {}
  } mTickSource;

  static ConfigRecord MakeConfig(bool hasUI, int nParams)
  {
    ConfigRecord c;
    c.nParams = nParams;
    c.nPresets = 1;
    c.channelIOStr = "2-2";
    c.pluginName = "Bridge";
    c.plugHasUI = hasUI;
    c.plugWidth = 300;
    c.plugHeight = 200;
    // Swapped limits still give min <= max.
    c.plugMinWidth = 600;
    c.plugMaxWidth = 150;
    c.plugMinHeight = 100;
    c.plugMaxHeight = 400;
    return c;
  }
};

} // namespace

TEST(HostCodes, NamesFromTheTable)
{
  const struct { const char* name; int code; } cases[] = {
    {"REAPER", kHostReaper},
    {"ProTools", kHostProTools},
    {"pro tools", kHostUnknown},
    {"WaveLab Elements 12", kHostWaveLabElements},
    {"WaveLab Pro", kHostWaveLab},
    {"Olive", kHostAbletonLive},
    {"My Standalone App", kHostStandalone},
    {"", kHostUnknown},
    {nullptr, kHostUnknown},
    {"Blue Cat's VST Host", kHostBlueCat},
    {"PLUGINDOCTOR", kHostPluginDoctor},
    {"IZOTOPE RX 10", kHostiZotopeRX},
  };
  // The same answers whatever locale the host runs in: a Turkish one lower-cases "I" to a
  // dotless i outside ASCII.
  for (const char* locale : {"C", "tr_TR.ISO-8859-9"})
  {
    test::ScopedLocale scoped(locale);
    if (!scoped.Valid())
    {
      ADD_FAILURE() << "locale " << locale << " is not installed (scripts/setup generates it)";
      continue;
    }
    for (auto c : cases)
      EXPECT_EQ(HostCodeFromName(c.name), c.code) << locale << ": " << (c.name ? c.name : "(null)");
  }

  // Only the first 255 characters are searched.
  EXPECT_EQ(HostCodeFromName((std::string(254, ' ') + "reaper").c_str()), kHostUnknown);
  EXPECT_EQ(HostCodeFromName((std::string(249, ' ') + "reaper").c_str()), kHostReaper);
}

TEST(HostBridge, SetHostTracesAndCallsTheHooksInOrder)
{
  std::vector<std::string> lines;
  SetTraceSink([&](const char*, int, const char* msg) { lines.push_back(msg); });
  RecordingBridge bridge;
  EXPECT_EQ(bridge.GetHost(), -1);
  bridge.SetHost("ProTools", 0x20103);
  bridge.SetHost("Nowhere", 0);
  SetTraceSink(nullptr);

  EXPECT_EQ(bridge.GetHost(), kHostUnknown);
  EXPECT_EQ(bridge.calls, (std::vector<std::string>{"init", "identified", "init", "identified"}));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "host_known:ProTools:v2.1.3");
  EXPECT_EQ(lines[1], "host_unknown:Nowhere:v0.0.0");
}

// A restore runs every parameter's change handling, then tells the editor, one parameter at a
// time in index order, with no sample offset; each change leaves a trace line with its source.
TEST(HostBridge, RestoringStateRunsEveryParametersChangeHandlingInOrder)
{
  RecordingBridge bridge;
  ByteChunk state;
  ASSERT_TRUE(bridge.SerializeParams(state));
  std::vector<std::string> lines;
  SetTraceSink([&](const char*, int, const char* msg) { lines.push_back(msg); });
  EXPECT_EQ(bridge.UnserializeParams(state, 0), state.Size());
  bridge.OnParamChange(3, kHost, 17);
  SetTraceSink(nullptr);

  std::vector<std::string> expected;
  for (int i = 0; i < 4; ++i)
  {
    expected.push_back("change " + std::to_string(i) + " Preset");
    expected.push_back("value " + std::to_string(i));
    expected.push_back("editor " + std::to_string(i) + " Preset");
  }
  expected.push_back("change 3 Host");
  expected.push_back("value 3");
  EXPECT_EQ(bridge.changes, expected);
  EXPECT_EQ(bridge.offsets, (std::vector<int>{-1, -1, -1, -1, 17}));
  EXPECT_EQ(lines, (std::vector<std::string>{"idx:0 src:Preset\n", "idx:1 src:Preset\n", "idx:2 src:Preset\n",
                                             "idx:3 src:Preset\n", "idx:3 src:Host\n"}));
}

TEST(HostBridge, ConstructionCopiesTheRecord)
{
  RecordingBridge bridge;
  EXPECT_STREQ(bridge.GetPluginName(), "Bridge");
  EXPECT_EQ(bridge.GetEditorWidth(), 300);
  EXPECT_EQ(bridge.GetMinWidth(), 150);
  EXPECT_EQ(bridge.GetMaxWidth(), 600);
  EXPECT_EQ(bridge.GetMinHeight(), 100);
  EXPECT_EQ(bridge.GetMaxHeight(), 400);
  EXPECT_EQ(bridge.GetAPI(), kAPIAAX);
}

TEST(HostBridge, QueuedChangesArriveInOrderAndTheQueueDropsWhenFull)
{
  RecordingBridge bridge;
  for (int i = 0; i < 513; ++i)
    bridge.QueueParamValueForEditor(i % 4, 0.5, true);
  bridge.Tick();
  ASSERT_EQ(bridge.toEditor.size(), 512u);
  for (int i = 0; i < 512; ++i)
  {
    EXPECT_EQ(bridge.toEditor[static_cast<size_t>(i)].paramIdx, i % 4);
    EXPECT_EQ(bridge.toEditor[static_cast<size_t>(i)].value, 0.0);  // normalised 0.5 of -10..10, sent as real value
  }
  EXPECT_EQ(bridge.idleTicks, 1);

  // Out-of-range indices are not queued.
  bridge.QueueParamValueForEditor(99, 0.5, true);
  bridge.Tick();
  EXPECT_EQ(bridge.toEditor.size(), 512u);
}

TEST(HostBridge, WithoutAnEditorChangesStayQueuedButIdleTicksRun)
{
  RecordingBridge bridge(false);
  bridge.QueueParamValueForEditor(1, 2.0, false);
  bridge.MidiForEditor().Push(MidiMessage{0, 0x90, 60, 100});
  bridge.Tick();
  bridge.Tick();
  EXPECT_TRUE(bridge.toEditor.empty());
  EXPECT_TRUE(bridge.midi.empty());
  EXPECT_EQ(bridge.idleTicks, 2);
}

TEST(HostBridge, MidiForTheEditorIsDeliveredInOrder)
{
  RecordingBridge bridge;
  bridge.MidiForEditor().Push(MidiMessage{0, 0x90, 60, 100});
  bridge.MidiForEditor().Push(MidiMessage{5, 0x80, 60, 0});
  bridge.Tick();
  ASSERT_EQ(bridge.midi.size(), 2u);
  EXPECT_EQ(bridge.midi[0].status, 0x90);
  EXPECT_EQ(bridge.midi[1].offset, 5);
}

TEST(HostBridge, EditorGesturesReachTheHostHooks)
{
  RecordingBridge bridge;
  bridge.FromEditorBeginParamGesture(2);
  bridge.FromEditorParamValue(2, 0.75);
  bridge.FromEditorEndParamGesture(2);
  EXPECT_EQ(bridge.calls, (std::vector<std::string>{"begin 2", "set 2 0.750000", "change 2 UI", "end 2"}));
  EXPECT_EQ(bridge.GetParam(2)->Value(), 5.0);

  // A non-finite value from the editor changes nothing and reaches no one.
  bridge.calls.clear();
  bridge.FromEditorParamValue(2, std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(bridge.calls.empty());
  EXPECT_EQ(bridge.GetParam(2)->Value(), 5.0);

  bridge.calls.clear();
  bridge.FromEditorAllParamsDirty();
  EXPECT_EQ(bridge.calls.size(), 4u);
}

TEST(HostBridge, FromEditorResize)
{
  RecordingBridge bridge;
  EXPECT_TRUE(bridge.FromEditorResize(500, 300, false));
  EXPECT_FALSE(bridge.FromEditorResize(500, 300, true));  // no adapter answers the resize
  EXPECT_EQ(bridge.GetEditorWidth(), 300);
}

TEST(HostBridge, StateEqualsComparesAsFloatsWithinTolerance)
{
  RecordingBridge bridge;
  const double values[] = {1.0, -2.5, 3.25, 0.0};
  for (int i = 0; i < 4; ++i)
    bridge.GetParam(i)->SetValue(values[i]);

  double stored[5] = {99.0, 1.0, -2.5, 3.25, 0.0};
  const auto* bytes = reinterpret_cast<const uint8_t*>(stored);
  EXPECT_TRUE(bridge.StateEquals(bytes, sizeof(stored), 1));
  EXPECT_FALSE(bridge.StateEquals(bytes, sizeof(stored), 0));
  stored[2] = -2.5 + 4e-6;
  EXPECT_TRUE(bridge.StateEquals(bytes, sizeof(stored), 1));
  stored[2] = -2.5 + 1e-4;
  EXPECT_FALSE(bridge.StateEquals(bytes, sizeof(stored), 1));
  // Too few bytes never read past the end.
  EXPECT_FALSE(bridge.StateEquals(bytes, sizeof(stored) - 1, 1));
  EXPECT_FALSE(bridge.StateEquals(nullptr, 0, 0));
  EXPECT_FALSE(bridge.StateEquals(bytes, sizeof(stored), -1));
}

TEST(HostBridge, SysexLargerThanABlockIsNotQueued)
{
  RecordingBridge bridge;
  std::vector<uint8_t> big(600, 0xF0);
  bridge.FromEditorSysex(SysexMessage{0, 600, big.data()});
  bridge.FromEditorSysex(SysexMessage{3, 512, big.data()});
  bridge.FromEditorSysex(SysexMessage{4, 16, nullptr});
  SysexBlock block;
  ASSERT_TRUE(bridge.SysexFromEditor().Pop(block));
  EXPECT_EQ(block.offset, 3);
  EXPECT_EQ(block.size, 512);
  EXPECT_EQ(block.data[511], 0xF0);
  ASSERT_TRUE(bridge.SysexFromEditor().Pop(block));
  EXPECT_EQ(block.size, 16);
  EXPECT_EQ(block.data[0], 0);  // no data pointer: zeros
  EXPECT_FALSE(bridge.SysexFromEditor().Pop(block));
}

TEST(HostBridge, ChangesFromAnotherThreadArriveOnceAndInOrder)
{
  RecordingBridge bridge(true, 1);
  constexpr int kChanges = 20000;
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int i = 0; i < kChanges;)
    {
      // The queue drops when full; the producer here waits instead, to count every change.
      if (bridge.ParamChanges().Push(ParamChange{0, (i % 200) * 0.1 - 10.0}))
        ++i;
      else
        std::this_thread::yield();
    }
    done = true;
  });
  while (!done || bridge.ParamChanges().Available())
    bridge.Tick();
  producer.join();
  ASSERT_EQ(bridge.toEditor.size(), static_cast<size_t>(kChanges));
  for (int i = 0; i < kChanges; ++i)
    ASSERT_EQ(bridge.toEditor[static_cast<size_t>(i)].value, (i % 200) * 0.1 - 10.0) << i;
}

TEST(HostBridge, TheIdleTimerDeliversOnTheUIThread)
{
  MessageLoopThread ui;
  auto* bridge = ui.Run([] { return new RecordingBridge; });
  ui.Run([bridge] { bridge->CreateIdleTimer(); });
  for (int i = 0; i < 10; ++i)
    bridge->QueueParamValueForEditor(i % 4, 1.0, true);
  EXPECT_TRUE(WaitUntil([&] { return bridge->idleTicks.load() >= 3; }));
  // The object is destroyed on the UI thread, which stops its timer first.
  const size_t delivered = ui.Run([bridge] {
    const size_t n = bridge->toEditor.size();
    delete bridge;
    return n;
  });
  EXPECT_EQ(delivered, 10u);
}
