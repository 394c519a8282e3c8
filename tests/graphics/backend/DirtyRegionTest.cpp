// A frame with one dirty control: every pixel inside its region is drawn again exactly as a full
// redraw would draw it, and every pixel outside keeps what the previous frame left, at each zoom
// and screen scale (the renderer keeps the rasteriser inside each region, so a wrong region in
// device pixels shows here as stale or overwritten pixels).
#include "BackendFixture.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <tuple>

using namespace iplug::igraphics;

namespace test {
namespace {

class DirtyRegionTest : public BackendFixture, public ::testing::WithParamInterface<std::tuple<float, float>>
{
protected:
  // A background over the whole editor (a fill, an ellipse and a diagonal stroke whose edges cross
  // the knob, text far from it) and a knob-sized control; the colours come from the test.
  void AttachFace()
  {
    background = new DrawFuncControl(g->GetBounds(), [this](IGraphics& gr, const IRect& r) {
      gr.FillRect(bgFrom, r);
      gr.FillEllipse(bgTo, r.Grown(-3.f));
      gr.DrawLine(bgFrom, r.L, r.T, r.R, r.B, nullptr, 3.f);
      gr.DrawText(ITextStyle(10.f, bgFrom), "dB", IRect(2, 30, 30, 46));
    });
    knob = new DrawFuncControl(IRect(36, 4, 60, 44), [this](IGraphics& gr, const IRect& r) {
      gr.FillEllipse(knobColor, r.Grown(-2.f));
    });
    g->AttachControl(background);
    g->AttachControl(knob);
    g->LoadFont("Roboto-Regular", kRobotoPath);
  }

  void Tick()
  {
    IRectList rects;
    if (g->IsDirty(rects))
    {
      g->SetAllControlsClean();
      g->Draw(rects);
    }
    glFinish();
    ReadWindow();
  }

  DrawFuncControl* background = nullptr;
  DrawFuncControl* knob = nullptr;
  IColor bgFrom = kColorBlue, bgTo = kColorYellow, knobColor = kColorRed;
};

TEST_P(DirtyRegionTest, OneControlFrameRedrawsItsRegionAndLeavesTheRest)
{
  const auto [zoom, screen] = GetParam();
  Open(zoom, screen);
  AttachFace();
  Tick();
  const std::vector<uint8_t> before = pixels;

  // Every colour changes, but only the knob is marked dirty: the background is drawn again only
  // inside the knob's region.
  bgFrom = kColorGreen;
  bgTo = IColor(255, 255, 0, 255);
  knobColor = kColorWhite;
  knob->SetDirty(false);
  Tick();
  EXPECT_EQ(background->draws, 2);
  const std::vector<uint8_t> partial = pixels;

  g->SetAllControlsDirty();
  Tick();
  const std::vector<uint8_t> full = pixels;

  const float scale = g->GetBackingPixelScale();
  const IRect region = knob->GetRECT().Grown(0.75f).PixelAligned(scale);
  const int x0 = int(std::lround(region.L * scale)), x1 = int(std::lround(region.R * scale));
  const int y0 = int(std::lround(region.T * scale)), y1 = int(std::lround(region.B * scale));
  const int w = PhysicalWidth(), h = PhysicalHeight();
  int inside = 0, outside = 0, changedInside = 0, changedOutside = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
      const RGBA got = At(partial, w, x, y);
      const RGBA want = in ? At(full, w, x, y) : At(before, w, x, y);
      ASSERT_TRUE(Near(got, want, 1)) << (in ? "inside" : "outside") << " the region at (" << x << ", " << y
                                      << "): " << got << ", expected " << want << " (zoom " << zoom << ", screen "
                                      << screen << ")";
      (in ? inside : outside) += 1;
      if (!Near(At(before, w, x, y), At(full, w, x, y), 1))
        (in ? changedInside : changedOutside) += 1;
    }
  // The check above means something only when both sides had pixels that a wrong clip would
  // have got wrong.
  EXPECT_GT(changedInside, inside / 2);
  EXPECT_GT(changedOutside, outside / 2);
}

// A driver without framebuffer copies: the picture reaches the window drawn as an image instead.
void* ProcWithoutBlit(const char* name)
{
  return std::strncmp(name, "glBlitFramebuffer", 17) == 0 ? nullptr : OffscreenGLContext::GetProc(name);
}

class GraphicsWithoutBlit : public TestVectorGraphics
{
public:
  using TestVectorGraphics::TestVectorGraphics;

protected:
  renderer::GetProcAddressFn GetGLProcAddress() const override { return &ProcWithoutBlit; }
};

// The window receives the main framebuffer exactly, edges included, whether it is copied or drawn:
// the composite adds nothing and loses nothing.
TEST_P(DirtyRegionTest, TheWindowShowsTheMainFramebufferExactly)
{
  const auto [zoom, screen] = GetParam();
  for (const bool blit : {true, false})
  {
    SCOPED_TRACE(blit ? "copied" : "drawn");
    if (blit)
      Open(zoom, screen);
    else
    {
      g->OnViewDestroyed();
      g = std::make_unique<GraphicsWithoutBlit>(nullptr, kWidth, kHeight, 60, zoom);
      g->OnViewInitialized(nullptr);
      g->SetScreenScale(screen);
      ASSERT_NE(g->GetMainFramebuffer(), nullptr);
    }
    AttachFace();
    Tick();
    const std::vector<uint8_t> main = ReadMainFramebuffer();
    ASSERT_EQ(main.size(), pixels.size());
    const int w = PhysicalWidth();
    for (size_t i = 0; i < main.size(); i += 4)
    {
      const int x = int(i / 4) % w, y = int(i / 4) / w;
      ASSERT_TRUE(Near(At(pixels, w, x, y), At(main, w, x, y), 0))
        << "at (" << x << ", " << y << "): " << At(pixels, w, x, y) << ", main framebuffer " << At(main, w, x, y);
    }
  }
}

// A window whose framebuffer keeps its pixels from frame to frame, as after a swap that copies.
template <typename Base>
class KeepingWindow : public Base
{
public:
  using Base::Base;

protected:
  bool WindowKeepsFrame() const override { return true; }
};

// Such a window gets only what the frame repainted (the rest of it stays as it was, here paint
// left there from elsewhere), yet shows the main framebuffer exactly wherever the frame changed
// it; once it may have lost its pixels, or without framebuffer copies, it gets the whole picture.
TEST_P(DirtyRegionTest, AWindowThatKeepsItsPixelsGetsOnlyTheRepaintedRegion)
{
  const auto [zoom, screen] = GetParam();
  for (const bool blit : {true, false})
  {
    SCOPED_TRACE(blit ? "copied" : "drawn");
    if (g)
      g->OnViewDestroyed();
    if (blit)
      g = std::make_unique<KeepingWindow<TestVectorGraphics>>(nullptr, kWidth, kHeight, 60, zoom);
    else
      g = std::make_unique<KeepingWindow<GraphicsWithoutBlit>>(nullptr, kWidth, kHeight, 60, zoom);
    g->OnViewInitialized(nullptr);
    g->SetScreenScale(screen);
    ASSERT_NE(g->GetMainFramebuffer(), nullptr);
    AttachFace();
    const int w = PhysicalWidth(), h = PhysicalHeight();
    const RGBA junk{255, 0, 255, 255};
    auto spoilWindow = [] {
      glClearColor(1.f, 0.f, 1.f, 1.f);
      glClear(GL_COLOR_BUFFER_BIT);
    };
    auto windowIsMainFramebuffer = [&] {
      const std::vector<uint8_t> main = ReadMainFramebuffer();
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (!Near(At(pixels, w, x, y), At(main, w, x, y), 0))
            return ::testing::AssertionFailure() << "at (" << x << ", " << y << "): " << At(pixels, w, x, y)
                                                 << ", main framebuffer " << At(main, w, x, y);
      return ::testing::AssertionSuccess();
    };

    // The first frame gives the window everything, whatever was there.
    spoilWindow();
    Tick();
    EXPECT_TRUE(windowIsMainFramebuffer());

    // One control changes: its region (with the pixel the renderer's soft clip edge may reach)
    // is replaced, and the rest of the window is left alone.
    spoilWindow();
    knobColor = kColorGreen;
    knob->SetDirty(false);
    Tick();
    const std::vector<uint8_t> main = ReadMainFramebuffer();
    const float scale = g->GetBackingPixelScale();
    const IRect region = knob->GetRECT().Grown(0.75f).PixelAligned(scale);
    const int x0 = int(std::lround(region.L * scale)), x1 = int(std::lround(region.R * scale));
    const int y0 = int(std::lround(region.T * scale)), y1 = int(std::lround(region.B * scale));
    int replaced = 0, kept = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
        const bool out = x < x0 - 1 || x >= x1 + 1 || y < y0 - 1 || y >= y1 + 1;
        const RGBA got = At(pixels, w, x, y);
        // Drawn rather than copied, the picture goes to the window whole.
        if (in || !blit)
        {
          ASSERT_TRUE(Near(got, At(main, w, x, y), 0)) << "at (" << x << ", " << y << "): " << got;
        }
        else if (out)
        {
          ASSERT_TRUE(Near(got, junk, 0)) << "at (" << x << ", " << y << "): " << got;
        }
        if (in)
          ++replaced;
        else if (out)
          ++kept;
      }
    EXPECT_GT(replaced, 0);
    EXPECT_GT(kept, replaced);

    // A window that lost its pixels, and one of a new size, get everything again.
    spoilWindow();
    g->ForgetWindowFrame();
    knob->SetDirty(false);
    Tick();
    EXPECT_TRUE(windowIsMainFramebuffer());

    g->SetScreenScale(screen == 1.f ? 2.f : 1.f);
    spoilWindow();
    const int w2 = PhysicalWidth(), h2 = PhysicalHeight();
    ASSERT_NE(w2, w);
    Tick();
    const std::vector<uint8_t> resized = ReadMainFramebuffer();
    for (int y = 0; y < h2; ++y)
      for (int x = 0; x < w2; ++x)
        ASSERT_TRUE(Near(At(pixels, w2, x, y), At(resized, w2, x, y), 0))
          << "after the resize at (" << x << ", " << y << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(ZoomAndScreen, DirtyRegionTest,
                         ::testing::Values(std::make_tuple(1.f, 1.f), std::make_tuple(2.f, 1.f),
                                           std::make_tuple(1.f, 2.f), std::make_tuple(1.5f, 1.f),
                                           std::make_tuple(2.f, 2.f)));

} // namespace
} // namespace test
