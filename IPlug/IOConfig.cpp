#include "IOConfig.h"

#include <climits>
#include <cstddef>

namespace iplug {

const std::vector<BusInfo>* IOConfig::List(ERoute direction) const
{
  if (direction == kInput)
    return &mInputBuses;
  if (direction == kOutput)
    return &mOutputBuses;
  return nullptr;
}

void IOConfig::AddBus(ERoute direction, int nChans)
{
  if (direction == kInput)
    mInputBuses.emplace_back(direction, nChans);
  else if (direction == kOutput)
    mOutputBuses.emplace_back(direction, nChans);
}

int IOConfig::NBuses(ERoute direction) const
{
  const std::vector<BusInfo>* buses = List(direction);
  return buses ? static_cast<int>(buses->size()) : 0;
}

const BusInfo* IOConfig::GetBus(ERoute direction, int busIdx) const
{
  const std::vector<BusInfo>* buses = List(direction);
  if (!buses || busIdx < 0 || busIdx >= static_cast<int>(buses->size()))
    return nullptr;
  return &(*buses)[static_cast<size_t>(busIdx)];
}

int IOConfig::NChansOnBus(ERoute direction, int busIdx) const
{
  const BusInfo* bus = GetBus(direction, busIdx);
  return bus ? bus->mNChans : 0;
}

int IOConfig::TotalNChannels(ERoute direction) const
{
  const std::vector<BusInfo>* buses = List(direction);
  if (!buses)
    return 0;

  // Bus counts come from text; a long run of huge tokens must not overflow the sum.
  long long total = 0;
  for (const BusInfo& bus : *buses)
  {
    total += bus.mNChans;
    if (total > INT_MAX)
      return INT_MAX;
    if (total < INT_MIN)
      return INT_MIN;
  }
  return static_cast<int>(total);
}

bool IOConfig::ContainsWildcard(ERoute direction) const
{
  const std::vector<BusInfo>* buses = List(direction);
  if (!buses)
    return false;
  for (const BusInfo& bus : *buses)
    if (bus.mNChans < 0)
      return true;
  return false;
}

} // namespace iplug
