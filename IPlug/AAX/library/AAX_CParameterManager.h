#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AAX.h"

class AAX_IAutomationDelegate;
class AAX_IParameter;

// The parameters of one effect instance, in the order they were added (their index) and by
// identifier. Owns them. Adding a parameter registers it with the host's automation delegate.
// Parameter and UI threads; not for the audio thread.
class AAX_CParameterManager
{
public:
  AAX_CParameterManager() = default;
  ~AAX_CParameterManager();
  AAX_CParameterManager(const AAX_CParameterManager&) = delete;
  AAX_CParameterManager& operator=(const AAX_CParameterManager&) = delete;

  // The delegate handed to parameters added from now on (not owned).
  void Initialize(AAX_IAutomationDelegate* automationDelegate) { mAutomationDelegate = automationDelegate; }

  // Takes ownership and answers true; a null parameter or one whose identifier is already
  // present is refused with false and stays the caller's.
  bool AddParameter(AAX_IParameter* parameter);
  // Deletes the parameter of that identifier, if any.
  void RemoveParameterByID(AAX_CParamID identifier);
  // Deletes every parameter.
  void RemoveAllParameters();

  int32_t NumParameters() const { return static_cast<int32_t>(mParameters.size()); }
  // Null for an unknown (or null) identifier or an index outside the list.
  AAX_IParameter* GetParameterByID(AAX_CParamID identifier) const;
  AAX_IParameter* GetParameter(int32_t index) const;
  // Position of the first parameter with exactly this identifier, or -1.
  int32_t GetParameterIndex(AAX_CParamID identifier) const;

private:
  AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
  std::vector<std::unique_ptr<AAX_IParameter>> mParameters;
  std::map<std::string, AAX_IParameter*, std::less<>> mParametersByID;
};
