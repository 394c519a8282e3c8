// Shell calls answering from the script, and file existence.

#include "Win32Shell.h"

#include "Win32ScriptState.h"
#include "Win32Text.h"

#include <sys/stat.h>

using namespace win32compat;

namespace {

HINSTANCE Execute(HWND hwnd, std::wstring operation, const std::wstring* file, std::wstring parameters,
                  std::wstring directory, INT show)
{
  script::ShellExecuteCall call{hwnd, std::move(operation), file ? *file : std::wstring(), std::move(parameters),
                                std::move(directory), show, 0};
  call.result = file ? TakeShellExecuteAnswer() : SE_ERR_FNF;
  const INT_PTR result = call.result;
  Record(std::move(call));
  return reinterpret_cast<HINSTANCE>(result);
}

} // namespace

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        INT showCommand)
{
  const std::wstring target = file ? file : L"";
  return Execute(hwnd, operation ? operation : L"", file ? &target : nullptr, parameters ? parameters : L"",
                 directory ? directory : L"", showCommand);
}

BOOL InternetGetConnectedState(LPDWORD flags, DWORD)
{
  const bool connected = InternetConnected();
  if (flags)
    *flags = connected ? INTERNET_CONNECTION_LAN | INTERNET_CONNECTION_CONFIGURED : INTERNET_CONNECTION_OFFLINE;
  return connected ? TRUE : FALSE;
}
