#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "AAXModule.h"
#include "PlatformWindows.h"

namespace {

std::string LoadError(const std::string& path)
{
  try
  {
    aaxhost::AAXModule module(path);
  }
  catch (const std::runtime_error& e)
  {
    return e.what();
  }
  return "loaded";
}

// A file that exists but is no module: the loader refuses it rather than the host crashing on it.
class NotAModule : public testing::Test
{
protected:
  void SetUp() override
  {
    std::ofstream(path) << "this is text, not a module\n";
  }
  void TearDown() override { std::filesystem::remove(path); }

  const std::string path =
    (std::filesystem::temp_directory_path() / ("corvane-not-a-module-" + std::to_string(GetCurrentProcessId()) + ".dll"))
      .string();
};

TEST_F(NotAModule, LoadFailuresNameTheFileAndTheReason)
{
  const std::string missing = (std::filesystem::temp_directory_path() / "corvane-no-such-module.dll").string();
  EXPECT_EQ(LoadError(missing), "cannot load " + missing + ": the module, or a library it needs, was not found");
  EXPECT_EQ(LoadError(path), "cannot load " + path + ": not a module for this system");

  EXPECT_EQ(LoadLibraryA(missing.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

TEST(ModuleLoading, TheModuleLoadsByPathOncePerHandleAndFindsOnlyItsExports)
{
  HMODULE first = LoadLibraryA(CORVANE_MODULE_PATH);
  ASSERT_NE(first, nullptr) << GetLastError();
  HMODULE second = LoadLibraryA(CORVANE_MODULE_PATH);
  EXPECT_EQ(second, first) << "a module loads once; each load adds a reference";

  EXPECT_NE(GetProcAddress(first, "ACFStartup"), nullptr);
  EXPECT_NE(GetProcAddress(first, "ACFGetSDKVersion"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "ACFNoSuchEntryPoint"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  EXPECT_TRUE(FreeLibrary(second));
  // Still loaded: the first reference holds it.
  EXPECT_NE(GetProcAddress(first, "ACFStartup"), nullptr);
  EXPECT_TRUE(FreeLibrary(first));
}

} // namespace
