// The graphics editor delegate for a build without an editor (the LV2 plug-in, until it has
// its UI): no graphics context is ever made, so every editor operation is the closed editor's.
// What the delegate keeps for the saved state (the last editor size and zoom) behaves exactly as
// in the editor build, so states move between the two unchanged.

#include <cmath>

#include "ByteChunk.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"

namespace iplug {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate()
{
  mMakeGraphicsFunc = nullptr;
  mLayoutFunc = nullptr;
}

void* IGEditorDelegate::OpenEditorWindow(void* pParent)
{
  (void) pParent;
  return nullptr;
}

void IGEditorDelegate::CloseEditorWindow()
{
  if (mClosing)
    return;
  mClosing = true;
  OnEditorClose();
  mClosing = false;
}

bool IGEditorDelegate::OnHostKeyDown(const IKeyPress& key)
{
  (void) key;
  return false;
}

bool IGEditorDelegate::OnHostKeyUp(const IKeyPress& key)
{
  (void) key;
  return false;
}

void IGEditorDelegate::ToEditorControlValue(int ctrlTag, double normalizedValue)
{
  (void) ctrlTag;
  (void) normalizedValue;
}

void IGEditorDelegate::ToEditorControlMessage(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  (void) ctrlTag;
  (void) msgTag;
  (void) dataSize;
  (void) pData;
}

void IGEditorDelegate::ToEditorMidi(const MidiMessage& msg)
{
  OnMidiForEditor(msg);
}

void IGEditorDelegate::ToEditorParamValue(int paramIdx, double value, bool normalized)
{
  (void) value;
  (void) normalized;
  OnParamChangeForEditor(paramIdx, kDelegate);
}

bool IGEditorDelegate::SerializeEditorSize(ByteChunk& chunk) const
{
  int width = mLastWidth;
  int height = mLastHeight;
  float scale = mLastScale;
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
  if (!std::isfinite(scale))
    scale = 0.f;
  mLastWidth = width;
  mLastHeight = height;
  mLastScale = scale;
  return pos;
}

void IGEditorDelegate::SetEditorScreenScale(float scale)
{
  (void) scale;
}

igraphics::IGraphics* IGEditorDelegate::MakeGraphics() { return nullptr; }

void IGEditorDelegate::LayoutEditor(igraphics::IGraphics* pGraphics)
{
  (void) pGraphics;
}

} // namespace iplug
