#include "IPlugAPIBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "HostCodes.h"
#include "IPlugLogger.h"

namespace iplug {

namespace {
// Identity texts are kept to 128 characters whatever the record holds.
std::string Limited(const char* text)
{
  std::string s = text ? text : "";
  if (s.size() > 128)
    s.resize(128);
  return s;
}
} // namespace

IPlugAPIBase::IPlugAPIBase(const ConfigRecord& config, EAPI api)
  : IPluginBase(config.nParams, config.nPresets)
  , mPluginName(Limited(config.pluginName))
  , mProductName(Limited(config.productName))
  , mMfrName(Limited(config.mfrName))
  , mHasUI(config.plugHasUI)
  , mHostResize(config.plugHostResize)
  , mBundleID(config.bundleID ? config.bundleID : "")
{
  SetIdentity(config.vendorVersion, config.uniqueID, config.mfrID, config.plugDoesChunks, api);
  SetEditorSize(config.plugWidth, config.plugHeight);
  // A record with the limits swapped still yields min <= max.
  SetSizeConstraints(std::min(config.plugMinWidth, config.plugMaxWidth),
                     std::max(config.plugMinWidth, config.plugMaxWidth),
                     std::min(config.plugMinHeight, config.plugMaxHeight),
                     std::max(config.plugMinHeight, config.plugMaxHeight));
}

IPlugAPIBase::~IPlugAPIBase()
{
  // No tick may arrive while the rest of the object is torn down.
  if (mIdleTimer)
    mIdleTimer->Cancel();
}

bool IPlugAPIBase::StateEquals(const uint8_t* data, int size, int startPos) const
{
  if (!data || startPos < 0 || size < 0)
    return false;
  const int64_t needed = (static_cast<int64_t>(startPos) + NParams()) * static_cast<int64_t>(sizeof(double));
  if (needed > size)
    return false;
  for (int i = 0; i < NParams(); ++i)
  {
    double stored;
    std::memcpy(&stored, data + (static_cast<size_t>(startPos) + static_cast<size_t>(i)) * sizeof(double), sizeof(double));
    const float current = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(current - static_cast<float>(stored)) < 0.00001f))
      return false;
  }
  return true;
}

void* IPlugAPIBase::GetViewInterface()
{
  IEditorView* view = GetEditorView();
  return view ? view->GetAPIViewInterface() : nullptr;
}

void IPlugAPIBase::ListImportantParams(int count, std::vector<int>& indices) const
{
  if (count < NParams())
  {
    for (int i = 0; i < count; ++i)
      indices.push_back(i);
  }
}

bool IPlugAPIBase::MidiNoteName(int note, std::string& name) const
{
  (void) note;
  name.clear();
  return false;
}

int IPlugAPIBase::ReservedHook3(int& a, int& b, int& c) const
{
  a = b = c = 0;
  return 0;
}

void IPlugAPIBase::QueueParamValueForEditor(int paramIdx, double value, bool normalized)
{
  const IParam* pParam = GetParam(paramIdx);
  if (!pParam)
    return;
  if (normalized)
    value = pParam->FromNormalized(value);
  mParamChangesForEditor.Push(ParamChange{paramIdx, value});
}

void IPlugAPIBase::FromEditorAllParamsDirty()
{
  for (int i = 0; i < NParams(); ++i)
    HostSetParamNormalized(i, GetParam(i)->NormalizedValue());
}

void IPlugAPIBase::SetParamFromEditor(int paramIdx, double normalizedValue)
{
  IParam* pParam = GetParam(paramIdx);
  if (!pParam || !std::isfinite(normalizedValue))
    return;
  pParam->SetNormalizedValue(normalizedValue);
  HostSetParamNormalized(paramIdx, normalizedValue);
  OnParamChange(paramIdx, kUI, -1);
}

void IPlugAPIBase::FromEditorParamValue(int paramIdx, double normalizedValue)
{
  if (!std::isfinite(normalizedValue))
    return;
  SetParamFromEditor(paramIdx, normalizedValue);
  IEditorDelegate::FromEditorParamValue(paramIdx, normalizedValue);
}

bool IPlugAPIBase::FromEditorResize(int width, int height, bool needsPlatformResize)
{
  if (needsPlatformResize)
    return ResizeEditorInHost(width, height);
  return true;
}

void IPlugAPIBase::FromEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* pData)
{
  OnDelegateMessage(msgTag, ctrlTag, dataSize, pData);
}

void IPlugAPIBase::QueueMidiForProcessor(const MidiMessage& msg)
{
  mMidiFromEditor.Push(msg);
}

void IPlugAPIBase::QueueSysexForProcessor(const SysexMessage& msg)
{
  if (msg.size < 0 || msg.size > SysexBlock::kMaxSize)
    return;
  SysexBlock block;
  block.offset = msg.offset;
  block.size = msg.size;
  if (msg.data)
    std::memcpy(block.data, msg.data, static_cast<size_t>(msg.size));
  mSysexFromEditor.Push(block);
}

void IPlugAPIBase::SetHost(const char* name, int version)
{
  const int code = HostCodeFromName(name);
  SetHostInfo(code, version);
  TRACE_F("host_%sknown:%s:v%d.%d.%d", code == kHostUnknown ? "un" : "", name ? name : "",
          version >> 16, (version >> 8) & 0xFF, version & 0xFF);
  InitForHost();
  AfterHostIdentified();
}

void IPlugAPIBase::CreateIdleTimer()
{
  mIdleTimer = MakeIdleTimer([this](Timer& t) { OnIdleTimer(t); }, kIdleTimerMs);
}

std::unique_ptr<Timer> IPlugAPIBase::MakeIdleTimer(Timer::ITimerFunction callback, uint32_t intervalMs)
{
  (void) callback;
  (void) intervalMs;
  return nullptr;
}

void IPlugAPIBase::OnIdleTimer(Timer& timer)
{
  (void) timer;
  if (mHasUI)
  {
    ApplyPendingEditorSize();
    ParamChange change;
    while (mParamChangesForEditor.Available())
    {
      mParamChangesForEditor.Pop(change);
      ToEditorParamValue(change.paramIdx, change.value, false);
    }
    while (mMidiForEditor.Available())
    {
      MidiMessage msg;
      mMidiForEditor.Pop(msg);
      ToEditorMidi(msg);
    }
    // The scratch block belongs to the render path; the UI thread pops into its own.
    SysexBlock block;
    while (mSysexForEditor.Available())
    {
      mSysexForEditor.Pop(block);
      ToEditorSysex(SysexMessage{block.offset, block.size, block.data});
    }
  }
  OnIdleTick();
}

} // namespace iplug
