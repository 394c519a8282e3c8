#include "CorvaneIdentity.h"
#include "LV2EditorIdentity.h"
#include "LV2EffectIdentity.h"

// How the product introduces itself to LV2 hosts.
const LV2EffectIdentity kProductLV2Identity = {
  "http://quillmarsh.com/plugins/corvane/mono",
  "http://quillmarsh.com/plugins/corvane/stereo",
  "Corvane Mono",
  corvane::kProductName,
  corvane::kMakerName,
  "http://quillmarsh.com/plugins/corvane#state",
  "http://quillmarsh.com/plugins/corvane#editorSize",
  "Corvane.so",
  "Corvane.ttl",
};

// Its editor, one for both plug-ins.
const LV2EditorIdentity kProductLV2EditorIdentity = {
  "http://quillmarsh.com/plugins/corvane/ui",
  "CorvaneUI.so",
};
