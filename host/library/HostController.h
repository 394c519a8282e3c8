#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "AAX_IACFController.h"
#include "HostAutomationDelegate.h"
#include "HostFaults.h"
#include "HostObject.h"
#include "HostTransport.h"

class AAX_IACFEffectParameters;

namespace aaxhost {

// The host's side of one effect instance: sample rate and stem formats of the component the
// instance runs in, the latency the plug-in reported and the packets it posted. Through
// QueryInterface it also answers the instance's automation delegate, its transport and the
// instance's own effect-parameters object (so an editor finds its plug-in). Non-real-time
// threads; stem formats and latency from any thread.
class HostController final : public HostObject<AAX_IACFController>
{
public:
  struct Packet
  {
    AAX_CFieldIndex field;
    std::vector<unsigned char> payload;
  };

  explicit HostController(std::shared_ptr<HostFaults> faults);
  ~HostController() override;

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
  AAX_Result GetInputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result GetOutputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;
  AAX_Result GetSignalLatency(int32_t* outSamples) const override;
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) override;

  void SetSampleRate(AAX_CSampleRate sampleRate);
  void SetStemFormats(uint32_t input, uint32_t output);
  // The instance this controller belongs to; not a reference (the instance holds the
  // controller, so a reference back would keep both alive).
  void SetEffectParameters(AAX_IACFEffectParameters* effect);
  // A host without automation answers no automation delegate.
  void SetAnswersAutomation(bool answers);

  HostAutomationDelegate& Automation() const { return *mAutomation; }
  HostTransport& Transport() const { return *mTransport; }
  std::vector<Packet> Packets() const;
  // The packets posted since the last call, in order: what the host carries to the render
  // context before its next render.
  std::vector<Packet> TakeUndeliveredPackets();
  // Latencies reported so far, in order.
  std::vector<int32_t> Latencies() const;

private:
  std::shared_ptr<HostFaults> mFaults;
  HostRef<HostAutomationDelegate> mAutomation;
  HostRef<HostTransport> mTransport;
  mutable std::mutex mLock;
  AAX_IACFEffectParameters* mEffect = nullptr;
  bool mAnswersAutomation = true;
  AAX_CSampleRate mSampleRate = 48000.0f;
  uint32_t mInputStemFormat = 0x00010002;
  uint32_t mOutputStemFormat = 0x00010002;
  std::vector<int32_t> mLatencies;
  std::vector<Packet> mPackets;
  size_t mDelivered = 0;
};

} // namespace aaxhost
