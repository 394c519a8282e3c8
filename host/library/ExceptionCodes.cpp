#include "ExceptionCodes.h"

#include <cstdio>

namespace aaxhost {

namespace {

struct Known
{
  uint32_t code;
  const char* name;
};

constexpr Known kExceptions[] = {
  {0x80000003u, "breakpoint"},
  {0xC0000005u, "access violation"},
  {0xC000001Du, "illegal instruction"},
  {0xC000008Cu, "array bounds exceeded"},
  {0xC000008Eu, "floating-point division by zero"},
  {0xC0000090u, "invalid floating-point operation"},
  {0xC0000094u, "integer division by zero"},
  {0xC0000095u, "integer overflow"},
  {0xC0000096u, "privileged instruction"},
  {0xC00000FDu, "stack overflow"},
  {0xC0000135u, "a DLL was not found"},
  {0xC0000139u, "an entry point was not found"},
  {0xC0000142u, "a DLL failed to initialise"},
  {0xC0000374u, "heap corruption"},
  {0xC0000409u, "stack buffer overrun or fast fail"},
  {0xC0000417u, "invalid argument to a C runtime function"},
  {0xE06D7363u, "unhandled C++ exception"},
};

} // namespace

std::string ExceptionExitDescription(uint32_t exitStatus)
{
  // Exception codes carry the error severity (the top two bits set) or the warning severity.
  const uint32_t severity = exitStatus >> 30;
  const char* name = nullptr;
  for (const Known& known : kExceptions)
    if (known.code == exitStatus)
      name = known.name;
  if (!name && severity != 3)
    return {};
  char code[16];
  std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(exitStatus));
  return std::string("crashed with exception ") + code + " (" + (name ? name : "unknown exception") + ")";
}

} // namespace aaxhost
