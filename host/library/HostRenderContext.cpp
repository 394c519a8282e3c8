#include "HostRenderContext.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "AAX_Errors.h"
#include "AAX_IACFEffectParameters.h"

namespace aaxhost {

namespace {
constexpr AAX_CFieldIndex kMaxFieldIndex = 255;
} // namespace

// What one field points at. Blocks are kept in 64-bit words, so any field type is aligned.
struct HostRenderContext::Storage
{
  AAX_CFieldIndex field = 0;
  std::vector<uint64_t> block;           // private data, data ports
  size_t size = 0;                       // bytes of block in use
  std::unique_ptr<HostMIDINode> node;    // MIDI nodes
  std::vector<float*> meters;            // meters: one pointer per meter
  std::vector<float> meterValues;
};

HostRenderContext::HostRenderContext(const HostComponentDescriptor& component, AAX_ITransport* transport)
{
  if (component.ProcessProcs().empty() || !component.ProcessProcs().front().proc)
    throw std::runtime_error("the component registers no native render procedure");
  const auto& process = component.ProcessProcs().front();
  mProcedure = process.proc;

  // Channel counts from the component's stem formats.
  AAX_CPropertyValue inputFormat = AAX_eStemFormat_None, outputFormat = AAX_eStemFormat_None;
  if (process.properties)
  {
    process.properties->GetProperty(AAX_eProperty_InputStemFormat, &inputFormat);
    process.properties->GetProperty(AAX_eProperty_OutputStemFormat, &outputFormat);
  }
  mInputs.assign(static_cast<size_t>(AAX_StemFormatChannelCount(static_cast<uint32_t>(inputFormat))), nullptr);
  mOutputs.assign(static_cast<size_t>(AAX_StemFormatChannelCount(static_cast<uint32_t>(outputFormat))), nullptr);

  AAX_CFieldIndex highest = -1;
  for (const auto& field : component.Fields())
  {
    if (field.index < 0 || field.index > kMaxFieldIndex)
      throw std::runtime_error("the component registers a field index outside 0..255");
    highest = std::max(highest, field.index);
  }
  mFields.assign(static_cast<size_t>(highest + 1), nullptr);

  for (const auto& field : component.Fields())
  {
    void*& slot = mFields[static_cast<size_t>(field.index)];
    if (field.kind == "audio input")
      slot = mInputs.data();
    else if (field.kind == "audio output")
      slot = mOutputs.data();
    else if (field.kind == "audio buffer length")
      slot = &mFrames;
    else if (field.kind == "clock")
      slot = &mClock;
    else if (field.kind == "side-chain input")
      slot = &mSideChain;
    else
    {
      auto storage = std::make_unique<Storage>();
      storage->field = field.index;
      if (field.kind == "MIDI node")
      {
        storage->node = std::make_unique<HostMIDINode>(field.nodeType == AAX_eMIDINodeType_Transport ? transport : nullptr);
        slot = static_cast<AAX_IMIDINode*>(storage->node.get());
      }
      else if (field.kind == "meters")
      {
        storage->meterValues.assign(field.meterIDs.size(), 0.0f);
        for (float& value : storage->meterValues)
          storage->meters.push_back(&value);
        slot = storage->meters.data();
      }
      else
      {
        // Private data and data ports: a block of the registered size.
        storage->size = static_cast<size_t>(std::max<int64_t>(field.size, 0));
        storage->block.assign((storage->size + 7) / 8 + 1, 0);
        slot = storage->block.data();
        if (field.kind == "private data")
        {
          mPrivateData.emplace_back(field.index, slot);
          mPrivateSizes.push_back(static_cast<uint32_t>(storage->size));
        }
      }
      mStorage.push_back(std::move(storage));
    }
  }
}

HostRenderContext::~HostRenderContext() = default;

AAX_Result HostRenderContext::ResetFields(AAX_IACFEffectParameters* effect)
{
  if (!effect)
    return AAX_ERROR_NULL_OBJECT;
  AAX_Result first = AAX_SUCCESS;
  for (size_t i = 0; i < mPrivateData.size(); ++i)
  {
    const AAX_Result result = effect->ResetFieldData(mPrivateData[i].first, mPrivateData[i].second, mPrivateSizes[i]);
    if (first == AAX_SUCCESS)
      first = result;
  }
  return first;
}

bool HostRenderContext::DeliverPacket(AAX_CFieldIndex field, const void* payload, size_t size)
{
  for (auto& storage : mStorage)
  {
    if (storage->field != field || storage->node || !storage->meters.empty())
      continue;
    auto* bytes = reinterpret_cast<unsigned char*>(storage->block.data());
    const size_t n = std::min(size, storage->size);
    if (n && payload)
      std::memcpy(bytes, payload, n);
    return true;
  }
  return false;
}

HostMIDINode* HostRenderContext::Node(AAX_CFieldIndex field) const
{
  for (const auto& storage : mStorage)
    if (storage->field == field && storage->node)
      return storage->node.get();
  return nullptr;
}

const void* HostRenderContext::PortData(AAX_CFieldIndex field) const
{
  for (const auto& storage : mStorage)
    if (storage->field == field && !storage->node && storage->meters.empty())
      return storage->block.data();
  return nullptr;
}

void HostRenderContext::Render(float* const* inputs, float* const* outputs, int32_t frames)
{
  const size_t n = static_cast<size_t>(std::max(frames, 0));
  if (!inputs && mSilence.size() < n)
    mSilence.assign(n, 0.0f);
  if (!outputs && mDiscard.size() < n)
    mDiscard.assign(n, 0.0f);
  for (size_t ch = 0; ch < mInputs.size(); ++ch)
    mInputs[ch] = inputs ? inputs[ch] : mSilence.data();
  for (size_t ch = 0; ch < mOutputs.size(); ++ch)
    mOutputs[ch] = outputs ? outputs[ch] : mDiscard.data();
  mFrames = frames;

  void* context = mFields.data();
  void* const instances[1] = {context};
  mProcedure(instances, instances + 1);
  mClock += n;
}

} // namespace aaxhost
