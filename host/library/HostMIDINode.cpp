#include "HostMIDINode.h"

#include <algorithm>

#include "AAX_Errors.h"

namespace aaxhost {

AAX_CMidiStream* HostMIDINode::GetNodeBuffer()
{
  mStream.mBufferSize = static_cast<uint32_t>(mIncoming.size());
  mStream.mBuffer = mIncoming.empty() ? nullptr : mIncoming.data();
  return &mStream;
}

AAX_Result HostMIDINode::PostMIDIPacket(AAX_CMidiPacket* packet)
{
  if (!packet)
    return AAX_ERROR_NULL_ARGUMENT;
  if (packet->mLength > sizeof(packet->mData))
    return AAX_ERROR_INVALID_ARGUMENT;
  mPosted.push_back(*packet);
  return AAX_SUCCESS;
}

void HostMIDINode::SetIncoming(std::vector<AAX_CMidiPacket> packets)
{
  std::stable_sort(packets.begin(), packets.end(),
                   [](const AAX_CMidiPacket& a, const AAX_CMidiPacket& b) { return a.mTimestamp < b.mTimestamp; });
  mIncoming = std::move(packets);
}

} // namespace aaxhost
