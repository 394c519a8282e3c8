// Platform fonts of the Windows graphics context: fonts by family name, fonts from memory and
// from files or module resources, the process-wide caches that keep them, and reading a font's
// bytes back for the renderer.

#include "IGraphicsWin.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <mutex>
#include <vector>

#include "FontInfo.h"
#include "PlatformFontCaches.h"
#include "ResourceLocation.h"
#include "WideText.h"

namespace iplug::igraphics {

namespace {

// The tag that makes GetFontData read the whole collection file ('ttcf' as GDI reads the bytes).
constexpr DWORD kCollectionTag = 0x66637474;

// How many editor contexts use each cache; guarded by that cache's mutex.
int fontResourceCacheUsers = 0;
int fontHandleCacheUsers = 0;

bool SameFaceName(const std::wstring& a, const std::wstring& b)
{
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
  {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
      return false;
  }
  return true;
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Whether the system knows a family of this name (CreateFontIndirect would substitute one).
bool SystemHasFamily(const LOGFONTW& wanted)
{
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::copy(std::begin(wanted.lfFaceName), std::end(wanted.lfFaceName), std::begin(query.lfFaceName));
  bool found = false;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc)
    return false;
  EnumFontFamiliesExW(dc, &query, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  DeleteDC(dc);
  return found;
}

// The font for the logical font, or null when the system would hand over another face than the
// one named: a substitute face would draw the editor's text in the wrong font without a word.
HFONT CreateNamedFont(const LOGFONTW& logFont)
{
  HFONT font = CreateFontIndirectW(&logFont);
  if (!font)
    return nullptr;
  WCHAR face[LF_FACESIZE] = {};
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc)
  {
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    DeleteDC(dc);
  }
  if (!SameFaceName(face, logFont.lfFaceName))
  {
    DeleteObject(font);
    return nullptr;
  }
  return font;
}

LOGFONTW LogFontFor(const std::string& family, LONG weight, bool italic, bool underline)
{
  LOGFONTW logFont{};
  logFont.lfWeight = weight;
  logFont.lfItalic = italic ? 1 : 0;
  logFont.lfUnderline = underline ? 1 : 0;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfOutPrecision = OUT_TT_PRECIS;
  const std::wstring name = UTF8ToWide(family.c_str(), LF_FACESIZE - 1);
  std::copy(name.begin(), name.end(), logFont.lfFaceName);
  return logFont;
}

// Adds the bytes to the private fonts and makes a font of their first face, which keeps them
// there until it is cached (or goes). The caller holds the font-resource cache's mutex.
PlatformFontPtr LoadMemoryFontLocked(const void* data, int dataSize)
{
  if (!data || dataSize <= 0)
    return nullptr;
  DWORD faces = 0;
  HANDLE added = AddFontMemResourceEx(const_cast<void*>(data), static_cast<DWORD>(dataSize), nullptr, &faces);
  if (!added)
    return nullptr;

  HFONT font = nullptr;
  const FontInfo info(static_cast<const uint8_t*>(data), static_cast<size_t>(dataSize), 0);
  if (info.IsValid() && !info.GetFamily().empty())
  {
    const LOGFONTW logFont = LogFontFor(info.GetFamily(), info.IsBold() ? FW_BOLD : FW_NORMAL, info.IsItalic(),
                                        info.IsUnderline());
    font = CreateNamedFont(logFont);
  }
  if (!font)
  {
    RemoveFontMemResourceEx(added);
    return nullptr;
  }
  return std::make_unique<IGraphicsWin::Font>(font, "", false, added);
}

} // namespace

IKeyedCache<InstalledFontResource>& FontResourceCache()
{
  static IKeyedCache<InstalledFontResource> fontResourceCache;
  return fontResourceCache;
}

IKeyedCache<CachedFontHandle>& FontHandleCache()
{
  static IKeyedCache<CachedFontHandle> fontHandleCache;
  return fontHandleCache;
}

// ---- Font --------------------------------------------------------------------------------------

IGraphicsWin::Font::Font(HFONT font, const char* styleName, bool isSystem, HANDLE installed)
  : PlatformFont(isSystem), mFont(font), mStyleName(styleName ? styleName : ""), mInstalled(installed)
{
}

IGraphicsWin::Font::~Font()
{
  if (mFont)
    DeleteObject(mFont);
  if (mInstalled)
    RemoveFontMemResourceEx(mInstalled);
}

std::unique_ptr<FontData> IGraphicsWin::Font::GetFontData()
{
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc || !mFont)
  {
    if (dc)
      DeleteDC(dc);
    return std::make_unique<FontData>();
  }
  HGDIOBJ previous = SelectObject(dc, mFont);

  // A face of a collection is read as the whole collection file, so that the offsets of its
  // table directory stay right; the size must then be the collection's, not the face's.
  DWORD table = kCollectionTag;
  DWORD size = ::GetFontData(dc, table, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0)
  {
    table = 0;
    size = ::GetFontData(dc, table, 0, nullptr, 0);
  }

  std::unique_ptr<FontData> result;
  if (size != GDI_ERROR && size > 0)
  {
    std::vector<uint8_t> bytes(size);
    const DWORD read = ::GetFontData(dc, table, 0, bytes.data(), size);
    if (read == size)
    {
      const int face = FontInfo::FindFace(bytes.data(), bytes.size(), mStyleName);
      result = std::make_unique<FontData>(std::move(bytes), face);
    }
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
  return result ? std::move(result) : std::make_unique<FontData>();
}

// ---- Cache membership ----------------------------------------------------------------------------

void IGraphicsWin::RetainFontCaches()
{
  std::lock_guard<std::mutex> resourceLock(FontResourceCache().Mutex());
  std::lock_guard<std::mutex> handleLock(FontHandleCache().Mutex());
  ++fontResourceCacheUsers;
  ++fontHandleCacheUsers;
}

void IGraphicsWin::ReleaseFontCaches()
{
  std::lock_guard<std::mutex> resourceLock(FontResourceCache().Mutex());
  std::lock_guard<std::mutex> handleLock(FontHandleCache().Mutex());
  if (fontResourceCacheUsers > 0 && --fontResourceCacheUsers == 0)
    FontResourceCache().Clear();
  if (fontHandleCacheUsers > 0 && --fontHandleCacheUsers == 0)
    FontHandleCache().Clear();
}

// ---- Loading -------------------------------------------------------------------------------------

PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style)
{
  (void) fontID;
  if (!fontName || !*fontName)
    return nullptr;
  const char* styleName = style == ETextStyle::Bold ? "Bold" : style == ETextStyle::Italic ? "Italic" : "Regular";
  const LOGFONTW logFont =
    LogFontFor(fontName, style == ETextStyle::Bold ? FW_BOLD : FW_NORMAL, style == ETextStyle::Italic, false);
  if (!SystemHasFamily(logFont))
    return nullptr;
  HFONT font = CreateNamedFont(logFont);
  if (!font)
    return nullptr;
  return std::make_unique<Font>(font, styleName, true);
}

PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char* fontID, void* pData, int dataSize)
{
  std::lock_guard<std::mutex> lock(FontResourceCache().Mutex());
  (void) fontID;
  return LoadMemoryFontLocked(pData, dataSize);
}

PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char* fontID, const char* fileNameOrResID)
{
  (void) fontID;
  std::lock_guard<std::mutex> lock(FontResourceCache().Mutex());
  std::string location;
  switch (LocateResource(fileNameOrResID, "ttf", location, nullptr, GetModuleInstance(), nullptr))
  {
  case kAbsolutePath:
  {
    const std::wstring path = UTF8ToWide(location.c_str());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return nullptr;
    PlatformFontPtr font;
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file, &sizeHigh);
    // A font file beyond 2 GB is no font the editor could use.
    if (size != INVALID_FILE_SIZE && sizeHigh == 0 && size > 0 && size <= 0x7FFFFFFF)
    {
      HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
      if (mapping)
      {
        if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))
        {
          font = LoadMemoryFontLocked(view, static_cast<int>(size));
          UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
      }
    }
    CloseHandle(file);
    return font;
  }
  case kWinBinary:
  {
    int size = 0;
    const void* data = LoadModuleResource(location.c_str(), "ttf", size, GetModuleInstance());
    return data ? LoadMemoryFontLocked(data, size) : nullptr;
  }
  default:
    return nullptr;
  }
}

void IGraphicsWin::CachePlatformFont(const char* fontID, const PlatformFontPtr& font)
{
  if (!font)
    return;
  std::lock_guard<std::mutex> resourceLock(FontResourceCache().Mutex());
  if (auto* own = dynamic_cast<Font*>(font.get()))
  {
    if (HANDLE installed = own->TakeInstalled())
      FontResourceCache().Add(std::make_unique<InstalledFontResource>(installed), fontID, 1.0);
  }
  std::lock_guard<std::mutex> lock(FontHandleCache().Mutex());
  if (FontHandleCache().Find(fontID, 1.0))
    return;
  HFONT source = static_cast<HFONT>(font->GetDescriptor());
  LOGFONTW logFont{};
  if (!source || GetObjectW(source, sizeof(logFont), &logFont) == 0)
    return;
  if (HFONT copy = CreateFontIndirectW(&logFont))
    FontHandleCache().Add(std::make_unique<CachedFontHandle>(copy), fontID, 1.0);
}

} // namespace iplug::igraphics
