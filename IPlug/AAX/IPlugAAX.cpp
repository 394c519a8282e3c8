// IPlugAAX, in four sections:
//   1. construction and effect initialisation
//   2. parameters between host, framework and editor
//   3. the render operation, MIDI out and latency
//   4. state chunks and notifications

#include "IPlugAAX.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_Errors.h"
#include "AAX_IController.h"
#include "AAX_IMIDINode.h"
#include "AAX_ITransport.h"
#include "AAX_IViewContainer.h"
#include "AAX_SIPlugContext.h"
#include "ByteChunk.h"
#include "IPlugAAXView_Interface.h"
#include "MakeAAXParameter.h"
#include "ParamIdentifiers.h"

namespace iplug {

namespace {

constexpr AAX_CTypeID kNotificationOfflineOn = AAX_TypeID('A', 'X', 'o', 'f');
constexpr AAX_CTypeID kNotificationOfflineOff = AAX_TypeID('A', 'X', 'o', 'x');
constexpr AAX_CTypeID kNotificationTrackName = AAX_TypeID('A', 'X', 't', 'n');

constexpr double kTicksPerBeat = 960000.0;

// No state of this framework comes near it; a record that claims more is not read at all.
constexpr int32_t kMaxChunkBytes = 1 << 24;
// Host texts are cut, never copied past their field.
constexpr size_t kMaxTrackNameLength = 255;

} // namespace

// ---- 1. Construction and effect initialisation ----------------------------------------------

IPlugAAX::IPlugAAX(const ConfigRecord& config, int maxLatency)
  : IPlugAPIBase(config, kAPIAAX)
  , IPlugProcessor(config)
  , AAX_CIPlugParameters()
{
  mMidiOutPending.reserve(kMidiOutChunk);

  ConnectChannels(kInput, 0, ChannelCount(kInput), true);
  ConnectChannels(kOutput, 0, ChannelCount(kOutput), true);
  if (ChannelCount(kInput) >= 1)
    CreateBypassDelayLine(std::max(maxLatency, config.latency));
  PrepareBlockSize(512);
  mMainInputChannels = MaxBusChannels(kInput, 0);
  mHasSideChain = MaxBusCount(kInput) > 1;
  // Room for the host's channel pointers moved into a long block, so that splitting it never
  // allocates.
  mPieceInputs.resize(static_cast<size_t>(ChannelCount(kInput)));
  mPieceOutputs.resize(static_cast<size_t>(ChannelCount(kOutput)));
  mPieceSideChain.resize(1);
  CreateIdleTimer();
}

IPlugAAX::~IPlugAAX()
{
  // No idle tick may reach the editor side while the derived parts are torn down.
  if (mIdleTimer)
    mIdleTimer->Cancel();
}

AAX_Result IPlugAAX::EffectInit()
{
  if (GetHost() == -1)
    SetHost("ProTools", 0);

  // A re-initialised instance starts from an empty parameter manager.
  mMasterBypass.store(nullptr, std::memory_order_release);
  mParamIdTexts.clear();

  // The master bypass takes whatever identifier the base reports for it: none is registered yet.
  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  auto* bypass = new AAX_CParameter<bool>(bypassID.Get(), AAX_CString("Master Bypass"), false,
                                          AAX_CBinaryTaperDelegate(),
                                          AAX_CBinaryDisplayDelegate("bypass", "on"), true);
  bypass->SetNumberOfSteps(2);
  bypass->SetType(AAX_eParameterType_Discrete);
  if (mParameterManager.AddParameter(bypass))
    mMasterBypass.store(bypass, std::memory_order_release);
  else
    delete bypass;

  for (int i = 0; i < NParams(); ++i)
  {
    char identifier[32];
    std::snprintf(identifier, sizeof(identifier), "%i", i + 1);
    mParamIdTexts.emplace_back(identifier);
    AAX_IParameter* parameter = MakeAAXParameter(*GetParam(i), identifier);
    if (parameter && !mParameterManager.AddParameter(parameter))
      delete parameter;
  }

  AAX_CSampleRate sampleRate = 0.0f;
  if (Controller() && Controller()->GetSampleRate(&sampleRate) == AAX_SUCCESS)
    SetSampleRate(sampleRate);  // ignores a rate that is not a positive number
  ResetProcessing();
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::Uninitialize()
{
  // The parameter manager deletes the master bypass with the other parameters; from here on the
  // render path must find no parameter rather than a deleted one.
  mMasterBypass.store(nullptr, std::memory_order_release);
  return AAX_CIPlugParameters::Uninitialize();
}

// ---- 2. Parameters between host, framework and editor ----------------------------------------

const char* IPlugAAX::ParamIDText(int paramIdx) const
{
  if (paramIdx < 0 || paramIdx >= static_cast<int>(mParamIdTexts.size()))
    return "";
  return mParamIdTexts[static_cast<size_t>(paramIdx)].c_str();
}

AAX_Result IPlugAAX::UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                                    AAX_EUpdateSource source)
{
  (void) source;
  return WithParameter(paramID, Finite(normalizedValue), [&](AAX_IParameter& parameter) {
    parameter.UpdateNormalizedValue(normalizedValue);
    // This replaces the base's update, which is where a synchronised parameter is remembered for
    // the render thread; without this line such a parameter's values would never arrive there.
    if (mSynchronizedParameters.count(paramID))
      mChangedSyncParameters.insert(&parameter);

    const int paramIdx = ParamIndexFromID(paramID);
    if (paramIdx >= 0 && paramIdx < NParams())
    {
      GetParam(paramIdx)->SetNormalizedValue(normalizedValue);
      QueueParamValueForEditor(paramIdx, normalizedValue, true);
      OnParamChange(paramIdx, kHost, -1);
    }

    const AAX_Result result = mPacketDispatcher.SetDirty(paramID);
    ++mNumPlugInChanges;
    return result;
  });
}

// An index without an AAX parameter has no identifier; asking the host about "" would move
// the master bypass instead, so such a gesture goes nowhere.
void IPlugAAX::HostBeginParamGesture(int paramIdx)
{
  if (paramIdx >= 0 && paramIdx < static_cast<int>(mParamIdTexts.size()))
    TouchParameter(ParamIDText(paramIdx));
}

void IPlugAAX::HostEndParamGesture(int paramIdx)
{
  if (paramIdx >= 0 && paramIdx < static_cast<int>(mParamIdTexts.size()))
    ReleaseParameter(ParamIDText(paramIdx));
}

void IPlugAAX::HostSetParamNormalized(int paramIdx, double normalizedValue)
{
  if (paramIdx >= 0 && paramIdx < static_cast<int>(mParamIdTexts.size()))
    SetParameterNormalizedValue(ParamIDText(paramIdx), normalizedValue);
}

std::unique_ptr<Timer> IPlugAAX::MakeIdleTimer(Timer::ITimerFunction callback, uint32_t intervalMs)
{
  return Timer::Make(std::move(callback), intervalMs);
}

bool IPlugAAX::ResizeEditorInHost(int width, int height)
{
  if (!HasUI())
    return true;
  if (width != GetEditorWidth() || height != GetEditorHeight())
  {
    auto* view = static_cast<IPlugAAXView_Interface*>(GetViewInterface());
    if (view && view->GetViewContainer())
    {
      AAX_Point size;
      size.vert = static_cast<float>(height);
      size.horz = static_cast<float>(width);
      view->GetViewContainer()->SetViewSize(size);
    }
  }
  SetEditorSize(width, height);
  return true;
}

void IPlugAAX::GetTrackName(std::string& name) const
{
  std::lock_guard lock(mTrackNameLock);
  name = mHostTrackName;
}

// ---- 3. The render operation, MIDI out and latency -------------------------------------------

void IPlugAAX::RenderAudio(AAX_SIPlugContext* context, const TParamValPair* const syncValues[],
                           int32_t numSyncValues)
{
  (void) syncValues;
  (void) numSyncValues;
  if (!context)
    return;

  AAX_CParameter<bool>* masterBypass = mMasterBypass.load(std::memory_order_acquire);
  const bool bypass = masterBypass && masterBypass->GetValue();

  uint32_t inputFormat = AAX_eStemFormat_None;
  uint32_t outputFormat = AAX_eStemFormat_None;
  if (AAX_IController* controller = Controller())
  {
    controller->GetInputStemFormat(&inputFormat);
    controller->GetOutputStemFormat(&outputFormat);
  }
  const int nIn = std::min(AAX_StemFormatChannelCount(inputFormat), ChannelCount(kInput));
  const int nOut = std::min(AAX_StemFormatChannelCount(outputFormat), ChannelCount(kOutput));

  if (DoesMidiIn() && context->mInputNode)
  {
    if (const AAX_CMidiStream* stream = context->mInputNode->GetNodeBuffer(); stream && stream->mBuffer)
    {
      for (uint32_t i = 0; i < stream->mBufferSize; ++i)
      {
        const AAX_CMidiPacket& packet = stream->mBuffer[i];
        const MidiMessage msg{static_cast<int>(packet.mTimestamp), packet.mData[0], packet.mData[1], packet.mData[2]};
        ProcessMidiMsg(msg);
        mMidiForEditor.Push(msg);
      }
    }
  }

  mHostTransport = context->mTransportNode ? context->mTransportNode->GetTransport() : nullptr;

  TimeInfo blockTime;
  if (!bypass)
  {
    blockTime = HostTimeInfo();
    MidiMessage msg;
    while (mMidiFromEditor.Pop(msg))
      ProcessMidiMsg(msg);
  }

  // The frame is prepared for GetBlockSize() frames and growing it would allocate here, on the
  // audio thread: a longer host block runs as consecutive pieces of the prepared size, which
  // sound exactly as if the host had sent them one by one.
  const int nFrames = context->mNumSamplesP ? std::max(*context->mNumSamplesP, 0) : 0;
  const int pieceFrames = std::max(GetBlockSize(), 1);
  int offset = 0;
  do
  {
    const int frames = std::min(pieceFrames, nFrames - offset);
    RenderPiece(context, nIn, nOut, offset, frames, bypass, blockTime);
    offset += frames;
  } while (offset < nFrames);
  mPieceOffset = 0;

  if (DoesMidiOut() && context->mOutputNode)
    PostPendingMidi(context, nFrames);
}

void IPlugAAX::RenderPiece(AAX_SIPlugContext* context, int nIn, int nOut, int offset, int frames, bool bypass,
                           const TimeInfo& blockTime)
{
  // Messages the block routine sends count from the start of the host's block.
  mPieceOffset = offset;

  // The same channel counts as the last piece's connect the same channels again, unless someone
  // else connected channels since: a host sending blocks of a frame or two would pay the
  // connecting on every frame.
  const bool reconnect = mHasSideChain || nIn != mConnectedIn || nOut != mConnectedOut ||
                         ConnectionCalls() != mConnectionCallsLeft;
  if (GetPlugType() != 1)
  {
    if (reconnect)
    {
      ConnectChannels(kInput, 0, nIn, true);
      ConnectChannels(kInput, nIn, ChannelCount(kInput) - nIn, false);
    }
    // Field 26 exists only in a component that asked for a side chain, which only a plug-in
    // with more than one input bus does.
    const int32_t sideChain = mHasSideChain && context->mSideChainP ? *context->mSideChainP : 0;
    if (sideChain > 0 && context->mInputPP)
    {
      ConnectChannels(kInput, mMainInputChannels, 1, true);
      AttachHostBuffers(kInput, 0, nIn, PieceOf(context->mInputPP, nIn, offset, mPieceInputs), frames);
      AttachHostBuffers(kInput, mMainInputChannels, 1, PieceOf(context->mInputPP + sideChain, 1, offset, mPieceSideChain), frames);
    }
    else
    {
      AttachHostBuffers(kInput, 0, nIn, PieceOf(context->mInputPP, nIn, offset, mPieceInputs), frames);
    }
  }

  if (reconnect)
  {
    ConnectChannels(kOutput, 0, ChannelCount(kOutput), true);
    if (MaxBusCount(kOutput) == 1)
      ConnectChannels(kOutput, nOut, ChannelCount(kOutput) - nOut, false);
    mConnectedIn = nIn;
    mConnectedOut = nOut;
    mConnectionCallsLeft = ConnectionCalls();
  }
  AttachHostBuffers(kOutput, 0, ChannelCount(kOutput),
                    PieceOf(context->mOutputPP, ConnectedChannelCount(kOutput), offset, mPieceOutputs), frames);

  if (bypass)
  {
    PassThrough(frames);
    return;
  }
  TimeInfo pieceTime = blockTime;
  if (offset > 0)
  {
    if (pieceTime.mSamplePos >= 0.0)
      pieceTime.mSamplePos += offset;
    if (const double samplesPerBeat = pieceTime.mTempo > 0.0 ? GetSampleRate() * 60.0 / pieceTime.mTempo : 0.0;
        samplesPerBeat > 0.0 && pieceTime.mPPQPos >= 0.0)
      pieceTime.mPPQPos += offset / samplesPerBeat;
  }
  SetTimeInfo(pieceTime);
  RunBlock(frames);
}

float** IPlugAAX::PieceOf(float** hostPointers, int count, int offset, std::vector<float*>& piece)
{
  if (!hostPointers)
    return nullptr;
  if (offset == 0)
    return hostPointers;
  const int n = std::clamp(count, 0, static_cast<int>(piece.size()));
  for (int i = 0; i < n; ++i)
    piece[static_cast<size_t>(i)] = hostPointers[i] ? hostPointers[i] + offset : nullptr;
  return piece.data();
}

TimeInfo IPlugAAX::HostTimeInfo() const
{
  TimeInfo timeInfo;
  if (const AAX_ITransport* transport = mHostTransport)
  {
    double tempo = 0.0;
    if (transport->GetCurrentTempo(&tempo) == AAX_SUCCESS)
      timeInfo.mTempo = tempo;
    bool playing = false;
    if (transport->IsTransportPlaying(&playing) == AAX_SUCCESS && playing)
      timeInfo.mTransportFlags |= kTransportRunning;
    int32_t numerator = 0, denominator = 0;
    if (transport->GetCurrentMeter(&numerator, &denominator) == AAX_SUCCESS)
    {
      timeInfo.mNumerator = numerator;
      timeInfo.mDenominator = denominator;
    }
    int64_t ticks = 0;
    if (transport->GetCurrentTickPosition(&ticks) == AAX_SUCCESS)
      timeInfo.mPPQPos = std::max(static_cast<double>(ticks) / kTicksPerBeat, 0.0);
    int64_t samplePos = 0;
    if (transport->GetCurrentNativeSampleLocation(&samplePos) == AAX_SUCCESS)
      timeInfo.mSamplePos = static_cast<double>(samplePos);
    bool looping = false;
    int64_t loopStart = 0, loopEnd = 0;
    if (transport->GetCurrentLoopPosition(&looping, &loopStart, &loopEnd) == AAX_SUCCESS)
    {
      if (looping)
        timeInfo.mTransportFlags |= kTransportLooping;
      timeInfo.mCycleStart = static_cast<double>(loopStart) / kTicksPerBeat;
      timeInfo.mCycleEnd = static_cast<double>(loopEnd) / kTicksPerBeat;
    }
  }
  return timeInfo;
}

bool IPlugAAX::SendMidiMsg(const MidiMessage& pieceMsg)
{
  MidiMessage msg = pieceMsg;
  msg.offset += mPieceOffset;
  if (mMidiOutPending.size() == mMidiOutPending.capacity())
  {
    if (mMidiOutFront > 0)
    {
      mMidiOutPending.erase(mMidiOutPending.begin(), mMidiOutPending.begin() + static_cast<ptrdiff_t>(mMidiOutFront));
      mMidiOutFront = 0;
    }
    else
    {
      try
      {
        mMidiOutPending.reserve((mMidiOutPending.capacity() / kMidiOutChunk + 1) * kMidiOutChunk);
      }
      catch (...)
      {
        return true;  // no room: the message stays out
      }
    }
  }
  // After every waiting message with an offset not above its own.
  const auto at = std::upper_bound(mMidiOutPending.begin() + static_cast<ptrdiff_t>(mMidiOutFront),
                                   mMidiOutPending.end(), msg,
                                   [](const MidiMessage& a, const MidiMessage& b) { return a.offset < b.offset; });
  mMidiOutPending.insert(at, msg);
  return true;
}

void IPlugAAX::PostPendingMidi(AAX_SIPlugContext* context, int nFrames)
{
  AAX_IMIDINode* node = context->mOutputNode;
  for (size_t i = mMidiOutFront; i < mMidiOutPending.size(); ++i)
  {
    const MidiMessage& msg = mMidiOutPending[i];
    AAX_CMidiPacket packet;
    packet.mTimestamp = static_cast<uint32_t>(msg.offset);
    packet.mLength = 3;
    packet.mData[0] = msg.status;
    packet.mData[1] = msg.data1;
    packet.mData[2] = msg.data2;
    packet.mIsImmediate = 1;
    node->PostMIDIPacket(&packet);
  }
  // Everything went out; what a later block queues counts from its own start.
  mMidiOutPending.clear();
  mMidiOutFront = 0;
  (void) nFrames;

  while (mSysexFromEditor.Pop(mSysexScratch))
  {
    const int size = std::clamp(mSysexScratch.size, 0, SysexBlock::kMaxSize);
    for (int sent = 0; sent < size; sent += 4)
    {
      AAX_CMidiPacket packet;
      packet.mTimestamp = static_cast<uint32_t>(mSysexScratch.offset);
      packet.mIsImmediate = 1;
      packet.mLength = static_cast<uint32_t>(std::min(4, size - sent));
      std::memcpy(packet.mData, mSysexScratch.data + sent, packet.mLength);
      node->PostMIDIPacket(&packet);
    }
  }
}

void IPlugAAX::ReportLatency(int samples)
{
  if (AAX_IController* controller = Controller())
    controller->SetSignalLatency(samples);
  IPlugProcessor::ReportLatency(samples);
}

// ---- 4. State chunks and notifications -------------------------------------------------------

bool IPlugAAX::IsStateChunk(AAX_CTypeID chunkID) const
{
  return chunkID == static_cast<AAX_CTypeID>(GetUniqueID());
}

AAX_Result IPlugAAX::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outChunkID) const
{
  if (!outChunkID)
    return AAX_ERROR_NULL_ARGUMENT;
  if (index != 0)
  {
    *outChunkID = 0;
    return AAX_ERROR_INVALID_CHUNK_INDEX;
  }
  *outChunkID = static_cast<AAX_CTypeID>(GetUniqueID());
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::GetChunkSize(AAX_CTypeID chunkID, uint32_t* outSize) const
{
  if (!outSize)
    return AAX_ERROR_NULL_ARGUMENT;
  if (!IsStateChunk(chunkID))
  {
    *outSize = 0;
    return AAX_ERROR_INVALID_CHUNK_ID;
  }
  ByteChunk state;
  if (WriteState(state))
    *outSize = static_cast<uint32_t>(state.Size());
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* outChunk) const
{
  if (!outChunk)
    return AAX_ERROR_NULL_ARGUMENT;
  if (!IsStateChunk(chunkID))
    return AAX_ERROR_INVALID_CHUNK_ID;
  ByteChunk state;
  if (!WriteState(state))
    return AAX_ERROR_INVALID_CHUNK_ID;
  // The host sized its record from GetChunkSize; a state that has grown since, or a record that
  // was never sized, is refused rather than written past its end.
  if (outChunk->fSize < state.Size())
    return AAX_ERROR_INCORRECT_CHUNK_SIZE;
  outChunk->fSize = state.Size();
  std::memcpy(outChunk->fData, state.GetData(), static_cast<size_t>(state.Size()));
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
  if (!chunk)
    return AAX_ERROR_NULL_ARGUMENT;
  if (!IsStateChunk(chunkID))
    return AAX_ERROR_INVALID_CHUNK_ID;
  if (chunk->fSize < 0 || chunk->fSize > kMaxChunkBytes)
    return AAX_ERROR_INCORRECT_CHUNK_SIZE;

  ByteChunk state;
  state.PutBytes(chunk->fData, chunk->fSize);
  ReadState(state, 0);  // a short or damaged state still leaves every value valid

  for (int i = 0; i < NParams(); ++i)
    SetParameterNormalizedValue(ParamIDText(i), GetParam(i)->NormalizedValue());
  OnStateRestored();
  ++mNumPlugInChanges;
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const
{
  if (!chunk || !outIsEqual)
    return AAX_ERROR_NULL_ARGUMENT;
  if (!IsStateChunk(chunk->fChunkID))
  {
    *outIsEqual = 1;
    return AAX_SUCCESS;
  }
  if (chunk->fSize < 0 || chunk->fSize > kMaxChunkBytes)
    return AAX_ERROR_INCORRECT_CHUNK_SIZE;

  // The parameter values are the last part of the state: whatever the product writes before
  // them (the editor record) is skipped, and only the record's own bytes are read.
  ByteChunk current;
  WriteState(current);
  const int paramBytes = NParams() * static_cast<int>(sizeof(double));
  const int offset = std::max(current.Size() - paramBytes, 0);
  const auto* data = reinterpret_cast<const uint8_t*>(chunk->fData);
  *outIsEqual = chunk->fSize >= offset && StateEquals(data + offset, chunk->fSize - offset, 0) ? 1 : 0;
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size)
{
  if (type == kNotificationOfflineOn)
  {
    mRenderingOffline.store(true, std::memory_order_relaxed);
  }
  else if (type == kNotificationOfflineOff)
  {
    mRenderingOffline.store(false, std::memory_order_relaxed);
  }
  else if (type == kNotificationTrackName && data)
  {
    const char* text = static_cast<const AAX_IString*>(data)->Get();
    std::string name = text ? std::string(text, strnlen(text, kMaxTrackNameLength)) : std::string();
    std::lock_guard lock(mTrackNameLock);
    mHostTrackName = std::move(name);
  }
  return AAX_CIPlugParameters::NotificationReceived(type, data, size);
}

} // namespace iplug
