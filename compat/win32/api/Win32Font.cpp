// GDI fonts: the catalogue of faces (the system's through fontconfig, the process's private ones
// from memory), matching a LOGFONT to a face as GDI does, and the bytes of a face.
//
// Index:
//   1. Faces and their names
//   2. The catalogue
//   3. Font handles, faces and enumeration
//   4. Font data

#include "Win32Font.h"

#include "Win32GdiState.h"
#include "Win32Kernel.h"
#include "Win32LiveObjects.h"
#include "Win32Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

namespace {

using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

// --- 1. Faces and their names --------------------------------------------------------------------

struct Face
{
  std::wstring family; // name record 1, as GDI names families
  std::wstring style;  // name record 2
  LONG weight = FW_NORMAL;
  bool italic = false;
  std::string path;    // empty for a face added from memory
  int index = 0;       // face index within its file
  Bytes bytes;         // loaded on first use for files
};

// The name record with the identifier: Windows Unicode English first, then Macintosh Roman.
std::wstring NameRecord(FT_Face face, FT_UShort id)
{
  const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  std::wstring mac;
  for (FT_UInt i = 0; i < count; ++i)
  {
    FT_SfntName name;
    if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != id)
      continue;
    if (name.platform_id == TT_PLATFORM_MICROSOFT && name.encoding_id == TT_MS_ID_UNICODE_CS &&
        name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES)
    {
      std::wstring text;
      for (FT_UInt k = 0; k + 1 < name.string_len; k += 2)
        text += static_cast<wchar_t>((name.string[k] << 8) | name.string[k + 1]);
      if (!text.empty())
        return text;
    }
    if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN && name.language_id == 0 &&
        mac.empty())
      for (FT_UInt k = 0; k < name.string_len; ++k)
        mac += static_cast<wchar_t>(name.string[k]);
  }
  return mac;
}

// Fontconfig loses a few hundred bytes while it parses its configuration files the first time it is
// used (inside FcInitLoadConfigAndFonts, once per process): that is fontconfig's, and nothing can
// free it. LeakSanitizer, when the program runs under it, is told to look away while fontconfig
// starts; the hooks are weak so that an ordinary build does without them.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

void StartFontconfig()
{
  static std::once_flag started;
  std::call_once(started, [] {
    if (__lsan_disable)
      __lsan_disable();
    FcInit();
    if (__lsan_enable)
      __lsan_enable();
  });
}

FT_Library FreeType()
{
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0)
      made = nullptr;
    return made;
  }();
  return library;
}

bool Describe(FT_Face ft, Face& face)
{
  face.family = NameRecord(ft, TT_NAME_ID_FONT_FAMILY);
  face.style = NameRecord(ft, TT_NAME_ID_FONT_SUBFAMILY);
  if (face.family.empty() && ft->family_name)
    face.family = win32compat::Widen(ft->family_name);
  if (face.style.empty() && ft->style_name)
    face.style = win32compat::Widen(ft->style_name);
  face.italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  face.weight = (ft->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF)
    face.weight = os2->usWeightClass;
  return !face.family.empty();
}

// Every face of a font file image; empty when the bytes are not a font. FreeType lock held.
std::vector<Face> FacesOf(const Bytes& bytes)
{
  std::vector<Face> faces;
  FT_Library library = FreeType();
  if (!library || bytes->empty())
    return faces;
  FT_Face probe;
  if (FT_New_Memory_Face(library, bytes->data(), static_cast<FT_Long>(bytes->size()), -1, &probe) != 0)
    return faces;
  const FT_Long count = probe->num_faces;
  FT_Done_Face(probe);
  for (FT_Long i = 0; i < count; ++i)
  {
    FT_Face ft;
    if (FT_New_Memory_Face(library, bytes->data(), static_cast<FT_Long>(bytes->size()), i, &ft) != 0)
      continue;
    Face face;
    face.index = static_cast<int>(i);
    face.bytes = bytes;
    if (Describe(ft, face))
      faces.push_back(std::move(face));
    FT_Done_Face(ft);
  }
  return faces;
}

Bytes ReadFile(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return nullptr;
  auto bytes = std::make_shared<std::vector<uint8_t>>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return bytes;
}

// --- 2. The catalogue ------------------------------------------------------------------------

struct Catalogue
{
  std::mutex mutex; // also serialises FreeType
  bool systemLoaded = false;
  std::vector<Face> system;
  std::map<uintptr_t, std::vector<Face>> privateFonts; // by AddFontMemResourceEx handle
  uintptr_t nextHandle = 0xA0000;
  std::map<std::string, Bytes> files; // file bytes read so far
};

Catalogue& Fonts()
{
  static Catalogue* catalogue = new Catalogue;
  return *catalogue;
}

// The system's faces, from fontconfig's list, named as GDI names them. Lock held.
void LoadSystemLocked(Catalogue& catalogue)
{
  if (catalogue.systemLoaded)
    return;
  catalogue.systemLoaded = true;
  StartFontconfig();
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  FT_Library library = FreeType();
  for (int i = 0; set && library && i < set->nfont; ++i)
  {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
      continue;
    FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
    FT_Face ft;
    if (FT_New_Face(library, reinterpret_cast<const char*>(file), index & 0xFFFF, &ft) != 0)
      continue;
    Face face;
    face.path = reinterpret_cast<const char*>(file);
    face.index = index & 0xFFFF;
    if (FT_IS_SFNT(ft) && Describe(ft, face))
      catalogue.system.push_back(std::move(face));
    FT_Done_Face(ft);
  }
  if (set)
    FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  std::stable_sort(catalogue.system.begin(), catalogue.system.end(),
                   [](const Face& a, const Face& b) { return a.family < b.family; });
}

LONG WantedWeight(const LOGFONTW& lf)
{
  return lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
}

// The face among the candidates that best fits the weight and slant asked for.
const Face* Closest(const std::vector<const Face*>& candidates, const LOGFONTW& lf)
{
  const Face* best = nullptr;
  long bestScore = 0;
  for (const Face* face : candidates)
  {
    const long score = std::labs(face->weight - WantedWeight(lf)) + ((face->italic != (lf.lfItalic != 0)) ? 10000 : 0);
    if (!best || score < bestScore)
    {
      best = face;
      bestScore = score;
    }
  }
  return best;
}

// fontconfig's substitute for a family it does not know (GDI substitutes too).
std::string SubstituteFile(const LOGFONTW& lf, int& index)
{
  StartFontconfig();
  FcPattern* pattern = FcPatternCreate();
  const std::string family = win32compat::Narrow(lf.lfFaceName);
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(WantedWeight(lf)));
  FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string path;
  index = 0;
  if (match)
  {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

// The face the LOGFONT stands for: private faces first, then the system's, then a substitute.
// A copy, so that it stays valid after the lock is released. Lock held.
std::optional<Face> ResolveLocked(Catalogue& catalogue, const LOGFONTW& lf)
{
  const std::wstring name(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, L'\0'));
  std::vector<const Face*> candidates;
  for (auto& [handle, faces] : catalogue.privateFonts)
    for (const auto& face : faces)
      if (win32compat::SameName(face.family, name))
        candidates.push_back(&face);
  if (candidates.empty())
  {
    LoadSystemLocked(catalogue);
    for (const auto& face : catalogue.system)
      if (win32compat::SameName(face.family, name))
        candidates.push_back(&face);
  }
  if (candidates.empty())
  {
    int index = 0;
    const std::string path = SubstituteFile(lf, index);
    for (const auto& face : catalogue.system)
      if (face.path == path && face.index == (index & 0xFFFF))
        candidates.push_back(&face);
  }
  if (const Face* face = Closest(candidates, lf))
    return *face;
  return std::nullopt;
}

Bytes BytesOfLocked(Catalogue& catalogue, const Face& face)
{
  if (face.bytes)
    return face.bytes;
  auto& cached = catalogue.files[face.path];
  if (!cached)
    cached = ReadFile(face.path);
  return cached;
}

std::optional<Face> FaceOfDc(HDC dc, Bytes* bytes = nullptr)
{
  LOGFONTW lf;
  if (!win32compat::SelectedLogFont(dc, lf))
    return std::nullopt;
  auto& catalogue = Fonts();
  std::lock_guard<std::mutex> lock(catalogue.mutex);
  auto face = ResolveLocked(catalogue, lf);
  if (face && bytes)
    *bytes = BytesOfLocked(catalogue, *face);
  return face;
}

uint32_t ReadBigEndian32(const std::vector<uint8_t>& data, size_t at)
{
  return (static_cast<uint32_t>(data[at]) << 24) | (static_cast<uint32_t>(data[at + 1]) << 16) |
         (static_cast<uint32_t>(data[at + 2]) << 8) | data[at + 3];
}

uint16_t ReadBigEndian16(const std::vector<uint8_t>& data, size_t at)
{
  return static_cast<uint16_t>((data[at] << 8) | data[at + 1]);
}

} // namespace

using namespace win32compat;

// --- 3. Font handles, faces and enumeration -------------------------------------------------------

HFONT CreateFontIndirectW(const LOGFONTW* logFont)
{
  if (!logFont)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto font = std::make_shared<FontObject>();
  font->logFont = *logFont;
  font->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
  std::lock_guard<std::mutex> lock(GdiMutex());
  return static_cast<HFONT>(AddGdiObjectLocked(std::move(font)));
}

int GetTextFaceW(HDC dc, int count, LPWSTR faceName)
{
  const auto face = FaceOfDc(dc);
  if (!face)
    return 0;
  if (!faceName)
    return static_cast<int>(face->family.size() + 1);
  return CopyOut(face->family, faceName, count);
}

namespace {

void FillEnumeration(const Face& face, ENUMLOGFONTEXW& logFont, NEWTEXTMETRICEXW& metric)
{
  logFont = ENUMLOGFONTEXW{};
  metric = NEWTEXTMETRICEXW{};
  auto& lf = logFont.elfLogFont;
  lf.lfHeight = -16;
  lf.lfWeight = face.weight;
  lf.lfItalic = face.italic ? 1 : 0;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfOutPrecision = OUT_STROKE_PRECIS;
  lf.lfClipPrecision = 2; // CLIP_STROKE_PRECIS, as GDI reports TrueType faces
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH;
  CopyOut(face.family, lf.lfFaceName, LF_FACESIZE);
  CopyOut(face.family + L" " + face.style, logFont.elfFullName, LF_FULLFACESIZE);
  CopyOut(face.style, logFont.elfStyle, LF_FACESIZE);
  CopyOut(std::wstring(L"Western"), logFont.elfScript, LF_FACESIZE);
  auto& tm = metric.ntmTm;
  tm.tmHeight = 16;
  tm.tmAscent = 13;
  tm.tmDescent = 3;
  tm.tmWeight = face.weight;
  tm.tmItalic = face.italic ? 1 : 0;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmPitchAndFamily = TRUETYPE_FONTTYPE | VARIABLE_PITCH;
  tm.tmCharSet = ANSI_CHARSET;
  tm.ntmFlags = (face.italic ? NTM_ITALIC : 0) | (face.weight >= FW_BOLD ? NTM_BOLD : 0) |
                (!face.italic && face.weight < FW_BOLD ? NTM_REGULAR : 0) | NTM_TT_OPENTYPE;
  tm.ntmSizeEM = 2048;
  tm.ntmCellHeight = 2048;
}

// The system faces that match the LOGFONT's name (all families, one face each, for an empty name).
std::vector<Face> EnumerationFor(const std::wstring& name)
{
  auto& catalogue = Fonts();
  std::lock_guard<std::mutex> lock(catalogue.mutex);
  LoadSystemLocked(catalogue);
  std::vector<Face> faces;
  for (const auto& face : catalogue.system)
  {
    if (name.empty())
    {
      if (faces.empty() || !SameName(faces.back().family, face.family))
        faces.push_back(face);
    }
    else if (SameName(face.family, name))
      faces.push_back(face);
  }
  return faces;
}

} // namespace

int EnumFontFamiliesExW(HDC dc, LPLOGFONTW logFont, FONTENUMPROCW proc, LPARAM lParam, DWORD)
{
  if (!logFont || !proc || GetObjectType(dc) == 0)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::wstring name(logFont->lfFaceName,
                          std::find(logFont->lfFaceName, logFont->lfFaceName + LF_FACESIZE, L'\0'));
  int result = 1;
  for (const auto& face : EnumerationFor(name))
  {
    ENUMLOGFONTEXW enumerated;
    NEWTEXTMETRICEXW metric;
    FillEnumeration(face, enumerated, metric);
    result = proc(&enumerated.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&metric), TRUETYPE_FONTTYPE, lParam);
    if (result == 0)
      break;
  }
  return result;
}

namespace win32compat {

size_t LiveMemoryFonts()
{
  auto& catalogue = Fonts();
  std::lock_guard<std::mutex> lock(catalogue.mutex);
  return catalogue.privateFonts.size();
}

} // namespace win32compat

HANDLE AddFontMemResourceEx(PVOID fileView, DWORD size, PVOID reserved, DWORD* numFonts)
{
  if (!fileView || size == 0 || reserved || !numFonts)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bytes = std::make_shared<const std::vector<uint8_t>>(static_cast<const uint8_t*>(fileView),
                                                            static_cast<const uint8_t*>(fileView) + size);
  auto& catalogue = Fonts();
  std::lock_guard<std::mutex> lock(catalogue.mutex);
  auto faces = FacesOf(bytes);
  if (faces.empty())
  {
    *numFonts = 0;
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  *numFonts = static_cast<DWORD>(faces.size());
  const uintptr_t handle = catalogue.nextHandle;
  catalogue.nextHandle += 4;
  catalogue.privateFonts.emplace(handle, std::move(faces));
  return reinterpret_cast<HANDLE>(handle);
}

BOOL RemoveFontMemResourceEx(HANDLE fonts)
{
  auto& catalogue = Fonts();
  std::lock_guard<std::mutex> lock(catalogue.mutex);
  if (catalogue.privateFonts.erase(reinterpret_cast<uintptr_t>(fonts)) == 0)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

// --- 4. Font data --------------------------------------------------------------------------------

DWORD GetFontData(HDC dc, DWORD table, DWORD offset, PVOID buffer, DWORD size)
{
  constexpr DWORD kCollectionTag = 0x66637474; // 'ttcf' as GDI reads the four bytes
  Bytes bytes;
  const auto face = FaceOfDc(dc, &bytes);
  if (!face || !bytes)
    return GDI_ERROR;
  const auto& data = *bytes;
  const bool collection = data.size() >= 16 && std::memcmp(data.data(), "ttcf", 4) == 0;

  // Where the face's table directory starts.
  size_t faceStart = 0;
  if (collection)
  {
    const size_t at = 12 + 4 * static_cast<size_t>(face->index);
    if (at + 4 > data.size())
      return GDI_ERROR;
    faceStart = ReadBigEndian32(data, at);
  }

  size_t begin = 0;
  size_t end = data.size();
  if (table == kCollectionTag)
  {
    if (!collection)
      return GDI_ERROR;
  }
  else if (table == 0)
    begin = faceStart;
  else
  {
    if (faceStart + 12 > data.size())
      return GDI_ERROR;
    const uint16_t tables = ReadBigEndian16(data, faceStart + 4);
    bool found = false;
    for (uint16_t i = 0; i < tables && !found; ++i)
    {
      const size_t record = faceStart + 12 + 16 * static_cast<size_t>(i);
      if (record + 16 > data.size())
        break;
      uint32_t tag;
      std::memcpy(&tag, data.data() + record, 4); // file order, read as GDI reads the DWORD
      if (tag != table)
        continue;
      begin = ReadBigEndian32(data, record + 8);
      end = std::min<size_t>(data.size(), begin + ReadBigEndian32(data, record + 12));
      found = begin <= data.size();
    }
    if (!found)
      return GDI_ERROR;
  }
  if (begin > end || offset > end - begin)
    return GDI_ERROR;
  const size_t available = end - begin - offset;
  if (!buffer || size == 0)
    return static_cast<DWORD>(available);
  const size_t count = std::min<size_t>(size, available);
  std::memcpy(buffer, data.data() + begin + offset, count);
  return static_cast<DWORD>(count);
}

