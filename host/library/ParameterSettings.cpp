#include "ParameterSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "HostSession.h"

namespace aaxhost {

namespace {

bool AllDigits(const std::string& text)
{
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The whole text as a finite number.
bool ParseNumber(const std::string& text, double& value)
{
  if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
    return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
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

} // namespace

std::vector<ParameterSetting> ResolveSettings(HostSession& session, const std::vector<std::string>& settings)
{
  std::vector<ParameterSetting> resolved;
  if (settings.empty())
    return resolved;
  const auto parameters = session.Parameters();
  AAX_IACFEffectParameters* effect = session.Instance().Effect();

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
    const char* id = found->identifier.c_str();

    double normalized = 0.0;
    const bool converted = session.UIThread().Run([&] {
      return effect->GetParameterValueFromString(id, &normalized, AAX_CString(value.c_str())) == AAX_SUCCESS;
    });
    if (converted)
    {
      // The conversion confines what it reads; a number outside the shown range is refused here.
      double number = 0.0, low = 0.0, high = 0.0;
      AAX_CString lowText, highText;
      session.UIThread().Run([&] {
        effect->GetParameterStringFromValue(id, 0.0, &lowText, 64);
        effect->GetParameterStringFromValue(id, 1.0, &highText, 64);
      });
      if (LeadingNumber(value, number) && LeadingNumber(lowText.StdString(), low) &&
          LeadingNumber(highText.StdString(), high))
      {
        const double slack = 1e-9 * std::max(1.0, std::fabs(high - low));
        if (number < std::min(low, high) - slack || number > std::max(low, high) + slack)
          throw CommandError("value '" + value + "' of parameter '" + found->name + "' is out of range (" +
                             lowText.StdString() + " to " + highText.StdString() + ")");
      }
    }
    else
    {
      double step = 0.0;
      const bool discrete = found->type == AAX_eParameterType_Discrete && found->steps >= 2;
      if (!(discrete && ParseNumber(value, step) && step == std::floor(step) && step >= 0 &&
            step <= found->steps - 1))
        throw CommandError("'" + value + "' is not a value of parameter '" + found->name + "'");
      normalized = step / (found->steps - 1);
    }
    resolved.push_back({found->identifier, found->name, normalized});
  }
  return resolved;
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
