#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXControllerV1 = ACFUIDFromText("F512440B-84C3-4263-874E-00758E234F19");

// The host's side of one effect instance. The same host object answers the instance's
// effect-parameters interface (so an editor can find its plug-in), its automation delegate and
// its transport through QueryInterface. Non-real-time threads unless noted.
class AAX_IACFController : public IACFUnknown
{
public:
  virtual AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const = 0;
  // Channel count in the low 16 bits.
  virtual AAX_Result GetInputStemFormat(uint32_t* outStemFormat) const = 0;   // any thread
  virtual AAX_Result GetOutputStemFormat(uint32_t* outStemFormat) const = 0;  // any thread
  virtual AAX_Result SetSignalLatency(int32_t samples) = 0;                   // any thread
  virtual AAX_Result GetSignalLatency(int32_t* outSamples) const = 0;
  // The payload reaches the render context's field before a later render call.
  virtual AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) = 0;

protected:
  ~AAX_IACFController() = default;
};
