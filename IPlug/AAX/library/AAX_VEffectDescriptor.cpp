#include "AAX_VEffectDescriptor.h"

#include "AAX_Errors.h"
#include "AAX_IACFEffectDescriptor.h"
#include "AAX_VComponentDescriptor.h"

AAX_VEffectDescriptor::AAX_VEffectDescriptor(IACFUnknown* unknown)
{
  if (!unknown)
    return;
  if (unknown->QueryInterface(IID_IAAXEffectDescriptorV1, reinterpret_cast<void**>(&mIEffectDescriptor)) != ACF_OK)
    mIEffectDescriptor = nullptr;
  unknown->Release();
}

AAX_VEffectDescriptor::~AAX_VEffectDescriptor()
{
  mComponentDescriptors.clear();
  if (mIEffectDescriptor)
    mIEffectDescriptor->Release();
}

IACFUnknown* AAX_VEffectDescriptor::GetIUnknown() const
{
  return mIEffectDescriptor;
}

AAX_VComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
  if (!mIEffectDescriptor)
    return nullptr;
  auto descriptor = std::make_unique<AAX_VComponentDescriptor>(mIEffectDescriptor->NewComponentDescriptor());
  if (!descriptor->IsValid())
    return nullptr;
  mComponentDescriptors.push_back(std::move(descriptor));
  return mComponentDescriptors.back().get();
}

AAX_Result AAX_VEffectDescriptor::AddComponent(AAX_VComponentDescriptor* componentDescriptor)
{
  if (!mIEffectDescriptor)
    return AAX_ERROR_NULL_OBJECT;
  return mIEffectDescriptor->AddComponent(componentDescriptor ? componentDescriptor->GetIUnknown() : nullptr);
}

AAX_Result AAX_VEffectDescriptor::AddName(const char* name)
{
  return mIEffectDescriptor ? mIEffectDescriptor->AddName(name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t category)
{
  return mIEffectDescriptor ? mIEffectDescriptor->AddCategory(category) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr(void* procPtr, AAX_CProcPtrID procID)
{
  return mIEffectDescriptor ? mIEffectDescriptor->AddProcPtr(procPtr, procID) : AAX_ERROR_NULL_OBJECT;
}
