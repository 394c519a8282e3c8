#pragma once

namespace iplug::igraphics {

// An image made by the drawing back end. Whoever holds it owns it (the back end's bitmap cache or
// a layer); back ends derive from it to release their image when it goes.
class APIBitmap
{
public:
  APIBitmap() = default;
  // image: the back end's handle; width and height in physical pixels; scale: physical pixels per
  // logical pixel the image was made for; drawScale: the editor zoom it was rendered for.
  APIBitmap(int image, int width, int height, float scale, float drawScale)
    : mImage(image), mWidth(width), mHeight(height), mScale(scale), mDrawScale(drawScale)
  {
  }
  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;
  virtual ~APIBitmap() = default;

  int GetImage() const { return mImage; }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  float GetScale() const { return mScale; }
  float GetDrawScale() const { return mDrawScale; }

protected:
  int mImage = 0;
  int mWidth = 0;
  int mHeight = 0;
  float mScale = 1.f;
  float mDrawScale = 1.f;
};

} // namespace iplug::igraphics
