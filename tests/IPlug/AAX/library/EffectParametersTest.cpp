#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CHostServices.h"
#include "AAX_CParameter.h"
#include "AAX_Errors.h"
#include "AAX_IACFEffectGUI.h"
#include "HostController.h"
#include "HostServices.h"

namespace {

using aaxhost::HostController;
using aaxhost::HostRef;

AAX_CParameter<bool>* Switch(const char* id)
{
  return new AAX_CParameter<bool>(id, AAX_CString(id), false, AAX_CBinaryTaperDelegate(),
                                  AAX_CBinaryDisplayDelegate("off", "on"), true);
}

// An effect with the parameters the base treats specially, and a packet on "coef".
class SpecialEffect final : public AAX_CEffectParameters
{
public:
  AAX_Result initResult = AAX_SUCCESS;

  int32_t ChunkedParameters() const { return mNumChunkedParameters; }
  const std::set<std::string>& Filtered() const { return mFilteredParameters; }

protected:
  AAX_Result EffectInit() override
  {
    mParameterManager.AddParameter(Switch("MasterBypassID"));
    mParameterManager.AddParameter(Switch("PreviewID"));
    auto* many = Switch("many");
    many->SetNumberOfSteps(0x80000000u);
    mParameterManager.AddParameter(many);
    mParameterManager.AddParameter(Switch("coef"));
    mPacketDispatcher.RegisterPacket("coef", 5, [this](AAX_CParamID id, std::vector<unsigned char>& payload) {
      bool on = false;
      mParameterManager.GetParameterByID(id)->GetValueAsBool(&on);
      payload.assign(1, on ? 1 : 0);
      return AAX_SUCCESS;
    });
    return initResult;
  }
};

class EffectParameters : public testing::Test
{
protected:
  void SetUp() override
  {
    AAX_CHostServices::Set(static_cast<AAX_IACFHostServices*>(mServices.get()));
    mEffect->InternalAddRef();
  }
  void TearDown() override
  {
    mEffect->InternalRelease();
    AAX_CHostServices::Kill();
  }

  IACFUnknown* Controller() { return static_cast<AAX_IACFController*>(mController.get()); }

  HostRef<aaxhost::HostServices> mServices = aaxhost::HostServices::Create();
  HostRef<HostController> mController{new HostController(std::make_shared<aaxhost::HostFaults>())};
  SpecialEffect* mEffect = new SpecialEffect();
};

TEST_F(EffectParameters, InitialisationRegistersAndFiltersTheMasterBypass)
{
  ASSERT_EQ(mEffect->Initialize(Controller()), AAX_SUCCESS);
  AAX_CString bypass;
  mEffect->GetMasterBypassParameter(&bypass);
  EXPECT_EQ(bypass.StdString(), "MasterBypassID");
  EXPECT_EQ(mEffect->Filtered(), std::set<std::string>{"MasterBypassID"});
  EXPECT_EQ(mEffect->ChunkedParameters(), 3);
  EXPECT_EQ(mController->Automation().Registered(),
            (std::vector<std::string>{"MasterBypassID", "PreviewID", "many", "coef"}));
  EXPECT_TRUE(mServices->Asserts().empty());

  ASSERT_EQ(mEffect->Uninitialize(), AAX_SUCCESS);
  EXPECT_TRUE(mController->Automation().Registered().empty());
  EXPECT_EQ(mController->RefCount(), 1u) << "uninitialising gives the host objects back";
  int32_t count = -1;
  mEffect->GetNumberOfParameters(&count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(mEffect->Initialize(Controller()), AAX_SUCCESS) << "an uninitialised object may start again";
}

TEST_F(EffectParameters, FailingEffectInitEndsInitialisation)
{
  mEffect->initResult = AAX_ERROR_PLUGIN_NOT_AUTHORIZED;
  EXPECT_EQ(mEffect->Initialize(Controller()), AAX_ERROR_PLUGIN_NOT_AUTHORIZED);
  EXPECT_TRUE(mEffect->Filtered().empty());
}

TEST_F(EffectParameters, StepCountsBeyondTheSignedRangeOverflow)
{
  ASSERT_EQ(mEffect->Initialize(Controller()), AAX_SUCCESS);
  int32_t steps = 7;
  EXPECT_EQ(mEffect->GetParameterNumberOfSteps("many", &steps), AAX_ERROR_SIGNED_INT_OVERFLOW);
  EXPECT_EQ(steps, 7);
  EXPECT_EQ(mEffect->GetParameterNumberOfSteps("coef", &steps), AAX_SUCCESS);
  EXPECT_EQ(steps, 128);
}

TEST_F(EffectParameters, PreviewNotificationSetsThePreviewSwitch)
{
  ASSERT_EQ(mEffect->Initialize(Controller()), AAX_SUCCESS);
  const int32_t on = 1;
  EXPECT_EQ(mEffect->NotificationReceived(0x41535076, &on, sizeof(on)), AAX_SUCCESS);
  EXPECT_EQ(mController->Automation().Events().back().kind, "release") << "asked through the host";
  mController->Automation().DeliverSetValueRequests(mEffect);
  double value = 0.0;
  mEffect->GetParameterNormalizedValue("PreviewID", &value);
  EXPECT_DOUBLE_EQ(value, 1.0);
  const int16_t tooShort = 0;
  EXPECT_EQ(mEffect->NotificationReceived(0x41535076, &tooShort, sizeof(tooShort)), AAX_SUCCESS);
  mController->Automation().DeliverSetValueRequests(mEffect);
  mEffect->GetParameterNormalizedValue("PreviewID", &value);
  EXPECT_DOUBLE_EQ(value, 1.0) << "two bytes carry no state";
}

TEST_F(EffectParameters, UpdatesMarkPacketsThatCoefficientGenerationPosts)
{
  ASSERT_EQ(mEffect->Initialize(Controller()), AAX_SUCCESS);
  EXPECT_EQ(mEffect->GenerateCoefficients(), AAX_SUCCESS);
  EXPECT_TRUE(mController->Packets().empty()) << "nothing dirty yet";

  ASSERT_EQ(mEffect->UpdateParameterNormalizedValue("coef", 1.0, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
  ASSERT_EQ(mEffect->UpdateParameterNormalizedRelative("PreviewID", 0.7), AAX_SUCCESS);
  int32_t changes = 0;
  mEffect->GetNumberOfChanges(&changes);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(mEffect->GenerateCoefficients(), AAX_SUCCESS);
  const auto packets = mController->Packets();
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(packets[0].field, 5);
  EXPECT_EQ(packets[0].payload, std::vector<unsigned char>{1});
  EXPECT_EQ(mEffect->GenerateCoefficients(), AAX_SUCCESS);
  EXPECT_EQ(mController->Packets().size(), 1u) << "a posted packet is clean again";
}

TEST_F(EffectParameters, FieldResetClearsTheBlock)
{
  unsigned char block[8];
  std::memset(block, 0xAB, sizeof(block));
  EXPECT_EQ(mEffect->ResetFieldData(23, block, sizeof(block)), AAX_SUCCESS);
  for (unsigned char byte : block)
    EXPECT_EQ(byte, 0);
  EXPECT_EQ(mEffect->ResetFieldData(23, nullptr, 0), AAX_SUCCESS);
}

TEST_F(EffectParameters, AnswersFourVersionsOfItsInterface)
{
  const acfIID versions[] = {IID_IAAXEffectParametersV1, IID_IAAXEffectParametersV2, IID_IAAXEffectParametersV3,
                             IID_IAAXEffectParametersV4, IID_IACFUnknown};
  for (const acfIID& iid : versions)
  {
    void* out = nullptr;
    ASSERT_EQ(mEffect->QueryInterface(iid, &out), ACF_OK);
    ASSERT_NE(out, nullptr);
    static_cast<IACFUnknown*>(out)->Release();
  }
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(mEffect->QueryInterface(IID_IAAXEffectGUIV1, &out), ACF_E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(mEffect->RefCount(), 1u);
}

} // namespace
