#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: how the modal calls take their answers from the script and record what
// they showed.

#include "Win32Script.h"

namespace win32compat {

std::optional<int> TakeMessageBoxAnswer();
void Record(script::MessageBoxShown shown);

std::function<UINT(const script::MenuShown&)> TakeMenuAnswer();
void Record(script::MenuShown shown);

// Whether an answer was queued; the answer is empty for a cancel.
bool TakeFileAnswer(std::optional<std::wstring>& answer);
void Record(script::FileDialogShown shown);
bool TakeFolderAnswer(std::optional<std::wstring>& answer);
void Record(script::FolderDialogShown shown);
bool TakeColorAnswer(std::optional<COLORREF>& answer);
void Record(script::ColorDialogShown shown);

INT_PTR TakeShellExecuteAnswer();
void Record(script::ShellExecuteCall call);
bool InternetConnected();

} // namespace win32compat
