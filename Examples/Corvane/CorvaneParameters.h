#pragma once

namespace iplug {
class IEditorDelegate;
} // namespace iplug

// Parameter indices of the product.
enum ECorvaneParams
{
  kGain = 0,
  kLowGain,
  kHighGain,
  kOutputLevel,
  kOversampling,
  kBypass,
  kNumParams
};

// Gives the delegate's six parameters their names, ranges, units and texts: the plug-in and an
// editor that runs apart from it (the LV2 editor) describe them the same way.
void DefineCorvaneParameters(iplug::IEditorDelegate& delegate);
