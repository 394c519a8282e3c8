#include "PlatformWindows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

TEST(Strings, Utf8AndWideConvertBothWaysWithinTheirBuffers)
{
  const char* utf8 = "d\xC3\xA9j\xC3\xA0 \xF0\x9F\x8E\xB5";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 7) << "with the terminator";
  wchar_t wide[8];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 8), 7);
  EXPECT_EQ(std::wstring(wide), L"d\u00E9j\u00E0 \U0001F3B5");
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  char back[16];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, back, 16, nullptr, nullptr), 12);
  EXPECT_STREQ(back, utf8);

  const char broken[] = {'a', static_cast<char>(0xC3), 'b', 0};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, broken, -1, wide, 8), 4);
  EXPECT_EQ(wide[1], 0xFFFD) << "a cut sequence becomes the replacement character";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, broken, -1, wide, 8), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 2, wide, 8), 2) << "an explicit length has no terminator";
}

TEST(GlobalMemory, MovableBlocksCountTheirLocks)
{
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 16u);
  auto* first = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first[15], 0);
  EXPECT_EQ(GlobalLock(block), first);
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block) << "freeing twice fails";
  EXPECT_EQ(GlobalLock(block), nullptr);

  HGLOBAL fixed = GlobalAlloc(GPTR, 4);
  EXPECT_EQ(GlobalLock(fixed), fixed) << "a fixed block is its own address";
  GlobalFree(fixed);
}

TEST(Files, ReadOnlyMappingsOutliveTheirHandles)
{
  const auto path = std::filesystem::temp_directory_path() / "win32-mapping-test.bin";
  {
    FILE* file = std::fopen(path.string().c_str(), "wb");
    std::fputs("font bytes", file);
    std::fclose(file);
  }
  HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 10u);
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  CloseHandle(mapping);
  CloseHandle(file);
  EXPECT_EQ(std::memcmp(view, "font bytes", 10), 0);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));

  SetLastError(0);
  EXPECT_EQ(CreateFileW(L"/no/such/file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  std::filesystem::remove(path);
}

TEST(Threads, PrioritiesAreChecked)
{
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 99));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(SetThreadPriority(reinterpret_cast<HANDLE>(0x1234), THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
  EXPECT_NE(GetCurrentProcessId(), 0u);
}

} // namespace
