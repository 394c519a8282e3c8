#pragma once

#include "AAX.h"
#include "AAX_IViewContainer.h"

class IACFUnknown;
class AAX_IACFViewContainer;
class AAX_IACFViewContainer_V2;

// The module's handle on the host's view container, holding its first and second interface
// versions; the editor's graphics context reaches the host through it. AAX_ERROR_NULL_OBJECT when the host gave no container, AAX_ERROR_UNIMPLEMENTED for
// a second-version operation when the host lacks that version. UI thread.
class AAX_VViewContainer final : public AAX_IViewContainer
{
public:
  explicit AAX_VViewContainer(IACFUnknown* viewContainer);
  ~AAX_VViewContainer();
  AAX_VViewContainer(const AAX_VViewContainer&) = delete;
  AAX_VViewContainer& operator=(const AAX_VViewContainer&) = delete;

  bool IsValid() const { return mIViewContainer != nullptr; }

  int32_t GetType() const;
  void* GetPtr() const;
  AAX_Result GetModifiers(uint32_t* outModifiers) const override;
  AAX_Result SetViewSize(const AAX_Point& size) override;
  AAX_Result HandleParameterMouseDown(AAX_CParamID paramID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseDrag(AAX_CParamID paramID, uint32_t modifiers);
  AAX_Result HandleParameterMouseUp(AAX_CParamID paramID, uint32_t modifiers);
  AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                               uint32_t modifiers);
  AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                               uint32_t modifiers);
  AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* paramIDs, uint32_t numOfParams);

private:
  AAX_IACFViewContainer* mIViewContainer = nullptr;
  AAX_IACFViewContainer_V2* mIViewContainerV2 = nullptr;
};
