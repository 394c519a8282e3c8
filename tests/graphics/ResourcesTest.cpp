#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "GraphicsFixture.h"
#include "IKeyedCache.h"
#include "ResourceLocation.h"

namespace gfxtest {
namespace {

namespace fs = std::filesystem;

// ---- Keyed cache ------------------------------------------------------------------------------

struct Counted
{
  explicit Counted(int* counter) : alive(counter) { ++*alive; }
  ~Counted() { --*alive; }
  int* alive;
};

TEST(KeyedCache, KeyIsFnv1aOfTheNameAndTheScaleWithOneDecimal)
{
  // Reference values of 64-bit FNV-1a over the texts "KNOB.png-2.0x" and "BG.png-1.0x".
  EXPECT_EQ(KeyedCacheKey("KNOB.png", 2.0), 0xf38752e3ba70707full);
  EXPECT_EQ(KeyedCacheKey("BG.png", 1.0), 0x961243c9674ef091ull);
  EXPECT_EQ(KeyedCacheKey("KNOB.png", 2.04), KeyedCacheKey("KNOB.png", 2.0));
  EXPECT_NE(KeyedCacheKey("KNOB.png", 2.06), KeyedCacheKey("KNOB.png", 2.0));
  // A scale too wide for a short buffer is still hashed whole, so it does not collide.
  EXPECT_NE(KeyedCacheKey("KNOB.png", 1e300), KeyedCacheKey("KNOB.png", 2e300));
}

TEST(KeyedCache, FindMatchesNameAndExactScaleAndReturnsTheFirstOfEqualEntries)
{
  int alive = 0;
  {
    IKeyedCache<Counted> cache;
    auto first = std::make_unique<Counted>(&alive);
    Counted* firstPtr = first.get();
    cache.Add(std::move(first), "KNOB.png", 2.0);
    cache.Add(std::make_unique<Counted>(&alive), "KNOB.png", 2.0); // kept, not replacing
    auto nearScale = std::make_unique<Counted>(&alive);
    Counted* nearPtr = nearScale.get();
    cache.Add(std::move(nearScale), "KNOB.png", 2.04); // same key, other scale
    EXPECT_EQ(cache.Size(), 3);
    EXPECT_EQ(alive, 3);

    EXPECT_EQ(cache.Find("KNOB.png", 2.0), firstPtr);
    EXPECT_EQ(cache.Find("KNOB.png", 2.04), nearPtr);
    EXPECT_EQ(cache.Find("KNOB.png", 1.0), nullptr);
    EXPECT_EQ(cache.Find("knob.png", 2.0), nullptr);

    cache.Remove(firstPtr);
    EXPECT_EQ(alive, 2);
    EXPECT_NE(cache.Find("KNOB.png", 2.0), nullptr); // the second one now
    Counted stranger(&alive);
    cache.Remove(&stranger); // not stored: nothing happens
    EXPECT_EQ(cache.Size(), 2);

    cache.Clear();
    EXPECT_EQ(cache.Size(), 0);
    EXPECT_EQ(alive, 1); // only the stranger
  }
  EXPECT_EQ(alive, 0);
}

// ---- Module resources ---------------------------------------------------------------------------

TEST(ModuleResources, TheEditorsPicturesAndFontAreInTheModule)
{
  struct Case
  {
    const char* name;
    const char* type;
    const char* location;
    std::vector<uint8_t> magic;
  };
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G'};
  const Case cases[] = {
    {"BG@2x.png", "png", "\"bg@2x.png\"", png},
    {"KNOB@2X.PNG", "PNG", "\"knob@2x.png\"", png},
    {"sw@2x.png", "png", "\"sw@2x.png\"", png},
    {"OVER@2x.png", "png", "\"over@2x.png\"", png},
    {"Roboto-Regular.ttf", "ttf", "\"roboto-regular.ttf\"", {0x00, 0x01, 0x00, 0x00}},
  };
  for (const Case& c : cases)
  {
    std::string location;
    ASSERT_EQ(LocateResource(c.name, c.type, location, "", nullptr, ""), kWinBinary) << c.name;
    EXPECT_EQ(location, c.location);
    int size = 0;
    const auto* bytes = static_cast<const uint8_t*>(LoadModuleResource(location.c_str(), c.type, size, nullptr));
    ASSERT_NE(bytes, nullptr) << c.name;
    EXPECT_GT(size, 1000);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), c.magic) << c.name;
  }
}

TEST(ModuleResources, PicturesHaveTheSizesTheLayoutExpects)
{
  struct Case
  {
    const char* name;
    uint32_t width, height;
  };
  const Case cases[] = {
    {"\"BG@2X.PNG\"", 2172, 428},
    {"\"KNOB@2X.PNG\"", 260, 15860},
    {"\"SW@2X.PNG\"", 74, 148},
    {"\"OVER@2X.PNG\"", 368, 68},
  };
  for (const Case& c : cases)
  {
    int size = 0;
    const auto* png = static_cast<const uint8_t*>(LoadModuleResource(c.name, "png", size, nullptr));
    ASSERT_NE(png, nullptr) << c.name;
    ASSERT_GE(size, 24);
    auto be = [](const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; };
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(png + 12), 4), "IHDR");
    EXPECT_EQ(be(png + 16), c.width) << c.name;
    EXPECT_EQ(be(png + 20), c.height) << c.name;
  }
}

TEST(ModuleResources, MissingNamesTypesAndEmptyNamesAreNotFound)
{
  std::string location = "untouched";
  EXPECT_EQ(LocateResource("", "png", location, "", nullptr, ""), kNotFound);
  EXPECT_EQ(LocateResource(nullptr, "png", location, "", nullptr, ""), kNotFound);
  EXPECT_EQ(LocateResource("BG@2x.png", "ttf", location, "", nullptr, ""), kNotFound); // wrong type
  EXPECT_EQ(LocateResource("BG@3x.png", "png", location, "", nullptr, ""), kNotFound);
  EXPECT_EQ(location, "untouched");

  int size = 7;
  EXPECT_EQ(LoadModuleResource("\"nothing.png\"", "png", size, nullptr), nullptr);
  EXPECT_EQ(LoadModuleResource("\"bg@2x.png\"", "ttf", size, nullptr), nullptr);
  EXPECT_EQ(size, 7);
}

// ---- Searching densities ----------------------------------------------------------------------

// A folder of its own with the given files in it, removed afterwards.
class TempFolder
{
public:
  explicit TempFolder(const std::vector<std::string>& files)
  {
    mPath = fs::temp_directory_path() /
            ("corvane-resources-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(mPath);
    for (const std::string& f : files)
    {
      fs::create_directories((mPath / f).parent_path());
      std::ofstream(mPath / f) << f;
    }
  }
  ~TempFolder()
  {
    std::error_code ec;
    fs::remove_all(mPath, ec);
  }
  std::string Path(const std::string& name) const { return (mPath / name).string(); }

private:
  fs::path mPath;
};

TEST_F(GraphicsFixture, SearchTriesTheDensitiesInOrderFromTheTarget)
{
  struct Case
  {
    std::vector<std::string> present;
    int target;
    int expectedScale; // 0: not found
  };
  const Case cases[] = {
    // Target 1 tries 1, 3, 2.
    {{"K.png", "K@2x.png", "K@3x.png"}, 1, 1},
    {{"K@2x.png", "K@3x.png"}, 1, 3},
    {{"K@2x.png"}, 1, 2},
    // Target 2 tries 2, 3, 1.
    {{"K.png", "K@2x.png", "K@3x.png"}, 2, 2},
    {{"K.png", "K@3x.png"}, 2, 3},
    {{"K.png"}, 2, 1},
    // Target 3 tries 3, 2, 1.
    {{"K.png", "K@2x.png"}, 3, 2},
    {{"K.png"}, 3, 1},
    // Above 3: the target, then 3, 2, 1.
    {{"K@4x.png", "K@3x.png"}, 4, 4},
    {{"K.png", "K@3x.png", "K@5x.png"}, 4, 3},
    // Nothing, or no density at all to try.
    {{"Other.png"}, 2, 0},
    {{"K.png"}, 0, 0},
    {{"K.png"}, -1, 0},
  };
  for (const Case& c : cases)
  {
    TempFolder folder(c.present);
    std::string location;
    int scale = -7;
    const EResourceLocation found = g.SearchImageResource(folder.Path("K.png").c_str(), "png", location, c.target, scale);
    EXPECT_EQ(scale, c.expectedScale) << "target " << c.target << ", first file " << c.present[0];
    if (c.expectedScale == 0)
    {
      EXPECT_EQ(found, kNotFound);
    }
    else
    {
      EXPECT_EQ(found, kAbsolutePath);
      const std::string file = c.expectedScale == 1 ? "K.png" : "K@" + std::to_string(c.expectedScale) + "x.png";
      EXPECT_EQ(location, folder.Path(file));
    }
  }
}

TEST_F(GraphicsFixture, SearchFindsTheModulesDoubleDensityPicturesWhateverTheCase)
{
  struct Case
  {
    const char* name;
    int target;
    const char* location;
  };
  const Case cases[] = {
    {"KNOB.png", 1, "\"knob@2x.png\""}, // after KNOB.png and KNOB@3x.png
    {"KNOB.png", 2, "\"knob@2x.png\""}, // at once
    {"KNOB.png", 3, "\"knob@2x.png\""}, // after KNOB@3x.png
    {"bg.png", 2, "\"bg@2x.png\""},     // case does not matter
    {"Sw.PNG", 2, "\"sw@2x.png\""},
  };
  for (const Case& c : cases)
  {
    std::string location;
    int scale = 0;
    EXPECT_EQ(g.SearchImageResource(c.name, "png", location, c.target, scale), kWinBinary) << c.name;
    EXPECT_EQ(scale, 2) << c.name;
    EXPECT_EQ(location, c.location);
  }
}

TEST_F(GraphicsFixture, ANameWithoutExtensionGetsTheDensityAtItsEnd)
{
  // The dot in the folder name is not an extension.
  TempFolder folder({"images.dir/KNOB@2x"});
  std::string location;
  int scale = 0;
  EXPECT_EQ(g.SearchImageResource(folder.Path("images.dir/KNOB").c_str(), "png", location, 2, scale), kAbsolutePath);
  EXPECT_EQ(scale, 2);
  EXPECT_EQ(location, folder.Path("images.dir/KNOB@2x"));

  EXPECT_EQ(g.SearchImageResource("", "png", location, 2, scale), kNotFound);
  EXPECT_EQ(scale, 0);
}

TEST_F(GraphicsFixture, ResourceDataComesFromTheModuleOrAFile)
{
  int size = 0;
  const auto* font = static_cast<const uint8_t*>(LoadModuleResource("\"ROBOTO-REGULAR.TTF\"", "ttf", size, nullptr));
  ASSERT_NE(font, nullptr);
  const std::vector<uint8_t> fromModule = g.LoadResourceData("roboto-regular.ttf", "ttf");
  EXPECT_EQ(fromModule, std::vector<uint8_t>(font, font + size));

  TempFolder folder({"data.svg"});
  const std::vector<uint8_t> fromFile = g.LoadResourceData(folder.Path("data.svg").c_str(), "svg");
  EXPECT_EQ(std::string(fromFile.begin(), fromFile.end()), "data.svg");

  EXPECT_TRUE(g.LoadResourceData("missing.svg", "svg").empty());
  EXPECT_TRUE(g.LoadResourceData("", "svg").empty());
}

} // namespace
} // namespace gfxtest
