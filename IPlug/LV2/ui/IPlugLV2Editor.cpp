#include "IPlugLV2Editor.h"

#include <cmath>
#include <cstring>

#include "IGraphicsX11.h"
#include "IParam.h"

namespace iplug {

IPlugLV2Editor::IPlugLV2Editor(int nParams, const char* bundlePath, LV2UI_Write_Function write,
                               LV2UI_Controller controller, const LV2_Feature* const* features)
  : IGEditorDelegate(nParams), mWrite(write), mController(controller)
{
  mResourceFolder = std::string(bundlePath ? bundlePath : "");
  if (!mResourceFolder.empty() && mResourceFolder.back() != '/')
    mResourceFolder += '/';
  mResourceFolder += "resources";
  for (const LV2_Feature* const* f = features; f && *f; ++f)
  {
    const LV2_Feature& feature = **f;
    if (!feature.URI)
      continue;
    if (std::strcmp(feature.URI, LV2_UI__parent) == 0)
      mParent = feature.data;
    else if (std::strcmp(feature.URI, LV2_UI__resize) == 0)
      mResize = static_cast<const LV2UI_Resize*>(feature.data);
    else if (std::strcmp(feature.URI, LV2_UI__touch) == 0)
      mTouch = static_cast<const LV2UI_Touch*>(feature.data);
  }
}

IPlugLV2Editor::~IPlugLV2Editor() { CloseEditorWindow(); }

igraphics::IGraphicsX11* IPlugLV2Editor::Graphics() { return static_cast<igraphics::IGraphicsX11*>(GetUI()); }

unsigned long IPlugLV2Editor::Open()
{
  // Without a parent there is nowhere to embed: X11 UIs are children of the host's window.
  if (!mParent)
    return 0;
  return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(OpenEditorWindow(mParent)));
}

void IPlugLV2Editor::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  if (format != 0 || bufferSize != sizeof(float) || !buffer || port >= static_cast<uint32_t>(NParams()))
    return;
  float value = 0.f;
  std::memcpy(&value, buffer, sizeof(value));
  if (!std::isfinite(value))
    return;
  const int paramIdx = static_cast<int>(port);
  GetParam(paramIdx)->SetValue(value);
  ToEditorParamValue(paramIdx, GetParam(paramIdx)->Value(), false);
}

int IPlugLV2Editor::Idle()
{
  igraphics::IGraphicsX11* graphics = Graphics();
  if (!graphics || !graphics->PlatformWindowIsOpen() || !graphics->GetPlatformWindow())
    return 1;
  graphics->OnIdle();
  return graphics->GetPlatformWindow() ? 0 : 1;
}

void IPlugLV2Editor::Touch(int paramIdx, bool grabbed)
{
  if (mTouch && mTouch->touch && paramIdx >= 0 && paramIdx < NParams())
    mTouch->touch(mTouch->handle, static_cast<uint32_t>(paramIdx), grabbed);
}

void IPlugLV2Editor::FromEditorBeginParamGesture(int paramIdx) { Touch(paramIdx, true); }

void IPlugLV2Editor::FromEditorEndParamGesture(int paramIdx) { Touch(paramIdx, false); }

void IPlugLV2Editor::FromEditorParamValue(int paramIdx, double normalizedValue)
{
  IGEditorDelegate::FromEditorParamValue(paramIdx, normalizedValue);
  const IParam* param = GetParam(paramIdx);
  if (!param || !mWrite)
    return;
  // Control ports carry the parameter's own value (dB, steps), as the plug-in reads them.
  const float value = static_cast<float>(param->Value());
  mWrite(mController, static_cast<uint32_t>(paramIdx), sizeof(value), 0, &value);
}

bool IPlugLV2Editor::FromEditorResize(int width, int height, bool needsPlatformResize)
{
  (void) needsPlatformResize;
  // The host resizes its own window around the editor; 0 means it did.
  return mResize && mResize->ui_resize && mResize->ui_resize(mResize->handle, width, height) == 0;
}

} // namespace iplug
