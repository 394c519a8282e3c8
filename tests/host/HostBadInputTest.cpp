#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_IParameter.h"
#include "ModuleHostFixture.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A started, registered host with one initialised instance of the product.
class ProductInstance : public ModuleHost
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(host.Startup(), ACF_OK);
    ASSERT_EQ(host.Register(), ACF_OK);
    instance = host.CreateInstance();
    ASSERT_EQ(instance->Initialize(), AAX_SUCCESS);
    effect = instance->Effect();
  }

  std::vector<double> NormalizedValues() const
  {
    std::vector<double> values;
    for (const auto& info : instance->Parameters())
      values.push_back(info.value);
    return values;
  }

  std::unique_ptr<aaxhost::HostInstance> instance;
  AAX_IACFEffectParameters* effect = nullptr;
};

TEST_F(ProductInstance, IndexAndShortNameLookups)
{
  int32_t index = -1;
  EXPECT_EQ(effect->GetParameterIndex("4", &index), AAX_SUCCESS);
  EXPECT_EQ(index, 4) << "the master bypass is at index 0";
  EXPECT_EQ(effect->GetParameterIndex("", &index), AAX_SUCCESS);
  EXPECT_EQ(index, 0);

  AAX_CString name;
  EXPECT_EQ(effect->GetParameterNameOfLength("3", &name, 4), AAX_SUCCESS);
  EXPECT_EQ(name.StdString(), "High");
  EXPECT_EQ(effect->GetParameterNameOfLength("3", &name, 9), AAX_SUCCESS);
  EXPECT_EQ(name.StdString(), "High Gain");
  EXPECT_EQ(effect->GetParameterNameOfLength("3", &name, 1000000), AAX_SUCCESS);
  EXPECT_EQ(name.StdString(), "High Gain");

  AAX_CString id;
  EXPECT_EQ(effect->GetParameterIDFromIndex(6, &id), AAX_SUCCESS);
  EXPECT_EQ(id.StdString(), "6");
  AAX_CString bypassID("x");
  EXPECT_EQ(effect->GetMasterBypassParameter(&bypassID), AAX_SUCCESS);
  EXPECT_EQ(bypassID.StdString(), "") << "no parameter carries the bypass identifier";
}

TEST_F(ProductInstance, SetValueRequestsComeBackAsUpdates)
{
  auto& automation = instance->Controller().Automation();
  automation.ClearEvents();
  ASSERT_EQ(effect->SetParameterNormalizedValue("1", 0.75), AAX_SUCCESS);
  double value = -1.0;
  effect->GetParameterNormalizedValue("1", &value);
  EXPECT_DOUBLE_EQ(value, 0.5) << "unchanged until the host answers";
  ASSERT_EQ(automation.Events().size(), 3u);
  EXPECT_EQ(automation.Events()[0].kind, "touch");
  EXPECT_EQ(automation.Events()[1].kind, "set");
  EXPECT_DOUBLE_EQ(automation.Events()[1].value, 0.75);
  EXPECT_EQ(automation.Events()[2].kind, "release");

  EXPECT_EQ(instance->DeliverAutomation(), 1);
  effect->GetParameterNormalizedValue("1", &value);
  EXPECT_DOUBLE_EQ(value, 0.75);
  EXPECT_EQ(automation.Events().back().kind, "current");
  AAX_CString text;
  effect->GetParameterValueString("1", &text, 32);
  EXPECT_EQ(text.StdString(), "15.00dB");
  int32_t changes = 0;
  effect->GetNumberOfChanges(&changes);
  EXPECT_EQ(changes, 1);
}

TEST_F(ProductInstance, BadInputFromTheHostGetsItsCodeAndChangesNothing)
{
  const std::vector<double> before = NormalizedValues();
  AAX_CString text;
  double value = 0.0;
  int32_t number = 0;
  AAX_CBoolean flag = 0;
  AAX_EParameterType type{};
  AAX_EParameterOrientation orientation{};
  AAX_IParameter* parameter = nullptr;
  void* queried = nullptr;
  auto* effectV4 = instance->EffectV4();
  ASSERT_NE(effectV4, nullptr);

  struct Case
  {
    const char* what;
    std::function<AAX_Result()> call;
    AAX_Result expected;
  };
  const std::string longID(4096, '7');
  const Case cases[] = {
    {"parameter count, null out", [&] { return effect->GetNumberOfParameters(nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"master bypass, null out", [&] { return effect->GetMasterBypassParameter(nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"automatable, unknown id", [&] { return effect->GetParameterIsAutomatable("9", &flag); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"automatable, null id", [&] { return effect->GetParameterIsAutomatable(nullptr, &flag); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"automatable, null out", [&] { return effect->GetParameterIsAutomatable("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"automatable, 4096-character id", [&] { return effect->GetParameterIsAutomatable(longID.c_str(), &flag); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"steps, unknown id", [&] { return effect->GetParameterNumberOfSteps("0", &number); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"steps, null out", [&] { return effect->GetParameterNumberOfSteps("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"name, unknown id answers empty", [&] { return effect->GetParameterName("9", &text); }, AAX_SUCCESS},
    {"name, null out", [&] { return effect->GetParameterName("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"short name, null out", [&] { return effect->GetParameterNameOfLength("1", nullptr, 4); }, AAX_ERROR_INVALID_STRING_CONVERSION},
    {"short name, unknown id", [&] { return effect->GetParameterNameOfLength("9", &text, 4); }, AAX_SUCCESS},
    {"short name, negative length", [&] { return effect->GetParameterNameOfLength("1", &text, -5); }, AAX_SUCCESS},
    {"short name, most negative length", [&] { return effect->GetParameterNameOfLength("1", &text, INT32_MIN); }, AAX_SUCCESS},
    {"default, unknown id", [&] { return effect->GetParameterDefaultNormalizedValue("9", &value); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"default, null out", [&] { return effect->GetParameterDefaultNormalizedValue("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"set default, NaN", [&] { return effect->SetParameterDefaultNormalizedValue("1", kNaN); }, AAX_ERROR_INVALID_ARGUMENT},
    {"set default, unknown id", [&] { return effect->SetParameterDefaultNormalizedValue("9", 0.5); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"type, null out", [&] { return effect->GetParameterType("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"type, unknown id", [&] { return effect->GetParameterType("x", &type); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"orientation, unknown id", [&] { return effect->GetParameterOrientation("x", &orientation); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"parameter object, null out", [&] { return effect->GetParameter("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"parameter object, unknown id", [&] { return effect->GetParameter("9", &parameter); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"index, unknown id", [&] { return effect->GetParameterIndex("9", &number); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"index, null out", [&] { return effect->GetParameterIndex("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"id of index -1", [&] { return effect->GetParameterIDFromIndex(-1, &text); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"id of index 7", [&] { return effect->GetParameterIDFromIndex(7, &text); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"id of the largest index", [&] { return effect->GetParameterIDFromIndex(INT32_MAX, &text); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"id of index, null out", [&] { return effect->GetParameterIDFromIndex(0, nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"value info", [&] { return effectV4->GetParameterValueInfo("1", 0, &number); }, AAX_ERROR_UNIMPLEMENTED},
    {"value from text, not a number", [&] { return effect->GetParameterValueFromString("1", &value, AAX_CString("loud")); }, AAX_ERROR_INVALID_STRING_CONVERSION},
    {"value from text, unknown id", [&] { return effect->GetParameterValueFromString("9", &value, AAX_CString("1")); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"value from text, null out", [&] { return effect->GetParameterValueFromString("1", nullptr, AAX_CString("1")); }, AAX_ERROR_NULL_ARGUMENT},
    {"text of value, NaN", [&] { return effect->GetParameterStringFromValue("1", kNaN, &text, 32); }, AAX_ERROR_INVALID_ARGUMENT},
    {"text of value, negative length", [&] { return effect->GetParameterStringFromValue("1", 0.5, &text, -1); }, AAX_ERROR_INVALID_ARGUMENT},
    {"text of value, above the range", [&] { return effect->GetParameterStringFromValue("1", 1.5, &text, 32); }, AAX_ERROR_INVALID_STRING_CONVERSION},
    {"text of value, huge length", [&] { return effect->GetParameterStringFromValue("1", 0.5, &text, INT32_MAX); }, AAX_SUCCESS},
    {"text of value, null out", [&] { return effect->GetParameterStringFromValue("1", 0.5, nullptr, 32); }, AAX_ERROR_NULL_ARGUMENT},
    {"value text, negative length", [&] { return effect->GetParameterValueString("1", &text, INT32_MIN); }, AAX_ERROR_INVALID_ARGUMENT},
    {"value text, unknown id", [&] { return effect->GetParameterValueString("9", &text, 32); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"normalised value, null out", [&] { return effect->GetParameterNormalizedValue("1", nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"set value, NaN", [&] { return effect->SetParameterNormalizedValue("1", kNaN); }, AAX_ERROR_INVALID_ARGUMENT},
    {"set value, infinity", [&] { return effect->SetParameterNormalizedValue("1", kInf); }, AAX_ERROR_INVALID_ARGUMENT},
    {"set value, unknown id", [&] { return effect->SetParameterNormalizedValue("9", 0.5); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"set relative, NaN", [&] { return effect->SetParameterNormalizedRelative("1", kNaN); }, AAX_ERROR_INVALID_ARGUMENT},
    {"touch, unknown id", [&] { return effect->TouchParameter("9"); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"release, unknown id", [&] { return effect->ReleaseParameter(nullptr); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"update, identifier 9", [&] { return effect->UpdateParameterNormalizedValue("9", 0.5, AAX_eUpdateSource_Parameter); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"update, NaN", [&] { return effect->UpdateParameterNormalizedValue("1", kNaN, AAX_eUpdateSource_Parameter); }, AAX_ERROR_INVALID_ARGUMENT},
    {"update relative, unknown id", [&] { return effect->UpdateParameterNormalizedRelative("9", 0.1); }, AAX_ERROR_INVALID_PARAMETER_ID},
    {"update relative, infinity", [&] { return effect->UpdateParameterNormalizedRelative("1", -kInf); }, AAX_ERROR_INVALID_ARGUMENT},
    {"field reset, null block with a size", [&] { return effect->ResetFieldData(23, nullptr, 8); }, AAX_ERROR_NULL_ARGUMENT},
    {"change count, null out", [&] { return effect->GetNumberOfChanges(nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"chunk count, null out", [&] { return effect->GetNumberOfChunks(nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"preview notification without data", [&] { return effect->NotificationReceived(0x41535076, nullptr, 4); }, AAX_SUCCESS},
    {"query, unknown interface", [&] { return effect->QueryInterface(ACFUIDFromText("01234567-89AB-CDEF-0123-456789ABCDEF"), &queried); }, ACF_E_NOINTERFACE},
    {"query, null out", [&] { return effect->QueryInterface(IID_IAAXEffectParametersV2, nullptr); }, AAX_ERROR_NULL_ARGUMENT},
    {"initialise twice", [&] { return effect->Initialize(instance->ControllerUnknown()); }, AAX_ERROR_INVALID_ARGUMENT},
    {"curve data", [&] { return instance->EffectV2()->GetCurveData(0, nullptr, 4, nullptr); }, AAX_ERROR_UNIMPLEMENTED},
  };

  for (const Case& c : cases)
    EXPECT_EQ(c.call(), c.expected) << c.what;

  EXPECT_EQ(NormalizedValues(), before) << "no parameter changed";
  EXPECT_EQ(instance->Controller().Automation().Registered().size(), 7u) << "no parameter registered twice";
  EXPECT_EQ(queried, nullptr);
  effect->GetParameterName("9", &text);
  EXPECT_EQ(text.StdString(), "");
}

TEST_F(ModuleHost, InitialiseWithoutControllerIsRefused)
{
  ASSERT_EQ(host.Startup(), ACF_OK);
  ASSERT_EQ(host.Register(), ACF_OK);
  auto instance = host.CreateInstance();
  EXPECT_EQ(instance->Effect()->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
  int32_t count = -1;
  instance->Effect()->GetNumberOfParameters(&count);
  EXPECT_EQ(count, 0);
}

TEST_F(ModuleHost, RegistrationArgumentsFromABrokenHost)
{
  host.Startup();
  EXPECT_EQ(host.Module().RegisterPlugin(nullptr, nullptr), AAX_ERROR_NULL_ARGUMENT);
  IACFPluginDefinition* definition = reinterpret_cast<IACFPluginDefinition*>(0x1);
  EXPECT_EQ(host.Module().RegisterPlugin(nullptr, &definition), AAX_ERROR_NULL_OBJECT) << "no collection";
  EXPECT_EQ(definition, nullptr);
  EXPECT_EQ(host.Module().RegisterPlugin(host.ServicesUnknown(), &definition), AAX_ERROR_NULL_OBJECT)
    << "a host object that is no collection";
  EXPECT_EQ(host.Module().RegisterComponent(nullptr, 0, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(host.Module().GetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
}

} // namespace
