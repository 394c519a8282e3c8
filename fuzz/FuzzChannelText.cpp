// The channel-text parser on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "IOConfig.h"
#include "IPlugProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<iplug::IOConfig> configs;
  int maxIn = 0, maxOut = 0, maxInBuses = 0, maxOutBuses = 0;
  const int n = iplug::IPlugProcessor::ParseChannelIO(text.c_str(), configs, maxIn, maxOut, maxInBuses, maxOutBuses);
  if (n < 0 || static_cast<size_t>(n) > configs.size() || maxIn < 0 || maxOut < 0)
    std::abort();
  return 0;
}
