#include "WindowTestSupport.h"
#include "WindowsUsage.h"

#include <cstring>
#include <string>

using namespace win32test;

namespace {

std::wstring FaceOf(const wchar_t* family, LONG weight = FW_NORMAL)
{
  LOGFONTW lf{};
  lf.lfHeight = -12;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, family, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(font);
  return face;
}

int CALLBACK CountFaces(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD type, LPARAM lParam)
{
  auto* found = reinterpret_cast<std::vector<std::wstring>*>(lParam);
  EXPECT_EQ(type, static_cast<DWORD>(TRUETYPE_FONTTYPE));
  const auto* full = reinterpret_cast<const ENUMLOGFONTEXW*>(logFont);
  found->push_back(std::wstring(logFont->lfFaceName) + L"/" + full->elfStyle);
  return 1;
}

std::vector<std::wstring> Enumerate(const wchar_t* family)
{
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, family, LF_FACESIZE - 1);
  std::vector<std::wstring> found;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, CountFaces, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

uint32_t BigEndian32(const std::vector<unsigned char>& data, size_t at)
{
  return (static_cast<uint32_t>(data[at]) << 24) | (static_cast<uint32_t>(data[at + 1]) << 16) |
         (static_cast<uint32_t>(data[at + 2]) << 8) | data[at + 3];
}

void PutBigEndian32(std::vector<unsigned char>& data, size_t at, uint32_t value)
{
  data[at] = static_cast<unsigned char>(value >> 24);
  data[at + 1] = static_cast<unsigned char>(value >> 16);
  data[at + 2] = static_cast<unsigned char>(value >> 8);
  data[at + 3] = static_cast<unsigned char>(value);
}

// A collection of the given single fonts: the 'ttcf' header, then each font with its table offsets
// moved to where the font now starts.
std::vector<unsigned char> MakeCollection(const std::vector<std::vector<unsigned char>>& fonts)
{
  const size_t header = 12 + 4 * fonts.size();
  std::vector<unsigned char> ttc(header, 0);
  std::memcpy(ttc.data(), "ttcf", 4);
  PutBigEndian32(ttc, 4, 0x00010000);
  PutBigEndian32(ttc, 8, static_cast<uint32_t>(fonts.size()));
  for (size_t i = 0; i < fonts.size(); ++i)
  {
    while (ttc.size() % 4)
      ttc.push_back(0);
    const auto start = static_cast<uint32_t>(ttc.size());
    PutBigEndian32(ttc, 12 + 4 * i, start);
    std::vector<unsigned char> font = fonts[i];
    const unsigned tables = (unsigned{font[4]} << 8) | font[5];
    for (unsigned t = 0; t < tables; ++t)
      PutBigEndian32(font, 12 + 16 * t + 8, BigEndian32(font, 12 + 16 * t + 8) + start);
    ttc.insert(ttc.end(), font.begin(), font.end());
  }
  return ttc;
}

TEST(GdiFonts, SystemFamiliesAreFoundAndUnknownOnesSubstituted)
{
  EXPECT_EQ(FaceOf(L"Roboto"), L"Roboto");
  EXPECT_EQ(FaceOf(L"roboto"), L"Roboto") << "the family's own spelling";
  const std::wstring substitute = FaceOf(L"No Such Family Anywhere");
  EXPECT_FALSE(substitute.empty());
  EXPECT_NE(substitute, L"No Such Family Anywhere") << "GDI substitutes, and says so through GetTextFace";

  const auto roboto = Enumerate(L"Roboto");
  EXPECT_NE(std::find(roboto.begin(), roboto.end(), L"Roboto/Regular"), roboto.end());
  EXPECT_NE(std::find(roboto.begin(), roboto.end(), L"Roboto/Bold"), roboto.end());
  for (const auto& face : roboto)
    EXPECT_EQ(face.rfind(L"Roboto/", 0), 0u) << "only that family, by its GDI name";
  EXPECT_TRUE(Enumerate(L"No Such Family Anywhere").empty());
  EXPECT_GT(Enumerate(L"").size(), 1u) << "an empty name lists every family";
}

TEST(GdiFonts, FontDataReadsFilesAndTables)
{
  const auto whole = usage::FontBytes(L"Roboto", false);
  ASSERT_GT(whole.size(), 1000u);
  EXPECT_EQ(BigEndian32(whole, 0), 0x00010000u) << "a single TrueType font";
  EXPECT_TRUE(usage::FontBytes(L"Roboto", true).empty()) << "not in a collection";

  LOGFONTW lf{};
  lf.lfWeight = FW_NORMAL;
  wcscpy(lf.lfFaceName, L"Roboto");
  HFONT font = CreateFontIndirectW(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  const DWORD head = 0x64616568; // 'head' as GDI reads the tag
  EXPECT_EQ(GetFontData(dc, head, 0, nullptr, 0), 54u);
  unsigned char version[4];
  EXPECT_EQ(GetFontData(dc, head, 0, version, 4), 4u);
  EXPECT_EQ(version[1], 1) << "head starts with version 1.0";
  EXPECT_EQ(GetFontData(dc, head, 50, nullptr, 0), 4u);
  EXPECT_EQ(GetFontData(dc, head, 55, nullptr, 0), GDI_ERROR) << "past the table";
  EXPECT_EQ(GetFontData(dc, 0x78787878, 0, nullptr, 0), GDI_ERROR) << "no such table";
  DeleteDC(dc);
  DeleteObject(font);
}

TEST(GdiFonts, MemoryFontsArePrivateAndCollectionsHaveFaces)
{
  const auto regular = usage::FontBytes(L"Roboto", false);
  ASSERT_FALSE(regular.empty());
  DWORD count = 0;
  unsigned char junk[64] = {1, 2, 3};
  EXPECT_EQ(AddFontMemResourceEx(junk, sizeof junk, nullptr, &count), nullptr);
  EXPECT_EQ(count, 0u);

  const size_t enumeratedBefore = Enumerate(L"Roboto").size();
  HANDLE added = AddFontMemResourceEx(const_cast<unsigned char*>(regular.data()), static_cast<DWORD>(regular.size()),
                                      nullptr, &count);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(FaceOf(L"Roboto"), L"Roboto");

  // A collection of two faces: both added, 'ttcf' reads the whole collection.
  LOGFONTW lf{};
  wcscpy(lf.lfFaceName, L"Roboto");
  lf.lfWeight = FW_BOLD;
  HFONT boldFont = CreateFontIndirectW(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, boldFont);
  std::vector<unsigned char> bold(GetFontData(dc, 0, 0, nullptr, 0));
  GetFontData(dc, 0, 0, bold.data(), static_cast<DWORD>(bold.size()));
  DeleteDC(dc);
  DeleteObject(boldFont);
  const auto ttc = MakeCollection({regular, bold});
  EXPECT_TRUE(RemoveFontMemResourceEx(added));
  EXPECT_FALSE(RemoveFontMemResourceEx(added));
  added = AddFontMemResourceEx(const_cast<unsigned char*>(ttc.data()), static_cast<DWORD>(ttc.size()), nullptr, &count);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(usage::FontBytes(L"Roboto", true), ttc) << "the private collection answers first";
  const auto face = usage::FontBytes(L"Roboto", false);
  EXPECT_EQ(face.size(), ttc.size() - 12 - 8) << "table 0 starts at the face's own directory";
  EXPECT_EQ(Enumerate(L"Roboto").size(), enumeratedBefore) << "memory fonts are private, never enumerated";
  RemoveFontMemResourceEx(added);
}

} // namespace
