// IPlugLV2, in three sections:
//   1. construction and instantiation (features, block length)
//   2. ports and the run call
//   3. state

#include "IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include "ByteChunk.h"
#include "EditorSizeRecord.h"
#include "LV2EffectIdentity.h"

namespace iplug {

namespace {

constexpr float kNotApplied = std::numeric_limits<float>::quiet_NaN();

const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
  for (const LV2_Feature* const* f = features; f && *f; ++f)
  {
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0)
      return (*f)->data;
  }
  return nullptr;
}

// The host's largest block length from its options, 0 when it announces none it can be held to.
int AnnouncedMaxBlockLength(const LV2_Options_Option* options, LV2_URID_Map* map)
{
  if (!options || !map)
    return 0;
  const LV2_URID maxKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  for (const LV2_Options_Option* o = options; o->key != 0; ++o)
  {
    if (o->key == maxKey && o->type == intType && o->size == sizeof(int32_t) && o->value)
    {
      int32_t value = 0;
      std::memcpy(&value, o->value, sizeof(value));
      return std::max(value, 0);
    }
  }
  return 0;
}

} // namespace

// ---- 1. Construction and instantiation ------------------------------------------------------

IPlugLV2::IPlugLV2(const ConfigRecord& config, int maxLatency)
  // The framework's list of host APIs has no entry for LV2; the application code is the nearest.
  : IPlugAPIBase(config, kAPIAPP)
  , IPlugProcessor(config)
  , mMaxLatency(std::max(maxLatency, config.latency))
{
  mPorts.nParams = NParams();
  mControlPorts.assign(static_cast<size_t>(NParams()), nullptr);
  mLastControlValues.assign(static_cast<size_t>(NParams()), kNotApplied);
  if (ChannelCount(kInput) >= 1)
    CreateBypassDelayLine(mMaxLatency);
  PrepareBlockSize(kDefaultBlockSize);
}

IPlugLV2::~IPlugLV2() = default;

bool IPlugLV2::Instantiate(int channels, double sampleRate, const LV2_Feature* const* features)
{
  if (channels < 1 || channels > std::min(ChannelCount(kInput), ChannelCount(kOutput)) ||
      channels > static_cast<int>(mAudioIn.size()) || !(sampleRate > 0.0) || !std::isfinite(sampleRate))
    return false;
  mPorts.nChannels = channels;
  SetSampleRate(sampleRate);

  mMap = static_cast<LV2_URID_Map*>(const_cast<void*>(FindFeature(features, LV2_URID__map)));
  if (mMap && !mMap->map)
    mMap = nullptr;
  if (mMap)
  {
    mChunkType = mMap->map(mMap->handle, LV2_ATOM__Chunk);
    mStateKey = mMap->map(mMap->handle, kProductLV2Identity.stateKeyURI);
  }
  mMessages.Map(mMap, kProductLV2Identity.editorSizeURI);
  const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  const int announced = AnnouncedMaxBlockLength(options, mMap);
  PrepareBlockSize(announced > 0 ? std::min(announced, kMaxPreparedBlockSize) : kDefaultBlockSize);

  ConnectChannels(kInput, 0, channels, true);
  ConnectChannels(kInput, channels, ChannelCount(kInput) - channels, false);
  ConnectChannels(kOutput, 0, channels, true);
  ConnectChannels(kOutput, channels, ChannelCount(kOutput) - channels, false);
  ResetProcessing();
  return true;
}

void IPlugLV2::Activate()
{
  ClearScratch();
  // The same length again rewinds the line and silences it, within its reserve.
  if (BypassDelayLine* line = GetBypassDelayLine())
    line->SetLength(static_cast<int>(line->Length()));
  ResetProcessing();
}

// ---- 2. Ports and the run call ---------------------------------------------------------------

void IPlugLV2::ConnectPort(uint32_t port, void* location)
{
  if (port < mPorts.Enabled())
  {
    mControlPorts[port] = static_cast<const float*>(location);
  }
  else if (port == mPorts.Enabled())
  {
    mEnabledPort = static_cast<const float*>(location);
  }
  else if (port == mPorts.Latency())
  {
    mLatencyPort = static_cast<float*>(location);
  }
  else if (port == mPorts.MessagesIn())
  {
    mMessagesIn = static_cast<const LV2_Atom_Sequence*>(location);
  }
  else if (port == mPorts.MessagesOut())
  {
    mMessagesOut = static_cast<LV2_Atom_Sequence*>(location);
  }
  else if (port < mPorts.MessagesIn())
  {
    const uint32_t audio = port - mPorts.AudioIn(0);
    const auto channels = static_cast<uint32_t>(mPorts.nChannels);
    if (audio < channels)
      mAudioIn[audio] = static_cast<const float*>(location);
    else
      mAudioOut[audio - channels] = static_cast<float*>(location);
  }
}

void IPlugLV2::ApplyControlPorts()
{
  for (int i = 0; i < NParams(); ++i)
  {
    const float* port = mControlPorts[static_cast<size_t>(i)];
    if (!port)
      continue;
    const float value = *port;
    float& last = mLastControlValues[static_cast<size_t>(i)];
    // A non-finite value never reaches the model; the parameter keeps the one it has.
    if (!std::isfinite(value) || value == last)
      continue;
    last = value;
    // The path an AAX host's automation takes: the normalised value, then the change handling.
    IParam* param = GetParam(i);
    param->SetNormalizedValue(param->ToNormalized(static_cast<double>(value)));
    OnParamChange(i, kHost, -1);
  }
}

void IPlugLV2::TakeControlPortSnapshot()
{
  for (size_t i = 0; i < mControlPorts.size(); ++i)
    mLastControlValues[i] = mControlPorts[i] ? *mControlPorts[i] : kNotApplied;
}

void IPlugLV2::ExchangeMessages()
{
  bool tellSize = mEditorSizeRestored.exchange(false, std::memory_order_acq_rel);
  if (mMessagesIn && mMessages.Mapped() && mMessagesIn->atom.type == mMessages.Sequence())
  {
    const uint32_t size = mMessagesIn->atom.size;
    const auto* body = reinterpret_cast<const uint8_t*>(&mMessagesIn->body);
    constexpr auto kEventHeader = static_cast<uint32_t>(sizeof(LV2_Atom_Event));
    for (uint32_t at = sizeof(LV2_Atom_Sequence_Body); at <= size && size - at >= kEventHeader;)
    {
      const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + at);
      const uint32_t atomBytes = size - at - static_cast<uint32_t>(sizeof(event->time));
      if (event->body.size > atomBytes - sizeof(LV2_Atom))
        break;  // an event that runs past its sequence ends the reading
      LV2EditorSize record;
      switch (mMessages.Read(&event->body, atomBytes, record))
      {
        case LV2EditorSizeMessages::Kind::kSet: SetEditorSize(record); break;
        case LV2EditorSizeMessages::Kind::kGet: tellSize = true; break;
        case LV2EditorSizeMessages::Kind::kNone: break;
      }
      at += (kEventHeader + event->body.size + 7u) & ~7u;
    }
  }

  if (!mMessagesOut || !mMessages.Mapped())
    return;
  // The host announces the room it gave in the size; the answer goes in only when it fits.
  const uint32_t capacity = mMessagesOut->atom.size;
  if (capacity < sizeof(LV2_Atom_Sequence_Body))
    return;
  mMessagesOut->atom = {static_cast<uint32_t>(sizeof(LV2_Atom_Sequence_Body)), mMessages.Sequence()};
  mMessagesOut->body = {0, 0};
  constexpr auto kFirstEvent = static_cast<uint32_t>(sizeof(LV2_Atom_Sequence_Body));
  constexpr auto kTime = static_cast<uint32_t>(sizeof(int64_t));
  if (!tellSize || capacity - kFirstEvent < kTime)
    return;
  auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&mMessagesOut->body) + kFirstEvent);
  event->time.frames = 0;
  const uint32_t written = mMessages.WriteSet(&event->body, capacity - kFirstEvent - kTime, EditorSize());
  if (written > 0)
    mMessagesOut->atom.size += kTime + written;
}

void IPlugLV2::Run(uint32_t nFrames)
{
  ExchangeMessages();
  ApplyControlPorts();
  if (mEnabledPort && std::isfinite(*mEnabledPort))
    mHostBypassed = !(*mEnabledPort > 0.f);

  const int channels = mPorts.nChannels;
  const auto pieceLimit = static_cast<uint32_t>(std::max(GetBlockSize(), 1));
  // A run of no frames still goes through the block routine, as under AAX, so the latency
  // report follows the settings before any audio flows.
  uint32_t done = 0;
  do
  {
    const auto frames = static_cast<int>(std::min(nFrames - done, pieceLimit));
    std::array<float*, 2> in{};
    std::array<float*, 2> out{};
    for (int ch = 0; ch < channels; ++ch)
    {
      const auto c = static_cast<size_t>(ch);
      // Inputs are only read; the frame's pointer type is shared with the outputs.
      in[c] = mAudioIn[c] ? const_cast<float*>(mAudioIn[c]) + done : nullptr;
      out[c] = mAudioOut[c] ? mAudioOut[c] + done : nullptr;
    }
    AttachHostBuffers(kInput, 0, channels, in.data(), frames);
    AttachHostBuffers(kOutput, 0, channels, out.data(), frames);
    if (mHostBypassed)
      PassThrough(frames);
    else
      RunBlock(frames);
    done += static_cast<uint32_t>(frames);
  } while (done < nFrames);

  if (mLatencyPort)
    *mLatencyPort = static_cast<float>(GetLatency());
}

// ---- 3. State --------------------------------------------------------------------------------

namespace {

uint64_t Packed(const LV2EditorSize& size)
{
  uint32_t scaleBits = 0;
  std::memcpy(&scaleBits, &size.scale, sizeof(scaleBits));
  return (uint64_t{static_cast<uint16_t>(size.width)} << 48) | (uint64_t{static_cast<uint16_t>(size.height)} << 32) |
         scaleBits;
}

LV2EditorSize Unpacked(uint64_t packed)
{
  LV2EditorSize size;
  size.width = static_cast<uint16_t>(packed >> 48);
  size.height = static_cast<uint16_t>(packed >> 32);
  const auto scaleBits = static_cast<uint32_t>(packed);
  std::memcpy(&size.scale, &scaleBits, sizeof(size.scale));
  return size;
}

} // namespace

void IPlugLV2::SetEditorSize(const LV2EditorSize& size)
{
  const bool fits = size.width >= 0 && size.width <= UINT16_MAX && size.height >= 0 && size.height <= UINT16_MAX &&
                    CanShowEditorSize(size.width, size.height, size.scale);
  mEditorSize.store(Packed(fits ? size : LV2EditorSize{}), std::memory_order_relaxed);
}

LV2EditorSize IPlugLV2::EditorSize() const { return Unpacked(mEditorSize.load(std::memory_order_relaxed)); }

bool IPlugLV2::SerializeEditorSize(ByteChunk& chunk) const
{
  const LV2EditorSize size = EditorSize();
  return PutEditorSizeRecord(chunk, {size.width, size.height, size.scale});
}

int IPlugLV2::UnserializeEditorSize(const ByteChunk& chunk, int startPos)
{
  EditorSizeRecord record;
  const int pos = GetEditorSizeRecord(chunk, startPos, record);
  SetEditorSize({record.width, record.height, record.scale});
  return pos;
}

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle)
{
  if (!store)
    return LV2_STATE_ERR_UNKNOWN;
  if (!mMap)
    return LV2_STATE_ERR_NO_FEATURE;
  ByteChunk state;
  if (!WriteState(state) || state.Size() <= 0)
    return LV2_STATE_ERR_UNKNOWN;
  return store(handle, mStateKey, state.GetData(), static_cast<size_t>(state.Size()), mChunkType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
  if (!retrieve)
    return LV2_STATE_ERR_UNKNOWN;
  if (!mMap)
    return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, mStateKey, &size, &type, &flags);
  if (!data)
    return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mChunkType)
    return LV2_STATE_ERR_BAD_TYPE;

  // A record shorter than the one this build writes would leave parameters half restored (the
  // AAX build zeroes the first one missing); it is refused whole and nothing changes.
  ByteChunk current;
  WriteState(current);
  if (size < static_cast<size_t>(current.Size()) || size > kMaxStateBytes)
    return LV2_STATE_ERR_UNKNOWN;

  ByteChunk state;
  state.PutBytes(data, static_cast<int>(size));
  ReadState(state, 0);
  // The restored values stand until the host moves a control; the ports may still hold older ones.
  TakeControlPortSnapshot();
  mEditorSizeRestored.store(true, std::memory_order_release);
  OnStateRestored();
  return LV2_STATE_SUCCESS;
}

} // namespace iplug
