#pragma once

#include <string>
#include <vector>

namespace aaxhost {

// What a run of this program in a child process came to.
struct ChildOutcome
{
  // The exit status; 128 + the signal's number for a child that a signal ended; -1 when the
  // child could not be started (`error` says why).
  int status = -1;
  std::string out;
  std::string err;
  std::string error;
};

// Runs this program again with `arguments` (the first being a subcommand) and waits for it; its
// standard output and error are collected, its standard input is empty. Any thread: each call
// starts a child of its own, so several may run at once.
ChildOutcome RunThisProgram(const std::vector<std::string>& arguments);

} // namespace aaxhost
