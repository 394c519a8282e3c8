// A module for the validator's own tests: host automation changes its parameters but never
// reaches an open editor, whose controls go on showing the old values. `aaxhost validate` must
// fail its editor-automation case on it.

#include "Corvane.h"

namespace {

class DeafEditorCorvane : public Corvane
{
public:
  using Corvane::Corvane;

  void QueueParamValueForEditor(int, double, bool) override {}
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new DeafEditorCorvane(info);
}
