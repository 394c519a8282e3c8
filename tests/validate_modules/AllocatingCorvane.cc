// A module for the validator's own tests: the product with a scratch buffer allocated inside the
// render call. `aaxhost validate` must fail its realtime-safety case on it.

#include <vector>

#include "Corvane.h"

namespace {

class AllocatingCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  void RenderBlock(iplug::sample** inputs, iplug::sample** outputs, int nFrames) override
  {
    std::vector<iplug::sample> scratch(static_cast<size_t>(nFrames > 0 ? nFrames : 1));
    // Keeps the optimiser from removing the allocation.
    asm volatile("" : : "g"(scratch.data()) : "memory");
    Corvane::RenderBlock(inputs, outputs, nFrames);
  }
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new AllocatingCorvane(info);
}
