#include "OursCanvas.h"
#include "Picture.h"

#include <gtest/gtest.h>

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace test::vs_cairo {
namespace {

// The product's editor font.
constexpr const char* kFontPath = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";
constexpr int kWidth = 400, kHeight = 72; // logical

// Advances are sums of the font's own unhinted advances in both: equal but for float rounding.
constexpr double kAdvanceTolerance = 0.01;
// Ours places each glyph bitmap on whole device pixels, cairo at its exact pen position.
constexpr int kInkBoxTolerance = 1;

struct InkBox
{
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; // inclusive, device pixels
  bool Empty() const { return x1 < 0; }
};

InkBox InkOf(const Picture& p)
{
  InkBox b;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.At(x, y)[3] > 0)
      {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

class TextVsCairo : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    std::ifstream in(kFontPath, std::ios::binary);
    sFont.assign(std::istreambuf_iterator<char>(in), {});
    sOurs = std::make_unique<OursCanvas>(kWidth * 2);
    if (!sOurs->Error().empty() || sFont.empty())
      return;
    sOurs->Context().CreateFontMem("Roboto-Regular", sFont.data(), sFont.size(), 0);
    if (FT_Init_FreeType(&sFt) == 0 && FT_New_Memory_Face(sFt, sFont.data(), FT_Long(sFont.size()), 0, &sFace) == 0)
      sCairoFace = cairo_ft_font_face_create_for_ft_face(sFace, FT_LOAD_NO_HINTING);
  }

  static void TearDownTestSuite()
  {
    if (sCairoFace)
      cairo_font_face_destroy(sCairoFace);
    sCairoFace = nullptr;
    // Cairo may keep the face until its caches let go of it; FreeType goes with the process.
    sOurs.reset();
  }

  void SetUp() override
  {
    ASSERT_FALSE(sFont.empty()) << kFontPath;
    ASSERT_TRUE(sOurs->Error().empty()) << sOurs->Error();
    ASSERT_NE(sCairoFace, nullptr);
  }

  // A cairo context on `surface` set for unhinted grey-scale text of `size` user units.
  static cairo_t* CairoText(cairo_surface_t* surface, float ratio, float size)
  {
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, ratio, ratio);
    cairo_set_font_face(cr, sCairoFace);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* opt = cairo_font_options_create();
    cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(opt, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, opt);
    cairo_font_options_destroy(opt);
    return cr;
  }

  static Picture CairoPicture(cairo_surface_t* s)
  {
    cairo_surface_flush(s);
    Picture p;
    p.width = cairo_image_surface_get_width(s);
    p.height = cairo_image_surface_get_height(s);
    p.rgba.assign(size_t(p.width * p.height * 4), 0);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.At(x, y)[3] = data[y * stride + x]; // an A8 surface: one byte of coverage
    return p;
  }

  static std::vector<uint8_t> sFont;
  static std::unique_ptr<OursCanvas> sOurs;
  static FT_Library sFt;
  static FT_Face sFace;
  static cairo_font_face_t* sCairoFace;
};

std::vector<uint8_t> TextVsCairo::sFont;
std::unique_ptr<OursCanvas> TextVsCairo::sOurs;
FT_Library TextVsCairo::sFt = nullptr;
FT_Face TextVsCairo::sFace = nullptr;
cairo_font_face_t* TextVsCairo::sCairoFace = nullptr;

const char* const kTexts[] = {"Gain", "Output 12.5 dB", "AVWaTo jy", "Low Gain -10.0"};
const float kSizes[] = {10.f, 13.f, 16.f, 24.f, 36.f, 48.f};

TEST_F(TextVsCairo, AdvancesAreEqual)
{
  auto& ctx = sOurs->Context();
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 8, 8);
  double largest = 0.0;
  for (float size : kSizes)
    for (const char* text : kTexts)
    {
      ctx.SetFontFace("Roboto-Regular");
      ctx.SetFontSize(size);
      const float ours = ctx.TextBounds(0, 0, text, nullptr);
      cairo_t* cr = CairoText(s, 1.f, size);
      cairo_text_extents_t e;
      cairo_text_extents(cr, text, &e);
      cairo_destroy(cr);
      EXPECT_NEAR(ours, e.x_advance, kAdvanceTolerance) << '"' << text << "\" at " << size << " px";
      largest = std::max(largest, std::fabs(double(ours) - e.x_advance));
    }
  cairo_surface_destroy(s);
  std::printf("[measure] text advances: largest difference %.5f px\n", largest);
}

TEST_F(TextVsCairo, InkBoxesMatchWithinAPixel)
{
  for (int ratio : {1, 2})
    for (float size : kSizes)
      for (const char* text : kTexts)
      {
        SCOPED_TRACE(::testing::Message() << '"' << text << "\" at " << size << " px, pixel ratio " << ratio);
        const float x = 6.25f, baseline = 8.f + size;
        const int w = kWidth * ratio, h = int((size + 24.f) * float(ratio));

        sOurs->Begin(w, h, float(ratio));
        auto& ctx = sOurs->Context();
        ctx.SetFontFace("Roboto-Regular");
        ctx.SetFontSize(size);
        ctx.SetFillColor({0.f, 0.f, 0.f, 1.f});
        ctx.Text(x, baseline, text);
        const InkBox ours = InkOf(sOurs->End());

        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
        cairo_t* cr = CairoText(s, float(ratio), size);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, text);
        cairo_destroy(cr);
        const InkBox ref = InkOf(CairoPicture(s));
        cairo_surface_destroy(s);

        ASSERT_FALSE(ours.Empty());
        ASSERT_FALSE(ref.Empty());
        std::printf("[measure] text \"%s\" %g px x%d: ink ours (%d %d %d %d) cairo (%d %d %d %d)\n", text, double(size),
                    ratio, ours.x0, ours.y0, ours.x1, ours.y1, ref.x0, ref.y0, ref.x1, ref.y1);
        EXPECT_NEAR(ours.x0, ref.x0, kInkBoxTolerance);
        EXPECT_NEAR(ours.y0, ref.y0, kInkBoxTolerance);
        EXPECT_NEAR(ours.x1, ref.x1, kInkBoxTolerance);
        EXPECT_NEAR(ours.y1, ref.y1, kInkBoxTolerance);
      }
}

} // namespace
} // namespace test::vs_cairo
