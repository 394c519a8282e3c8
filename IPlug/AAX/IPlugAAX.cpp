#include "IPlugAAX.h"

#include <cmath>
#include <cstdio>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_IController.h"
#include "MakeAAXParameter.h"

namespace iplug {

AAX_Result IPlugAAX::EffectInit()
{
  // A re-initialised instance starts from an empty parameter manager.
  mMasterBypass = nullptr;
  mParamIdTexts.clear();

  // The master bypass takes whatever identifier the base reports for it: none is registered yet.
  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  auto* bypass = new AAX_CParameter<bool>(bypassID.Get(), AAX_CString("Master Bypass"), false,
                                          AAX_CBinaryTaperDelegate(),
                                          AAX_CBinaryDisplayDelegate("bypass", "on"), true);
  bypass->SetNumberOfSteps(2);
  bypass->SetType(AAX_eParameterType_Discrete);
  if (mParameterManager.AddParameter(bypass))
    mMasterBypass = bypass;
  else
    delete bypass;

  for (int i = 0; i < NParams(); ++i)
  {
    char identifier[32];
    std::snprintf(identifier, sizeof(identifier), "%i", i + 1);
    mParamIdTexts.emplace_back(identifier);
    AAX_IParameter* parameter = MakeAAXParameter(*GetParam(i), identifier);
    if (parameter && !mParameterManager.AddParameter(parameter))
      delete parameter;
  }

  AAX_CSampleRate sampleRate = 0.0f;
  if (Controller() && Controller()->GetSampleRate(&sampleRate) == AAX_SUCCESS && std::isfinite(sampleRate) &&
      sampleRate > 0.0f)
    SetSampleRate(sampleRate);
  ResetProcessing();
  return AAX_SUCCESS;
}

} // namespace iplug
