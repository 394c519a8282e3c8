#include "EditorCaseSteps.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "AAX_Errors.h"
#include "EditorWatch.h"

namespace aaxhost::cases {

std::unique_ptr<HostEditor> MakeEditor(ValidateContext& context, HostSession& session, UINT dpi)
{
  HostEditor::Options options;
  options.dpi = dpi;
  try
  {
    return std::make_unique<HostEditor>(session.UIThread(), session.Instance(), options);
  }
  catch (const std::runtime_error& e)
  {
    context.Skip(e.what());
  }
}

int ActiveObjects(HostSession& session)
{
  return session.UIThread().Run([&] { return session.Host().Module().CanUnloadNow(session.Host().ServicesUnknown()); });
}

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::string SizeText(SIZE size)
{
  return std::to_string(size.cx) + " x " + std::to_string(size.cy);
}

bool SameSize(SIZE a, SIZE b)
{
  return a.cx == b.cx && a.cy == b.cy;
}

SIZE PhysicalSize(const AAX_Point& logical, UINT dpi)
{
  const double k = dpi / 96.0;
  return SIZE{static_cast<LONG>(std::lround(logical.horz * k)), static_cast<LONG>(std::lround(logical.vert * k))};
}

AAX_Point LogicalSize(ValidateContext& context, HostSession& session)
{
  const AAX_Point size = MakeEditor(context, session, EditorDensities().front())->ViewSize();
  if (!(size.horz >= 1.f && size.vert >= 1.f))
    context.Fail("the editor reports the view size " + Describe(size.horz) + " x " + Describe(size.vert));
  return size;
}

bool Looks(const Picture& a, const Picture& b)
{
  return ComparePictures(a, b, kChannelTolerance).Within(kAllowedFraction);
}

Picture OpenAndWatch(ValidateContext& context, HostEditor& editor, UINT dpi, SIZE size)
{
  if (const AAX_Result result = editor.Open(); result != AAX_SUCCESS)
    context.Fail("the editor did not open at " + std::to_string(dpi) + " dpi: " + AAX_ResultMessage(result));
  std::string seen;
  Picture picture = AwaitFrame(editor, size, true, seen);
  if (picture.Empty())
    context.Fail("the editor at " + std::to_string(dpi) + " dpi showed no " + SizeText(size) + " frame within " +
                 std::to_string(kFramePatience.count()) + " ms: " + seen);
  return picture;
}

std::vector<double> AutomationTargets(const HostInstance::ParameterInfo& p)
{
  std::vector<double> candidates = {0.0, 1.0, 0.25, 0.75};
  if (p.steps >= 2 && p.steps < 128)
    for (double& v : candidates)
      v = std::round(v * (p.steps - 1)) / (p.steps - 1);
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](double a, double b) { return std::fabs(a - p.defaultValue) > std::fabs(b - p.defaultValue); });
  std::vector<double> targets;
  for (const double v : candidates)
    if (std::fabs(v - p.defaultValue) > 0.1 && std::find(targets.begin(), targets.end(), v) == targets.end())
      targets.push_back(v);
  return targets;
}

} // namespace aaxhost::cases
