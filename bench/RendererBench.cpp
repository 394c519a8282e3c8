// The vector renderer on Mesa's software rasteriser, at the editor's size (1086 × 214 logical)
// with pixel ratio 1 and 2 (2172 × 428 device pixels): a few hundred filled and stroked paths,
// lines of text, and the full-frame picture. Each iteration is one whole frame, finished on the
// GPU side (glFinish) so that rasterisation counts.
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "renderer/RenderContext.h"

using namespace iplug::igraphics::renderer;

namespace {

constexpr float kWidth = 1086.f, kHeight = 214.f;

// One off-screen desktop GL context for the whole program (EGL on Mesa, no window system).
struct Offscreen
{
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  EGLSurface surface = EGL_NO_SURFACE;
  std::unique_ptr<RenderContext> ctx;
  int font = -1;
  int picture = 0;

  Offscreen()
  {
    auto getDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    display = getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                         : eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major, minor;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor) || !eglBindAPI(EGL_OPENGL_API))
      return;
    const EGLint attribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                              EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, attribs, &config, 1, &count) || count < 1)
      return;
    const EGLint ctxAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, ctxAttribs);
    const EGLint size[] = {EGL_WIDTH, int(kWidth * 2), EGL_HEIGHT, int(kHeight * 2), EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, size);
    if (context == EGL_NO_CONTEXT || surface == EGL_NO_SURFACE || !eglMakeCurrent(display, surface, surface, context))
      return;
    ctx = RenderContext::Create([](const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); },
                                kContextAntiAlias);
    if (!ctx)
      return;
    std::ifstream f("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    font = ctx->CreateFontMem("Roboto-Regular", bytes.data(), bytes.size(), 0);
    // A double-resolution background-sized picture with some structure in it.
    const int w = int(kWidth * 2), h = int(kHeight * 2);
    std::vector<uint8_t> px(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        uint8_t* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
        p[0] = uint8_t(x * 255 / w);
        p[1] = uint8_t(y * 255 / h);
        p[2] = uint8_t((x ^ y) & 0xff);
        p[3] = 255;
      }
    picture = ctx->CreateImageRGBA(w, h, 0, px.data());
  }
};

Offscreen& GL()
{
  static Offscreen gl;
  return gl;
}

bool Begin(benchmark::State& state, float ratio)
{
  Offscreen& gl = GL();
  if (!gl.ctx)
  {
    state.SkipWithError("no OpenGL context");
    return false;
  }
  glViewport(0, 0, int(kWidth * ratio), int(kHeight * ratio));
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  gl.ctx->BeginFrame(kWidth, kHeight, ratio);
  return true;
}

void End()
{
  GL().ctx->EndFrame();
  glFinish();
}

void BM_FillAndStrokePaths(benchmark::State& state)
{
  const float ratio = float(state.range(0));
  for (auto _ : state)
  {
    if (!Begin(state, ratio))
      return;
    RenderContext& c = *GL().ctx;
    // 300 paths: rounded knob-like discs with gradients, concave stars, stroked arcs.
    for (int i = 0; i < 100; ++i)
    {
      const float x = 20.f + float(i % 25) * 42.f, y = 30.f + float(i / 25) * 48.f;
      c.BeginPath();
      c.Arc(x, y, 16, 0, 6.2831853f, ArcDirection::Clockwise);
      c.ClosePath();
      c.SetFillPaint(Paint::RadialGradient(x - 4, y - 4, 2, 18, Color{0.9f, 0.9f, 0.9f, 1}, Color{0.2f, 0.2f, 0.25f, 1}));
      c.Fill();

      c.BeginPath();
      for (int k = 0; k < 5; ++k)
      {
        const float a = -1.5707963f + float(k) * 2.5132741f;
        const float px = x + 9.f * std::cos(a), py = y + 9.f * std::sin(a);
        k == 0 ? c.MoveTo(px, py) : c.LineTo(px, py);
      }
      c.ClosePath();
      c.SetFillColor(Color{0.8f, 0.1f, 0.1f, 0.8f});
      c.Fill();

      c.BeginPath();
      c.Arc(x, y, 19, 2.3f, 2.3f + 4.7f * float(i % 10) / 10.f, ArcDirection::Clockwise);
      c.SetStrokeColor(Color{0.1f, 0.6f, 0.9f, 1});
      c.SetStrokeWidth(2.5f);
      c.SetLineCap(LineCap::Round);
      c.Stroke();
    }
    End();
  }
  state.SetItemsProcessed(state.iterations() * 300);
}

void BM_DrawText(benchmark::State& state)
{
  const float ratio = float(state.range(0));
  for (auto _ : state)
  {
    if (!Begin(state, ratio))
      return;
    RenderContext& c = *GL().ctx;
    c.SetFontFaceId(GL().font);
    c.SetFontSize(13);
    c.SetFillColor(Color{1, 1, 1, 1});
    c.SetTextAlign(kAlignCenter | kAlignMiddle);
    for (int i = 0; i < 60; ++i)
      c.Text(70.f + float(i % 6) * 180.f, 12.f + float(i / 6) * 20.f, "Low Gain -3.5 dB  High Gain 7.0");
    End();
  }
  state.SetItemsProcessed(state.iterations() * 60);
}

void BM_DrawFullFrameImage(benchmark::State& state)
{
  const float ratio = float(state.range(0));
  for (auto _ : state)
  {
    if (!Begin(state, ratio))
      return;
    RenderContext& c = *GL().ctx;
    c.BeginPath();
    c.Rect(0, 0, kWidth, kHeight);
    c.SetFillPaint(Paint::ImagePattern(0, 0, kWidth, kHeight, 0, GL().picture, 1));
    c.Fill();
    End();
  }
}

} // namespace

BENCHMARK(BM_FillAndStrokePaths)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawText)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFullFrameImage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
