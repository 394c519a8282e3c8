// The drawing back end on Mesa's software rasteriser.
//
// The product's editor as it ships: the product's layout run on a back end whose delegate is the
// product itself, with the pictures from the module's resources. Measured at zoom 1 and 2: a full
// redraw of the face, a redraw of one knob (one control dirty), and the floor of every frame
// (a frame that repaints nothing). The window is a pbuffer of the face's size at each zoom; it
// keeps its pixels, as a window whose buffer swap copies does, so a frame copies only what it
// repainted. After the runs a table gives the wall time of each and how many one-knob frames
// cost one full redraw.
//
// A face like the product's from generated pictures: the background (2172 × 428 pixels), four
// film-strip knobs (a 260 × 15860 strip), two switches (74 × 148 and 368 × 68) and a text box
// drawn as the value bubble draws, at the resources' double density, measured the same ways, plus
// the whole picture copied to a window that may have lost its pixels (what every frame costs on
// such a window beyond its redraw).
//
// Each iteration is one display tick (dirty check and paint), finished on the GPU side (glFinish)
// so that rasterisation counts: llvmpipe rasterises on threads of its own, so wall time is the
// figure (LP_NUM_THREADS=0 moves the rasterising onto the calling thread, where CPU time sees it).
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Corvane.h"
#include "CorvaneLayout.h"
#include "IControl.h"
#include "IRectList.h"
#include "backend/IGraphicsVectorGL.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

using namespace iplug::igraphics;

namespace {

constexpr int kWidth = 1086, kHeight = 214;

void* GetProc(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

// One off-screen desktop GL context for the whole program, with a pbuffer "window" of the face's
// size at each zoom made current for the cases of that zoom.
bool MakeContext(float zoom = 2.f)
{
  static EGLDisplay display = EGL_NO_DISPLAY;
  static EGLConfig config;
  static EGLContext context = EGL_NO_CONTEXT;
  static std::map<int, EGLSurface> surfaces;
  if (display == EGL_NO_DISPLAY)
  {
    auto getDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    display = getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                         : eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major, minor;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor) || !eglBindAPI(EGL_OPENGL_API))
      return false;
    const EGLint attribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                              EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, attribs, &config, 1, &count) || count < 1)
      return false;
    const EGLint ctxAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, ctxAttribs);
  }
  if (context == EGL_NO_CONTEXT)
    return false;
  const int key = int(std::lround(zoom * 100.f));
  EGLSurface& surface = surfaces[key];
  if (!surface)
  {
    const EGLint size[] = {EGL_WIDTH, int(std::ceil(kWidth * zoom)), EGL_HEIGHT, int(std::ceil(kHeight * zoom)), EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, size);
  }
  return surface != EGL_NO_SURFACE && eglMakeCurrent(display, surface, surface, context);
}

std::vector<uint8_t> Png(int w, int h, int seed)
{
  std::vector<uint8_t> px(size_t(w) * size_t(h) * 4);
  for (int y = 0; y < h; ++y)
  {
    for (int x = 0; x < w; ++x)
    {
      uint8_t* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
      p[0] = uint8_t((x * 7 + seed * 40) & 0xff);
      p[1] = uint8_t((y * 3 + seed * 90) & 0xff);
      p[2] = uint8_t(((x ^ y) + seed) & 0xff);
      // Round-ish pictures with transparent corners, as knobs and switches are.
      const int dx = x % 260 - 130, dy = y % 260 - 130;
      p[3] = seed != 1 || dx * dx + dy * dy < 120 * 120 ? 255 : 0;
    }
  }
  int length = 0;
  unsigned char* png = stbi_write_png_to_mem(px.data(), w * 4, w, h, 4, &length);
  std::vector<uint8_t> bytes(png, png + length);
  STBIW_FREE(png);
  return bytes;
}

class BytesFont : public PlatformFont
{
public:
  explicit BytesFont(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}
  std::unique_ptr<FontData> GetFontData() override { return std::make_unique<FontData>(mBytes, 0); }

private:
  std::vector<uint8_t> mBytes;
};

// The back end with a window that does nothing: frames land in the off-screen surface, which
// keeps its pixels from frame to frame as a window whose buffer swap copies does (unless told to
// count as one that loses them).
class BenchGraphics : public IGraphicsVectorGL
{
public:
  using IGraphicsVectorGL::IGraphicsVectorGL;
  bool windowKeepsFrame = true;
  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void CancelPlatformTextEntry() override {}
  void* OpenPlatformWindow(void* pParent) override { return pParent; }
  void ClosePlatformWindow() override {}
  void* GetPlatformWindow() override { return nullptr; }
  bool GetTextFromClipboard(std::string&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  void NotifyPopupMenu(IPopupMenu&) override {}
  EMsgBoxResult ShowMessageBox(const char*, const char*, EMsgBoxType, IMsgBoxCompletionHandlerFunc) override
  {
    return kNoResult;
  }
  void PromptForFile(std::string&, std::string&, EFileAction, const char*, IFileDialogCompletionHandlerFunc) override {}
  void PromptForDirectory(std::string&, IFileDialogCompletionHandlerFunc) override {}
  bool PromptForColor(IColor&, const char*, IColorPickerHandlerFunc) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }

protected:
  renderer::GetProcAddressFn GetGLProcAddress() const override { return &GetProc; }
  bool WindowKeepsFrame() const override { return windowKeepsFrame; }
  PlatformFontPtr LoadPlatformFont(const char*, const char*, ETextStyle) override { return nullptr; }
  PlatformFontPtr LoadPlatformFont(const char*, void* pData, int dataSize) override
  {
    const auto* b = static_cast<const uint8_t*>(pData);
    return std::make_unique<BytesFont>(std::vector<uint8_t>(b, b + dataSize));
  }
  PlatformFontPtr LoadPlatformFont(const char*, const char*) override { return nullptr; }
  void CachePlatformFont(const char*, const PlatformFontPtr&) override {}
  void CreatePlatformTextEntry(int, const ITextStyle&, const IRect&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRect&, bool& isAsync) override
  {
    isAsync = false;
    return nullptr;
  }
};

// A film-strip control showing one of its frames.
class FrameControl : public IControl
{
public:
  FrameControl(const IRect& r, const IBitmapInfo& bitmap, int frame) : IControl(r), mBitmap(bitmap), mFrame(frame) {}
  void Draw(IGraphics& g) override { g.DrawBitmapFrame(mBitmap, GetRECT(), mFrame); }
  void Step()
  {
    mFrame = mFrame % mBitmap.N() + 1;
    SetDirty(false);
  }

private:
  IBitmapInfo mBitmap;
  int mFrame;
};

// Drawn as the value bubble draws: a soft shadow, a rounded box with an outline and a value.
class BubbleBox : public IControl
{
public:
  explicit BubbleBox(const IRect& r) : IControl(r) {}
  void Draw(IGraphics& g) override
  {
    const IRect box = GetRECT().Grown(-6.f);
    g.DrawFastDropShadow(box, GetRECT(), 2.f, 5.f, 4.f);
    g.FillRoundRect(kColorWhite, box, 5.f);
    g.DrawRoundRect(kColorBlack, box, 5.f);
    g.DrawText(ITextStyle(14.f), "-12.5 dB", box);
  }
};

// One display tick: what is dirty is drawn, and the frame waits for the renderer to finish.
void DrawDirtyAndFinish(IGraphics& g)
{
  IRectList rects;
  if (g.IsDirty(rects))
  {
    g.SetAllControlsClean();
    g.Draw(rects);
  }
  glFinish();
}

struct Face
{
  std::unique_ptr<BenchGraphics> g;
  FrameControl* knob = nullptr;

  explicit Face(float zoom)
  {
    g = std::make_unique<BenchGraphics>(nullptr, kWidth, kHeight, 60, zoom);
    g->OnViewInitialized(nullptr);
    g->SetScreenScale(1.f);
    if (!g->GetDrawContext() || !g->GetMainFramebuffer())
    {
      g.reset();
      return;
    }
    std::ifstream f("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf", std::ios::binary);
    std::vector<uint8_t> font((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    g->LoadFont("Roboto-Regular", font.data(), int(font.size()));

    static const std::vector<uint8_t> bg = Png(2172, 428, 0), knobs = Png(260, 15860, 1), sw = Png(74, 148, 2),
                                      wide = Png(368, 68, 3);
    const IBitmapInfo bgInfo = g->LoadBitmap("BG.png", bg.data(), int(bg.size()), 1, false, 2);
    const IBitmapInfo knobInfo = g->LoadBitmap("KNOB.png", knobs.data(), int(knobs.size()), 61, false, 2);
    const IBitmapInfo swInfo = g->LoadBitmap("SW.png", sw.data(), int(sw.size()), 2, false, 2);
    const IBitmapInfo overInfo = g->LoadBitmap("OVER.png", wide.data(), int(wide.size()), 2, false, 2);

    // The product's face: background, four knobs at frame 31, the two switches.
    g->AttachControl(new FrameControl(IRect(0, 0, kWidth, kHeight), bgInfo, 1));
    for (const float x : {63.f, 337.f, 616.f, 891.f})
    {
      auto* k = new FrameControl(IRect(x, 31, x + 130, 161), knobInfo, 31);
      g->AttachControl(k);
      if (!knob)
        knob = k;
    }
    g->AttachControl(new FrameControl(IRect(524, 161, 561, 198), swInfo, 1));
    g->AttachControl(new FrameControl(IRect(450, 12, 634, 29), overInfo, 1));
    g->AttachControl(new BubbleBox(IRect(97, 161, 159, 191)));
  }

  ~Face()
  {
    if (g)
      g->OnViewDestroyed();
  }

  void Tick() { DrawDirtyAndFinish(*g); }
};

void BM_FullFaceRedraw(benchmark::State& state)
{
  if (!MakeContext(float(state.range(0))))
  {
    state.SkipWithError("no OpenGL context");
    return;
  }
  Face face(float(state.range(0)));
  if (!face.g)
  {
    state.SkipWithError("no renderer");
    return;
  }
  for (auto _ : state)
  {
    face.g->SetAllControlsDirty();
    face.Tick();
  }
}

void BM_OneKnobRegion(benchmark::State& state)
{
  if (!MakeContext(float(state.range(0))))
  {
    state.SkipWithError("no OpenGL context");
    return;
  }
  Face face(float(state.range(0)));
  if (!face.g)
  {
    state.SkipWithError("no renderer");
    return;
  }
  face.g->SetAllControlsDirty();
  face.Tick();
  for (auto _ : state)
  {
    face.knob->Step();
    face.Tick();
  }
}

// Nothing redrawn, the whole main framebuffer composited onto a window that may have lost its
// pixels since the last frame.
void BM_CompositeOnly(benchmark::State& state)
{
  if (!MakeContext(float(state.range(0))))
  {
    state.SkipWithError("no OpenGL context");
    return;
  }
  Face face(float(state.range(0)));
  if (!face.g)
  {
    state.SkipWithError("no renderer");
    return;
  }
  face.g->windowKeepsFrame = false;
  for (auto _ : state)
  {
    face.g->BeginFrame();
    face.g->EndFrame();
    glFinish();
  }
}

// ---- The product's editor -------------------------------------------------------------------

// The product's layout on the back end, with the product as its delegate, as the window layer
// opens it (screen scale 1).
struct ProductFace
{
  std::unique_ptr<iplug::IPlugAPIBase> plug;
  std::unique_ptr<BenchGraphics> g;
  IControl* knob = nullptr;

  explicit ProductFace(float zoom)
  {
    plug.reset(static_cast<iplug::IPlugAPIBase*>(CreatePlugin(InstanceInfo{})));
    g = std::make_unique<BenchGraphics>(static_cast<Corvane*>(plug.get()), kWidth, kHeight, 60, zoom);
    g->OnViewInitialized(nullptr);
    g->SetScreenScale(1.f);
    if (!g->GetDrawContext() || !g->GetMainFramebuffer())
    {
      g.reset();
      return;
    }
    LayoutCorvaneEditor(g.get());
    // The first knob ("Gain"): index 0 is the background.
    knob = g->NControls() > 1 ? g->GetControl(1) : nullptr;
    if (!knob)
      g.reset();
  }

  ~ProductFace()
  {
    if (g)
      g->OnViewDestroyed();
  }

  void Tick() { DrawDirtyAndFinish(*g); }
};

bool OpenProduct(benchmark::State& state, std::unique_ptr<ProductFace>& face)
{
  const float zoom = float(state.range(0));
  if (!MakeContext(zoom))
  {
    state.SkipWithError("no OpenGL context");
    return false;
  }
  face = std::make_unique<ProductFace>(zoom);
  if (!face->g)
  {
    state.SkipWithError("no renderer, or the layout made no knob");
    return false;
  }
  face->g->SetAllControlsDirty();
  face->Tick();
  return true;
}

void BM_ProductFullRedraw(benchmark::State& state)
{
  std::unique_ptr<ProductFace> face;
  if (!OpenProduct(state, face))
    return;
  for (auto _ : state)
  {
    face->g->SetAllControlsDirty();
    face->Tick();
  }
}

// One knob turned between two values: only it is dirty.
void BM_ProductOneKnob(benchmark::State& state)
{
  std::unique_ptr<ProductFace> face;
  if (!OpenProduct(state, face))
    return;
  bool flip = false;
  for (auto _ : state)
  {
    face->knob->SetValue((flip = !flip) ? 0.25 : 0.75);
    face->knob->SetDirty(false);
    face->Tick();
  }
}

// A frame that repaints nothing: the fixed cost of every frame.
void BM_ProductFloor(benchmark::State& state)
{
  std::unique_ptr<ProductFace> face;
  if (!OpenProduct(state, face))
    return;
  for (auto _ : state)
  {
    face->g->BeginFrame();
    face->g->EndFrame();
    glFinish();
  }
}

// Prints what the console reporter prints, then the product's figures side by side.
class CostReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& reports) override
  {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports)
    {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median)
        continue;
      std::string name = run.run_name.str();
      if (const size_t at = name.find("/real_time"); at != std::string::npos)
        name.erase(at);
      if (median || !mMedian.count(name))
      {
        mMillis[name] = run.GetAdjustedRealTime() * Millis(run.time_unit);
        if (median)
          mMedian[name] = true;
      }
    }
  }

  void Finalize() override
  {
    ConsoleReporter::Finalize();
    std::printf("\n%-26s %12s %12s %12s %10s\n", "product editor (wall time)", "full redraw", "one knob", "floor",
                "full/knob");
    for (const char* zoom : {"1", "2"})
    {
      const std::string suffix = std::string("/zoom:") + zoom;
      const auto full = mMillis.find("BM_ProductFullRedraw" + suffix);
      const auto knob = mMillis.find("BM_ProductOneKnob" + suffix);
      const auto floor = mMillis.find("BM_ProductFloor" + suffix);
      if (full == mMillis.end() || knob == mMillis.end())
        continue;
      std::printf("%-26s %9.2f ms %9.2f ms %9.2f ms %9.2fx\n", (std::string("zoom ") + zoom).c_str(), full->second,
                  knob->second, floor == mMillis.end() ? 0.0 : floor->second, full->second / knob->second);
    }
  }

private:
  static double Millis(benchmark::TimeUnit unit)
  {
    switch (unit)
    {
      case benchmark::kSecond: return 1e3;
      case benchmark::kMillisecond: return 1.0;
      case benchmark::kMicrosecond: return 1e-3;
      case benchmark::kNanosecond: return 1e-6;
    }
    return 1.0;
  }

  std::map<std::string, double> mMillis;
  std::map<std::string, bool> mMedian;
};

} // namespace

BENCHMARK(BM_ProductFullRedraw)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProductOneKnob)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProductFloor)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FullFaceRedraw)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneKnobRegion)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CompositeOnly)->ArgName("zoom")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  CostReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
