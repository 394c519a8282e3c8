#pragma once

#include <cstdint>

namespace iplug::igraphics {

// The framework's key code (the Windows virtual-key numbering every layer uses) for an X keysym
// of the key's first level; 0 for a key the framework has no code for.
int VirtualKeyFromKeysym(uint32_t keysym);

} // namespace iplug::igraphics
