#pragma once

#include <string>

namespace aaxhost {

// While registered, a file is removed when the program is interrupted (Ctrl-C, or a polite
// request to stop), and the program then exits with 128 + the signal's number (130, 143), as
// shells report it. For the partial files that an output becomes only once it is complete.
void RemoveOnInterrupt(const std::string& path);
void KeepOnInterrupt(const std::string& path);

} // namespace aaxhost
