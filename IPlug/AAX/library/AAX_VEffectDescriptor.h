#pragma once

#include <memory>
#include <vector>

#include "AAX.h"

class IACFUnknown;
class AAX_IACFEffectDescriptor;
class AAX_VComponentDescriptor;

// The module's handle on a host effect descriptor; owns the component descriptors it makes.
// Every call answers AAX_ERROR_NULL_OBJECT when the host's object is missing. Registration
// thread.
class AAX_VEffectDescriptor
{
public:
  // Takes over the caller's reference to `unknown`.
  explicit AAX_VEffectDescriptor(IACFUnknown* unknown);
  ~AAX_VEffectDescriptor();
  AAX_VEffectDescriptor(const AAX_VEffectDescriptor&) = delete;
  AAX_VEffectDescriptor& operator=(const AAX_VEffectDescriptor&) = delete;

  bool IsValid() const { return mIEffectDescriptor != nullptr; }
  IACFUnknown* GetIUnknown() const;

  // A new component descriptor owned by this one, or null when the host gives none.
  AAX_VComponentDescriptor* NewComponentDescriptor();
  AAX_Result AddComponent(AAX_VComponentDescriptor* componentDescriptor);
  AAX_Result AddName(const char* name);
  AAX_Result AddCategory(uint32_t category);
  AAX_Result AddProcPtr(void* procPtr, AAX_CProcPtrID procID);

private:
  AAX_IACFEffectDescriptor* mIEffectDescriptor = nullptr;
  std::vector<std::unique_ptr<AAX_VComponentDescriptor>> mComponentDescriptors;
};
