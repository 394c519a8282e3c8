#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CEffectGUI_IPLUG.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_VViewContainer.h"
#include "Corvane.h"
#include "HostController.h"
#include "HostServices.h"
#include "HostViewContainer.h"
#include "IControl.h"
#include "support/WindowedRecordingGraphics.h"

using namespace iplug;
using namespace iplug::igraphics;
using aaxhost::HostRef;

namespace {

int parentWindow = 0;

// The product's instance as the host holds it (one reference of the host's own), its controller,
// and the editor object the host builds for it; the product draws on a recording context that
// stands in for the window layer's.
class EditorBridge : public ::testing::Test
{
protected:
  EditorBridge()
  {
    plug = static_cast<Corvane*>(CreatePlugin(InstanceInfo{}));
    Effect()->AddRef();
    controller->SetEffectParameters(Effect());
    EXPECT_EQ(plug->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
    Corvane* raw = plug;
    plug->SetMakeGraphicsFunc([raw] { return new WindowedRecordingGraphics(raw, 1086, 214, 60, 1.f); });

    editor = new AAX_CEffectGUI_IPLUG();
    editor->AddRef();
  }

  ~EditorBridge() override
  {
    if (editor)
    {
      editor->Uninitialize();
      editor->Release();
    }
    plug->Uninitialize();
    controller->SetEffectParameters(nullptr);
    Effect()->Release();
  }

  AAX_IACFEffectParameters* Effect() const { return static_cast<AAX_IEffectParameters*>(plug); }
  IACFUnknown* Container(aaxhost::HostViewContainer& c) const { return static_cast<AAX_IACFViewContainer*>(&c); }

  // Which of the editor's controls show the host's highlight.
  std::vector<bool> Highlighted() const
  {
    std::vector<bool> shown;
    if (IGraphics* g = plug->GetUI())
      for (int i = 0; i < g->NControls(); ++i)
        shown.push_back(g->GetControl(i)->GetParameterHighlighted());
    return shown;
  }

  HostRef<aaxhost::HostController> controller{new aaxhost::HostController(std::make_shared<aaxhost::HostFaults>())};
  HostRef<aaxhost::HostViewContainer> container{new aaxhost::HostViewContainer(&parentWindow)};
  Corvane* plug = nullptr;
  AAX_CEffectGUI_IPLUG* editor = nullptr;
};

} // namespace

TEST_F(EditorBridge, OpensInTheContainersWindowAndClosesWhenItGoes)
{
  EXPECT_EQ(editor->GetPlugin(), nullptr);
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  EXPECT_EQ(editor->GetPlugin(), plug);

  AAX_Point size;
  ASSERT_EQ(editor->GetViewSize(&size), AAX_SUCCESS);
  EXPECT_EQ(size.vert, 214.f);
  EXPECT_EQ(size.horz, 1086.f);
  EXPECT_EQ(editor->GetViewSize(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(editor->ParameterUpdated("1"), AAX_SUCCESS);

  ASSERT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  IGraphics* g = plug->GetUI();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->NControls(), 7);
  // The editor reaches the host through the wrapper the editor object holds.
  EXPECT_EQ(g->GetAAXViewContainer(), static_cast<AAX_IViewContainer*>(editor->GetViewContainer()));

  // Taken away twice: the editor closes once, and the second time is harmless.
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
  EXPECT_EQ(plug->GetUI(), nullptr);
  EXPECT_EQ(plug->GetLastWidth(), 1086);
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
  EXPECT_EQ(plug->GetUI(), nullptr);
  EXPECT_EQ(container->RefCount(), 1u);

  // A host that lets go of the editor object while its editor shows closes the editor with it.
  ASSERT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  ASSERT_NE(plug->GetUI(), nullptr);
  EXPECT_EQ(editor->Release(), 0u);
  editor = nullptr;
  EXPECT_EQ(plug->GetUI(), nullptr);
  EXPECT_EQ(container->RefCount(), 1u);
}

TEST_F(EditorBridge, AnEditorThatCannotOpenIsReportedToTheHostAndNotKept)
{
  HostRef<aaxhost::HostServices> services = aaxhost::HostServices::Create();
  AAX_CHostServices::Set(static_cast<AAX_IACFHostServices*>(services.get()));
  Corvane* raw = plug;
  plug->SetMakeGraphicsFunc([raw] {
    auto* g = new WindowedRecordingGraphics(raw, 1086, 214, 60, 1.f);
    g->refuseToOpen = true;
    return g;
  });
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  EXPECT_EQ(editor->SetViewContainer(Container(*container)), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(plug->GetUI(), nullptr);
  EXPECT_EQ(plug->GetViewInterface(), nullptr);
  ASSERT_EQ(services->Traces().size(), 1u);
  EXPECT_EQ(services->Traces()[0].priority, 0x8000000);
  EXPECT_EQ(services->Traces()[0].text, "AAX_CEffectGUI_IPLUG: the editor window could not be opened");

  // Taking the container away afterwards is harmless, and a later opening starts afresh.
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
  plug->SetMakeGraphicsFunc([raw] { return new WindowedRecordingGraphics(raw, 1086, 214, 60, 1.f); });
  EXPECT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  EXPECT_NE(plug->GetUI(), nullptr);
  AAX_CHostServices::Kill();
}

TEST_F(EditorBridge, ContainerWithoutParentWindowStaysSetButOpensNothing)
{
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  HostRef<aaxhost::HostViewContainer> windowless(new aaxhost::HostViewContainer(nullptr));
  EXPECT_EQ(editor->SetViewContainer(Container(*windowless)), AAX_SUCCESS);
  EXPECT_NE(editor->GetViewContainer(), nullptr);
  EXPECT_EQ(plug->GetUI(), nullptr);

  // An editor open from an earlier container follows the container that replaces it, even when
  // no window can open in the new one: it must never keep the wrapper that was deleted.
  ASSERT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  ASSERT_NE(plug->GetUI(), nullptr);
  ASSERT_EQ(editor->SetViewContainer(Container(*windowless)), AAX_SUCCESS);
  EXPECT_EQ(plug->GetUI()->GetAAXViewContainer(), static_cast<AAX_IViewContainer*>(editor->GetViewContainer()));
  EXPECT_EQ(container->RefCount(), 1u);
}

TEST_F(EditorBridge, HighlightReachesTheControlsOfTheParameterNumberedByTheIdentifier)
{
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  EXPECT_EQ(editor->SetControlHighlightInfo("2", 1, 2), AAX_ERROR_INVALID_PARAMETER_ID) << "editor closed";

  ASSERT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  // Controls: background, Gain, Low Gain, High Gain, Output, Bypass, Oversampling.
  EXPECT_EQ(editor->SetControlHighlightInfo("2", 1, 2), AAX_SUCCESS);
  EXPECT_EQ(Highlighted(), (std::vector<bool>{false, false, true, false, false, false, false}));
  EXPECT_EQ(plug->GetUI()->GetControl(2)->GetHighlightColor(), kColorGreen);
  EXPECT_EQ(editor->SetControlHighlightInfo("2", 0, 2), AAX_SUCCESS);
  EXPECT_EQ(Highlighted(), std::vector<bool>(7, false));

  // The master bypass ("") and texts that hold no number stand for index −1: the controls that
  // are linked to no parameter.
  EXPECT_EQ(editor->SetControlHighlightInfo("", 1, 0), AAX_SUCCESS);
  EXPECT_EQ(Highlighted(), (std::vector<bool>{true, false, false, false, false, false, false}));

  struct Case
  {
    const char* id;
    int index;
  };
  // Read exactly as the parameter bridge reads them: leading decimal digits only, so a sign, a
  // blank or a number past the 32-bit range names no parameter.
  for (const Case& c : {Case{"6", 5}, Case{"1", 0}, Case{"", -1}, Case{"x7", -1}, Case{"12abc", 11},
                        Case{"2 ", 1}, Case{" 2", -1}, Case{"+2", -1}, Case{"-1", -1}, Case{"0", -1},
                        Case{"2147483648", -1}, Case{"99999999999", -1}, Case{"-99999999999", -1}, Case{nullptr, -1}})
    EXPECT_EQ(AAX_CEffectGUI_IPLUG::ParamIndexFromID(c.id), c.index) << (c.id ? c.id : "null");
  EXPECT_EQ(editor->SetControlHighlightInfo("99999999999", 1, 1), AAX_SUCCESS);
  EXPECT_EQ(editor->SetControlHighlightInfo(nullptr, 1, 1), AAX_SUCCESS);
}

TEST_F(EditorBridge, EditorResizeAsksTheHostOnlyForANewSize)
{
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  // Closed: the size is kept, no host to ask.
  EXPECT_TRUE(plug->ResizeEditorInHost(1629, 321));
  EXPECT_EQ(plug->GetEditorWidth(), 1629);
  EXPECT_TRUE(plug->ResizeEditorInHost(1086, 214));

  ASSERT_EQ(editor->SetViewContainer(Container(*container)), AAX_SUCCESS);
  EXPECT_TRUE(plug->ResizeEditorInHost(1086, 214));
  EXPECT_TRUE(container->SizeRequests().empty()) << "the current size does not call the host";

  // The corner handle at twice the size: the host is asked (height first) and the view size follows.
  plug->GetUI()->Resize(1086, 214, 2.f);
  ASSERT_EQ(container->SizeRequests().size(), 1u);
  EXPECT_EQ(container->SizeRequests()[0].vert, 428.f);
  EXPECT_EQ(container->SizeRequests()[0].horz, 2172.f);
  AAX_Point size;
  editor->GetViewSize(&size);
  EXPECT_EQ(size.vert, 428.f);
  EXPECT_EQ(size.horz, 2172.f);

  // Uninitialised, the editor is closed and has given back its hold on the plug-in: it no longer
  // reaches it.
  EXPECT_EQ(editor->Uninitialize(), AAX_SUCCESS);
  EXPECT_EQ(plug->GetUI(), nullptr);
  EXPECT_EQ(editor->GetPlugin(), nullptr);
  AAX_Point untouched{1.f, 2.f};
  EXPECT_EQ(editor->GetViewSize(&untouched), AAX_SUCCESS);
  EXPECT_EQ(untouched.vert, 1.f);
  EXPECT_EQ(editor->SetControlHighlightInfo("1", 1, 0), AAX_SUCCESS);
}

TEST(EditorBridgeAlone, AnEffectOfAnotherClassLeavesTheEditorWithoutPlugin)
{
  auto* effect = new AAX_CEffectParameters();
  effect->AddRef();
  HostRef<aaxhost::HostController> controller{new aaxhost::HostController(std::make_shared<aaxhost::HostFaults>())};
  controller->SetEffectParameters(static_cast<AAX_IEffectParameters*>(effect));
  HostRef<aaxhost::HostViewContainer> container{new aaxhost::HostViewContainer(&parentWindow)};

  auto* editor = new AAX_CEffectGUI_IPLUG();
  editor->AddRef();
  ASSERT_EQ(editor->Initialize(static_cast<AAX_IACFController*>(controller.get())), AAX_SUCCESS);
  EXPECT_EQ(editor->GetPlugin(), nullptr);
  AAX_Point size{1.f, 2.f};
  EXPECT_EQ(editor->GetViewSize(&size), AAX_SUCCESS);
  EXPECT_EQ(size.vert, 1.f);
  EXPECT_EQ(size.horz, 2.f);
  EXPECT_EQ(editor->SetControlHighlightInfo("1", 1, 0), AAX_SUCCESS);
  EXPECT_EQ(editor->SetViewContainer(static_cast<AAX_IACFViewContainer*>(container.get())), AAX_SUCCESS);
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
  EXPECT_EQ(editor->Uninitialize(), AAX_SUCCESS);
  EXPECT_EQ(editor->Release(), 0u);
  controller->SetEffectParameters(nullptr);
  EXPECT_EQ(effect->Release(), 0u);
}

namespace {

// A host view container whose release reports a failure, as a broken host's might.
class RefusingViewContainer final : public AAX_IACFViewContainer_V2
{
public:
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override
  {
    if (iid != IID_IAAXViewContainerV1 && iid != IID_IAAXViewContainerV2)
    {
      *out = nullptr;
      return ACF_E_NOINTERFACE;
    }
    *out = static_cast<AAX_IACFViewContainer_V2*>(this);
    return ACF_OK;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return static_cast<uint32_t>(AAX_ERROR_NULL_OBJECT); }
  int32_t GetType() override { return AAX_eViewContainer_Type_HWND; }
  void* GetPtr() override { return nullptr; }
  AAX_Result GetModifiers(uint32_t*) override { return AAX_SUCCESS; }
  AAX_Result SetViewSize(const AAX_Point&) override { return AAX_SUCCESS; }
  AAX_Result HandleParameterMouseDown(AAX_CParamID, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }
  AAX_Result HandleParameterMouseDrag(AAX_CParamID, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }
  AAX_Result HandleParameterMouseUp(AAX_CParamID, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }
  AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID*, uint32_t, uint32_t) override { return 0; }
  AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID*, uint32_t, uint32_t) override { return 0; }
  AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID*, uint32_t) override { return 0; }
};

} // namespace

TEST(EditorBridgeAlone, AFailedReleaseOfTheHostsContainerIsTracedForBothVersions)
{
  HostRef<aaxhost::HostServices> services = aaxhost::HostServices::Create();
  AAX_CHostServices::Set(static_cast<AAX_IACFHostServices*>(services.get()));
  RefusingViewContainer container;
  {
    auto* editor = new AAX_CEffectGUI_IPLUG();
    editor->AddRef();
    EXPECT_EQ(editor->SetViewContainer(static_cast<AAX_IACFViewContainer*>(&container)), AAX_SUCCESS);
    EXPECT_EQ(editor->Release(), 0u);
  }
  AAX_CHostServices::Kill();

  std::vector<std::pair<int32_t, std::string>> traces;
  for (const auto& t : services->Traces())
    traces.emplace_back(t.priority, t.text);
  const std::vector<std::pair<int32_t, std::string>> expected = {
    {0x8000000, "AAX_VViewContainer error when detaching mIViewContainer: -20004"},
    {0x8000000, "AAX_VViewContainer error when detaching mIViewContainerV2: -20004"},
  };
  EXPECT_EQ(traces, expected);
}
