#include "AAX_SEffectIdentity.h"

// How the product introduces itself to an AAX host. The identifiers match the configuration
// record's maker and product codes.
const AAX_SEffectIdentity kProductEffectIdentity = {
  "Corvane",
  0x40,
  "com.quillmarsh.aax.Corvane",
  "Quill Marsh",
  0x00030000,
  "1-1 2-2",
  {AAX_TypeID('I', 'E', 'F', '1'), AAX_TypeID('I', 'E', 'F', '2')},
  {AAX_TypeID('I', 'E', 'A', '1'), AAX_TypeID('I', 'E', 'A', '2')},
  AAX_TypeID('Q', 'm', 's', 'h'),
  AAX_TypeID('C', 'R', 'V', 'N'),
  "Corvane Midi",
};
