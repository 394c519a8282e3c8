#include "AAX_CParameterManager.h"

#include <cstring>

#include "AAX_IParameter.h"

AAX_CParameterManager::~AAX_CParameterManager()
{
  RemoveAllParameters();
}

bool AAX_CParameterManager::AddParameter(AAX_IParameter* parameter)
{
  if (!parameter || mParametersByID.count(std::string_view(parameter->Identifier())))
    return false;
  parameter->SetAutomationDelegate(mAutomationDelegate);
  mParameters.emplace_back(parameter);
  mParametersByID.emplace(parameter->Identifier(), parameter);
  return true;
}

void AAX_CParameterManager::RemoveParameterByID(AAX_CParamID identifier)
{
  if (!identifier)
    return;
  const auto found = mParametersByID.find(std::string_view(identifier));
  if (found == mParametersByID.end())
    return;
  AAX_IParameter* parameter = found->second;
  mParametersByID.erase(found);
  for (auto it = mParameters.begin(); it != mParameters.end(); ++it)
  {
    if (it->get() == parameter)
    {
      mParameters.erase(it);
      break;
    }
  }
}

void AAX_CParameterManager::RemoveAllParameters()
{
  mParametersByID.clear();
  // Last added, first deleted: the host's registrations unwind in reverse order.
  while (!mParameters.empty())
    mParameters.pop_back();
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier) const
{
  if (!identifier)
    return nullptr;
  const auto found = mParametersByID.find(std::string_view(identifier));
  return found == mParametersByID.end() ? nullptr : found->second;
}

AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index) const
{
  if (index < 0 || index >= NumParameters())
    return nullptr;
  return mParameters[static_cast<size_t>(index)].get();
}

int32_t AAX_CParameterManager::GetParameterIndex(AAX_CParamID identifier) const
{
  if (!identifier)
    return -1;
  for (size_t i = 0; i < mParameters.size(); ++i)
    if (std::strcmp(mParameters[i]->Identifier(), identifier) == 0)
      return static_cast<int32_t>(i);
  return -1;
}
