#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "PlatformServicesFixture.h"
#include "platform/PlatformFontCaches.h"

namespace platformtest {
namespace {

using testdisplay::LiveObjects;

std::vector<uint8_t> ReadFile(const char* path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring FaceOf(HFONT font)
{
  LOGFONTW logFont{};
  if (GetObjectW(font, sizeof(logFont), &logFont) == 0)
    return std::wstring();
  return logFont.lfFaceName;
}

using PlatformFontTest = PlatformServicesTest;

// Every opening of the editor loads its font again under the same identifier: each load adds the
// bytes to the private fonts and another cache entry, and only the last context out removes them.
TEST_F(PlatformFontTest, FontResourceCacheGrowsPerLoadAndEmptiesWithTheLastContext)
{
  const size_t memoryFontsBefore = LiveObjects().memoryFonts;
  auto second = std::make_unique<TestGraphicsWin>(&dlg, 300, 200, 60, 1.f);
  second->SetModuleInstance(GetModuleHandleW(nullptr));

  PlatformFontPtr fromFirst = graphics->LoadPlatformFont("Roboto-Regular", "Roboto-Regular.ttf");
  PlatformFontPtr fromSecond = second->LoadPlatformFont("Roboto-Regular", "Roboto-Regular.ttf");
  ASSERT_TRUE(fromFirst && fromSecond);
  EXPECT_FALSE(fromFirst->IsSystem());
  graphics->CachePlatformFont("Roboto-Regular", fromFirst);
  second->CachePlatformFont("Roboto-Regular", fromSecond);

  EXPECT_EQ(FontResourceCache().Size(), 2);
  if (!testdisplay::Unmeasured(testdisplay::Count::MemoryFonts))
  {
    EXPECT_EQ(LiveObjects().memoryFonts, memoryFontsBefore + 2);
  }
  EXPECT_EQ(FontHandleCache().Size(), 1);

  graphics.reset();
  EXPECT_EQ(FontResourceCache().Size(), 2);
  EXPECT_EQ(FontHandleCache().Size(), 1);

  second.reset();
  EXPECT_EQ(FontResourceCache().Size(), 0);
  EXPECT_EQ(FontHandleCache().Size(), 0);
  EXPECT_EQ(LiveObjects().memoryFonts, memoryFontsBefore);
  SKIP_UNLESS_MEASURED(testdisplay::Count::MemoryFonts);
}

TEST_F(PlatformFontTest, FontsFromFileResourceAndMemoryGiveTheirFaceBack)
{
  std::vector<uint8_t> bytes = ReadFile(kRobotoFile);
  ASSERT_FALSE(bytes.empty());

  PlatformFontPtr fonts[] = {
    graphics->LoadPlatformFont("a", kRobotoFile),
    graphics->LoadPlatformFont("b", "ROBOTO-REGULAR.TTF"),
    graphics->LoadPlatformFont("c", bytes.data(), static_cast<int>(bytes.size())),
  };
  for (const PlatformFontPtr& font : fonts)
  {
    ASSERT_TRUE(font);
    EXPECT_EQ(FaceOf(static_cast<HFONT>(font->GetDescriptor())), L"Roboto");
    std::unique_ptr<FontData> data = font->GetFontData();
    ASSERT_TRUE(data->IsValid());
    EXPECT_EQ(data->GetFaceIdx(), 0);
    EXPECT_EQ(data->GetInfo().GetFamily(), "Roboto");
    EXPECT_EQ(data->GetSize(), bytes.size());
  }
  // Each font keeps its bytes among the private fonts until it is cached.
  EXPECT_EQ(FontResourceCache().Size(), 0);
  graphics->CachePlatformFont("a", fonts[0]);
  EXPECT_EQ(FontResourceCache().Size(), 1);
}

// A font that the renderer cannot register is no font of the editor: what loading it added to
// the private fonts and the caches must not stay behind.
TEST_F(PlatformFontTest, AFontTheRendererRefusesIsNeitherInstalledNorCached)
{
  const size_t memoryFontsBefore = LiveObjects().memoryFonts;
  std::vector<uint8_t> bytes = ReadFile(kRobotoFile);
  ASSERT_FALSE(bytes.empty());
  // No window has opened, so there is no renderer to take the font.
  EXPECT_FALSE(graphics->LoadFont("Roboto-Regular", kRobotoFile));
  EXPECT_FALSE(graphics->LoadFont("Roboto-Regular", bytes.data(), static_cast<int>(bytes.size())));
  EXPECT_EQ(FontResourceCache().Size(), 0);
  EXPECT_EQ(FontHandleCache().Size(), 0);
  EXPECT_EQ(LiveObjects().memoryFonts, memoryFontsBefore);
  SKIP_UNLESS_MEASURED(testdisplay::Count::MemoryFonts);
}

TEST_F(PlatformFontTest, WhatIsNoFontGivesNoPlatformFontAndLeavesNothingBehind)
{
  const size_t memoryFontsBefore = LiveObjects().memoryFonts;
  std::vector<uint8_t> bytes = ReadFile(kRobotoFile);
  ASSERT_GT(bytes.size(), 4096u);
  // A font whose name table is cut off: the system takes the bytes, but no face can be named.
  std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + 4096);
  std::vector<uint8_t> garbage(2048, 0x5A);

  EXPECT_FALSE(graphics->LoadPlatformFont("x", "/no/such/dir/font.ttf"));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", "NO-SUCH-FONT.TTF"));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", garbage.data(), static_cast<int>(garbage.size())));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", truncated.data(), static_cast<int>(truncated.size())));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", nullptr, 100));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", bytes.data(), 0));

  EXPECT_EQ(FontResourceCache().Size(), 0);
  EXPECT_EQ(LiveObjects().memoryFonts, memoryFontsBefore);
  SKIP_UNLESS_MEASURED(testdisplay::Count::MemoryFonts);
}

TEST_F(PlatformFontTest, FamilyNamesTheSystemKnowsGiveThatFaceAndOthersNone)
{
  PlatformFontPtr bold = graphics->LoadPlatformFont("sans", "DejaVu Sans", ETextStyle::Bold);
  ASSERT_TRUE(bold);
  EXPECT_TRUE(bold->IsSystem());
  LOGFONTW logFont{};
  ASSERT_NE(GetObjectW(static_cast<HFONT>(bold->GetDescriptor()), sizeof(logFont), &logFont), 0);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  std::unique_ptr<FontData> data = bold->GetFontData();
  ASSERT_TRUE(data->IsValid());
  EXPECT_EQ(data->GetInfo().GetStyle(), "Bold");

  PlatformFontPtr italic = graphics->LoadPlatformFont("sans", "DejaVu Sans", ETextStyle::Italic);
  ASSERT_TRUE(italic);
  ASSERT_NE(GetObjectW(static_cast<HFONT>(italic->GetDescriptor()), sizeof(logFont), &logFont), 0);
  EXPECT_EQ(logFont.lfItalic, 1);

  // The system would substitute a face for these; the editor gets none instead.
  EXPECT_FALSE(graphics->LoadPlatformFont("x", "Qwzx Nonexistent Sans", ETextStyle::Normal));
  EXPECT_FALSE(graphics->LoadPlatformFont("x", "", ETextStyle::Normal));
}

TEST_F(PlatformFontTest, CachingAnIdentifierAgainKeepsTheFirstHandle)
{
  PlatformFontPtr roboto = graphics->LoadPlatformFont("ui", kRobotoFile);
  PlatformFontPtr dejavu = graphics->LoadPlatformFont("ui", "DejaVu Sans", ETextStyle::Normal);
  ASSERT_TRUE(roboto && dejavu);

  graphics->CachePlatformFont("ui", roboto);
  const CachedFontHandle* cached = FontHandleCache().Find("ui", 1.0);
  ASSERT_TRUE(cached);
  const HFONT first = cached->Get();
  // The cache holds a font of its own, which outlives the platform font it was made from.
  EXPECT_NE(first, roboto->GetDescriptor());

  const size_t gdiObjects = LiveObjects().gdiObjects;
  graphics->CachePlatformFont("ui", dejavu);
  EXPECT_EQ(LiveObjects().gdiObjects, gdiObjects);
  EXPECT_EQ(FontHandleCache().Size(), 1);
  EXPECT_EQ(FontHandleCache().Find("ui", 1.0)->Get(), first);
  EXPECT_EQ(FaceOf(first), L"Roboto");

  roboto.reset();
  EXPECT_EQ(FaceOf(first), L"Roboto");
  SKIP_UNLESS_MEASURED(testdisplay::Count::GdiObjects);
}

} // namespace
} // namespace platformtest
