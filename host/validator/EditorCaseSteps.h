#pragma once

#include <chrono>
#include <memory>

#include "HostEditor.h"
#include "PlatformWindows.h"
#include "ValidateRig.h"

// Steps the editor cases take on every platform.

namespace aaxhost::cases {

// The editor object of a fresh opening, or a skipped case when the module has none.
std::unique_ptr<HostEditor> MakeEditor(ValidateContext& context, HostSession& session, UINT dpi);

// The module's count of live objects, as its unload query answers it on the UI thread.
int ActiveObjects(HostSession& session);

// Milliseconds since `start`.
double MillisecondsSince(std::chrono::steady_clock::time_point start);

} // namespace aaxhost::cases
