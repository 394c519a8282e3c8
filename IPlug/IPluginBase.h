#pragma once

#include "IGEditorDelegate.h"

namespace iplug {

// The plug-in base: parameters, presets and saved state. Presets and state arrive with the
// state layer; for now it carries the parameter count down the class chain.
class IPluginBase : public IGEditorDelegate
{
public:
  IPluginBase(int nParams, int nPresets) : IGEditorDelegate(nParams), mNPresets(nPresets) {}

  int NPresets() const { return mNPresets; }

private:
  int mNPresets;
};

} // namespace iplug
