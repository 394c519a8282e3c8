#include "ValidateIsolation.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

namespace aaxhost {

// The child is a fork of this process: it runs the case, writes its outcome to the pipe and leaves
// without running destructors of the parent's state; the parent turns a crash, a hang or a silent
// exit into a failure.
CaseOutcome RunIsolated(const ValidateCase& testCase, const ValidateOptions& options)
{
  int fds[2];
  if (pipe(fds) != 0)
    return RunCaseHere(testCase, options);
  std::cout.flush();
  std::cerr.flush();
  const pid_t child = fork();
  if (child < 0)
  {
    close(fds[0]);
    close(fds[1]);
    return RunCaseHere(testCase, options);
  }
  if (child == 0)
  {
    close(fds[0]);
    const std::string text = EncodeOutcome(RunCaseHere(testCase, options));
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

  CaseOutcome outcome;
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
    outcome = DecodeOutcome(received);
  }
  catch (const std::exception&)
  {
    outcome = CaseOutcome{};
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

// A forked child needs nothing of its own; `validate --run-case` on this platform is there for
// running one case by hand.
void PrepareIsolatedChild()
{
}

} // namespace aaxhost
