#include "PlatformWindows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A second table of this executable, beside the one generated from the editor's files.
const unsigned char kShort[] = "1234";
const unsigned char kData[] = "0123456789";
const Win32ResourceEntry kTestEntries[] = {
  {"TXT", "\"FIRST.TXT\"", kData, 10},
  {"TXT", "\"SECOND.TXT\"", kShort, 4},
  {"BIN", "\"FIRST.TXT\"", kShort, 4},
};

class ModuleResourceTable : public ::testing::Test
{
protected:
  ModuleResourceTable() { Win32RegisterModuleResources(kTestEntries, 3); }
  ~ModuleResourceTable() override { Win32UnregisterModuleResources(kTestEntries); }
};

BOOL CALLBACK Collect(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
  reinterpret_cast<std::vector<std::string>*>(param)->push_back(name);
  return TRUE;
}

BOOL CALLBACK StopAtFirst(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
  reinterpret_cast<std::vector<std::string>*>(param)->push_back(name);
  return FALSE;
}

TEST_F(ModuleResourceTable, EnumerationListsTheNamesOfOneTypeInOrderUntilTheCallbackStops)
{
  std::vector<std::string> names;
  EXPECT_TRUE(EnumResourceNamesA(nullptr, "txt", Collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names, (std::vector<std::string>{"\"FIRST.TXT\"", "\"SECOND.TXT\""}));

  names.clear();
  EXPECT_TRUE(EnumResourceNamesA(nullptr, "PNG", Collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names, (std::vector<std::string>{"\"BG@2X.PNG\"", "\"KNOB@2X.PNG\"", "\"SW@2X.PNG\"", "\"OVER@2X.PNG\""}));

  names.clear();
  EXPECT_FALSE(EnumResourceNamesA(nullptr, "TXT", StopAtFirst, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_ENUM_USER_STOP));
  EXPECT_EQ(names.size(), 1u);

  EXPECT_FALSE(EnumResourceNamesA(nullptr, "NONE", Collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_FALSE(EnumResourceNamesA(nullptr, "TXT", nullptr, 0));
}

TEST_F(ModuleResourceTable, FindIgnoresCaseAndTellsAMissingNameFromAMissingType)
{
  HRSRC found = FindResourceA(nullptr, "\"first.txt\"", "Txt");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(SizeofResource(nullptr, found), 10u);
  EXPECT_EQ(LockResource(LoadResource(nullptr, found)), static_cast<const void*>(kData));
  // The same name under another type is another resource.
  HRSRC other = FindResourceA(nullptr, "\"FIRST.TXT\"", "BIN");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(SizeofResource(nullptr, other), 4u);

  EXPECT_EQ(FindResourceA(nullptr, "FIRST.TXT", "TXT"), nullptr); // the quotes are part of the name
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(FindResourceA(nullptr, "\"FIRST.TXT\"", "NONE"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(101), "TXT"), nullptr);
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST_F(ModuleResourceTable, ModulesAreTheImagesThatHoldTheTables)
{
  HMODULE exe = GetModuleHandleA(nullptr);
  ASSERT_NE(exe, nullptr);
  HMODULE fromCode = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCSTR>(&Collect), &fromCode));
  EXPECT_EQ(fromCode, exe);
  EXPECT_NE(FindResourceA(exe, "\"SECOND.TXT\"", "TXT"), nullptr);

  // The C library is another image (its standard output stream lives in it), without resources.
  HMODULE libc = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(stdout), &libc));
  EXPECT_NE(libc, exe);
  EXPECT_EQ(FindResourceA(libc, "\"SECOND.TXT\"", "TXT"), nullptr);

  EXPECT_EQ(GetModuleHandleA("nosuch.dll"), nullptr);
  EXPECT_FALSE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, nullptr, &libc));
  EXPECT_FALSE(GetModuleHandleExA(0, nullptr, nullptr));
}

TEST(ModuleResourceTableUnloaded, AnUnregisteredTableIsGone)
{
  Win32RegisterModuleResources(kTestEntries, 3);
  Win32UnregisterModuleResources(kTestEntries);
  EXPECT_EQ(FindResourceA(nullptr, "\"FIRST.TXT\"", "TXT"), nullptr);
  EXPECT_NE(FindResourceA(nullptr, "\"BG@2X.PNG\"", "PNG"), nullptr);
}

} // namespace
