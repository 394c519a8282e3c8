// Editor cases of `aaxhost validate` on Windows: the module's editor in a host window on the
// desktop, opened and closed the way a DAW does it while the audio thread renders, with the
// process's GDI and USER objects and kernel handles as the record of what each opening leaves.
// The cases that judge the editor by its pictures are written once for both platforms; this
// platform's way of reading the frames is in EditorWatch.cpp.
//
//   1. the live objects
//   2. the cases (the audio thread renders beside them: BackgroundRender)

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "AAX_Errors.h"
#include "BackgroundRender.h"
#include "EditorCaseSteps.h"
#include "EditorFrame.h"
#include "HostEditor.h"
#include "PlatformWindows.h"
#include "ValidateCaseList.h"
#include "ValidateRig.h"

namespace aaxhost::cases {

namespace {

using Clock = std::chrono::steady_clock;

// ---- 1. The live objects -----------------------------------------------------------------------

// What the process holds of the system: GDI objects (brushes, bitmaps, device contexts, fonts,
// regions), USER objects (windows, menus, hooks) and kernel handles (threads, events, files).
struct LiveObjects
{
  DWORD gdi = 0;
  DWORD user = 0;
  DWORD handles = 0;
};

LiveObjects CountLiveObjects()
{
  LiveObjects counts;
  counts.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  counts.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
  return counts;
}

// "3 GDI objects, 1 kernel handle" more than the baseline; empty when nothing grew.
std::string Growth(const LiveObjects& baseline, const LiveObjects& now)
{
  std::string text;
  const auto add = [&](DWORD before, DWORD after, const char* what) {
    if (after > before)
      text += (text.empty() ? "" : ", ") + std::to_string(after - before) + " " + what;
  };
  add(baseline.gdi, now.gdi, "GDI objects");
  add(baseline.user, now.user, "USER objects");
  add(baseline.handles, now.handles, "kernel handles");
  return text;
}

} // namespace

// ---- 2. The cases -------------------------------------------------------------------------------

void EditorOpenClose(ValidateContext& context)
{
  // 100 openings at the highest strictness, as on every platform.
  const int openings = 10 * context.Strictness();
  const UINT dpi = DisplayDpi();
  const std::string where = " at " + std::to_string(dpi) + " dpi";
  double opening = 0.0, closing = 0.0;
  long blocks = 0;
  {
    ValidateRig rig(context, 48000.0);
    HostSession& session = rig.Session();
    const int activeBefore = ActiveObjects(session);
    BackgroundRender render(rig);
    LiveObjects baseline;
    for (int i = 0; i < openings; ++i)
    {
      auto start = Clock::now();
      std::unique_ptr<HostEditor> editor = MakeEditor(context, session, dpi);
      if (const AAX_Result result = editor->Open(); result != AAX_SUCCESS)
        context.Fail("the editor did not open" + where + ": " + AAX_ResultMessage(result));
      opening += MillisecondsSince(start);
      if (!editor->EditorWindow())
        context.Fail("the editor opened no window in the host's frame" + where);
      if (const int active = ActiveObjects(session); active != activeBefore + 1)
        context.Fail("ACFCanUnloadNow answered " + std::to_string(active) + " with the editor open" + where +
                     ", expected " + std::to_string(activeBefore + 1));
      // Every fourth opening closes before the first display tick, as a user flicking through
      // plug-in windows does; the others let the editor draw first.
      if (i % 4 != 3)
        for (int tick = 0; tick < 3; ++tick)
        {
          std::this_thread::sleep_for(std::chrono::milliseconds(17));
          session.UIThread().Flush();
        }
      start = Clock::now();
      if (const AAX_Result result = editor->Close(); result != AAX_SUCCESS)
        context.Fail("closing the editor" + where + " answered " + AAX_ResultMessage(result));
      if (editor->EditorWindow())
        context.Fail("the editor's window outlived its closing" + where);
      editor.reset();
      closing += MillisecondsSince(start);
      if (const int active = ActiveObjects(session); active != activeBefore)
        context.Fail("ACFCanUnloadNow answered " + std::to_string(active) + " after the editor closed" + where +
                     ", expected " + std::to_string(activeBefore));
      session.UIThread().Flush();
      // The first openings may leave what the process keeps for good (window classes, the
      // OpenGL driver's threads and caches); from then on every opening gives back what it took.
      if (i == 1)
        baseline = CountLiveObjects();
      else if (i > 1)
        if (const std::string grown = Growth(baseline, CountLiveObjects()); !grown.empty())
          context.Fail("after " + std::to_string(i + 1) + " openings the process holds more than after the first two: " +
                       grown);
    }
    const std::string renderFailure = render.Stop();
    if (!renderFailure.empty())
      context.Fail(renderFailure);
    blocks = render.Blocks();
  }
  const LiveObjects held = CountLiveObjects();
  // Wine answers 0 for all three counts: there the check could not have seen a leak.
  const std::string counted = held.gdi == 0 && held.user == 0 && held.handles == 0
                                ? "; the system counts none of the process's GDI and USER objects and handles, so "
                                  "nothing left behind could be seen"
                                : "";
  context.Note(std::to_string(openings) + " openings" + where + " while " + std::to_string(blocks) +
               " blocks rendered in " + std::to_string(std::lround(opening / std::max(openings, 1))) + " / " +
               std::to_string(std::lround(closing / std::max(openings, 1))) + " ms (mean opening / closing); the process holds " +
               std::to_string(held.gdi) + " GDI and " + std::to_string(held.user) + " USER objects, " +
               std::to_string(held.handles) + " handles" + counted);
}

void EditorZoomMemory(ValidateContext& context)
{
  context.Skip("the zoom's memory is measured on the Linux build, whose display drives the corner drag frame by frame");
}

} // namespace aaxhost::cases
