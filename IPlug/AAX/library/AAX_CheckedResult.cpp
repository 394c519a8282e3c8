#include "AAX_CheckedResult.h"

#include <algorithm>

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"

void AAX_CheckedResult::Check(AAX_Result result)
{
  mLastResult = result;
  if (std::find(mAccepted.begin(), mAccepted.end(), result) != mAccepted.end())
    return;
  const std::string message = AAX_ResultMessage(result);
  AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "AAX_CheckedResult - throwing %s", message.c_str());
  throw Exception(result, message);
}
