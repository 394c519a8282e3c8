#include "HostController.h"

#include "AAX_IACFEffectParameters.h"

namespace aaxhost {

namespace {
// The largest packet the host carries to a render context.
constexpr uint32_t kMaxPacketSize = 1 << 16;
} // namespace

HostController::HostController(std::shared_ptr<HostFaults> faults)
  : mFaults(std::move(faults))
  , mAutomation(new HostAutomationDelegate(mFaults))
  , mTransport(new HostTransport())
{
}

HostController::~HostController() = default;

ACFRESULT HostController::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXControllerV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFController*>(this), outInterface);
  if (!outInterface)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  if (iid == IID_IAAXAutomationDelegateV1 && mAnswersAutomation)
    return mAutomation->QueryInterface(iid, outInterface);
  if (iid == IID_IAAXTransportV1)
    return mTransport->QueryInterface(iid, outInterface);
  if (mEffect && (iid == IID_IAAXEffectParametersV1 || iid == IID_IAAXEffectParametersV2 ||
                  iid == IID_IAAXEffectParametersV3 || iid == IID_IAAXEffectParametersV4))
    return mEffect->QueryInterface(iid, outInterface);
  *outInterface = nullptr;
  return ACF_E_NOINTERFACE;
}

AAX_Result HostController::GetSampleRate(AAX_CSampleRate* outSampleRate) const
{
  if (const auto fault = mFaults->Trip("get-sample-rate"))
    return *fault;
  if (!outSampleRate)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outSampleRate = mSampleRate;
  return AAX_SUCCESS;
}

AAX_Result HostController::GetInputStemFormat(uint32_t* outStemFormat) const
{
  if (!outStemFormat)
    return AAX_ERROR_NULL_ARGUMENT;
  *outStemFormat = static_cast<uint32_t>(mStemFormats.load(std::memory_order_acquire) >> 32);
  return AAX_SUCCESS;
}

AAX_Result HostController::GetOutputStemFormat(uint32_t* outStemFormat) const
{
  if (!outStemFormat)
    return AAX_ERROR_NULL_ARGUMENT;
  *outStemFormat = static_cast<uint32_t>(mStemFormats.load(std::memory_order_acquire));
  return AAX_SUCCESS;
}

AAX_Result HostController::SetSignalLatency(int32_t samples)
{
  if (const auto fault = mFaults->Trip("set-signal-latency"))
    return *fault;
  if (samples < 0)
    return AAX_ERROR_INVALID_ARGUMENT;
  std::lock_guard lock(mLock);
  mLatencies.push_back(samples);
  return AAX_SUCCESS;
}

AAX_Result HostController::GetSignalLatency(int32_t* outSamples) const
{
  if (!outSamples)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outSamples = mLatencies.empty() ? 0 : mLatencies.back();
  return AAX_SUCCESS;
}

AAX_Result HostController::PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size)
{
  if (const auto fault = mFaults->Trip("post-packet"))
    return *fault;
  if (size && !payload)
    return AAX_ERROR_NULL_ARGUMENT;
  if (size > kMaxPacketSize)
    return AAX_ERROR_POST_PACKET_FAILED;
  const auto* bytes = static_cast<const unsigned char*>(payload);
  Packet packet{field, std::vector<unsigned char>(bytes, bytes + size)};
  std::lock_guard lock(mPacketLock);
  mPackets.push_back(std::move(packet));
  mPosted.store(mPackets.size(), std::memory_order_release);
  return AAX_SUCCESS;
}

void HostController::SetSampleRate(AAX_CSampleRate sampleRate)
{
  std::lock_guard lock(mLock);
  mSampleRate = sampleRate;
}

void HostController::SetStemFormats(uint32_t input, uint32_t output)
{
  mStemFormats.store((uint64_t{input} << 32) | output, std::memory_order_release);
}

void HostController::SetEffectParameters(AAX_IACFEffectParameters* effect)
{
  std::lock_guard lock(mLock);
  mEffect = effect;
}

void HostController::SetAnswersAutomation(bool answers)
{
  std::lock_guard lock(mLock);
  mAnswersAutomation = answers;
}

std::vector<HostController::Packet> HostController::Packets() const
{
  std::lock_guard lock(mPacketLock);
  return mPackets;
}

std::vector<int32_t> HostController::Latencies() const
{
  std::lock_guard lock(mLock);
  return mLatencies;
}

} // namespace aaxhost
