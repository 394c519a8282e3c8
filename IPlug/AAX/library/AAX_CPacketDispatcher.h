#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AAX.h"

class AAX_IController;

// Coefficient packets of an effect: each is tied to a parameter identifier and a render-context
// field. Marking an identifier dirty schedules its packets; Dispatch fills each dirty packet
// through its handler and posts it to the host. Parameter thread; dirty marking and dispatch
// serialise on the dispatcher's own mutex.
class AAX_CPacketDispatcher
{
public:
  // Fills the payload of a packet for the parameter that made it dirty.
  using Handler = std::function<AAX_Result(AAX_CParamID paramID, std::vector<unsigned char>& payload)>;

  void Initialize(AAX_IController* controller);
  AAX_Result RegisterPacket(AAX_CParamID paramID, AAX_CFieldIndex field, Handler handler);
  // Marks every packet of the identifier; an identifier without packets changes nothing.
  AAX_Result SetDirty(AAX_CParamID paramID, bool dirty = true);
  // Posts every dirty packet; the first failing result ends the dispatch and is returned.
  AAX_Result Dispatch();

private:
  struct Packet
  {
    AAX_CFieldIndex field;
    Handler handler;
    bool dirty = false;
  };

  std::mutex mLock;
  AAX_IController* mController = nullptr;
  std::multimap<std::string, Packet, std::less<>> mPackets;
  std::vector<unsigned char> mPayload;
};
