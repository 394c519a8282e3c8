#pragma once

#include "ValidateOutcome.h"

namespace aaxhost {

// Runs one case in a child process of its own, so that a crash or a hang in the module is that
// case's verdict and not the end of the run: a crash, a time-out (the child is killed) and an end
// without an outcome all come back as failures that say what happened. Each platform has its own
// way of making the child (host/posix/, host/windows/).
CaseOutcome RunIsolated(const ValidateCase& testCase, const ValidateOptions& options);

// Called in a child that the platform started as a fresh program (`validate --run-case`) before
// the case runs: a crash must end the child with its exception code, never wait on a dialog.
void PrepareIsolatedChild();

} // namespace aaxhost
