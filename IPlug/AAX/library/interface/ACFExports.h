#pragma once

#include <cstdint>

#include "ACFBase.h"

// The seven functions a module exports under plain names, and their types for a host that
// looks them up. Each returns 0 or a negative result; an exception escaping inside turns into
// ACF_E_UNEXPECTED. Any host thread; the host calls startup and shutdown when no other module
// work is in progress.
extern "C" {

// Describes the module's effect to the host's registration object and answers its plug-in
// definition (null, with the failure's code, when the description fails).
ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition);
// This module has no components of that kind: null and 0.
ACFRESULT ACFRegisterComponent(IACFUnknown* pUnkHost, uint32_t index, IACFComponentDefinition** ppComponentDefinition);
// No class factory: null and AAX_ERROR_UNIMPLEMENTED.
ACFRESULT ACFGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid, void** ppOut);
// The number of the module's objects still alive: 0 means the module may be unloaded.
ACFRESULT ACFCanUnloadNow(IACFUnknown* pUnkHost);
// Takes the host's services on the first call with a host; a null host lets them go.
ACFRESULT ACFStartup(IACFUnknown* pUnkHost);
// Lets the host's services go.
ACFRESULT ACFShutdown(IACFUnknown* pUnkHost);
// The framework version the module was built against.
ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion);

} // extern "C"

using ACFRegisterPluginProc = ACFRESULT (*)(IACFUnknown*, IACFPluginDefinition**);
using ACFRegisterComponentProc = ACFRESULT (*)(IACFUnknown*, uint32_t, IACFComponentDefinition**);
using ACFGetClassFactoryProc = ACFRESULT (*)(IACFUnknown*, const acfCLSID&, const acfIID&, void**);
using ACFCanUnloadNowProc = ACFRESULT (*)(IACFUnknown*);
using ACFStartupProc = ACFRESULT (*)(IACFUnknown*);
using ACFShutdownProc = ACFRESULT (*)(IACFUnknown*);
using ACFGetSDKVersionProc = ACFRESULT (*)(uint64_t*);

constexpr uint64_t kACFSDKVersion = 0x00000204013449EAull;  // 0x204, then 20204010
