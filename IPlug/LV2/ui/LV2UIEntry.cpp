// The editor module's one export and the LV2 UI descriptor's trampolines: each casts the handle
// and forwards to IPlugLV2Editor.

#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>

#include "IPlugLV2Editor.h"
#include "LV2EditorIdentity.h"
#include "LV2EffectIdentity.h"

namespace {

using iplug::IPlugLV2Editor;

IPlugLV2Editor* Editor(LV2UI_Handle handle) { return static_cast<IPlugLV2Editor*>(handle); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginURI, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features)
{
  // One editor serves both plug-ins; the mono one has one audio port pair fewer before its
  // message ports.
  const int channels = pluginURI && std::strcmp(pluginURI, kProductLV2Identity.monoURI) == 0 ? 1 : 2;
  try
  {
    auto editor =
      std::make_unique<IPlugLV2Editor>(LV2EditorParamCount(), channels, bundlePath, write, controller, features);
    ConfigureLV2Editor(*editor);
    const unsigned long window = editor->Open();
    if (!window)
      return nullptr;
    if (widget)
      *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(window));
    return editor.release();
  }
  catch (...)
  {
    // Nothing escapes into the host: no editor is the answer.
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) { delete Editor(handle); }

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  Editor(handle)->PortEvent(port, bufferSize, format, buffer);
}

int Idle(LV2UI_Handle handle) { return Editor(handle)->Idle(); }

const LV2UI_Idle_Interface kIdleInterface = {&Idle};

const void* ExtensionData(const char* uri)
{
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0)
    return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {
  kProductLV2EditorIdentity.uri, &Instantiate, &Cleanup, &PortEvent, &ExtensionData,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  return index == 0 ? &kDescriptor : nullptr;
}
