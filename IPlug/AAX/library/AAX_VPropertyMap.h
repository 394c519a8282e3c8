#pragma once

#include "AAX.h"

class IACFUnknown;
class AAX_IACFPropertyMap;

// The module's handle on a host property map. Holds one reference; AAX_ERROR_NULL_OBJECT when
// the host's object is missing or is no property map. Registration thread.
class AAX_VPropertyMap
{
public:
  // Takes over the caller's reference to `unknown`.
  explicit AAX_VPropertyMap(IACFUnknown* unknown);
  ~AAX_VPropertyMap();
  AAX_VPropertyMap(const AAX_VPropertyMap&) = delete;
  AAX_VPropertyMap& operator=(const AAX_VPropertyMap&) = delete;

  bool IsValid() const { return mIPropertyMap != nullptr; }
  AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value);
  IACFUnknown* GetIUnknown() const;

private:
  AAX_IACFPropertyMap* mIPropertyMap = nullptr;
};
