// The GDI object table, device contexts, brushes and regions of the stand-in.
//
// Index:
//   1. The object table and stock objects
//   2. Objects
//   3. Device contexts
//   4. Regions

#include "Win32Gdi.h"

#include "Win32Display.h"
#include "Win32DisplayState.h"
#include "Win32GdiState.h"
#include "Win32Input.h"
#include "Win32Kernel.h"
#include "Win32LiveObjects.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <cstring>
#include <unordered_map>

namespace win32compat {

// --- 1. The object table and stock objects ------------------------------------------------------

namespace {

struct GdiTable
{
  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
  uintptr_t next = 0x40000;
  HGDIOBJ stock[20]{};
  HDC screen = nullptr;
};

GdiTable& TableLocked();

HGDIOBJ AddStockLocked(GdiTable& table, int index, std::shared_ptr<GdiObject> object)
{
  object->stock = true;
  const HGDIOBJ handle = AddGdiObjectLocked(std::move(object));
  table.stock[index] = handle;
  return handle;
}

void MakeStockObjectsLocked(GdiTable& table)
{
  auto brush = [&](int index, UINT style, COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->brush = LOGBRUSH{style, color, 0};
    AddStockLocked(table, index, std::move(b));
  };
  brush(WHITE_BRUSH, BS_SOLID, RGB(255, 255, 255));
  brush(LTGRAY_BRUSH, BS_SOLID, RGB(192, 192, 192));
  brush(GRAY_BRUSH, BS_SOLID, RGB(128, 128, 128));
  brush(DKGRAY_BRUSH, BS_SOLID, RGB(64, 64, 64));
  brush(BLACK_BRUSH, BS_SOLID, RGB(0, 0, 0));
  brush(NULL_BRUSH, BS_NULL, 0);
  brush(DC_BRUSH, BS_SOLID, RGB(255, 255, 255));
  for (int index : {WHITE_PEN, BLACK_PEN, NULL_PEN, DC_PEN})
    AddStockLocked(table, index, std::make_shared<PenObject>());
  auto font = [&](int index, const wchar_t* face, LONG height) {
    auto f = std::make_shared<FontObject>();
    f->logFont.lfHeight = height;
    f->logFont.lfWeight = FW_NORMAL;
    f->logFont.lfCharSet = DEFAULT_CHARSET;
    CopyOut(std::wstring(face), f->logFont.lfFaceName, LF_FACESIZE);
    AddStockLocked(table, index, std::move(f));
  };
  font(OEM_FIXED_FONT, L"Terminal", 12);
  font(ANSI_FIXED_FONT, L"Courier", 13);
  font(ANSI_VAR_FONT, L"MS Sans Serif", 13);
  font(SYSTEM_FONT, L"System", 16);
  font(DEVICE_DEFAULT_FONT, L"System", 16);
  font(SYSTEM_FIXED_FONT, L"Fixedsys", 15);
  font(DEFAULT_GUI_FONT, L"MS Shell Dlg", -11);

  auto screen = std::make_shared<DcObject>(false);
  screen->font = table.stock[SYSTEM_FONT];
  screen->brush = table.stock[WHITE_BRUSH];
  screen->pen = table.stock[BLACK_PEN];
  table.screen = static_cast<HDC>(AddGdiObjectLocked(std::move(screen)));
}

GdiTable& TableLocked()
{
  // Never destroyed, like user32's state.
  static GdiTable* table = nullptr;
  if (!table)
  {
    table = new GdiTable;
    MakeStockObjectsLocked(*table);
  }
  return *table;
}

std::shared_ptr<DcObject> NewDcLocked(GdiTable& table, HWND hwnd, bool memory)
{
  auto dc = std::make_shared<DcObject>(memory);
  dc->hwnd = hwnd;
  dc->font = table.stock[SYSTEM_FONT];
  dc->brush = table.stock[WHITE_BRUSH];
  dc->pen = table.stock[BLACK_PEN];
  for (HGDIOBJ selected : {dc->font, dc->brush, dc->pen})
    ++FindGdiObjectLocked(selected)->selections;
  return dc;
}

void ForgetDcLocked(HDC handle)
{
  auto* dc = FindDcLocked(handle);
  if (!dc)
    return;
  for (HGDIOBJ selected : {dc->font, dc->brush, dc->pen})
    if (auto* object = FindGdiObjectLocked(selected))
      --object->selections;
  TableLocked().objects.erase(reinterpret_cast<uintptr_t>(handle));
}

} // namespace

std::mutex& GdiMutex()
{
  static std::mutex* mutex = new std::mutex;
  return *mutex;
}

HGDIOBJ AddGdiObjectLocked(std::shared_ptr<GdiObject> object)
{
  auto& table = TableLocked();
  const uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HGDIOBJ>(value);
}

GdiObject* FindGdiObjectLocked(HGDIOBJ handle)
{
  auto& table = TableLocked();
  auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second.get();
}

DcObject* FindDcLocked(HDC dc)
{
  auto* object = FindGdiObjectLocked(dc);
  if (!object || (object->type != OBJ_DC && object->type != OBJ_MEMDC))
    return nullptr;
  return static_cast<DcObject*>(object);
}

HWND WindowOfDc(HDC dc)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindDcLocked(dc);
  return object ? object->hwnd : nullptr;
}

bool SelectedLogFont(HDC dc, LOGFONTW& logFont)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindDcLocked(dc);
  if (!object)
    return false;
  auto* font = FindGdiLocked<FontObject>(object->font, OBJ_FONT);
  if (!font)
    return false;
  logFont = font->logFont;
  return true;
}

size_t LiveGdiObjects()
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto& table = TableLocked();
  size_t count = 0;
  for (auto& [value, object] : table.objects)
    count += object->stock || reinterpret_cast<HDC>(value) == table.screen ? 0u : 1u;
  return count;
}

void ReleaseWindowDc(HWND hwnd)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  std::vector<HDC> owned;
  for (auto& [value, object] : TableLocked().objects)
    if (object->type == OBJ_DC && static_cast<DcObject*>(object.get())->hwnd == hwnd && hwnd)
      owned.push_back(reinterpret_cast<HDC>(value));
  for (HDC dc : owned)
    ForgetDcLocked(dc);
}

} // namespace win32compat

using namespace win32compat;

// --- 2. Objects --------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  if (index < 0 || index >= 20)
    return nullptr;
  return TableLocked().stock[index];
}

HBRUSH CreateSolidBrush(COLORREF color)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto brush = std::make_shared<BrushObject>();
  brush->brush = LOGBRUSH{BS_SOLID, color & 0x00FFFFFF, 0};
  return static_cast<HBRUSH>(AddGdiObjectLocked(std::move(brush)));
}

BOOL DeleteObject(HGDIOBJ handle)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindGdiObjectLocked(handle);
  if (!object || object->type == OBJ_DC || object->type == OBJ_MEMDC)
    return FALSE;
  if (object->stock)
    return TRUE;
  if (object->selections > 0)
    return FALSE;
  TableLocked().objects.erase(reinterpret_cast<uintptr_t>(handle));
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ handle)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindGdiObjectLocked(handle);
  if (!object)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->type;
}

namespace {

int GetObjectInternal(HGDIOBJ handle, int size, LPVOID buffer, bool unicode)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindGdiObjectLocked(handle);
  if (!object)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (object->type == OBJ_FONT)
  {
    const auto& lf = static_cast<FontObject*>(object)->logFont;
    if (unicode)
    {
      if (!buffer)
        return sizeof(LOGFONTW);
      const int n = std::min<int>(size, sizeof(LOGFONTW));
      if (n <= 0)
        return 0;
      std::memcpy(buffer, &lf, static_cast<size_t>(n));
      return n;
    }
    LOGFONTA a;
    std::memcpy(&a, &lf, offsetof(LOGFONTW, lfFaceName));
    CopyOut(Narrow(lf.lfFaceName), a.lfFaceName, LF_FACESIZE);
    if (!buffer)
      return sizeof(LOGFONTA);
    const int n = std::min<int>(size, sizeof(LOGFONTA));
    if (n <= 0)
      return 0;
    std::memcpy(buffer, &a, static_cast<size_t>(n));
    return n;
  }
  if (object->type == OBJ_BRUSH)
  {
    if (!buffer)
      return sizeof(LOGBRUSH);
    const int n = std::min<int>(size, sizeof(LOGBRUSH));
    if (n <= 0)
      return 0;
    std::memcpy(buffer, &static_cast<BrushObject*>(object)->brush, static_cast<size_t>(n));
    return n;
  }
  return 0;
}

} // namespace

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer)
{
  return GetObjectInternal(object, size, buffer, true);
}

// --- 3. Device contexts ------------------------------------------------------------------------

HDC GetDC(HWND hwnd)
{
  if (!hwnd)
  {
    std::lock_guard<std::mutex> lock(GdiMutex());
    return TableLocked().screen;
  }
  auto& state = User();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return nullptr;
    if (window->dc)
      return window->dc;
  }
  HDC made;
  {
    std::lock_guard<std::mutex> lock(GdiMutex());
    auto& table = TableLocked();
    made = static_cast<HDC>(AddGdiObjectLocked(NewDcLocked(table, hwnd, false)));
  }
  HDC result = made;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      result = nullptr;
    else if (window->dc)
      result = window->dc; // another thread was quicker
    else
      window->dc = made;
  }
  if (result != made)
  {
    std::lock_guard<std::mutex> lock(GdiMutex());
    ForgetDcLocked(made);
  }
  return result;
}

int ReleaseDC(HWND hwnd, HDC dc)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindDcLocked(dc);
  return object && object->type == OBJ_DC && object->hwnd == hwnd ? 1 : 0;
}

HDC CreateCompatibleDC(HDC)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto& table = TableLocked();
  return static_cast<HDC>(AddGdiObjectLocked(NewDcLocked(table, nullptr, true)));
}

BOOL DeleteDC(HDC dc)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* object = FindDcLocked(dc);
  if (!object || object->type != OBJ_MEMDC)
    return FALSE;
  ForgetDcLocked(dc);
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* context = FindDcLocked(dc);
  auto* object = FindGdiObjectLocked(handle);
  if (!context || !object)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ* slot = nullptr;
  switch (object->type)
  {
  case OBJ_FONT: slot = &context->font; break;
  case OBJ_BRUSH: slot = &context->brush; break;
  case OBJ_PEN: slot = &context->pen; break;
  default: return HGDI_ERROR;
  }
  const HGDIOBJ previous = *slot;
  if (auto* old = FindGdiObjectLocked(previous))
    --old->selections;
  ++object->selections;
  *slot = handle;
  return previous;
}

namespace {

template <typename Field, typename Value>
Value Exchange(HDC dc, Field DcObject::*field, Value value, Value failure)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* context = FindDcLocked(dc);
  if (!context)
    return failure;
  const Value previous = static_cast<Value>(context->*field);
  context->*field = value;
  return previous;
}

template <typename Field, typename Value>
Value Read(HDC dc, Field DcObject::*field, Value failure)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* context = FindDcLocked(dc);
  return context ? static_cast<Value>(context->*field) : failure;
}

} // namespace

COLORREF SetBkColor(HDC dc, COLORREF color)
{
  return Exchange(dc, &DcObject::background, color & 0x00FFFFFF, static_cast<COLORREF>(CLR_INVALID));
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
  return Exchange(dc, &DcObject::text, color & 0x00FFFFFF, static_cast<COLORREF>(CLR_INVALID));
}

int SetBkMode(HDC dc, int mode)
{
  if (mode != TRANSPARENT && mode != OPAQUE)
    return 0;
  return Exchange(dc, &DcObject::backgroundMode, mode, 0);
}

COLORREF SetDCBrushColor(HDC dc, COLORREF color)
{
  return Exchange(dc, &DcObject::dcBrush, color & 0x00FFFFFF, static_cast<COLORREF>(CLR_INVALID));
}

// --- 4. Regions --------------------------------------------------------------------------------

namespace {

HRGN NewRegion(const Region& region)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto object = std::make_shared<RegionObject>();
  object->region = region;
  return static_cast<HRGN>(AddGdiObjectLocked(std::move(object)));
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
  return NewRegion(Region(RECT{left, top, right, bottom}));
}

int GetRgnBox(HRGN handle, LPRECT rect)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* region = FindGdiLocked<RegionObject>(handle, OBJ_REGION);
  if (!region || !rect)
    return ERROR;
  *rect = region->region.Bounds();
  return region->region.Kind();
}

DWORD GetRegionData(HRGN handle, DWORD count, LPRGNDATA data)
{
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* region = FindGdiLocked<RegionObject>(handle, OBJ_REGION);
  if (!region)
    return 0;
  const auto& rects = region->region.Rects();
  const DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!data)
    return needed;
  if (count < needed)
    return 0;
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = region->region.Bounds();
  if (!rects.empty())
    std::memcpy(reinterpret_cast<char*>(data) + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return count;
}
