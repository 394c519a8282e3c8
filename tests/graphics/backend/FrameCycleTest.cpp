// The frame cycle: the persistent main framebuffer, region redraws, the composited window
// picture, resizing, and closing and reopening the view.
#include "BackendFixture.h"

#include <GL/gl.h>

#include <algorithm>

#include "renderer/Framebuffer.h"

using namespace iplug::igraphics;

namespace test {
namespace {

class FrameCycleTest : public BackendFixture
{
protected:
  // Two side-by-side controls: a red one on the left and one on the right whose colour the
  // test changes.
  void AttachTwo()
  {
    left = new DrawFuncControl(IRect(4, 4, 28, 44), [](IGraphics& gr, const IRect& r) { gr.FillRect(kColorRed, r); });
    right = new DrawFuncControl(IRect(36, 4, 60, 44),
                                [this](IGraphics& gr, const IRect& r) { gr.FillRect(rightColor, r); });
    g->AttachControl(left);
    g->AttachControl(right);
  }

  // The display tick and the paint, as the window drives them.
  void Tick()
  {
    IRectList rects;
    if (g->IsDirty(rects))
    {
      g->SetAllControlsClean();
      g->Draw(rects);
    }
    ReadWindow();
  }

  DrawFuncControl* left = nullptr;
  DrawFuncControl* right = nullptr;
  IColor rightColor = kColorBlue;
};

TEST_F(FrameCycleTest, RegionRedrawKeepsTheRestAndTheWindowGetsTheWholePicture)
{
  AttachTwo();
  Tick();
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kBlue));
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 1);

  // Only the right control changes: only it is drawn, yet the window shows both.
  rightColor = kColorGreen;
  right->SetDirty(false);
  Tick();
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 2);
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kGreen));
  EXPECT_TRUE(PixelIs(32, 20, kClear));

  // The main framebuffer itself holds the whole picture too.
  const std::vector<uint8_t> main = ReadMainFramebuffer();
  EXPECT_TRUE(Near(At(main, PhysicalWidth(), 10, 20), kRed, 3));
  EXPECT_TRUE(Near(At(main, PhysicalWidth(), 50, 20), kGreen, 3));

  // A frame with no dirty region draws nothing and leaves the window as it was.
  Tick();
  EXPECT_EQ(right->draws, 2);
  EXPECT_TRUE(PixelIs(10, 20, kRed));
}

// A fresh renderer's first picture reaches the window drawn, not copied (readying the copy costs
// a software rasteriser more than the frame); an idle tick readies the copy without changing
// what the window shows, and later frames are copied.
TEST_F(FrameCycleTest, TheFirstFrameIsDrawnOntoTheWindowAndAnIdleTickReadiesTheCopy)
{
  AttachTwo();
  EXPECT_FALSE(g->FrameCopyWarmUpDue());
  g->WarmUpFrameCopy(); // nothing drawn yet: nothing to ready
  EXPECT_FALSE(g->FrameCopyWarmUpDue());

  Tick();
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kBlue));
  EXPECT_TRUE(PixelIs(32, 20, kClear));
  ASSERT_TRUE(g->FrameCopyWarmUpDue());

  const std::vector<uint8_t> shown = pixels;
  g->WarmUpFrameCopy();
  EXPECT_FALSE(g->FrameCopyWarmUpDue());
  ReadWindow();
  EXPECT_EQ(pixels, shown);

  rightColor = kColorGreen;
  right->SetDirty(false);
  Tick();
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kGreen));
  EXPECT_FALSE(g->FrameCopyWarmUpDue());

  // A new renderer starts over.
  Open();
  AttachTwo();
  Tick();
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kGreen));
  EXPECT_TRUE(g->FrameCopyWarmUpDue());
}

TEST_F(FrameCycleTest, AFirstFrameOfOverAMillionPixelsIsCopied)
{
  g->OnViewDestroyed();
  g = MakeGraphics(1.f, 1.f, 1100, 1000);
  ASSERT_NE(g->GetMainFramebuffer(), nullptr);
  AttachTwo();
  Tick();
  EXPECT_FALSE(g->FrameCopyWarmUpDue());
  // The window (smaller than the frame) shows the frame's bottom rows: the empty part.
  EXPECT_TRUE(PixelIs(10, 20, kClear));
  const std::vector<uint8_t> main = ReadMainFramebuffer();
  EXPECT_TRUE(Near(At(main, PhysicalWidth(), 10, 20), kRed, 3));
}

TEST_F(FrameCycleTest, TheWindowIsClearedEveryFrameButTheMainFramebufferIsNot)
{
  // Something left in the window's framebuffer from elsewhere does not show through.
  AttachTwo();
  glClearColor(1.f, 1.f, 0.f, 1.f);
  glClear(GL_COLOR_BUFFER_BIT);
  Tick();
  EXPECT_TRUE(PixelIs(32, 20, kClear));
  EXPECT_TRUE(PixelIs(10, 20, kRed));
}

TEST_F(FrameCycleTest, ResizeReplacesTheMainFramebufferAndRedrawsEverything)
{
  AttachTwo();
  Tick();
  ASSERT_EQ(g->GetMainFramebuffer()->width, 64);

  g->SetScreenScale(2.f);
  const renderer::Framebuffer* main = g->GetMainFramebuffer();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->width, 128);
  EXPECT_EQ(main->height, 96);
  // Nothing of the old picture is in the new framebuffer.
  const std::vector<uint8_t> fresh = ReadMainFramebuffer();
  EXPECT_TRUE(Near(At(fresh, PhysicalWidth(), 20, 40), kClear, 0));

  Tick();
  EXPECT_EQ(left->draws, 2);
  EXPECT_EQ(right->draws, 2);
  EXPECT_TRUE(PixelIs(20, 40, kRed));
  EXPECT_TRUE(PixelIs(100, 40, kBlue));

  // A change of zoom does the same, sized by int(int(size × zoom) × screen scale).
  g->Resize(64, 48, 1.5f);
  EXPECT_EQ(g->GetMainFramebuffer()->width, 192);
  EXPECT_EQ(g->GetMainFramebuffer()->height, 144);
  Tick();
  EXPECT_TRUE(PixelIs(4 * 3, 4 * 3, kRed));
  EXPECT_TRUE(PixelIs(60 * 3 - 1, 44 * 3 - 1, kBlue));
}

// A corner drag resizes at every step. Each step drawing into a framebuffer of its own would leave
// the driver holding the last few and the heap scattered with sizes never asked for again: the
// drag draws into one framebuffer made for the largest zoom, fitted to the face when it ends.
TEST_F(FrameCycleTest, ACornerDragDrawsIntoOneFramebufferFittedWhenItEnds)
{
  AttachTwo();
  Tick();
  struct Case
  {
    float endZoom;
    int fittedWidth, fittedHeight;
  };
  for (const Case& c : {Case{2.f, 128, 96}, Case{1.5f, 96, 72}})
  {
    SCOPED_TRACE(c.endZoom);
    g->Resize(kWidth, kHeight, 1.f);
    Tick();
    g->SetResizingInProcess(true);
    const renderer::Framebuffer* during = nullptr;
    for (float zoom = 1.1f; zoom < c.endZoom + 0.01f; zoom += 0.1f)
    {
      g->Resize(kWidth, kHeight, std::min(zoom, c.endZoom));
      Tick();
      if (!during)
        during = g->GetMainFramebuffer();
      ASSERT_EQ(g->GetMainFramebuffer(), during) << "made again at zoom " << zoom;
      EXPECT_EQ(during->width, 128);
      EXPECT_EQ(during->height, 96);
      // The step's face is whole in the window: its corners where the zoom puts them.
      const float k = g->GetDrawScale();
      EXPECT_TRUE(PixelIs(int(5 * k), int(5 * k), kRed));
      EXPECT_TRUE(PixelIs(int(59 * k), int(43 * k), kBlue));
      EXPECT_TRUE(PixelIs(int(32 * k), int(24 * k), kClear));
    }
    const int drawsBefore = right->draws;
    IMouseEvent up;
    up.x = float(kWidth);
    up.y = float(kHeight);
    g->OnMouseUp({up});
    EXPECT_FALSE(g->GetResizingInProcess());
    ASSERT_NE(g->GetMainFramebuffer(), nullptr);
    EXPECT_EQ(g->GetMainFramebuffer()->width, c.fittedWidth);
    EXPECT_EQ(g->GetMainFramebuffer()->height, c.fittedHeight);
    Tick();
    EXPECT_EQ(right->draws, drawsBefore + 1) << "the face is drawn whole once the drag ends";
    const float k = g->GetDrawScale();
    EXPECT_TRUE(PixelIs(int(6 * k), int(6 * k), kRed));
    EXPECT_TRUE(PixelIs(int(58 * k), int(42 * k), kBlue));
    EXPECT_TRUE(PixelIs(int(32 * k), int(24 * k), kClear));
  }
}

TEST_F(FrameCycleTest, ClosingTheViewDropsControlsBitmapsAndRendererAndReopeningWorks)
{
  AttachTwo();
  const std::vector<uint8_t> bytes = EncodePng(2, 2, SolidRGBA(2, 2, 0, 0, 255));
  ASSERT_TRUE(g->LoadBitmap("b.png", bytes.data(), int(bytes.size())).IsValid());
  Tick();

  g->OnViewDestroyed();
  EXPECT_EQ(g->NControls(), 0);
  EXPECT_EQ(g->BitmapCacheSize(), 0);
  EXPECT_EQ(g->GetDrawContext(), nullptr);
  EXPECT_EQ(g->GetMainFramebuffer(), nullptr);
  // Drawing without a view does nothing.
  g->BeginFrame();
  g->FillRect(kColorRed, IRect(0, 0, 10, 10));
  g->EndFrame();
  EXPECT_FALSE(g->InDraw());

  g->OnViewInitialized(nullptr);
  g->SetScreenScale(1.f);
  ASSERT_NE(g->GetMainFramebuffer(), nullptr);
  AttachTwo();
  Tick();
  EXPECT_TRUE(PixelIs(10, 20, kRed));
  EXPECT_TRUE(PixelIs(50, 20, kBlue));
}

TEST_F(FrameCycleTest, WithoutGLEntryPointsThereIsNoRendererAndEveryCallIsHarmless)
{
  class NoGL : public TestVectorGraphics
  {
  public:
    using TestVectorGraphics::TestVectorGraphics;

  protected:
    renderer::GetProcAddressFn GetGLProcAddress() const override { return nullptr; }
  };
  NoGL none(nullptr, kWidth, kHeight);
  none.OnViewInitialized(nullptr);
  none.SetScreenScale(1.f);
  EXPECT_EQ(none.GetDrawContext(), nullptr);
  EXPECT_EQ(none.GetMainFramebuffer(), nullptr);
  const std::vector<uint8_t> bytes = EncodePng(2, 2, SolidRGBA(2, 2, 0, 0, 255));
  EXPECT_FALSE(none.LoadBitmap("b.png", bytes.data(), int(bytes.size())).IsValid());
  EXPECT_FALSE(none.LoadFont("Roboto-Regular", kRobotoPath));
  none.BeginFrame();
  none.FillRect(kColorRed, IRect(0, 0, 10, 10));
  none.StartLayer(nullptr, IRect(0, 0, 8, 8));
  ILayerPtr layer = none.EndLayer();
  IRect r(0, 0, 20, 20);
  EXPECT_EQ(none.MeasureText(ITextStyle(), "abc", r), 0.f);
  none.DrawText(ITextStyle(), "abc", r);
  none.EndFrame();
  none.OnViewDestroyed();
}

TEST_F(FrameCycleTest, HostGLStateAroundTheFrameIsTheWindowsFramebuffer)
{
  // After a frame the window's framebuffer is bound again, so the window layer can swap it.
  AttachTwo();
  Tick();
  GLint bound = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  // Making a layer outside a frame leaves it so too.
  ILayerPtr layer;
  g->StartLayer(nullptr, IRect(0, 0, 8, 8));
  layer = g->EndLayer();
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace test
