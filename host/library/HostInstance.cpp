#include "HostInstance.h"

#include <stdexcept>

#include "AAX_CString.h"

namespace aaxhost {

namespace {

template <typename Interface>
Interface* Ask(IACFUnknown* object, const acfIID& iid)
{
  Interface* found = nullptr;
  if (!object || object->QueryInterface(iid, reinterpret_cast<void**>(&found)) != ACF_OK)
    return nullptr;
  return found;
}

// A factory's object arrives without a reference; asking it for an interface gives the host
// its first one. An object that answers nothing the host wants is discarded.
IACFUnknown* Build(void* procedure)
{
  if (!procedure)
    return nullptr;
  return reinterpret_cast<AAX_CCreateObjectProc>(procedure)();
}

template <typename Interface>
void Drop(Interface*& object)
{
  if (object)
    object->Release();
  object = nullptr;
}

} // namespace

HostInstance::HostInstance(const HostEffectDescriptor& effect, const HostComponentDescriptor* component,
                           std::shared_ptr<HostFaults> faults)
  : mEffectDescriptor(effect)
  , mFaults(std::move(faults))
  , mController(new HostController(mFaults))
{
  // The controller reports the formats of the component the instance runs in.
  if (component && !component->ProcessProcs().empty() && component->ProcessProcs().front().properties)
  {
    const HostPropertyMap& properties = *component->ProcessProcs().front().properties;
    AAX_CPropertyValue input = 0, output = 0;
    if (properties.GetProperty(AAX_eProperty_InputStemFormat, &input) &&
        properties.GetProperty(AAX_eProperty_OutputStemFormat, &output))
      mController->SetStemFormats(static_cast<uint32_t>(input), static_cast<uint32_t>(output));
  }

  void* procedure = effect.FindProcedure(0);
  if (!procedure)
    throw std::runtime_error("the effect registers no procedure 0");
  IACFUnknown* object = Build(procedure);
  if (!object)
    throw std::runtime_error("procedure 0 built no effect-parameters object");
  mEffect = Ask<AAX_IACFEffectParameters>(object, IID_IAAXEffectParametersV1);
  if (!mEffect)
  {
    object->Release();
    throw std::runtime_error("the object of procedure 0 answers no effect-parameters interface");
  }
  mEffectV2 = Ask<AAX_IACFEffectParameters_V2>(mEffect, IID_IAAXEffectParametersV2);
  mEffectV4 = Ask<AAX_IACFEffectParameters_V4>(mEffect, IID_IAAXEffectParametersV4);
  mController->SetEffectParameters(mEffect);
}

HostInstance::~HostInstance()
{
  ReleaseEffect();
}

AAX_Result HostInstance::Initialize()
{
  if (!mEffect)
    return AAX_ERROR_NULL_OBJECT;
  const AAX_Result result = mEffect->Initialize(ControllerUnknown());
  mInitialized = result == AAX_SUCCESS;
  return result;
}

AAX_Result HostInstance::Uninitialize()
{
  if (!mEffect)
    return AAX_ERROR_NULL_OBJECT;
  mInitialized = false;
  return mEffect->Uninitialize();
}

AAX_Result HostInstance::CreateEditor()
{
  ReleaseEditor();
  IACFUnknown* object = Build(mEffectDescriptor.FindProcedure(1));
  if (!object)
    return AAX_ERROR_NULL_OBJECT;
  mEditor = Ask<AAX_IACFEffectGUI>(object, IID_IAAXEffectGUIV1);
  if (!mEditor)
  {
    object->Release();
    return AAX_ERROR_NULL_OBJECT;
  }
  return mEditor->Initialize(ControllerUnknown());
}

void HostInstance::ReleaseEditor()
{
  if (!mEditor)
    return;
  mEditor->Uninitialize();
  Drop(mEditor);
}

void HostInstance::ReleaseEffect()
{
  ReleaseEditor();
  if (!mEffect)
    return;
  if (mInitialized)
    Uninitialize();
  mController->SetEffectParameters(nullptr);
  Drop(mEffectV4);
  Drop(mEffectV2);
  Drop(mEffect);
}

int HostInstance::DeliverAutomation()
{
  return mController->Automation().DeliverSetValueRequests(mEffect);
}

std::vector<HostInstance::ParameterInfo> HostInstance::Parameters() const
{
  std::vector<ParameterInfo> parameters;
  int32_t count = 0;
  if (!mEffect || mEffect->GetNumberOfParameters(&count) != AAX_SUCCESS)
    return parameters;
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CString identifier;
    if (mEffect->GetParameterIDFromIndex(index, &identifier) != AAX_SUCCESS)
      continue;
    const char* id = identifier.Get();
    ParameterInfo info;
    info.identifier = id;
    AAX_CString text;
    mEffect->GetParameterName(id, &text);
    info.name = text.StdString();
    mEffect->GetParameterType(id, &info.type);
    mEffect->GetParameterNumberOfSteps(id, &info.steps);
    mEffect->GetParameterDefaultNormalizedValue(id, &info.defaultValue);
    mEffect->GetParameterNormalizedValue(id, &info.value);
    AAX_CBoolean automatable = 0;
    mEffect->GetParameterIsAutomatable(id, &automatable);
    info.automatable = automatable != 0;
    // A wide display: the full text.
    mEffect->GetParameterValueString(id, &text, 255);
    info.valueText = text.StdString();
    parameters.push_back(std::move(info));
  }
  return parameters;
}

} // namespace aaxhost
