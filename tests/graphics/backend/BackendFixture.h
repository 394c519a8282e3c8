#pragma once

#include "support/OffscreenGLContext.h"

#include "IControl.h"
#include "backend/IGraphicsVectorGL.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace test {

// PNG bytes of an RGBA picture (rows top first).
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgba);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
// A picture of one colour.
std::vector<uint8_t> SolidRGBA(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

inline const char* kRobotoPath = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

// A platform font made from bytes in memory; it counts how often its bytes were asked for, so
// tests can tell a font read again from one served by the process-wide cache.
class MemoryFont : public iplug::igraphics::PlatformFont
{
public:
  explicit MemoryFont(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}
  std::unique_ptr<iplug::igraphics::FontData> GetFontData() override;

  static int fontDataRequests;

private:
  std::vector<uint8_t> mBytes;
};

// The drawing back end with everything a window would give it answered by test stand-ins: the
// GL entry points come from the off-screen context, fonts from bytes or files, and the window,
// clipboard and dialog operations do nothing.
class TestVectorGraphics : public iplug::igraphics::IGraphicsVectorGL
{
public:
  using IGraphicsVectorGL::IGraphicsVectorGL;
  using IGraphicsVectorGL::DrawResize;
  using IGraphicsVectorGL::LoadAPIFont;
  using IGraphicsVectorGL::CreateAPIBitmap;
  using IGraphicsVectorGL::PathTransformSetMatrix;
  using IGraphicsVectorGL::SetClipRegion;
  using IGraphicsVectorGL::DoMeasureText;
  using IGraphicsVectorGL::ForgetWindowFrame;

  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool hide, bool lock) override { (void) hide, (void) lock; }
  void MoveMouseCursor(float x, float y) override { (void) x, (void) y; }
  void CancelPlatformTextEntry() override {}
  void* OpenPlatformWindow(void* pParent) override { return pParent; }
  void ClosePlatformWindow() override {}
  void* GetPlatformWindow() override { return nullptr; }
  bool GetTextFromClipboard(std::string& str) override { return (void) str, false; }
  bool SetTextInClipboard(const char* str) override { return (void) str, false; }
  void NotifyPopupMenu(iplug::igraphics::IPopupMenu& menu) override { (void) menu; }
  iplug::igraphics::EMsgBoxResult ShowMessageBox(const char*, const char*, iplug::igraphics::EMsgBoxType,
                                                 iplug::igraphics::IMsgBoxCompletionHandlerFunc) override;
  void PromptForFile(std::string&, std::string&, iplug::igraphics::EFileAction, const char*,
                     iplug::igraphics::IFileDialogCompletionHandlerFunc) override {}
  void PromptForDirectory(std::string&, iplug::igraphics::IFileDialogCompletionHandlerFunc) override {}
  bool PromptForColor(iplug::igraphics::IColor&, const char*, iplug::igraphics::IColorPickerHandlerFunc) override
  {
    return false;
  }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }

protected:
  iplug::igraphics::renderer::GetProcAddressFn GetGLProcAddress() const override { return &OffscreenGLContext::GetProc; }
  iplug::igraphics::PlatformFontPtr LoadPlatformFont(const char*, const char*, iplug::igraphics::ETextStyle) override
  {
    return nullptr;
  }
  iplug::igraphics::PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  iplug::igraphics::PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char*, const iplug::igraphics::PlatformFontPtr&) override {}
  void CreatePlatformTextEntry(int, const iplug::igraphics::ITextStyle&, const iplug::igraphics::IRect&, int,
                               const char*) override
  {
  }
  iplug::igraphics::IPopupMenu* CreatePlatformPopupMenu(iplug::igraphics::IPopupMenu&, const iplug::igraphics::IRect&,
                                                        bool& isAsync) override
  {
    isAsync = false;
    return nullptr;
  }
};

// A control that runs a drawing function and counts how often it was drawn.
class DrawFuncControl : public iplug::igraphics::IControl
{
public:
  using Func = std::function<void(iplug::igraphics::IGraphics&, const iplug::igraphics::IRect&)>;
  DrawFuncControl(const iplug::igraphics::IRect& bounds, Func func) : IControl(bounds), mFunc(std::move(func)) {}
  void Draw(iplug::igraphics::IGraphics& g) override
  {
    ++draws;
    mFunc(g, GetRECT());
  }
  int draws = 0;

private:
  Func mFunc;
};

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

inline constexpr RGBA kClear{0, 0, 0, 0};
inline constexpr RGBA kRed{255, 0, 0, 255};
inline constexpr RGBA kGreen{0, 255, 0, 255};
inline constexpr RGBA kBlue{0, 0, 255, 255};
inline constexpr RGBA kWhite{255, 255, 255, 255};
inline constexpr RGBA kBlack{0, 0, 0, 255};

// The back end on an off-screen GL context of kSurface × kSurface pixels, with an editor of
// kWidth × kHeight logical pixels. Frames are drawn through the back end's own frame cycle; the
// window's picture is read back after each one (rows top first, colours premultiplied).
class BackendFixture : public ::testing::Test
{
protected:
  static constexpr int kSurface = 256;
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 48;

  void SetUp() override;
  void TearDown() override;

  // A back end with its renderer and main framebuffer, at the given zoom and screen scale.
  std::unique_ptr<TestVectorGraphics> MakeGraphics(float drawScale = 1.f, float screenScale = 1.f,
                                                   int width = kWidth, int height = kHeight);
  // (Re)makes `g` at the given zoom and screen scale.
  void Open(float drawScale = 1.f, float screenScale = 1.f);

  // One frame in which `draw` runs as the drawing of a control covering the whole editor (the
  // transform reset, clipped to the editor), then the window's picture read back.
  void Frame(const std::function<void(iplug::igraphics::IGraphics&)>& draw);
  // Reads the window's framebuffer as it is now.
  void ReadWindow();
  // Reads the back end's main framebuffer.
  std::vector<uint8_t> ReadMainFramebuffer();

  int PhysicalWidth() const;
  int PhysicalHeight() const;
  // The window pixel at physical (x, y), top row 0.
  RGBA At(int x, int y) const;
  static RGBA At(const std::vector<uint8_t>& px, int width, int x, int y);
  static bool Near(const RGBA& a, const RGBA& b, int tolerance);
  ::testing::AssertionResult PixelIs(int x, int y, const RGBA& expected, int tolerance = 3) const;
  // A block of pixels from (x0, y0) against a small picture, one character a pixel: '#' full
  // `ink`, '.' transparent, '+' partly covered (an anti-aliased edge).
  ::testing::AssertionResult BlockIs(int x0, int y0, const std::vector<std::string>& rows, const RGBA& ink,
                                     int tolerance = 3) const;
  // The same with one colour per character; '+' is still "partly covered".
  ::testing::AssertionResult BlockIs(int x0, int y0, const std::vector<std::string>& rows,
                                     const std::map<char, RGBA>& palette, int tolerance = 3) const;
  // Sum of alpha over physical pixels [x0, x1) × [y0, y1).
  long AlphaSum(int x0, int y0, int x1, int y1) const;

  std::unique_ptr<OffscreenGLContext> mGL;
  std::unique_ptr<TestVectorGraphics> g;
  std::vector<uint8_t> pixels;
};

} // namespace test
