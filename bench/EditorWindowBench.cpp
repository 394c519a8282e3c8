// The product's editor in its Windows window (the Win32 stand-in, OpenGL on Mesa's software
// rasteriser), driven by display ticks as the display clock sends them. Measured, each iteration
// being one tick handled by the window procedure:
//   - idle: nothing is dirty, the tick only checks (the cost the clock adds 60 times a second);
//   - full redraw: every control is dirty, the tick invalidates the whole face and paints it
//     (dirty check, draw, buffer swap), at zoom 1 and 2;
//   - one knob: the first knob turned between two values, so that only its region is painted
//     and copied to the window, at zoom 1 and 2.
// The vertical blank is manual, so no tick of the clock thread competes with the measured ones.
// "budget" reports the share of a 60 Hz frame (16.7 ms) that one tick takes. The stand-in's buffer
// swap reads the frame back into memory, which a real display does not: the redraw figures carry
// that cost too.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>

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

// The product with its editor open in a host window on this thread.
class OpenEditor
{
public:
  explicit OpenEditor(float zoom)
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
    mHost = CreateWindowExW(0, L"BenchHost", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 2400, 600, nullptr,
                            nullptr, nullptr, nullptr);
    mPlug.reset(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
    Corvane* plug = mPlug.get();
    plug->SetMakeGraphicsFunc([plug] {
      auto* g = new IGraphicsWin(plug, 1086, 214, 60, 1.f);
      g->SetModuleInstance(GetModuleHandleW(nullptr));
      return g;
    });
    mEditor = static_cast<HWND>(plug->OpenEditorWindow(mHost));
    mGraphics = static_cast<IGraphicsWin*>(plug->GetUI());
    if (mGraphics && zoom != 1.f)
      mGraphics->Resize(1086, 214, zoom);

    // Everything pending (the first paint, the clock's first tick) is handled; that tick's count
    // stays the current one while no blank happens.
    MSG msg;
    for (int i = 0; i < 1000; ++i)
    {
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      {
        if (msg.message == kTick)
          mCount = msg.wParam;
        DispatchMessageW(&msg);
      }
      else if (mCount != 0)
      {
        break;
      }
      else
      {
        Sleep(1);
      }
    }
  }

  ~OpenEditor()
  {
    win32compat::display::SetManualVerticalBlank(false);
    if (mPlug)
      mPlug->CloseEditorWindow();
    mPlug.reset();
    DestroyWindow(mHost);
  }

  bool Valid() const { return mEditor && mGraphics && mCount != 0; }
  void Tick() { SendMessageW(mEditor, kTick, mCount, 0); }
  IGraphicsWin& Graphics() { return *mGraphics; }
  HWND Window() const { return mEditor; }

private:
  HWND mHost = nullptr;
  HWND mEditor = nullptr;
  std::unique_ptr<Corvane> mPlug;
  IGraphicsWin* mGraphics = nullptr;
  WPARAM mCount = 0;
};

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
  for (auto _ : state)
  {
    makeDirty();
    const auto start = std::chrono::steady_clock::now();
    editor.Tick();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const uint64_t presented = win32compat::display::PresentCount(editor.Window()) - presentedBefore;
  if (presented != static_cast<uint64_t>(state.iterations()))
    state.SkipWithError("a tick did not present a frame");
  ReportBudget(state, seconds);
}

void BM_FullRedrawTick(benchmark::State& state)
{
  const float zoom = static_cast<float>(state.range(0));
  OpenEditor editor(zoom);
  if (!editor.Valid())
  {
    state.SkipWithError("the editor did not open");
    return;
  }
  TimeRedrawTicks(state, editor, [&] { editor.Graphics().SetAllControlsDirty(); });
  state.SetLabel(zoom == 1.f ? "1086 x 214 px" : "2172 x 428 px");
}
BENCHMARK(BM_FullRedrawTick)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

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

} // namespace

BENCHMARK_MAIN();
