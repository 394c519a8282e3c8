#include "AAX_VViewContainer.h"

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_IACFViewContainer.h"

AAX_VViewContainer::AAX_VViewContainer(IACFUnknown* viewContainer)
{
  if (!viewContainer)
    return;
  if (viewContainer->QueryInterface(IID_IAAXViewContainerV1, reinterpret_cast<void**>(&mIViewContainer)) != ACF_OK)
    mIViewContainer = nullptr;
  if (viewContainer->QueryInterface(IID_IAAXViewContainerV2, reinterpret_cast<void**>(&mIViewContainerV2)) != ACF_OK)
    mIViewContainerV2 = nullptr;
}

AAX_VViewContainer::~AAX_VViewContainer()
{
  // A host whose object dislikes being let go is told so through its own trace.
  if (mIViewContainer)
  {
    const int32_t result = static_cast<int32_t>(mIViewContainer->Release());
    if (result < 0)
      AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical,
                               "AAX_VViewContainer error when detaching mIViewContainer: %d", result);
  }
  if (mIViewContainerV2)
  {
    const int32_t result = static_cast<int32_t>(mIViewContainerV2->Release());
    if (result < 0)
      AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical,
                               "AAX_VViewContainer error when detaching mIViewContainerV2: %d", result);
  }
}

int32_t AAX_VViewContainer::GetType() const
{
  return mIViewContainer ? mIViewContainer->GetType() : AAX_eViewContainer_Type_NULL;
}

void* AAX_VViewContainer::GetPtr() const
{
  return mIViewContainer ? mIViewContainer->GetPtr() : nullptr;
}

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* outModifiers) const
{
  return mIViewContainer ? mIViewContainer->GetModifiers(outModifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::SetViewSize(const AAX_Point& size)
{
  return mIViewContainer ? mIViewContainer->SetViewSize(size) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID paramID, uint32_t modifiers)
{
  return mIViewContainer ? mIViewContainer->HandleParameterMouseDown(paramID, modifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDrag(AAX_CParamID paramID, uint32_t modifiers)
{
  return mIViewContainer ? mIViewContainer->HandleParameterMouseDrag(paramID, modifiers) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseUp(AAX_CParamID paramID, uint32_t modifiers)
{
  return mIViewContainer ? mIViewContainer->HandleParameterMouseUp(paramID, modifiers) : AAX_ERROR_NULL_OBJECT;
}

namespace {
AAX_Result MissingVersion(const AAX_IACFViewContainer* v1)
{
  return v1 ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_NULL_OBJECT;
}
} // namespace

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDown(const AAX_CParamID* paramIDs,
                                                                 uint32_t numOfParams, uint32_t modifiers)
{
  return mIViewContainerV2 ? mIViewContainerV2->HandleMultipleParametersMouseDown(paramIDs, numOfParams, modifiers)
                           : MissingVersion(mIViewContainer);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDrag(const AAX_CParamID* paramIDs,
                                                                 uint32_t numOfParams, uint32_t modifiers)
{
  return mIViewContainerV2 ? mIViewContainerV2->HandleMultipleParametersMouseDrag(paramIDs, numOfParams, modifiers)
                           : MissingVersion(mIViewContainer);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseUp(const AAX_CParamID* paramIDs, uint32_t numOfParams)
{
  return mIViewContainerV2 ? mIViewContainerV2->HandleMultipleParametersMouseUp(paramIDs, numOfParams)
                           : MissingVersion(mIViewContainer);
}
