#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "AAX_IACFPropertyMap.h"
#include "HostFaults.h"
#include "HostObject.h"

namespace aaxhost {

// A property map as the module fills it: every property in the order it was added.
// Registration thread.
class HostPropertyMap final : public HostObject<AAX_IACFPropertyMap>
{
public:
  explicit HostPropertyMap(std::shared_ptr<HostFaults> faults) : mFaults(std::move(faults)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) override;
  AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const override;

  const std::vector<std::pair<uint32_t, int32_t>>& Properties() const { return mProperties; }

private:
  std::shared_ptr<HostFaults> mFaults;
  std::vector<std::pair<uint32_t, int32_t>> mProperties;
};

} // namespace aaxhost
