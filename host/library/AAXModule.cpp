#include "AAXModule.h"

#include <stdexcept>

#include "PlatformWindows.h"

namespace aaxhost {

namespace {

HMODULE AsModule(void* handle)
{
  return static_cast<HMODULE>(handle);
}

template <typename Proc>
void Resolve(void* handle, const char* name, Proc& out, const std::string& path)
{
  FARPROC symbol = GetProcAddress(AsModule(handle), name);
  if (!symbol)
    throw std::runtime_error(path + ": the module does not export " + name);
  out = reinterpret_cast<Proc>(reinterpret_cast<void*>(symbol));
}

std::string LoadFailure(DWORD error)
{
  switch (error)
  {
    case ERROR_MOD_NOT_FOUND:
      return "the module, or a library it needs, was not found";
    case ERROR_BAD_EXE_FORMAT:
      return "not a module for this system";
    default:
      return "system error " + std::to_string(error);
  }
}

} // namespace

AAXModule::AAXModule(const std::string& path) : mPath(path)
{
  mHandle = LoadLibraryA(path.c_str());
  if (!mHandle)
    throw std::runtime_error("cannot load " + path + ": " + LoadFailure(GetLastError()));
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
    FreeLibrary(AsModule(mHandle));
    throw;
  }
}

AAXModule::~AAXModule()
{
  if (mHandle)
    FreeLibrary(AsModule(mHandle));
}

} // namespace aaxhost
