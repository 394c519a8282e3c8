#pragma once

#include "AAX.h"

// The host controller of one instance as the plug-in uses it (AAX_VController forwards it to
// the host). Thread contracts as on AAX_IACFController.
class AAX_IController
{
public:
  virtual ~AAX_IController() = default;

  virtual AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const = 0;
  virtual AAX_Result GetInputStemFormat(uint32_t* outStemFormat) const = 0;
  virtual AAX_Result GetOutputStemFormat(uint32_t* outStemFormat) const = 0;
  virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
  virtual AAX_Result GetSignalLatency(int32_t* outSamples) const = 0;
  virtual AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) = 0;
};
