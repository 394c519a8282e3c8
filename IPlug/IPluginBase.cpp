// The plug-in base: identity and version texts, parameters as state, presets and parameter
// groups. Preset files and source dumps are in IPluginBasePresetFiles.cpp.
#include "IPluginBase.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base64.h"

namespace iplug {

namespace {
// Marks a parameter that a named preset leaves at its current value.
constexpr double kUnnamedParamMarker = 9.999e-8;
} // namespace

IPluginBase::IPluginBase(int nParams, int nPresets) : IGEditorDelegate(nParams)
{
  mPresets.resize(static_cast<size_t>(nPresets > 0 ? nPresets : 0));
}

void IPluginBase::SetIdentity(int version, int uniqueID, int mfrID, bool stateChunks, int api)
{
  mVersion = version;
  mUniqueID = uniqueID;
  mMfrID = mfrID;
  mStateChunks = stateChunks;
  mAPI = api;
}

void IPluginBase::SetHostInfo(int host, int hostVersion)
{
  mHost = host;
  mHostVersion = hostVersion;
}

// ---- Version texts ------------------------------------------------------------------------------

std::string IPluginBase::VersionText(int packedVersion)
{
  char text[64];
  std::snprintf(text, sizeof(text), "v%d.%d.%d", packedVersion >> 16, (packedVersion >> 8) & 0xFF,
                packedVersion & 0xFF);
  return text;
}

int IPluginBase::VersionNumber(int packedVersion, bool decimal)
{
  if (!decimal)
    return packedVersion;
  return (packedVersion >> 16) * 10000 + ((packedVersion >> 8) & 0xFF) * 100 + (packedVersion & 0xFF);
}

const char* IPluginBase::ApiName(int api)
{
  static const char* const kNames[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB"};
  return (api >= 0 && api < 8) ? kNames[api] : "";
}

void IPluginBase::BuildInfoText(std::string& out, const char* date, const char* time) const
{
  char text[257];
  std::snprintf(text, sizeof(text), "%s %s (%s), built on %s at %.5s ", VersionText(mVersion).c_str(),
                ApiName(mAPI), "x86-64", date ? date : "", time ? time : "");
  out = text;
}

// ---- Parameters as state ------------------------------------------------------------------------

bool IPluginBase::SerializeParams(ByteChunk& chunk) const
{
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->Value();
    chunk.Put(&v);
  }
  return true;
}

void IPluginBase::RestoreParamValue(int idx, double value)
{
  IParam* pParam = GetParam(idx);
  if (std::isfinite(value))
    pParam->SetValue(value);
  else
    pParam->ResetToDefault();
}

int IPluginBase::UnserializeParams(const ByteChunk& chunk, int startPos)
{
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = chunk.Get(&v, pos);
    if (pos < 0)
      v = 0.0;
    RestoreParamValue(i, v);
  }
  OnAllParamsReset(kPresetRecall);
  return pos;
}

// ---- Presets ------------------------------------------------------------------------------------

const PresetSlot* IPluginBase::GetPreset(int idx) const
{
  return (idx >= 0 && idx < NPresets()) ? &mPresets[static_cast<size_t>(idx)] : nullptr;
}

const char* IPluginBase::GetPresetName(int idx) const
{
  const PresetSlot* slot = GetPreset(idx);
  return slot ? slot->name : "";
}

PresetSlot* IPluginBase::TakeEmptyPreset(const char* name)
{
  for (PresetSlot& slot : mPresets)
  {
    if (!slot.initialized)
    {
      slot.initialized = true;
      slot.SetName(name);
      slot.state.Clear();
      return &slot;
    }
  }
  return nullptr;
}

bool IPluginBase::LoadPreset(int idx)
{
  if (idx < 0 || idx >= NPresets())
    return false;

  PresetSlot& slot = mPresets[static_cast<size_t>(idx)];
  bool restored;
  if (slot.initialized)
  {
    restored = ReadState(slot.state, 0) > 0;
  }
  else
  {
    int userPresets = 0;
    for (const PresetSlot& other : mPresets)
    {
      if (std::strstr(other.name, "user preset"))
        ++userPresets;
    }
    slot.initialized = true;
    char name[PresetSlot::kMaxNameLength + 1];
    std::snprintf(name, sizeof(name), "%s %d", "user preset", userPresets + 1);
    slot.SetName(name);
    slot.state.Clear();
    restored = WriteState(slot.state);
  }

  if (restored)
  {
    mCurrentPresetIdx = idx;
    OnRestoreState();
    OnStateRestored();
  }
  return restored;
}

bool IPluginBase::LoadPresetByName(const char* name)
{
  if (!name || !*name)
    return false;
  for (int i = 0; i < NPresets(); ++i)
  {
    if (std::strcmp(mPresets[static_cast<size_t>(i)].name, name) == 0)
      return LoadPreset(i);
  }
  return false;
}

void IPluginBase::ModifyCurrentPreset(const char* name)
{
  if (mCurrentPresetIdx < 0 || mCurrentPresetIdx >= NPresets())
    return;
  PresetSlot& slot = mPresets[static_cast<size_t>(mCurrentPresetIdx)];
  slot.state.Clear();
  WriteState(slot.state);
  if (name && *name)
    slot.SetName(name);
}

void IPluginBase::FillEmptyPresets(const char* name, int count)
{
  for (int n = 0; n < count; ++n)
  {
    PresetSlot* slot = TakeEmptyPreset(name ? name : "Empty");
    if (!slot)
      return;
    WriteState(slot->state);
  }
}

void IPluginBase::MakePreset(const char* name, std::initializer_list<double> values)
{
  PresetSlot* slot = TakeEmptyPreset(name);
  if (!slot)
    return;
  auto it = values.begin();
  for (int i = 0; i < NParams(); ++i)
  {
    // A preset given fewer values than parameters keeps the current value for the rest.
    double v = it != values.end() ? *it++ : GetParam(i)->Value();
    const int type = GetParam(i)->Type();
    if (type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum)
      v = static_cast<double>(static_cast<int>(v));
    slot->state.Put(&v);
  }
}

void IPluginBase::MakePresetFromNamedParams(const char* name, std::initializer_list<std::pair<int, double>> values)
{
  PresetSlot* slot = TakeEmptyPreset(name);
  if (!slot)
    return;

  std::vector<double> stored(static_cast<size_t>(NParams()), kUnnamedParamMarker);
  for (const auto& [idx, value] : values)
  {
    if (idx >= 0 && idx < NParams())
      stored[static_cast<size_t>(idx)] = value;
  }
  for (int i = 0; i < NParams(); ++i)
  {
    double v = stored[static_cast<size_t>(i)];
    if (v == kUnnamedParamMarker)
      v = GetParam(i)->Value();
    slot->state.Put(&v);
  }
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* base64, int byteCount)
{
  if (byteCount < 0)
    return;
  PresetSlot* slot = TakeEmptyPreset(name);
  if (!slot)
    return;
  std::vector<uint8_t> bytes(static_cast<size_t>(byteCount));
  const int decoded = Base64Decode(base64, bytes.data(), byteCount);
  // Only what the text really held; a short text leaves no trailing garbage in the state.
  slot->state.PutBytes(bytes.data(), decoded);
}

void IPluginBase::MakePresetFromBytes(const char* name, const ByteChunk& state)
{
  PresetSlot* slot = TakeEmptyPreset(name);
  if (!slot)
    return;
  slot->state.PutChunk(state);
}

bool IPluginBase::SerializePresets(ByteChunk& chunk) const
{
  for (const PresetSlot& slot : mPresets)
  {
    chunk.PutStr(slot.name);
    const uint8_t flag = slot.initialized ? 1 : 0;
    chunk.Put(&flag);
    if (slot.initialized)
      chunk.PutChunk(slot.state);
  }
  return true;
}

int IPluginBase::UnserializePresets(const ByteChunk& chunk, int startPos)
{
  int pos = startPos;
  std::string name;
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    PresetSlot& slot = mPresets[static_cast<size_t>(i)];
    pos = chunk.GetStr(name, pos);
    slot.SetName(pos >= 0 ? name.c_str() : "");
    if (pos < 0)
      break;
    uint8_t flag = 0;
    pos = chunk.Get(&flag, pos);
    if (pos < 0)
      break;
    slot.initialized = flag != 0;
    if (slot.initialized)
    {
      pos = ReadState(chunk, pos);
      if (pos > 0)
      {
        slot.state.Clear();
        WriteState(slot.state);
      }
    }
  }
  LoadPreset(mCurrentPresetIdx);
  return pos;
}

// ---- Parameter groups ---------------------------------------------------------------------------

void IPluginBase::ForEachParamInRange(int first, int last, const std::function<void(int, IParam&)>& func)
{
  for (int i = std::max(first, 0); i <= last && i < NParams(); ++i)
    func(i, *GetParam(i));
}

void IPluginBase::ForEachParamInGroup(const char* group, const std::function<void(int, IParam&)>& func)
{
  for (int i = 0; i < NParams(); ++i)
  {
    if (std::strcmp(GetParam(i)->Group(), group ? group : "") == 0)
      func(i, *GetParam(i));
  }
}

void IPluginBase::ResetParamsToDefault()
{
  ResetParamsToDefault(0, NParams() - 1);
}

void IPluginBase::ResetParamsToDefault(int first, int last)
{
  ForEachParamInRange(first, last, [](int, IParam& p) { p.ResetToDefault(); });
}

void IPluginBase::ResetParamsToDefault(const char* group)
{
  ForEachParamInGroup(group, [](int, IParam& p) { p.ResetToDefault(); });
}

namespace {
void Randomize(IParam& p)
{
  // rand() / 2^15 lies in 0 up to just below 1 for the common RAND_MAX of 32767.
  p.SetNormalizedValue(static_cast<double>(std::rand() % 32768) / 32768.0);
}
} // namespace

void IPluginBase::RandomizeParams()
{
  RandomizeParams(0, NParams() - 1);
}

void IPluginBase::RandomizeParams(int first, int last)
{
  ForEachParamInRange(first, last, [](int, IParam& p) { Randomize(p); });
}

void IPluginBase::RandomizeParams(const char* group)
{
  ForEachParamInGroup(group, [](int, IParam& p) { Randomize(p); });
}

void IPluginBase::CopyParamValues(int srcStart, int destStart, int count)
{
  for (int n = 0; n < count; ++n)
  {
    IParam* src = GetParam(srcStart + n);
    IParam* dest = GetParam(destStart + n);
    if (src && dest)
      dest->SetValue(src->Value());
  }
}

void IPluginBase::CopyParamValues(const char* srcGroup, const char* destGroup)
{
  std::vector<IParam*> sources;
  std::vector<IParam*> dests;
  ForEachParamInGroup(srcGroup, [&](int, IParam& p) { sources.push_back(&p); });
  ForEachParamInGroup(destGroup, [&](int, IParam& p) { dests.push_back(&p); });
  for (size_t n = 0; n < sources.size() && n < dests.size(); ++n)
    dests[n]->SetValue(sources[n]->Value());
}

void IPluginBase::CloneParamDefinitions(int srcFirst, int srcLast, int destFirst, const char* searchText,
                                        const char* replaceText, const char* newGroup)
{
  for (int n = 0; srcFirst + n <= srcLast; ++n)
  {
    IParam* src = GetParam(srcFirst + n);
    IParam* dest = GetParam(destFirst + n);
    if (!src || !dest)
      continue;
    dest->DefineAsCopy(*src, searchText, replaceText, newGroup);
    dest->SetValue(src->Value());
  }
}

void IPluginBase::DefineParamRange(int first, int last, int firstNumber, const char* nameFormat, double defaultVal,
                                   double minVal, double maxVal, double step, const char* label, int flags,
                                   const char* group)
{
  int number = firstNumber;
  ForEachParamInRange(first, last, [&](int, IParam& p) {
    char name[32];
    std::snprintf(name, sizeof(name), nameFormat ? nameFormat : "", number++);
    p.DefineDouble(name, defaultVal, minVal, maxVal, step, label, flags, group);
  });
}

} // namespace iplug
