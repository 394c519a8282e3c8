#include "AAX_CHostServices.h"

#include <cstdarg>
#include <cstdio>

#include "AAX_Errors.h"
#include "AAX_VHostServices.h"

namespace {
AAX_VHostServices* sHostServices = nullptr;
} // namespace

void AAX_CHostServices::Set(IACFUnknown* host)
{
  if (!sHostServices && host)
    sHostServices = new AAX_VHostServices(host);
  else if (sHostServices && !host)
    Kill();
}

void AAX_CHostServices::Kill()
{
  delete sHostServices;
  sHostServices = nullptr;
}

bool AAX_CHostServices::Exists()
{
  return sHostServices != nullptr;
}

AAX_Result AAX_CHostServices::Trace(int32_t priority, const char* format, ...)
{
  if (!sHostServices)
    return AAX_SUCCESS;
  if (!format)
    return AAX_ERROR_PRINT_FAILURE;

  char message[512];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(message, sizeof(message), format, args);
  va_end(args);
  if (written < 0)
    return AAX_ERROR_PRINT_FAILURE;
  return sHostServices->Trace(priority, message);
}

void AAX_CHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note)
{
  if (sHostServices)
    sHostServices->HandleAssertFailure(file, line, note, 1);
}
