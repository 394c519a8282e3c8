#include "AAX_RenderInstances.h"

void RenderInstances(void* const inInstancesBegin[], const void* inInstancesEnd)
{
  // The per-instance render operation arrives with the render path; until then the host's
  // output buffers are left as the host gave them.
  (void) inInstancesBegin;
  (void) inInstancesEnd;
}
