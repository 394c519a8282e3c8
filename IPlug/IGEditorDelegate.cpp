#include "IGEditorDelegate.h"

#include <cmath>

#include "ByteChunk.h"
#include "EditorSizeRecord.h"

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
  mEditorThread = std::this_thread::get_id();
  if (!mGraphics)
  {
    mGraphics.reset(MakeGraphics());
    if (mGraphics)
      mKeptBetweenOpenings = mGraphics->KeptBetweenOpenings();
    // The editor comes back at the size and zoom it was closed (or saved) with.
    EditorSize last;
    {
      std::lock_guard<std::mutex> lock(mSizeMutex);
      last = mLast;
    }
    if (mGraphics && last.IsSet())
      mGraphics->Resize(last.width, last.height, last.scale, true);
  }
  void* window = mGraphics ? mGraphics->OpenPlatformWindow(pParent) : nullptr;
  if (!window)
  {
    // A context whose window did not open is not kept: the next opening starts afresh.
    if (mGraphics)
    {
      std::lock_guard<std::mutex> lock(mSizeMutex);
      if (mOpen)
        mLast = mShown;
      mOpen = false;
      mPending.reset();
    }
    mGraphics.reset();
    return nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(mSizeMutex);
    mOpen = true;
  }
  NoteEditorSize();
  return window;
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
    NoteEditorSize();
    {
      std::lock_guard<std::mutex> lock(mSizeMutex);
      // A size restored from another thread that the editor had no time to take is kept.
      mLast = mPending && mPending->IsSet() ? *mPending : mShown;
      mPending.reset();
      mOpen = false;
    }
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
  // Only the record is read, never the context: this may run on any thread.
  EditorSize size;
  {
    std::lock_guard<std::mutex> lock(mSizeMutex);
    if (!mOpen)
      size = mLast;
    else
      size = mPending && mPending->IsSet() ? *mPending : mShown;
  }
  return PutEditorSizeRecord(chunk, {size.width, size.height, size.scale});
}

int IGEditorDelegate::UnserializeEditorSize(const ByteChunk& chunk, int startPos)
{
  EditorSizeRecord record;
  const int pos = GetEditorSizeRecord(chunk, startPos, record);
  EditorSize size{record.width, record.height, record.scale};

  // Stored data may be anything (another version's, a damaged file): a record that asks for what
  // the editor cannot show counts as no size stored, so the editor keeps its own. Zeros are
  // "not stored" already.
  if (!CanShowEditorSize(size.width, size.height, size.scale))
    size = EditorSize{};

  bool applyNow = false;
  {
    std::lock_guard<std::mutex> lock(mSizeMutex);
    if (!mOpen)
      mLast = size;
    else if (OnEditorThread())
      applyNow = true;
    else
      mPending = size;
  }
  if (applyNow)
    ResizeTo(size);
  return pos;
}

bool IGEditorDelegate::CanShowEditorSize(int width, int height, float scale) const
{
  const bool widthOK = width == 0 || (width >= GetMinWidth() && width <= GetMaxWidth());
  const bool heightOK = height == 0 || (height >= GetMinHeight() && height <= GetMaxHeight());
  const bool scaleOK = scale == 0.f || (std::isfinite(scale) && scale > 0.f &&
                                        float(width) * scale <= kMaxEditorWindowSide &&
                                        float(height) * scale <= kMaxEditorWindowSide);
  return widthOK && heightOK && scaleOK;
}

void IGEditorDelegate::ApplyPendingEditorSize()
{
  std::optional<EditorSize> pending;
  {
    std::lock_guard<std::mutex> lock(mSizeMutex);
    pending.swap(mPending);
  }
  if (pending)
    ResizeTo(*pending);
}

void IGEditorDelegate::NoteEditorSize()
{
  if (!mGraphics)
    return;
  const EditorSize shown{mGraphics->Width(), mGraphics->Height(), mGraphics->GetDrawScale()};
  std::lock_guard<std::mutex> lock(mSizeMutex);
  mShown = shown;
}

void IGEditorDelegate::ResizeTo(const EditorSize& size)
{
  if (mGraphics && size.IsSet())
    mGraphics->Resize(size.width, size.height, size.scale, true);
}

int IGEditorDelegate::GetLastWidth() const
{
  std::lock_guard<std::mutex> lock(mSizeMutex);
  return mLast.width;
}

int IGEditorDelegate::GetLastHeight() const
{
  std::lock_guard<std::mutex> lock(mSizeMutex);
  return mLast.height;
}

float IGEditorDelegate::GetLastScale() const
{
  std::lock_guard<std::mutex> lock(mSizeMutex);
  return mLast.scale;
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
