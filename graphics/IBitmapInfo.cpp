#include "IBitmapInfo.h"

namespace iplug::igraphics {

IBitmapInfo::IBitmapInfo(APIBitmap* bitmap, const std::string& name, int nFrames, bool framesHorizontal)
  : mAPIBitmap(bitmap), mFramesHorizontal(framesHorizontal), mResourceName(name)
{
  if (!bitmap)
    return;
  const float scale = bitmap->GetScale() > 0.f ? bitmap->GetScale() : 1.f;
  mW = static_cast<int>(static_cast<float>(bitmap->GetWidth()) / scale);
  mH = static_cast<int>(static_cast<float>(bitmap->GetHeight()) / scale);
  mN = nFrames < 1 ? 1 : nFrames;
}

int IBitmapInfo::FrameWidth() const
{
  if (mN < 1)
    return 0;
  return mFramesHorizontal ? mW / mN : mW;
}

int IBitmapInfo::FrameHeight() const
{
  if (mN < 1)
    return 0;
  return mFramesHorizontal ? mH : mH / mN;
}

} // namespace iplug::igraphics
