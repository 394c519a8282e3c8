#pragma once

#include <memory>

#include "APIBitmap.h"
#include "IRect.h"

namespace iplug::igraphics {

class IControl;

// One off-screen drawing target: a back-end bitmap covering pixel-aligned bounds, optionally
// tied to the control that draws into it so that a move or resize of that control invalidates it.
class IDrawLayer
{
public:
  IDrawLayer(std::unique_ptr<APIBitmap> bitmap, IControl* owner, const IRect& ownerBounds, const IRect& bounds)
    : mBitmap(std::move(bitmap)), mOwner(owner), mOwnerBounds(ownerBounds), mBounds(bounds)
  {
  }

  APIBitmap* GetAPIBitmap() const { return mBitmap.get(); }
  IControl* GetOwner() const { return mOwner; }
  const IRect& GetOwnerBounds() const { return mOwnerBounds; }
  void SetOwnerBounds(const IRect& r) { mOwnerBounds = r; }
  const IRect& Bounds() const { return mBounds; }
  bool IsInvalid() const { return mInvalid; }
  void Invalidate() { mInvalid = true; }

private:
  std::unique_ptr<APIBitmap> mBitmap;
  IControl* mOwner = nullptr;
  IRect mOwnerBounds;
  IRect mBounds;
  bool mInvalid = false;
};

using ILayerPtr = std::unique_ptr<IDrawLayer>;

} // namespace iplug::igraphics
