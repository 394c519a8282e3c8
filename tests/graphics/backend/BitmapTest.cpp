// Bitmaps through the back end: film-strip frames at both zooms, the per-context cache and the
// densities it is keyed by, accepted extensions, and layers (framebuffers) with their pixels
// and shadows.
#include "BackendFixture.h"

#include <GL/gl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace iplug::igraphics;

namespace test {
namespace {

// A film strip of three square frames of `frame` logical pixels at `scale` pixels per logical
// pixel: red, green and blue, each with a white top-left quarter that shows its orientation.
std::vector<uint8_t> StripPixels(int frame, int scale, bool horizontal, int& width, int& height)
{
  const int side = frame * scale;
  width = horizontal ? 3 * side : side;
  height = horizontal ? side : 3 * side;
  std::vector<uint8_t> px(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y)
  {
    for (int x = 0; x < width; ++x)
    {
      const int f = horizontal ? x / side : y / side;
      const int lx = x % side, ly = y % side;
      uint8_t* p = &px[(size_t(y) * size_t(width) + size_t(x)) * 4];
      const bool quarter = lx < side / 2 && ly < side / 2;
      p[0] = quarter || f == 0 ? 255 : 0;
      p[1] = quarter || f == 1 ? 255 : 0;
      p[2] = quarter || f == 2 ? 255 : 0;
      p[3] = 255;
    }
  }
  return px;
}

// A folder of picture files for one test, removed afterwards.
struct TempDir
{
  std::filesystem::path path;
  TempDir()
  {
    path = std::filesystem::temp_directory_path() /
           ("corvane-backend-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
  {
    const std::string file = (path / name).string();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return file;
  }
  std::string Name(const std::string& name) const { return (path / name).string(); }
};

using BitmapTest = BackendFixture;

TEST_F(BitmapTest, FilmStripFrameAtZoomOneAndTwo)
{
  struct Case
  {
    int imageScale;
    float drawScale;
    bool horizontal;
  };
  const Case cases[] = {{1, 1.f, false}, {2, 1.f, false}, {2, 2.f, false}, {1, 1.f, true}, {2, 2.f, true}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(::testing::Message() << "image at " << c.imageScale << "x, zoom " << c.drawScale
                                      << (c.horizontal ? ", frames side by side" : ", frames stacked"));
    Open(c.drawScale);
    int w = 0, h = 0;
    const std::vector<uint8_t> px = StripPixels(8, c.imageScale, c.horizontal, w, h);
    const std::vector<uint8_t> bytes = EncodePng(w, h, px);
    const IBitmapInfo strip =
      g->LoadBitmap("strip.png", bytes.data(), int(bytes.size()), 3, c.horizontal, c.imageScale);
    ASSERT_TRUE(strip.IsValid());
    EXPECT_EQ(strip.FrameWidth(), 8);
    EXPECT_EQ(strip.FrameHeight(), 8);

    Frame([&strip](IGraphics& gr) { gr.DrawBitmapFrame(strip, IRect(10, 10, 18, 18), 2); });

    // The green frame, its white quarter at the top left, nothing of the neighbours around it.
    const int k = int(c.drawScale);
    std::vector<std::string> rows;
    for (int y = 10 * k - 2; y < 18 * k + 2; ++y)
    {
      std::string row;
      for (int x = 10 * k - 2; x < 18 * k + 2; ++x)
      {
        if (x < 10 * k || x >= 18 * k || y < 10 * k || y >= 18 * k)
          row += '.';
        else
          row += (x - 10 * k < 4 * k && y - 10 * k < 4 * k) ? 'W' : 'G';
      }
      rows.push_back(row);
    }
    EXPECT_TRUE(BlockIs(10 * k - 2, 10 * k - 2, rows, {{'W', kWhite}, {'G', kGreen}, {'.', kClear}}, 4));
  }
}

TEST_F(BitmapTest, BlendWeightFadesABitmap)
{
  const std::vector<uint8_t> bytes = EncodePng(4, 4, SolidRGBA(4, 4, 255, 0, 0));
  const IBitmapInfo red = g->LoadBitmap("red.png", bytes.data(), int(bytes.size()));
  const IBlendInfo half(kBlendDefault, 0.5f);
  Frame([&](IGraphics& gr) { gr.DrawBitmap(red, IRect(4, 4, 8, 8), 0, 0, &half); });
  EXPECT_TRUE(PixelIs(5, 5, RGBA(128, 0, 0, 128), 3));
}

TEST_F(BitmapTest, BytesAreDecodedOncePerNameAndDensity)
{
  const std::vector<uint8_t> bytes = EncodePng(8, 8, SolidRGBA(8, 8, 0, 0, 255));
  const IBitmapInfo a = g->LoadBitmap("knob.png", bytes.data(), int(bytes.size()), 1, false, 2);
  const IBitmapInfo b = g->LoadBitmap("knob.png", bytes.data(), int(bytes.size()), 1, false, 2);
  EXPECT_EQ(a.GetAPIBitmap(), b.GetAPIBitmap());
  EXPECT_EQ(a.W(), 4);
  const IBitmapInfo c = g->LoadBitmap("knob.png", bytes.data(), int(bytes.size()), 1, false, 1);
  EXPECT_NE(a.GetAPIBitmap(), c.GetAPIBitmap());
  EXPECT_EQ(c.W(), 8);
  EXPECT_EQ(g->BitmapCacheSize(), 2);
}

TEST_F(BitmapTest, SearchedBitmapsAreDecodedOncePerPictureFound)
{
  TempDir dir;
  dir.Write("KNOB@2x.png", EncodePng(16, 32, SolidRGBA(16, 32, 0, 255, 0)));
  const std::string knob = dir.Name("KNOB.png");

  // Found only at another density: decoded once, then served from the cache however often it is
  // asked again (every rescale asks). It keeps its logical size.
  const IBitmapInfo atOne = g->LoadBitmap(knob.c_str(), 1, false, 1);
  ASSERT_TRUE(atOne.IsValid());
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(g->LoadBitmap(knob.c_str(), 1, false, 1).GetAPIBitmap(), atOne.GetAPIBitmap());
  EXPECT_EQ(atOne.W(), 8);
  EXPECT_EQ(atOne.H(), 16);
  EXPECT_EQ(g->BitmapCacheSize(), 1);

  // The density it was found at is served the same copy: an editor opened at 1x that moves to
  // 2x (a 150 % display) decodes and holds each picture once.
  const IBitmapInfo first = g->LoadBitmap(knob.c_str(), 1, false, 2);
  ASSERT_TRUE(first.IsValid());
  EXPECT_EQ(first.GetAPIBitmap(), atOne.GetAPIBitmap());
  EXPECT_EQ(first.W(), 8);
  EXPECT_EQ(first.H(), 16);
  EXPECT_EQ(first.GetResourceName(), knob);
  EXPECT_EQ(g->BitmapCacheSize(), 1);

  // A picture of its own at a density is that density's.
  dir.Write("KNOB.png", EncodePng(8, 16, SolidRGBA(8, 16, 0, 0, 255)));
  EXPECT_NE(g->LoadBitmap(knob.c_str(), 1, false, 1).GetAPIBitmap(), first.GetAPIBitmap());
  EXPECT_EQ(g->BitmapCacheSize(), 2);

  // A second editor decodes into its own cache.
  auto other = MakeGraphics();
  const IBitmapInfo theirs = other->LoadBitmap(knob.c_str(), 1, false, 2);
  EXPECT_NE(theirs.GetAPIBitmap(), first.GetAPIBitmap());
  EXPECT_EQ(other->BitmapCacheSize(), 1);
  other->OnViewDestroyed();

  // A target of 0 means the screen's density, rounded up.
  Open(1.f, 1.5f);
  EXPECT_EQ(g->LoadBitmap(knob.c_str()).GetAPIBitmap(), g->LoadBitmap(knob.c_str(), 1, false, 2).GetAPIBitmap());

  // Closing the window empties the cache.
  g->OnViewDestroyed();
  EXPECT_EQ(g->BitmapCacheSize(), 0);
}

TEST_F(BitmapTest, TheProductsPicturesComeFromTheModulesResources)
{
  // On a double-density screen the knob strip is found at the target density and cached.
  Open(1.f, 2.f);
  const IBitmapInfo knob = g->LoadBitmap("KNOB.png", 61, false, 0);
  ASSERT_TRUE(knob.IsValid());
  EXPECT_EQ(knob.GetAPIBitmap()->GetWidth(), 260);
  EXPECT_EQ(knob.GetAPIBitmap()->GetHeight(), 15860);
  EXPECT_EQ(knob.W(), 130);
  EXPECT_EQ(knob.FrameHeight(), 130);
  EXPECT_EQ(g->LoadBitmap("KNOB.png", 61, false, 0).GetAPIBitmap(), knob.GetAPIBitmap());
  EXPECT_EQ(g->BitmapCacheSize(), 1);
  Frame([&knob](IGraphics& gr) {
    gr.PathTransformScale(0.3f); // the whole knob inside the small test editor
    gr.DrawBitmapFrame(knob, IRect(0, 0, 130, 130), 31);
  });
  EXPECT_EQ(At(39, 39)[3], 255); // the knob's centre is opaque
  EXPECT_EQ(At(1, 1)[3], 0);     // its corner is not

  // On a single-density screen the background exists only at 2x: it is decoded once, keeps the
  // face's logical size and is served from the cache afterwards.
  Open(1.f, 1.f);
  const IBitmapInfo bg = g->LoadBitmap("bg.png", 1, false, 0);
  ASSERT_TRUE(bg.IsValid());
  EXPECT_EQ(bg.W(), 1086);
  EXPECT_EQ(bg.H(), 214);
  EXPECT_EQ(g->LoadBitmap("bg.png", 1, false, 0).GetAPIBitmap(), bg.GetAPIBitmap());
  EXPECT_EQ(g->BitmapCacheSize(), 1);
  EXPECT_FALSE(g->LoadBitmap("NOPE.png", 1, false, 0).IsValid());
}

TEST_F(BitmapTest, ExtensionsAreCheckedWithoutRegardToCase)
{
  struct Case
  {
    const char* ext;
    bool supported;
  };
  const Case cases[] = {{"png", true},  {"PNG", true},  {"Jpg", true},   {"jpeg", true}, {"JPEG", true},
                        {"bmp", false}, {"gif", false}, {"", false},     {"svg", false},
                        {"a-very-long-extension-that-ends-in.png", true}};
  for (const Case& c : cases)
    EXPECT_EQ(g->BitmapExtSupported(c.ext), c.supported) << c.ext;
  EXPECT_FALSE(g->BitmapExtSupported(nullptr));

  // A picture whose name has a refused extension is not loaded, even when the file is there.
  TempDir dir;
  dir.Write("pic.bmp", EncodePng(4, 4, SolidRGBA(4, 4, 255, 255, 255)));
  dir.Write("pic.PNG", EncodePng(4, 4, SolidRGBA(4, 4, 255, 255, 255)));
  EXPECT_FALSE(g->LoadBitmap(dir.Name("pic.bmp").c_str(), 1, false, 1).IsValid());
  EXPECT_TRUE(g->LoadBitmap(dir.Name("pic.PNG").c_str(), 1, false, 1).IsValid());
}

// ---- Layers ----------------------------------------------------------------------------------

TEST_F(BitmapTest, LayerIsDrawnOffScreenAndReadBackBottomRowFirst)
{
  ILayerPtr layer;
  Frame([&layer](IGraphics& gr) {
    gr.StartLayer(nullptr, IRect(8, 8, 24, 24));
    gr.FillRect(kColorRed, IRect(8, 8, 16, 16)); // the layer's top-left quarter
    layer = gr.EndLayer();
  });
  ASSERT_NE(layer, nullptr);
  ASSERT_NE(layer->GetAPIBitmap(), nullptr);
  EXPECT_EQ(AlphaSum(0, 0, PhysicalWidth(), PhysicalHeight()), 0); // nothing reached the window

  RawBitmapData data;
  g->GetLayerBitmapData(layer, data);
  ASSERT_EQ(data.size(), size_t(16 * 16 * 4));
  const auto pixel = [&data](int x, int rowFromBottom) {
    const size_t i = (size_t(rowFromBottom) * 16 + size_t(x)) * 4;
    return RGBA(data[i], data[i + 1], data[i + 2], data[i + 3]);
  };
  EXPECT_TRUE(Near(pixel(2, 13), kRed, 2));   // top left
  EXPECT_TRUE(Near(pixel(2, 2), kClear, 2));  // bottom left
  EXPECT_TRUE(Near(pixel(13, 13), kClear, 2));

  // Drawn as a bitmap, it lands where it was made, the right way up.
  Frame([&layer](IGraphics& gr) { gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), layer->Bounds(), 0, 0); });
  EXPECT_TRUE(PixelIs(10, 10, kRed));
  EXPECT_TRUE(PixelIs(20, 20, kClear));
  EXPECT_TRUE(PixelIs(10, 20, kClear));
}

// A layer may be made and drawn into before the editor's first frame (a picture prepared ahead),
// and the window's frames must go on reaching the window afterwards.
TEST_F(BitmapTest, ALayerMadeBeforeTheFirstFrameIsDrawnAndLeavesTheWindowItsFrames)
{
  Open(); // a renderer that has drawn no frame yet
  g->StartLayer(nullptr, IRect(8, 8, 24, 24));
  g->FillRect(kColorRed, IRect(8, 8, 16, 16));
  ILayerPtr layer = g->EndLayer();
  ASSERT_NE(layer, nullptr);

  RawBitmapData data;
  g->GetLayerBitmapData(layer, data);
  ASSERT_EQ(data.size(), size_t(16 * 16 * 4));
  const auto pixel = [&data](int x, int rowFromBottom) {
    const size_t i = (size_t(rowFromBottom) * 16 + size_t(x)) * 4;
    return RGBA(data[i], data[i + 1], data[i + 2], data[i + 3]);
  };
  EXPECT_TRUE(Near(pixel(2, 13), kRed, 2));
  EXPECT_TRUE(Near(pixel(13, 2), kClear, 2));

  for (int frame = 0; frame < 2; ++frame)
  {
    SCOPED_TRACE(frame);
    Frame([&layer](IGraphics& gr) {
      gr.FillRect(kColorGreen, IRect(30, 30, 40, 40));
      gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), layer->Bounds(), 0, 0);
    });
    EXPECT_TRUE(PixelIs(35, 35, kGreen));
    EXPECT_TRUE(PixelIs(10, 10, kRed));
    EXPECT_TRUE(PixelIs(20, 20, kClear));
  }
}

TEST_F(BitmapTest, LayerAtZoomTwoHasTwiceThePixels)
{
  Open(2.f);
  ILayerPtr layer;
  Frame([&layer](IGraphics& gr) {
    gr.StartLayer(nullptr, IRect(8, 8, 24, 24));
    gr.FillRect(kColorBlue, IRect(8, 8, 24, 24));
    layer = gr.EndLayer();
    gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), layer->Bounds(), 0, 0);
  });
  EXPECT_EQ(layer->GetAPIBitmap()->GetWidth(), 32);
  EXPECT_TRUE(PixelIs(16, 16, kBlue));
  EXPECT_TRUE(PixelIs(47, 47, kBlue));
  EXPECT_TRUE(PixelIs(48, 48, kClear));
}

TEST_F(BitmapTest, ShadowGoesBehindTheLayersContent)
{
  struct Case
  {
    const char* name;
    bool drawForeground;
  };
  for (const Case c : {Case{"with the content", true}, Case{"shadow only", false}})
  {
    SCOPED_TRACE(c.name);
    Open();
    ILayerPtr layer;
    Frame([&layer](IGraphics& gr) {
      gr.StartLayer(nullptr, IRect(8, 8, 40, 40));
      gr.FillRect(kColorRed, IRect(12, 12, 24, 24));
      layer = gr.EndLayer();
    });
    RawBitmapData mask;
    g->GetLayerBitmapData(layer, mask);
    IShadow shadow;
    shadow.pattern = IFillPattern(kColorBlack);
    shadow.xOffset = 6.f;
    shadow.yOffset = 6.f;
    shadow.opacity = 1.f;
    shadow.drawForeground = c.drawForeground;
    Frame([&](IGraphics& gr) {
      g->ApplyShadow(layer, mask, shadow);
      ASSERT_NE(layer, nullptr);
      gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), layer->Bounds(), 0, 0);
    });
    EXPECT_TRUE(PixelIs(14, 14, c.drawForeground ? kRed : kClear));  // the content
    EXPECT_TRUE(PixelIs(22, 22, c.drawForeground ? kRed : kBlack));  // content over shadow
    EXPECT_TRUE(PixelIs(27, 27, kBlack));                             // the shadow alone
    EXPECT_TRUE(PixelIs(32, 14, kClear));
    EXPECT_TRUE(PixelIs(14, 32, kClear));
  }
  // A mask smaller than the layer does nothing.
  ILayerPtr layer;
  Frame([&layer](IGraphics& gr) {
    gr.StartLayer(nullptr, IRect(8, 8, 40, 40));
    gr.FillRect(kColorRed, IRect(12, 12, 24, 24));
    layer = gr.EndLayer();
  });
  IShadow shadow;
  shadow.drawForeground = false;
  g->ApplyShadow(layer, RawBitmapData(10), shadow);
  Frame([&](IGraphics& gr) { gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), layer->Bounds(), 0, 0); });
  EXPECT_TRUE(PixelIs(14, 14, kRed));
}

TEST_F(BitmapTest, LayerReleasedDuringAFrameStaysUntilTheFrameIsDrawn)
{
  Frame([](IGraphics& gr) {
    gr.StartLayer(nullptr, IRect(0, 0, 16, 16));
    gr.FillRect(kColorGreen, IRect(0, 0, 16, 16));
    ILayerPtr layer = gr.EndLayer();
    gr.DrawBitmap(IBitmapInfo(layer->GetAPIBitmap(), ""), IRect(4, 4, 20, 20), 0, 0);
    layer.reset(); // released while the frame still needs its pixels
    gr.FillRect(kColorRed, IRect(30, 30, 34, 34));
  });
  EXPECT_TRUE(PixelIs(10, 10, kGreen));
  EXPECT_TRUE(PixelIs(31, 31, kRed));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace test
