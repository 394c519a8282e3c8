#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the GDI object table that device contexts, brushes, regions and fonts
// share. One lock guards the table and the objects' mutable state; it is never held while user32's
// lock is taken or a callback runs.

#include "Win32Font.h"
#include "Win32Gdi.h"
#include "Win32Region.h"

#include <memory>
#include <mutex>

namespace win32compat {

struct GdiObject
{
  explicit GdiObject(DWORD objectType) : type(objectType) {}
  virtual ~GdiObject() = default;
  const DWORD type; // OBJ_...
  bool stock = false;
  int selections = 0; // device contexts that have it selected
};

struct BrushObject final : GdiObject
{
  BrushObject() : GdiObject(OBJ_BRUSH) {}
  LOGBRUSH brush{};
};

struct PenObject final : GdiObject
{
  PenObject() : GdiObject(OBJ_PEN) {}
};

struct RegionObject final : GdiObject
{
  RegionObject() : GdiObject(OBJ_REGION) {}
  Region region;
};

struct FontObject final : GdiObject
{
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONTW logFont{};
};

struct DcObject final : GdiObject
{
  explicit DcObject(bool memoryDc) : GdiObject(memoryDc ? OBJ_MEMDC : OBJ_DC) {}
  HWND hwnd = nullptr; // NULL for the screen and memory DCs
  HGDIOBJ font = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  COLORREF background = 0x00FFFFFF;
  COLORREF text = 0;
  COLORREF dcBrush = 0x00FFFFFF;
  int backgroundMode = OPAQUE;
};

std::mutex& GdiMutex();
// Lock held by the caller.
HGDIOBJ AddGdiObjectLocked(std::shared_ptr<GdiObject> object);
GdiObject* FindGdiObjectLocked(HGDIOBJ handle);
template <typename T>
T* FindGdiLocked(HGDIOBJ handle, DWORD type)
{
  auto* object = FindGdiObjectLocked(handle);
  if (!object || object->type != type)
    return nullptr;
  return static_cast<T*>(object);
}
// A DC of either kind.
DcObject* FindDcLocked(HDC dc);

// The DC's window and its selected font (a copy of its LOGFONT), without the caller holding the
// lock; false when the DC or font is not known.
HWND WindowOfDc(HDC dc);
bool SelectedLogFont(HDC dc, LOGFONTW& logFont);
// Frees a window's DC when the window is gone.
void ReleaseWindowDc(HWND hwnd);

} // namespace win32compat
