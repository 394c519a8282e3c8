#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AAX_IACFCollection.h"
#include "HostEffectDescriptor.h"
#include "HostFaults.h"
#include "HostObject.h"

namespace aaxhost {

// The host's registration record for one module: the effects it added, its package names,
// manufacturer name and version. Handed to the module's registration as the host interface;
// the same object is the plug-in definition the registration answers. Effect identifiers must
// be new: a repeated one answers AAX_ERROR_DUPLICATE_EFFECT_ID. The fault "query-plugin-definition"
// makes it deny being a plug-in definition. Registration thread.
class HostCollection final : public HostObject<AAX_IACFCollection, IACFPluginDefinition>
{
public:
  struct Effect
  {
    std::string identifier;
    HostRef<HostEffectDescriptor> descriptor;
  };

  explicit HostCollection(std::shared_ptr<HostFaults> faults) : mFaults(std::move(faults)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  IACFUnknown* NewDescriptor() override;
  AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) override;
  AAX_Result SetManufacturerName(const char* name) override;
  AAX_Result AddPackageName(const char* name) override;
  AAX_Result SetPackageVersion(uint32_t version) override;

  // The collection as the host interface handed to the registration export.
  IACFUnknown* AsUnknown() { return static_cast<AAX_IACFCollection*>(this); }

  const std::vector<Effect>& Effects() const { return mEffects; }
  // Every effect descriptor handed out, added or not: what a failed registration left behind.
  const std::vector<HostRef<HostEffectDescriptor>>& CreatedDescriptors() const { return mCreated; }
  const std::string& ManufacturerName() const { return mManufacturerName; }
  const std::vector<std::string>& PackageNames() const { return mPackageNames; }
  uint32_t PackageVersion() const { return mPackageVersion; }

private:
  std::shared_ptr<HostFaults> mFaults;
  std::vector<Effect> mEffects;
  std::vector<HostRef<HostEffectDescriptor>> mCreated;
  std::string mManufacturerName;
  std::vector<std::string> mPackageNames;
  uint32_t mPackageVersion = 0;
};

} // namespace aaxhost
