#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CHostServices.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_CStringDisplayDelegate.h"
#include "AAX_CUnitDisplayDelegateDecorator.h"
#include "AAX_IAutomationDelegate.h"
#include "HostServices.h"
#include "support/ScopedLocale.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Records what parameters ask of the host, one line per request.
class RecordingAutomation final : public AAX_IAutomationDelegate
{
public:
  AAX_Result RegisterParameter(AAX_CParamID id) override { return Log("register", id); }
  AAX_Result UnregisterParameter(AAX_CParamID id) override { return Log("unregister", id); }
  AAX_Result PostSetValueRequest(AAX_CParamID id, double v) const override { return Log("set", id, v); }
  AAX_Result PostCurrentValue(AAX_CParamID id, double v) const override { return Log("current", id, v); }
  AAX_Result PostTouchRequest(AAX_CParamID id) override { return Log("touch", id); }
  AAX_Result PostReleaseRequest(AAX_CParamID id) override { return Log("release", id); }

  mutable std::vector<std::string> log;

private:
  AAX_Result Log(const char* what, AAX_CParamID id, double v = -1.0) const
  {
    std::string line = std::string(what) + " " + id;
    if (v >= 0.0)
      line += " " + std::to_string(v).substr(0, 4);
    log.push_back(line);
    return AAX_SUCCESS;
  }
};

// The "Gain" display: two decimals, then "dB" with no blank.
AAX_CUnitDisplayDelegateDecorator<double> GainDisplay()
{
  return AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2>(), AAX_CString("dB"));
}

// A -30..30 dB double with a linear taper of its own, like the product's "Gain".
class LinearDoubleTaper final : public AAX_ITaperDelegate<double>
{
public:
  LinearDoubleTaper* Clone() const override { return new LinearDoubleTaper(*this); }
  double GetMinimumValue() const override { return -30.0; }
  double GetMaximumValue() const override { return 30.0; }
  double ConstrainRealValue(double v) const override { return std::clamp(v, -30.0, 30.0); }
  double NormalizedToReal(double n) const override { return ConstrainRealValue(-30.0 + 60.0 * n); }
  double RealToNormalized(double v) const override { return (ConstrainRealValue(v) + 30.0) / 60.0; }
};

std::map<int32_t, AAX_CString> OversamplingTexts()
{
  return {{0, AAX_CString("Oversampling Off")}, {1, AAX_CString("Oversampling On")}};
}

TEST(NumberDisplay, FixedPointWithUnitAndNarrowCuts)
{
  const auto display = GainDisplay();
  struct Case
  {
    double value;
    int32_t maxChars;  // -1: the form without a maximum
    const char* text;
  };
  const Case cases[] = {
    {-3.5, -1, "-3.50dB"}, {0.0, -1, "0.00dB"},  {-3.5, 4, "-3.5"}, {-3.5, 3, "-3"},
    {-3.5, 5, "-3.50"},    {-3.5, 6, "-3.50"},   {-3.5, 7, "-3.50dB"}, {-3.5, 100, "-3.50dB"},
    {-3.5, 0, ""},         {12.345, 8, "12.35dB"},
  };
  // A point whatever locale the host runs in (a German one would print "-3,50"), so that the
  // text reads back.
  for (const char* locale : {"C", "de_DE.UTF-8"})
  {
    test::ScopedLocale scoped(locale);
    if (!scoped.Valid())
    {
      ADD_FAILURE() << "locale " << locale << " is not installed (scripts/setup generates it)";
      continue;
    }
    for (const Case& c : cases)
    {
      AAX_CString text;
      EXPECT_TRUE(c.maxChars < 0 ? display.ValueToString(c.value, &text)
                                 : display.ValueToString(c.value, c.maxChars, &text));
      EXPECT_EQ(text.StdString(), c.text) << locale << ": " << c.value << " in " << c.maxChars;
    }
  }

  AAX_CString text;
  AAX_CNumberDisplayDelegate<double, 2>().ValueToString(-3.5, -8, &text);
  EXPECT_EQ(text.StdString(), "") << "a negative maximum leaves no room";
  AAX_CNumberDisplayDelegate<int32_t, 0>().ValueToString(-17, &text);
  EXPECT_EQ(text.StdString(), "-17");
}

TEST(NumberDisplay, ReadsTheLeadingNumberOnly)
{
  const auto display = GainDisplay();
  const AAX_CNumberDisplayDelegate<int32_t, 0> integers;
  struct Case
  {
    const char* text;
    bool ok;
    double value;
    int32_t intValue;
  };
  const Case cases[] = {
    {"-3.5dB", true, -3.5, -3},          {"  12.25 volts", true, 12.25, 12},
    {"+4", true, 4.0, 4},                {".5", true, 0.5, 0},
    {"1e2", true, 100.0, 100},           {"-7.9", true, -7.9, -7},
    {"1e12", true, 1e12, std::numeric_limits<int32_t>::max()},
    {"abc", false, 0.0, 0},              {"", false, 0.0, 0},
    {"dB", false, 0.0, 0},               {"nan", false, 0.0, 0},
    {"inf", false, 0.0, 0},              {"1e999", false, 0.0, 0},
    {"-", false, 0.0, 0},
  };
  for (const Case& c : cases)
  {
    double value = 99.0;
    EXPECT_EQ(display.StringToValue(AAX_CString(c.text), &value), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    int32_t intValue = 99;
    EXPECT_EQ(integers.StringToValue(AAX_CString(c.text), &intValue), c.ok) << c.text;
    EXPECT_EQ(intValue, c.intValue) << c.text;
  }
}

TEST(StringDisplay, KnownValuesAndTextsOnly)
{
  const AAX_CStringDisplayDelegate display(OversamplingTexts());
  AAX_CString text;
  EXPECT_TRUE(display.ValueToString(1, &text));
  EXPECT_EQ(text.StdString(), "Oversampling On");
  EXPECT_FALSE(display.ValueToString(2, 4, &text));
  EXPECT_EQ(text.StdString(), "String Not Found");

  int32_t value = 7;
  EXPECT_TRUE(display.StringToValue(AAX_CString("Oversampling Off"), &value));
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(display.StringToValue(AAX_CString("Oversampling"), &value));
  EXPECT_EQ(value, 0);
}

TEST(BinaryDisplay, TwoTextsAndNothingElse)
{
  const AAX_CBinaryDisplayDelegate display("bypass", "on");
  AAX_CString text;
  display.ValueToString(false, &text);
  EXPECT_EQ(text.StdString(), "bypass");
  display.ValueToString(true, 1, &text);
  EXPECT_EQ(text.StdString(), "on");

  bool value = true;
  EXPECT_TRUE(display.StringToValue(AAX_CString("on"), &value));
  EXPECT_TRUE(value);
  EXPECT_TRUE(display.StringToValue(AAX_CString("bypass"), &value));
  EXPECT_FALSE(value);
  value = true;
  EXPECT_FALSE(display.StringToValue(AAX_CString("off"), &value));
  EXPECT_FALSE(value);
}

TEST(Tapers, LinearRoundsToTheNearestIntegerAndStaysInRange)
{
  const AAX_CLinearTaperDelegate twoSteps(0, 1);
  EXPECT_EQ(twoSteps.NormalizedToReal(0.49), 0);
  EXPECT_EQ(twoSteps.NormalizedToReal(0.5), 1);
  EXPECT_EQ(twoSteps.NormalizedToReal(-3.0), 0);
  EXPECT_EQ(twoSteps.NormalizedToReal(7.0), 1);
  EXPECT_EQ(twoSteps.NormalizedToReal(kNaN), 0);
  EXPECT_EQ(twoSteps.NormalizedToReal(kInf), 1);
  EXPECT_DOUBLE_EQ(twoSteps.RealToNormalized(1), 1.0);
  EXPECT_DOUBLE_EQ(twoSteps.RealToNormalized(5), 1.0);

  const AAX_CLinearTaperDelegate wide(-10, 10);
  EXPECT_EQ(wide.NormalizedToReal(0.75), 5);
  EXPECT_DOUBLE_EQ(wide.RealToNormalized(-5), 0.25);
  EXPECT_DOUBLE_EQ(AAX_CLinearTaperDelegate(3, 3).RealToNormalized(3), 0.5);

  const AAX_CLinearTaperDelegate full(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(full.NormalizedToReal(1.0), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(full.NormalizedToReal(0.0), std::numeric_limits<int32_t>::min());

  const AAX_CBinaryTaperDelegate binary;
  EXPECT_FALSE(binary.NormalizedToReal(0.0));
  EXPECT_TRUE(binary.NormalizedToReal(0.001));
  EXPECT_DOUBLE_EQ(binary.RealToNormalized(true), 1.0);
}

// Parameters report to the module's host services; this fixture listens.
class Parameters : public testing::Test
{
protected:
  void SetUp() override { AAX_CHostServices::Set(static_cast<AAX_IACFHostServices*>(mHost.get())); }
  void TearDown() override { AAX_CHostServices::Kill(); }

  aaxhost::HostRef<aaxhost::HostServices> mHost = aaxhost::HostServices::Create();
};

TEST_F(Parameters, GainTextFromTheCurrentAndFromANormalisedValue)
{
  AAX_CParameter<double> gain("1", AAX_CString("Gain"), 0.0, LinearDoubleTaper(), GainDisplay(), true);
  gain.SetValue(-3.5);
  AAX_CString text;
  gain.GetValueString(&text);
  EXPECT_EQ(text.StdString(), "-3.50dB");
  gain.GetValueString(4, &text);
  EXPECT_EQ(text.StdString(), "-3.5");

  EXPECT_TRUE(gain.GetStringFromNormalizedValue(0.25, 32, text));
  EXPECT_EQ(text.StdString(), "-15.00dB");
  EXPECT_FALSE(gain.GetStringFromNormalizedValue(1.5, 32, text)) << "above the range";
  EXPECT_FALSE(gain.GetStringFromNormalizedValue(-0.1, 32, text)) << "below the range";
  EXPECT_FALSE(gain.GetStringFromNormalizedValue(kNaN, 32, text));

  double normalized = -1.0;
  EXPECT_TRUE(gain.GetNormalizedValueFromString(AAX_CString("15dB"), &normalized));
  EXPECT_DOUBLE_EQ(normalized, 0.75);
  EXPECT_FALSE(gain.GetNormalizedValueFromString(AAX_CString("loud"), &normalized));
  EXPECT_TRUE(gain.SetValueFromString(AAX_CString("6.5")));
  EXPECT_DOUBLE_EQ(gain.GetValue(), 6.5);
}

TEST_F(Parameters, OversamplingShowsStringNotFoundForAValueWithoutText)
{
  AAX_CParameter<int32_t> oversampling("5", AAX_CString("Oversampling"), 0, AAX_CLinearTaperDelegate(0, 2),
                                       AAX_CStringDisplayDelegate(OversamplingTexts()), true);
  oversampling.SetNumberOfSteps(2);
  AAX_CString text;
  EXPECT_TRUE(oversampling.GetValueString(&text));
  EXPECT_EQ(text.StdString(), "Oversampling Off");
  EXPECT_TRUE(oversampling.SetValueWithInt32(2));
  EXPECT_FALSE(oversampling.GetValueString(&text));
  EXPECT_EQ(text.StdString(), "String Not Found");
}

TEST_F(Parameters, StepConversions)
{
  AAX_CParameter<int32_t> twoSteps("6", AAX_CString("Bypass"), 0, AAX_CLinearTaperDelegate(0, 1),
                                   AAX_CNumberDisplayDelegate<int32_t, 0>(), true);
  EXPECT_EQ(twoSteps.GetNumberOfSteps(), 128u) << "a continuous parameter starts with 128 steps";
  twoSteps.SetNumberOfSteps(2);
  EXPECT_DOUBLE_EQ(twoSteps.GetNormalizedValueFromStep(1), 1.0);
  EXPECT_DOUBLE_EQ(twoSteps.GetNormalizedValueFromStep(9), 1.0);
  EXPECT_EQ(twoSteps.GetStepValueFromNormalizedValue(0.49), 0u);
  EXPECT_EQ(twoSteps.GetStepValueFromNormalizedValue(0.5), 1u);
  EXPECT_EQ(twoSteps.GetStepValueFromNormalizedValue(7.0), 1u);
  EXPECT_EQ(twoSteps.GetStepValueFromNormalizedValue(-7.0), 0u);
  EXPECT_EQ(twoSteps.GetStepValueFromNormalizedValue(kNaN), 0u);
  twoSteps.SetStepValue(1);
  EXPECT_EQ(twoSteps.GetStepValue(), 1u);

  AAX_CParameter<double> fine("1", AAX_CString("Gain"), 0.0, LinearDoubleTaper(), GainDisplay(), true);
  EXPECT_DOUBLE_EQ(fine.GetNormalizedValueFromStep(127), 1.0);
  EXPECT_EQ(fine.GetStepValueFromNormalizedValue(0.5), 64u);

  fine.SetNumberOfSteps(1);
  EXPECT_DOUBLE_EQ(fine.GetNormalizedValueFromStep(1), 0.0) << "fewer than two steps have no grid";
  EXPECT_EQ(fine.GetStepValueFromNormalizedValue(1.0), 0u);
  const double before = fine.GetNormalizedValue();
  fine.SetStepValue(1);
  EXPECT_DOUBLE_EQ(fine.GetNormalizedValue(), before);

  EXPECT_TRUE(mHost->Asserts().empty());
  fine.SetNumberOfSteps(0);
  EXPECT_EQ(fine.GetNumberOfSteps(), 1u) << "zero steps are refused";
  ASSERT_EQ(mHost->Asserts().size(), 1u);
  EXPECT_EQ(mHost->Asserts()[0].note, "0 < numSteps");
  EXPECT_EQ(mHost->Asserts()[0].line, 834);
}

TEST_F(Parameters, TypedAccessOnlyForTheOwnType)
{
  AAX_CParameter<double> gain("1", AAX_CString("Gain"), -3.0, LinearDoubleTaper(), GainDisplay(), true);
  AAX_CParameter<int32_t> steps("5", AAX_CString("Oversampling"), 1, AAX_CLinearTaperDelegate(0, 1),
                                AAX_CStringDisplayDelegate(OversamplingTexts()), true);
  AAX_CParameter<bool> bypass("", AAX_CString("Master Bypass"), true, AAX_CBinaryTaperDelegate(),
                              AAX_CBinaryDisplayDelegate("bypass", "on"), true);

  bool b = false;
  int32_t i = -1;
  float f = -1.0f;
  double d = -1.0;
  AAX_CString s("untouched");

  EXPECT_TRUE(gain.GetValueAsDouble(&d));
  EXPECT_DOUBLE_EQ(d, -3.0);
  EXPECT_FALSE(gain.GetValueAsFloat(&f));
  EXPECT_FALSE(gain.GetValueAsInt32(&i));
  EXPECT_FALSE(gain.GetValueAsBool(&b));
  EXPECT_FALSE(gain.GetValueAsString(&s));
  EXPECT_TRUE(steps.GetValueAsInt32(&i));
  EXPECT_EQ(i, 1);
  EXPECT_FALSE(steps.GetValueAsDouble(&d));
  EXPECT_TRUE(bypass.GetValueAsBool(&b));
  EXPECT_TRUE(b);
  EXPECT_FALSE(bypass.GetValueAsInt32(&i));
  // Nothing was written by the refused reads.
  EXPECT_EQ(f, -1.0f);
  EXPECT_EQ(i, 1);
  EXPECT_DOUBLE_EQ(d, -3.0);
  EXPECT_EQ(s.StdString(), "untouched");

  EXPECT_FALSE(gain.SetValueWithFloat(1.0f));
  EXPECT_FALSE(gain.SetValueWithInt32(1));
  EXPECT_FALSE(gain.SetValueWithBool(true));
  EXPECT_FALSE(gain.SetValueWithString(AAX_CString("1")));
  EXPECT_DOUBLE_EQ(gain.GetValue(), -3.0);
  EXPECT_TRUE(gain.SetValueWithDouble(12.0));
  EXPECT_DOUBLE_EQ(gain.GetValue(), 12.0);
  EXPECT_FALSE(steps.SetValueWithDouble(0.0));
  EXPECT_TRUE(bypass.SetValueWithBool(false));
  EXPECT_FALSE(bypass.GetValue());

  // A cloned value holder keeps its type rules and its identity.
  std::unique_ptr<AAX_IParameterValue> copy(gain.CloneValue());
  EXPECT_STREQ(copy->Identifier(), "1");
  EXPECT_TRUE(copy->GetValueAsDouble(&d));
  EXPECT_DOUBLE_EQ(d, 12.0);
  EXPECT_FALSE(copy->GetValueAsFloat(&f));
}

TEST_F(Parameters, LongIdentifierIsCutTo31CharactersAndReported)
{
  const std::string id32(32, 'a');
  AAX_CParameter<bool> longOne(id32.c_str(), AAX_CString("x"), false, AAX_CBinaryTaperDelegate(),
                               AAX_CBinaryDisplayDelegate("off", "on"), true);
  EXPECT_EQ(std::string(longOne.Identifier()), std::string(31, 'a'));
  ASSERT_EQ(mHost->Asserts().size(), 1u);
  EXPECT_EQ(mHost->Asserts()[0].file, "Dependencies/IPlug/AAX_SDK/Interfaces/AAX_CParameter");
  EXPECT_EQ(mHost->Asserts()[0].line, 194);
  EXPECT_EQ(mHost->Asserts()[0].note, "len < eParemeterDefaultMaxIdentifierSize");

  const std::string id31(31, 'b');
  AAX_CParameter<bool> fits(id31.c_str(), AAX_CString("x"), false, AAX_CBinaryTaperDelegate(),
                            AAX_CBinaryDisplayDelegate("off", "on"), true);
  EXPECT_EQ(std::string(fits.Identifier()), id31);
  EXPECT_EQ(mHost->Asserts().size(), 1u) << "31 characters fit";

  AAX_CParameter<bool> none(nullptr, AAX_CString("x"), false, AAX_CBinaryTaperDelegate(),
                            AAX_CBinaryDisplayDelegate("off", "on"), true);
  EXPECT_STREQ(none.Identifier(), "");
}

TEST_F(Parameters, WithAutomationTheValueWaitsForTheHostsAnswer)
{
  RecordingAutomation automation;
  {
    AAX_CParameter<double> gain("1", AAX_CString("Gain"), 0.0, LinearDoubleTaper(), GainDisplay(), true);
    gain.SetAutomationDelegate(&automation);
    gain.SetValue(15.0);
    EXPECT_DOUBLE_EQ(gain.GetValue(), 0.0) << "the host owns the value until it answers";
    EXPECT_EQ(automation.log, (std::vector<std::string>{"register 1", "touch 1", "set 1 0.75", "release 1"}));

    automation.log.clear();
    gain.UpdateNormalizedValue(0.75);
    EXPECT_DOUBLE_EQ(gain.GetValue(), 15.0);
    EXPECT_EQ(automation.log, (std::vector<std::string>{"current 1 0.75"}));
    gain.UpdateNormalizedValue(0.75);
    EXPECT_EQ(automation.log.size(), 1u) << "an unchanged value is not reported again";
    gain.UpdateNormalizedValue(kNaN);
    gain.SetNormalizedValue(kInf);
    EXPECT_DOUBLE_EQ(gain.GetValue(), 15.0);
    EXPECT_EQ(automation.log.size(), 1u) << "non-finite values neither change nor ask anything";

    RecordingAutomation other;
    gain.SetAutomationDelegate(&other);
    EXPECT_EQ(automation.log.back(), "unregister 1");
    EXPECT_EQ(other.log, (std::vector<std::string>{"register 1"}));
    gain.SetAutomationDelegate(nullptr);
    automation.log.clear();
  }
  EXPECT_TRUE(automation.log.empty()) << "a parameter without delegate unregisters from nobody";

  {
    AAX_CParameter<bool> bypass("", AAX_CString("Master Bypass"), false, AAX_CBinaryTaperDelegate(),
                                AAX_CBinaryDisplayDelegate("bypass", "on"), true);
    bypass.SetAutomationDelegate(&automation);
  }
  EXPECT_EQ(automation.log.back(), "unregister ") << "destruction unregisters the identifier";
}

TEST_F(Parameters, WithoutAutomationValuesAndDefaultsApplyDirectly)
{
  AAX_CParameter<double> gain("1", AAX_CString("Gain"), 6.0, LinearDoubleTaper(), GainDisplay(), true);
  EXPECT_DOUBLE_EQ(gain.GetValue(), 6.0) << "the default is the first value";
  EXPECT_DOUBLE_EQ(gain.GetNormalizedDefaultValue(), 0.6);
  gain.SetNormalizedValue(0.0);
  EXPECT_DOUBLE_EQ(gain.GetValue(), -30.0);
  gain.SetNormalizedDefaultValue(2.0);
  EXPECT_DOUBLE_EQ(gain.GetDefaultValue(), 30.0) << "the default is constrained";
  gain.SetNormalizedDefaultValue(kNaN);
  EXPECT_DOUBLE_EQ(gain.GetDefaultValue(), 30.0);
  gain.SetToDefaultValue();
  EXPECT_DOUBLE_EQ(gain.GetValue(), 30.0);
  gain.SetValue(kNaN);
  EXPECT_DOUBLE_EQ(gain.GetValue(), 30.0);
}

TEST_F(Parameters, ShortenedNamesChooseTheLongestThatFits)
{
  AAX_CParameter<double> gain("3", AAX_CString("High Gain"), 0.0, LinearDoubleTaper(), GainDisplay(), true);
  EXPECT_EQ(gain.ShortenedName(4).StdString(), "High Gain") << "no shortened names: the full name";
  gain.AddShortenedName(AAX_CString("HGain"));
  gain.AddShortenedName(AAX_CString("HG"));
  struct Case
  {
    int32_t length;
    const char* name;
  };
  const Case cases[] = {{1, "HG"}, {2, "HG"}, {4, "HG"}, {5, "HGain"}, {8, "HGain"}, {9, "High Gain"},
                        {200, "High Gain"}, {-1, "High Gain"}};
  for (const Case& c : cases)
    EXPECT_EQ(gain.ShortenedName(c.length).StdString(), c.name) << c.length;
  gain.ClearShortenedNames();
  EXPECT_EQ(gain.ShortenedName(2).StdString(), "High Gain");
}

TEST(ParameterManager, KeepsInsertionOrderAndRefusesDuplicates)
{
  RecordingAutomation automation;
  AAX_CParameterManager manager;
  manager.Initialize(&automation);
  auto make = [](const char* id) {
    return new AAX_CParameter<bool>(id, AAX_CString(id), false, AAX_CBinaryTaperDelegate(),
                                    AAX_CBinaryDisplayDelegate("off", "on"), true);
  };
  EXPECT_TRUE(manager.AddParameter(make("")));
  EXPECT_TRUE(manager.AddParameter(make("1")));
  EXPECT_TRUE(manager.AddParameter(make("2")));
  std::unique_ptr<AAX_IParameter> duplicate(make("1"));
  EXPECT_FALSE(manager.AddParameter(duplicate.get())) << "the refused parameter stays the caller's";
  EXPECT_FALSE(manager.AddParameter(nullptr));

  EXPECT_EQ(manager.NumParameters(), 3);
  EXPECT_EQ(manager.GetParameterIndex("2"), 2);
  EXPECT_EQ(manager.GetParameterIndex("9"), -1);
  EXPECT_EQ(manager.GetParameterIndex(nullptr), -1);
  EXPECT_EQ(manager.GetParameter(3), nullptr);
  EXPECT_EQ(manager.GetParameter(-1), nullptr);
  EXPECT_EQ(manager.GetParameterByID(nullptr), nullptr);
  EXPECT_EQ(automation.log, (std::vector<std::string>{"register ", "register 1", "register 2"}));

  automation.log.clear();
  manager.RemoveParameterByID("1");
  EXPECT_EQ(manager.NumParameters(), 2);
  EXPECT_EQ(manager.GetParameterIndex("2"), 1);
  manager.RemoveAllParameters();
  EXPECT_EQ(manager.NumParameters(), 0);
  EXPECT_EQ(automation.log, (std::vector<std::string>{"unregister 1", "unregister 2", "unregister "}));
}

} // namespace
