#pragma once

// How a product's LV2 editor introduces itself; the product defines kProductLV2EditorIdentity.
// The URI is permanent: hosts store it in their sessions.
struct LV2EditorIdentity
{
  const char* uri;
  const char* binaryName;  // the editor's module file inside the bundle
};

extern const LV2EditorIdentity kProductLV2EditorIdentity;
