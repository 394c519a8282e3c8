#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Corvane.h"
#include "HostController.h"
#include "support/WindowedRecordingGraphics.h"

using namespace iplug;
using namespace iplug::igraphics;

namespace {

IMouseEvent Pointer(float x, float y, float dY = 0.f)
{
  IMouseEvent e;
  e.x = x;
  e.y = y;
  e.dY = dY;
  e.ms = IMouseMods(true);
  return e;
}

} // namespace

// A knob drag in the product's editor reaches the host's automation delegate as touch, set-value
// requests and release, and the host's answers come back as the parameter's new value.
TEST(EditorAutomation, AGainKnobDragReachesTheHostsAutomationDelegate)
{
  auto faults = std::make_shared<aaxhost::HostFaults>();
  aaxhost::HostRef<aaxhost::HostController> controller{new aaxhost::HostController(faults)};
  std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  ASSERT_EQ(plug->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);

  Corvane* raw = plug.get();
  plug->SetMakeGraphicsFunc([raw] { return new WindowedRecordingGraphics(raw, 1086, 214, 60, 1.f); });
  static int parent = 0;
  plug->OpenEditorWindow(&parent);
  auto* g = static_cast<WindowedRecordingGraphics*>(plug->GetUI());
  ASSERT_NE(g, nullptr);

  auto& automation = controller->Automation();
  automation.ClearEvents();
  const float x = 128.f, y = 96.f;  // the middle of the "Gain" knob
  g->OnMouseDown({Pointer(x, y)});
  for (int i = 1; i <= 10; ++i)
    g->OnMouseDrag({Pointer(x, y - 10.f * i, -10.f)});
  g->OnMouseUp({Pointer(x, y - 100.f)});

  // The gesture's touch and release enclose the drag; each value the knob sends is itself posted
  // as touch, set-value request, release.
  std::vector<std::string> kinds;
  for (const auto& event : automation.Events())
  {
    EXPECT_EQ(event.paramID, "1");
    kinds.push_back(event.kind);
  }
  ASSERT_GE(kinds.size(), 5u);
  EXPECT_EQ(kinds.front(), "touch");
  EXPECT_EQ(kinds.back(), "release");
  std::vector<std::string> expected{"touch"};
  for (int i = 0; i < 10; ++i)
    expected.insert(expected.end(), {"touch", "set", "release"});
  expected.push_back("release");
  EXPECT_EQ(kinds, expected);

  // The host answers its set-value requests; the last one is the knob's final value.
  AAX_IACFEffectParameters* effect = static_cast<AAX_IEffectParameters*>(plug.get());
  EXPECT_GT(automation.DeliverSetValueRequests(effect), 0);
  EXPECT_NEAR(plug->GetParam(kGain)->NormalizedValue(), 0.5 + 100.0 / (130.0 * 4.0), 1e-3);

  plug->CloseEditorWindow();
  plug->Uninitialize();
}
