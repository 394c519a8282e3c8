#include "AAX_CEffectGUI_IPLUG.h"

#include <climits>
#include <cstdlib>

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_VViewContainer.h"
#include "IPlugAAX.h"
#include "IPlugAAXView_Interface.h"
#include "ParamIdentifiers.h"

using iplug::IPlugAAX;
using iplug::IPlugAAXView_Interface;

namespace {

IPlugAAXView_Interface* ViewOf(IPlugAAX* plugin)
{
  return plugin ? static_cast<IPlugAAXView_Interface*>(plugin->GetViewInterface()) : nullptr;
}

} // namespace

AAX_CEffectGUI_IPLUG::AAX_CEffectGUI_IPLUG() = default;

AAX_CEffectGUI_IPLUG::~AAX_CEffectGUI_IPLUG()
{
  // The base's destructor can no longer reach this class's DeleteViewContainer, so a host that
  // lets go of the editor while it still shows closes it here.
  if (GetViewContainer())
    SetViewContainer(nullptr);
}

AAX_Result AAX_CEffectGUI_IPLUG::Uninitialize()
{
  const AAX_Result result = AAX_CEffectGUI::Uninitialize();
  // The effect-parameters reference that kept the plug-in alive for this editor is gone.
  mPlugin = nullptr;
  return result;
}

void AAX_CEffectGUI_IPLUG::CreateViewContents()
{
  mPlugin = dynamic_cast<IPlugAAX*>(GetEffectParameters());
}

AAX_Result AAX_CEffectGUI_IPLUG::CreateViewContainer()
{
  AAX_VViewContainer* container = GetViewContainer();
  if (!mPlugin || !container)
    return AAX_SUCCESS;

  // An editor that stays open from an earlier container must never keep pointing at a wrapper
  // that has been replaced; it talks to the current one even when no window can open in it.
  if (IPlugAAXView_Interface* view = ViewOf(mPlugin))
    view->SetViewContainer(container);

  void* parent = container->GetPtr();
  if (!parent || !mPlugin->HasUI())
    return AAX_SUCCESS;

  if (!mPlugin->OpenEditorWindow(parent))
  {
    // Without this the host would show an empty frame where the editor should be, with no hint.
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical, "AAX_CEffectGUI_IPLUG: the editor window could not be opened");
    return AAX_ERROR_NULL_OBJECT;
  }
  if (IPlugAAXView_Interface* view = ViewOf(mPlugin))
    view->SetViewContainer(container);
  return AAX_SUCCESS;
}

void AAX_CEffectGUI_IPLUG::DeleteViewContainer()
{
  if (mPlugin)
    mPlugin->CloseEditorWindow();
}

AAX_Result AAX_CEffectGUI_IPLUG::GetViewSize(AAX_Point* outSize) const
{
  if (!outSize)
    return AAX_ERROR_NULL_ARGUMENT;
  if (mPlugin && mPlugin->HasUI())
  {
    outSize->vert = static_cast<float>(mPlugin->GetEditorHeight());
    outSize->horz = static_cast<float>(mPlugin->GetEditorWidth());
  }
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_IPLUG::ParameterUpdated(AAX_CParamID paramID)
{
  (void) paramID;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_IPLUG::SetControlHighlightInfo(AAX_CParamID paramID, AAX_CBoolean isHighlighted,
                                                         int32_t color)
{
  if (!mPlugin)
    return AAX_SUCCESS;
  IPlugAAXView_Interface* view = ViewOf(mPlugin);
  if (!view)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  view->SetParameterHighlight(ParamIndexFromID(paramID), isHighlighted != 0, color);
  return AAX_SUCCESS;
}

int AAX_CEffectGUI_IPLUG::ParamIndexFromID(AAX_CParamID paramID)
{
  return iplug::ParamIndexFromID(paramID);
}
