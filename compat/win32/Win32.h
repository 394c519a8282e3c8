#pragma once

// Entry header of our Win32 stand-in, the counterpart of <windows.h> where there is no Windows.
// Include it through PlatformWindows.h, never directly, so that the same sources build against
// the real Windows headers.

#include "Win32Types.h"
#include "Win32Kernel.h"
#include "Win32User.h"
#include "Win32Resources.h"
