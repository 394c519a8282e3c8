#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "AAX.h"

// A guard around a chain of host calls: storing a result it does not accept traces
// "AAX_CheckedResult - throwing <message>" and abandons the current operation by throwing
// AAX_CheckedResult::Exception. Accepts only AAX_SUCCESS unless told otherwise. Whoever
// starts such an operation (the module's exports) catches the exception and answers its code.
class AAX_CheckedResult
{
public:
  class Exception : public std::runtime_error
  {
  public:
    Exception(AAX_Result result, const std::string& message) : std::runtime_error(message), mResult(result) {}
    AAX_Result Result() const { return mResult; }

  private:
    AAX_Result mResult;
  };

  AAX_CheckedResult() = default;
  explicit AAX_CheckedResult(AAX_Result result) { Check(result); }

  AAX_CheckedResult& operator=(AAX_Result result) { Check(result); return *this; }
  // Combines like the host's own result chains: a new failure still abandons.
  AAX_CheckedResult& operator|=(AAX_Result result) { Check(result); return *this; }

  void AddAcceptedResult(AAX_Result result) { mAccepted.push_back(result); }
  void ResetAcceptedResults() { mAccepted.assign(1, AAX_SUCCESS); }
  AAX_Result LastResult() const { return mLastResult; }

private:
  void Check(AAX_Result result);

  std::vector<AAX_Result> mAccepted{AAX_SUCCESS};
  AAX_Result mLastResult = AAX_SUCCESS;
};
