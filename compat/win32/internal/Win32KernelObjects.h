#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: kernel objects behind handles, shared by the parts of kernel32 that
// hand out waitable or closable handles (mutexes, threads, files, file mappings).

#include "Win32Types.h"

#include <memory>

namespace win32compat {

struct KernelObject
{
  virtual ~KernelObject() = default;
  // What WaitForSingleObject answers for the object.
  virtual DWORD Wait(DWORD milliseconds) = 0;
};

HANDLE AddKernelHandle(std::shared_ptr<KernelObject> object);
// NULL for an unknown or closed handle.
std::shared_ptr<KernelObject> FindKernelHandle(HANDLE handle);

} // namespace win32compat
