#include "MakeAAXParameter.h"

#include <cmath>
#include <limits>
#include <map>

#include "AAX_CIPlugTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CStringDisplayDelegate.h"
#include "AAX_CUnitDisplayDelegateDecorator.h"

namespace {

// Toward zero, kept inside the 32-bit range (parameter ranges are finite by construction).
int32_t TruncatedInt(double value)
{
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  const double t = std::trunc(value);
  return static_cast<int32_t>(t < lo ? lo : (t > hi ? hi : t));
}

// A text for each integer value from the parameter's display texts; the first text of a value
// stays.
std::map<int32_t, AAX_CString> DisplayTexts(const iplug::IParam& param)
{
  std::map<int32_t, AAX_CString> texts;
  for (int i = 0; i < param.DisplayTextCount(); ++i)
  {
    double value = 0.0;
    const char* text = param.DisplayTextAt(i, &value);
    texts.emplace(TruncatedInt(value), AAX_CString(text));
  }
  return texts;
}

// An integer parameter that holds only 0 and 1 is a switch: hosts show it as one (two steps, a
// text per position) rather than as a slider of numbers.
bool IsSwitch(const iplug::IParam& param)
{
  return TruncatedInt(param.Min()) == 0 && TruncatedInt(param.Max()) == 1;
}

AAX_IParameter* MakeSteppedParameter(const iplug::IParam& param, AAX_CParamID identifier,
                                     const std::map<int32_t, AAX_CString>& texts, uint32_t steps, bool automatable)
{
  auto* parameter = new AAX_CParameter<int32_t>(
    identifier, AAX_CString(param.Name()), TruncatedInt(param.Default()),
    AAX_CLinearTaperDelegate(TruncatedInt(param.Min()), TruncatedInt(param.Max())),
    AAX_CStringDisplayDelegate(texts), automatable);
  parameter->SetNumberOfSteps(steps);
  parameter->SetType(AAX_eParameterType_Discrete);
  return parameter;
}

} // namespace

AAX_IParameter* MakeAAXParameter(const iplug::IParam& param, AAX_CParamID identifier)
{
  using iplug::IParam;
  const bool automatable = !(param.Flags() & IParam::kFlagCannotAutomate);
  const AAX_CString name(param.Name());

  switch (param.Type())
  {
    case IParam::kTypeBool:
    case IParam::kTypeEnum:
      return MakeSteppedParameter(param, identifier, DisplayTexts(param),
                                  static_cast<uint32_t>(param.DisplayTextCount()), automatable);
    case IParam::kTypeInt:
    {
      if (IsSwitch(param))
      {
        // The parameter's own texts where it has them, "Off" and "On" where it has none.
        std::map<int32_t, AAX_CString> texts = DisplayTexts(param);
        texts.emplace(0, AAX_CString("Off"));
        texts.emplace(1, AAX_CString("On"));
        return MakeSteppedParameter(param, identifier, texts, 2, automatable);
      }
      auto* parameter = new AAX_CParameter<int32_t>(
        identifier, name, TruncatedInt(param.Default()),
        AAX_CLinearTaperDelegate(TruncatedInt(param.Min()), TruncatedInt(param.Max())),
        AAX_CUnitDisplayDelegateDecorator<int32_t>(AAX_CNumberDisplayDelegate<int32_t, 0>(),
                                                   AAX_CString(param.ShownLabel())),
        automatable);
      parameter->SetNumberOfSteps(128);
      parameter->SetType(AAX_eParameterType_Continuous);
      return parameter;
    }
    case IParam::kTypeDouble:
    {
      auto* parameter = new AAX_CParameter<double>(
        identifier, name, param.Default(), AAX_CIPlugTaperDelegate(param),
        AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2>(),
                                                  AAX_CString(param.ShownLabel())),
        automatable);
      parameter->SetNumberOfSteps(128);
      parameter->SetType(AAX_eParameterType_Continuous);
      return parameter;
    }
    case IParam::kTypeNone:
    default:
      return nullptr;
  }
}
