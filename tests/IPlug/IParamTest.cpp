#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "IParam.h"
#include "ShapeExp.h"
#include "ShapePowCurve.h"

using namespace iplug;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Format(const IParam& p, double value, bool withDisplayText = true)
{
  std::string out = "stale text";
  p.FormatValue(value, false, out, withDisplayText);
  return out;
}

} // namespace

// ---- Definition ----

TEST(IParamDefinition, FreshParameterIsANeutralLinearDouble)
{
  const IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Step(), 1.0);
  EXPECT_EQ(p.Default(), 0.0);
  EXPECT_EQ(p.DisplayPrecision(), 0);
  EXPECT_EQ(p.Flags(), 0);
  EXPECT_STREQ(p.Name(), "");
  EXPECT_STREQ(p.Label(), "");
  EXPECT_STREQ(p.Group(), "");
  EXPECT_EQ(p.GetShape().DisplayCurve(), 0);
  EXPECT_EQ(p.DisplayTextCount(), 0);
}

TEST(IParamDefinition, EachDefiningOperationSetsTypeUnitLabelAndRange)
{
  struct Case
  {
    const char* what;
    std::function<void(IParam&)> define;
    IParam::EParamType type;
    IParam::EParamUnit unit;
    const char* label;
    double min, max, step;
    bool stepped;
    int curve;
  };
  const Case cases[] = {
    {"double", [](IParam& p) { p.DefineDouble("X", 0., -30., 30., 0.1, "dB"); },
     IParam::kTypeDouble, IParam::kUnitCustom, "dB", -30, 30, 0.1, false, 0},
    {"int", [](IParam& p) { p.DefineInt("X", 0, 0, 1); },
     IParam::kTypeInt, IParam::kUnitCustom, "", 0, 1, 1, true, 0},
    {"enum", [](IParam& p) { p.DefineEnum("X", 0, 3, "mode"); },
     IParam::kTypeEnum, IParam::kUnitCustom, "mode", 0, 2, 1, true, 0},
    {"enum list", [](IParam& p) { p.DefineEnumList("X", 0, {"a", "b", "c", "d"}); },
     IParam::kTypeEnum, IParam::kUnitCustom, "", 0, 3, 1, true, 0},
    {"bool", [](IParam& p) { p.DefineBool("X", true); },
     IParam::kTypeBool, IParam::kUnitCustom, "", 0, 1, 1, true, 0},
    {"gain", [](IParam& p) { p.DefineGain("X", 0., -70., 24., 0.5); },
     IParam::kTypeDouble, IParam::kUnitDB, "dB", -70, 24, 0.5, false, 0},
    {"frequency", [](IParam& p) { p.DefineFrequency("X", 1000., 20., 20000., 1.); },
     IParam::kTypeDouble, IParam::kUnitFrequency, "Hz", 20, 20000, 1, false, 1},
    {"seconds", [](IParam& p) { p.DefineSeconds("X", 1., 0., 10., 0.01); },
     IParam::kTypeDouble, IParam::kUnitSeconds, "Seconds", 0, 10, 0.01, false, 0},
    {"milliseconds", [](IParam& p) { p.DefineMilliseconds("X", 10., 0., 500.); },
     IParam::kTypeDouble, IParam::kUnitMilliseconds, "ms", 0, 500, 1, false, 0},
    {"percentage", [](IParam& p) { p.DefinePercentage("X", 50., 0., 100.); },
     IParam::kTypeDouble, IParam::kUnitPercentage, "%", 0, 100, 1, false, 0},
    {"angle", [](IParam& p) { p.DefineAngle("X", 0., -180., 180.); },
     IParam::kTypeDouble, IParam::kUnitDegrees, "degrees", -180, 180, 1, false, 0},
    {"pitch", [](IParam& p) { p.DefinePitch("X", 0, 48, 72); },
     IParam::kTypeEnum, IParam::kUnitCustom, "", 0, 24, 1, true, 0},
  };
  static_assert(IParam::kUnitDB == 4 && IParam::kUnitDegrees == 8 &&
                IParam::kUnitFrequency == 12 && IParam::kUnitCustom == 21);

  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    IParam p;
    c.define(p);
    EXPECT_STREQ(p.Name(), "X");
    EXPECT_EQ(p.Type(), c.type);
    EXPECT_EQ(p.Unit(), c.unit);
    EXPECT_STREQ(p.Label(), c.label);
    EXPECT_EQ(p.Min(), c.min);
    EXPECT_EQ(p.Max(), c.max);
    EXPECT_EQ(p.Step(), c.step);
    EXPECT_EQ((p.Flags() & IParam::kFlagStepped) != 0, c.stepped);
    EXPECT_EQ(p.GetShape().DisplayCurve(), c.curve);
  }
}

TEST(IParamDefinition, TypeIsKeptOnceSetAndValueStartsAtConfinedDefault)
{
  IParam p;
  p.DefineBool("Switch", true, "", IParam::kFlagCannotAutomate);
  EXPECT_EQ(p.Type(), IParam::kTypeBool); // not overwritten by the enum and int steps below it
  EXPECT_EQ(p.Value(), 1.0);
  EXPECT_EQ(p.Flags(), IParam::kFlagCannotAutomate | IParam::kFlagStepped);

  IParam q;
  q.DefineDouble("Out of range default", 50., 0., 10., 1.);
  EXPECT_EQ(q.Default(), 50.);
  EXPECT_EQ(q.Value(), 10.);
  q.SetValue(3.);
  q.ResetToDefault();
  EXPECT_EQ(q.Value(), 10.);
}

TEST(IParamDefinition, MaxIsNeverBelowMinPlusStep)
{
  IParam i;
  i.DefineInt("Zero range", 0, 0, 0);
  EXPECT_EQ(i.Max(), 1.0);

  IParam d;
  d.DefineDouble("Inverted", 0., 5., 2., 0.5);
  EXPECT_EQ(d.Min(), 5.0);
  EXPECT_EQ(d.Max(), 5.5);
}

TEST(IParamDefinition, DisplayPrecisionFollowsTheStep)
{
  struct Case { double step; int precision; };
  const Case cases[] = {
    {1.0, 0}, {10.0, 0}, {0.5, 1}, {0.1, 1}, {0.25, 2}, {0.01, 2}, {0.001, 3}, {1e-9, 6}, {0.0, 0},
  };
  for (const Case& c : cases)
  {
    IParam p;
    p.DefineDouble("P", 0., 0., 100., c.step);
    EXPECT_EQ(p.DisplayPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParamDefinition, TextsAreCutToTheirFields)
{
  const std::string longText(40, 'x');
  IParam p;
  p.DefineDouble(longText.c_str(), 0., 0., 1., 0.1, longText.c_str(), 0, longText.c_str());
  p.AddDisplayText(0.5, longText.c_str());
  const std::string cut(31, 'x');
  EXPECT_EQ(p.Name(), cut);
  EXPECT_EQ(p.Label(), cut);
  EXPECT_EQ(p.Group(), cut);
  EXPECT_EQ(p.DisplayTextFor(0.5), cut);

  // A cut never leaves half a character behind: "é" is two bytes straddling byte 31.
  const std::string accented = std::string(30, 'a') + "\xC3\xA9" + "b";
  IParam q;
  q.DefineInt(accented.c_str(), 0, 0, 1);
  EXPECT_EQ(q.Name(), std::string(30, 'a'));

  // Null texts read as empty.
  IParam r;
  r.DefineDouble(nullptr, 0., 0., 1., 0.1, nullptr, 0, nullptr);
  r.AddDisplayText(0., nullptr);
  EXPECT_STREQ(r.Name(), "");
  EXPECT_STREQ(r.DisplayTextAt(0), "");
}

TEST(IParamDefinition, EnumTextsNameTheirValues)
{
  IParam e;
  e.DefineEnum("Mode", 1, 3, "", 0, "", "Low", "Mid", "High");
  ASSERT_EQ(e.DisplayTextCount(), 3);
  EXPECT_EQ(e.Value(), 1.0);
  EXPECT_STREQ(e.DisplayTextFor(2.), "High");

  IParam noTexts;
  noTexts.DefineEnum("Mode", 0, 3, "", 0, "", nullptr, "ignored");
  EXPECT_EQ(noTexts.DisplayTextCount(), 0);

  // Only the texts actually given are read, and never more than count.
  IParam fewer;
  fewer.DefineEnum("Mode", 0, 4, "", 0, "", "A", "B");
  EXPECT_EQ(fewer.DisplayTextCount(), 2);
  IParam more;
  more.DefineEnum("Mode", 0, 2, "", 0, "", "A", "B", "C");
  EXPECT_EQ(more.DisplayTextCount(), 2);

  IParam list;
  list.DefineEnumList("Shape", 2, {"Sine", "Saw", "Square"});
  EXPECT_EQ(list.Value(), 2.0);
  double value = -1;
  EXPECT_STREQ(list.DisplayTextAt(1, &value), "Saw");
  EXPECT_EQ(value, 1.0);

  IParam b;
  b.DefineBool("Oversampling", false, "", 0, "", "Oversampling Off", "Oversampling On");
  EXPECT_STREQ(b.DisplayTextFor(0.), "Oversampling Off");
  EXPECT_STREQ(b.DisplayTextFor(1.), "Oversampling On");
}

TEST(IParamDefinition, PitchNamesEachNote)
{
  IParam on;
  on.DefinePitch("Note", 0, 60, 61, 0, "", true);
  ASSERT_EQ(on.DisplayTextCount(), 2);
  EXPECT_STREQ(on.DisplayTextFor(0.), "C 4");
  EXPECT_STREQ(on.DisplayTextFor(1.), "C#4");
  EXPECT_EQ(on.Max(), 1.0);

  IParam off;
  off.DefinePitch("Note", 0, 59, 72, 0, "", false);
  EXPECT_STREQ(off.DisplayTextFor(0.), "B 2");
  EXPECT_STREQ(off.DisplayTextFor(1.), "C 3");
  EXPECT_STREQ(off.DisplayTextFor(13.), "C 4");

  // Notes below 0 still get real note names rather than reading before the name table.
  IParam low;
  low.DefinePitch("Note", 0, -1, 0, 0, "", true);
  EXPECT_STREQ(low.DisplayTextFor(0.), "B -2");
  EXPECT_STREQ(low.DisplayTextFor(1.), "C -1");
}

TEST(IParamDefinition, CopyTakesTheDefinitionButNotTheValue)
{
  IParam source;
  source.DefineDouble("Left Gain", 1., 0., 4., 0.5, "x", IParam::kFlagSignDisplay, "Left",
                      ShapePowCurve(3.0), IParam::kUnitRatio,
                      [](double v, std::string& out) { out = "v=" + std::to_string(int(v)); });
  source.AddDisplayText(0., "Off");
  source.SetValue(3.);

  IParam copy;
  copy.DefineAsCopy(source, "Left", "Right", "Right");
  EXPECT_STREQ(copy.Name(), "Right Gain");
  EXPECT_STREQ(copy.Group(), "Right");
  EXPECT_STREQ(copy.Label(), "x");
  EXPECT_EQ(copy.Type(), IParam::kTypeDouble);
  EXPECT_EQ(copy.Unit(), IParam::kUnitRatio);
  EXPECT_EQ(copy.Flags(), IParam::kFlagSignDisplay);
  EXPECT_EQ(copy.Min(), 0.);
  EXPECT_EQ(copy.Max(), 4.);
  EXPECT_EQ(copy.Step(), 0.5);
  EXPECT_EQ(copy.Default(), 1.);
  EXPECT_EQ(copy.Value(), 1.); // the default, not the source's 3
  EXPECT_EQ(copy.GetShape().DisplayCurve(), 6);
  EXPECT_NE(&copy.GetShape(), &source.GetShape());
  EXPECT_EQ(Format(copy, 2.), "v=2");
  EXPECT_STREQ(copy.DisplayTextFor(0.), "Off");

  IParam keepGroup;
  keepGroup.DefineAsCopy(source, "Nowhere", "Right", "");
  EXPECT_STREQ(keepGroup.Name(), "Left Gain");
  EXPECT_STREQ(keepGroup.Group(), "Left");
}

TEST(IParamDefinition, CopyFromItselfDuplicatesTextsSafely)
{
  IParam p;
  p.DefineEnumList("Mode A", 0, {"One", "Two"}, 0, "G");
  p.DefineAsCopy(p, "A", "B");
  EXPECT_STREQ(p.Name(), "Mode B");
  EXPECT_STREQ(p.Group(), "G");
  ASSERT_EQ(p.DisplayTextCount(), 4);
  EXPECT_STREQ(p.DisplayTextAt(3), "Two");
}

// ---- Values ----

TEST(IParamValue, ConfineSnapsOnlyWhenSteppedThenClamps)
{
  struct Case { double step; int flags; double in, out; };
  const Case cases[] = {
    {1.0, IParam::kFlagStepped, 2.5, 3.0},
    {1.0, IParam::kFlagStepped, -2.5, -3.0},
    {1.0, IParam::kFlagStepped, 2.49, 2.0},
    {0.25, IParam::kFlagStepped, 0.3, 0.25},
    {0.25, IParam::kFlagStepped, 0.375, 0.5},
    {0.1, 0, 0.123, 0.123},
    {0.1, 0, -20.0, -10.0},
    {0.1, 0, 20.0, 10.0},
    {1.0, IParam::kFlagStepped, 11.0, 10.0},
    {0.0, IParam::kFlagStepped, 0.123, 0.123}, // no grid to snap to, and no NaN either
  };
  for (const Case& c : cases)
  {
    IParam p;
    p.DefineDouble("P", 0., -10., 10., c.step, "", c.flags);
    EXPECT_DOUBLE_EQ(p.Confine(c.in), c.out) << "step " << c.step << " in " << c.in;
    p.SetValue(c.in);
    EXPECT_DOUBLE_EQ(p.Value(), c.out);
  }
}

TEST(IParamValue, NormalisedValuesMapThroughTheShapeAndStayInRange)
{
  IParam gain;
  gain.DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
  EXPECT_DOUBLE_EQ(gain.ToNormalized(15.), 0.75);
  EXPECT_DOUBLE_EQ(gain.FromNormalized(0.25), -15.);
  EXPECT_EQ(gain.ToNormalized(100.), 1.0);
  EXPECT_EQ(gain.ToNormalized(-100.), 0.0);
  EXPECT_EQ(gain.FromNormalized(1.5), 30.);
  EXPECT_EQ(gain.FromNormalized(-0.5), -30.);
  EXPECT_DOUBLE_EQ(gain.DefaultNormalized(), 0.5);

  gain.SetNormalizedValue(0.75);
  EXPECT_DOUBLE_EQ(gain.Value(), 15.);
  EXPECT_DOUBLE_EQ(gain.NormalizedValue(), 0.75);

  // A stepped parameter brings normalised values onto its grid.
  IParam steps;
  steps.DefineInt("Steps", 0, 0, 4);
  EXPECT_DOUBLE_EQ(steps.ConfineNormalized(0.3), 0.25);
  EXPECT_DOUBLE_EQ(steps.ConfineNormalized(0.9), 1.0);
  steps.SetNormalizedValue(0.6);
  EXPECT_EQ(steps.Value(), 2.);
}

TEST(IParamValue, CurvesOutsideTheirDomainNeverYieldNaN)
{
  // A fractional power of a negative normalised value, and an exponential curve over a range
  // that reaches below zero, both leave their domain; the parameter still lands in range.
  IParam pow;
  pow.DefineDouble("Pow", 0., 0., 1., 0.01, "", 0, "", ShapePowCurve(0.5));
  EXPECT_EQ(pow.FromNormalized(-0.5), 0.0);
  pow.SetNormalizedValue(-0.5);
  EXPECT_EQ(pow.Value(), 0.0);

  IParam exp;
  exp.DefineDouble("Exp", 0., -5., 5., 0.01, "", 0, "", ShapeExp());
  EXPECT_EQ(exp.ToNormalized(-3.), 0.0);

  IParam empty;
  empty.DefineDouble("Empty", 2., 2., 2., 0.);
  EXPECT_EQ(empty.ToNormalized(2.), 0.0);
  EXPECT_EQ(empty.FromNormalized(0.7), 2.0);
}

TEST(IParamValue, NonFiniteNumbersLeaveTheValueUnchanged)
{
  for (double bad : {kNaN, kInf, -kInf})
  {
    IParam p;
    p.DefineDouble("Gain", 0., -30., 30., 0.1);
    p.SetValue(12.5);
    p.SetValue(bad);
    EXPECT_EQ(p.Value(), 12.5) << bad;
    p.SetNormalizedValue(bad);
    EXPECT_EQ(p.Value(), 12.5) << bad;
  }
}

// ---- Text ----

TEST(IParamText, FormatValueFollowsPrecisionAndFlags)
{
  struct Case { const char* what; double step; int flags; double value; const char* text; };
  const Case cases[] = {
    {"precision 1", 0.1, 0, -12.3, "-12.3"},
    {"precision 2", 0.25, 0, 1.5, "1.50"},
    {"integer rounds half away from zero", 1.0, 0, 2.5, "3"},
    {"negative half", 1.0, 0, -2.5, "-3"},
    {"small negative never shows -0", 1.0, 0, -0.4, "0"},
    {"negative zero", 0.1, 0, -0.0, "0.0"},
    {"negate", 1.0, IParam::kFlagNegateDisplay, 5.0, "-5"},
    {"negate zero", 1.0, IParam::kFlagNegateDisplay, 0.0, "0"},
    {"sign", 0.1, IParam::kFlagSignDisplay, 3.0, "+3.0"},
    {"sign zero", 0.1, IParam::kFlagSignDisplay, 0.0, "0.0"},
    {"sign negative", 0.1, IParam::kFlagSignDisplay, -2.0, "-2.0"},
    {"sign needs decimals", 1.0, IParam::kFlagSignDisplay, 3.0, "3"},
    {"sign and negate", 0.1, IParam::kFlagSignDisplay | IParam::kFlagNegateDisplay, -3.0, "+3.0"},
    {"six decimals at most", 1e-9, 0, 0.5, "0.500000"},
    {"values are not confined for display", 0.1, 0, 1234.56, "1234.6"},
  };
  for (const Case& c : cases)
  {
    IParam p;
    p.DefineDouble("P", 0., -100., 100., c.step, "", c.flags);
    EXPECT_EQ(Format(p, c.value), c.text) << c.what;
  }
}

TEST(IParamText, HugeValuesStayWithinTheOutputLimit)
{
  IParam p;
  p.DefineDouble("P", 0., -1e300, 1e300, 1.);
  const std::string text = Format(p, 1e300);
  EXPECT_EQ(text.size(), 31u);
  EXPECT_EQ(text.substr(0, 2), "10");
}

TEST(IParamText, DisplayTextsReplaceNumbersWhenAsked)
{
  IParam p;
  p.DefineInt("Mode", 0, 0, 3);
  p.AddDisplayText(1., "One");
  p.AddDisplayText(1., "Second one"); // shadowed by the first
  p.AddDisplayText(2., "");           // empty: show the number
  EXPECT_EQ(Format(p, 1.), "One");
  EXPECT_EQ(Format(p, 1., false), "1");
  EXPECT_EQ(Format(p, 2.), "2");
  EXPECT_EQ(Format(p, 1.0000001), "1"); // texts match exact values only

  std::string out;
  p.FormatValue(1.0 / 3.0, true, out);
  EXPECT_EQ(out, "One");
}

TEST(IParamText, DisplayFunctionReplacesAllFormatting)
{
  IParam p;
  p.DefineDouble("Ratio", 2., 1., 20., 0.1, "", IParam::kFlagNegateDisplay, "", ShapeLinear(),
                 IParam::kUnitRatio, [](double v, std::string& out) {
                   out += std::to_string(static_cast<int>(v)) + ":1 and a very long tail indeed";
                 });
  p.AddDisplayText(2., "Two");
  const std::string text = Format(p, 2.);
  EXPECT_EQ(text, std::string("2:1 and a very long tail indeed").substr(0, 31));
}

TEST(IParamText, LabelIsShownUnlessTheValueHasItsOwnText)
{
  IParam gain;
  gain.DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
  gain.SetValue(-6.);
  std::string out;
  gain.FormatValueWithLabel(out);
  EXPECT_EQ(out, "-6.0 dB");

  IParam over;
  over.DefineDouble("Amount", 0., 0., 2., 0.1, "x");
  over.AddDisplayText(1., "Unity");
  over.SetValue(1.7); // truncates to 1, which has a text
  EXPECT_STREQ(over.ShownLabel(), "");
  over.FormatValueWithLabel(out);
  EXPECT_EQ(out, "1.7");
  over.SetValue(1.);
  over.FormatValueWithLabel(out);
  EXPECT_EQ(out, "Unity");
  over.SetValue(0.5);
  EXPECT_STREQ(over.ShownLabel(), "x");
  over.FormatValueWithLabel(out);
  EXPECT_EQ(out, "0.5 x");

  IParam unlabeled;
  unlabeled.DefineDouble("Low Gain", 0., -10., 10., 0.1);
  unlabeled.FormatValueWithLabel(out);
  EXPECT_EQ(out, "0.0");
}

TEST(IParamText, DisplayTextLookups)
{
  IParam p;
  p.DefineEnumList("Mode", 0, {"Off", "Slow", "Fast", "Slow"});
  EXPECT_STREQ(p.DisplayTextFor(3.), "Slow");
  EXPECT_STREQ(p.DisplayTextFor(7.), "");

  double value = -1.;
  EXPECT_TRUE(p.LookupDisplayText("Slow", value));
  EXPECT_EQ(value, 1.); // the first match
  value = -1.;
  EXPECT_FALSE(p.LookupDisplayText("slow", value));
  EXPECT_FALSE(p.LookupDisplayText(nullptr, value));
  EXPECT_EQ(value, -1.);

  EXPECT_STREQ(p.DisplayTextAt(4, &value), "");
  EXPECT_STREQ(p.DisplayTextAt(-1, &value), "");
  EXPECT_EQ(value, -1.);
}

TEST(IParamText, ParseValueReadsTextsThenNumbers)
{
  IParam over;
  over.DefineInt("Oversampling", 0, 0, 1);
  over.AddDisplayText(0., "Oversampling Off");
  over.AddDisplayText(1., "Oversampling On");

  IParam unit;
  unit.DefineDouble("Unit", 0., 0., 1., 0.01);
  IParam wide;
  wide.DefineDouble("Wide", 0., -100., 100., 0.01);
  IParam negated;
  negated.DefineDouble("Neg", 0., -100., 100., 0.01, "", IParam::kFlagNegateDisplay);
  IParam raised;
  raised.DefineDouble("Raised", 3., 2., 5., 0.5);
  IParam stepped;
  stepped.DefineInt("Stepped", 0, -10, 10);
  IParam enumeration;
  enumeration.DefineEnum("Enum", 1, 3, "", 0, "", "A", "B", "C");

  struct Case { const IParam* p; const char* text; double value; };
  const Case cases[] = {
    {&over, "Oversampling On", 1.0},
    {&over, "7", 1.0},
    {&unit, "3.5", 1.0},
    {&unit, "0.25", 0.25},
    {&wide, "  -12.5 dB", -12.5},
    {&wide, "+4", 4.0},
    {&wide, "5.", 5.0},
    {&wide, ".5", 0.5},
    {&wide, "2e1", 20.0},
    {&wide, "2e", 2.0},
    {&wide, "1e999", 100.0},
    {&wide, "-1e999", -100.0},
    {&wide, "1e-999", 0.0},
    {&wide, "nan", 0.0},
    {&wide, "inf", 0.0},
    {&wide, "0x10", 0.0},
    {&wide, "", 0.0},
    {&wide, "dB", 0.0},
    {&negated, "12", -12.0},
    {&raised, "", 2.0},
    {&stepped, "2.6", 3.0},
    {&enumeration, "C", 2.0},
    {&enumeration, "2", 0.0},
    {&enumeration, nullptr, 0.0},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(c.p->ParseValue(c.text), c.value)
      << c.p->Name() << " \"" << (c.text ? c.text : "(null)") << "\"";
}

TEST(IParamText, DescribeJsonAppendsOneObject)
{
  IParam gain;
  gain.DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
  std::string out = "[";
  gain.DescribeJson(out, 0);
  EXPECT_EQ(out, "[{\"id\":0, \"name\":\"Gain\", \"type\":\"float\", \"min\":-30.000000, "
                 "\"max\":30.000000, \"default\":0.000000, \"rate\":\"control\"}");

  struct Case { std::function<void(IParam&)> define; const char* type; };
  const Case cases[] = {
    {[](IParam& p) { p.DefineBool("B", false); }, "\"type\":\"bool\", "},
    {[](IParam& p) { p.DefineInt("I", 0, 0, 1); }, "\"type\":\"int\", "},
    {[](IParam& p) { p.DefineEnum("E", 0, 2); }, "\"type\":\"enum\", "},
  };
  for (const Case& c : cases)
  {
    IParam p;
    c.define(p);
    std::string json;
    p.DescribeJson(json, 5);
    EXPECT_NE(json.find(c.type), std::string::npos) << json;
  }

  const IParam untyped;
  std::string json;
  untyped.DescribeJson(json, 2);
  EXPECT_EQ(json, "{\"id\":2, \"name\":\"\", \"min\":0.000000, \"max\":1.000000, "
                  "\"default\":0.000000, \"rate\":\"control\"}");

  IParam quoted;
  quoted.DefineInt("Say \"hi\"\\", 0, 0, 1);
  json.clear();
  quoted.DescribeJson(json, 1);
  EXPECT_NE(json.find("\"name\":\"Say \\\"hi\\\"\\\\\", "), std::string::npos) << json;
}
