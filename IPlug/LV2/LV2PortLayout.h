#pragma once

#include <cstdint>

namespace iplug {

// Where each port sits in an instance's port list: one control input per framework parameter
// (in parameter order), the host's enable switch, the latency report, the audio inputs and
// outputs, then the message ports (atom sequences in and out, which a host may leave unconnected). The plug-in and the generator of its Turtle description both count from here, so
// the indices a host reads from the bundle are the ones the plug-in answers to.
struct LV2PortLayout
{
  int nParams = 0;
  int nChannels = 0;

  uint32_t Param(int paramIdx) const { return static_cast<uint32_t>(paramIdx); }
  uint32_t Enabled() const { return static_cast<uint32_t>(nParams); }
  uint32_t Latency() const { return static_cast<uint32_t>(nParams + 1); }
  uint32_t AudioIn(int ch) const { return static_cast<uint32_t>(nParams + 2 + ch); }
  uint32_t AudioOut(int ch) const { return static_cast<uint32_t>(nParams + 2 + nChannels + ch); }
  uint32_t MessagesIn() const { return static_cast<uint32_t>(nParams + 2 + 2 * nChannels); }
  uint32_t MessagesOut() const { return MessagesIn() + 1; }
  uint32_t Count() const { return MessagesOut() + 1; }
};

} // namespace iplug
