#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFEffectParameters.h"
#include "HostComponentDescriptor.h"
#include "HostController.h"
#include "HostEffectDescriptor.h"
#include "HostFaults.h"

namespace aaxhost {

// One effect instance driven by the host: the effect-parameters object built through the
// effect's procedure 0, its controller (with the stem formats of the component it runs in) and,
// when asked for, its editor object built through procedure 1. Holds one reference to each
// module object and gives it back on release or destruction, uninitialising first.
// UI thread, except where an operation says otherwise.
class HostInstance
{
public:
  struct ParameterInfo
  {
    std::string identifier;
    std::string name;
    AAX_EParameterType type = AAX_eParameterType_Continuous;
    int32_t steps = 0;
    double defaultValue = 0.0;   // normalised
    double value = 0.0;          // normalised
    bool automatable = false;
    std::string valueText;
  };

  // Throws std::runtime_error when the effect has no procedure 0, the procedure gives nothing
  // or its object answers no effect-parameters interface.
  HostInstance(const HostEffectDescriptor& effect, const HostComponentDescriptor* component,
               std::shared_ptr<HostFaults> faults);
  ~HostInstance();
  HostInstance(const HostInstance&) = delete;
  HostInstance& operator=(const HostInstance&) = delete;

  AAX_Result Initialize();
  AAX_Result Uninitialize();
  bool IsInitialized() const { return mInitialized; }

  // Null once released. Later versions are null when the object does not answer them.
  AAX_IACFEffectParameters* Effect() const { return mEffect; }
  AAX_IACFEffectParameters_V2* EffectV2() const { return mEffectV2; }
  AAX_IACFEffectParameters_V4* EffectV4() const { return mEffectV4; }
  HostController& Controller() const { return *mController; }
  IACFUnknown* ControllerUnknown() const { return static_cast<AAX_IACFController*>(mController.get()); }

  // Builds and initialises the editor object; its result, or AAX_ERROR_NULL_OBJECT when the
  // effect has no procedure 1 or its object answers no editor interface.
  AAX_Result CreateEditor();
  AAX_IACFEffectGUI* Editor() const { return mEditor; }
  void ReleaseEditor();
  // Uninitialises (when initialised) and gives back the effect-parameters object; releases the
  // editor first.
  void ReleaseEffect();

  // Answers the automation delegate's waiting set-value requests (the parameter thread's job).
  int DeliverAutomation();

  // Every parameter as the host sees it, in index order, read through host calls.
  std::vector<ParameterInfo> Parameters() const;

private:
  const HostEffectDescriptor& mEffectDescriptor;
  std::shared_ptr<HostFaults> mFaults;
  HostRef<HostController> mController;
  AAX_IACFEffectParameters* mEffect = nullptr;
  AAX_IACFEffectParameters_V2* mEffectV2 = nullptr;
  AAX_IACFEffectParameters_V4* mEffectV4 = nullptr;
  AAX_IACFEffectGUI* mEditor = nullptr;
  bool mInitialized = false;
};

} // namespace aaxhost
