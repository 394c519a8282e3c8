#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AAX_IACFEffectDescriptor.h"
#include "HostComponentDescriptor.h"
#include "HostFaults.h"
#include "HostObject.h"

namespace aaxhost {

// One effect as the module describes it: names, categories, processing components and the
// factory procedures. Registration thread.
class HostEffectDescriptor final : public HostObject<AAX_IACFEffectDescriptor>
{
public:
  struct Procedure
  {
    void* proc;
    AAX_CProcPtrID id;
  };

  explicit HostEffectDescriptor(std::shared_ptr<HostFaults> faults) : mFaults(std::move(faults)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  IACFUnknown* NewComponentDescriptor() override;
  AAX_Result AddComponent(IACFUnknown* componentDescriptor) override;
  AAX_Result AddName(const char* name) override;
  AAX_Result AddCategory(uint32_t category) override;
  AAX_Result AddProcPtr(void* procPtr, AAX_CProcPtrID procID) override;

  const std::vector<std::string>& Names() const { return mNames; }
  const std::vector<uint32_t>& Categories() const { return mCategories; }
  const std::vector<HostRef<HostComponentDescriptor>>& Components() const { return mComponents; }
  // Every component descriptor handed out, added or not.
  const std::vector<HostRef<HostComponentDescriptor>>& CreatedComponents() const { return mCreated; }
  // In registration order.
  const std::vector<Procedure>& Procedures() const { return mProcedures; }
  // The last procedure registered under `id`, or null.
  void* FindProcedure(AAX_CProcPtrID id) const;

private:
  std::shared_ptr<HostFaults> mFaults;
  std::vector<std::string> mNames;
  std::vector<uint32_t> mCategories;
  std::vector<HostRef<HostComponentDescriptor>> mComponents;
  std::vector<HostRef<HostComponentDescriptor>> mCreated;
  std::vector<Procedure> mProcedures;
};

} // namespace aaxhost
