#pragma once

#include "support/OffscreenGLContext.h"

#include "renderer/RenderContext.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace test {

// One pixel read back, channels 0 to 255.
struct RGBA
{
  int v[4] = {0, 0, 0, 0};
  constexpr RGBA() = default;
  constexpr RGBA(int r, int g, int b, int a) : v{r, g, b, a} {}
  constexpr int operator[](int i) const { return v[i]; }
};

inline std::ostream& operator<<(std::ostream& os, const RGBA& c)
{
  return os << "(" << c[0] << ", " << c[1] << ", " << c[2] << ", " << c[3] << ")";
}

// A renderer on an off-screen GL context of kSize × kSize device pixels, cleared to transparent
// black before each frame. Colours read back are premultiplied (that is how the renderer blends).
class RendererFixture : public ::testing::Test
{
protected:
  static constexpr int kSize = 64;

  void SetUp() override
  {
    mGL = std::make_unique<OffscreenGLContext>(kSize, kSize);
    ASSERT_TRUE(mGL->Valid()) << mGL->Error();
    ctx = iplug::igraphics::renderer::RenderContext::Create(&OffscreenGLContext::GetProc,
                                                             iplug::igraphics::renderer::kContextAntiAlias);
    ASSERT_NE(ctx, nullptr);
  }

  void TearDown() override
  {
    ctx.reset();
    mGL.reset();
  }

  // A frame over the whole surface at `ratio` device pixels per logical unit.
  void Begin(float ratio = 1.f)
  {
    glViewport(0, 0, kSize, kSize);
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    ctx->BeginFrame(kSize / ratio, kSize / ratio, ratio);
  }

  void End()
  {
    ctx->EndFrame();
    pixels = OffscreenGLContext::ReadPixels(kSize, kSize);
  }

  // The device pixel at (x, y), top row 0.
  RGBA At(int x, int y) const
  {
    const size_t i = (size_t(y) * kSize + size_t(x)) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
  }

  static bool Near(const RGBA& a, const RGBA& b, int tolerance)
  {
    for (int i = 0; i < 4; ++i)
      if (std::abs(a[i] - b[i]) > tolerance)
        return false;
    return true;
  }

  ::testing::AssertionResult PixelIs(int x, int y, const RGBA& expected, int tolerance = 3) const
  {
    const RGBA got = At(x, y);
    if (Near(got, expected, tolerance))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << got << ", expected "
                                         << expected << " ± " << tolerance;
  }

  // Compares a block of pixels, from (x0, y0), with a small picture given as one character a
  // pixel: '#' full `ink`, '.' transparent, '+' anything in between (an anti-aliased edge).
  ::testing::AssertionResult BlockIs(int x0, int y0, const std::vector<std::string>& rows, const RGBA& ink,
                                     int tolerance = 3) const
  {
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
      {
        const int x = x0 + int(c), y = y0 + int(r);
        const RGBA got = At(x, y);
        const char want = rows[r][c];
        bool ok = true;
        if (want == '#')
          ok = Near(got, ink, tolerance);
        else if (want == '.')
          ok = Near(got, RGBA{0, 0, 0, 0}, tolerance);
        else
          ok = got[3] > tolerance && got[3] < ink[3] - tolerance;
        if (!ok)
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << got << ", wanted '"
                                               << want << "' of ink " << ink;
      }
    return ::testing::AssertionSuccess();
  }

  // Sum of alpha over a rectangle of device pixels.
  long AlphaSum(int x0, int y0, int x1, int y1) const
  {
    long sum = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        sum += At(x, y)[3];
    return sum;
  }

  std::unique_ptr<OffscreenGLContext> mGL;
  std::unique_ptr<iplug::igraphics::renderer::RenderContext> ctx;
  std::vector<uint8_t> pixels;
};

} // namespace test
