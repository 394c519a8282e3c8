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
    // Only this module's field reset writes the pointer, and always from an AAX_CIPlugParameters
    // (a plain chain of single bases): a static cast is exact, where a dynamic one would compare
    // type names across modules on every call.
    auto* instance = static_cast<AAX_CIPlugParameters*>(context->mPrivateData->mEffectPtr);
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
