#include "ValidateIsolation.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "ModuleLocation.h"
#include "WindowsArguments.h"
#include "PlatformWindows.h"
#include "ExceptionCodes.h"

// Windows has no fork: each case runs in a fresh start of this program (`validate --run-case`),
// which prints the case's outcome line on its standard output, read here through a pipe.

namespace aaxhost {

namespace {

CaseOutcome Failed(const std::string& reason)
{
  CaseOutcome outcome;
  outcome.reason = reason;
  return outcome;
}

class Handle
{
public:
  explicit Handle(HANDLE handle = nullptr) : mHandle(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return mHandle; }
  HANDLE* Receive() { return &mHandle; }
  void Close()
  {
    if (mHandle && mHandle != INVALID_HANDLE_VALUE)
      CloseHandle(mHandle);
    mHandle = nullptr;
  }

private:
  HANDLE mHandle;
};

LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception)
{
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void PrepareIsolatedChild()
{
  // No error dialog and no debugger for a crash: the child ends with the exception's code,
  // which the validator names.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndWithExceptionCode);
}

CaseOutcome RunIsolated(const ValidateCase& testCase, const ValidateOptions& options)
{
  const std::filesystem::path program = ProgramPath();
  if (program.empty())
    return Failed(LastErrorText("finding this program's path"));

  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle reader, writer;
  if (!CreatePipe(reader.Receive(), writer.Receive(), &inherited, 0))
    return Failed(LastErrorText("creating the case's pipe"));
  SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
  // The child reports problems of its own (a module that does not load) where ours go.
  Handle errors;
  DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_ERROR_HANDLE), GetCurrentProcess(), errors.Receive(), 0, TRUE,
                  DUPLICATE_SAME_ACCESS);

  // Everything a case reads of the run's options goes to the child, which starts with its defaults.
  std::vector<std::string> arguments = {"validate",
                                        "--module",
                                        options.modulePath,
                                        "--seed",
                                        std::to_string(options.seed),
                                        "--strictness",
                                        std::to_string(options.strictness),
                                        "--references",
                                        options.referencesFolder,
                                        "--artifacts",
                                        options.artifactsFolder,
                                        "--run-case",
                                        std::string(testCase.name)};
  if (options.updateReferences)
    arguments.emplace_back("--update-references");
  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& argument : arguments)
    commandLine += L" " + Quoted(Widened(argument));

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writer.Get();
  startup.hStdError = errors.Get();
  PROCESS_INFORMATION process{};
  std::cout.flush();
  std::cerr.flush();
  if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process))
    return Failed(LastErrorText("starting the case's child process"));
  Handle child(process.hProcess);
  CloseHandle(process.hThread);
  // Our copy of the pipe's write end goes, so that the reader sees its end when the child's does.
  writer.Close();
  errors.Close();

  std::string received;
  std::thread collect([&] {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(reader.Get(), buffer, sizeof(buffer), &n, nullptr) && n > 0)
      received.append(buffer, n);
  });
  const DWORD limit = static_cast<DWORD>(options.timeoutSeconds) * 1000u;
  const bool timedOut = WaitForSingleObject(child.Get(), limit) == WAIT_TIMEOUT;
  if (timedOut)
  {
    TerminateProcess(child.Get(), 1);
    WaitForSingleObject(child.Get(), INFINITE);
  }
  collect.join();
  DWORD code = 0;
  GetExitCodeProcess(child.Get(), &code);

  // What the case printed besides its outcome goes where a forked child's output would.
  std::string outcomeLine;
  size_t start = 0;
  while (start < received.size())
  {
    size_t end = received.find('\n', start);
    if (end == std::string::npos)
      end = received.size();
    std::string line = received.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.rfind(kOutcomeLinePrefix, 0) == 0)
      outcomeLine = line.substr(std::char_traits<char>::length(kOutcomeLinePrefix));
    else
      std::cout << line << '\n';
    start = end + 1;
  }
  std::cout.flush();

  if (timedOut)
    return Failed("did not finish within " + std::to_string(options.timeoutSeconds) + " s");
  if (const std::string crash = ExceptionExitDescription(code); !crash.empty())
    return Failed(crash);
  CaseOutcome outcome;
  try
  {
    outcome = DecodeOutcome(outcomeLine);
  }
  catch (const std::exception&)
  {
    return Failed("ended without a verdict (exit status " + std::to_string(code) + ")");
  }
  if (code != 0 && outcome.verdict != Verdict::Fail)
    return Failed("the case ended with exit status " + std::to_string(code) + " after its verdict");
  return outcome;
}

} // namespace aaxhost
