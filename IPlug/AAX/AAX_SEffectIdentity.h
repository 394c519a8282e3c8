#pragma once

#include "AAX.h"

// The constants an effect is described with. The product defines kProductEffectIdentity; the
// description can also be run on another identity (tests do).
struct AAX_SEffectIdentity
{
  const char* nameText;             // one effect name per line
  uint32_t category;
  const char* effectID;             // reverse-domain
  const char* manufacturerName;
  uint32_t packageVersion;
  const char* channelIOStr;         // accepted channel layouts, e.g. "1-1 2-2"
  AAX_CTypeID nativeTypeIDs[2];     // real-time processing, by described configuration
  AAX_CTypeID audioSuiteTypeIDs[2]; // offline processing, by described configuration
  AAX_CTypeID manufacturerID;
  AAX_CTypeID productID;
  const char* midiNodeName;
};

extern const AAX_SEffectIdentity kProductEffectIdentity;
