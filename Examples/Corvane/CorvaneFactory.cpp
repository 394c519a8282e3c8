#include <mutex>

#include "Corvane.h"

using namespace iplug;

// The module's factory, in a file of its own so that a module built around another product
// class (a test build with a deliberate fault) brings its own and never links this one.
PluginAdapter* CreatePlugin(const InstanceInfo& info)
{
  // Created on first use, released when the module unloads.
  static std::mutex factoryLock;
  std::lock_guard<std::mutex> lock(factoryLock);
  try
  {
    return new Corvane(info);
  }
  catch (...)
  {
    return nullptr;
  }
}
