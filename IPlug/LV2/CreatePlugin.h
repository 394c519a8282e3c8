#pragma once

#include "IPlugLV2.h"
#include "InstanceInfo.h"

// The module's factory, defined by the product: builds one plug-in instance under a
// process-wide lock, so hosts may instantiate from several threads at once. Returns null when
// construction fails.
iplug::IPlugLV2* CreatePlugin(const InstanceInfo& info);
