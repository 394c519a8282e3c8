#pragma once

#include <cstdint>
#include <string>

namespace aaxhost {

// A Windows process that an exception ended has the exception's code as its exit status
// (0xC0000005 for an access violation). For such a status: "crashed with exception 0xC0000005
// (access violation)"; empty for an ordinary exit status.
std::string ExceptionExitDescription(uint32_t exitStatus);

} // namespace aaxhost
