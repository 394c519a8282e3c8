#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// A desktop OpenGL context (compatibility profile, 2.x-compatible) on an off-screen pbuffer with
// 8-bit RGBA and an 8-bit stencil, made through EGL on Mesa's surfaceless platform, so that GL
// tests and benchmarks run headless. The context is current on the constructing thread.
class OffscreenGLContext
{
public:
  OffscreenGLContext(int width, int height);
  ~OffscreenGLContext();
  OffscreenGLContext(const OffscreenGLContext&) = delete;
  OffscreenGLContext& operator=(const OffscreenGLContext&) = delete;

  bool Valid() const { return mValid; }
  // Why the context could not be made.
  const std::string& Error() const { return mError; }
  bool MakeCurrent();
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  // The procedure-address function the renderer loads its entry points through.
  static void* GetProc(const char* name);

  // RGBA bytes of the framebuffer bound now, rows top first (OpenGL reads them bottom first).
  static std::vector<uint8_t> ReadPixels(int width, int height);

private:
  void* mDisplay = nullptr;
  void* mContext = nullptr;
  void* mSurface = nullptr;
  int mWidth = 0, mHeight = 0;
  bool mValid = false;
  std::string mError;
};

} // namespace test
