#include "AAX_VPropertyMap.h"

#include "AAX_Errors.h"
#include "AAX_IACFPropertyMap.h"

AAX_VPropertyMap::AAX_VPropertyMap(IACFUnknown* unknown)
{
  if (!unknown)
    return;
  if (unknown->QueryInterface(IID_IAAXPropertyMapV1, reinterpret_cast<void**>(&mIPropertyMap)) != ACF_OK)
    mIPropertyMap = nullptr;
  unknown->Release();
}

AAX_VPropertyMap::~AAX_VPropertyMap()
{
  if (mIPropertyMap)
    mIPropertyMap->Release();
}

AAX_Result AAX_VPropertyMap::AddProperty(AAX_EProperty property, AAX_CPropertyValue value)
{
  return mIPropertyMap ? mIPropertyMap->AddProperty(property, value) : AAX_ERROR_NULL_OBJECT;
}

IACFUnknown* AAX_VPropertyMap::GetIUnknown() const
{
  return mIPropertyMap;
}
