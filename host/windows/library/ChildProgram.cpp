#include "ChildProgram.h"

#include <string>
#include <thread>

#include "ModuleLocation.h"
#include "WindowsArguments.h"
#include "PlatformWindows.h"

// Windows has no fork: the child is a fresh start of this program with its standard output and
// error on pipes of their own, each read by a thread so that neither can fill up and stall it.

namespace aaxhost {

namespace {

void ReadAll(HANDLE pipe, std::string& text)
{
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof(buffer), &n, nullptr) && n > 0)
    text.append(buffer, n);
}

} // namespace

ChildOutcome RunThisProgram(const std::vector<std::string>& arguments)
{
  ChildOutcome outcome;
  const std::filesystem::path program = ProgramPath();
  if (program.empty())
  {
    outcome.error = LastErrorText("finding this program's path");
    return outcome;
  }
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherited, 0))
  {
    outcome.error = LastErrorText("creating a pipe");
    return outcome;
  }
  if (!CreatePipe(&errRead, &errWrite, &inherited, 0))
  {
    outcome.error = LastErrorText("creating a pipe");
    CloseHandle(outRead);
    CloseHandle(outWrite);
    return outcome;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& argument : arguments)
    commandLine += L" " + Quoted(Widened(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  if (!started)
    outcome.error = LastErrorText("starting a child process");
  // Our copies of the write ends go, so that each reader sees its end when the child's does.
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (started)
  {
    std::thread errors([&] { ReadAll(errRead, outcome.err); });
    ReadAll(outRead, outcome.out);
    errors.join();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    outcome.status = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return outcome;
}

} // namespace aaxhost
