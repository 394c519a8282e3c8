#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace aaxhost {

class HostSession;

// A failure the command line reports with its message and a non-zero exit status.
class CommandError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// One --param setting resolved against the module's parameters.
struct ParameterSetting
{
  std::string identifier;
  std::string name;
  double normalizedValue = 0.0;
};

// Resolves "KEY=VALUE" settings. A key made of digits is an AAX parameter identifier whose value
// is normalised (0 to 1); any other key is a parameter name whose value is a text, converted by
// the module's own text-to-value conversion (a discrete parameter also takes its step number,
// counted from 0). Throws CommandError naming the setting for a missing "=", an unknown
// parameter, a value that is no value of the parameter or one outside its range. UI-thread calls
// go through the session.
std::vector<ParameterSetting> ResolveSettings(HostSession& session, const std::vector<std::string>& settings);

// Sends each setting through the host's automation path (the module's set-value request,
// answered on the parameter thread) and waits until all are in force.
void ApplySettings(HostSession& session, const std::vector<ParameterSetting>& settings);

} // namespace aaxhost
