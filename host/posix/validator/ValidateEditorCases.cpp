// Editor cases of `aaxhost validate`: the module's editor in a host window of the headless
// display, opened, watched and closed the way a DAW does it.
//
//   1. watching the display: frames, sizes, objects
//   2. the cases (the audio thread renders beside them: BackgroundRender)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

#include <unistd.h>

#include "AAX_Errors.h"
#include "BackgroundRender.h"
#include "EditorCaseSteps.h"
#include "EditorWatch.h"
#include "HeapInUse.h"
#include "HostEditor.h"
#include "PictureComparison.h"
#include "StandInHost.h"
#include "ValidateCaseList.h"
#include "ValidateRig.h"
#include "win32/testing/Win32Display.h"

namespace aaxhost::cases {

namespace {

namespace display = win32compat::display;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The densities of the displays a DAW's windows meet: 100 %, 150 % and 200 %.
constexpr UINT kDensities[] = {96, 144, 192};

// No new frame for this long and the picture is taken as settled.
constexpr milliseconds kQuiet{120};

// ---- 1. Watching the display --------------------------------------------------------------------

Picture PictureOf(const display::Frame& frame)
{
  return Picture{frame.width, frame.height, frame.rgba};
}

} // namespace

std::vector<UINT> EditorDensities()
{
  return {std::begin(kDensities), std::end(kDensities)};
}

std::string FrameSourceNote()
{
  return {};
}

// A settled frame is the last one before the editor went quiet for kQuiet.
Picture AwaitFrame(HostEditor& editor, SIZE size, bool settled, std::string& seen)
{
  const auto deadline = Clock::now() + kFramePatience;
  uint64_t lastCount = 0;
  auto lastChange = Clock::now();
  for (;;)
  {
    HWND window = editor.EditorWindow();
    const uint64_t count = window ? display::PresentCount(window) : 0;
    const auto now = Clock::now();
    if (count != lastCount)
    {
      lastCount = count;
      lastChange = now;
    }
    if (count > 0 && (!settled || now - lastChange >= kQuiet))
    {
      display::Frame frame = display::PresentedFrame(window);
      if (frame.width == size.cx && frame.height == size.cy && (!settled || frame.serial == lastCount))
        return PictureOf(frame);
    }
    if (now >= deadline)
    {
      const display::Frame frame = window ? display::PresentedFrame(window) : display::Frame{};
      seen = !window ? "no editor window"
             : frame.serial == 0
               ? "no frame presented"
               : "a frame of " + SizeText(SIZE{frame.width, frame.height}) + " in a window of " + SizeText(editor.EditorSize());
      return Picture{};
    }
    std::this_thread::sleep_for(milliseconds(4));
  }
}

namespace {

std::string ObjectDifferences(const display::LiveObjectCounts& before, const display::LiveObjectCounts& after)
{
  std::string text;
  auto field = [&](const char* name, size_t a, size_t b) {
    if (a != b)
      text += (text.empty() ? "" : ", ") + std::string(name) + " " + std::to_string(a) + " -> " + std::to_string(b);
  };
  field("windows", before.windows, after.windows);
  field("GDI objects", before.gdiObjects, after.gdiObjects);
  field("GL contexts", before.glContexts, after.glContexts);
  field("GL surfaces", before.glSurfaces, after.glSurfaces);
  field("windows with frames", before.frames, after.frames);
  field("menus", before.menus, after.menus);
  field("global blocks", before.globalBlocks, after.globalBlocks);
  field("kernel handles", before.kernelHandles, after.kernelHandles);
  field("input handles", before.inputHandles, after.inputHandles);
  field("memory fonts", before.memoryFonts, after.memoryFonts);
  return text;
}

// ---- 2. The cases -------------------------------------------------------------------------------

// Milliseconds spent opening and closing at one density, for the note.
struct Spent
{
  double opening = 0.0;
  double closing = 0.0;
  int count = 0;
};

// One opening and closing at a density: the window at the density's size, the frame fitted to
// it, one more active object while the editor object lives. Every fourth opening closes before
// the first display tick, as a user flicking through plug-in windows does.
void OpenCloseOnce(ValidateContext& context, HostSession& session, UINT dpi, SIZE size, int activeBefore, bool quick,
                   Spent& spent)
{
  const std::string where = " at " + std::to_string(dpi) + " dpi";
  auto start = Clock::now();
  std::unique_ptr<HostEditor> editor = MakeEditor(context, session, dpi);
  if (const AAX_Result result = editor->Open(); result != AAX_SUCCESS)
    context.Fail("the editor did not open" + where + ": " + AAX_ResultMessage(result));
  spent.opening += MillisecondsSince(start);
  if (!editor->EditorWindow())
    context.Fail("the editor opened no window in the host's frame" + where);
  if (const int active = ActiveObjects(session); active != activeBefore + 1)
    context.Fail("ACFCanUnloadNow answered " + std::to_string(active) + " with the editor open" + where + ", expected " +
                 std::to_string(activeBefore + 1));
  if (!quick)
  {
    std::string seen;
    if (AwaitFrame(*editor, size, false, seen).Empty())
      context.Fail("the editor" + where + " showed no " + SizeText(size) + " frame within " +
                   std::to_string(kFramePatience.count()) + " ms: " + seen);
    if (!SameSize(editor->EditorSize(), size))
      context.Fail("the editor window" + where + " is " + SizeText(editor->EditorSize()) + ", expected " + SizeText(size));
    if (!SameSize(editor->FrameSize(), size))
      context.Fail("the host's window" + where + " is " + SizeText(editor->FrameSize()) + " around an editor of " +
                   SizeText(size));
    // A DAW saves and reloads its session while plug-in windows are open, from a thread of its
    // own: the editor keeps its size, and the state its record.
    const std::vector<uint8_t> state = session.GetChunk();
    if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
      context.Fail("restoring the state with the editor open" + where + " answered " + AAX_ResultMessage(result));
    if (session.GetChunk() != state)
      context.Fail("the state saved with the editor open" + where + " did not read back as it was");
    session.UIThread().Flush();
    if (!SameSize(editor->EditorSize(), size))
      context.Fail("restoring the state with the editor open" + where + " resized it to " + SizeText(editor->EditorSize()));
  }
  start = Clock::now();
  if (const AAX_Result result = editor->Close(); result != AAX_SUCCESS)
    context.Fail("closing the editor" + where + " answered " + AAX_ResultMessage(result));
  if (editor->EditorWindow())
    context.Fail("the editor's window outlived its closing" + where);
  editor.reset();
  spent.closing += MillisecondsSince(start);
  ++spent.count;
  if (const int active = ActiveObjects(session); active != activeBefore)
    context.Fail("ACFCanUnloadNow answered " + std::to_string(active) + " after the editor closed" + where +
                 ", expected " + std::to_string(activeBefore));
}

// The whole life of a module with its editor, from load to unload, in the host's own order:
// nothing the module handed out may outlive the host's last release.
void OpenCloseFromLoadToUnload(ValidateContext& context)
{
  HostUIThread ui;
  std::unique_ptr<StandInHost> host;
  std::unique_ptr<HostInstance> instance;
  std::string failure;
  ui.Run([&] {
    host = std::make_unique<StandInHost>(context.ModulePath());
    if (host->Startup() != ACF_OK || host->Register() != ACF_OK)
      return;
    instance = host->CreateInstance(0, 0);
    instance->Controller().SetSampleRate(48000);
    if (const AAX_Result result = instance->Initialize(); result != AAX_SUCCESS)
      failure = "the instance's initialisation answered " + AAX_ResultMessage(result);
  });
  if (!instance)
    failure = "the module did not start and register";
  if (failure.empty())
  {
    HostEditor editor(ui, *instance, HostEditor::Options{});
    if (editor.Open() != AAX_SUCCESS || !editor.EditorWindow())
      failure = "the mono component's editor did not open";
    editor.Close();
  }
  ui.Flush();
  ui.Run([&] {
    if (instance)
      instance->ReleaseEffect();
    instance.reset();
    if (const int active = host->Module().CanUnloadNow(host->ServicesUnknown()); active != 0 && failure.empty())
      failure = "ACFCanUnloadNow answered " + std::to_string(active) + " once the host released the editor and the effect";
    host.reset();
  });
  if (!failure.empty())
    context.Fail(failure);
}

} // namespace

void EditorOpenClose(ValidateContext& context)
{
  // 100 openings at the highest strictness. An opening costs the module a few hundred
  // milliseconds at 1x, where its pictures are decoded afresh; more would only repeat the same.
  const int openings = 10 * context.Strictness();
  long blocks = 0;
  std::string timings;
  {
    ValidateRig rig(context, 48000.0);
    HostSession& session = rig.Session();
    const AAX_Point logical = LogicalSize(context, session);
    const int activeBefore = ActiveObjects(session);

    BackgroundRender render(rig);
    const size_t densities = std::size(kDensities);
    Spent spent[std::size(kDensities)];
    display::LiveObjectCounts baseline;
    // The densities take turns, so that an editor never inherits the size of one opened at another.
    for (int i = 0; i < openings; ++i)
    {
      const size_t d = static_cast<size_t>(i) % densities;
      OpenCloseOnce(context, session, kDensities[d], PhysicalSize(logical, kDensities[d]), activeBefore, i % 4 == 3,
                    spent[d]);
      if (d != densities - 1 && i != openings - 1)
        continue;
      session.UIThread().Flush();
      // The first round may leave what the process keeps for good (window classes, font caches);
      // from then on every opening gives back what it took.
      if (i < static_cast<int>(densities))
        baseline = display::LiveObjects();
      else if (const std::string grown = ObjectDifferences(baseline, display::LiveObjects()); !grown.empty())
        context.Fail("after " + std::to_string(i + 1) + " openings the display holds more than after the first " +
                     std::to_string(densities) + ": " + grown);
    }
    const std::string renderFailure = render.Stop();
    if (!renderFailure.empty())
      context.Fail(renderFailure);
    blocks = render.Blocks();
    for (size_t d = 0; d < densities; ++d)
      timings += (d ? ", " : "") + std::to_string(spent[d].count) + " at " + std::to_string(kDensities[d]) + " dpi in " +
                 std::to_string(std::lround(spent[d].opening / std::max(spent[d].count, 1))) + " / " +
                 std::to_string(std::lround(spent[d].closing / std::max(spent[d].count, 1))) + " ms";
  }

  // The count is module-wide: only with the session above gone can it be seen back at 0.
  OpenCloseFromLoadToUnload(context);
  context.Note(std::to_string(openings) + " openings while " + std::to_string(blocks) + " blocks rendered: " + timings +
               " (mean opening / closing)");
}

namespace {

// What the editor holds is read as the heap in use, not the resident size: that moves by tens of
// megabytes with what the allocator keeps of freed memory or gives back, and with the pages the
// driver's shader compiler maps for code, as the machine's load shifts the timing; a zoom that
// keeps memory shows in the heap as plainly, and nothing else moves it.
using compat::HeapBytesInUse;

std::string MiB(double bytes)
{
  return std::to_string(std::lround(bytes / (1024.0 * 1024.0))) + " MiB";
}

// Waits until the editor's window has the size the test accepts and a settled frame of it.
template <typename Accept>
bool AwaitSize(HostEditor& editor, Accept&& accept, std::string& seen)
{
  const auto deadline = Clock::now() + kFramePatience;
  SIZE size = editor.EditorSize();
  while (!accept(size))
  {
    if (Clock::now() >= deadline)
    {
      seen = "the window stayed " + SizeText(size);
      return false;
    }
    std::this_thread::sleep_for(milliseconds(4));
    size = editor.EditorSize();
  }
  return !AwaitFrame(editor, size, true, seen).Empty();
}

// A user's zoom: the corner handle dragged out to the largest zoom, then double-clicked back to
// the editor's own size. Both ends of the drag make the editor load its pictures for the new
// size, as every zoom does.
void ZoomOutAndBack(ValidateContext& context, HostUIThread& ui, HostEditor& editor, const AAX_Point& logical,
                    SIZE original, const std::string& where)
{
  HWND window = editor.EditorWindow();
  if (!window)
    context.Fail("the editor" + where + " has no window to zoom");
  // At a user's pace: each event handled, and a frame drawn, before the next.
  const auto settle = [&ui] {
    std::this_thread::sleep_for(milliseconds(17));
    ui.Flush();
  };
  // A mouse reports motion: each move goes from wherever the cursor is now (the editor may
  // have put it back) by the step the drag takes.
  const auto cursor = [window] {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
  };
  const double k = original.cx / static_cast<double>(logical.horz);
  // The handle is the face's bottom-right 20 x 20 corner; the drag ends far beyond any zoom limit.
  const int x = static_cast<int>(std::lround((logical.horz - 8.0) * k));
  const int y = static_cast<int>(std::lround((logical.vert - 8.0) * k));
  const int dx = static_cast<int>(std::lround(logical.horz * 1.2 * k));
  const int dy = static_cast<int>(std::lround(logical.vert * 1.2 * k));
  constexpr int kSteps = 12;
  display::MouseDown(window, x, y);
  settle();
  POINT last{x, y};
  for (int i = 1; i <= kSteps; ++i)
  {
    const POINT to{x + dx * i / kSteps, y + dy * i / kSteps};
    const POINT at = cursor();
    display::MouseMove(window, at.x + (to.x - last.x), at.y + (to.y - last.y));
    last = to;
    settle();
  }
  display::MouseUp(window, last.x, last.y);
  settle();
  std::string seen;
  if (!AwaitSize(editor, [&](SIZE s) { return s.cx > original.cx; }, seen))
    context.Fail("the editor" + where + " did not zoom when its corner was dragged: " + seen);

  const SIZE zoomed = editor.EditorSize();
  const double z = zoomed.cx / static_cast<double>(logical.horz);
  display::DoubleClick(window, static_cast<int>(std::lround((logical.horz - 8.0) * z)),
                       static_cast<int>(std::lround((logical.vert - 8.0) * z)));
  settle();
  if (!AwaitSize(editor, [&](SIZE s) { return SameSize(s, original); }, seen))
    context.Fail("the editor" + where + " did not return to " + SizeText(original) +
                 " when its corner was double-clicked: " + seen);
}

} // namespace

// Every zoom makes the editor load its pictures for the new size and replaces its drawing
// buffers. Memory a zoom takes must be given back or reused: after a warm-up, more zooms in an
// open editor, and more openings with zooms, leave the process's heap where it was, within a
// margin for the density.
void EditorZoomMemory(ValidateContext& context)
{
  const int openings = std::max(2, 1 + context.Strictness() / 2);
  // The first two zooms warm the picture cache and the driver's buffers for both sizes.
  constexpr int kWarmZooms = 2;
  constexpr int kZoomsPerOpening = kWarmZooms + 2;

  ValidateRig rig(context, 48000.0);
  HostSession& session = rig.Session();
  const AAX_Point logical = LogicalSize(context, session);
  if (HeapBytesInUse() <= 0.0)
    context.Skip("the process's heap cannot be read here");
  // What a settled face at the editor's own size may hold beyond the last one: the driver lets a
  // deleted framebuffer go only when later drawing replaces the state that names it, so main
  // framebuffers of the largest zoom (4 bytes of colour and 1 of stencil a pixel) may outlive the
  // zoom back, up to two of them, and its frame and scene pools grow with the frames in flight,
  // which a loaded machine keeps more of (a run beside a parallel test run rose by 12 MiB at 96
  // dpi). Far below what a zoom that loads the pictures afresh keeps: the knob strip alone is
  // 16 MiB decoded, and every zoom loads each picture at both ends of the drag.
  const auto memoryMargin = [&logical](UINT dpi) {
    const double k = 2.0 * dpi / 96.0;
    return 2.0 * std::ceil(logical.horz * k) * std::ceil(logical.vert * k) * 5.0 + 8.0 * 1024.0 * 1024.0;
  };

  std::string notes;
  double largestRise = 0.0;
  for (const UINT dpi : kDensities)
  {
    const std::string where = " at " + std::to_string(dpi) + " dpi";
    const SIZE size = PhysicalSize(logical, dpi);
    const double margin = memoryMargin(dpi);
    double opening = 0.0;
    double afterFirstClose = 0.0;
    double peak = 0.0;
    for (int o = 0; o < openings; ++o)
    {
      const auto start = Clock::now();
      std::unique_ptr<HostEditor> editor = MakeEditor(context, session, dpi);
      OpenAndWatch(context, *editor, dpi, size);
      opening += MillisecondsSince(start);

      double warm = 0.0;
      for (int z = 0; z < kZoomsPerOpening; ++z)
      {
        ZoomOutAndBack(context, session.UIThread(), *editor, logical, size, where);
        session.UIThread().Flush();
        const double now = HeapBytesInUse();
        peak = std::max(peak, now);
        if (z < kWarmZooms)
        {
          warm = now;
          continue;
        }
        largestRise = std::max(largestRise, now - warm);
        if (now > warm + margin)
          context.Fail("zooming the open editor" + where + " keeps taking memory: " + MiB(warm) +
                       " in use after the warm-up zooms, " + MiB(now) + " after " + std::to_string(z + 1) +
                       " (allowed: " + MiB(margin) + " more)");
      }
      if (const AAX_Result result = editor->Close(); result != AAX_SUCCESS)
        context.Fail("closing the editor" + where + " answered " + AAX_ResultMessage(result));
      editor.reset();
      session.UIThread().Flush();
      const double now = HeapBytesInUse();
      if (o == 0)
      {
        afterFirstClose = now;
        continue;
      }
      largestRise = std::max(largestRise, now - afterFirstClose);
      if (now > afterFirstClose + margin)
        context.Fail("opening, zooming and closing the editor" + where + " keeps taking memory: " +
                     MiB(afterFirstClose) + " in use after the first opening, " + MiB(now) + " after " +
                     std::to_string(o + 1) + " (allowed: " + MiB(margin) + " more)");
    }
    notes += std::string(notes.empty() ? "" : ", ") + std::to_string(dpi) + " dpi: opening " +
             std::to_string(std::lround(opening / openings)) + " ms, heap up to " + MiB(peak) + " (allowed rise " +
             MiB(margin) + ", largest " + MiB(std::max(largestRise, 0.0)) + ")";
    largestRise = 0.0;
  }
  context.Note(std::to_string(openings) + " openings of " + std::to_string(kZoomsPerOpening) +
               " zooms per density; " + notes);
}

} // namespace aaxhost::cases
