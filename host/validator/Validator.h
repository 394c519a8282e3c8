#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace aaxhost {

struct ValidateOptions;

// The conformance and stress battery of `aaxhost validate`: a table of named cases, each a small
// function that drives the module through its exports the way a host does. A case passes by
// returning, fails by calling Fail (or by any exception, crash or time-out) and is skipped by
// calling Skip. Every case runs in a child process of its own, so a crash or a hang in the
// module is that case's verdict and not the end of the run.
class ValidateContext
{
public:
  ValidateContext(const ValidateOptions& options, const std::string& caseName);

  const std::string& ModulePath() const { return mModulePath; }
  // 1 (quick) to 10 (thorough): cases scale their repetitions and durations with it.
  int Strictness() const { return mStrictness; }
  // Where the committed reference pictures are, whether to rewrite them instead of comparing,
  // and where a mismatch leaves its pictures.
  const std::string& ReferencesFolder() const { return mReferencesFolder; }
  bool UpdateReferences() const { return mUpdateReferences; }
  const std::string& ArtifactsFolder() const { return mArtifactsFolder; }
  // Seeded from the run's seed and the case name, so one case reproduces on its own.
  std::mt19937_64& Random() { return mRandom; }
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mRandom); }
  int UniformInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mRandom); }

  [[noreturn]] void Fail(const std::string& reason) const;
  [[noreturn]] void Skip(const std::string& reason) const;
  // A remark printed under the case's verdict line (what was allowed, what was measured).
  void Note(const std::string& text) { mNotes.push_back(text); }
  const std::vector<std::string>& Notes() const { return mNotes; }

private:
  std::string mModulePath;
  int mStrictness;
  std::string mReferencesFolder;
  bool mUpdateReferences;
  std::string mArtifactsFolder;
  std::mt19937_64 mRandom;
  std::vector<std::string> mNotes;
};

struct CaseFailed : std::runtime_error
{
  using std::runtime_error::runtime_error;
};
struct CaseSkipped : std::runtime_error
{
  using std::runtime_error::runtime_error;
};

struct ValidateCase
{
  const char* name;          // kebab case
  const char* description;   // one line
  std::function<void(ValidateContext&)> run;
};

// Every case, in the order they run.
const std::vector<ValidateCase>& ValidateCases();

struct ValidateOptions
{
  std::string modulePath;
  uint64_t seed = 0;
  bool seedGiven = false;
  int strictness = 5;
  std::string include;        // ECMAScript regex on case names; empty: all
  std::string exclude;        // ECMAScript regex on case names; empty: none
  bool json = false;          // the report as JSON on `out`
  std::string junitPath;      // the report as JUnit XML in this file
  bool list = false;          // print the cases and their descriptions only
  bool inProcess = false;     // run the cases in this process (for a debugger)
  int timeoutSeconds = 300;   // per case
  // Runs this one case here and prints its outcome line (kOutcomeLinePrefix and the outcome) as
  // the only report: how a platform whose child processes start as fresh programs runs a case.
  std::string runCase;
  std::string referencesFolder;  // the editor's reference pictures
  bool updateReferences = false; // rewrite them from this run instead of comparing
  bool strict = false;           // a skipped case fails the run
  std::string artifactsFolder = "validate-artifacts";  // where a picture mismatch is written
};

inline constexpr const char* kOutcomeLinePrefix = "aaxhost-validate-outcome: ";

// Runs the selected cases and prints one line per case (or the JSON report). The exit status:
// 0 when no selected case failed (and, with `strict`, none was skipped); 1 otherwise. Throws
// UsageError for bad options (a malformed regex, a strictness outside 1..10) and CommandError
// when no case is selected or the JUnit report cannot be written (checked before the run).
int RunValidate(const ValidateOptions& options, std::ostream& out);

} // namespace aaxhost
