#include "AAX_SEffectIdentity.h"
#include "CorvaneIdentity.h"
#include "IPlugConstants.h"

namespace
{
constexpr AAX_CTypeID TypeId(const char (&code)[5])
{
  return static_cast<AAX_CTypeID>(iplug::FourCC(code));
}
} // namespace

// How the product introduces itself to an AAX host.
const AAX_SEffectIdentity kProductEffectIdentity = {
  corvane::kPluginName,
  0x40,
  corvane::kAaxEffectId,
  corvane::kAaxManufacturerName,
  static_cast<uint32_t>(corvane::kVendorVersion),
  corvane::kChannelIO,
  {AAX_TypeID('I', 'E', 'F', '1'), AAX_TypeID('I', 'E', 'F', '2')},
  {AAX_TypeID('I', 'E', 'A', '1'), AAX_TypeID('I', 'E', 'A', '2')},
  TypeId(corvane::kMakerId),
  TypeId(corvane::kUniqueId),
  corvane::kMidiNodeName,
};
