#pragma once

#include "IPlugAAX.h"
#include "InstanceInfo.h"

// The module's factory, defined by the product: builds one plug-in instance under a
// process-wide lock, so hosts may instantiate from several threads at once. Returns null when
// construction fails.
iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info);
