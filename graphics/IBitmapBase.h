#pragma once

#include "IBitmapInfo.h"

namespace iplug::igraphics {

class IControl;
class IGraphics;

// The film-strip half of a bitmap control: holds the bitmap, picks the frame that shows the
// owning control's value and draws it centred in the control, and asks for the bitmap again at
// the display's density when the scale changes.
class IBitmapBase
{
public:
  explicit IBitmapBase(const IBitmapInfo& bitmap) : mBitmap(bitmap) {}
  virtual ~IBitmapBase() = default;

  // Frame 1 for a single image; otherwise the frame nearest to the owner's slot 0 value.
  void DrawCurrentFrame(IGraphics& g);
  void RescaleBitmap();

  const IBitmapInfo& GetBitmap() const { return mBitmap; }

protected:
  void SetOwner(IControl* owner) { mOwner = owner; }

  IBitmapInfo mBitmap;
  IControl* mOwner = nullptr;
};

} // namespace iplug::igraphics
