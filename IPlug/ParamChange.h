#pragma once

namespace iplug {

// A parameter change on its way from the host's parameter thread to the editor. The value is
// the parameter's real value, not its normalised one.
struct ParamChange
{
  int paramIdx = 0;
  double value = 0.0;
};

} // namespace iplug
