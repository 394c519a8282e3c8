#pragma once

#include <cstdint>
#include <string>

#include <lv2/ui/ui.h>

#include "IGEditorDelegate.h"
#include "LV2EditorSizeMessages.h"
#include "LV2PortLayout.h"

namespace iplug {

namespace igraphics {
class IGraphicsX11;
} // namespace igraphics

// The LV2 editor: a graphics editor delegate with its own copy of the plug-in's parameters,
// joined to the plug-in only through its ports, as LV2 wants of a UI (no instance access).
// Port events from the host set the parameters and reach the linked controls; the editor's
// gestures go to the host as port writes, bracketed by touch notifications where the host
// offers ui:touch; a new window size is asked of the host through ui:resize. Where the host maps
// URIs, the editor keeps its size in the plug-in's state through the plug-in's message ports: it
// asks for the stored size when it opens and takes the plug-in's answer (or a restored state's
// announcement), and tells the plug-in each size it comes to otherwise (a corner drag), once per
// idle tick. The module's descriptor functions (LV2UIEntry.cpp) forward to it in a line each.
//
// Lifecycle: made by the descriptor's instantiate, configured by the product
// (ConfigureLV2Editor), opened in the host's window, idled by the host, destroyed by cleanup.
// Every call runs on the host's UI thread.
class IPlugLV2Editor : public IGEditorDelegate
{
public:
  // The parameter of port p is parameter p (the plug-in's port layout puts them first); channels
  // is the plug-in's (1 or 2), which places its message ports.
  IPlugLV2Editor(int nParams, int channels, const char* bundlePath, LV2UI_Write_Function write,
                 LV2UI_Controller controller, const LV2_Feature* const* features);
  ~IPlugLV2Editor() override;

  // Opens the editor in the host's ui:parent window and asks the plug-in for the stored size;
  // the editor's X window, or 0.
  unsigned long Open();
  // A control port's value from the host (format 0, one float), or the plug-in's message about
  // the editor size (atom:eventTransfer on its notify port); anything else is ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // The host's idle call: 0 while the editor lives, 1 once its window is gone.
  int Idle();

  // Where the product's pictures and font are: the bundle's resources folder.
  const char* ResourceFolder() const { return mResourceFolder.c_str(); }
  igraphics::IGraphicsX11* Graphics();

  void FromEditorBeginParamGesture(int paramIdx) override;
  void FromEditorParamValue(int paramIdx, double normalizedValue) override;
  void FromEditorEndParamGesture(int paramIdx) override;
  bool FromEditorResize(int width, int height, bool needsPlatformResize) override;

private:
  void Touch(int paramIdx, bool grabbed);
  LV2EditorSize ShownSize();
  // Sends a message the writer put in a buffer to the plug-in's message input.
  template <typename Writer> void SendMessage(Writer writer);

  LV2PortLayout mPorts;
  LV2EditorSizeMessages mMessages;
  // The size the plug-in last heard of or told: only other sizes are sent.
  LV2EditorSize mExchangedSize;

  std::string mResourceFolder;
  LV2UI_Write_Function mWrite = nullptr;
  LV2UI_Controller mController = nullptr;
  void* mParent = nullptr;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
};

} // namespace iplug

// Defined by the product: its parameters, face and graphics context on the editor.
void ConfigureLV2Editor(iplug::IPlugLV2Editor& editor);
// The product's parameter count, for the editor's construction.
int LV2EditorParamCount();
