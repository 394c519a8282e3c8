#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AAX_IACFComponentDescriptor.h"
#include "HostFaults.h"
#include "HostObject.h"
#include "HostPropertyMap.h"

namespace aaxhost {

// One processing component as the module describes it: what each render-context field holds,
// the aux output stems and the processing procedures with their properties. Field indices must
// be new and not negative; a clash answers AAX_ERROR_INVALID_FIELD_INDEX. Registration thread.
class HostComponentDescriptor final : public HostObject<AAX_IACFComponentDescriptor>
{
public:
  struct Field
  {
    AAX_CFieldIndex index = 0;
    std::string kind;         // "audio input", "private data", "MIDI node" …
    int64_t size = 0;         // bytes the host keeps for it, where the module gives a size
    // Kind-specific details.
    int32_t nodeType = -1;    // MIDI nodes
    std::string name;         // MIDI nodes
    uint32_t mask = 0;        // MIDI nodes: channel or event mask
    int32_t portType = -1;    // data input ports
    uint32_t options = 0;     // private data
    std::vector<AAX_CTypeID> meterIDs;
  };

  struct AuxOutputStem
  {
    AAX_CFieldIndex field;
    uint32_t stemFormat;
    std::string name;
  };

  struct ProcessProc
  {
    AAX_CProcessProc proc;
    HostRef<HostPropertyMap> properties;
    AAX_CInstanceInitProc instanceInitProc;
    AAX_CBackgroundProc backgroundProc;
  };

  explicit HostComponentDescriptor(std::shared_ptr<HostFaults> faults) : mFaults(std::move(faults)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result AddAudioIn(AAX_CFieldIndex field) override;
  AAX_Result AddAudioOut(AAX_CFieldIndex field) override;
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) override;
  AAX_Result AddClock(AAX_CFieldIndex field) override;
  AAX_Result AddSideChainIn(AAX_CFieldIndex field) override;
  AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortType portType) override;
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, uint32_t stemFormat, const char* name) override;
  AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t dataSize, uint32_t options) override;
  AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
  AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeType nodeType, const char* nodeName,
                         uint32_t channelMask) override;
  IACFUnknown* NewPropertyMap() override;
  AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                   AAX_CInstanceInitProc instanceInitProc, AAX_CBackgroundProc backgroundProc,
                                   AAX_CSelector* outProcID) override;

  // Fields in registration order.
  const std::vector<Field>& Fields() const { return mFields; }
  const Field* FindField(AAX_CFieldIndex index) const;
  const std::vector<AuxOutputStem>& AuxOutputStems() const { return mAuxOutputStems; }
  const std::vector<ProcessProc>& ProcessProcs() const { return mProcessProcs; }
  // Every property map handed out, used or not.
  const std::vector<HostRef<HostPropertyMap>>& CreatedPropertyMaps() const { return mCreatedMaps; }

private:
  AAX_Result AddField(const char* operation, Field field);

  std::shared_ptr<HostFaults> mFaults;
  std::vector<Field> mFields;
  std::vector<AuxOutputStem> mAuxOutputStems;
  std::vector<ProcessProc> mProcessProcs;
  std::vector<HostRef<HostPropertyMap>> mCreatedMaps;
};

} // namespace aaxhost
