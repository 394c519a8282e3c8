#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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
// Every operation runs on the UI thread, except the editor-size record's: hosts save and restore
// state from threads of their own, so the record is kept as plain values under a lock. A
// restore made off the UI thread while the editor is open is applied by the UI thread, at its
// next idle tick (ApplyPendingEditorSize).
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
  // of the last one while the editor is closed (zeros before the first). Any thread.
  bool SerializeEditorSize(ByteChunk& chunk) const override;
  // Reads the record back: while closed it becomes the last size (missing values read as 0 and
  // the result is then -1); while open the editor is resized to it when no value is 0 (at once
  // on the UI thread, else at its next idle tick). A record the editor cannot show (a size
  // outside the size constraints, a zoom that is not a positive number, a window too large for
  // any screen) counts as no size stored. Any thread.
  int UnserializeEditorSize(const ByteChunk& chunk, int startPos) override;
  // Whether the editor could show a record (zeros, meaning no size stored, pass): within the
  // size constraints, a positive finite zoom, a window no side of which is too large for any
  // screen. Any thread.
  bool CanShowEditorSize(int width, int height, float scale) const;
  // UI thread, from the graphics context whenever its size or zoom changed: the open editor's
  // size goes into the record that other threads read.
  void NoteEditorSize();
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
  int GetLastWidth() const;
  int GetLastHeight() const;
  float GetLastScale() const;

  // The largest window side, in pixels, that a restored record may ask for.
  static constexpr float kMaxEditorWindowSide = 32768.f;

protected:
  // UI thread: resizes the open editor to a record restored from another thread.
  void ApplyPendingEditorSize();

  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;

private:
  struct EditorSize
  {
    int width = 0;
    int height = 0;
    float scale = 0.f;
    bool IsSet() const { return width != 0 && height != 0 && scale != 0.f; }
  };
  bool OnEditorThread() const { return mEditorThread.load() == std::this_thread::get_id(); }
  // Sizes the open editor to the record when all three values are set.
  void ResizeTo(const EditorSize& size);

  std::unique_ptr<IEditorView> mGraphics;
  // Held from the first opening on, for as long as this plug-in lives: reopening is fast.
  std::shared_ptr<const void> mKeptBetweenOpenings;
  bool mClosing = false;
  // The thread the editor was opened on: the UI thread.
  std::atomic<std::thread::id> mEditorThread{};

  mutable std::mutex mSizeMutex;
  EditorSize mLast;                   // the last editor's, while closed
  EditorSize mShown;                  // the open editor's
  std::optional<EditorSize> mPending; // restored off the UI thread while open, not yet applied
  bool mOpen = false;
};

} // namespace iplug
