#pragma once

#include "AAX_IController.h"

class IACFUnknown;
class AAX_IACFController;

// Forwards the controller operations to the host's controller; AAX_ERROR_NULL_OBJECT when the
// host gave none. Holds one reference while it lives.
class AAX_VController final : public AAX_IController
{
public:
  explicit AAX_VController(IACFUnknown* host);
  ~AAX_VController() override;
  AAX_VController(const AAX_VController&) = delete;
  AAX_VController& operator=(const AAX_VController&) = delete;

  bool IsValid() const { return mIController != nullptr; }
  // The host's controller object, for queries of the other interfaces it answers (null when
  // there is none). Not reference-counted by this call.
  IACFUnknown* GetIUnknown() const;

  AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
  AAX_Result GetInputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result GetOutputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;
  AAX_Result GetSignalLatency(int32_t* outSamples) const override;
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) override;

private:
  AAX_IACFController* mIController = nullptr;
};
