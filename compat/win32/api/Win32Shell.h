#pragma once

// Shell calls of our Win32 stand-in: opening documents and addresses (recorded by the script of
// Win32Script.h, which decides the result; nothing is started), the Internet connection check
// (answered from the script, connected by default) and file existence.

#include "Win32Types.h"

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Returns a value above 32 on success (42 unless the script says otherwise), an SE_ERR_ code on
// failure; a NULL file gives SE_ERR_FNF.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        INT showCommand);

#define INTERNET_CONNECTION_MODEM 0x01
#define INTERNET_CONNECTION_LAN 0x02
#define INTERNET_CONNECTION_PROXY 0x04
#define INTERNET_CONNECTION_OFFLINE 0x20
#define INTERNET_CONNECTION_CONFIGURED 0x40

// TRUE with INTERNET_CONNECTION_LAN when the script says the machine is connected; FALSE with
// INTERNET_CONNECTION_OFFLINE otherwise.
BOOL InternetGetConnectedState(LPDWORD flags, DWORD reserved);

#ifdef UNICODE
#define ShellExecute ShellExecuteW
#endif
