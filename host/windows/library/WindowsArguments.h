#pragma once

#include <string>

// Starting this program again as a child: what Windows needs of the arguments, and the words for
// a call that failed.

namespace aaxhost {

// One argument as the C runtime splits the command line again: backslashes are doubled only
// where they come before a quote.
std::wstring Quoted(const std::wstring& argument);

// The program's arguments arrive in the ANSI code page; the child gets them back in it.
std::wstring Widened(const std::string& text);

// "WHAT failed (error N)", with the calling thread's last error.
std::string LastErrorText(const char* what);

} // namespace aaxhost
