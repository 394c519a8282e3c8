#pragma once

#include <atomic>
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
// threads, except where a member says otherwise; stem formats and latency from any thread.
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
  // Audio thread too, in every block: lock-free.
  AAX_Result GetInputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result GetOutputStemFormat(uint32_t* outStemFormat) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;
  AAX_Result GetSignalLatency(int32_t* outSamples) const override;
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) override;

  void SetSampleRate(AAX_CSampleRate sampleRate);
  // Set up, before rendering; both formats change together.
  void SetStemFormats(uint32_t input, uint32_t output);
  // The instance this controller belongs to; not a reference (the instance holds the
  // controller, so a reference back would keep both alive).
  void SetEffectParameters(AAX_IACFEffectParameters* effect);
  // A host without automation answers no automation delegate.
  void SetAnswersAutomation(bool answers);

  HostAutomationDelegate& Automation() const { return *mAutomation; }
  HostTransport& Transport() const { return *mTransport; }
  std::vector<Packet> Packets() const;
  // Audio thread, before each render: hands each packet posted since the last call to
  // `deliver` (field, bytes, size), in order. Allocates nothing; takes no lock when nothing was
  // posted, and only tries the packet lock otherwise: when a poster holds it, the packets wait
  // for the next block.
  template <typename Deliver>
  void DeliverUndeliveredPackets(Deliver&& deliver);
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
  std::vector<int32_t> mLatencies;
  // Input format in the high half, output in the low: one word, so a reader never sees one
  // format of one setting with the other of the next.
  std::atomic<uint64_t> mStemFormats{(uint64_t{0x00010002} << 32) | 0x00010002};
  // Posters append under the packet lock (kept apart from mLock, so that the audio thread's try
  // fails only against a poster) and then publish the new count.
  mutable std::mutex mPacketLock;
  std::vector<Packet> mPackets;
  std::atomic<size_t> mPosted{0};
  size_t mDelivered = 0;  // the delivering thread's own
};

template <typename Deliver>
void HostController::DeliverUndeliveredPackets(Deliver&& deliver)
{
  if (mPosted.load(std::memory_order_acquire) == mDelivered)
    return;
  std::unique_lock lock(mPacketLock, std::try_to_lock);
  if (!lock.owns_lock())
    return;
  for (; mDelivered < mPackets.size(); ++mDelivered)
  {
    const Packet& packet = mPackets[mDelivered];
    deliver(packet.field, packet.payload.data(), packet.payload.size());
  }
}

} // namespace aaxhost
