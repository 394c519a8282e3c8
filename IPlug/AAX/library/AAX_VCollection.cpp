#include "AAX_VCollection.h"

#include "AAX_Errors.h"
#include "AAX_IACFCollection.h"
#include "AAX_VEffectDescriptor.h"

AAX_VCollection::AAX_VCollection(IACFUnknown* host)
{
  if (host && host->QueryInterface(IID_IAAXCollectionV1, reinterpret_cast<void**>(&mICollection)) != ACF_OK)
    mICollection = nullptr;
}

AAX_VCollection::~AAX_VCollection()
{
  mEffectDescriptors.clear();
  if (mICollection)
    mICollection->Release();
}

IACFUnknown* AAX_VCollection::GetIUnknown() const
{
  return mICollection;
}

AAX_VEffectDescriptor* AAX_VCollection::NewDescriptor()
{
  if (!mICollection)
    return nullptr;
  auto descriptor = std::make_unique<AAX_VEffectDescriptor>(mICollection->NewDescriptor());
  if (!descriptor->IsValid())
    return nullptr;
  mEffectDescriptors.push_back(std::move(descriptor));
  return mEffectDescriptors.back().get();
}

AAX_Result AAX_VCollection::AddEffect(const char* effectID, AAX_VEffectDescriptor* effectDescriptor)
{
  if (!mICollection)
    return AAX_ERROR_NULL_OBJECT;
  return mICollection->AddEffect(effectID, effectDescriptor ? effectDescriptor->GetIUnknown() : nullptr);
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* name)
{
  return mICollection ? mICollection->SetManufacturerName(name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::AddPackageName(const char* name)
{
  return mICollection ? mICollection->AddPackageName(name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t version)
{
  return mICollection ? mICollection->SetPackageVersion(version) : AAX_ERROR_NULL_OBJECT;
}
