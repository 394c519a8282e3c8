#pragma once

#include "IPlugLV2.h"

namespace iplug {

// The adapter a product derives from in this build. Each adapter folder has a header of this
// name; the build puts one of them on the include path.
using PluginAdapter = IPlugLV2;

} // namespace iplug
