#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXComponentDescriptorV1 =
  ACFUIDFromText("5B1707B2-F4E1-48FB-B1F0-6ECC50393C04");

// The host's description of one processing component. Each Add… call gives one field of the
// render context its meaning; the field index is the field's position in that record.
// Registration thread.
class AAX_IACFComponentDescriptor : public IACFUnknown
{
public:
  virtual AAX_Result AddAudioIn(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddAudioOut(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddClock(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddSideChainIn(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                                   AAX_EDataInPortType portType) = 0;
  virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, uint32_t stemFormat,
                                      const char* name) = 0;
  virtual AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options) = 0;
  virtual AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs,
                               uint32_t meterCount) = 0;
  virtual AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType nodeType,
                                 const char* nodeName, uint32_t channelMask) = 0;
  // A new, empty property map with one reference for the caller, or null.
  virtual IACFUnknown* NewPropertyMap() = 0;
  virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                           AAX_CInstanceInitProc instanceInitProc,
                                           AAX_CBackgroundProc backgroundProc,
                                           AAX_CSelector* outProcID) = 0;

protected:
  ~AAX_IACFComponentDescriptor() = default;
};
