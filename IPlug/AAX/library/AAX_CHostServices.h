#pragma once

#include "AAX.h"

class IACFUnknown;

// Trace priorities the module uses.
enum AAX_ETracePriority : int32_t
{
  AAX_eTracePriorityHost_Normal = 0x4000000,
  AAX_eTracePriorityHost_Critical = 0x8000000
};

// The module-wide host services: one wrapper around the host's reporting interface, created
// by the module's startup and deleted at its shutdown. While there is none, traces and
// assertion reports are skipped silently. Set and Kill run only when no other module work is
// in progress (the host guarantees it); the reporting functions may run on any thread.
class AAX_CHostServices
{
public:
  // Creates the services from the host when there are none and the host is given; deletes
  // them when they exist and the host is null; otherwise keeps what is there.
  static void Set(IACFUnknown* host);
  static void Kill();
  static bool Exists();

  // Formats into 511 characters and a terminator; 0 without host services, -20051 when
  // formatting fails, else the host's answer.
  [[gnu::format(printf, 2, 3)]] static AAX_Result Trace(int32_t priority, const char* format, ...);

  // Passes file, line and note to the host with flags 1 and returns; execution continues.
  static void HandleAssertFailure(const char* file, int32_t line, const char* note);
};

// Reports `note` at `file`:`line` when `condition` does not hold; returns the condition.
inline bool AAX_AssertReport(bool condition, const char* file, int32_t line, const char* note)
{
  if (!condition)
    AAX_CHostServices::HandleAssertFailure(file, line, note);
  return condition;
}
