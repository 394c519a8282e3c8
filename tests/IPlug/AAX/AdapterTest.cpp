#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AAX_CAtomicQueue.h"
#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_RenderInstances.h"
#include "AAX_SIPlugContext.h"
#include "HostController.h"
#include "HostMIDINode.h"
#include "IPlugAAX.h"

namespace {

using aaxhost::HostController;
using aaxhost::HostMIDINode;
using aaxhost::HostRef;
using iplug::MidiMessage;

iplug::ConfigRecord ProbeConfig(bool midi)
{
  iplug::ConfigRecord c;
  c.nParams = 6;
  c.nPresets = 1;
  c.channelIOStr = "1-1 2-2";
  c.pluginName = "Probe";
  c.uniqueID = iplug::FourCC("PRBE");
  c.mfrID = iplug::FourCC("Test");
  c.plugDoesMidiIn = midi;
  c.plugDoesMidiOut = midi;
  c.plugDoesChunks = true;
  c.plugHasUI = true;
  return c;
}

// An adapter with the product's six parameters that records what reaches its editor side and
// its block routine. Optionally "1" is synchronised with the render thread.
class Probe final : public iplug::IPlugAAX
{
public:
  struct EditorValue
  {
    int index;
    double value;
    bool normalized;
  };

  explicit Probe(bool midi = false, bool syncGain = false)
    : IPlugAAX(ProbeConfig(midi), 64), mSyncGain(syncGain)
  {
    GetParam(0)->DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
    GetParam(1)->DefineDouble("Low Gain", 0., -10., 10., 0.1);
    GetParam(2)->DefineDouble("High Gain", 0., -10., 10., 0.1);
    GetParam(3)->DefineDouble("Output", 0., -15., 15., 0.1, "dB");
    GetParam(4)->DefineInt("Oversampling", 0, 0, 1);
    GetParam(5)->DefineInt("Bypass", 0, 0, 1);
  }

  void ToEditorParamValue(int paramIdx, double value, bool normalized) override
  {
    editorValues.push_back({paramIdx, value, normalized});
  }

  void RenderBlock(iplug::sample** inputs, iplug::sample** outputs, int nFrames) override
  {
    if (throwInRender)
      throw std::runtime_error("block routine failed");
    timeInfo = GetTimeInfo();
    ++blocks;
    blockFrames.push_back(nFrames);
    blockTimes.push_back(timeInfo);
    if (afterBlock)
      afterBlock();
    if (noteAtFrame10)
      SendMidiMsg(MidiMessage{10, 0x90, static_cast<uint8_t>(blocks), 1});
    IPlugProcessor::RenderBlock(inputs, outputs, nFrames);
  }

  void RenderAudio(AAX_SIPlugContext* context, const TParamValPair* const syncValues[], int32_t numSyncValues) override
  {
    delivered.clear();
    for (int32_t i = 0; i < numSyncValues; ++i)
    {
      double value = 0.0;
      syncValues[i]->second->GetValueAsDouble(&value);
      delivered.emplace_back(syncValues[i]->first, value);
    }
    IPlugAAX::RenderAudio(context, syncValues, numSyncValues);
  }

  std::vector<EditorValue> editorValues;
  iplug::TimeInfo timeInfo;
  int blocks = 0;
  std::vector<int> blockFrames;
  std::vector<iplug::TimeInfo> blockTimes;
  bool throwInRender = false;
  std::function<void()> afterBlock;
  bool noteAtFrame10 = false;
  std::vector<std::pair<std::string, double>> delivered;

protected:
  AAX_Result EffectInit() override
  {
    const AAX_Result result = IPlugAAX::EffectInit();
    if (mSyncGain)
      RegisterSyncParameter(mParameterManager.GetParameterByID("1"));
    return result;
  }

private:
  bool mSyncGain;
};

// A render context as a host lays it out, pointing at storage this fixture keeps.
struct Context
{
  explicit Context(aaxhost::HostTransport* transport, int frames = 32)
    : transportNode(transport), inputs(2, std::vector<float>(static_cast<size_t>(frames), 0.25f)),
      outputs(2, std::vector<float>(static_cast<size_t>(frames), 9.0f)), numSamples(frames)
  {
    std::memset(&fields, 0, sizeof(fields));
    inPointers = {inputs[0].data(), inputs[1].data()};
    outPointers = {outputs[0].data(), outputs[1].data()};
    fields.mInputPP = inPointers.data();
    fields.mOutputPP = outPointers.data();
    fields.mNumSamplesP = &numSamples;
    fields.mInputNode = &inputNode;
    fields.mOutputNode = &outputNode;
    fields.mTransportNode = &transportNode;
    fields.mPrivateData = &privateData;
    fields.mCurrentStateNum = &stateNumber;
  }

  void Render()
  {
    void* const instances[1] = {&fields};
    RenderInstances(instances, instances + 1);
  }

  HostMIDINode inputNode;
  HostMIDINode outputNode;
  HostMIDINode transportNode;
  std::vector<std::vector<float>> inputs, outputs;
  std::vector<float*> inPointers, outPointers;
  int32_t numSamples;
  int64_t stateNumber = 0;
  AAX_SIPlugPrivateData privateData{};
  AAX_SIPlugContext fields;
};

class Adapter : public testing::Test
{
protected:
  void Make(bool midi = false, bool syncGain = false)
  {
    probe = std::make_unique<Probe>(midi, syncGain);
    ASSERT_EQ(probe->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
    context = std::make_unique<Context>(&controller->Transport());
    ASSERT_EQ(probe->ResetFieldData(23, &context->privateData, sizeof(context->privateData)), AAX_SUCCESS);
  }

  void SetUp() override { Make(); }

  void TearDown() override
  {
    if (probe)
      probe->Uninitialize();
  }

  std::shared_ptr<aaxhost::HostFaults> faults = std::make_shared<aaxhost::HostFaults>();
  HostRef<HostController> controller{new HostController(faults)};
  std::unique_ptr<Probe> probe;
  std::unique_ptr<Context> context;
};

TEST_F(Adapter, ConstructionAndInitialisation)
{
  EXPECT_EQ(probe->GetHost(), 2) << "identified as ProTools";
  EXPECT_EQ(probe->GetBlockSize(), 512);
  EXPECT_EQ(probe->MainInputChannels(), 2);
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kInput), 2);
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kOutput), 2);
  ASSERT_NE(probe->GetBypassDelayLine(), nullptr);
  EXPECT_GE(probe->GetBypassDelayLine()->Capacity(), 2u * 64u) << "room for the largest latency";
  ASSERT_NE(probe->GetIdleTimer(), nullptr);
  EXPECT_STREQ(probe->ParamIDText(2), "3");
  EXPECT_STREQ(probe->ParamIDText(6), "");
  EXPECT_EQ(controller->Automation().Registered(),
            (std::vector<std::string>{"", "1", "2", "3", "4", "5", "6"}));
}

TEST_F(Adapter, HostUpdateQueuesTheRealValueForTheEditor)
{
  EXPECT_EQ(probe->UpdateParameterNormalizedValue("3", 0.75, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(probe->GetParam(2)->Value(), 5.0);
  EXPECT_EQ(probe->UpdateParameterNormalizedValue("", 1.0, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
  EXPECT_TRUE(probe->editorValues.empty()) << "delivered by the idle timer, not before";

  probe->OnIdleTimer(*probe->GetIdleTimer());
  ASSERT_EQ(probe->editorValues.size(), 1u) << "the master bypass is no framework parameter";
  EXPECT_EQ(probe->editorValues[0].index, 2);
  EXPECT_DOUBLE_EQ(probe->editorValues[0].value, 5.0);
  EXPECT_FALSE(probe->editorValues[0].normalized);
  for (int i = 0; i < 6; ++i)
  {
    if (i == 2)
      continue;
    EXPECT_DOUBLE_EQ(probe->GetParam(i)->Value(), probe->GetParam(i)->Default()) << i;
  }
}

TEST_F(Adapter, EditorGesturesReachTheHostOnlyForRealParameters)
{
  auto& automation = controller->Automation();
  automation.ClearEvents();
  probe->HostBeginParamGesture(0);
  probe->HostSetParamNormalized(0, 0.25);
  probe->HostEndParamGesture(0);
  probe->HostBeginParamGesture(6);
  probe->HostSetParamNormalized(-1, 0.25);
  probe->HostEndParamGesture(99);
  std::vector<std::string> kinds;
  for (const auto& event : automation.Events())
  {
    EXPECT_EQ(event.paramID, "1");
    kinds.push_back(event.kind);
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"touch", "touch", "set", "release", "release"}));
}

TEST_F(Adapter, TransportBecomesTheTimeInfo)
{
  aaxhost::HostTransport::State state;
  state.tempo = 90.0;
  state.numerator = 3;
  state.denominator = 8;
  state.playing = true;
  state.tickPosition = -960000;
  state.looping = true;
  state.loopStartTick = 960000;
  state.loopEndTick = 3840000;
  state.sampleLocation = 12345;
  controller->Transport().SetState(state);
  context->Render();
  ASSERT_EQ(probe->blocks, 1);
  EXPECT_EQ(probe->HostTransport(), static_cast<AAX_ITransport*>(&controller->Transport()));
  const iplug::TimeInfo& t = probe->timeInfo;
  EXPECT_DOUBLE_EQ(t.mPPQPos, 0.0) << "a position before the start counts as 0";
  EXPECT_DOUBLE_EQ(t.mCycleStart, 1.0);
  EXPECT_DOUBLE_EQ(t.mCycleEnd, 4.0);
  EXPECT_DOUBLE_EQ(t.mTempo, 90.0);
  EXPECT_EQ(t.mNumerator, 3);
  EXPECT_EQ(t.mDenominator, 8);
  EXPECT_DOUBLE_EQ(t.mSamplePos, 12345.0);
  EXPECT_DOUBLE_EQ(t.mLastBar, -1.0);
  EXPECT_EQ(t.mTransportFlags, iplug::kTransportRunning | iplug::kTransportLooping);

  state.tickPosition = 2400000;
  controller->Transport().SetState(state);
  context->Render();
  EXPECT_DOUBLE_EQ(probe->timeInfo.mPPQPos, 2.5);

  // Under the master bypass the block routine does not run and the input passes.
  probe->UpdateParameterNormalizedValue("", 1.0, AAX_eUpdateSource_Parameter);
  context->Render();
  EXPECT_EQ(probe->blocks, 2);
  EXPECT_EQ(context->outputs[0], context->inputs[0]);
}

// The frame is prepared for 512 frames; growing it would allocate on the audio thread.
TEST_F(Adapter, AHostBlockLongerThanPreparedRunsInPiecesOfThePreparedSize)
{
  probe->Uninitialize();
  Make(true);
  context = std::make_unique<Context>(&controller->Transport(), 1300);
  ASSERT_EQ(probe->ResetFieldData(23, &context->privateData, sizeof(context->privateData)), AAX_SUCCESS);
  for (size_t i = 0; i < 1300; ++i)
  {
    context->inputs[0][i] = static_cast<float>(i);
    context->inputs[1][i] = -static_cast<float>(i);
  }
  aaxhost::HostTransport::State state;
  state.tempo = 120.0;
  state.tickPosition = 960000;  // beat 1
  state.sampleLocation = 1000;
  controller->Transport().SetState(state);
  probe->noteAtFrame10 = true;

  context->Render();
  EXPECT_EQ(probe->blockFrames, (std::vector<int>{512, 512, 276}));
  EXPECT_EQ(probe->GetBlockSize(), 512) << "nothing grew";
  EXPECT_EQ(context->outputs, context->inputs) << "every frame went through, in order";
  ASSERT_EQ(probe->blockTimes.size(), 3u);
  const double samplesPerBeat = probe->GetSampleRate() * 60.0 / 120.0;
  for (size_t piece = 0; piece < 3; ++piece)
  {
    EXPECT_DOUBLE_EQ(probe->blockTimes[piece].mSamplePos, 1000.0 + 512.0 * static_cast<double>(piece)) << piece;
    EXPECT_DOUBLE_EQ(probe->blockTimes[piece].mPPQPos, 1.0 + 512.0 * static_cast<double>(piece) / samplesPerBeat) << piece;
  }
  // Messages the block routine sends count from the start of the host's block.
  std::vector<uint32_t> stamps;
  for (const auto& packet : context->outputNode.Posted())
    stamps.push_back(packet.mTimestamp);
  EXPECT_EQ(stamps, (std::vector<uint32_t>{10, 522, 1034}));

  // Under the master bypass the pieces pass the input through.
  probe->noteAtFrame10 = false;
  probe->UpdateParameterNormalizedValue("", 1.0, AAX_eUpdateSource_Parameter);
  for (auto& channel : context->outputs)
    std::fill(channel.begin(), channel.end(), 9.0f);
  context->Render();
  EXPECT_EQ(probe->blockFrames.size(), 3u);
  EXPECT_EQ(context->outputs, context->inputs);
}

// The host is asked once, at the start of its block: the pieces of a long block count on from that
// one answer, even when the host's transport moves while the block is being rendered.
TEST_F(Adapter, TheTransportIsAskedOncePerHostBlock)
{
  aaxhost::HostTransport::State state;
  state.tempo = 100.0;
  state.sampleLocation = 500;
  controller->Transport().SetState(state);
  Context long_(&controller->Transport(), 1300);
  ASSERT_EQ(probe->ResetFieldData(23, &long_.privateData, sizeof(long_.privateData)), AAX_SUCCESS);
  probe->afterBlock = [&] {
    state.sampleLocation += 100000; // the host moves on while the block is still being rendered
    controller->Transport().SetState(state);
  };

  long_.Render();
  ASSERT_EQ(probe->blockTimes.size(), 3u);
  for (size_t piece = 0; piece < 3; ++piece)
    EXPECT_DOUBLE_EQ(probe->blockTimes[piece].mSamplePos, 500.0 + 512.0 * static_cast<double>(piece)) << piece;
  EXPECT_DOUBLE_EQ(probe->blockTimes[0].mTempo, 100.0);

  long_.Render();
  ASSERT_EQ(probe->blockTimes.size(), 6u);
  EXPECT_DOUBLE_EQ(probe->blockTimes[3].mSamplePos, 300500.0) << "the next host block asks again";
}

// The connections are made again only when the host's channel counts change; when they do, a
// channel the host no longer has is cut off at once.
TEST_F(Adapter, ChannelsFollowTheStemFormatsFromBlockToBlock)
{
  context->Render();
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kOutput), 2);
  const uint64_t calls = probe->ConnectionCalls();
  context->Render();
  EXPECT_EQ(probe->ConnectionCalls(), calls) << "nothing changed, nothing connected again";

  controller->SetStemFormats(0x00010001, 0x00010001); // mono
  std::fill(context->outputs[1].begin(), context->outputs[1].end(), 9.0f);
  context->Render();
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kInput), 1);
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kOutput), 1);
  EXPECT_EQ(context->outputs[1], std::vector<float>(32, 9.0f)) << "the second output is the host's own";

  // Someone else connecting channels in between is noticed too.
  probe->ConnectChannels(iplug::kOutput, 0, 2, true);
  context->Render();
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kOutput), 1);

  controller->SetStemFormats(0x00010002, 0x00010002);
  context->Render();
  EXPECT_EQ(probe->ConnectedChannelCount(iplug::kOutput), 2);
  EXPECT_EQ(context->outputs[1], context->inputs[1]);
}

// Unwinding into the host's audio thread would take the host down.
TEST_F(Adapter, AnExceptionInTheBlockRoutineNeverLeavesTheRenderProcedure)
{
  probe->throwInRender = true;
  EXPECT_NO_THROW(context->Render());
  probe->throwInRender = false;
  context->Render();
  EXPECT_EQ(probe->blocks, 1);
  EXPECT_EQ(context->outputs, context->inputs) << "the next block renders as usual";
}

TEST_F(Adapter, ContextsWithoutAnInstanceAreSkipped)
{
  Context empty(&controller->Transport());
  empty.Render();  // private data never reset: all zeros
  EXPECT_EQ(empty.outputs[0][0], 9.0f);
  empty.fields.mPrivateData = nullptr;
  empty.Render();
  RenderInstances(nullptr, nullptr);
  void* const none[1] = {nullptr};
  RenderInstances(none, none + 1);
  EXPECT_EQ(probe->blocks, 0);
  EXPECT_EQ(probe->ResetFieldData(23, nullptr, 8), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(Adapter, WithoutSynchronisedParametersEveryRenderGetsAnEmptyList)
{
  probe->UpdateParameterNormalizedValue("1", 0.25, AAX_eUpdateSource_Parameter);
  EXPECT_EQ(probe->GenerateCoefficients(), AAX_SUCCESS);
  context->Render();
  EXPECT_TRUE(probe->delivered.empty());
}

TEST_F(Adapter, SynchronisedValuesArriveWithTheStateTheHostReached)
{
  probe->Uninitialize();
  Make(false, true);
  probe->UpdateParameterNormalizedValue("1", 0.25, AAX_eUpdateSource_Parameter);  // -15 dB
  probe->UpdateParameterNormalizedValue("2", 0.25, AAX_eUpdateSource_Parameter);  // not synchronised
  ASSERT_EQ(probe->GenerateCoefficients(), AAX_SUCCESS);                           // state 0
  probe->UpdateParameterNormalizedValue("1", 0.75, AAX_eUpdateSource_Parameter);  // 15 dB
  ASSERT_EQ(probe->GenerateCoefficients(), AAX_SUCCESS);                           // state 1
  ASSERT_EQ(probe->GenerateCoefficients(), AAX_SUCCESS);                           // state 2: nothing changed

  context->stateNumber = -1;
  context->Render();
  EXPECT_TRUE(probe->delivered.empty()) << "the host has not reached state 0";
  context->stateNumber = 0;
  context->Render();
  EXPECT_EQ(probe->delivered, (std::vector<std::pair<std::string, double>>{{"1", -15.0}}));
  context->Render();
  EXPECT_TRUE(probe->delivered.empty()) << "each state is delivered once";
  context->stateNumber = 2;
  context->Render();
  EXPECT_EQ(probe->delivered, (std::vector<std::pair<std::string, double>>{{"1", 15.0}}));
  EXPECT_EQ(probe->TimerWakeup(), AAX_SUCCESS);  // frees what the render side gave back

  // A state queued but never reached is freed with the object (the leak checker would say).
  probe->UpdateParameterNormalizedValue("1", 0.5, AAX_eUpdateSource_Parameter);
  ASSERT_EQ(probe->GenerateCoefficients(), AAX_SUCCESS);
}

TEST_F(Adapter, MidiOutGoesInOffsetOrderAndSysexInFourBytePackets)
{
  probe->Uninitialize();
  Make(true);
  probe->SendMidiMsg(MidiMessage{5, 0x90, 60, 1});
  probe->SendMidiMsg(MidiMessage{2, 0x90, 61, 2});
  probe->SendMidiMsg(MidiMessage{5, 0x90, 62, 3});
  probe->SendMidiMsg(MidiMessage{0, 0x80, 63, 4});
  const uint8_t sysex[9] = {0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF7};
  probe->QueueSysexForProcessor(iplug::SysexMessage{3, 9, sysex});
  // Incoming MIDI passes through the base handler to the output, after the queued messages.
  AAX_CMidiPacket incoming;
  incoming.mTimestamp = 7;
  incoming.mLength = 3;
  incoming.mData[0] = 0xB0;
  incoming.mData[1] = 7;
  incoming.mData[2] = 100;
  context->inputNode.SetIncoming({incoming});
  context->Render();

  const auto& posted = context->outputNode.Posted();
  ASSERT_EQ(posted.size(), 5u + 3u);
  const uint8_t notes[] = {63, 61, 60, 62, 7};
  for (size_t i = 0; i < 5; ++i)
  {
    EXPECT_EQ(posted[i].mData[1], notes[i]) << i;
    EXPECT_EQ(posted[i].mLength, 3u);
    EXPECT_EQ(posted[i].mIsImmediate, 1);
  }
  EXPECT_EQ(posted[5].mLength, 4u);
  EXPECT_EQ(posted[6].mLength, 4u);
  EXPECT_EQ(posted[7].mLength, 1u);
  EXPECT_EQ(posted[7].mData[0], 0xF7);
  EXPECT_EQ(posted[5].mTimestamp, 3u);

  // More than the first 512 messages of a block are kept too.
  context->outputNode.ClearPosted();
  context->inputNode.SetIncoming({});
  for (int i = 0; i < 600; ++i)
    probe->SendMidiMsg(MidiMessage{600 - i, 0x90, 1, 1});
  context->Render();
  ASSERT_EQ(context->outputNode.Posted().size(), 600u);
  EXPECT_EQ(context->outputNode.Posted().front().mTimestamp, 1u);
  EXPECT_EQ(context->outputNode.Posted().back().mTimestamp, 600u);
}

TEST_F(Adapter, NotificationsSetOfflineRenderingAndTheTrackName)
{
  EXPECT_EQ(probe->NotificationReceived(AAX_TypeID('A', 'X', 'o', 'f'), nullptr, 0), AAX_SUCCESS);
  EXPECT_TRUE(probe->IsRenderingOffline());
  EXPECT_EQ(probe->NotificationReceived(AAX_TypeID('A', 'X', 'o', 'x'), nullptr, 0), AAX_SUCCESS);
  EXPECT_FALSE(probe->IsRenderingOffline());

  AAX_CString name("Lead Vocal");
  EXPECT_EQ(probe->NotificationReceived(AAX_TypeID('A', 'X', 't', 'n'), &name, sizeof(name)), AAX_SUCCESS);
  std::string track = "unchanged";
  probe->GetTrackName(track);
  EXPECT_EQ(track, "Lead Vocal");
  AAX_CString longName(std::string(1000, 'x'));
  probe->NotificationReceived(AAX_TypeID('A', 'X', 't', 'n'), &longName, sizeof(longName));
  probe->GetTrackName(track);
  EXPECT_EQ(track.size(), 255u);
  EXPECT_EQ(probe->NotificationReceived(AAX_TypeID('A', 'X', 't', 'n'), nullptr, 0), AAX_SUCCESS);
}

TEST_F(Adapter, ReportedLatencyGoesToTheHostThenTheFrame)
{
  probe->ReportLatency(64);
  EXPECT_EQ(controller->Latencies(), std::vector<int32_t>{64});
  EXPECT_EQ(probe->GetLatency(), 64);
  EXPECT_EQ(probe->GetBypassDelayLine()->Length(), 64u);
}

TEST(AtomicQueue, PushesPopsAndRefusesAnOccupiedSlot)
{
  AAX_CAtomicQueue<int, 4> queue;
  int items[6] = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(queue.Push(nullptr), AAX_IContainer::eStatus_Unsupported);
  EXPECT_EQ(queue.Peek(), nullptr);
  EXPECT_EQ(queue.Pop(), nullptr);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(queue.Push(&items[i]), AAX_IContainer::eStatus_Success) << i;
  EXPECT_EQ(queue.Push(&items[4]), AAX_IContainer::eStatus_Overflow) << "the next slot is still taken";
  EXPECT_EQ(queue.Peek(), &items[0]);
  EXPECT_EQ(queue.Pop(), &items[0]);
  // The refused push left the write position alone: the freed slot takes the next item.
  EXPECT_EQ(queue.Push(&items[5]), AAX_IContainer::eStatus_Success);
  for (int expected : {1, 2, 3, 5})
    EXPECT_EQ(queue.Pop(), &items[expected]);
  EXPECT_EQ(queue.Pop(), nullptr);

  // Many laps keep the order.
  for (int lap = 0; lap < 1000; ++lap)
  {
    ASSERT_EQ(queue.Push(&items[lap % 6]), AAX_IContainer::eStatus_Success);
    ASSERT_EQ(queue.Pop(), &items[lap % 6]);
  }
  queue.Push(&items[0]);
  queue.Clear();
  EXPECT_EQ(queue.Pop(), nullptr);
}

} // namespace
