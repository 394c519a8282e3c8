// The module's one export and the descriptor functions behind it: each casts the instance and
// forwards to IPlugLV2 in a line. Index 0 is the mono plug-in, index 1 the stereo one.

#include <cstring>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "CreatePlugin.h"
#include "LV2EffectIdentity.h"

using iplug::IPlugLV2;

namespace {

IPlugLV2* Self(LV2_Handle instance) { return static_cast<IPlugLV2*>(instance); }

LV2_Handle InstantiateWith(int channels, double rate, const LV2_Feature* const* features)
{
  IPlugLV2* plug = CreatePlugin(InstanceInfo{});
  if (!plug)
    return nullptr;
  try
  {
    if (plug->Instantiate(channels, rate, features))
      return plug;
  }
  catch (...)
  {
  }
  delete plug;
  return nullptr;
}

LV2_Handle InstantiateMono(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
  return InstantiateWith(1, rate, features);
}

LV2_Handle InstantiateStereo(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
  return InstantiateWith(2, rate, features);
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* location) { Self(instance)->ConnectPort(port, location); }
void Activate(LV2_Handle instance) { Self(instance)->Activate(); }
void Run(LV2_Handle instance, uint32_t nFrames) { Self(instance)->Run(nFrames); }
void Deactivate(LV2_Handle instance) { Self(instance)->Deactivate(); }
void Cleanup(LV2_Handle instance) { delete Self(instance); }

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*)
{
  try
  {
    return Self(instance)->SaveState(store, handle);
  }
  catch (...)
  {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t, const LV2_Feature* const*)
{
  try
  {
    return Self(instance)->RestoreState(retrieve, handle);
  }
  catch (...)
  {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri)
{
  static const LV2_State_Interface state = {Save, Restore};
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0)
    return &state;
  return nullptr;
}

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  static const LV2_Descriptor descriptors[] = {
    {kProductLV2Identity.monoURI, InstantiateMono, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
    {kProductLV2Identity.stereoURI, InstantiateStereo, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
  };
  return index < 2 ? &descriptors[index] : nullptr;
}
