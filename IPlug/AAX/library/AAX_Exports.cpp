#include "ACFExports.h"

#include <exception>

#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_DescribeEffect.h"
#include "AAX_Errors.h"
#include "AAX_VCollection.h"
#include "CACFUnknown.h"

// Each export is a guard around an ordinary function: nothing may unwind into the host.

namespace {

AAX_Result RegisterPlugin(IACFUnknown* host, IACFPluginDefinition** outDefinition)
{
  try
  {
    AAX_VCollection collection(host);
    AAX_CheckedResult result;
    result = DescribeEffect(collection);

    *outDefinition = nullptr;
    IACFUnknown* definitionSource = collection.GetIUnknown();
    if (!definitionSource ||
        definitionSource->QueryInterface(IID_IACFPluginDefinition, reinterpret_cast<void**>(outDefinition)) != ACF_OK)
    {
      *outDefinition = nullptr;
      result = AAX_ERROR_NULL_OBJECT;
    }
    return AAX_SUCCESS;
  }
  catch (const AAX_CheckedResult::Exception& e)
  {
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical, "AAXRegisterPlugin exception caught: %s", e.what());
    return e.Result();
  }
  catch (const std::exception& e)
  {
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical, "AAXRegisterPlugin exception caught: %s", e.what());
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
  catch (...)
  {
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Critical, "AAXRegisterPlugin exception caught: unknown");
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

} // namespace

extern "C" {

ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition)
{
  try
  {
    if (!ppPluginDefinition)
      return AAX_ERROR_NULL_ARGUMENT;
    *ppPluginDefinition = nullptr;
    return RegisterPlugin(pUnkHost, ppPluginDefinition);
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACFRESULT ACFRegisterComponent(IACFUnknown* pUnkHost, uint32_t index, IACFComponentDefinition** ppComponentDefinition)
{
  (void) pUnkHost;
  (void) index;
  if (!ppComponentDefinition)
    return AAX_ERROR_NULL_ARGUMENT;
  *ppComponentDefinition = nullptr;
  return ACF_OK;
}

ACFRESULT ACFGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid, void** ppOut)
{
  (void) pUnkHost;
  (void) clsid;
  (void) iid;
  if (ppOut)
    *ppOut = nullptr;
  return AAX_ERROR_UNIMPLEMENTED;
}

ACFRESULT ACFCanUnloadNow(IACFUnknown* pUnkHost)
{
  (void) pUnkHost;
  return CACFUnknown::GetActiveObjectCount();
}

ACFRESULT ACFStartup(IACFUnknown* pUnkHost)
{
  try
  {
    AAX_CHostServices::Set(pUnkHost);
    return ACF_OK;
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACFRESULT ACFShutdown(IACFUnknown* pUnkHost)
{
  (void) pUnkHost;
  try
  {
    AAX_CHostServices::Kill();
    return ACF_OK;
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion)
{
  if (!oSDKVersion)
    return AAX_ERROR_NULL_ARGUMENT;
  *oSDKVersion = kACFSDKVersion;
  return ACF_OK;
}

} // extern "C"
