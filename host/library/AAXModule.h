#pragma once

#include <string>

#include "ACFExports.h"

namespace aaxhost {

// A loaded module: the shared library and its seven exports. Loading fails with
// std::runtime_error naming the file and what is missing. Unloads when destroyed; the caller
// makes sure nothing of the module is still alive then (CanUnloadNow answers 0). Any thread.
class AAXModule
{
public:
  explicit AAXModule(const std::string& path);
  ~AAXModule();
  AAXModule(const AAXModule&) = delete;
  AAXModule& operator=(const AAXModule&) = delete;

  const std::string& Path() const { return mPath; }

  ACFRESULT Startup(IACFUnknown* host) const { return mStartup(host); }
  ACFRESULT RegisterPlugin(IACFUnknown* host, IACFPluginDefinition** outDefinition) const
  {
    return mRegisterPlugin(host, outDefinition);
  }
  ACFRESULT RegisterComponent(IACFUnknown* host, uint32_t index, IACFComponentDefinition** outDefinition) const
  {
    return mRegisterComponent(host, index, outDefinition);
  }
  ACFRESULT GetClassFactory(IACFUnknown* host, const acfCLSID& clsid, const acfIID& iid, void** outObject) const
  {
    return mGetClassFactory(host, clsid, iid, outObject);
  }
  ACFRESULT CanUnloadNow(IACFUnknown* host) const { return mCanUnloadNow(host); }
  ACFRESULT Shutdown(IACFUnknown* host) const { return mShutdown(host); }
  ACFRESULT GetSDKVersion(uint64_t* outVersion) const { return mGetSDKVersion(outVersion); }

private:
  std::string mPath;
  void* mHandle = nullptr; // HMODULE; the header stays free of the platform's declarations
  ACFRegisterPluginProc mRegisterPlugin = nullptr;
  ACFRegisterComponentProc mRegisterComponent = nullptr;
  ACFGetClassFactoryProc mGetClassFactory = nullptr;
  ACFCanUnloadNowProc mCanUnloadNow = nullptr;
  ACFStartupProc mStartup = nullptr;
  ACFShutdownProc mShutdown = nullptr;
  ACFGetSDKVersionProc mGetSDKVersion = nullptr;
};

} // namespace aaxhost
