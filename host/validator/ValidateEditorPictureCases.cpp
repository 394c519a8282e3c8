// The editor cases that judge the editor by its pictures, on every platform: host automation
// reaching the open editor's controls, and the editor as it first opens against the committed
// reference pictures. EditorWatch.h says how this platform reads the frames.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "BackgroundRender.h"
#include "EditorCaseSteps.h"
#include "EditorWatch.h"
#include "PngFile.h"
#include "ValidateCaseList.h"

namespace aaxhost::cases {

namespace {

// Waits until the editor's settled picture passes the test; the last picture seen either way.
template <typename Test>
Picture AwaitPicture(HostEditor& editor, SIZE size, std::chrono::milliseconds patience, Test&& test, bool& passed)
{
  const auto deadline = std::chrono::steady_clock::now() + patience;
  Picture last;
  for (;;)
  {
    std::string seen;
    Picture now = AwaitFrame(editor, size, true, seen);
    if (!now.Empty())
      last = std::move(now);
    passed = !last.Empty() && test(last);
    if (passed || std::chrono::steady_clock::now() >= deadline)
      return last;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

} // namespace

void EditorAutomation(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  HostSession& session = rig.Session();
  const AAX_Point logical = LogicalSize(context, session);
  const auto parameters = session.Parameters();
  // A knob shows many values, a switch two: more of a knob's range at the higher strictness.
  const size_t continuousValues = context.Strictness() >= 8 ? 2 : 1;

  const std::vector<UINT> densities = EditorDensities();

  BackgroundRender render(rig);
  std::vector<std::string> shown, hidden;
  int steps = 0;
  size_t densityTurn = 0;
  for (const auto& p : parameters)
  {
    if (!p.automatable)
      continue;
    const std::string name = "\"" + p.name + "\"";
    const UINT dpi = densities[densityTurn++ % densities.size()];
    const SIZE size = PhysicalSize(logical, dpi);
    const auto targets = AutomationTargets(p);
    const size_t values = std::min(targets.size(), p.steps >= 2 && p.steps < 128 ? size_t{1} : continuousValues);

    // Each value: automation while the editor is open must show what an editor opened with the
    // value shows; that editor, automated back, must look as at the default again and is the
    // open editor of the next value.
    auto editor = MakeEditor(context, session, dpi);
    const Picture face = OpenAndWatch(context, *editor, dpi, size);
    bool visible = false;
    for (size_t t = 0; t < values; ++t, ++steps)
    {
      const double value = targets[t];
      const std::string what = name + " automated to " + Describe(value) + " at " + std::to_string(dpi) + " dpi";
      session.Automate(p.identifier, value);
      session.SettleParameters();
      bool moved = false;
      const Picture automated = AwaitPicture(
        *editor, size, kReachPatience, [&](const Picture& now) { return !Looks(now, face); }, moved);
      editor.reset();

      editor = MakeEditor(context, session, dpi);
      const Picture opened = OpenAndWatch(context, *editor, dpi, size);
      visible = !Looks(opened, face);
      if (!visible && moved)
        context.Fail(what + " changed the open editor (" +
                     ComparePictures(automated, face, kChannelTolerance).Describe(kChannelTolerance) +
                     "), yet an editor opened with that value looks as at the default");
      if (visible && !moved)
        context.Fail(what + " did not reach the open editor within " + std::to_string(kReachPatience.count()) +
                     " ms, though an editor opened with that value shows it (" +
                     ComparePictures(opened, face, kChannelTolerance).Describe(kChannelTolerance) + ")");
      if (visible && !Looks(automated, opened))
        context.Fail(what + " shows otherwise than an editor opened with that value: " +
                     ComparePictures(automated, opened, kChannelTolerance).Describe(kChannelTolerance));

      session.Automate(p.identifier, p.defaultValue);
      session.SettleParameters();
      if (!visible)
        break; // no control shows it: other values would only wait as long again
      bool restored = false;
      const Picture back = AwaitPicture(
        *editor, size, kReachPatience, [&](const Picture& now) { return Looks(now, face); }, restored);
      if (!restored)
        context.Fail(name + " automated back to its default " + Describe(p.defaultValue) + " at " +
                     std::to_string(dpi) + " dpi does not look as at the default: " +
                     ComparePictures(back, face, kChannelTolerance).Describe(kChannelTolerance));
    }
    editor.reset();
    (visible ? shown : hidden).push_back(name);
  }
  if (const std::string source = FrameSourceNote(); !source.empty())
    context.Note(source);
  const std::string renderFailure = render.Stop();
  if (!renderFailure.empty())
    context.Fail(renderFailure);
  if (shown.empty())
    context.Fail("no parameter's automation changed the editor's face");

  auto list = [](const std::vector<std::string>& names) {
    std::string text;
    for (const auto& n : names)
      text += (text.empty() ? "" : ", ") + n;
    return text;
  };
  std::string at;
  for (size_t d = 0; d < densities.size(); ++d)
    at += (d == 0 ? "" : d + 1 == densities.size() ? " and " : ", ") + std::to_string(densities[d]);
  context.Note("automation reached the controls of " + list(shown) + " (" + std::to_string(steps) + " values at " + at +
               " dpi" + (densities.size() > 1 ? " in turn)" : ")"));
  if (!hidden.empty())
    context.Note("no control shows " + list(hidden));
}

void EditorScreenshots(ValidateContext& context)
{
  namespace fs = std::filesystem;
  if (context.ReferencesFolder().empty())
    context.Skip("no folder of reference pictures was given (--references)");
  const fs::path references = context.ReferencesFolder();
  const fs::path artifacts = context.ArtifactsFolder();
  std::error_code error;
  if (context.UpdateReferences())
    fs::create_directories(references, error);
  if (!fs::is_directory(references, error))
    context.Skip("no folder of reference pictures at " + references.string() + " (--update-references writes them)");

  ValidateRig rig(context, 48000.0);
  HostSession& session = rig.Session();
  const AAX_Point logical = LogicalSize(context, session);

  std::vector<std::string> mismatches, missing, written;
  for (const UINT dpi : EditorDensities())
  {
    const SIZE size = PhysicalSize(logical, dpi);
    const std::string name = "editor-" + std::to_string(dpi) + "dpi";
    auto editor = MakeEditor(context, session, dpi);
    const Picture actual = OpenAndWatch(context, *editor, dpi, size);
    editor.reset();

    const fs::path referencePath = references / (name + ".png");
    if (context.UpdateReferences())
    {
      if (!WritePng(referencePath.string(), actual.width, actual.height, actual.rgba))
        context.Fail("cannot write " + referencePath.string());
      written.push_back(referencePath.string());
      continue;
    }
    Picture reference;
    if (!fs::is_regular_file(referencePath, error) ||
        !ReadPng(referencePath.string(), reference.width, reference.height, reference.rgba))
    {
      missing.push_back(referencePath.string());
      continue;
    }
    const PictureComparison comparison = ComparePictures(actual, reference, kChannelTolerance);
    if (comparison.Within(kAllowedFraction))
      continue;

    // What the eye needs to judge the mismatch: the picture taken, and where it differs.
    fs::create_directories(artifacts, error);
    const fs::path actualPath = artifacts / (name + "-actual.png");
    const fs::path differencePath = artifacts / (name + "-difference.png");
    std::string mismatch = name + ": ";
    if (!comparison.sameSize)
      mismatch += SizeText(SIZE{actual.width, actual.height}) + ", the reference is " +
                  SizeText(SIZE{reference.width, reference.height});
    else
      mismatch += comparison.Describe(kChannelTolerance);
    std::string pictures;
    if (WritePng(actualPath.string(), actual.width, actual.height, actual.rgba))
      pictures += actualPath.string();
    const Picture difference = DifferencePicture(actual, reference, kChannelTolerance);
    if (!difference.Empty() && WritePng(differencePath.string(), difference.width, difference.height, difference.rgba))
      pictures += (pictures.empty() ? "" : ", ") + differencePath.string();
    mismatch +=
      pictures.empty() ? " (no picture could be written to " + artifacts.string() + ")" : " (see " + pictures + ")";
    mismatches.push_back(mismatch);
  }

  auto joined = [](const std::vector<std::string>& texts) {
    std::string text;
    for (const auto& t : texts)
      text += (text.empty() ? "" : "; ") + t;
    return text;
  };
  if (const std::string source = FrameSourceNote(); !source.empty())
    context.Note(source);
  if (!mismatches.empty())
    context.Fail(joined(mismatches));
  if (!missing.empty())
    context.Skip("no reference picture " + joined(missing) + " (--update-references writes them)");
  if (!written.empty())
    context.Note("wrote " + joined(written));
  else
    context.Note(std::to_string(EditorDensities().size()) +
                 (EditorDensities().size() == 1 ? " density" : " densities") + " within " +
                 std::to_string(kChannelTolerance) + " levels per channel on all but " +
                 Describe(kAllowedFraction * 100.0) + " % of the pixels");
}

} // namespace aaxhost::cases
