#include "ParamsCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "AAX_CString.h"
#include "HostSession.h"
#include "ParameterSettings.h"

namespace aaxhost {

namespace {

// Stepped parameters with more steps than this are shown by their range alone.
constexpr int32_t kMaxListedChoices = 128;

// One parameter as a user needs it to write a setting.
struct ParameterEntry
{
  std::string identifier;
  std::string name;
  std::string kind; // "continuous", "stepped" or "switch"
  std::string lowText, highText;
  std::string unit;
  double defaultNormalized = 0.0;
  std::string defaultText;
  int32_t steps = 0;
  std::vector<std::string> choices;
};

std::string TextAt(HostSession& session, const HostInstance::ParameterInfo& info, double normalized)
{
  AAX_CString text;
  AAX_IACFEffectParameters* effect = session.Instance().Effect();
  session.UIThread().Run([&] { effect->GetParameterStringFromValue(info.identifier.c_str(), normalized, &text, 255); });
  return ShownValueText(info.identifier, normalized, text.StdString());
}

std::vector<ParameterEntry> Catalogue(HostSession& session)
{
  std::vector<ParameterEntry> entries;
  for (const auto& info : session.Parameters())
  {
    ParameterEntry entry;
    entry.identifier = info.identifier;
    entry.name = info.name;
    const bool stepped = info.type == AAX_eParameterType_Discrete && info.steps >= 2;
    entry.kind = !stepped ? "continuous" : info.steps == 2 ? "switch" : "stepped";
    entry.steps = info.steps;
    entry.lowText = TextAt(session, info, 0.0);
    entry.highText = TextAt(session, info, 1.0);
    entry.unit = stepped ? std::string() : UnitOfText(entry.lowText);
    entry.defaultNormalized = info.defaultValue;
    entry.defaultText = TextAt(session, info, info.defaultValue);
    if (stepped && info.steps <= kMaxListedChoices)
      for (int32_t step = 0; step < info.steps; ++step)
        entry.choices.push_back(TextAt(session, info, static_cast<double>(step) / (info.steps - 1)));
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The number a display text begins with, as JSON; null where it begins with none.
nlohmann::ordered_json LeadingNumberJson(const std::string& text)
{
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(value))
    return nullptr;
  return value;
}

std::string Shown(const std::string& identifier)
{
  return identifier.empty() ? "\"\"" : identifier;
}

std::string Joined(const std::vector<std::string>& texts)
{
  std::string joined;
  for (const auto& text : texts)
    joined += (joined.empty() ? "" : ", ") + text;
  return joined;
}

void PrintJson(const std::vector<ParameterEntry>& entries, std::ostream& out)
{
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& entry : entries)
  {
    nlohmann::ordered_json item;
    item["id"] = entry.identifier;
    item["name"] = entry.name;
    item["kind"] = entry.kind;
    item["range"] = {{"low", entry.lowText}, {"high", entry.highText}};
    if (entry.kind == "continuous")
    {
      item["min"] = LeadingNumberJson(entry.lowText);
      item["max"] = LeadingNumberJson(entry.highText);
    }
    item["unit"] = entry.unit;
    item["default"] = {{"normalized", entry.defaultNormalized}, {"text", entry.defaultText}};
    item["steps"] = entry.steps;
    item["choices"] = entry.choices;
    list.push_back(item);
  }
  out << list.dump(2) << '\n';
}

void PrintTable(const std::vector<ParameterEntry>& entries, std::ostream& out)
{
  const std::vector<std::string> heads = {"ID", "NAME", "RANGE", "UNIT", "DEFAULT", "STEPS", "CHOICES"};
  std::vector<std::vector<std::string>> rows;
  for (const auto& entry : entries)
  {
    // A stepped parameter's range is its choices.
    const std::string range = entry.kind == "continuous" ? entry.lowText + " to " + entry.highText : "-";
    rows.push_back({Shown(entry.identifier), entry.name, range, entry.unit.empty() ? "-" : entry.unit,
                    entry.defaultText, entry.steps > 0 ? std::to_string(entry.steps) : "-",
                    entry.choices.empty() ? "-" : Joined(entry.choices)});
  }
  std::vector<size_t> widths;
  for (const auto& head : heads)
    widths.push_back(head.size());
  for (const auto& row : rows)
    for (size_t column = 0; column < row.size(); ++column)
      widths[column] = std::max(widths[column], row[column].size());
  auto printRow = [&](const std::vector<std::string>& row) {
    for (size_t column = 0; column < row.size(); ++column)
    {
      out << row[column];
      if (column + 1 < row.size())
        out << std::string(widths[column] - row[column].size() + 2, ' ');
    }
    out << '\n';
  };
  printRow(heads);
  for (const auto& row : rows)
    printRow(row);
  out << "Set one with --param ID=NORMALISED (0 to 1) or --param \"NAME=VALUE\" (a value as shown, or a choice).\n";
}

} // namespace

void RunParams(const ParamsOptions& options, std::ostream& out)
{
  HostSession::Options sessionOptions;
  sessionOptions.modulePath = options.modulePath;
  HostSession session(sessionOptions);
  const std::vector<ParameterEntry> entries = Catalogue(session);
  if (options.json)
    PrintJson(entries, out);
  else
    PrintTable(entries, out);
}

} // namespace aaxhost
