#pragma once

#include <vector>

#include "AAX_IMIDINode.h"

namespace aaxhost {

// A MIDI node of a render context: the packets the host queued for the next block, the packets
// the plug-in posted, and (for a transport node) the host's transport. Audio thread while a
// block renders; the host fills and reads it between blocks.
class HostMIDINode final : public AAX_IMIDINode
{
public:
  explicit HostMIDINode(AAX_ITransport* transport = nullptr) : mTransport(transport) {}

  AAX_CMidiStream* GetNodeBuffer() override;
  AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) override;
  AAX_ITransport* GetTransport() override { return mTransport; }

  // Packets for the next block; the host keeps them in time order.
  void SetIncoming(std::vector<AAX_CMidiPacket> packets);
  const std::vector<AAX_CMidiPacket>& Posted() const { return mPosted; }
  void ClearPosted() { mPosted.clear(); }

private:
  AAX_ITransport* mTransport;
  std::vector<AAX_CMidiPacket> mIncoming;
  AAX_CMidiStream mStream;
  std::vector<AAX_CMidiPacket> mPosted;
};

} // namespace aaxhost
