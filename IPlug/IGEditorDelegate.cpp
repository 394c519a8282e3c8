#include "IGEditorDelegate.h"

#include <cmath>

#include "ByteChunk.h"

namespace iplug {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate()
{
  // The context goes before the callables that may have made it.
  mGraphics.reset();
  mMakeGraphicsFunc = nullptr;
  mLayoutFunc = nullptr;
}

void* IGEditorDelegate::OpenEditorWindow(void* pParent)
{
  if (!mGraphics)
  {
    mGraphics.reset(MakeGraphics());
    // The editor comes back at the size and zoom it was closed (or saved) with.
    if (mGraphics && mLastWidth != 0 && mLastHeight != 0 && mLastScale != 0.f)
      mGraphics->Resize(mLastWidth, mLastHeight, mLastScale, true);
  }
  return mGraphics ? mGraphics->OpenPlatformWindow(pParent) : nullptr;
}

void IGEditorDelegate::CloseEditorWindow()
{
  // Closing the window may lead the platform back here; the close in progress finishes alone.
  if (mClosing)
    return;
  mClosing = true;

  OnEditorClose();

  if (mGraphics)
  {
    mLastWidth = mGraphics->Width();
    mLastHeight = mGraphics->Height();
    mLastScale = mGraphics->GetDrawScale();
    mGraphics->ClosePlatformWindow();
    mGraphics.reset();
  }

  mClosing = false;
}

bool IGEditorDelegate::OnHostKeyDown(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f;
  float y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnHostKeyUp(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f;
  float y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

void IGEditorDelegate::ToEditorControlValue(int ctrlTag, double normalizedValue)
{
  if (mGraphics)
    mGraphics->SetControlValueFromDelegate(ctrlTag, normalizedValue);
}

void IGEditorDelegate::ToEditorControlMessage(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (mGraphics)
    mGraphics->SendControlMsgFromDelegate(ctrlTag, msgTag, dataSize, pData);
}

void IGEditorDelegate::ToEditorMidi(const MidiMessage& msg)
{
  if (!mGraphics)
    return;
  mGraphics->SendMidiFromDelegate(msg);
  OnMidiForEditor(msg);
}

void IGEditorDelegate::ToEditorParamValue(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (mGraphics && param)
  {
    if (!normalized)
      value = param->ToNormalized(value);
    mGraphics->SetParameterValueFromDelegate(paramIdx, value);
  }
  OnParamChangeForEditor(paramIdx, kDelegate);
}

bool IGEditorDelegate::SerializeEditorSize(ByteChunk& chunk) const
{
  int width = mLastWidth;
  int height = mLastHeight;
  float scale = mLastScale;
  if (mGraphics)
  {
    width = mGraphics->Width();
    height = mGraphics->Height();
    scale = mGraphics->GetDrawScale();
  }
  bool ok = chunk.Put(&width) > 0;
  ok = chunk.Put(&height) > 0 && ok;
  ok = chunk.Put(&scale) > 0 && ok;
  return ok;
}

int IGEditorDelegate::UnserializeEditorSize(const ByteChunk& chunk, int startPos)
{
  int width = 0;
  int height = 0;
  float scale = 0.f;
  int pos = chunk.Get(&width, startPos);
  if (pos < 0)
    width = 0;
  pos = chunk.Get(&height, pos);
  if (pos < 0)
    height = 0;
  pos = chunk.Get(&scale, pos);
  if (pos < 0)
    scale = 0.f;
  // A broken zoom in stored data counts as no zoom stored, so the editor keeps its own.
  if (!std::isfinite(scale))
    scale = 0.f;

  if (!mGraphics)
  {
    mLastWidth = width;
    mLastHeight = height;
    mLastScale = scale;
  }
  else if (width != 0 && height != 0 && scale != 0.f)
  {
    mGraphics->Resize(width, height, scale, true);
  }
  return pos;
}

void IGEditorDelegate::SetEditorScreenScale(float scale)
{
  if (mGraphics)
    mGraphics->SetScreenScale(scale);
}

IEditorView* IGEditorDelegate::MakeGraphics() { return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr; }

void IGEditorDelegate::LayoutEditor(igraphics::IGraphics* pGraphics)
{
  if (mLayoutFunc)
    mLayoutFunc(pGraphics);
}

} // namespace iplug
