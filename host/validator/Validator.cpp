#include "Validator.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <random>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "AudioFile.h"
#include "OutputPath.h"
#include "ParameterSettings.h"
#include "ValidateIsolation.h"

namespace aaxhost {

namespace {

const char* VerdictText(Verdict verdict)
{
  switch (verdict)
  {
    case Verdict::Pass: return "pass";
    case Verdict::Fail: return "fail";
    case Verdict::Skip: return "skipped";
  }
  return "fail";
}

uint64_t NameHash(const std::string& name)
{
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (char c : name)
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

std::string XmlEscape(const std::string& text)
{
  std::string out;
  for (char c : text)
  {
    switch (c)
    {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

} // namespace

ValidateContext::ValidateContext(const ValidateOptions& options, const std::string& caseName)
  : mModulePath(options.modulePath), mStrictness(options.strictness), mReferencesFolder(options.referencesFolder),
    mUpdateReferences(options.updateReferences), mArtifactsFolder(options.artifactsFolder),
    mRandom(options.seed ^ NameHash(caseName))
{
}

void ValidateContext::Fail(const std::string& reason) const
{
  throw CaseFailed(reason);
}

void ValidateContext::Skip(const std::string& reason) const
{
  throw CaseSkipped(reason);
}

namespace {

// What one run of the battery came to.
struct RunTally
{
  std::vector<CaseOutcome> outcomes;  // in the order of the selected cases
  int passed = 0, failed = 0, skipped = 0;
};

ValidateOptions CheckedOptionsWithSeed(const ValidateOptions& givenOptions)
{
  ValidateOptions options = givenOptions;
  if (options.strictness < 1 || options.strictness > 10)
    throw UsageError("--strictness must be 1 to 10");
  if (!options.seedGiven)
    options.seed = std::random_device{}() | (static_cast<uint64_t>(std::random_device{}()) << 32);
  return options;
}

// A case's child started as a fresh program: runs the one case and prints its outcome line.
int RunOneCaseAsChild(const ValidateOptions& options, std::ostream& out)
{
  for (const auto& testCase : ValidateCases())
    if (options.runCase == testCase.name)
    {
      PrepareIsolatedChild();
      out << kOutcomeLinePrefix << EncodeOutcome(RunCaseHere(testCase, options)) << '\n' << std::flush;
      return 0;
    }
  throw std::runtime_error("no validate case is named " + options.runCase);
}

std::vector<const ValidateCase*> SelectCases(const ValidateOptions& options)
{
  std::regex include, exclude;
  try
  {
    if (!options.include.empty())
      include = std::regex(options.include);
    if (!options.exclude.empty())
      exclude = std::regex(options.exclude);
  }
  catch (const std::regex_error& e)
  {
    throw UsageError(std::string("a malformed --include or --exclude pattern: ") + e.what());
  }

  std::vector<const ValidateCase*> selected;
  for (const auto& testCase : ValidateCases())
  {
    if (!options.include.empty() && !std::regex_search(testCase.name, include))
      continue;
    if (!options.exclude.empty() && std::regex_search(testCase.name, exclude))
      continue;
    selected.push_back(&testCase);
  }
  return selected;
}

size_t LongestName(const std::vector<const ValidateCase*>& cases)
{
  size_t width = 0;
  for (const auto* testCase : cases)
    width = std::max(width, std::strlen(testCase->name));
  return width;
}

int ListCases(const std::vector<const ValidateCase*>& selected, std::ostream& out)
{
  const size_t width = LongestName(selected);
  for (const auto* testCase : selected)
    out << std::left << std::setw(static_cast<int>(width) + 2) << testCase->name << testCase->description << '\n';
  return selected.empty() ? 1 : 0;
}

void PrintCaseLine(const ValidateCase& testCase, const CaseOutcome& outcome, size_t width, std::ostream& out)
{
  out << std::left << std::setw(8) << VerdictText(outcome.verdict) << std::setw(static_cast<int>(width) + 2)
      << testCase.name << std::right << std::setw(7) << static_cast<long long>(outcome.milliseconds + 0.5) << " ms";
  if (!outcome.reason.empty())
    out << "  " << outcome.reason;
  out << '\n';
  for (const auto& note : outcome.notes)
    out << "        note: " << note << '\n';
  out << std::flush;
}

// Each case in a child of its own (or here, for a debugger), timed, its line printed as it ends.
RunTally RunCases(const std::vector<const ValidateCase*>& selected, const ValidateOptions& options, std::ostream& out)
{
  const size_t width = LongestName(selected);
  RunTally tally;
  for (const auto* testCase : selected)
  {
    const auto start = std::chrono::steady_clock::now();
    CaseOutcome outcome = options.inProcess ? RunCaseHere(*testCase, options) : RunIsolated(*testCase, options);
    outcome.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    switch (outcome.verdict)
    {
      case Verdict::Pass: ++tally.passed; break;
      case Verdict::Fail: ++tally.failed; break;
      case Verdict::Skip: ++tally.skipped; break;
    }
    if (!options.json)
      PrintCaseLine(*testCase, outcome, width, out);
    tally.outcomes.push_back(std::move(outcome));
  }
  return tally;
}

void PrintJsonReport(const std::vector<const ValidateCase*>& selected, const RunTally& tally,
                     const ValidateOptions& options, std::ostream& out)
{
  nlohmann::ordered_json report;
  report["module"] = options.modulePath;
  report["seed"] = options.seed;
  report["strictness"] = options.strictness;
  report["cases"] = nlohmann::ordered_json::array();
  for (size_t i = 0; i < selected.size(); ++i)
  {
    nlohmann::ordered_json entry;
    entry["name"] = selected[i]->name;
    entry["description"] = selected[i]->description;
    entry["verdict"] = VerdictText(tally.outcomes[i].verdict);
    entry["reason"] = tally.outcomes[i].reason;
    entry["milliseconds"] = tally.outcomes[i].milliseconds;
    entry["notes"] = tally.outcomes[i].notes;
    report["cases"].push_back(entry);
  }
  report["passed"] = tally.passed;
  report["failed"] = tally.failed;
  report["skipped"] = tally.skipped;
  out << report.dump(2) << '\n';
}

void PrintTotals(const std::vector<const ValidateCase*>& selected, const RunTally& tally,
                 const ValidateOptions& options, std::ostream& out)
{
  out << "validate: " << tally.passed << " passed, " << tally.failed << " failed, " << tally.skipped << " skipped";
  if (tally.skipped > 0)
  {
    std::string names;
    for (size_t i = 0; i < selected.size(); ++i)
      if (tally.outcomes[i].verdict == Verdict::Skip)
        names += (names.empty() ? "" : ", ") + std::string(selected[i]->name);
    out << " (" << names << (options.strict ? "; --strict counts them as failures" : "") << ")";
  }
  if (tally.failed > 0)
    out << "; reproduce with --seed " << options.seed;
  out << '\n';
}

void WriteJUnitReport(const std::vector<const ValidateCase*>& selected, const RunTally& tally,
                      const ValidateOptions& options)
{
  std::ostringstream junit;
  double total = 0.0;
  for (const auto& outcome : tally.outcomes)
    total += outcome.milliseconds;
  junit << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuite name=\"aaxhost validate\" tests=\"" << selected.size() << "\" failures=\"" << tally.failed
        << "\" skipped=\"" << tally.skipped << "\" time=\"" << total / 1000.0 << "\">\n"
        << "  <properties><property name=\"seed\" value=\"" << options.seed << "\"/>"
        << "<property name=\"strictness\" value=\"" << options.strictness << "\"/></properties>\n";
  for (size_t i = 0; i < selected.size(); ++i)
  {
    const CaseOutcome& outcome = tally.outcomes[i];
    junit << "  <testcase classname=\"validate\" name=\"" << selected[i]->name << "\" time=\""
          << outcome.milliseconds / 1000.0 << "\">";
    if (outcome.verdict == Verdict::Fail)
      junit << "<failure message=\"" << XmlEscape(outcome.reason) << "\"/>";
    else if (outcome.verdict == Verdict::Skip)
      junit << "<skipped message=\"" << XmlEscape(outcome.reason) << "\"/>";
    if (!outcome.notes.empty())
    {
      junit << "<system-out>";
      for (const auto& note : outcome.notes)
        junit << XmlEscape(note) << '\n';
      junit << "</system-out>";
    }
    junit << "</testcase>\n";
  }
  junit << "</testsuite>\n";
  const std::string text = junit.str();
  WriteBytes(options.junitPath, std::vector<uint8_t>(text.begin(), text.end()), "JUnit report");
}

} // namespace

int RunValidate(const ValidateOptions& givenOptions, std::ostream& out)
{
  const ValidateOptions options = CheckedOptionsWithSeed(givenOptions);
  if (!options.runCase.empty())
    return RunOneCaseAsChild(options, out);

  const std::vector<const ValidateCase*> selected = SelectCases(options);
  if (options.list)
    return ListCases(selected, out);
  if (selected.empty())
    throw CommandError("validate: no case matches the --include and --exclude patterns");
  // A report that cannot be written is known before the cases run, not after.
  if (!options.junitPath.empty())
    PlanOutput(options.junitPath, false, "JUnit report");
  if (!options.json)
    out << "validate: " << options.modulePath << ", seed " << options.seed << ", strictness " << options.strictness
        << ", " << selected.size() << " case(s)\n"
        << std::flush;

  const RunTally tally = RunCases(selected, options, out);
  if (options.json)
    PrintJsonReport(selected, tally, options, out);
  else
    PrintTotals(selected, tally, options, out);
  if (!options.junitPath.empty())
    WriteJUnitReport(selected, tally, options);
  return (tally.failed > 0 || (options.strict && tally.skipped > 0)) ? 1 : 0;
}

} // namespace aaxhost
