#pragma once

// Entry header of our Win32 stand-in, the counterpart of <windows.h> (with the shell, common
// dialog, common control, WGL and version-helper headers that PlatformWindows.h adds on Windows)
// where there is no Windows. Include it through PlatformWindows.h, never directly, so that the
// same sources build against the real Windows headers.
//
// The test-facing parts that are not Win32 (testing/Win32Display.h, testing/Win32Script.h) are not
// included here, nor is the stand-in's own state (internal/).

#include "Win32Types.h"
#include "Win32Kernel.h"
#include "Win32Module.h"
#include "Win32VersionHelpers.h"
#include "Win32Strings.h"
#include "Win32Memory.h"
#include "Win32Files.h"
#include "Win32Messages.h"
#include "Win32User.h"
#include "Win32Window.h"
#include "Win32Gdi.h"
#include "Win32Paint.h"
#include "Win32Input.h"
#include "Win32Font.h"
#include "Win32Gl.h"
#include "Win32Controls.h"
#include "Win32Menu.h"
#include "Win32Clipboard.h"
#include "Win32Dialogs.h"
#include "Win32Shell.h"
#include "Win32Resources.h"
