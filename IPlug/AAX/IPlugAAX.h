#pragma once

#include <string>
#include <vector>

#include "AAX_CEffectParameters.h"
#include "AAX_CParameter.h"
#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

namespace iplug {

// The AAX adapter: one object that is the plug-in's host bridge, its processing frame and the
// effect-parameters object the host holds. The host reaches it through the effect-parameters
// interface; the render path and chunk calls join it with the AAX module.
class IPlugAAX : public IPlugAPIBase, public IPlugProcessor, public AAX_CEffectParameters
{
public:
  explicit IPlugAAX(const ConfigRecord& config) : IPlugAPIBase(config, kAPIAAX), IPlugProcessor(config) {}

protected:
  // Host thread, once per instance: registers the master bypass and one AAX parameter per
  // framework parameter ("1", "2", …), then reads the sample rate and resets processing.
  AAX_Result EffectInit() override;

  AAX_CParameter<bool>* mMasterBypass = nullptr;  // owned by the parameter manager
  std::vector<std::string> mParamIdTexts;         // identifier of framework parameter i
};

} // namespace iplug
