// Global memory blocks.

#include "Win32Memory.h"

#include "Win32Kernel.h"
#include "Win32LiveObjects.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block
{
  void* data = nullptr;
  SIZE_T size = 0;
  bool movable = false;
  unsigned locks = 0;
};

struct GlobalTable
{
  std::mutex mutex;
  std::unordered_map<uintptr_t, Block> blocks; // by handle
  uintptr_t nextHandle = 0x90000;
};

GlobalTable& Table()
{
  static GlobalTable* table = new GlobalTable;
  return *table;
}

} // namespace

namespace win32compat {

size_t LiveGlobalBlocks()
{
  auto& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.blocks.size();
}

} // namespace win32compat

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
  void* data = nullptr;
  if (bytes > 0)
  {
    data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
    if (!data)
    {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }
  const bool movable = (flags & GMEM_MOVEABLE) != 0;
  if (!movable && !data)
    data = std::malloc(1); // a fixed block is its own address, so it needs one
  auto& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  uintptr_t handle;
  if (movable)
  {
    handle = table.nextHandle;
    table.nextHandle += 8;
  }
  else
    handle = reinterpret_cast<uintptr_t>(data);
  table.blocks[handle] = Block{data, bytes, movable, 0};
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL memory)
{
  auto& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.blocks.find(reinterpret_cast<uintptr_t>(memory));
  if (it == table.blocks.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (it->second.size == 0)
    return nullptr;
  if (it->second.movable)
    ++it->second.locks;
  return it->second.data;
}

BOOL GlobalUnlock(HGLOBAL memory)
{
  auto& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.blocks.find(reinterpret_cast<uintptr_t>(memory));
  if (it == table.blocks.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (it->second.locks > 0)
    --it->second.locks;
  if (it->second.locks > 0)
    return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
  void* data = nullptr;
  {
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.blocks.find(reinterpret_cast<uintptr_t>(memory));
    if (it == table.blocks.end())
    {
      SetLastError(ERROR_INVALID_HANDLE);
      return memory;
    }
    data = it->second.data;
    table.blocks.erase(it);
  }
  std::free(data);
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory)
{
  auto& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.blocks.find(reinterpret_cast<uintptr_t>(memory));
  if (it == table.blocks.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return it->second.size;
}
