#pragma once

// The file calls of our Win32 stand-in: opening a file for reading, its size, read-only file
// mappings (as the font loader maps font files) and the system directory. Paths are the host's.

#include "Win32Types.h"

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define PAGE_READONLY 0x02
#define FILE_MAP_READ 0x0004
#define ERROR_FILE_INVALID 1006L

// Reading an existing file only (GENERIC_READ with OPEN_EXISTING); anything else fails with
// ERROR_NOT_SUPPORTED. INVALID_HANDLE_VALUE on failure (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED).
HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);

// PAGE_READONLY mappings of a whole file, unnamed; an empty file cannot be mapped
// (ERROR_FILE_INVALID). A view stays valid after the mapping and file handles are closed, until
// UnmapViewOfFile.
HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR name);
LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID baseAddress);

// "C:\Windows\system32": the stand-in names the directory a Windows machine would have. Returns the
// length copied, or the size needed (with the terminator) when the buffer is too small.
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);

#ifdef UNICODE
#define CreateFile CreateFileW
#define CreateFileMapping CreateFileMappingW
#define GetSystemDirectory GetSystemDirectoryW
#endif
