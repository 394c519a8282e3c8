#include "HostSession.h"

#include <cstring>
#include <stdexcept>

#include "AAX_Errors.h"

namespace aaxhost {

HostSession::HostSession(const Options& options)
  : mSampleRate(options.sampleRate), mTimerInterval(options.timerInterval)
{
  try
  {
    mUI.Run([&] {
      mHost = std::make_unique<StandInHost>(options.modulePath);
      if (const ACFRESULT result = mHost->Startup(); result != ACF_OK)
        throw std::runtime_error("the module's start-up failed: " + AAX_ResultMessage(result));
      if (const ACFRESULT result = mHost->Register(); result != ACF_OK)
        throw std::runtime_error("the module's registration failed: " + AAX_ResultMessage(result));
      const auto& effects = mHost->Collection()->Effects();
      if (options.effect >= effects.size())
        throw std::runtime_error("the module registers no effect " + std::to_string(options.effect));
      const auto& components = effects[options.effect].descriptor->Components();
      if (options.component >= components.size())
        throw std::runtime_error("the effect has no component " + std::to_string(options.component));
      mComponent = components[options.component].get();

      mInstance = mHost->CreateInstance(options.effect, options.component);
      mInstance->Controller().SetSampleRate(static_cast<AAX_CSampleRate>(options.sampleRate));
      if (const AAX_Result result = mInstance->Initialize(); result != AAX_SUCCESS)
        throw std::runtime_error("the instance's initialisation failed: " + AAX_ResultMessage(result));
      mContext = std::make_unique<HostRenderContext>(*mComponent, &mInstance->Controller().Transport());
      if (const AAX_Result result = mContext->ResetFields(mInstance->Effect()); result != AAX_SUCCESS)
        throw std::runtime_error("the instance's field reset failed: " + AAX_ResultMessage(result));
      mInstance->Controller().Automation().SetRequestListener(
        [this] { mParameterThread->Post([this] { AnswerRequests(); }); });
    });
  }
  catch (...)
  {
    mUI.Run([&] {
      mContext.reset();
      mInstance.reset();
      mHost.reset();
    });
    throw;
  }
  mTimerThread = std::thread([this] { TimerLoop(); });
}

HostSession::~HostSession()
{
  {
    std::lock_guard lock(mTimerLock);
    mTimerStopping = true;
  }
  mTimerWake.notify_all();
  mTimerThread.join();

  mInstance->Controller().Automation().SetRequestListener({});
  mChunkThread.reset();
  mParameterThread.reset();
  mAudioThread.reset();

  mUI.Run([&] {
    // What the render side handed back since the last tick.
    if (mInstance->EffectV2())
      mInstance->EffectV2()->TimerWakeup();
    mContext.reset();
    mInstance.reset();
    mHost.reset();
  });
}

void HostSession::TimerLoop()
{
  std::unique_lock lock(mTimerLock);
  while (!mTimerWake.wait_for(lock, mTimerInterval, [this] { return mTimerStopping; }))
  {
    if (auto* effect = mInstance->EffectV2())
      effect->TimerWakeup();
  }
}

void HostSession::AnswerRequests()
{
  AAX_IACFEffectParameters* effect = mInstance->Effect();
  Controller().Automation().DeliverSetValueRequests(effect, [effect] { effect->GenerateCoefficients(); });
}

AAX_Result HostSession::RequestParameter(const std::string& paramID, double normalizedValue)
{
  return mUI.Run([&] { return mInstance->Effect()->SetParameterNormalizedValue(paramID.c_str(), normalizedValue); });
}

void HostSession::Automate(const std::string& paramID, double normalizedValue)
{
  mParameterThread->Post([this, paramID, normalizedValue] {
    AAX_IACFEffectParameters* effect = mInstance->Effect();
    effect->UpdateParameterNormalizedValue(paramID.c_str(), normalizedValue, AAX_eUpdateSource_Parameter);
    effect->GenerateCoefficients();
  });
}

void HostSession::SettleParameters()
{
  do
  {
    mParameterThread->WaitIdle();
  } while (Controller().Automation().PendingSetValueRequests() > 0);
}

void HostSession::DeliverPackets()
{
  Controller().DeliverUndeliveredPackets([this](AAX_CFieldIndex field, const void* payload, size_t size) {
    mContext->DeliverPacket(field, payload, size);
  });
}

void HostSession::RenderBlock(float* const* inputs, float* const* outputs, int32_t frames)
{
  DeliverPackets();
  mContext->Render(inputs, outputs, frames);
  Controller().Transport().Advance(frames, mSampleRate);
}

AAX_CTypeID HostSession::ChunkID()
{
  return mChunkThread->Run([&] {
    AAX_CTypeID id = 0;
    if (mInstance->Effect()->GetChunkIDFromIndex(0, &id) != AAX_SUCCESS)
      throw std::runtime_error("the module names no state chunk");
    return id;
  });
}

std::vector<uint8_t> HostSession::GetChunk()
{
  const AAX_CTypeID id = ChunkID();
  return mChunkThread->Run([&] {
    AAX_IACFEffectParameters* effect = mInstance->Effect();
    uint32_t size = 0;
    if (const AAX_Result result = effect->GetChunkSize(id, &size); result != AAX_SUCCESS)
      throw std::runtime_error("the module gives no chunk size: " + AAX_ResultMessage(result));
    std::vector<unsigned char> record(sizeof(AAX_SPlugInChunkHeader) + size + 1, 0);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fSize = static_cast<int32_t>(size);
    chunk->fChunkID = id;
    if (const AAX_Result result = effect->GetChunk(id, chunk); result != AAX_SUCCESS)
      throw std::runtime_error("the module gives no chunk: " + AAX_ResultMessage(result));
    if (chunk->fSize < 0 || static_cast<uint32_t>(chunk->fSize) > size)
      throw std::runtime_error("the module's chunk overran the size it gave");
    const auto* data = reinterpret_cast<const uint8_t*>(chunk->fData);
    return std::vector<uint8_t>(data, data + chunk->fSize);
  });
}

AAX_Result HostSession::SetChunk(const std::vector<uint8_t>& data)
{
  const AAX_CTypeID id = ChunkID();
  const AAX_Result result = mChunkThread->Run([&] {
    std::vector<unsigned char> record(sizeof(AAX_SPlugInChunkHeader) + data.size() + 1, 0);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fSize = static_cast<int32_t>(data.size());
    chunk->fChunkID = id;
    if (!data.empty())
      std::memcpy(chunk->fData, data.data(), data.size());
    return mInstance->Effect()->SetChunk(id, chunk);
  });
  SettleParameters();
  return result;
}

std::vector<HostInstance::ParameterInfo> HostSession::Parameters()
{
  return mUI.Run([&] { return mInstance->Parameters(); });
}

int32_t HostSession::Latency() const
{
  const auto latencies = mInstance->Controller().Latencies();
  return latencies.empty() ? 0 : latencies.back();
}

} // namespace aaxhost
