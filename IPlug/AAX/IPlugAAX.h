#pragma once

#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

namespace iplug {

// The AAX adapter: one object that is the plug-in's host bridge and its processing frame. The
// host-facing parameter object, render path and chunk calls join it with the AAX module.
class IPlugAAX : public IPlugAPIBase, public IPlugProcessor
{
public:
  explicit IPlugAAX(const ConfigRecord& config) : IPlugAPIBase(config, kAPIAAX), IPlugProcessor(config) {}
};

} // namespace iplug
