#pragma once

// Modules and the Windows version of our Win32 stand-in.
//
// The stand-in's own system libraries answer by name (without regard to case, with or without
// ".dll" and a directory): "user32.dll" exports "GetDpiForWindow";
// "gdi32.dll" exports "D3DKMTOpenAdapterFromHdc", "D3DKMTWaitForVerticalBlankEvent" and
// "D3DKMTCloseAdapter"; "opengl32.dll" exports the wgl functions and the OpenGL 1.1 entry points
// (later ones come from wglGetProcAddress, as on Windows). "kernel32.dll", "shell32.dll",
// "comdlg32.dll", "comctl32.dll", "ole32.dll", "shlwapi.dll" and "wininet.dll" load but export
// nothing by name here. Win32Display.h can take GetDpiForWindow and the D3DKMT functions away, as
// older Windows versions lack them. Any other plain name is not found (ERROR_MOD_NOT_FOUND); a path
// (with a slash or backslash) is loaded by the system loader, counted per LoadLibrary and unloaded
// at the last FreeLibrary, and its exported functions are found by name: a missing file is
// ERROR_MOD_NOT_FOUND, a file that does not load ERROR_BAD_EXE_FORMAT.

#include "Win32Types.h"

// NULL: the executable, whose handle is the address it was loaded at (Win32Resources.h reads its
// resources); the system libraries above by name.
HMODULE GetModuleHandleA(LPCSTR moduleName);
HMODULE GetModuleHandleW(LPCWSTR moduleName);
HMODULE LoadLibraryA(LPCSTR fileName);
// System libraries stay loaded; FreeLibrary only checks their handle.
BOOL FreeLibrary(HMODULE module);
// NULL with ERROR_PROC_NOT_FOUND when the module does not export the name (ordinals are not
// exported by name and always fail).
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

// --- Version ----------------------------------------------------------------------------------
#define VER_PLATFORM_WIN32_NT 2

#define VER_MINORVERSION 0x0000001
#define VER_MAJORVERSION 0x0000002
#define VER_BUILDNUMBER 0x0000004
#define VER_PLATFORMID 0x0000008
#define VER_SERVICEPACKMINOR 0x0000010
#define VER_SERVICEPACKMAJOR 0x0000020
#define VER_SUITENAME 0x0000040
#define VER_PRODUCT_TYPE 0x0000080

#define VER_EQUAL 1
#define VER_GREATER 2
#define VER_GREATER_EQUAL 3
#define VER_LESS 4
#define VER_LESS_EQUAL 5
#define VER_AND 6
#define VER_OR 7

#define VER_NT_WORKSTATION 0x0000001
#define ERROR_OLD_WIN_VERSION 1150L

typedef struct _OSVERSIONINFOA
{
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;

typedef struct _OSVERSIONINFOW
{
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW;

typedef struct _OSVERSIONINFOEXA
{
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
} OSVERSIONINFOEXA, *POSVERSIONINFOEXA, *LPOSVERSIONINFOEXA;

typedef struct _OSVERSIONINFOEXW
{
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
} OSVERSIONINFOEXW, *POSVERSIONINFOEXW, *LPOSVERSIONINFOEXW;

// Major, minor and service pack numbers are compared together, as one version, with the
// condition of the first of them in the mask; the build number on its own. FALSE with
// ERROR_OLD_WIN_VERSION when the system does not satisfy the conditions.
BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW info, DWORD typeMask, ULONGLONG conditionMask);
ULONGLONG VerSetConditionMask(ULONGLONG conditionMask, DWORD typeMask, BYTE condition);

#ifdef UNICODE
typedef OSVERSIONINFOW OSVERSIONINFO;
typedef OSVERSIONINFOEXW OSVERSIONINFOEX;
#define GetModuleHandle GetModuleHandleW
#define VerifyVersionInfo VerifyVersionInfoW
#else
typedef OSVERSIONINFOA OSVERSIONINFO;
typedef OSVERSIONINFOEXA OSVERSIONINFOEX;
#define GetModuleHandle GetModuleHandleA
#define LoadLibrary LoadLibraryA
#endif
