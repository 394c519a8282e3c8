#include "AAX_CIPlugParameters.h"

#include <cstring>

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_IController.h"
#include "AAX_IParameter.h"
#include "AAX_IParameterValue.h"
#include "AAX_SIPlugContext.h"

namespace {

constexpr const char* kParametersFile = "IPlug/AAX/IPlugAAX_Parameters";

} // namespace

AAX_CIPlugParameters::AAX_CIPlugParameters() = default;

AAX_CIPlugParameters::~AAX_CIPlugParameters()
{
  // What never reached a render call, and what the render side gave back since the last
  // timer wake-up.
  while (NumberedStateList* list = mPendingStateLists.Pop())
    FreeList(list);
  while (NumberedStateList* list = mSpentStateLists.Pop())
    FreeList(list);
  while (TParamValPair* pair = mSpentValuePairs.Pop())
    FreePair(pair);
}

void AAX_CIPlugParameters::FreePair(TParamValPair* pair)
{
  if (!pair)
    return;
  delete pair->second;
  delete pair;
}

void AAX_CIPlugParameters::FreeList(NumberedStateList* list)
{
  if (!list)
    return;
  for (TParamValPair* pair : list->pairs)
    FreePair(pair);
  delete list;
}

void AAX_CIPlugParameters::RegisterSyncParameter(const AAX_IParameter* parameter)
{
  if (!parameter)
    return;
  AAX_AssertReport(parameter->Automatable(), kParametersFile, 41, "inParameter.Automatable()");
  mSynchronizedParameters.insert(parameter->Identifier());
  AAX_AssertReport(kSynchronizedParameterQueueSize >= mSynchronizedParameters.size(), kParametersFile, 42,
                   "kSynchronizedParameterQueueSize >= mSynchronizedParameters.size()");
}

AAX_Result AAX_CIPlugParameters::UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                                                AAX_EUpdateSource source)
{
  const AAX_Result result = AAX_CEffectParameters::UpdateParameterNormalizedValue(paramID, normalizedValue, source);
  if (result == AAX_SUCCESS && paramID && mSynchronizedParameters.count(paramID))
    mChangedSyncParameters.insert(mParameterManager.GetParameterByID(paramID));
  return result;
}

AAX_Result AAX_CIPlugParameters::GenerateCoefficients()
{
  if (const AAX_Result result = AAX_CEffectParameters::GenerateCoefficients(); result != AAX_SUCCESS)
    return result;

  const int64_t stateNumber = mNextStateNumber++;

  auto* list = new NumberedStateList;
  list->number = stateNumber;
  for (const AAX_IParameter* parameter : mChangedSyncParameters)
  {
    if (parameter)
      list->pairs.push_back(new TParamValPair(parameter->Identifier(), parameter->CloneValue()));
  }
  mChangedSyncParameters.clear();
  // The render side appends into a fixed array and never grows a list.
  if (list->pairs.empty())
  {
    delete list;
  }
  else if (const auto pushResult = mPendingStateLists.Push(list); pushResult != AAX_IContainer::eStatus_Success)
  {
    AAX_AssertReport(false, kParametersFile, 85, "AAX_IContainer::eStatus_Success == pushResult");
    FreeList(list);
  }

  AAX_IController* controller = Controller();
  if (!controller)
    return AAX_ERROR_NULL_OBJECT;
  return controller->PostPacket(kAAXField_CurrentStateNum, &stateNumber, sizeof(stateNumber));
}

AAX_Result AAX_CIPlugParameters::ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t dataSize) const
{
  if (field == kAAXField_PrivateData)
  {
    AAX_AssertReport(dataSize == sizeof(AAX_SIPlugPrivateData), kParametersFile, 98,
                     "iDataSize == sizeof(AAX_SIPlugPrivateData)");
    if (!data)
      return dataSize == 0 ? AAX_SUCCESS : AAX_ERROR_NULL_ARGUMENT;
    std::memset(data, 0, dataSize);
    // A block too small for the pointer stays cleared: the render procedure then skips it.
    if (dataSize >= sizeof(AAX_SIPlugPrivateData))
    {
      AAX_SIPlugPrivateData privateData{const_cast<AAX_CIPlugParameters*>(this)};
      std::memcpy(data, &privateData, sizeof(privateData));
    }
    return AAX_SUCCESS;
  }
  return AAX_CEffectParameters::ResetFieldData(field, data, dataSize);
}

AAX_Result AAX_CIPlugParameters::TimerWakeup()
{
  while (NumberedStateList* list = mSpentStateLists.Pop())
    FreeList(list);
  while (TParamValPair* pair = mSpentValuePairs.Pop())
    FreePair(pair);
  return AAX_SUCCESS;
}

void AAX_CIPlugParameters::RenderContext(AAX_SIPlugContext* context)
{
  if (!context)
    return;

  // 1. Every queued state the host has reached (or passed, across a wrap of the counter).
  if (const int64_t* statePointer = context->mCurrentStateNum)
  {
    const int64_t current = *statePointer;
    while (NumberedStateList* peeked = mPendingStateLists.Peek())
    {
      const int64_t number = peeked->number;
      if (!(number <= current || (current < -65535 && number > 65535)))
        break;
      NumberedStateList* popped = mPendingStateLists.Pop();
      AAX_AssertReport(popped == peeked, kParametersFile, 275, "poppedPair == numberedStateList");
      if (!popped)
        break;
      if (mRenderLists.Push(popped) != AAX_IContainer::eStatus_Success)
      {
        AAX_AssertReport(false, kParametersFile, 277, "AAX_IContainer::eStatus_Success == pushResult");
        // Nowhere to keep it: give it back whole, for the timer thread to free.
        mSpentStateLists.Push(popped);
      }
    }
  }

  // 2. Their values, oldest state first, into a fixed array.
  const TParamValPair* values[kMaxValuesPerRender];
  int32_t count = 0;
  while (NumberedStateList* list = mRenderLists.Pop())
  {
    AAX_AssertReport(kMaxValuesPerRender >= count + static_cast<int64_t>(list->pairs.size()), kParametersFile, 199,
                     "sCap >= mSize + (int64_t)inOther.size()");
    for (TParamValPair* pair : list->pairs)
    {
      if (count < kMaxValuesPerRender)
      {
        values[count++] = pair;
      }
      else
      {
        AAX_AssertReport(false, kParametersFile, 181, "sCap > mSize");
        // A value that does not fit is still freed by the timer thread.
        if (mSpentValuePairs.Push(pair) != AAX_IContainer::eStatus_Success)
          AAX_AssertReport(false, kParametersFile, 249, "AAX_IContainer::eStatus_Success == pushResult");
      }
    }
    // Emptying keeps the list's storage, which the timer thread frees with the holder.
    list->pairs.clear();
    list->number = 0;
    mSpentStateLists.Push(list);
  }

  // 3. The block.
  RenderAudio(context, values, count);

  // 4. The delivered pairs go back for the timer thread to free.
  for (int32_t i = 0; i < count; ++i)
  {
    if (mSpentValuePairs.Push(const_cast<TParamValPair*>(values[i])) != AAX_IContainer::eStatus_Success)
      AAX_AssertReport(false, kParametersFile, 249, "AAX_IContainer::eStatus_Success == pushResult");
  }
}

void AAX_CIPlugParameters::RenderAudio(AAX_SIPlugContext* context, const TParamValPair* const syncValues[],
                                       int32_t numSyncValues)
{
  (void) context;
  (void) syncValues;
  (void) numSyncValues;
}
