#include "RendererFixture.h"
#include "TestImages.h"

#include <cmath>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

constexpr RGBA kRed{255, 0, 0, 255};
constexpr RGBA kGreen{0, 255, 0, 255};
constexpr RGBA kBlue{0, 0, 255, 255};
constexpr RGBA kWhite{255, 255, 255, 255};
constexpr RGBA kNone{0, 0, 0, 0};

class PaintTest : public RendererFixture
{
protected:
  void FillAll(const Paint& paint)
  {
    ctx->BeginPath();
    ctx->Rect(0, 0, kSize, kSize);
    ctx->SetFillPaint(paint);
    ctx->Fill();
  }

  // 2 × 2 pixels: red, green / blue, white at half alpha.
  static std::vector<uint8_t> Quad()
  {
    return {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
  }
};

TEST_F(PaintTest, LinearGradientRunsBetweenItsEnds)
{
  Begin();
  FillAll(Paint::LinearGradient(8, 0, 56, 0, Color::FromRGBA8(255, 0, 0), Color::FromRGBA8(0, 0, 255)));
  End();
  EXPECT_TRUE(PixelIs(2, 30, kRed)) << "before the start";
  EXPECT_TRUE(PixelIs(8, 30, {252, 0, 3, 255}, 4));
  EXPECT_TRUE(PixelIs(32, 30, {125, 0, 130, 255}, 4)) << "half way (pixel centre 32.5)";
  EXPECT_TRUE(PixelIs(61, 30, kBlue)) << "past the end";
  EXPECT_TRUE(PixelIs(32, 2, At(32, 60), 0)) << "constant across the direction";
}

TEST_F(PaintTest, LinearGradientFollowsItsDirectionAndTheTransform)
{
  Begin();
  ctx->Translate(0, 64);
  ctx->Scale(1, -1); // y up
  FillAll(Paint::LinearGradient(0, 8, 0, 56, Color::FromRGBA8(255, 0, 0), Color::FromRGBA8(0, 0, 255)));
  End();
  EXPECT_TRUE(PixelIs(30, 61, kRed));
  EXPECT_TRUE(PixelIs(30, 2, kBlue));
}

TEST_F(PaintTest, RadialGradientRunsFromInnerToOuterRadius)
{
  Begin();
  FillAll(Paint::RadialGradient(32, 32, 8, 24, Color::FromRGBA8(255, 255, 255), Color::FromRGBA8(0, 0, 0)));
  End();
  EXPECT_TRUE(PixelIs(32, 32, kWhite)) << "inside the inner radius";
  EXPECT_TRUE(PixelIs(36, 32, kWhite));
  EXPECT_TRUE(PixelIs(47, 32, {128, 128, 128, 255}, 10)) << "radius 15.5, about half way";
  EXPECT_TRUE(PixelIs(32, 16, {128, 128, 128, 255}, 10)) << "the same in every direction";
  EXPECT_TRUE(PixelIs(60, 32, {0, 0, 0, 255})) << "beyond the outer radius";
  EXPECT_TRUE(PixelIs(2, 2, {0, 0, 0, 255}));
}

TEST_F(PaintTest, BoxGradientIsAFeatheredRoundedRectangle)
{
  Begin();
  FillAll(Paint::BoxGradient(16, 16, 32, 32, 4, 8, Color::FromRGBA8(0, 0, 0, 255), Color::FromRGBA8(0, 0, 0, 0)));
  End();
  EXPECT_TRUE(PixelIs(32, 32, {0, 0, 0, 255}));
  EXPECT_TRUE(PixelIs(20, 32, {0, 0, 0, 255})) << "4.5 inside the edge, past the feather";
  EXPECT_NEAR(At(15, 32)[3], 128 - 16, 12) << "half a pixel outside the edge";
  EXPECT_NEAR(At(16, 32)[3], 128 + 16, 12) << "half a pixel inside the edge";
  EXPECT_TRUE(PixelIs(10, 32, kNone)) << "more than half the feather outside";
  // The corner is rounded: along the diagonal the edge lies 4(√2 − 1) ≈ 1.7 further in.
  EXPECT_LT(At(16, 16)[3], At(16, 32)[3] - 30);
}

TEST_F(PaintTest, ImageFromRawPixels)
{
  const std::vector<uint8_t> quad = Quad();
  const int image = ctx->CreateImageRGBA(2, 2, kImageNearest, quad.data());
  ASSERT_GT(image, 0);
  int w = 0, h = 0;
  ASSERT_TRUE(ctx->ImageSize(image, w, h));
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);

  Begin();
  ctx->BeginPath();
  ctx->Rect(8, 8, 32, 32);
  ctx->SetFillPaint(Paint::ImagePattern(8, 8, 32, 32, 0, image, 1.f));
  ctx->Fill();
  ctx->BeginPath();
  ctx->Rect(44, 8, 16, 16);
  ctx->SetFillPaint(Paint::ImagePattern(44, 8, 32, 32, 0, image, 0.5f)); // top-left quarter: red
  ctx->Fill();
  End();
  EXPECT_TRUE(PixelIs(12, 12, kRed));
  EXPECT_TRUE(PixelIs(36, 12, kGreen));
  EXPECT_TRUE(PixelIs(12, 36, kBlue));
  EXPECT_TRUE(PixelIs(36, 36, {128, 128, 128, 128}, 2)) << "straight alpha comes out premultiplied";
  EXPECT_TRUE(PixelIs(7, 12, kNone));
  EXPECT_TRUE(PixelIs(50, 14, {128, 0, 0, 128}, 2)) << "pattern alpha";
  ctx->DeleteImage(image);
  EXPECT_FALSE(ctx->ImageSize(image, w, h));
}

TEST_F(PaintTest, ImageFromPngBytesAndFilmStripFrame)
{
  // Two 4 × 4 frames side by side: left solid red, right solid blue.
  std::vector<uint8_t> strip(8 * 4 * 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
    {
      uint8_t* p = &strip[size_t(y * 8 + x) * 4];
      p[0] = x < 4 ? 255 : 0;
      p[2] = x < 4 ? 0 : 255;
      p[3] = 255;
    }
  const std::vector<uint8_t> png = EncodePng(8, 4, strip);
  const int image = ctx->CreateImageFromMemory(png.data(), png.size(), 0);
  ASSERT_GT(image, 0);
  int w = 0, h = 0;
  ASSERT_TRUE(ctx->ImageSize(image, w, h));
  EXPECT_EQ(w, 8);
  EXPECT_EQ(h, 4);

  // Frame 1 of the strip at twice its size: the image placed 8 units left of the destination,
  // which clips the rest.
  Begin();
  ctx->BeginPath();
  ctx->Rect(16, 16, 8, 8);
  ctx->SetFillPaint(Paint::ImagePattern(16 - 8, 16, 16, 8, 0, image, 1.f));
  ctx->Fill();
  End();
  EXPECT_TRUE(PixelIs(17, 17, kBlue));
  EXPECT_TRUE(PixelIs(22, 22, kBlue));
  EXPECT_TRUE(PixelIs(15, 20, kNone));
  EXPECT_TRUE(PixelIs(24, 20, kNone));
}

TEST_F(PaintTest, ImageFromAFile)
{
  const std::vector<uint8_t> png = EncodePng(2, 2, Quad());
  const std::string path = ::testing::TempDir() + "renderer_quad.png";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
  }
  const int image = ctx->CreateImageFromFile(path.c_str(), 0);
  std::remove(path.c_str());
  ASSERT_GT(image, 0);
  int w = 0, h = 0;
  EXPECT_TRUE(ctx->ImageSize(image, w, h));
  EXPECT_EQ(w, 2);
  EXPECT_EQ(ctx->CreateImageFromFile((path + ".missing").c_str(), 0), 0);
}

TEST_F(PaintTest, FramebufferDrawnThenUsedAsAnImage)
{
  auto fb = ctx->CreateFramebuffer(32, 32);
  ASSERT_NE(fb, nullptr);
  ctx->BindFramebuffer(fb.get());
  glViewport(0, 0, 32, 32);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  ctx->BeginFrame(32, 32, 1);
  ctx->BeginPath();
  ctx->Rect(0, 0, 16, 8); // top-left: must stay top-left when drawn again
  ctx->SetFillColor(Color::FromRGBA8(255, 0, 0));
  ctx->Fill();
  ctx->BeginPath(); // a concave shape needs the framebuffer's stencil
  ctx->MoveTo(16, 16);
  ctx->LineTo(32, 16);
  ctx->LineTo(24, 24);
  ctx->LineTo(32, 32);
  ctx->LineTo(16, 32);
  ctx->ClosePath();
  ctx->SetFillColor(Color::FromRGBA8(0, 0, 255, 128));
  ctx->Fill();
  ctx->EndFrame();
  ctx->BindFramebuffer(nullptr);

  Begin();
  ctx->BeginPath();
  ctx->Rect(0, 0, 64, 64);
  ctx->SetFillPaint(Paint::ImagePattern(0, 0, 64, 64, 0, fb->image, 1.f)); // twice the size
  ctx->Fill();
  End();
  EXPECT_TRUE(PixelIs(4, 4, kRed));
  EXPECT_TRUE(PixelIs(28, 12, kRed));
  EXPECT_TRUE(PixelIs(4, 20, kNone));
  EXPECT_TRUE(PixelIs(36, 36, {0, 0, 128, 128}, 3)) << "premultiplied content is not multiplied again";
  EXPECT_TRUE(PixelIs(60, 48, kNone)) << "the notch of the concave shape";
  EXPECT_TRUE(PixelIs(36, 60, {0, 0, 128, 128}, 3));
  ctx->DeleteFramebuffer(std::move(fb));
}

TEST_F(PaintTest, ImageDeletedDuringAFrameStillDrawsThatFrame)
{
  const std::vector<uint8_t> quad = Quad();
  const int image = ctx->CreateImageRGBA(2, 2, kImageNearest, quad.data());
  Begin();
  ctx->BeginPath();
  ctx->Rect(0, 0, 32, 32);
  ctx->SetFillPaint(Paint::ImagePattern(0, 0, 32, 32, 0, image, 1.f));
  ctx->Fill();
  ctx->DeleteImage(image);
  End();
  EXPECT_TRUE(PixelIs(4, 4, kRed));
  int w, h;
  EXPECT_FALSE(ctx->ImageSize(image, w, h));
}

} // namespace
} // namespace test
