#include "ChildProgram.h"

#include <string>
#include <thread>

#include "ModuleLocation.h"
#include "PlatformWindows.h"

// Windows has no fork: the child is a fresh start of this program with its standard output and
// error on pipes of their own, each read by a thread so that neither can fill up and stall it.

namespace aaxhost {

namespace {

// One argument as the C runtime splits the command line again: backslashes are doubled only
// where they come before a quote.
std::wstring Quoted(const std::wstring& argument)
{
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument)
  {
    if (c == L'\\')
    {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    out += c;
    backslashes = 0;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

// The program's arguments arrive in the ANSI code page; the child gets them back in it.
std::wstring Widened(const std::string& text)
{
  if (text.empty())
    return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
  return out;
}

std::string LastErrorText(const char* what)
{
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

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
