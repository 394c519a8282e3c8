#include "EditorCaseSteps.h"

#include <stdexcept>

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

} // namespace aaxhost::cases
