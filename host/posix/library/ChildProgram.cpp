#include "ChildProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ModuleLocation.h"

extern char** environ;

namespace aaxhost {

namespace {

// Both ends close on exec, so a child started by another thread does not hold this pipe open.
bool MakePipe(int ends[2])
{
  return ::pipe2(ends, O_CLOEXEC) == 0;
}

// Reads both pipes to their ends, whichever the child writes first: a child that fills one
// pipe while the other is read would wait for ever.
void Collect(int outPipe, int errPipe, std::string& out, std::string& err)
{
  pollfd pipes[2] = {{outPipe, POLLIN, 0}, {errPipe, POLLIN, 0}};
  std::string* texts[2] = {&out, &err};
  int open = 2;
  char buffer[4096];
  while (open > 0)
  {
    if (::poll(pipes, 2, -1) < 0)
    {
      if (errno == EINTR)
        continue;
      return;
    }
    for (int i = 0; i < 2; ++i)
    {
      if (pipes[i].fd < 0 || pipes[i].revents == 0)
        continue;
      const ssize_t n = ::read(pipes[i].fd, buffer, sizeof(buffer));
      if (n > 0)
        texts[i]->append(buffer, static_cast<size_t>(n));
      else if (n == 0 || errno != EINTR)
      {
        pipes[i].fd = -1;
        --open;
      }
    }
  }
}

} // namespace

ChildOutcome RunThisProgram(const std::vector<std::string>& arguments)
{
  ChildOutcome outcome;
  const std::string program = ProgramPath().string();
  if (program.empty())
  {
    outcome.error = "cannot find this program's own path";
    return outcome;
  }
  std::vector<std::string> strings = {program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& text : strings)
    argv.push_back(text.data());
  argv.push_back(nullptr);

  int outPipe[2], errPipe[2];
  if (!MakePipe(outPipe))
  {
    outcome.error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return outcome;
  }
  if (!MakePipe(errPipe))
  {
    outcome.error = std::string("cannot make a pipe: ") + std::strerror(errno);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return outcome;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  pid_t child = -1;
  const int started = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (started != 0)
  {
    outcome.error = "cannot start " + program + ": " + std::strerror(started);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return outcome;
  }
  Collect(outPipe[0], errPipe[0], outcome.out, outcome.err);
  ::close(outPipe[0]);
  ::close(errPipe[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
  {}
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return outcome;
}

} // namespace aaxhost
