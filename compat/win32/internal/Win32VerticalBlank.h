#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the D3DKMT functions that "gdi32.dll" exports, waiting on the
// simulated vertical blank of Win32Display.h. A DC of any window opens an adapter (video source
// 0); a wait on an open adapter returns at the next blank; closing an adapter makes its pending
// and later waits fail. Failures are STATUS_INVALID_PARAMETER (0xC000000D).

#include "Win32Types.h"

#include "../../D3DKMT.h"

NTSTATUS APIENTRY D3DKMTOpenAdapterFromHdc(D3DKMT_OPENADAPTERFROMHDC* openAdapter);
NTSTATUS APIENTRY D3DKMTWaitForVerticalBlankEvent(const D3DKMT_WAITFORVERTICALBLANKEVENT* wait);
NTSTATUS APIENTRY D3DKMTCloseAdapter(const D3DKMT_CLOSEADAPTER* closeAdapter);
