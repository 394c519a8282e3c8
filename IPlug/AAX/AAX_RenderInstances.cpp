#include "AAX_RenderInstances.h"

#include "AAX_CIPlugParameters.h"
#include "AAX_SIPlugContext.h"

void RenderInstances(void* const inInstancesBegin[], const void* inInstancesEnd)
{
  if (!inInstancesBegin || !inInstancesEnd)
    return;
  for (void* const* walk = inInstancesBegin; walk < inInstancesEnd; ++walk)
  {
    auto* context = static_cast<AAX_SIPlugContext*>(*walk);
    // A context whose field reset has not run yet has no instance to render.
    if (!context || !context->mPrivateData || !context->mPrivateData->mEffectPtr)
      continue;
    auto* instance = dynamic_cast<AAX_CIPlugParameters*>(context->mPrivateData->mEffectPtr);
    if (!instance)
      continue;
    // Unwinding into the host's real-time thread would end the host; a block that throws is
    // lost and the next context still renders.
    try
    {
      instance->RenderContext(context);
    }
    catch (...)
    {
    }
  }
}
