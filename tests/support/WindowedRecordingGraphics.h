#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "IGEditorDelegate.h"
#include "IKeyedCache.h"
#include "ResourceLocation.h"
#include "support/RecordingGraphics.h"

namespace iplug::igraphics {

// A recording graphics context that behaves like the window layer around it: opening the
// "window" lays the editor out and tells the delegate that the editor is open, and bitmaps are
// found through the real resource search among the module's resources, sized from the PNG
// headers and kept in a per-context cache keyed by name and the density asked for, as the
// drawing back end keeps them. Nothing is decoded or drawn.
class WindowedRecordingGraphics : public RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;

  ~WindowedRecordingGraphics() override
  {
    // The controls hold references into the bitmap cache.
    RemoveAllControls();
  }

  void* OpenPlatformWindow(void* pParent) override
  {
    (void) pParent;
    if (refuseToOpen)
      return nullptr;
    mOpen = true;
    // The window layer sets the display's density before the layout runs.
    if (openScreenScale != GetScreenScale())
      SetScreenScale(openScreenScale);
    if (GetDelegate())
      GetDelegate()->LayoutEditor(this);
    SetAllControlsDirty();
    if (GetDelegate())
      GetDelegate()->OnEditorOpen();
    return this;
  }
  void ClosePlatformWindow() override { mOpen = false; }
  void* GetPlatformWindow() override { return mOpen ? this : nullptr; }

  IBitmapInfo LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) override
  {
    ++mLoadRequests;
    if (targetScale == 0)
      targetScale = static_cast<int>(std::ceil(GetScreenScale()));
    APIBitmap* bitmap = mBitmapCache.Find(name, targetScale);
    if (!bitmap)
    {
      const std::string fullName = name ? name : "";
      const size_t dot = fullName.find_last_of('.');
      const std::string ext = dot == std::string::npos ? "" : fullName.substr(dot + 1);
      std::string location;
      int foundScale = 0;
      if (SearchImageResource(name, ext.c_str(), location, targetScale, foundScale) != kWinBinary)
        return IBitmapInfo();
      int size = 0;
      const auto* png = static_cast<const uint8_t*>(LoadModuleResource(location.c_str(), ext.c_str(), size, GetModuleInstance()));
      if (!png || size < 24)
        return IBitmapInfo();
      ++mDecodes;
      auto decoded = std::make_unique<APIBitmap>(mDecodes, BigEndian(png + 16), BigEndian(png + 20),
                                                 static_cast<float>(foundScale), 1.f);
      bitmap = decoded.get();
      mBitmapCache.Add(std::move(decoded), name, targetScale);
    }
    return IBitmapInfo(bitmap, name, nStates, framesAreHorizontal);
  }
  using RecordingGraphics::LoadBitmap;

  int LoadRequests() const { return mLoadRequests; }
  // The density of the display the window opens on.
  float openScreenScale = 1.f;
  // A window that cannot open (no OpenGL context or renderer on this machine).
  bool refuseToOpen = false;
  int Decodes() const { return mDecodes; }

private:
  static int BigEndian(const uint8_t* p)
  {
    return static_cast<int>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]));
  }

  bool mOpen = false;
  int mLoadRequests = 0;
  int mDecodes = 0;
  IKeyedCache<APIBitmap> mBitmapCache;
};

} // namespace iplug::igraphics
