// A module for the validator's own tests: the product with a state loader that takes the state's
// usual size for granted and reads that many bytes whatever it was given. `aaxhost validate` must
// fail its state-malformed case on it.

#include "Corvane.h"

namespace {

class PastEndStateCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  int ReadState(const iplug::ByteChunk& chunk, int startPos) override
  {
    constexpr int kStateBytes = 60;
    iplug::ByteChunk whole;
    whole.PutBytes(chunk.GetData() + startPos, kStateBytes);
    return Corvane::ReadState(whole, 0);
  }
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new PastEndStateCorvane(info);
}
