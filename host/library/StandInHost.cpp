#include "StandInHost.h"

#include <stdexcept>

namespace aaxhost {

StandInHost::StandInHost(const std::string& modulePath) : mModule(modulePath) {}

StandInHost::~StandInHost()
{
  DropRegistration();
  if (mStarted)
    Shutdown();
}

ACFRESULT StandInHost::Startup()
{
  const ACFRESULT result = mModule.Startup(ServicesUnknown());
  mStarted = mStarted || result == ACF_OK;
  return result;
}

ACFRESULT StandInHost::Shutdown()
{
  mStarted = false;
  return mModule.Shutdown(ServicesUnknown());
}

void StandInHost::DropRegistration()
{
  if (mDefinition)
    mDefinition->Release();
  mDefinition = nullptr;
  mCollection = HostRef<HostCollection>();
}

ACFRESULT StandInHost::Register()
{
  DropRegistration();
  mCollection = HostRef<HostCollection>(new HostCollection(mFaults));
  return mModule.RegisterPlugin(mCollection->AsUnknown(), &mDefinition);
}

std::unique_ptr<HostInstance> StandInHost::CreateInstance(size_t effectIndex, size_t componentIndex) const
{
  if (!mCollection || effectIndex >= mCollection->Effects().size())
    throw std::runtime_error("no registered effect with that index");
  const HostEffectDescriptor& effect = *mCollection->Effects()[effectIndex].descriptor;
  const HostComponentDescriptor* component =
    componentIndex < effect.Components().size() ? effect.Components()[componentIndex].get() : nullptr;
  return std::make_unique<HostInstance>(effect, component, mFaults);
}

} // namespace aaxhost
