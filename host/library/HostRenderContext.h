#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "AAX.h"
#include "HostComponentDescriptor.h"
#include "HostMIDINode.h"

class AAX_IACFEffectParameters;
class AAX_ITransport;

namespace aaxhost {

// The render context of one instance in one component, laid out the way the component
// registered it: one pointer-wide field per registered index, each pointing at storage the host
// keeps (audio pointer arrays, the frame count, the clock, MIDI nodes, private-data blocks,
// data-port buffers, meters, the side-chain index). Packets the plug-in posts reach their data
// port before the next render.
//
// Built and reset on a host thread; Render runs on the host's audio thread. The context does not
// lock: the host hands it to one thread at a time.
class HostRenderContext
{
public:
  // Throws std::runtime_error when the component registers no native render procedure or a field
  // index outside 0..255.
  HostRenderContext(const HostComponentDescriptor& component, AAX_ITransport* transport);
  ~HostRenderContext();
  HostRenderContext(const HostRenderContext&) = delete;
  HostRenderContext& operator=(const HostRenderContext&) = delete;

  // Host thread. Asks the instance to reset every private-data field; the first failing result,
  // else 0.
  AAX_Result ResetFields(AAX_IACFEffectParameters* effect);

  // Audio thread. Copies a packet into its data port (cut to the port's size); false when the
  // field is no data port.
  bool DeliverPacket(AAX_CFieldIndex field, const void* payload, size_t size);

  // Audio thread. One block: hands the host buffers (one per channel of the component's stem
  // formats; a null array reads as silence / discards) and the frame count to the context and
  // calls the render procedure once.
  void Render(float* const* inputs, float* const* outputs, int32_t frames);

  // The raw fields, indexed as the component registered them.
  void* const* Fields() const { return mFields.data(); }
  size_t NumFields() const { return mFields.size(); }
  AAX_CProcessProc Procedure() const { return mProcedure; }
  int InputChannels() const { return static_cast<int>(mInputs.size()); }
  int OutputChannels() const { return static_cast<int>(mOutputs.size()); }
  // The MIDI node at a field, or null.
  HostMIDINode* Node(AAX_CFieldIndex field) const;
  // The data port's current bytes, or null.
  const void* PortData(AAX_CFieldIndex field) const;
  int32_t& SideChainIndex() { return mSideChain; }

private:
  struct Storage;

  std::vector<void*> mFields;
  std::vector<std::unique_ptr<Storage>> mStorage;
  std::vector<std::pair<AAX_CFieldIndex, void*>> mPrivateData;  // field, block
  std::vector<uint32_t> mPrivateSizes;
  AAX_CProcessProc mProcedure = nullptr;
  std::vector<float*> mInputs;
  std::vector<float*> mOutputs;
  std::vector<float> mSilence;   // stands in for a null input array
  std::vector<float> mDiscard;   // takes the outputs of a null output array
  int32_t mFrames = 0;
  AAX_CTimestamp mClock = 0;
  int32_t mSideChain = 0;
};

} // namespace aaxhost
