#pragma once

// How a product introduces itself to LV2 hosts; the product defines kProductLV2Identity.
// The plug-in URIs are permanent: hosts store them in their sessions.
struct LV2EffectIdentity
{
  const char* monoURI;
  const char* stereoURI;
  const char* monoName;
  const char* stereoName;
  const char* maker;
  const char* stateKeyURI;    // the state property that holds the saved state
  const char* editorSizeURI;  // the property the editor sets and asks for on the message ports
  const char* binaryName;     // the module file inside the bundle
  const char* descriptionFile;  // the plug-ins' Turtle file inside the bundle
};

extern const LV2EffectIdentity kProductLV2Identity;
