#pragma once

#include <memory>
#include <string>

#include "AAXModule.h"
#include "HostCollection.h"
#include "HostFaults.h"
#include "HostInstance.h"
#include "HostServices.h"

namespace aaxhost {

// A host for one module, in the order a digital audio workstation works: load, start up with
// the host's services, register (describe) the module, create and drive instances, release
// them, shut down, unload. Each host object records what the module told it, and the fault
// plan makes chosen host operations fail. UI thread unless an operation says otherwise.
class StandInHost
{
public:
  // Loads the module; throws std::runtime_error when it cannot.
  explicit StandInHost(const std::string& modulePath);
  // Shuts the module down (when started) and unloads it.
  ~StandInHost();
  StandInHost(const StandInHost&) = delete;
  StandInHost& operator=(const StandInHost&) = delete;

  const AAXModule& Module() const { return mModule; }
  HostFaults& Faults() const { return *mFaults; }
  const std::shared_ptr<HostFaults>& SharedFaults() const { return mFaults; }
  HostServices& Services() const { return *mServices; }
  IACFUnknown* ServicesUnknown() const { return static_cast<AAX_IACFHostServices*>(mServices.get()); }

  ACFRESULT Startup();
  ACFRESULT Shutdown();

  // Registers the module with a fresh collection and keeps both the collection and the plug-in
  // definition the module answered (null when it answered none). Returns the export's result.
  ACFRESULT Register();
  HostCollection* Collection() const { return mCollection.get(); }
  IACFPluginDefinition* Definition() const { return mDefinition; }

  // A new instance of registered effect `effectIndex`, running in its component
  // `componentIndex`; throws std::runtime_error when there is no such effect or the factory
  // fails. The instance must go before the host does.
  std::unique_ptr<HostInstance> CreateInstance(size_t effectIndex = 0, size_t componentIndex = 0) const;

private:
  void DropRegistration();

  std::shared_ptr<HostFaults> mFaults = std::make_shared<HostFaults>();
  HostRef<HostServices> mServices = HostServices::Create();
  AAXModule mModule;
  HostRef<HostCollection> mCollection;
  IACFPluginDefinition* mDefinition = nullptr;
  bool mStarted = false;
};

} // namespace aaxhost
