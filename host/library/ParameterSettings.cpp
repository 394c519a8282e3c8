#include "ParameterSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <regex>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "HostSession.h"

namespace aaxhost {

std::string UnitOfText(const std::string& text)
{
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  std::string unit = end ? std::string(end) : std::string();
  unit.erase(0, unit.find_first_not_of(' '));
  unit.erase(unit.find_last_not_of(' ') + 1);
  return unit;
}

namespace {

bool AllDigits(const std::string& text)
{
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The whole text as a plain decimal number: no blanks, commas, hexadecimal or infinities.
bool ParseNumber(const std::string& text, double& value)
{
  static const std::regex kNumber(R"(^[+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?$)");
  if (!std::regex_match(text, kNumber))
    return false;
  value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(value);
}

// The number a text begins with (a display text such as "-3.50dB").
bool LeadingNumber(const std::string& text, double& value)
{
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(value);
}

std::string Lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The texts of a stepped parameter, one per step, as the module shows them.
std::vector<std::string> StepTexts(HostSession& session, const HostInstance::ParameterInfo& info)
{
  std::vector<std::string> texts;
  AAX_IACFEffectParameters* effect = session.Instance().Effect();
  session.UIThread().Run([&] {
    for (int32_t step = 0; step < info.steps; ++step)
    {
      AAX_CString text;
      effect->GetParameterStringFromValue(info.identifier.c_str(), static_cast<double>(step) / (info.steps - 1), &text,
                                          255);
      texts.push_back(text.StdString());
    }
  });
  return texts;
}

std::string JoinTexts(const std::vector<std::string>& texts, const char* last)
{
  std::string list;
  for (size_t i = 0; i < texts.size(); ++i)
    list += (i == 0 ? "" : i + 1 == texts.size() ? last : ", ") + ("'" + texts[i] + "'");
  return list;
}

// The step whose text is `value`, in any case; -1 when none is.
int FindText(const std::vector<std::string>& texts, const std::string& value)
{
  for (size_t i = 0; i < texts.size(); ++i)
    if (!texts[i].empty() && Lower(texts[i]) == Lower(value))
      return static_cast<int>(i);
  return -1;
}

double SwitchValue(HostSession& session, const HostInstance::ParameterInfo& info, const std::string& value)
{
  static const char* const kOff[] = {"off", "false", "no", "0"};
  static const char* const kOn[] = {"on", "true", "yes", "1"};
  const std::string word = Lower(value);
  for (const char* off : kOff)
    if (word == off)
      return 0.0;
  for (const char* on : kOn)
    if (word == on)
      return 1.0;
  const std::vector<std::string> texts = StepTexts(session, info);
  if (const int step = FindText(texts, value); step >= 0)
    return step;
  throw CommandError("'" + value + "' is not a value of switch '" + info.name + "'; it takes " +
                     JoinTexts(texts, " or ") + ", or on/off, true/false, yes/no, 1/0 (in any case)");
}

double SteppedValue(HostSession& session, const HostInstance::ParameterInfo& info, const std::string& value)
{
  const std::vector<std::string> texts = StepTexts(session, info);
  if (const int step = FindText(texts, value); step >= 0)
    return static_cast<double>(step) / (info.steps - 1);
  double step = 0.0;
  if (ParseNumber(value, step) && step == std::floor(step))
  {
    if (step < 0 || step > info.steps - 1)
      throw CommandError("step " + value + " of parameter '" + info.name + "' is out of range (0 to " +
                         std::to_string(info.steps - 1) + ")");
    return step / (info.steps - 1);
  }
  throw CommandError("'" + value + "' is not a value of parameter '" + info.name + "'; it takes " +
                     JoinTexts(texts, " or ") + ", or a step number from 0 to " + std::to_string(info.steps - 1));
}

// The whole value as a plain decimal number and an optional unit that must be `unit`: no
// commas, hexadecimal, infinities or anything left over.
bool ParseQuantity(const std::string& value, const std::string& unit, std::string& number)
{
  static const std::regex kQuantity(R"(^\s*([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)\s*(.*?)\s*$)");
  std::smatch match;
  if (!std::regex_match(value, match, kQuantity))
    return false;
  const std::string given = match[2].str();
  if (!given.empty() && (unit.empty() || Lower(given) != Lower(unit)))
    return false;
  number = match[1].str();
  return true;
}

double ContinuousValue(HostSession& session, const HostInstance::ParameterInfo& info, const std::string& value)
{
  AAX_IACFEffectParameters* effect = session.Instance().Effect();
  const char* id = info.identifier.c_str();
  AAX_CString lowText, highText;
  session.UIThread().Run([&] {
    effect->GetParameterStringFromValue(id, 0.0, &lowText, 64);
    effect->GetParameterStringFromValue(id, 1.0, &highText, 64);
  });
  const std::string unit = UnitOfText(lowText.StdString());
  const std::string range = lowText.StdString() + " to " + highText.StdString();
  std::string number;
  if (!ParseQuantity(value, unit, number))
    throw CommandError("'" + value + "' is not a value of parameter '" + info.name + "'; it takes a number" +
                       (unit.empty() ? "" : " (in " + unit + ")") + " from " + range);

  double normalized = 0.0;
  const bool converted = session.UIThread().Run([&] {
    return effect->GetParameterValueFromString(id, &normalized, AAX_CString(number.c_str())) == AAX_SUCCESS;
  });
  if (!converted)
    throw CommandError("'" + value + "' is not a value of parameter '" + info.name + "'");
  // The conversion confines what it reads; a number outside the shown range is refused here.
  double given = 0.0, low = 0.0, high = 0.0;
  if (LeadingNumber(number, given) && LeadingNumber(lowText.StdString(), low) &&
      LeadingNumber(highText.StdString(), high))
  {
    const double slack = 1e-9 * std::max(1.0, std::fabs(high - low));
    if (given < std::min(low, high) - slack || given > std::max(low, high) + slack)
      throw CommandError("value '" + value + "' of parameter '" + info.name + "' is out of range (" + range + ")");
  }
  return normalized;
}

} // namespace

std::vector<ParameterSetting> ResolveSettings(HostSession& session, const std::vector<std::string>& settings)
{
  std::vector<ParameterSetting> resolved;
  if (settings.empty())
    return resolved;
  const auto parameters = session.Parameters();

  auto names = [&] {
    std::string list;
    for (const auto& info : parameters)
      list += (list.empty() ? "" : ", ") + (info.name.empty() ? "\"" + info.identifier + "\"" : info.name);
    return list;
  };

  for (const std::string& setting : settings)
  {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0)
      throw CommandError("--param takes KEY=VALUE, not '" + setting + "'");
    const std::string key = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);

    if (AllDigits(key))
    {
      const auto found = std::find_if(parameters.begin(), parameters.end(),
                                      [&](const auto& info) { return info.identifier == key; });
      if (found == parameters.end())
        throw CommandError("unknown parameter identifier '" + key + "' (parameters: " + names() + ")");
      double normalized = 0.0;
      if (!ParseNumber(value, normalized))
        throw CommandError("parameter '" + key + "' takes a normalised number, not '" + value + "'");
      if (normalized < 0.0 || normalized > 1.0)
        throw CommandError("value " + value + " of parameter '" + key + "' is out of range (normalised values run from 0 to 1)");
      resolved.push_back({found->identifier, found->name, normalized});
      continue;
    }

    auto found = std::find_if(parameters.begin(), parameters.end(), [&](const auto& info) { return info.name == key; });
    if (found == parameters.end())
      found = std::find_if(parameters.begin(), parameters.end(),
                           [&](const auto& info) { return Lower(info.name) == Lower(key); });
    if (found == parameters.end())
      throw CommandError("unknown parameter '" + key + "' (parameters: " + names() + ")");

    const bool stepped = found->type == AAX_eParameterType_Discrete && found->steps >= 2;
    const double normalized = !stepped           ? ContinuousValue(session, *found, value)
                              : found->steps == 2 ? SwitchValue(session, *found, value)
                                                  : SteppedValue(session, *found, value);
    resolved.push_back({found->identifier, found->name, normalized});
  }
  return resolved;
}

std::string ShownValueText(const std::string& identifier, double normalized, const std::string& moduleText)
{
  if (identifier.empty())
    return normalized > 0.0 ? "On" : "Off";
  return moduleText;
}

void ApplySettings(HostSession& session, const std::vector<ParameterSetting>& settings)
{
  for (const auto& setting : settings)
  {
    const AAX_Result result = session.RequestParameter(setting.identifier, setting.normalizedValue);
    if (result != AAX_SUCCESS)
      throw CommandError("the module refused the value of parameter '" + setting.name + "': " + AAX_ResultMessage(result));
  }
  session.SettleParameters();
}

} // namespace aaxhost
