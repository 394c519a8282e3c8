// Reading files, read-only mappings and the system directory.

#include "Win32Files.h"

#include "Win32Kernel.h"
#include "Win32KernelObjects.h"
#include "Win32Text.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

using namespace win32compat;

namespace {

class FileObject final : public KernelObject
{
public:
  explicit FileObject(int fd) : mFd(fd) {}
  ~FileObject() override { ::close(mFd); }
  DWORD Wait(DWORD) override { return WAIT_OBJECT_0; }
  int Fd() const { return mFd; }

private:
  int mFd;
};

class MappingObject final : public KernelObject
{
public:
  MappingObject(std::shared_ptr<FileObject> file, size_t size) : mFile(std::move(file)), mSize(size) {}
  DWORD Wait(DWORD) override { return WAIT_FAILED; }
  const FileObject& File() const { return *mFile; }
  size_t Size() const { return mSize; }

private:
  std::shared_ptr<FileObject> mFile;
  size_t mSize;
};

struct Views
{
  std::mutex mutex;
  std::unordered_map<uintptr_t, size_t> sizes;
};

Views& MappedViews()
{
  static Views* views = new Views;
  return *views;
}

HANDLE OpenForReading(const std::string& path, DWORD access, DWORD disposition)
{
  if (!(access & GENERIC_READ) || (access & GENERIC_WRITE) || disposition != OPEN_EXISTING)
  {
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
  {
    SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
  {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return AddKernelHandle(std::make_shared<FileObject>(fd));
}

bool SizeOf(HANDLE file, LONGLONG& size)
{
  auto object = std::dynamic_pointer_cast<FileObject>(FindKernelHandle(file));
  struct stat info;
  if (!object || ::fstat(object->Fd(), &info) != 0)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  size = info.st_size;
  return true;
}

HANDLE CreateMapping(HANDLE file, DWORD protect, bool named)
{
  if (named || protect != PAGE_READONLY)
  {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto object = std::dynamic_pointer_cast<FileObject>(FindKernelHandle(file));
  LONGLONG size = 0;
  if (!object || !SizeOf(file, size))
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (size <= 0)
  {
    SetLastError(ERROR_FILE_INVALID);
    return nullptr;
  }
  return AddKernelHandle(std::make_shared<MappingObject>(std::move(object), static_cast<size_t>(size)));
}

const wchar_t kSystemDirectory[] = L"C:\\Windows\\system32";

} // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE)
{
  if (!fileName)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return OpenForReading(Narrow(fileName), access, disposition);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh)
{
  LONGLONG size = 0;
  if (!SizeOf(file, size))
    return INVALID_FILE_SIZE;
  if (sizeHigh)
    *sizeHigh = static_cast<DWORD>(static_cast<ULONGLONG>(size) >> 32);
  return static_cast<DWORD>(size);
}

HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD, DWORD, LPCWSTR name)
{
  return CreateMapping(file, protect, name != nullptr);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes)
{
  auto object = std::dynamic_pointer_cast<MappingObject>(FindKernelHandle(mapping));
  if (!object)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const size_t offset = (static_cast<size_t>(offsetHigh) << 32) | offsetLow;
  if (desiredAccess != FILE_MAP_READ || offset != 0 || bytes > object->Size())
  {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const size_t size = bytes ? bytes : object->Size();
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, object->File().Fd(), 0);
  if (view == MAP_FAILED)
  {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto& views = MappedViews();
  std::lock_guard<std::mutex> lock(views.mutex);
  views.sizes[reinterpret_cast<uintptr_t>(view)] = size;
  return view;
}

BOOL UnmapViewOfFile(LPCVOID baseAddress)
{
  size_t size;
  {
    auto& views = MappedViews();
    std::lock_guard<std::mutex> lock(views.mutex);
    auto it = views.sizes.find(reinterpret_cast<uintptr_t>(baseAddress));
    if (it == views.sizes.end())
    {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    size = it->second;
    views.sizes.erase(it);
  }
  ::munmap(const_cast<void*>(baseAddress), size);
  return TRUE;
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size)
{
  const std::wstring directory = kSystemDirectory;
  if (!buffer || size <= directory.size())
    return static_cast<UINT>(directory.size() + 1);
  return static_cast<UINT>(CopyOut(directory, buffer, static_cast<int>(size)));
}
