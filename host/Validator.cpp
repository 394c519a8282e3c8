#include "Validator.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

namespace aaxhost {

namespace {

enum class Verdict
{
  Pass,
  Fail,
  Skip
};

struct Outcome
{
  Verdict verdict = Verdict::Fail;
  std::string reason;
  std::vector<std::string> notes;
  double milliseconds = 0.0;
};

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
  for (unsigned char c : name)
    hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

Outcome RunHere(const ValidateCase& testCase, const ValidateOptions& options)
{
  Outcome outcome;
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

// The child writes its outcome as JSON to the pipe and leaves without running destructors of
// the parent's state; the parent turns a crash, a hang or a silent exit into a failure.
Outcome RunIsolated(const ValidateCase& testCase, const ValidateOptions& options)
{
  int fds[2];
  if (pipe(fds) != 0)
    return RunHere(testCase, options);
  std::cout.flush();
  std::cerr.flush();
  const pid_t child = fork();
  if (child < 0)
  {
    close(fds[0]);
    close(fds[1]);
    return RunHere(testCase, options);
  }
  if (child == 0)
  {
    close(fds[0]);
    const Outcome outcome = RunHere(testCase, options);
    const std::string text =
      nlohmann::json{{"verdict", static_cast<int>(outcome.verdict)}, {"reason", outcome.reason}, {"notes", outcome.notes}}
        .dump();
    size_t written = 0;
    while (written < text.size())
    {
      const ssize_t n = write(fds[1], text.data() + written, text.size() - written);
      if (n <= 0)
        break;
      written += static_cast<size_t>(n);
    }
    close(fds[1]);
    std::cout.flush();
    std::cerr.flush();
    _exit(0);
  }

  close(fds[1]);
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  bool timedOut = false;
  char buffer[4096];
  for (;;)
  {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
    {
      timedOut = true;
      break;
    }
    pollfd pfd{fds[0], POLLIN, 0};
    const int ready = poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready <= 0)
      continue;
    const ssize_t n = read(fds[0], buffer, sizeof(buffer));
    if (n <= 0)
      break;
    received.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timedOut)
    kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR)
  {
  }

  Outcome outcome;
  if (timedOut)
  {
    outcome.reason = "did not finish within " + std::to_string(options.timeoutSeconds) + " s";
    return outcome;
  }
  if (WIFSIGNALED(status))
  {
    const int signal = WTERMSIG(status);
    outcome.reason = std::string("crashed with signal ") + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return outcome;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  try
  {
    const auto report = nlohmann::json::parse(received);
    outcome.verdict = static_cast<Verdict>(report.at("verdict").get<int>());
    outcome.reason = report.at("reason").get<std::string>();
    outcome.notes = report.at("notes").get<std::vector<std::string>>();
  }
  catch (const std::exception&)
  {
    outcome.verdict = Verdict::Fail;
    outcome.reason = "ended without a verdict (exit status " + std::to_string(code) + ")";
    return outcome;
  }
  // A sanitizer that found something after the verdict was written exits with its own status.
  if (code != 0 && outcome.verdict != Verdict::Fail)
  {
    outcome.verdict = Verdict::Fail;
    outcome.reason = "the case ended with exit status " + std::to_string(code) + " after its verdict (a sanitizer report?)";
  }
  return outcome;
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

int RunValidate(const ValidateOptions& givenOptions, std::ostream& out)
{
  ValidateOptions options = givenOptions;
  if (options.strictness < 1 || options.strictness > 10)
    throw std::runtime_error("--strictness must be 1 to 10");
  if (!options.seedGiven)
    options.seed = std::random_device{}() | (static_cast<uint64_t>(std::random_device{}()) << 32);

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
    throw std::runtime_error(std::string("a malformed --include or --exclude pattern: ") + e.what());
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

  if (options.list)
  {
    size_t width = 0;
    for (const auto* testCase : selected)
      width = std::max(width, std::strlen(testCase->name));
    for (const auto* testCase : selected)
      out << std::left << std::setw(static_cast<int>(width) + 2) << testCase->name << testCase->description << '\n';
    return selected.empty() ? 1 : 0;
  }

  if (selected.empty())
  {
    out << "validate: no case matches the --include and --exclude patterns\n";
    return 1;
  }
  if (!options.json)
    out << "validate: " << options.modulePath << ", seed " << options.seed << ", strictness " << options.strictness
        << ", " << selected.size() << " case(s)\n"
        << std::flush;

  size_t width = 0;
  for (const auto* testCase : selected)
    width = std::max(width, std::strlen(testCase->name));

  std::vector<Outcome> outcomes;
  int passed = 0, failed = 0, skipped = 0;
  for (const auto* testCase : selected)
  {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome = options.inProcess ? RunHere(*testCase, options) : RunIsolated(*testCase, options);
    outcome.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    switch (outcome.verdict)
    {
      case Verdict::Pass: ++passed; break;
      case Verdict::Fail: ++failed; break;
      case Verdict::Skip: ++skipped; break;
    }
    if (!options.json)
    {
      out << std::left << std::setw(8) << VerdictText(outcome.verdict) << std::setw(static_cast<int>(width) + 2)
          << testCase->name << std::right << std::setw(7) << static_cast<long long>(outcome.milliseconds + 0.5) << " ms";
      if (!outcome.reason.empty())
        out << "  " << outcome.reason;
      out << '\n';
      for (const auto& note : outcome.notes)
        out << "        note: " << note << '\n';
      out << std::flush;
    }
    outcomes.push_back(std::move(outcome));
  }

  if (options.json)
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
      entry["verdict"] = VerdictText(outcomes[i].verdict);
      entry["reason"] = outcomes[i].reason;
      entry["milliseconds"] = outcomes[i].milliseconds;
      entry["notes"] = outcomes[i].notes;
      report["cases"].push_back(entry);
    }
    report["passed"] = passed;
    report["failed"] = failed;
    report["skipped"] = skipped;
    out << report.dump(2) << '\n';
  }
  else
  {
    out << "validate: " << passed << " passed, " << failed << " failed, " << skipped << " skipped";
    if (failed > 0)
      out << "; reproduce with --seed " << options.seed;
    out << '\n';
  }

  if (!options.junitPath.empty())
  {
    std::ofstream junit(options.junitPath);
    if (!junit)
      throw std::runtime_error("cannot write " + options.junitPath);
    double total = 0.0;
    for (const auto& outcome : outcomes)
      total += outcome.milliseconds;
    junit << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<testsuite name=\"aaxhost validate\" tests=\"" << selected.size() << "\" failures=\"" << failed
          << "\" skipped=\"" << skipped << "\" time=\"" << total / 1000.0 << "\">\n"
          << "  <properties><property name=\"seed\" value=\"" << options.seed << "\"/>"
          << "<property name=\"strictness\" value=\"" << options.strictness << "\"/></properties>\n";
    for (size_t i = 0; i < selected.size(); ++i)
    {
      const Outcome& outcome = outcomes[i];
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
  }

  return (selected.empty() || failed > 0 || skipped > 0) ? 1 : 0;
}

} // namespace aaxhost
