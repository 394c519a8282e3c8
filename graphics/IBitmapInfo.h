#pragma once

#include <string>

#include "APIBitmap.h"

namespace iplug::igraphics {

// A reference to a cached bitmap (it does not own the APIBitmap) with its logical size and its
// film-strip layout. A reference without a bitmap has no size and no frames and draws nothing.
class IBitmapInfo
{
public:
  IBitmapInfo() = default;
  IBitmapInfo(APIBitmap* bitmap, const std::string& name, int nFrames = 1, bool framesHorizontal = false);

  APIBitmap* GetAPIBitmap() const { return mAPIBitmap; }
  bool IsValid() const { return mAPIBitmap != nullptr; }
  // Logical size of the whole image: pixel size ÷ scale, truncated.
  int W() const { return mW; }
  int H() const { return mH; }
  int N() const { return mN; }
  bool GetFramesAreHorizontal() const { return mFramesHorizontal; }
  const std::string& GetResourceName() const { return mResourceName; }
  // One frame of the strip (integer division); 0 without frames.
  int FrameWidth() const;
  int FrameHeight() const;
  float GetScale() const { return mAPIBitmap ? mAPIBitmap->GetScale() : 0.f; }
  float GetDrawScale() const { return mAPIBitmap ? mAPIBitmap->GetDrawScale() : 0.f; }

private:
  APIBitmap* mAPIBitmap = nullptr;
  int mW = 0;
  int mH = 0;
  int mN = 0;
  bool mFramesHorizontal = false;
  std::string mResourceName;
};

} // namespace iplug::igraphics
