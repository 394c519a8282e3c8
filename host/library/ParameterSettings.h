#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace aaxhost {

class HostSession;

// A failure the command line reports with its message and exit status 1.
class CommandError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// A command line that asks for something the program does not take (options that do not go
// together, a value outside what an option allows): reported with exit status 2, as the option
// parser's own refusals are, so scripts can tell a mistyped command from a failed run.
class UsageError : public CommandError
{
public:
  using CommandError::CommandError;
};

// The unit of a display text: what follows its leading number ("dB" of "-20.00 dB"); empty for
// none.
std::string UnitOfText(const std::string& text);

// One --param setting resolved against the module's parameters.
struct ParameterSetting
{
  std::string identifier;
  std::string name;
  double normalizedValue = 0.0;
};

// Resolves "KEY=VALUE" settings. A key made of digits is an AAX parameter identifier whose value
// is normalised (0 to 1); any other key is a parameter name (in any case). The whole value must
// be one the parameter takes, with nothing left over:
// - a switch (two steps): one of its texts, or on/off, true/false, yes/no, 1/0, in any case;
// - another stepped parameter: one of its texts, or its step number counted from 0;
// - a continuous one: a number, optionally followed by the parameter's unit ("6", "6 dB", "6dB"),
//   within its range; the module converts it.
// Throws CommandError naming the setting and what the parameter takes. UI-thread calls go
// through the session.
std::vector<ParameterSetting> ResolveSettings(HostSession& session, const std::vector<std::string>& settings);

// The text a summary shows for a parameter's value. The host's master bypass (identifier "")
// reads "Off" and "On", whatever texts its display gives.
std::string ShownValueText(const std::string& identifier, double normalized, const std::string& moduleText);

// Sends each setting through the host's automation path (the module's set-value request,
// answered on the parameter thread) and waits until all are in force.
void ApplySettings(HostSession& session, const std::vector<ParameterSetting>& settings);

} // namespace aaxhost
