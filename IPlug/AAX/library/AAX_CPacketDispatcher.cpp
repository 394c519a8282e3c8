#include "AAX_CPacketDispatcher.h"

#include "AAX_Errors.h"
#include "AAX_IController.h"

void AAX_CPacketDispatcher::Initialize(AAX_IController* controller)
{
  std::lock_guard lock(mLock);
  mController = controller;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID paramID, AAX_CFieldIndex field, Handler handler)
{
  if (!paramID || !handler)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  mPackets.emplace(paramID, Packet{field, std::move(handler)});
  return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID paramID, bool dirty)
{
  if (!paramID)
    return AAX_SUCCESS;
  std::lock_guard lock(mLock);
  auto [first, last] = mPackets.equal_range(std::string_view(paramID));
  for (auto it = first; it != last; ++it)
    it->second.dirty = dirty;
  return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
  std::lock_guard lock(mLock);
  for (auto& [paramID, packet] : mPackets)
  {
    if (!packet.dirty)
      continue;
    if (!mController)
      return AAX_ERROR_NULL_OBJECT;
    mPayload.clear();
    AAX_Result result = packet.handler(paramID.c_str(), mPayload);
    if (result == AAX_SUCCESS)
      result = mController->PostPacket(packet.field, mPayload.data(), static_cast<uint32_t>(mPayload.size()));
    if (result != AAX_SUCCESS)
      return result;
    packet.dirty = false;
  }
  return AAX_SUCCESS;
}
