#pragma once

#include <memory>
#include <vector>

#include "AAX.h"

class IACFUnknown;
class AAX_IACFComponentDescriptor;
class AAX_VPropertyMap;

// The module's handle on a host component descriptor; owns the property maps it makes.
// Every call answers AAX_ERROR_NULL_OBJECT when the host's object is missing. Registration
// thread.
class AAX_VComponentDescriptor
{
public:
  // Takes over the caller's reference to `unknown`.
  explicit AAX_VComponentDescriptor(IACFUnknown* unknown);
  ~AAX_VComponentDescriptor();
  AAX_VComponentDescriptor(const AAX_VComponentDescriptor&) = delete;
  AAX_VComponentDescriptor& operator=(const AAX_VComponentDescriptor&) = delete;

  bool IsValid() const { return mIComponentDescriptor != nullptr; }
  IACFUnknown* GetIUnknown() const;

  AAX_Result AddAudioIn(AAX_CFieldIndex field);
  AAX_Result AddAudioOut(AAX_CFieldIndex field);
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex field);
  AAX_Result AddClock(AAX_CFieldIndex field);
  AAX_Result AddSideChainIn(AAX_CFieldIndex field);
  AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType portType);
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, uint32_t stemFormat, const char* name);
  AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options);
  AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount);
  AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType nodeType, const char* nodeName,
                         uint32_t channelMask);
  // A new property map owned by this descriptor, or null when the host gives none.
  AAX_VPropertyMap* NewPropertyMap();
  AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, AAX_VPropertyMap* properties,
                                   AAX_CInstanceInitProc instanceInitProc,
                                   AAX_CBackgroundProc backgroundProc, AAX_CSelector* outProcID);

private:
  AAX_IACFComponentDescriptor* mIComponentDescriptor = nullptr;
  std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};
