#pragma once

#include <functional>

namespace iplug {

// Trace facility. Trace points carry the function name, the line and a printf-style message.
// The shipping sink writes nothing; tests install their own sink to observe trace lines.
using TraceSink = std::function<void(const char* func, int line, const char* message)>;

// Replaces the process-wide sink (an empty function restores the silent default).
void SetTraceSink(TraceSink sink);

// Formats the message and hands it to the sink; costs nothing beyond a check when none is set.
[[gnu::format(printf, 3, 4)]] void Trace(const char* func, int line, const char* format, ...);

} // namespace iplug

#define TRACE_F(...) ::iplug::Trace(__func__, __LINE__, __VA_ARGS__)
