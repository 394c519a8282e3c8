#pragma once

#include "AAX_CEffectGUI.h"

namespace iplug {
class IPlugAAX;
} // namespace iplug

// The plug-in's editor object as the host holds it: finds the IPlugAAX object of the same effect
// instance, opens the editor inside the native parent window of the host's view container and
// closes it again, reports the editor's size, and passes the host's parameter highlighting on to
// the open graphics context. The editor itself (window, drawing, controls) belongs to the
// plug-in's editor delegate.
//
// Lifecycle: built by the module's factory (procedure 1) with no plug-in; Initialize finds the
// plug-in; each non-null view container opens the editor in its window, a null one (or
// Uninitialize, or the last release) closes it. Every operation runs on the host's UI thread.
class AAX_CEffectGUI_IPLUG : public AAX_CEffectGUI
{
public:
  AAX_CEffectGUI_IPLUG();
  // Closes an editor still open in a host container before the host's objects are let go.
  ~AAX_CEffectGUI_IPLUG() override;

  // UI thread. As the base, then forgets the plug-in, whose reference has just been given back.
  AAX_Result Uninitialize() override;
  // UI thread. Height then width of the plug-in's editor; unchanged without a plug-in or an editor.
  AAX_Result GetViewSize(AAX_Point* outSize) const override;
  // UI thread. Nothing: values reach the editor through the plug-in's own queue.
  AAX_Result ParameterUpdated(AAX_CParamID paramID) override;
  // UI thread. The parameter whose identifier is the decimal number n is index n − 1 (an
  // identifier that is not a number, such as the master bypass's "", stands for −1).
  // AAX_ERROR_INVALID_PARAMETER_ID while the editor is closed.
  AAX_Result SetControlHighlightInfo(AAX_CParamID paramID, AAX_CBoolean isHighlighted, int32_t color) override;

  // The plug-in object this editor belongs to; null before Initialize or when the instance's
  // effect-parameters object is not an IPlugAAX.
  iplug::IPlugAAX* GetPlugin() const { return mPlugin; }

  // The host's parameter index for an identifier text, read as the parameter bridge reads it
  // (iplug::ParamIndexFromID): −1 when it names no framework parameter.
  static int ParamIndexFromID(AAX_CParamID paramID);

protected:
  void CreateViewContents() override;
  AAX_Result CreateViewContainer() override;
  void DeleteViewContainer() override;

private:
  iplug::IPlugAAX* mPlugin = nullptr;
};
