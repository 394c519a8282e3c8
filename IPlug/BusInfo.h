#pragma once

#include "IPlugConstants.h"

namespace iplug {

// The channel count a bus token of "*" stands for: the bus takes any number of channels.
inline constexpr int kAnyChannelCount = -64;

// One bus of an accepted channel layout: its direction and how many channels it carries.
struct BusInfo
{
  ERoute mDirection = kInput;
  int mNChans = 0; // kAnyChannelCount for a bus that takes any number of channels

  BusInfo() = default;
  BusInfo(ERoute direction, int nChans) : mDirection(direction), mNChans(nChans) {}
};

} // namespace iplug
