#pragma once

// Global memory of our Win32 stand-in, as the clipboard uses it: movable blocks are reached
// through GlobalLock, fixed blocks are their own address.

#include "Win32Types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// NULL for an unknown handle (ERROR_INVALID_HANDLE) or a block of size 0.
LPVOID GlobalLock(HGLOBAL memory);
// Non-zero while the block stays locked; 0 (with NO_ERROR) once the lock count reaches 0.
BOOL GlobalUnlock(HGLOBAL memory);
// NULL on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
