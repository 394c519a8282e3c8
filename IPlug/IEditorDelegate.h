#pragma once

#include <memory>
#include <vector>

#include "IKeyPress.h"
#include "IParam.h"
#include "IPlugConstants.h"
#include "MidiMessage.h"
#include "SysexMessage.h"

namespace iplug {

class ByteChunk;

// The plug-in object's side of the conversation with its editor, and the root of the plug-in
// class chain. It owns the parameters and the editor size limits.
//
// Direction words: ToEditor… carry something from the plug-in to the editor; FromEditor… are
// called by the editor to reach the plug-in and the host; On… are hooks.
//
// Threads: everything runs on the UI thread, except OnParamChange and OnParamValueChange, which
// run on whichever thread changed the parameter (host parameter thread, UI thread or the thread
// restoring state). Values from other threads reach the editor only through the host bridge's
// queues.
class IEditorDelegate
{
public:
  explicit IEditorDelegate(int nParams);
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // The virtual operations keep this order; adapters and the graphics delegate override by slot.
  virtual ~IEditorDelegate();
  virtual void* OpenEditorWindow(void* pParent);  // UI thread
  virtual void CloseEditorWindow();                // UI thread
  virtual void OnReservedEditorHook() {}
  virtual void OnEditorOpen();
  virtual void OnEditorClose() {}
  virtual void OnParamValueChange(int paramIdx) { (void) paramIdx; }   // any thread
  virtual void OnParamChange(int paramIdx, EParamSource source, int sampleOffset);  // any thread
  virtual void OnParamChangeForEditor(int paramIdx, EParamSource source) { (void) paramIdx; (void) source; }
  virtual void OnAllParamsReset(EParamSource source);
  virtual void OnMidiForEditor(const MidiMessage& msg) { (void) msg; }
  virtual void OnSysexForEditor(const SysexMessage& msg) { (void) msg; }
  virtual bool OnDelegateMessage(int msgTag, int ctrlTag, int dataSize, const void* pData);
  virtual void OnStateRestored();
  virtual bool OnHostKeyDown(const IKeyPress& key) { (void) key; return false; }
  virtual bool OnHostKeyUp(const IKeyPress& key) { (void) key; return false; }
  virtual void ToEditorControlValue(int ctrlTag, double normalizedValue) { (void) ctrlTag; (void) normalizedValue; }
  virtual void ToEditorControlMessage(int ctrlTag, int msgTag, int dataSize, const void* pData);
  virtual void ToEditorMessage(int msgTag, int dataSize, const void* pData);
  virtual void ToEditorMidi(const MidiMessage& msg) { OnMidiForEditor(msg); }
  virtual void ToEditorSysex(const SysexMessage& msg) { OnSysexForEditor(msg); }
  virtual void ToEditorParamValue(int paramIdx, double value, bool normalized);
  virtual void FromEditorAllParamsDirty() {}
  virtual void FromEditorBeginParamGesture(int paramIdx) = 0;
  virtual void FromEditorParamValue(int paramIdx, double normalizedValue);
  virtual void FromEditorEndParamGesture(int paramIdx) = 0;
  virtual bool FromEditorResize(int width, int height, bool needsPlatformResize);
  virtual void FromEditorMidi(const MidiMessage& msg) { (void) msg; }
  virtual void FromEditorSysex(const SysexMessage& msg) { (void) msg; }
  virtual void FromEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* pData);
  virtual void QueueMidiForProcessor(const MidiMessage& msg) { (void) msg; }
  virtual void QueueSysexForProcessor(const SysexMessage& msg) { (void) msg; }
  virtual bool SerializeEditorSize(ByteChunk& chunk) const { (void) chunk; return true; }
  virtual int UnserializeEditorSize(const ByteChunk& chunk, int startPos) { (void) chunk; return startPos; }
  virtual void SetEditorScreenScale(float scale) { (void) scale; }

  // Sends every parameter's normalised value to the editor, in index order.
  void SendAllParamValuesToEditor();

  int NParams() const { return static_cast<int>(mParams.size()); }
  // Null for an index out of range.
  IParam* GetParam(int paramIdx) const;

  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }

  void SetEditorSize(int width, int height)
  {
    mEditorWidth = width;
    mEditorHeight = height;
  }
  void SetSizeConstraints(int minWidth, int maxWidth, int minHeight, int maxHeight)
  {
    mMinWidth = minWidth;
    mMaxWidth = maxWidth;
    mMinHeight = minHeight;
    mMaxHeight = maxHeight;
  }

protected:
  std::vector<std::unique_ptr<IParam>> mParams;
  int mEditorWidth = 0;
  int mEditorHeight = 0;
  int mMinWidth = 10;
  int mMaxWidth = 100000;
  int mMinHeight = 10;
  int mMaxHeight = 100000;
};

} // namespace iplug
