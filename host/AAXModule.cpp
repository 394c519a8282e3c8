#include "AAXModule.h"

#include <dlfcn.h>

#include <stdexcept>

namespace aaxhost {

namespace {

template <typename Proc>
void Resolve(void* handle, const char* name, Proc& out, const std::string& path)
{
  void* symbol = dlsym(handle, name);
  if (!symbol)
    throw std::runtime_error(path + ": the module does not export " + name);
  out = reinterpret_cast<Proc>(symbol);
}

} // namespace

AAXModule::AAXModule(const std::string& path) : mPath(path)
{
  // Local binding keeps the module's symbols from meeting the host's or another module's.
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle)
  {
    const char* why = dlerror();
    throw std::runtime_error("cannot load " + path + ": " + (why ? why : "unknown reason"));
  }
  try
  {
    Resolve(mHandle, "ACFRegisterPlugin", mRegisterPlugin, path);
    Resolve(mHandle, "ACFRegisterComponent", mRegisterComponent, path);
    Resolve(mHandle, "ACFGetClassFactory", mGetClassFactory, path);
    Resolve(mHandle, "ACFCanUnloadNow", mCanUnloadNow, path);
    Resolve(mHandle, "ACFStartup", mStartup, path);
    Resolve(mHandle, "ACFShutdown", mShutdown, path);
    Resolve(mHandle, "ACFGetSDKVersion", mGetSDKVersion, path);
  }
  catch (...)
  {
    dlclose(mHandle);
    throw;
  }
}

AAXModule::~AAXModule()
{
  if (mHandle)
    dlclose(mHandle);
}

} // namespace aaxhost
