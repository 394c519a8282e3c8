#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ProcessCommand.h"

namespace aaxhost {

struct BatchOptions
{
  ProcessOptions process; // the module and every setting the files share
  std::vector<std::string> inputs;
  std::string outputFolder; // each output is named after its input
  int jobs = 1;             // files rendered at once
};

// Most files rendered at once.
constexpr int kMaxBatchJobs = 64;

// Renders each input into the output folder under its own file name (with the extension that
// --type names, when given), each file in a child process of this program so that a file that
// fails, or a module that crashes on it, stops that file alone. Up to `jobs` children run at
// once. Prints one line per file in the order given, a rendered one on `out` and a failed one on
// `err`, then the totals (with --json, one JSON report at the end); progress goes to `err` when
// asked. Refuses before anything is rendered
// (CommandError, UsageError) a run whose outputs would collide with each other or replace an
// input. The exit status: 0 when every file was rendered, 1 otherwise.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

} // namespace aaxhost
