#include "IPlugLV2Editor.h"

#include <cmath>
#include <cstring>

#include <lv2/urid/urid.h>

#include "ByteChunk.h"
#include "IGraphicsX11.h"
#include "IParam.h"
#include "LV2EffectIdentity.h"

namespace iplug {

IPlugLV2Editor::IPlugLV2Editor(int nParams, int channels, const char* bundlePath, LV2UI_Write_Function write,
                               LV2UI_Controller controller, const LV2_Feature* const* features)
  : IGEditorDelegate(nParams), mPorts{nParams, channels}, mWrite(write), mController(controller)
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
    else if (std::strcmp(feature.URI, LV2_URID__map) == 0)
      mMessages.Map(static_cast<LV2_URID_Map*>(feature.data), kProductLV2Identity.editorSizeURI);
  }
}

IPlugLV2Editor::~IPlugLV2Editor() { CloseEditorWindow(); }

igraphics::IGraphicsX11* IPlugLV2Editor::Graphics() { return static_cast<igraphics::IGraphicsX11*>(GetUI()); }

unsigned long IPlugLV2Editor::Open()
{
  // Without a parent there is nowhere to embed: X11 UIs are children of the host's window.
  if (!mParent)
    return 0;
  const auto window = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(OpenEditorWindow(mParent)));
  if (window)
  {
    // The size it opened at is not news to the plug-in; its stored one comes in the answer.
    mExchangedSize = ShownSize();
    SendMessage([this](void* buffer, uint32_t capacity) { return mMessages.WriteGet(buffer, capacity); });
  }
  return window;
}

LV2EditorSize IPlugLV2Editor::ShownSize()
{
  const igraphics::IGraphicsX11* graphics = Graphics();
  if (!graphics)
    return {};
  return {graphics->Width(), graphics->Height(), graphics->GetDrawScale()};
}

template <typename Writer> void IPlugLV2Editor::SendMessage(Writer writer)
{
  if (!mWrite || !mMessages.Mapped())
    return;
  alignas(8) uint8_t buffer[256];
  const uint32_t size = writer(buffer, static_cast<uint32_t>(sizeof(buffer)));
  if (size > 0)
    mWrite(mController, mPorts.MessagesIn(), size, mMessages.EventTransfer(), buffer);
}

void IPlugLV2Editor::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  if (port == mPorts.MessagesOut() && format != 0 && format == mMessages.EventTransfer() && buffer)
  {
    LV2EditorSize size;
    if (mMessages.Read(static_cast<const LV2_Atom*>(buffer), bufferSize, size) != LV2EditorSizeMessages::Kind::kSet)
      return;
    // The record goes the way a restored state's does: checked against what the editor can show,
    // applied at once while open.
    ByteChunk record;
    record.Put(&size.width);
    record.Put(&size.height);
    record.Put(&size.scale);
    UnserializeEditorSize(record, 0);
    mExchangedSize = ShownSize();
    return;
  }
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
  if (!graphics->GetPlatformWindow())
    return 1;
  // A drag of the corner resizes many times; the plug-in hears the size it ends the tick at.
  const LV2EditorSize shown = ShownSize();
  if (!(shown == mExchangedSize))
  {
    mExchangedSize = shown;
    SendMessage([this, shown](void* out, uint32_t capacity) { return mMessages.WriteSet(out, capacity, shown); });
  }
  return 0;
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
