#pragma once

#include "AAX.h"

class AAX_ITransport;

// A MIDI node of the render context, implemented by the host. Audio thread.
class AAX_IMIDINode
{
public:
  virtual ~AAX_IMIDINode() = default;

  // The packets that arrived for this block, in time order.
  virtual AAX_CMidiStream* GetNodeBuffer() = 0;
  virtual AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) = 0;
  // The host's transport, for the transport node; null for other nodes.
  virtual AAX_ITransport* GetTransport() = 0;
};
