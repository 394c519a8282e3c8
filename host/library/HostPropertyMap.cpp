#include "HostPropertyMap.h"

namespace aaxhost {

ACFRESULT HostPropertyMap::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXPropertyMapV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFPropertyMap*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

AAX_Result HostPropertyMap::AddProperty(AAX_EProperty property, AAX_CPropertyValue value)
{
  if (const auto fault = mFaults->Trip("add-property"))
    return *fault;
  mProperties.emplace_back(property, value);
  return AAX_SUCCESS;
}

AAX_CBoolean HostPropertyMap::GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const
{
  // The last value added for a number is the one that counts.
  for (auto it = mProperties.rbegin(); it != mProperties.rend(); ++it)
  {
    if (it->first == property)
    {
      if (outValue)
        *outValue = it->second;
      return 1;
    }
  }
  if (outValue)
    *outValue = 0;
  return 0;
}

} // namespace aaxhost
