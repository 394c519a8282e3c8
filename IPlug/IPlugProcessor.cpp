// IPlugProcessor, in four sections:
//   1. construction and the virtual defaults
//   2. channel configuration: the channel text parser and the queries over its layouts
//   3. block processing: prepare, connect, attach, run, pass through
//   4. channels, labels, the bypass delay line and settings

#include "IPlugProcessor.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "IPlugLogger.h"

namespace iplug {

namespace {

// Calls fn for every maximal run of characters other than sep: separators in a row, at the
// start or at the end produce no empty runs.
template <typename Fn>
void ForEachRun(std::string_view text, char sep, Fn&& fn)
{
  size_t pos = 0;
  while (pos < text.size())
  {
    if (text[pos] == sep)
    {
      ++pos;
      continue;
    }
    size_t end = text.find(sep, pos);
    if (end == std::string_view::npos)
      end = text.size();
    fn(text.substr(pos, end - pos));
    pos = end;
  }
}

// A bus token's channel count: kAnyChannelCount for exactly "*", otherwise the leading decimal
// integer as "%d" would read it (0 when there is none). Saturates instead of overflowing.
int ReadBusToken(std::string_view token)
{
  if (token == "*")
    return kAnyChannelCount;

  size_t i = 0;
  while (i < token.size() && std::isspace(static_cast<unsigned char>(token[i])))
    ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-'))
    negative = token[i++] == '-';

  long long value = 0;
  while (i < token.size() && token[i] >= '0' && token[i] <= '9')
  {
    value = std::min<long long>(value * 10 + (token[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    ++i;
  }
  if (negative)
    return static_cast<int>(std::max<long long>(-value, INT_MIN));
  return static_cast<int>(std::min<long long>(value, INT_MAX));
}

// Adds the buses of one "."-separated part to a configuration.
void ParseBusPart(std::string_view part, ERoute direction, IOConfig& config)
{
  ForEachRun(part, '.', [&](std::string_view token) {
    const int nChans = ReadBusToken(token);
    if (nChans != 0)
      config.AddBus(direction, nChans);
  });
}

// True when the format is safe to hand to printf with one int: any number of "%%" and at most
// one conversion from "diouxXc" with plain flags, width and precision.
bool TakesAtMostOneInt(const char* format)
{
  int conversions = 0;
  for (const char* p = format; *p; ++p)
  {
    if (*p != '%')
      continue;
    ++p;
    if (*p == '%')
      continue;
    while (*p && std::strchr("-+ #0", *p))
      ++p;
    while (*p >= '0' && *p <= '9')
      ++p;
    if (*p == '.')
    {
      ++p;
      while (*p >= '0' && *p <= '9')
        ++p;
    }
    if (!*p || !std::strchr("diouxXc", *p))
      return false;
    if (++conversions > 1)
      return false;
  }
  return true;
}

} // namespace

// ---- 1. Construction and the virtual defaults -------------------------------------------------

IPlugProcessor::IPlugProcessor(const ConfigRecord& config)
  : mPlugType(config.plugType)
  , mDoesMidiIn(config.plugDoesMidiIn)
  , mDoesMidiOut(config.plugDoesMidiOut)
  , mDoesMPE(config.plugDoesMPE)
  , mLatency(std::max(config.latency, 0))
{
  int maxNInputs = 0, maxNOutputs = 0, maxNInBuses = 0, maxNOutBuses = 0;
  ParseChannelIO(config.channelIOStr, mIOConfigs, maxNInputs, maxNOutputs, maxNInBuses,
                 maxNOutBuses);

  // The pointer arrays never change size after this, so the channel records may point into them.
  mInputPointers.assign(static_cast<size_t>(maxNInputs), nullptr);
  mOutputPointers.assign(static_cast<size_t>(maxNOutputs), nullptr);
  mInputChannels.resize(mInputPointers.size());
  mOutputChannels.resize(mOutputPointers.size());
  for (size_t i = 0; i < mInputChannels.size(); ++i)
    mInputChannels[i].mSlot = &mInputPointers[i];
  for (size_t i = 0; i < mOutputChannels.size(); ++i)
    mOutputChannels[i].mSlot = &mOutputPointers[i];
}

IPlugProcessor::~IPlugProcessor() = default;

void IPlugProcessor::RenderBlock(sample** inputs, sample** outputs, int nFrames)
{
  CopyInputsToOutputs(inputs, outputs, nFrames);
}

void IPlugProcessor::ProcessMidiMsg(const MidiMessage& msg)
{
  SendMidiMsg(msg);
}

void IPlugProcessor::ProcessSysEx(const SysexMessage& /*msg*/) {}

void IPlugProcessor::ResetProcessing() {}

void IPlugProcessor::OnActivate(bool /*active*/) {}

bool IPlugProcessor::SendMidiMsg(const MidiMessage& /*msg*/)
{
  return false;
}

bool IPlugProcessor::SendMidiMsgs(std::span<const MidiMessage> msgs)
{
  bool allSent = true;
  for (const MidiMessage& msg : msgs)
    allSent = SendMidiMsg(msg) && allSent; // every message is offered, even after a failure
  return allSent;
}

bool IPlugProcessor::SendSysEx(const SysexMessage& /*msg*/)
{
  return false;
}

void IPlugProcessor::BusName(ERoute direction, int busIdx, int nBuses, std::string& out) const
{
  char name[32];
  if (direction == kInput)
  {
    if (nBuses == 1)
      std::snprintf(name, sizeof(name), "Input");
    else if (nBuses == 2)
      std::snprintf(name, sizeof(name), "%s", busIdx == 0 ? "Main" : "Aux");
    else
      std::snprintf(name, sizeof(name), "Input %i", busIdx);
  }
  else
  {
    if (nBuses == 1)
      std::snprintf(name, sizeof(name), "Output");
    else
      std::snprintf(name, sizeof(name), "Output %i", busIdx);
  }
  out = name;
}

void IPlugProcessor::ReportLatency(int samples)
{
  mLatency = std::max(samples, 0);
  if (mBypassDelay)
    mBypassDelay->SetLength(mLatency);
}

// ---- 2. Channel configuration -----------------------------------------------------------------

int IPlugProcessor::ParseChannelIO(const char* text, std::vector<IOConfig>& configs,
                                   int& maxNInputs, int& maxNOutputs, int& maxNInBuses,
                                   int& maxNOutBuses)
{
  maxNInputs = maxNOutputs = maxNInBuses = maxNOutBuses = 0;
  int nParsed = 0;

  ForEachRun(text ? std::string_view(text) : std::string_view(), ' ', [&](std::string_view token) {
    IOConfig config;

    // The input part is the first run between dashes and the output part the second; a token
    // without an output part is not a supported layout but still parses harmlessly.
    int part = 0;
    ForEachRun(token, '-', [&](std::string_view run) {
      if (part == 0)
        ParseBusPart(run, kInput, config);
      else if (part == 1)
        ParseBusPart(run, kOutput, config);
      ++part;
    });

    maxNInputs = std::max(maxNInputs, config.TotalNChannels(kInput));
    maxNOutputs = std::max(maxNOutputs, config.TotalNChannels(kOutput));
    maxNInBuses = std::max(maxNInBuses, config.NBuses(kInput));
    maxNOutBuses = std::max(maxNOutBuses, config.NBuses(kOutput));
    configs.push_back(std::move(config));
    ++nParsed;
  });

  return nParsed;
}

bool IPlugProcessor::LegalIO(int nInputs, int nOutputs) const
{
  bool legal = false;
  for (const IOConfig& config : mIOConfigs)
  {
    if ((nInputs < 0 || config.TotalNChannels(kInput) == nInputs) &&
        (nOutputs < 0 || config.TotalNChannels(kOutput) == nOutputs))
    {
      legal = true;
      break;
    }
  }
  TRACE_F("%d:%d:%s", nInputs, nOutputs, legal ? "legal" : "illegal");
  return legal;
}

int IPlugProcessor::MaxBusCount(ERoute direction, int* configIdx) const
{
  int maxCount = 0;
  int maxIdx = 0;
  for (int i = 0; i < NIOConfigs(); ++i)
  {
    const int n = mIOConfigs[static_cast<size_t>(i)].NBuses(direction);
    if (n >= maxCount) // ties go to the later configuration
    {
      maxCount = n;
      maxIdx = i;
    }
  }
  if (configIdx)
    *configIdx = maxIdx;
  return maxCount;
}

int IPlugProcessor::MaxBusChannels(ERoute direction, int busIdx) const
{
  if (mIOConfigs.empty())
    return 0;
  if (mIOConfigs.front().ContainsWildcard(direction))
    return -1;
  if (busIdx < 0 || busIdx >= MaxBusCount(direction))
    return 0;

  int maxChans = 0;
  for (const IOConfig& config : mIOConfigs)
    maxChans = std::max(maxChans, config.NChansOnBus(direction, busIdx));
  return maxChans;
}

int IPlugProcessor::FindIOConfig(std::span<const int> inputBusChans,
                                 std::span<const int> outputBusChans) const
{
  auto matches = [](const IOConfig& config, ERoute direction, std::span<const int> chans) {
    if (config.NBuses(direction) != static_cast<int>(chans.size()))
      return false;
    for (size_t bus = 0; bus < chans.size(); ++bus)
      if (config.NChansOnBus(direction, static_cast<int>(bus)) != chans[bus])
        return false;
    return true;
  };

  for (int i = 0; i < NIOConfigs(); ++i)
  {
    const IOConfig& config = mIOConfigs[static_cast<size_t>(i)];
    if (matches(config, kInput, inputBusChans) && matches(config, kOutput, outputBusChans))
      return i;
  }
  return -1;
}

// ---- 3. Block processing ----------------------------------------------------------------------

void IPlugProcessor::PrepareBlockSize(int nFrames)
{
  nFrames = std::max(nFrames, 0);
  if (nFrames == mBlockSize)
    return;

  // Growing moves the scratch buffers, so every channel is pointed at its new scratch here rather
  // than left dangling until the next ConnectChannels; the adapter re-attaches before each block.
  for (std::vector<ChannelData>* channels : {&mInputChannels, &mOutputChannels})
  {
    for (ChannelData& channel : *channels)
    {
      channel.mScratch.assign(static_cast<size_t>(nFrames), 0.0);
      *channel.mSlot = channel.mScratch.data();
    }
  }
  mBlockSize = nFrames;
}

void IPlugProcessor::ConnectChannels(ERoute direction, int first, int count, bool connected)
{
  ++mConnectionCalls;
  std::vector<ChannelData>* channels = Channels(direction);
  int begin = 0, end = 0;
  ClipRange(direction, first, count, begin, end);
  for (int ch = begin; ch < end; ++ch)
  {
    ChannelData& channel = (*channels)[static_cast<size_t>(ch)];
    if (!connected)
    {
      // A channel the host stops feeding would otherwise replay its last converted block to
      // the block routine, so it drops to silence; one that stays disconnected keeps its
      // scratch, which the block routine may use as it likes.
      if (channel.mConnected)
        std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
      // A disconnected channel always has a valid buffer, and no host buffer to write into.
      *channel.mSlot = channel.mScratch.data();
      channel.mHostOutput = nullptr;
    }
    channel.mConnected = connected;
  }
}

void IPlugProcessor::AttachHostBuffers(ERoute direction, int first, int count,
                                       float** hostPointers, int nFrames)
{
  std::vector<ChannelData>* channels = Channels(direction);
  int begin = 0, end = 0;
  ClipRange(direction, first, count, begin, end);
  const size_t n = static_cast<size_t>(std::clamp(nFrames, 0, mBlockSize));

  int hostIdx = 0;
  for (int ch = begin; ch < end; ++ch)
  {
    ChannelData& channel = (*channels)[static_cast<size_t>(ch)];
    if (!channel.mConnected)
      continue;

    float* host = hostPointers ? hostPointers[hostIdx] : nullptr;
    ++hostIdx;
    *channel.mSlot = channel.mScratch.data();

    if (direction == kInput)
    {
      // A faithful widening: the bypass path must hand on exactly what the host gave, so any
      // cleaning of odd values is the block routine's business, not the frame's.
      if (host)
        std::copy_n(host, n, channel.mScratch.data());
      else
        std::fill_n(channel.mScratch.data(), n, 0.0);
    }
    else
    {
      channel.mHostOutput = host;
    }
  }
}

void IPlugProcessor::RunBlock(int nFrames)
{
  const int n = std::clamp(nFrames, 0, mBlockSize);
  RenderBlock(mInputPointers.data(), mOutputPointers.data(), n);
  ConvertOutputsToHost(nFrames);
}

void IPlugProcessor::PassThrough(int nFrames)
{
  const int n = std::clamp(nFrames, 0, mBlockSize);
  if (mLatency != 0 && mBypassDelay && mBypassDelay->Length() != 0)
    mBypassDelay->Process(mInputPointers.data(), mOutputPointers.data(), n);
  else
    CopyInputsToOutputs(mInputPointers.data(), mOutputPointers.data(), n);
  ConvertOutputsToHost(nFrames);
}

void IPlugProcessor::CopyInputsToOutputs(sample* const* inputs, sample* const* outputs,
                                         int nFrames) const
{
  if (!outputs)
    return;
  const size_t n = static_cast<size_t>(std::max(nFrames, 0));
  const size_t nInputs = inputs ? mInputPointers.size() : 0;
  for (size_t ch = 0; ch < mOutputPointers.size(); ++ch)
  {
    sample* out = outputs[ch];
    if (!out)
      continue;
    const sample* in = ch < nInputs ? inputs[ch] : nullptr;
    if (in)
    {
      if (in != out)
        std::copy_n(in, n, out);
    }
    else
    {
      std::fill_n(out, n, 0.0);
    }
  }
}

void IPlugProcessor::ConvertOutputsToHost(int nFrames)
{
  const int requested = std::max(nFrames, 0);
  const int n = std::min(requested, mBlockSize);
  for (ChannelData& channel : mOutputChannels)
  {
    if (!channel.mConnected || !channel.mHostOutput)
      continue;
    const sample* src = channel.mScratch.data();
    float* dst = channel.mHostOutput;
    for (int s = 0; s < n; ++s)
      dst[s] = static_cast<float>(src[s]);
    std::fill(dst + n, dst + requested, 0.0f);
  }
}

// ---- 4. Channels, labels, the bypass delay line and settings ----------------------------------

std::vector<ChannelData>* IPlugProcessor::Channels(ERoute direction)
{
  if (direction == kInput)
    return &mInputChannels;
  if (direction == kOutput)
    return &mOutputChannels;
  return nullptr;
}

const std::vector<ChannelData>* IPlugProcessor::Channels(ERoute direction) const
{
  return const_cast<IPlugProcessor*>(this)->Channels(direction);
}

void IPlugProcessor::ClipRange(ERoute direction, int first, int count, int& begin, int& end) const
{
  const std::vector<ChannelData>* channels = Channels(direction);
  const long long nChans = channels ? static_cast<long long>(channels->size()) : 0;
  const long long lo = std::clamp<long long>(first, 0, nChans);
  const long long hi = std::clamp<long long>(static_cast<long long>(first) + count, lo, nChans);
  begin = static_cast<int>(lo);
  end = static_cast<int>(hi);
}

int IPlugProcessor::ChannelCount(ERoute direction) const
{
  const std::vector<ChannelData>* channels = Channels(direction);
  return channels ? static_cast<int>(channels->size()) : 0;
}

int IPlugProcessor::ConnectedChannelCount(ERoute direction) const
{
  const std::vector<ChannelData>* channels = Channels(direction);
  if (!channels)
    return 0;
  return static_cast<int>(std::count_if(channels->begin(), channels->end(),
                                        [](const ChannelData& c) { return c.mConnected; }));
}

const ChannelData* IPlugProcessor::GetChannelData(ERoute direction, int ch) const
{
  const std::vector<ChannelData>* channels = Channels(direction);
  if (!channels || ch < 0 || ch >= static_cast<int>(channels->size()))
    return nullptr;
  return &(*channels)[static_cast<size_t>(ch)];
}

void IPlugProcessor::LimitToStereo()
{
  ConnectChannels(kInput, 2, ChannelCount(kInput) - 2, false);
  ConnectChannels(kOutput, 2, ChannelCount(kOutput) - 2, true);
}

void IPlugProcessor::ClearScratch()
{
  for (std::vector<ChannelData>* channels : {&mInputChannels, &mOutputChannels})
    for (ChannelData& channel : *channels)
      std::fill(channel.mScratch.begin(), channel.mScratch.end(), 0.0);
}

void IPlugProcessor::LabelChannel(ERoute direction, int ch, const char* format, bool zeroBased)
{
  std::vector<ChannelData>* channels = Channels(direction);
  if (!channels || ch < 0 || ch >= static_cast<int>(channels->size()))
    return;

  char* label = (*channels)[static_cast<size_t>(ch)].mLabel;
  const size_t size = ChannelData::kMaxLabelLength + 1;
  if (!format)
    label[0] = '\0';
  else if (TakesAtMostOneInt(format))
    std::snprintf(label, size, format, zeroBased ? ch : ch + 1);
  else
    std::snprintf(label, size, "%s", format);
}

void IPlugProcessor::CreateBypassDelayLine(int reserveLatency)
{
  if (ChannelCount(kInput) < 1)
    return;
  mBypassDelay =
    std::make_unique<BypassDelayLine>(ChannelCount(kInput), ChannelCount(kOutput), mLatency);
  mBypassDelay->Reserve(std::max(reserveLatency, mLatency));
}

void IPlugProcessor::SetSampleRate(double sampleRate)
{
  if (std::isfinite(sampleRate) && sampleRate > 0.0)
    mSampleRate = sampleRate;
}

double IPlugProcessor::SamplesPerBeat() const
{
  const double tempo = mTimeInfo.mTempo;
  if (!(tempo > 0.0))
    return 0.0;
  return mSampleRate * 60.0 / tempo;
}

} // namespace iplug
