#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "ExceptionCodes.h"
#include "ModuleLocation.h"
#include "PlatformWindows.h"

namespace {

namespace fs = std::filesystem;

class HostFiles : public testing::Test
{
protected:
  void SetUp() override
  {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  static std::string Contents(const fs::path& path)
  {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  const fs::path folder = fs::temp_directory_path() / ("corvane-host-files-" + std::to_string(GetCurrentProcessId()));
};

// Saving over an earlier file is the usual case (a state saved again, a render redone); the
// finished file must take the old one's place on every system, and nothing be left beside it.
TEST_F(HostFiles, WritingReplacesAnEarlierFileAndLeavesNothingBeside)
{
  const std::string state = (folder / "a.state").string();
  aaxhost::WriteBytes(state, {1, 2, 3}, "state file");
  aaxhost::WriteBytes(state, {4, 5}, "state file");
  EXPECT_EQ(Contents(state), std::string("\x04\x05", 2));

  const std::string wav = (folder / "out.wav").string();
  { std::ofstream(wav) << "an earlier render"; }
  {
    aaxhost::AudioFileWriter writer(wav, 1, 48000);
    const std::vector<float> frames(64, 0.25f);
    writer.Write(frames.data(), 64);
    writer.Commit();
  }
  aaxhost::AudioFileReader reader(wav);
  EXPECT_EQ(reader.Frames(), 64);

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.state", "out.wav"}));
}

TEST_F(HostFiles, TheModuleBesideTheProgramIsTheFileOrTheBinaryInsideTheBundle)
{
  // Nothing there: the plain name, which the load error then names.
  EXPECT_EQ(aaxhost::ModuleBesideProgram(folder), (folder / "Corvane.aaxplugin").string());

  const fs::path bundle = folder / "Corvane.aaxplugin";
  fs::create_directories(bundle / "Contents" / "x64");
  // A bundle without its binary is still named as the bundle.
  EXPECT_EQ(aaxhost::ModuleBesideProgram(folder), bundle.string());
  { std::ofstream(bundle / "Contents" / "x64" / "Corvane.aaxplugin") << "module"; }
  EXPECT_EQ(aaxhost::ModuleBesideProgram(folder), (bundle / "Contents" / "x64" / "Corvane.aaxplugin").string());

  fs::remove_all(bundle);
  { std::ofstream(bundle) << "module"; }
  EXPECT_EQ(aaxhost::ModuleBesideProgram(folder), bundle.string());
}

TEST(ExceptionExit, CrashStatusesAreNamedAndOrdinaryOnesAreNot)
{
  struct Case
  {
    uint32_t status;
    const char* described;
  };
  const Case cases[] = {
    {0xC0000005u, "crashed with exception 0xC0000005 (access violation)"},
    {0xC00000FDu, "crashed with exception 0xC00000FD (stack overflow)"},
    {0xC0000409u, "crashed with exception 0xC0000409 (stack buffer overrun or fast fail)"},
    {0x80000003u, "crashed with exception 0x80000003 (breakpoint)"},
    {0xC0001234u, "crashed with exception 0xC0001234 (unknown exception)"},
    {0u, ""},
    {1u, ""},
    {3u, ""},           // abort()
    {0x80001234u, ""},  // a warning status nothing raises as a crash
  };
  for (const Case& c : cases)
    EXPECT_EQ(aaxhost::ExceptionExitDescription(c.status), c.described) << std::hex << c.status;
}

} // namespace
