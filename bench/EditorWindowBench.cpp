// The product's editor in its Windows window (the Win32 stand-in, OpenGL on Mesa's software
// rasteriser), driven by display ticks as the display clock sends them. Measured, each iteration
// being one tick handled by the window procedure:
//   - idle: nothing is dirty, the tick only checks (the cost the clock adds 60 times a second);
//   - full redraw: every control is dirty, the tick invalidates the whole face and paints it
//     (dirty check, draw, buffer swap), at zoom 1 and 2;
//   - one knob: the first knob turned between two values, so that only its region is painted
//     and copied to the window, at zoom 1 and 2.
//   - opening: from the host's call that opens the editor to its first presented frame of the full
//     size (the window, the GL context, the pictures uploaded, the layout, the first paint), at 96,
//     144 and 192 dpi and zoom 1 and 2, by a plug-in whose editor has been open before; closing is
//     not timed;
//   - first opening: the same for a new plug-in, whose pictures are decoded first (96 and 192 dpi).
// The full redraws run at the same densities and zooms, and a table at the end sets each opening
// against three full redraws and one at its density and zoom, and against the fastest opening at
// its zoom (the goals: an opening costs no more than three full redraws, and the densities stay
// within 1.5x of each other), beside how many more pixels its face has than at 96 dpi.
// The vertical blank is manual, so no tick of the clock thread competes with the measured ones.
// "budget" reports the share of a 60 Hz frame (16.7 ms) that one tick takes; "cpu_ms" the
// processor time of the whole process per iteration, the rasteriser's threads included. The stand-in's buffer
// swap reads the frame back into memory, which a real display does not: the redraw figures carry
// that cost too.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "Corvane.h"
#include "IControl.h"
#include "PlatformWindows.h"
#include "platform/IGraphicsWin.h"
#include "win32/testing/Win32Display.h"

using namespace iplug::igraphics;

namespace {

constexpr UINT kTick = 0x401;
constexpr double kFramePeriod = 1.0 / 60.0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The editor's physical size at a density and zoom, as the window layer sizes it.
SIZE PhysicalSize(UINT dpi, float zoom)
{
  const float scale = static_cast<float>(dpi) / 96.f;
  return SIZE{static_cast<LONG>(static_cast<float>(static_cast<int>(1086.f * zoom)) * scale),
              static_cast<LONG>(static_cast<float>(static_cast<int>(214.f * zoom)) * scale)};
}

// A host window at a density, on this thread, and the product that opens its editor there at a
// zoom. The vertical blank is manual: ticks come only when a blank is made here.
class EditorHost
{
public:
  EditorHost(UINT dpi, float zoom) : mSize(PhysicalSize(dpi, zoom))
  {
    win32compat::display::Reset();
    win32compat::display::SetManualVerticalBlank(true);
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, L"BenchHost", &wc))
    {
      wc.lpfnWndProc = &HostProc;
      wc.lpszClassName = L"BenchHost";
      RegisterClassW(&wc);
    }
    mHost = CreateWindowExW(0, L"BenchHost", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 4800, 1000, nullptr,
                            nullptr, nullptr, nullptr);
    win32compat::display::SetWindowDpi(mHost, dpi);
    mPlug.reset(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
    Corvane* plug = mPlug.get();
    plug->SetMakeGraphicsFunc([plug, zoom] {
      auto* g = new IGraphicsWin(plug, 1086, 214, 60, zoom);
      g->SetModuleInstance(GetModuleHandleW(nullptr));
      return g;
    });
  }

  ~EditorHost()
  {
    Close();
    win32compat::display::SetManualVerticalBlank(false);
    mPlug.reset();
    DestroyWindow(mHost);
  }

  // Opens the editor and handles everything pending until it has presented a frame of its full
  // size and the display clock has ticked; false when that does not happen.
  bool Open()
  {
    mEditor = static_cast<HWND>(mPlug->OpenEditorWindow(mHost));
    mGraphics = static_cast<IGraphicsWin*>(mPlug->GetUI());
    mCount = 0;
    if (!mEditor || !mGraphics)
      return false;
    const uint64_t presentedBefore = win32compat::display::PresentCount(mEditor);
    const auto shown = [&] {
      if (mCount == 0 || win32compat::display::PresentCount(mEditor) == presentedBefore)
        return false;
      const SIZE size = ClientSize();
      return size.cx == mSize.cx && size.cy == mSize.cy;
    };
    MSG msg;
    for (int i = 0; i < 100000 && !shown(); ++i)
    {
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      {
        if (msg.message == kTick)
          mCount = msg.wParam;
        DispatchMessageW(&msg);
      }
      else if (win32compat::display::VerticalBlankWaiters() > 0)
      {
        // The clock waits for a blank: the next one comes now (at 150 % the first tick is the one
        // that finds the real scale).
        win32compat::display::VerticalBlank();
      }
      else
      {
        Sleep(0);
      }
    }
    return shown();
  }

  void Close()
  {
    if (mEditor)
      mPlug->CloseEditorWindow();
    mEditor = nullptr;
    mGraphics = nullptr;
  }

  void Tick() { SendMessageW(mEditor, kTick, mCount, 0); }
  IGraphicsWin& Graphics() { return *mGraphics; }
  HWND Window() const { return mEditor; }

private:
  SIZE ClientSize() const
  {
    RECT r{};
    GetClientRect(mEditor, &r);
    return SIZE{r.right, r.bottom};
  }

  const SIZE mSize;
  HWND mHost = nullptr;
  HWND mEditor = nullptr;
  std::unique_ptr<Corvane> mPlug;
  IGraphicsWin* mGraphics = nullptr;
  WPARAM mCount = 0;
};

// The product with its editor open in a host window on this thread.
class OpenEditor
{
public:
  // After its first frame the display ticks once with nothing to draw, as it does before anyone
  // can touch the editor: that tick readies what the opening left for later.
  explicit OpenEditor(float zoom, UINT dpi = 96) : mHost(dpi, zoom)
  {
    mOpen = mHost.Open();
    if (mOpen)
      mHost.Tick();
  }

  bool Valid() const { return mOpen; }
  void Tick() { mHost.Tick(); }
  IGraphicsWin& Graphics() { return mHost.Graphics(); }
  HWND Window() const { return mHost.Window(); }

private:
  EditorHost mHost;
  bool mOpen = false;
};

// The processor time of the whole process (the rasteriser's threads included) per iteration, in
// milliseconds: on a shared machine it moves far less with the load than the wall time does.
void ReportProcessCpu(benchmark::State& state, std::clock_t cpu)
{
  state.counters["cpu_ms"] = benchmark::Counter(1000.0 * double(cpu) / CLOCKS_PER_SEC / double(state.iterations()));
}

void ReportBudget(benchmark::State& state, double seconds)
{
  state.counters["budget"] = benchmark::Counter(seconds / kFramePeriod / double(state.iterations()));
}

void BM_IdleTick(benchmark::State& state)
{
  OpenEditor editor(1.f);
  if (!editor.Valid())
  {
    state.SkipWithError("the editor did not open");
    return;
  }
  double seconds = 0.0;
  for (auto _ : state)
  {
    const auto start = std::chrono::steady_clock::now();
    editor.Tick();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  ReportBudget(state, seconds);
}
BENCHMARK(BM_IdleTick);

// Times the display ticks alone, each after `makeDirty` marked what it must redraw; every tick
// must present a frame.
template <typename MakeDirty>
void TimeRedrawTicks(benchmark::State& state, OpenEditor& editor, MakeDirty&& makeDirty)
{
  const uint64_t presentedBefore = win32compat::display::PresentCount(editor.Window());
  double seconds = 0.0;
  std::clock_t cpu = 0;
  for (auto _ : state)
  {
    makeDirty();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    editor.Tick();
    cpu += std::clock() - cpuStart;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  ReportProcessCpu(state, cpu);
  const uint64_t presented = win32compat::display::PresentCount(editor.Window()) - presentedBefore;
  if (presented != static_cast<uint64_t>(state.iterations()))
    state.SkipWithError("a tick did not present a frame");
  ReportBudget(state, seconds);
}

void BM_FullRedrawTick(benchmark::State& state)
{
  const auto dpi = static_cast<UINT>(state.range(0));
  const float zoom = static_cast<float>(state.range(1));
  OpenEditor editor(zoom, dpi);
  if (!editor.Valid())
  {
    state.SkipWithError("the editor did not open");
    return;
  }
  TimeRedrawTicks(state, editor, [&] { editor.Graphics().SetAllControlsDirty(); });
  const SIZE size = PhysicalSize(dpi, zoom);
  state.SetLabel(std::to_string(size.cx) + " x " + std::to_string(size.cy) + " px");
}
BENCHMARK(BM_FullRedrawTick)
  ->ArgNames({"dpi", "zoom"})
  ->ArgsProduct({{96, 144, 192}, {1, 2}})
  ->Unit(benchmark::kMillisecond)
  ->UseRealTime();

// One opening per iteration, timed from the host's call to the first frame of the full size. The
// plug-in has had its editor open once before (untimed): its first opening decodes the pictures,
// which BM_FirstOpening times.
void BM_OpenEditor(benchmark::State& state)
{
  const auto dpi = static_cast<UINT>(state.range(0));
  const float zoom = static_cast<float>(state.range(1));
  EditorHost host(dpi, zoom);
  if (!host.Open())
  {
    state.SkipWithError("the editor did not present its face");
    return;
  }
  host.Close();
  std::clock_t cpu = 0;
  for (auto _ : state)
  {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const bool opened = host.Open();
    cpu += std::clock() - cpuStart;
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    host.Close();
    if (!opened)
    {
      state.SkipWithError("the editor did not present its face");
      return;
    }
  }
  ReportProcessCpu(state, cpu);
}
BENCHMARK(BM_OpenEditor)
  ->ArgNames({"dpi", "zoom"})
  ->ArgsProduct({{96, 144, 192}, {1, 2}})
  ->Unit(benchmark::kMillisecond)
  ->UseManualTime()
  ->MinTime(2.0);

// The first opening of a new plug-in's editor, the pictures decoded (no other plug-in of the
// process keeps them); the plug-in is made and destroyed untimed.
void BM_FirstOpening(benchmark::State& state)
{
  const auto dpi = static_cast<UINT>(state.range(0));
  std::clock_t cpu = 0;
  for (auto _ : state)
  {
    state.PauseTiming();
    auto host = std::make_unique<EditorHost>(dpi, 1.f);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const bool opened = host->Open();
    cpu += std::clock() - cpuStart;
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.PauseTiming();
    host.reset();
    state.ResumeTiming();
    if (!opened)
    {
      state.SkipWithError("the editor did not present its face");
      return;
    }
  }
  ReportProcessCpu(state, cpu);
}
BENCHMARK(BM_FirstOpening)->ArgName("dpi")->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_OneKnobTick(benchmark::State& state)
{
  const float zoom = static_cast<float>(state.range(0));
  OpenEditor editor(zoom);
  // The first knob ("Gain"): index 0 is the background.
  IControl* knob = editor.Valid() && editor.Graphics().NControls() > 1 ? editor.Graphics().GetControl(1) : nullptr;
  if (!knob)
  {
    state.SkipWithError("the editor did not open");
    return;
  }
  bool flip = false;
  TimeRedrawTicks(state, editor, [&] {
    knob->SetValue((flip = !flip) ? 0.25 : 0.75);
    knob->SetDirty(false);
  });
}
BENCHMARK(BM_OneKnobTick)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Prints what the console reporter prints, then each opening beside three full redraws at its
// density and zoom and beside the fastest opening at its zoom.
class OpeningReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& reports) override
  {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports)
    {
      if (run.run_type == Run::RT_Aggregate || run.error_occurred)
        continue;
      // The name up to the run's options (minimum time, manual or real time).
      std::string name = run.run_name.str();
      for (const char* option : {"/min_time:", "/manual_time", "/real_time"})
        if (const size_t at = name.find(option); at != std::string::npos)
          name.erase(at);
      mMillis[name] = run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond ? 1.0 : 1e-6);
      if (const auto cpu = run.counters.find("cpu_ms"); cpu != run.counters.end())
        mCpuMillis[name] = cpu->second.value;
    }
  }

  void Finalize() override
  {
    ConsoleReporter::Finalize();
    std::printf("\n%-18s %12s %14s %14s %14s %14s %14s %14s %14s\n", "opening (wall)", "opening", "full redraw",
                "/ 3 redraws", "/ fastest dpi", "cpu: / 3 redr.", "cpu: / 1 redr.", "cpu: / fastest", "pixels / 96 dpi");
    for (const int zoom : {1, 2})
    {
      double fastest = 0.0, fastestCpu = 0.0;
      for (const int dpi : {96, 144, 192})
      {
        if (const double open = Find("BM_OpenEditor", dpi, zoom); open > 0.0)
          fastest = fastest > 0.0 ? std::min(fastest, open) : open;
        if (const double cpu = Find(mCpuMillis, "BM_OpenEditor", dpi, zoom); cpu > 0.0)
          fastestCpu = fastestCpu > 0.0 ? std::min(fastestCpu, cpu) : cpu;
      }
      const SIZE base = PhysicalSize(96, float(zoom));
      for (const int dpi : {96, 144, 192})
      {
        const double open = Find("BM_OpenEditor", dpi, zoom);
        const double full = Find("BM_FullRedrawTick", dpi, zoom);
        if (open <= 0.0)
          continue;
        const std::string row = std::to_string(dpi) + " dpi, zoom " + std::to_string(zoom);
        const double openCpu = Find(mCpuMillis, "BM_OpenEditor", dpi, zoom);
        const double fullCpu = Find(mCpuMillis, "BM_FullRedrawTick", dpi, zoom);
        // How much more pixel work the density asks for than 96 dpi: an opening that is mostly its
        // first frame can come no closer to the lowest density than this.
        const SIZE size = PhysicalSize(UINT(dpi), float(zoom));
        const double pixels = double(size.cx) * double(size.cy) / (double(base.cx) * double(base.cy));
        std::printf("%-18s %9.1f ms %11.2f ms %13.2fx %13.2fx %13.2fx %13.2fx %13.2fx %13.2fx\n", row.c_str(), open,
                    full, full > 0.0 ? open / (3.0 * full) : 0.0, open / fastest,
                    fullCpu > 0.0 ? openCpu / (3.0 * fullCpu) : 0.0, fullCpu > 0.0 ? openCpu / fullCpu : 0.0,
                    fastestCpu > 0.0 ? openCpu / fastestCpu : 0.0, pixels);
      }
    }
    std::printf("goals: opening / 3 redraws <= 1.00x; opening / fastest dpi <= 1.50x\n"
                "(cpu: the process's processor time, the rasteriser's threads included, which a loaded "
                "machine moves far less than the wall time; pixels: the face's physical pixels over those at "
                "96 dpi and the same zoom)\n");
  }

private:
  double Find(const std::string& benchmark, int dpi, int zoom) const { return Find(mMillis, benchmark, dpi, zoom); }
  static double Find(const std::map<std::string, double>& millis, const std::string& benchmark, int dpi, int zoom)
  {
    const auto it = millis.find(benchmark + "/dpi:" + std::to_string(dpi) + "/zoom:" + std::to_string(zoom));
    return it == millis.end() ? 0.0 : it->second;
  }

  std::map<std::string, double> mMillis;
  std::map<std::string, double> mCpuMillis;
};

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  OpeningReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
