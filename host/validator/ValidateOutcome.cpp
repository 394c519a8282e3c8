#include "ValidateOutcome.h"

#include <nlohmann/json.hpp>

namespace aaxhost {

CaseOutcome RunCaseHere(const ValidateCase& testCase, const ValidateOptions& options)
{
  CaseOutcome outcome;
  ValidateContext context(options, testCase.name);
  try
  {
    testCase.run(context);
    outcome.verdict = Verdict::Pass;
  }
  catch (const CaseSkipped& skipped)
  {
    outcome.verdict = Verdict::Skip;
    outcome.reason = skipped.what();
  }
  catch (const std::exception& failure)
  {
    outcome.verdict = Verdict::Fail;
    outcome.reason = failure.what();
  }
  catch (...)
  {
    outcome.verdict = Verdict::Fail;
    outcome.reason = "an unknown exception escaped";
  }
  outcome.notes = context.Notes();
  return outcome;
}

std::string EncodeOutcome(const CaseOutcome& outcome)
{
  // dump() escapes control characters, so a reason with a line break stays on one line.
  return nlohmann::json{{"verdict", static_cast<int>(outcome.verdict)}, {"reason", outcome.reason}, {"notes", outcome.notes}}
    .dump();
}

CaseOutcome DecodeOutcome(const std::string& text)
{
  const auto report = nlohmann::json::parse(text);
  CaseOutcome outcome;
  const int verdict = report.at("verdict").get<int>();
  if (verdict < static_cast<int>(Verdict::Pass) || verdict > static_cast<int>(Verdict::Skip))
    throw std::runtime_error("unknown verdict " + std::to_string(verdict));
  outcome.verdict = static_cast<Verdict>(verdict);
  outcome.reason = report.at("reason").get<std::string>();
  outcome.notes = report.at("notes").get<std::vector<std::string>>();
  return outcome;
}

} // namespace aaxhost
