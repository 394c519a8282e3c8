#pragma once

#include <memory>

#include "IKeyPress.h"
#include "MidiMessage.h"

namespace iplug {

namespace igraphics {
class IGraphics;
} // namespace igraphics

// The seam between the framework core and the graphics framework: what the graphics editor
// delegate needs of an open editor's graphics context. The graphics context implements it; the
// core holds the context through it and reaches it only through these virtual functions, so the
// core builds and links without the graphics framework.
//
// Every call runs on the UI thread.
class IEditorView
{
public:
  IEditorView() = default;
  IEditorView(const IEditorView&) = delete;
  IEditorView& operator=(const IEditorView&) = delete;
  // The delegate destroys the context through this interface.
  virtual ~IEditorView() = default;

  // Opens the window in the host's parent; returns the platform view, or null.
  virtual void* OpenPlatformWindow(void* pParent) = 0;
  virtual void ClosePlatformWindow() = 0;

  // Logical size and the user's zoom ("draw scale").
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual float GetDrawScale() const = 0;
  virtual void Resize(int width, int height, float scale, bool needsPlatformResize) = 0;
  // The display's density.
  virtual void SetScreenScale(float scale) = 0;

  // Host keys, dispatched at the pointer's position.
  virtual void GetMouseLocation(float& x, float& y) const = 0;
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key) = 0;
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key) = 0;

  // From the delegate to the controls: slot 0 of the control with the tag takes the value; the
  // control with the tag receives the message; every control that wants MIDI receives it; every
  // value slot linked to the parameter takes the (normalized) value.
  virtual void SetControlValueFromDelegate(int ctrlTag, double normalizedValue) = 0;
  virtual void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData) = 0;
  virtual void SendMidiFromDelegate(const MidiMessage& msg) = 0;
  virtual void SetParameterValueFromDelegate(int paramIdx, double normalizedValue) = 0;

  // What the plug-in API's view bridge talks to (for AAX the IPlugAAXView_Interface), untyped as
  // the API hands it around.
  virtual void* GetAPIViewInterface() = 0;
  // The context as the graphics framework's own type, for code that links the graphics framework.
  virtual igraphics::IGraphics* GetGraphics() = 0;

  // What the editor's delegate keeps from one opening to the next, so that the next context
  // finds it ready (decoded pictures); null when there is nothing to keep. UI thread.
  virtual std::shared_ptr<const void> KeptBetweenOpenings() const { return nullptr; }
};

} // namespace iplug
