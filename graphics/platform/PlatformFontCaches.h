#pragma once

// The two font caches that every editor window of the process shares. Entries own what they
// hold: a font resource entry takes its fonts out of the process's private fonts when it goes,
// a font handle entry deletes its font. Each cache is used only under its own mutex; when both
// are taken, the font-resource cache's comes first. The editor contexts count themselves in and
// out, and the last one out empties both.

#include "IKeyedCache.h"
#include "PlatformWindows.h"

namespace iplug::igraphics {

// Fonts added from memory (AddFontMemResourceEx), keyed by font identifier at scale 1.
class InstalledFontResource
{
public:
  explicit InstalledFontResource(HANDLE handle) : mHandle(handle) {}
  ~InstalledFontResource()
  {
    if (mHandle)
      RemoveFontMemResourceEx(mHandle);
  }
  InstalledFontResource(const InstalledFontResource&) = delete;
  InstalledFontResource& operator=(const InstalledFontResource&) = delete;
  HANDLE Get() const { return mHandle; }

private:
  HANDLE mHandle;
};

// A font handle made from a loaded platform font, keyed by font identifier at scale 1; the text
// entry copies its logical font at the size it needs.
class CachedFontHandle
{
public:
  explicit CachedFontHandle(HFONT font) : mFont(font) {}
  ~CachedFontHandle()
  {
    if (mFont)
      DeleteObject(mFont);
  }
  CachedFontHandle(const CachedFontHandle&) = delete;
  CachedFontHandle& operator=(const CachedFontHandle&) = delete;
  HFONT Get() const { return mFont; }

private:
  HFONT mFont;
};

IKeyedCache<InstalledFontResource>& FontResourceCache();
IKeyedCache<CachedFontHandle>& FontHandleCache();

} // namespace iplug::igraphics
