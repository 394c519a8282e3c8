#pragma once

// The module-resource subset of our Win32 stand-in (kernel32): modules and their named, typed
// resources, read with the calls a Windows module uses on the resources its .rc file put into it.
//
// A module is a loaded image (the executable or a shared library); its handle is the address it
// was loaded at, as on Windows. Its resources are a table compiled into the image (generated at
// build time from the same files the .rc names) that registers itself while the image is loaded.
// Names and types compare without regard to ASCII case, as the resource compiler stores them
// upper-cased; a NULL module means the executable.

#include <cstddef>

#include "Win32Module.h"
#include "Win32Types.h"

// HINSTANCE, HMODULE, HGLOBAL, IS_INTRESOURCE and MAKEINTRESOURCE come from Win32Types.h, and
// GetModuleHandle (NULL: the executable) from Win32Module.h.
DECLARE_HANDLE(HRSRC);

#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_RESOURCE_ENUM_USER_STOP 15106L

// --- Modules ----------------------------------------------------------------------------------
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, the module that holds the address (name is then
// an address); otherwise as GetModuleHandleA. Reference counts are not kept.
BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module);
#define GetModuleHandleEx GetModuleHandleExA

// --- Resources --------------------------------------------------------------------------------
typedef BOOL(CALLBACK* ENUMRESNAMEPROCA)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);

// Calls proc with every resource name of the type, in the table's order, until proc returns
// FALSE (then FALSE with ERROR_RESOURCE_ENUM_USER_STOP). A module without resources of the type
// gives FALSE with ERROR_RESOURCE_TYPE_NOT_FOUND.
BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param);
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The resource's bytes stay where the module holds them: nothing is loaded or freed.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
#define EnumResourceNames EnumResourceNamesA
#define FindResource FindResourceA

// --- The stand-in's own: the resource table an image carries ------------------------------------
struct Win32ResourceEntry
{
  const char* type;        // e.g. "PNG"
  const char* name;        // as the resource compiler keeps a quoted name: "\"KNOB@2X.PNG\""
  const unsigned char* data;
  DWORD size;
};

// The generated table calls these while its image loads and unloads; entries must stay valid in
// between. The module is the image that holds the entries.
void Win32RegisterModuleResources(const Win32ResourceEntry* entries, size_t count);
void Win32UnregisterModuleResources(const Win32ResourceEntry* entries);
