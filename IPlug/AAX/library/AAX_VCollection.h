#pragma once

#include <memory>
#include <vector>

#include "AAX.h"

class IACFUnknown;
class AAX_IACFCollection;
class AAX_VEffectDescriptor;

// The module's handle on the host's registration record; owns the effect descriptors it makes.
// Every call answers AAX_ERROR_NULL_OBJECT when the host gave no collection. Registration
// thread.
class AAX_VCollection
{
public:
  // Queries `host` for its collection; does not take over the caller's reference.
  explicit AAX_VCollection(IACFUnknown* host);
  ~AAX_VCollection();
  AAX_VCollection(const AAX_VCollection&) = delete;
  AAX_VCollection& operator=(const AAX_VCollection&) = delete;

  IACFUnknown* GetIUnknown() const;

  // A new effect descriptor owned by this collection, or null when the host gives none.
  AAX_VEffectDescriptor* NewDescriptor();
  AAX_Result AddEffect(const char* effectID, AAX_VEffectDescriptor* effectDescriptor);
  AAX_Result SetManufacturerName(const char* name);
  AAX_Result AddPackageName(const char* name);
  AAX_Result SetPackageVersion(uint32_t version);

private:
  AAX_IACFCollection* mICollection = nullptr;
  std::vector<std::unique_ptr<AAX_VEffectDescriptor>> mEffectDescriptors;
};
