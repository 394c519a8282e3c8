#include "IPlugLogger.h"

#include <cstdarg>
#include <cstdio>

namespace iplug {

namespace {
TraceSink& Sink()
{
  static TraceSink sink;
  return sink;
}
} // namespace

void SetTraceSink(TraceSink sink)
{
  Sink() = std::move(sink);
}

void Trace(const char* func, int line, const char* format, ...)
{
  TraceSink& sink = Sink();
  if (!sink)
    return;

  char message[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof(message), format, args);
  va_end(args);
  sink(func, line, message);
}

} // namespace iplug
