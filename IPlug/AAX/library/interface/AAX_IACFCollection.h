#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXCollectionV1 = ACFUIDFromText("FB38C6FD-13BF-437F-9203-EC9BBB47DB59");

// The host's registration record for one module: its effects and package identity. The same
// host object answers IID_IACFPluginDefinition once the description is complete.
// Registration thread.
class AAX_IACFCollection : public IACFUnknown
{
public:
  // A new, empty effect descriptor with one reference for the caller; null when the host
  // cannot make one.
  virtual IACFUnknown* NewDescriptor() = 0;
  virtual AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) = 0;
  virtual AAX_Result SetManufacturerName(const char* name) = 0;
  virtual AAX_Result AddPackageName(const char* name) = 0;
  virtual AAX_Result SetPackageVersion(uint32_t version) = 0;

protected:
  ~AAX_IACFCollection() = default;
};
