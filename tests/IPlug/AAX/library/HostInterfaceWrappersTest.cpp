#include <gtest/gtest.h>

#include <memory>

#include "AAX_Errors.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VCollection.h"
#include "AAX_VController.h"
#include "AAX_VHostServices.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"
#include "HostController.h"
#include "HostViewContainer.h"

namespace {

using aaxhost::HostRef;

TEST(HostInterfaceWrappers, MissingHostObjectsAnswerNullObject)
{
  AAX_VController controller(nullptr);
  AAX_VAutomationDelegate automation(nullptr);
  AAX_VTransport transport(nullptr);
  AAX_VViewContainer view(nullptr);
  AAX_VHostServices services(nullptr);
  AAX_VCollection collection(nullptr);
  AAX_CSampleRate rate = 0;
  uint32_t format = 0;
  double tempo = 0;
  int64_t ticks = 0;
  const AAX_Result results[] = {
    controller.GetSampleRate(&rate),
    controller.GetInputStemFormat(&format),
    controller.SetSignalLatency(64),
    controller.PostPacket(25, &ticks, 8),
    automation.RegisterParameter("1"),
    automation.PostSetValueRequest("1", 0.5),
    transport.GetCurrentTempo(&tempo),
    transport.GetCurrentTickPosition(&ticks),
    view.SetViewSize(AAX_Point{214.0f, 1086.0f}),
    view.HandleParameterMouseDown("1", 0),
    view.HandleMultipleParametersMouseUp(nullptr, 0),
    services.Trace(0, "x"),
    collection.SetManufacturerName("x"),
  };
  for (AAX_Result result : results)
    EXPECT_EQ(result, AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(collection.NewDescriptor(), nullptr);
  EXPECT_EQ(view.GetPtr(), nullptr);
}

TEST(HostInterfaceWrappers, ControllerObjectsForwardToTheHost)
{
  HostRef<aaxhost::HostController> host(new aaxhost::HostController(std::make_shared<aaxhost::HostFaults>()));
  IACFUnknown* unknown = static_cast<AAX_IACFController*>(host.get());
  host->SetSampleRate(44100.0f);
  host->SetStemFormats(0x00000001, 0x00010002);
  aaxhost::HostTransport::State state;
  state.tempo = 96.0;
  state.tickPosition = -960000;
  host->Transport().SetState(state);
  {
    AAX_VController controller(unknown);
    AAX_VTransport transport(unknown);
    AAX_VAutomationDelegate automation(unknown);
    AAX_CSampleRate rate = 0;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_SUCCESS);
    EXPECT_EQ(rate, 44100.0f);
    uint32_t input = 0, output = 0;
    controller.GetInputStemFormat(&input);
    controller.GetOutputStemFormat(&output);
    EXPECT_EQ(input & 0xFFFF, 1u);
    EXPECT_EQ(output & 0xFFFF, 2u);
    EXPECT_EQ(controller.SetSignalLatency(64), AAX_SUCCESS);
    EXPECT_EQ(host->Latencies(), std::vector<int32_t>{64});
    double tempo = 0;
    int64_t ticks = 0;
    transport.GetCurrentTempo(&tempo);
    transport.GetCurrentTickPosition(&ticks);
    EXPECT_EQ(tempo, 96.0);
    EXPECT_EQ(ticks, -960000);
    EXPECT_EQ(automation.PostTouchRequest("1"), AAX_ERROR_INVALID_PARAMETER_ID) << "not registered";
    EXPECT_EQ(automation.RegisterParameter("1"), AAX_SUCCESS);
    EXPECT_EQ(automation.PostTouchRequest("1"), AAX_SUCCESS);
    EXPECT_EQ(host->RefCount(), 2u);
    EXPECT_EQ(host->Transport().RefCount(), 2u);
    EXPECT_EQ(host->Automation().RefCount(), 2u);
  }
  EXPECT_EQ(host->RefCount(), 1u) << "each wrapper gives its reference back";
  EXPECT_EQ(host->Transport().RefCount(), 1u);
  EXPECT_EQ(host->Automation().RefCount(), 1u);

  host->SetAnswersAutomation(false);
  AAX_VAutomationDelegate none(unknown);
  EXPECT_FALSE(none.IsValid());
}

TEST(HostInterfaceWrappers, SecondVersionOperationsNeedTheSecondVersion)
{
  HostRef<aaxhost::HostViewContainer> firstOnly(new aaxhost::HostViewContainer(nullptr, false));
  HostRef<aaxhost::HostViewContainer> both(new aaxhost::HostViewContainer(nullptr, true));
  const AAX_CParamID ids[] = {"1", "2"};
  {
    AAX_VViewContainer old(static_cast<AAX_IACFViewContainer*>(firstOnly.get()));
    EXPECT_EQ(old.HandleParameterMouseDown("1", 0), AAX_ERROR_UNIMPLEMENTED) << "the host leaves the click";
    EXPECT_EQ(old.HandleMultipleParametersMouseDown(ids, 2, 0), AAX_ERROR_UNIMPLEMENTED);
    EXPECT_TRUE(firstOnly->MouseEvents().size() == 1u) << "the second-version call never reached the host";

    both->SetTakesParameterClicks(true);
    AAX_VViewContainer current(static_cast<AAX_IACFViewContainer*>(both.get()));
    EXPECT_EQ(current.HandleMultipleParametersMouseDown(ids, 2, 4), AAX_SUCCESS);
    ASSERT_EQ(both->MouseEvents().size(), 1u);
    EXPECT_EQ(both->MouseEvents()[0].paramIDs, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(current.SetViewSize(AAX_Point{214.0f, 1086.0f}), AAX_SUCCESS);
    EXPECT_EQ(both->SizeRequests().at(0).horz, 1086.0f);
  }
  EXPECT_EQ(firstOnly->RefCount(), 1u);
  EXPECT_EQ(both->RefCount(), 1u);
}

} // namespace
