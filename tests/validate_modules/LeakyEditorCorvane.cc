// A module for the validator's own tests: every opening of its editor makes a brush that it
// never deletes. `aaxhost validate` must fail its editor-open-close case on it.

#include "Corvane.h"
#include "PlatformWindows.h"

namespace {

class LeakyEditorCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  void OnEditorOpen() override
  {
    Corvane::OnEditorOpen();
    CreateSolidBrush(RGB(200, 10, 10));
  }
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new LeakyEditorCorvane(info);
}
