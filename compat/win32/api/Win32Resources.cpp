#include "Win32Resources.h"

#include <dlfcn.h>
#include <sys/auxv.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "Win32Kernel.h"

namespace {

struct ModuleTable
{
  HMODULE module;
  const Win32ResourceEntry* entries;
  size_t count;
};

// Images load and unload on any thread; the registry is read on the UI thread.
struct Registry
{
  std::mutex lock;
  std::vector<ModuleTable> tables;
};

Registry& TheRegistry()
{
  static Registry registry;
  return registry;
}

HMODULE ModuleOfAddress(const void* address)
{
  Dl_info info{};
  if (!address || dladdr(address, &info) == 0)
    return nullptr;
  return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE ExecutableModule()
{
  return GetModuleHandleA(nullptr);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(const char* a, const char* b)
{
  for (; *a && *b; ++a, ++b)
  {
    if (Upper(*a) != Upper(*b))
      return false;
  }
  return *a == *b;
}

// Numeric identifiers match only numeric ones; this table holds names only.
bool Matches(const char* wanted, const char* have)
{
  if (!wanted || IS_INTRESOURCE(wanted))
    return false;
  return SameText(wanted, have);
}

// Every entry of the module's tables (an image may carry more than one), in registration
// order; the caller holds the registry lock.
template <typename F>
void ForEachEntry(Registry& r, HMODULE module, F&& func)
{
  if (!module)
    module = ExecutableModule();
  for (const ModuleTable& t : r.tables)
  {
    if (t.module != module)
      continue;
    for (size_t i = 0; i < t.count; ++i)
    {
      if (!func(t.entries[i]))
        return;
    }
  }
}

} // namespace

BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module)
{
  if (!module)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *module = (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) ? ModuleOfAddress(moduleName) : GetModuleHandleA(moduleName);
  if (!*module)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param)
{
  if (!proc)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The names are copied out first: the callback may call back into the resource functions.
  std::vector<const Win32ResourceEntry*> found;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    ForEachEntry(r, module, [&](const Win32ResourceEntry& e) {
      if (Matches(type, e.type))
        found.push_back(&e);
      return true;
    });
  }
  if (found.empty())
  {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  for (const Win32ResourceEntry* e : found)
  {
    // Windows hands the callback a name it may not keep; so does the stand-in.
    std::vector<char> name(e->name, e->name + std::strlen(e->name) + 1);
    if (!proc(module, type, name.data(), param))
    {
      SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
      return FALSE;
    }
  }
  return TRUE;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  const Win32ResourceEntry* match = nullptr;
  bool typeFound = false;
  ForEachEntry(r, module, [&](const Win32ResourceEntry& e) {
    if (!Matches(type, e.type))
      return true;
    typeFound = true;
    if (Matches(name, e.name))
      match = &e;
    return match == nullptr;
  });
  if (!match)
  {
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<Win32ResourceEntry*>(match));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
  (void) module;
  if (!resource)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto* e = reinterpret_cast<const Win32ResourceEntry*>(resource);
  return const_cast<unsigned char*>(e->data);
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
  (void) module;
  if (!resource)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return reinterpret_cast<const Win32ResourceEntry*>(resource)->size;
}

void Win32RegisterModuleResources(const Win32ResourceEntry* entries, size_t count)
{
  const HMODULE module = ModuleOfAddress(entries);
  if (!module || !entries)
    return;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.tables.push_back(ModuleTable{module, entries, count});
}

void Win32UnregisterModuleResources(const Win32ResourceEntry* entries)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (auto it = r.tables.begin(); it != r.tables.end(); ++it)
  {
    if (it->entries == entries)
    {
      r.tables.erase(it);
      return;
    }
  }
}
