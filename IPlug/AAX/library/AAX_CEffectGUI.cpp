#include "AAX_CEffectGUI.h"

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

AAX_CEffectGUI::AAX_CEffectGUI() = default;

AAX_CEffectGUI::~AAX_CEffectGUI()
{
  // A derived editor closes its view in its own destructor; here only the host's objects go.
  mViewContainer.reset();
  if (mEffectParameters)
    mEffectParameters->Release();
  mTransport.reset();
  mController.reset();
}

ACFRESULT AAX_CEffectGUI::InternalQueryInterface(const acfIID& iid, void** outInterface)
{
  if (!outInterface)
    return AAX_ERROR_NULL_ARGUMENT;
  if (iid == IID_IAAXEffectGUIV1)
  {
    *outInterface = static_cast<AAX_IACFEffectGUI*>(this);
    InternalAddRef();
    return ACF_OK;
  }
  return CACFUnknown::InternalQueryInterface(iid, outInterface);
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* controller)
{
  if (!controller)
    return AAX_ERROR_NOT_INITIALIZED;
  if (mController)
    return AAX_ERROR_INVALID_ARGUMENT;
  mController = std::make_unique<AAX_VController>(controller);
  if (controller->QueryInterface(IID_IAAXEffectParametersV1, reinterpret_cast<void**>(&mEffectParameters)) != ACF_OK)
    mEffectParameters = nullptr;
  mTransport = std::make_unique<AAX_VTransport>(controller);
  CreateViewContents();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
  if (mViewContainer)
    SetViewContainer(nullptr);
  if (mEffectParameters)
  {
    mEffectParameters->Release();
    mEffectParameters = nullptr;
  }
  mController.reset();
  mTransport.reset();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size)
{
  (void) type;
  (void) data;
  (void) size;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* viewContainer)
{
  if (!viewContainer)
  {
    DeleteViewContainer();
    mViewContainer.reset();
    return AAX_SUCCESS;
  }
  mViewContainer = std::make_unique<AAX_VViewContainer>(viewContainer);
  const AAX_Result opened = CreateViewContainer();
  UpdateAllParameters();
  return opened;
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point* outSize) const
{
  return outSize ? AAX_SUCCESS : AAX_ERROR_NULL_ARGUMENT;
}

AAX_Result AAX_CEffectGUI::Draw(AAX_Rect* drawRect)
{
  (void) drawRect;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID paramID)
{
  (void) paramID;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetCustomLabel(AAX_CTypeID selector, AAX_IString* outString) const
{
  (void) selector;
  (void) outString;
  return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID paramID, AAX_CBoolean isHighlighted, int32_t color)
{
  (void) paramID;
  (void) isHighlighted;
  (void) color;
  return AAX_SUCCESS;
}

AAX_IController* AAX_CEffectGUI::GetController() const
{
  return mController.get();
}

AAX_ITransport* AAX_CEffectGUI::Transport() const
{
  return mTransport.get();
}

void AAX_CEffectGUI::UpdateAllParameters()
{
  if (!mEffectParameters)
    return;
  int32_t count = 0;
  if (mEffectParameters->GetNumberOfParameters(&count) != AAX_SUCCESS)
    return;
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CString paramID;
    if (mEffectParameters->GetParameterIDFromIndex(index, &paramID) == AAX_SUCCESS)
      ParameterUpdated(paramID.Get());
  }
}
