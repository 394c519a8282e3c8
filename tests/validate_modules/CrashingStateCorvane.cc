// A module for the validator's own tests: the product with a state loader that writes through a
// null pointer when it is given less than a whole state. `aaxhost validate` must report its
// state-malformed case as a crash, name it, and go on with the next case.

#include "Corvane.h"

namespace {

class CrashingStateCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  int ReadState(const iplug::ByteChunk& chunk, int startPos) override
  {
    if (chunk.Size() - startPos < 60)
    {
      volatile int* nowhere = nullptr;
      *nowhere = 1;
    }
    return Corvane::ReadState(chunk, startPos);
  }
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new CrashingStateCorvane(info);
}
