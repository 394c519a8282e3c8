#include "HostEffectDescriptor.h"

namespace aaxhost {

ACFRESULT HostEffectDescriptor::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXEffectDescriptorV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFEffectDescriptor*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

IACFUnknown* HostEffectDescriptor::NewComponentDescriptor()
{
  if (mFaults->Trip("new-component-descriptor"))
    return nullptr;
  auto* component = new HostComponentDescriptor(mFaults);
  mCreated.push_back(HostRef<HostComponentDescriptor>::Share(component));
  return static_cast<AAX_IACFComponentDescriptor*>(component);
}

AAX_Result HostEffectDescriptor::AddComponent(IACFUnknown* componentDescriptor)
{
  if (const auto fault = mFaults->Trip("add-component"))
    return *fault;
  if (!componentDescriptor)
    return AAX_ERROR_NULL_COMPONENT;
  AAX_IACFComponentDescriptor* asked = nullptr;
  if (componentDescriptor->QueryInterface(IID_IAAXComponentDescriptorV1, reinterpret_cast<void**>(&asked)) != ACF_OK)
    return AAX_ERROR_NULL_COMPONENT;
  // Only descriptors this host made can be part of its effects.
  auto* own = dynamic_cast<HostComponentDescriptor*>(asked);
  if (!own)
  {
    asked->Release();
    return AAX_ERROR_NULL_COMPONENT;
  }
  mComponents.emplace_back(own);
  return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddName(const char* name)
{
  if (const auto fault = mFaults->Trip("add-name"))
    return *fault;
  if (!name || !*name)
    return AAX_ERROR_EMPTY_EFFECT_NAME;
  mNames.emplace_back(name);
  return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddCategory(uint32_t category)
{
  if (const auto fault = mFaults->Trip("add-category"))
    return *fault;
  mCategories.push_back(category);
  return AAX_SUCCESS;
}

AAX_Result HostEffectDescriptor::AddProcPtr(void* procPtr, AAX_CProcPtrID procID)
{
  if (const auto fault = mFaults->Trip("add-proc-ptr"))
    return *fault;
  if (!procPtr)
    return AAX_ERROR_NULL_ARGUMENT;
  mProcedures.push_back({procPtr, procID});
  return AAX_SUCCESS;
}

void* HostEffectDescriptor::FindProcedure(AAX_CProcPtrID id) const
{
  for (auto it = mProcedures.rbegin(); it != mProcedures.rend(); ++it)
    if (it->id == id)
      return it->proc;
  return nullptr;
}

} // namespace aaxhost
