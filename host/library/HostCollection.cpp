#include "HostCollection.h"

namespace aaxhost {

ACFRESULT HostCollection::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXCollectionV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFCollection*>(this), outInterface);
  if (iid == IID_IACFPluginDefinition && !mFaults->Trip("query-plugin-definition"))
    return Answer(static_cast<IACFPluginDefinition*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

IACFUnknown* HostCollection::NewDescriptor()
{
  if (mFaults->Trip("new-descriptor"))
    return nullptr;
  auto* descriptor = new HostEffectDescriptor(mFaults);
  mCreated.push_back(HostRef<HostEffectDescriptor>::Share(descriptor));
  return static_cast<AAX_IACFEffectDescriptor*>(descriptor);
}

AAX_Result HostCollection::AddEffect(const char* effectID, IACFUnknown* effectDescriptor)
{
  if (const auto fault = mFaults->Trip("add-effect"))
    return *fault;
  if (!effectID || !*effectID || !effectDescriptor)
    return AAX_ERROR_NULL_ARGUMENT;
  for (const Effect& effect : mEffects)
    if (effect.identifier == effectID)
      return AAX_ERROR_DUPLICATE_EFFECT_ID;
  AAX_IACFEffectDescriptor* asked = nullptr;
  if (effectDescriptor->QueryInterface(IID_IAAXEffectDescriptorV1, reinterpret_cast<void**>(&asked)) != ACF_OK)
    return AAX_ERROR_INVALID_ARGUMENT;
  auto* own = dynamic_cast<HostEffectDescriptor*>(asked);
  if (!own)
  {
    asked->Release();
    return AAX_ERROR_INVALID_ARGUMENT;
  }
  if (own->Components().empty())
  {
    own->Release();
    return AAX_ERROR_NO_COMPONENTS;
  }
  mEffects.push_back({effectID, HostRef<HostEffectDescriptor>(own)});
  return AAX_SUCCESS;
}

AAX_Result HostCollection::SetManufacturerName(const char* name)
{
  if (const auto fault = mFaults->Trip("set-manufacturer-name"))
    return *fault;
  mManufacturerName = name ? name : "";
  return AAX_SUCCESS;
}

AAX_Result HostCollection::AddPackageName(const char* name)
{
  if (const auto fault = mFaults->Trip("add-package-name"))
    return *fault;
  if (!name)
    return AAX_ERROR_NULL_ARGUMENT;
  mPackageNames.emplace_back(name);
  return AAX_SUCCESS;
}

AAX_Result HostCollection::SetPackageVersion(uint32_t version)
{
  if (const auto fault = mFaults->Trip("set-package-version"))
    return *fault;
  mPackageVersion = version;
  return AAX_SUCCESS;
}

} // namespace aaxhost
