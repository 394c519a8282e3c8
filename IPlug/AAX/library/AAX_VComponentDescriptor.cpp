#include "AAX_VComponentDescriptor.h"

#include "AAX_Errors.h"
#include "AAX_IACFComponentDescriptor.h"
#include "AAX_VPropertyMap.h"

AAX_VComponentDescriptor::AAX_VComponentDescriptor(IACFUnknown* unknown)
{
  if (!unknown)
    return;
  if (unknown->QueryInterface(IID_IAAXComponentDescriptorV1, reinterpret_cast<void**>(&mIComponentDescriptor)) != ACF_OK)
    mIComponentDescriptor = nullptr;
  unknown->Release();
}

AAX_VComponentDescriptor::~AAX_VComponentDescriptor()
{
  mPropertyMaps.clear();
  if (mIComponentDescriptor)
    mIComponentDescriptor->Release();
}

IACFUnknown* AAX_VComponentDescriptor::GetIUnknown() const
{
  return mIComponentDescriptor;
}

#define AAX_FORWARD(call) (mIComponentDescriptor ? mIComponentDescriptor->call : AAX_ERROR_NULL_OBJECT)

AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex field) { return AAX_FORWARD(AddAudioIn(field)); }
AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex field) { return AAX_FORWARD(AddAudioOut(field)); }
AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex field) { return AAX_FORWARD(AddAudioBufferLength(field)); }
AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex field) { return AAX_FORWARD(AddClock(field)); }
AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex field) { return AAX_FORWARD(AddSideChainIn(field)); }

AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                                                   AAX_EDataInPortType portType)
{
  return AAX_FORWARD(AddDataInPort(field, packetSize, portType));
}

AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex field, uint32_t stemFormat,
                                                      const char* name)
{
  return AAX_FORWARD(AddAuxOutputStem(field, stemFormat, name));
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
  return AAX_FORWARD(AddPrivateData(field, dataSize, options));
}

AAX_Result AAX_VComponentDescriptor::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs,
                                               uint32_t meterCount)
{
  return AAX_FORWARD(AddMeters(field, meterIDs, meterCount));
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType nodeType,
                                                 const char* nodeName, uint32_t channelMask)
{
  return AAX_FORWARD(AddMIDINode(field, nodeType, nodeName, channelMask));
}

AAX_VPropertyMap* AAX_VComponentDescriptor::NewPropertyMap()
{
  if (!mIComponentDescriptor)
    return nullptr;
  auto map = std::make_unique<AAX_VPropertyMap>(mIComponentDescriptor->NewPropertyMap());
  if (!map->IsValid())
    return nullptr;
  mPropertyMaps.push_back(std::move(map));
  return mPropertyMaps.back().get();
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc processProc,
                                                           AAX_VPropertyMap* properties,
                                                           AAX_CInstanceInitProc instanceInitProc,
                                                           AAX_CBackgroundProc backgroundProc,
                                                           AAX_CSelector* outProcID)
{
  return AAX_FORWARD(AddProcessProc_Native(processProc, properties ? properties->GetIUnknown() : nullptr,
                                           instanceInitProc, backgroundProc, outProcID));
}

#undef AAX_FORWARD
