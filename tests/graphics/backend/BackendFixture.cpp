#include "BackendFixture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <fstream>
#include <iterator>

#include "renderer/Framebuffer.h"
#include "renderer/RenderContext.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

using namespace iplug::igraphics;

namespace test {

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgba)
{
  int length = 0;
  unsigned char* png = stbi_write_png_to_mem(rgba.data(), width * 4, width, height, 4, &length);
  std::vector<uint8_t> bytes(png, png + length);
  STBIW_FREE(png);
  return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> SolidRGBA(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
  std::vector<uint8_t> px(size_t(width) * size_t(height) * 4);
  for (size_t i = 0; i < px.size(); i += 4)
  {
    px[i] = r;
    px[i + 1] = g;
    px[i + 2] = b;
    px[i + 3] = a;
  }
  return px;
}

// ---- MemoryFont and TestVectorGraphics ------------------------------------------------------

int MemoryFont::fontDataRequests = 0;

std::unique_ptr<FontData> MemoryFont::GetFontData()
{
  ++fontDataRequests;
  const int face = FontInfo::FaceCount(mBytes.data(), mBytes.size()) > 0 ? 0 : -1;
  return std::make_unique<FontData>(mBytes, face);
}

EMsgBoxResult TestVectorGraphics::ShowMessageBox(const char*, const char*, EMsgBoxType, IMsgBoxCompletionHandlerFunc)
{
  return kNoResult;
}

PlatformFontPtr TestVectorGraphics::LoadPlatformFont(const char* fontID, void* pData, int dataSize)
{
  (void) fontID;
  if (!pData || dataSize <= 0)
    return nullptr;
  const auto* bytes = static_cast<const uint8_t*>(pData);
  return std::make_unique<MemoryFont>(std::vector<uint8_t>(bytes, bytes + dataSize));
}

PlatformFontPtr TestVectorGraphics::LoadPlatformFont(const char* fontID, const char* fileNameOrResID)
{
  (void) fontID;
  std::vector<uint8_t> bytes = ReadFileBytes(fileNameOrResID ? fileNameOrResID : "");
  if (bytes.empty())
    return nullptr;
  return std::make_unique<MemoryFont>(std::move(bytes));
}

// ---- BackendFixture -------------------------------------------------------------------------

void BackendFixture::SetUp()
{
  mGL = std::make_unique<OffscreenGLContext>(kSurface, kSurface);
  ASSERT_TRUE(mGL->Valid()) << mGL->Error();
  Open();
}

void BackendFixture::TearDown()
{
  if (g)
    g->OnViewDestroyed();
  g.reset();
  mGL.reset();
}

std::unique_ptr<TestVectorGraphics> BackendFixture::MakeGraphics(float drawScale, float screenScale, int width,
                                                                 int height)
{
  auto graphics = std::make_unique<TestVectorGraphics>(nullptr, width, height, 60, drawScale);
  graphics->OnViewInitialized(nullptr);
  // As the window does when it opens: the screen scale, which also makes the main framebuffer.
  graphics->SetScreenScale(screenScale);
  return graphics;
}

void BackendFixture::Open(float drawScale, float screenScale)
{
  if (g)
    g->OnViewDestroyed();
  g = MakeGraphics(drawScale, screenScale);
  ASSERT_NE(g->GetDrawContext(), nullptr);
  ASSERT_NE(g->GetMainFramebuffer(), nullptr);
}

int BackendFixture::PhysicalWidth() const
{
  return int(float(int(float(g->Width()) * g->GetDrawScale())) * g->GetScreenScale());
}

int BackendFixture::PhysicalHeight() const
{
  return int(float(int(float(g->Height()) * g->GetDrawScale())) * g->GetScreenScale());
}

void BackendFixture::Frame(const std::function<void(IGraphics&)>& draw)
{
  // Drawn as a control covering the editor is drawn: transform reset, clipped to its bounds.
  DrawFuncControl control(g->GetBounds(), [&draw](IGraphics& gr, const IRect&) { draw(gr); });
  g->BeginFrame();
  g->DrawControl(&control, g->GetBounds(), g->GetBackingPixelScale());
  g->EndFrame();
  ReadWindow();
}

void BackendFixture::ReadWindow()
{
  pixels = OffscreenGLContext::ReadPixels(PhysicalWidth(), PhysicalHeight());
}

std::vector<uint8_t> BackendFixture::ReadMainFramebuffer()
{
  const auto* vg = static_cast<renderer::RenderContext*>(g->GetDrawContext());
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  vg->GL().BindFramebuffer(GL_FRAMEBUFFER, g->GetMainFramebuffer()->fbo);
  std::vector<uint8_t> px = OffscreenGLContext::ReadPixels(PhysicalWidth(), PhysicalHeight());
  vg->GL().BindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
  return px;
}

RGBA BackendFixture::At(const std::vector<uint8_t>& px, int width, int x, int y)
{
  const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 4;
  return {px[i], px[i + 1], px[i + 2], px[i + 3]};
}

RGBA BackendFixture::At(int x, int y) const { return At(pixels, PhysicalWidth(), x, y); }

bool BackendFixture::Near(const RGBA& a, const RGBA& b, int tolerance)
{
  for (int i = 0; i < 4; ++i)
  {
    if (std::abs(a[i] - b[i]) > tolerance)
      return false;
  }
  return true;
}

::testing::AssertionResult BackendFixture::PixelIs(int x, int y, const RGBA& expected, int tolerance) const
{
  const RGBA got = At(x, y);
  if (Near(got, expected, tolerance))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << got << ", expected " << expected
                                       << " ± " << tolerance;
}

::testing::AssertionResult BackendFixture::BlockIs(int x0, int y0, const std::vector<std::string>& rows,
                                                   const RGBA& ink, int tolerance) const
{
  return BlockIs(x0, y0, rows, {{'#', ink}, {'.', kClear}}, tolerance);
}

::testing::AssertionResult BackendFixture::BlockIs(int x0, int y0, const std::vector<std::string>& rows,
                                                   const std::map<char, RGBA>& palette, int tolerance) const
{
  for (size_t r = 0; r < rows.size(); ++r)
  {
    for (size_t c = 0; c < rows[r].size(); ++c)
    {
      const int x = x0 + int(c), y = y0 + int(r);
      const RGBA got = At(x, y);
      const char want = rows[r][c];
      const auto it = palette.find(want);
      const bool ok = it != palette.end() ? Near(got, it->second, tolerance)
                                          : got[3] > tolerance && got[3] < 255 - tolerance;
      if (!ok)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << got << ", wanted '" << want
                                             << "'" << (it != palette.end() ? " " : "")
                                             << (it != palette.end() ? it->second : RGBA());
    }
  }
  return ::testing::AssertionSuccess();
}

long BackendFixture::AlphaSum(int x0, int y0, int x1, int y1) const
{
  long sum = 0;
  for (int y = y0; y < y1; ++y)
  {
    for (int x = x0; x < x1; ++x)
      sum += At(x, y)[3];
  }
  return sum;
}

} // namespace test
