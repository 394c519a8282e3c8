#pragma once

#include <memory>

#include "AAX_IEffectGUI.h"
#include "CACFUnknown.h"

class AAX_IACFEffectParameters;
class AAX_IController;
class AAX_ITransport;
class AAX_VController;
class AAX_VTransport;
class AAX_VViewContainer;

// The editor base: finds the instance's effect-parameters object through the host controller,
// keeps the host's view container while the editor shows and calls the view hooks. Its hooks do
// nothing, so on its own it is an editor without a view; the plug-in's editor bridge derives
// from it and fills them in.
//
// Lifecycle: built by the module's factory with no reference; the host queries it, calls
// Initialize with the instance's controller, sets and clears view containers, calls
// Uninitialize and releases it. UI thread.
class AAX_CEffectGUI : public AAX_IEffectGUI, public CACFUnknown
{
public:
  AAX_CEffectGUI();
  ~AAX_CEffectGUI() override;

  // IACFUnknown, any thread.
  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override { return InternalQueryInterface(iid, outInterface); }
  uint32_t AddRef() override { return InternalAddRef(); }
  uint32_t Release() override { return InternalRelease(); }
  // Answers the editor interface besides the framework's unknown.
  ACFRESULT InternalQueryInterface(const acfIID& iid, void** outInterface) override;

  // AAX_IACFEffectGUI. No controller: AAX_ERROR_NOT_INITIALIZED and nothing set up.
  AAX_Result Initialize(IACFUnknown* controller) override;
  AAX_Result Uninitialize() override;
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;
  AAX_Result SetViewContainer(IACFUnknown* viewContainer) override;
  // Leaves the size unchanged unless an editor knows its size.
  AAX_Result GetViewSize(AAX_Point* outSize) const override;
  AAX_Result Draw(AAX_Rect* drawRect) override;
  AAX_Result TimerWakeup() override;
  AAX_Result ParameterUpdated(AAX_CParamID paramID) override;
  AAX_Result GetCustomLabel(AAX_CTypeID selector, AAX_IString* outString) const override;
  AAX_Result SetControlHighlightInfo(AAX_CParamID paramID, AAX_CBoolean isHighlighted, int32_t color) override;

  AAX_IACFEffectParameters* GetEffectParameters() const { return mEffectParameters; }
  AAX_IController* GetController() const;
  AAX_ITransport* Transport() const;
  AAX_VViewContainer* GetViewContainer() const { return mViewContainer.get(); }

protected:
  // Finds what the view needs once the host objects are known.
  virtual void CreateViewContents() {}
  // Opens the view inside the host's container; a failure is what set view container returns.
  virtual AAX_Result CreateViewContainer() { return 0; }
  // Closes the view.
  virtual void DeleteViewContainer() {}
  // Tells the view about every parameter, in index order.
  virtual void UpdateAllParameters();

private:
  std::unique_ptr<AAX_VController> mController;
  AAX_IACFEffectParameters* mEffectParameters = nullptr;
  std::unique_ptr<AAX_VViewContainer> mViewContainer;
  std::unique_ptr<AAX_VTransport> mTransport;
};
