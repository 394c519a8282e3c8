#include "HostComponentDescriptor.h"

namespace aaxhost {

namespace {
// A host keeps a private block per instance; anything past this is not a sensible request.
constexpr int32_t kMaxPrivateDataSize = 1 << 20;

HostComponentDescriptor::Field MakeField(AAX_CFieldIndex index, const char* kind, int64_t size)
{
  HostComponentDescriptor::Field field;
  field.index = index;
  field.kind = kind;
  field.size = size;
  return field;
}
} // namespace

ACFRESULT HostComponentDescriptor::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXComponentDescriptorV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFComponentDescriptor*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

const HostComponentDescriptor::Field* HostComponentDescriptor::FindField(AAX_CFieldIndex index) const
{
  for (const Field& field : mFields)
    if (field.index == index)
      return &field;
  return nullptr;
}

AAX_Result HostComponentDescriptor::AddField(const char* operation, Field field)
{
  if (const auto fault = mFaults->Trip(operation))
    return *fault;
  if (field.index < 0 || FindField(field.index))
    return AAX_ERROR_INVALID_FIELD_INDEX;
  mFields.push_back(std::move(field));
  return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddAudioIn(AAX_CFieldIndex field)
{
  return AddField("add-audio-in", MakeField(field, "audio input", static_cast<int64_t>(sizeof(void*))));
}

AAX_Result HostComponentDescriptor::AddAudioOut(AAX_CFieldIndex field)
{
  return AddField("add-audio-out", MakeField(field, "audio output", static_cast<int64_t>(sizeof(void*))));
}

AAX_Result HostComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex field)
{
  return AddField("add-audio-buffer-length", MakeField(field, "audio buffer length", static_cast<int64_t>(sizeof(int32_t))));
}

AAX_Result HostComponentDescriptor::AddClock(AAX_CFieldIndex field)
{
  return AddField("add-clock", MakeField(field, "clock", static_cast<int64_t>(sizeof(AAX_CTimestamp))));
}

AAX_Result HostComponentDescriptor::AddSideChainIn(AAX_CFieldIndex field)
{
  return AddField("add-side-chain-in", MakeField(field, "side-chain input", static_cast<int64_t>(sizeof(int32_t))));
}

AAX_Result HostComponentDescriptor::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                                                  AAX_EDataInPortType portType)
{
  Field record = MakeField(field, "data input port", packetSize);
  record.portType = portType;
  return AddField("add-data-in-port", std::move(record));
}

AAX_Result HostComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex field, uint32_t stemFormat, const char* name)
{
  if (const auto fault = mFaults->Trip("add-aux-output-stem"))
    return *fault;
  mAuxOutputStems.push_back({field, stemFormat, name ? name : ""});
  return AAX_SUCCESS;
}

AAX_Result HostComponentDescriptor::AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
  if (dataSize < 0 || dataSize > kMaxPrivateDataSize)
    return AAX_ERROR_INVALID_ARGUMENT;
  Field record = MakeField(field, "private data", dataSize);
  record.options = options;
  return AddField("add-private-data", std::move(record));
}

AAX_Result HostComponentDescriptor::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount)
{
  if (meterCount && !meterIDs)
    return AAX_ERROR_NULL_ARGUMENT;
  Field record = MakeField(field, "meters", static_cast<int64_t>(sizeof(void*)));
  record.meterIDs.assign(meterIDs, meterIDs + meterCount);
  return AddField("add-meters", std::move(record));
}

AAX_Result HostComponentDescriptor::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType nodeType,
                                                const char* nodeName, uint32_t channelMask)
{
  Field record = MakeField(field, "MIDI node", static_cast<int64_t>(sizeof(void*)));
  record.nodeType = nodeType;
  record.name = nodeName ? nodeName : "";
  record.mask = channelMask;
  return AddField("add-midi-node", std::move(record));
}

IACFUnknown* HostComponentDescriptor::NewPropertyMap()
{
  if (mFaults->Trip("new-property-map"))
    return nullptr;
  auto* map = new HostPropertyMap(mFaults);
  mCreatedMaps.push_back(HostRef<HostPropertyMap>::Share(map));
  return static_cast<AAX_IACFPropertyMap*>(map);
}

AAX_Result HostComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                                          AAX_CInstanceInitProc instanceInitProc,
                                                          AAX_CBackgroundProc backgroundProc, AAX_CSelector* outProcID)
{
  if (const auto fault = mFaults->Trip("add-process-proc"))
    return *fault;
  if (!processProc)
    return AAX_ERROR_NULL_ARGUMENT;
  HostRef<HostPropertyMap> map;
  if (properties)
  {
    AAX_IACFPropertyMap* asked = nullptr;
    if (properties->QueryInterface(IID_IAAXPropertyMapV1, reinterpret_cast<void**>(&asked)) != ACF_OK)
      return AAX_ERROR_INVALID_ARGUMENT;
    // Only maps this host made can describe its procedures.
    auto* own = dynamic_cast<HostPropertyMap*>(asked);
    if (!own)
    {
      asked->Release();
      return AAX_ERROR_INVALID_ARGUMENT;
    }
    map = HostRef<HostPropertyMap>(own);
  }
  mProcessProcs.push_back({processProc, map, instanceInitProc, backgroundProc});
  if (outProcID)
    *outProcID = static_cast<AAX_CSelector>(mProcessProcs.size());
  return AAX_SUCCESS;
}

} // namespace aaxhost
