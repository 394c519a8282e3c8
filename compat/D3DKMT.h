#pragma once

// The three kernel-mode display calls that a display clock looks up in "gdi32.dll" at run time
// (by name, through GetProcAddress), with the structure layouts of the Windows Driver Kit's
// d3dkmthk.h, which <windows.h> does not carry. Included by PlatformWindows.h after the platform's
// Win32 headers, on Windows and with our stand-in alike. The calls return an NTSTATUS: 0 for
// success, negative for failure.

#ifndef _D3DKMTHK_H_

#if !defined(_NTDEF_) && !defined(_NTSTATUS_PSDK)
#define _NTSTATUS_PSDK
typedef LONG NTSTATUS, *PNTSTATUS;
#endif

typedef UINT D3DKMT_HANDLE;
typedef UINT D3DDDI_VIDEO_PRESENT_SOURCE_ID;

typedef struct _D3DKMT_OPENADAPTERFROMHDC
{
  HDC hDc;                                      // in
  D3DKMT_HANDLE hAdapter;                       // out
  LUID AdapterLuid;                             // out
  D3DDDI_VIDEO_PRESENT_SOURCE_ID VidPnSourceId; // out
} D3DKMT_OPENADAPTERFROMHDC;

typedef struct _D3DKMT_WAITFORVERTICALBLANKEVENT
{
  D3DKMT_HANDLE hAdapter;
  D3DKMT_HANDLE hDevice; // may be 0
  D3DDDI_VIDEO_PRESENT_SOURCE_ID VidPnSourceId;
} D3DKMT_WAITFORVERTICALBLANKEVENT;

typedef struct _D3DKMT_CLOSEADAPTER
{
  D3DKMT_HANDLE hAdapter;
} D3DKMT_CLOSEADAPTER;

#endif // _D3DKMTHK_H_

typedef NTSTATUS(APIENTRY* PFND3DKMT_OPENADAPTERFROMHDC)(D3DKMT_OPENADAPTERFROMHDC* openAdapter);
typedef NTSTATUS(APIENTRY* PFND3DKMT_WAITFORVERTICALBLANKEVENT)(const D3DKMT_WAITFORVERTICALBLANKEVENT* wait);
typedef NTSTATUS(APIENTRY* PFND3DKMT_CLOSEADAPTER)(const D3DKMT_CLOSEADAPTER* closeAdapter);
