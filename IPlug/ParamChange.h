#pragma once

namespace iplug {

// A parameter's new real (not normalised) value, on its way from the host to the editor.
struct ParamChange
{
  int paramIdx = 0;
  double value = 0.0;
};

} // namespace iplug
