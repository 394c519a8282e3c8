#pragma once

#include <vector>

#include "BusInfo.h"

namespace iplug {

// One accepted channel layout: its input buses and its output buses, each in the order the
// channel text lists them. A direction outside kInput/kOutput reads as having no buses.
struct IOConfig
{
  std::vector<BusInfo> mInputBuses;
  std::vector<BusInfo> mOutputBuses;

  // Appends a bus; ignored for an unknown direction.
  void AddBus(ERoute direction, int nChans);

  int NBuses(ERoute direction) const;

  // The bus, or null when there is no bus with that index.
  const BusInfo* GetBus(ERoute direction, int busIdx) const;

  // The bus's channel count, or 0 when there is no such bus.
  int NChansOnBus(ERoute direction, int busIdx) const;

  // Sum of the buses' channel counts (a wildcard bus adds its kAnyChannelCount), saturated to int.
  int TotalNChannels(ERoute direction) const;

  // True when some bus of that direction takes any number of channels.
  bool ContainsWildcard(ERoute direction) const;

private:
  const std::vector<BusInfo>* List(ERoute direction) const;
};

} // namespace iplug
