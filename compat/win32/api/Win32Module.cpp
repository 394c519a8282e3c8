// Modules of the stand-in: the system libraries answer by name with the stand-in's functions; and
// the Windows version.

#include "Win32Module.h"

#include "Win32DisplayState.h"
#include "Win32GlState.h"
#include "Win32Input.h"
#include "Win32Kernel.h"
#include "Win32Text.h"
#include "Win32VerticalBlank.h"

#include <cstring>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/auxv.h>

using namespace win32compat;

namespace {

// The executable's module handle is the address it was loaded at, as on Windows; its program
// headers lie inside its first loaded segment.
HMODULE ProcessModule()
{
  static const HMODULE module = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(getauxval(AT_PHDR)), &info) == 0)
      return static_cast<HMODULE>(nullptr);
    return static_cast<HMODULE>(info.dli_fbase);
  }();
  return module;
}

template <typename F>
FARPROC AsProc(F function)
{
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

FARPROC User32Export(const char* name)
{
  if (std::strcmp(name, "GetDpiForWindow") == 0)
    return AsProc(&GetDpiForWindow);
  return nullptr;
}

FARPROC Gdi32Export(const char* name)
{
  if (!Settings().verticalBlankAvailable)
    return nullptr;
  if (std::strcmp(name, "D3DKMTOpenAdapterFromHdc") == 0)
    return AsProc(&D3DKMTOpenAdapterFromHdc);
  if (std::strcmp(name, "D3DKMTWaitForVerticalBlankEvent") == 0)
    return AsProc(&D3DKMTWaitForVerticalBlankEvent);
  if (std::strcmp(name, "D3DKMTCloseAdapter") == 0)
    return AsProc(&D3DKMTCloseAdapter);
  return nullptr;
}

FARPROC NoExports(const char*)
{
  return nullptr;
}

struct SystemModule
{
  const wchar_t* name;
  uintptr_t base;
  FARPROC (*exports)(const char* name);
};

const SystemModule kModules[] = {
    {L"user32.dll", 0x7FF810000000, User32Export},    {L"gdi32.dll", 0x7FF820000000, Gdi32Export},
    {L"opengl32.dll", 0x7FF830000000, OpenGl32Export}, {L"kernel32.dll", 0x7FF840000000, NoExports},
    {L"shell32.dll", 0x7FF850000000, NoExports},       {L"comdlg32.dll", 0x7FF860000000, NoExports},
    {L"comctl32.dll", 0x7FF870000000, NoExports},      {L"ole32.dll", 0x7FF880000000, NoExports},
    {L"shlwapi.dll", 0x7FF890000000, NoExports},       {L"wininet.dll", 0x7FF8A0000000, NoExports},
};

// "C:\Windows\System32\USER32" and "user32.dll" name the same library.
const SystemModule* ModuleNamed(std::wstring name)
{
  const auto slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos)
    name = name.substr(slash + 1);
  if (name.find(L'.') == std::wstring::npos)
    name += L".dll";
  for (const auto& module : kModules)
    if (SameName(module.name, name))
      return &module;
  return nullptr;
}

const SystemModule* ModuleAt(HMODULE handle)
{
  for (const auto& module : kModules)
    if (reinterpret_cast<uintptr_t>(handle) == module.base)
      return &module;
  return nullptr;
}

// Any other library (a plug-in module, say) is a file that the system loader loads. Windows counts
// LoadLibrary calls per module and unloads at the last FreeLibrary; dlopen and dlclose count the
// same way, so the table only has to know which handles came from here, and how often.
struct LoadedFiles
{
  std::mutex lock;
  std::map<void*, int> references;
};

LoadedFiles& Files()
{
  static LoadedFiles* files = new LoadedFiles; // outlives every module's static destructors
  return *files;
}

HMODULE LoadFile(const std::string& path)
{
  // Local binding keeps the module's symbols from meeting the process's or another module's.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle)
  {
    struct stat info{};
    // A file that is there but does not load is not a module for this system, or one whose
    // libraries or symbols are missing; Windows names the first case so.
    SetLastError(stat(path.c_str(), &info) == 0 ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto& files = Files();
  std::lock_guard<std::mutex> guard(files.lock);
  ++files.references[handle];
  return static_cast<HMODULE>(handle);
}

// True when the handle came from LoadFile; closes one reference.
bool FreeFile(HMODULE module)
{
  auto& files = Files();
  {
    std::lock_guard<std::mutex> guard(files.lock);
    auto it = files.references.find(module);
    if (it == files.references.end())
      return false;
    if (--it->second == 0)
      files.references.erase(it);
  }
  dlclose(module);
  return true;
}

bool IsLoadedFile(HMODULE module)
{
  auto& files = Files();
  std::lock_guard<std::mutex> guard(files.lock);
  return files.references.count(module) != 0;
}

HMODULE Load(const wchar_t* name)
{
  if (!name)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (const auto* module = ModuleNamed(name))
    return reinterpret_cast<HMODULE>(module->base);
  // A plain name that is no system library is not searched for; a path is loaded.
  if (std::wstring_view(name).find_first_of(L"\\/") == std::wstring_view::npos)
  {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadFile(Narrow(name));
}

} // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
  if (!moduleName)
    return ProcessModule();
  return Load(Widen(moduleName).c_str());
}

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
  if (!moduleName)
    return ProcessModule();
  return Load(moduleName);
}

HMODULE LoadLibraryA(LPCSTR fileName)
{
  return fileName ? Load(Widen(fileName).c_str()) : Load(nullptr);
}

BOOL FreeLibrary(HMODULE module)
{
  if (module && FreeFile(module))
    return TRUE;
  if (!ModuleAt(module))
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
  const auto* system = ModuleAt(module);
  if (!system && !module)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  FARPROC proc = nullptr;
  if (system && procName && !IS_INTRESOURCE(procName))
    proc = system->exports(procName);
  else if (!system && procName && !IS_INTRESOURCE(procName) && IsLoadedFile(module))
    proc = reinterpret_cast<FARPROC>(dlsym(module, procName));
  if (!proc)
    SetLastError(ERROR_PROC_NOT_FOUND);
  return proc;
}

// --- Version -----------------------------------------------------------------------------------

namespace {

template <typename Info>
BOOL FillVersion(Info* info)
{
  if (!info)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  constexpr bool narrow = sizeof(info->szCSDVersion[0]) == 1;
  const DWORD plain = narrow ? sizeof(OSVERSIONINFOA) : sizeof(OSVERSIONINFOW);
  const DWORD extended = narrow ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOEXW);
  if (info->dwOSVersionInfoSize != plain && info->dwOSVersionInfoSize != extended)
  {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const auto settings = Settings();
  info->dwMajorVersion = settings.major;
  info->dwMinorVersion = settings.minor;
  info->dwBuildNumber = settings.build;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  info->szCSDVersion[0] = 0;
  if (info->dwOSVersionInfoSize == extended)
  {
    if constexpr (narrow)
    {
      auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
      ex->wServicePackMajor = ex->wServicePackMinor = ex->wSuiteMask = 0;
      ex->wProductType = VER_NT_WORKSTATION;
    }
    else
    {
      auto* ex = reinterpret_cast<OSVERSIONINFOEXW*>(info);
      ex->wServicePackMajor = ex->wServicePackMinor = ex->wSuiteMask = 0;
      ex->wProductType = VER_NT_WORKSTATION;
    }
  }
  return TRUE;
}

int ConditionIndex(DWORD type)
{
  for (int index = 0; index < 8; ++index)
    if (type == (1u << index))
      return index;
  return -1;
}

BYTE ConditionOf(ULONGLONG mask, DWORD type)
{
  const int index = ConditionIndex(type);
  return index < 0 ? 0 : static_cast<BYTE>((mask >> (index * 3)) & 0x7);
}

bool Compare(ULONGLONG system, ULONGLONG wanted, BYTE condition)
{
  switch (condition)
  {
  case VER_EQUAL: return system == wanted;
  case VER_GREATER: return system > wanted;
  case VER_GREATER_EQUAL: return system >= wanted;
  case VER_LESS: return system < wanted;
  case VER_LESS_EQUAL: return system <= wanted;
  default: return false;
  }
}

BOOL Verify(DWORD major, DWORD minor, WORD spMajor, WORD spMinor, DWORD build, DWORD typeMask, ULONGLONG mask)
{
  const auto settings = Settings();
  // Major, minor and the service pack numbers form one version number, compared as a whole.
  ULONGLONG system = 0;
  ULONGLONG wanted = 0;
  BYTE condition = 0;
  const struct
  {
    DWORD type;
    ULONGLONG systemPart;
    ULONGLONG wantedPart;
  } parts[] = {{VER_MAJORVERSION, settings.major, major},
               {VER_MINORVERSION, settings.minor, minor},
               {VER_SERVICEPACKMAJOR, 0, spMajor},
               {VER_SERVICEPACKMINOR, 0, spMinor}};
  for (const auto& part : parts)
  {
    if (!(typeMask & part.type))
      continue;
    system = (system << 16) | part.systemPart;
    wanted = (wanted << 16) | part.wantedPart;
    if (!condition)
      condition = ConditionOf(mask, part.type);
  }
  bool ok = condition == 0 || Compare(system, wanted, condition);
  if (typeMask & VER_BUILDNUMBER)
    ok = ok && Compare(settings.build, build, ConditionOf(mask, VER_BUILDNUMBER));
  if (!ok)
  {
    SetLastError(ERROR_OLD_WIN_VERSION);
    return FALSE;
  }
  return TRUE;
}

} // namespace

BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW info, DWORD typeMask, ULONGLONG conditionMask)
{
  if (!info || typeMask == 0)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Verify(info->dwMajorVersion, info->dwMinorVersion, info->wServicePackMajor, info->wServicePackMinor,
                info->dwBuildNumber, typeMask, conditionMask);
}

ULONGLONG VerSetConditionMask(ULONGLONG conditionMask, DWORD typeMask, BYTE condition)
{
  for (int index = 0; index < 8; ++index)
    if (typeMask & (1u << index))
      conditionMask |= static_cast<ULONGLONG>(condition & 0x7) << (index * 3);
  return conditionMask;
}
