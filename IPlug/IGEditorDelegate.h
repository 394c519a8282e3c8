#pragma once

#include <functional>
#include <memory>

#include "IEditorDelegate.h"
#include "IEditorView.h"

namespace iplug {

namespace igraphics {
class IGraphics;
} // namespace igraphics

// The graphics editor delegate: the editor delegate that owns a graphics context while the
// editor window is open, makes it with the make-graphics callable and fills it with the layout
// callable that the product installs, routes values, messages, MIDI and host keys to its
// controls, and keeps the editor's last size and scale across close and reopen and in the saved
// state.
//
// Lifecycle: closed (no graphics context) → OpenEditorWindow → open → CloseEditorWindow →
// closed, any number of times; a new context is made for every opening. The delegate lives as
// long as the plug-in object.
//
// Every operation runs on the UI thread.
class IGEditorDelegate : public IEditorDelegate
{
public:
  // Makes a new graphics context for this delegate; the caller owns it.
  using MakeGraphicsFunc = std::function<IEditorView*()>;
  // Attaches the editor's controls to a freshly made context.
  using LayoutFunc = std::function<void(igraphics::IGraphics* pGraphics)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  // Makes the context when there is none (resized to the last editor's size and scale when one
  // is known) and opens its window in the parent; returns the platform view, or null.
  void* OpenEditorWindow(void* pParent) override;
  // Remembers the context's size and scale, closes its window and destroys it. A close entered
  // again while one is in progress does nothing.
  void CloseEditorWindow() override;

  // Keys from the host, dispatched at the pointer's position; false while the editor is closed.
  bool OnHostKeyDown(const IKeyPress& key) override;
  bool OnHostKeyUp(const IKeyPress& key) override;
  // Slot 0 of the control with the tag takes the value, as from the host.
  void ToEditorControlValue(int ctrlTag, double normalizedValue) override;
  // The control with the tag receives the message.
  void ToEditorControlMessage(int ctrlTag, int msgTag, int dataSize, const void* pData) override;
  // Every control that wants MIDI receives the message, then OnMidiForEditor.
  void ToEditorMidi(const MidiMessage& msg) override;
  // Every value slot linked to the parameter takes the value (a real value when normalized is
  // false); then OnParamChangeForEditor, also while the editor is closed.
  void ToEditorParamValue(int paramIdx, double value, bool normalized) override;

  // Appends width, height (32-bit signed) and draw scale (32-bit float) of the open editor, or
  // of the last one while the editor is closed (zeros before the first).
  bool SerializeEditorSize(ByteChunk& chunk) const override;
  // Reads the record back: while closed it becomes the last size (missing values read as 0 and
  // the result is then -1); while open the editor is resized to it when no value is 0.
  int UnserializeEditorSize(const ByteChunk& chunk, int startPos) override;
  void SetEditorScreenScale(float scale) override;

  // A new context from MakeGraphicsFunc; null when none is installed.
  virtual IEditorView* MakeGraphics();
  // Runs LayoutFunc on the context when one is installed.
  virtual void LayoutEditor(igraphics::IGraphics* pGraphics);

  void SetMakeGraphicsFunc(MakeGraphicsFunc func) { mMakeGraphicsFunc = std::move(func); }
  void SetLayoutFunc(LayoutFunc func) { mLayoutFunc = std::move(func); }

  // The open editor's graphics context; null while the editor is closed.
  igraphics::IGraphics* GetUI() const { return mGraphics ? mGraphics->GetGraphics() : nullptr; }
  // The same context, as the framework core reaches it.
  IEditorView* GetEditorView() const { return mGraphics.get(); }
  int GetLastWidth() const { return mLastWidth; }
  int GetLastHeight() const { return mLastHeight; }
  float GetLastScale() const { return mLastScale; }

protected:
  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;

private:
  std::unique_ptr<IEditorView> mGraphics;
  int mLastWidth = 0;
  int mLastHeight = 0;
  float mLastScale = 0.f;
  bool mClosing = false;
};

} // namespace iplug
