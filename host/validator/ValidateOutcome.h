#pragma once

#include <string>
#include <vector>

#include "Validator.h"

namespace aaxhost {

enum class Verdict
{
  Pass,
  Fail,
  Skip
};

struct CaseOutcome
{
  Verdict verdict = Verdict::Fail;
  std::string reason;
  std::vector<std::string> notes;
  double milliseconds = 0.0;
};

// Runs the case in this process and turns Fail, Skip and any escaping exception into its outcome.
CaseOutcome RunCaseHere(const ValidateCase& testCase, const ValidateOptions& options);

// The outcome as a child process hands it to the validator: one line of JSON. Decoding throws
// when the text is not such a line.
std::string EncodeOutcome(const CaseOutcome& outcome);
CaseOutcome DecodeOutcome(const std::string& text);

} // namespace aaxhost
