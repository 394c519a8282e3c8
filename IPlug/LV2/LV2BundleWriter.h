#pragma once

#include <ostream>

#include "IPlugLV2.h"
#include "LV2EditorIdentity.h"
#include "LV2EffectIdentity.h"

namespace iplug {

// Writes the bundle's Turtle from a plug-in instance's own parameter definitions, so that the
// description hosts read can never drift from the code: manifest.ttl (the plug-ins and their
// module, and the editor's where there is one) and the description file (ports, ranges, units,
// features, the editor's features), for the mono and stereo plug-ins alike.
class LV2BundleWriter
{
public:
  // With an editor identity, the bundle describes the editor's module too, and both plug-ins
  // name it as their UI.
  LV2BundleWriter(const IPlugLV2& plug, const LV2EffectIdentity& identity, const LV2EditorIdentity* editor = nullptr)
    : mPlug(plug), mIdentity(identity), mEditor(editor)
  {
  }

  void WriteManifest(std::ostream& out) const;
  void WriteDescription(std::ostream& out) const;

  // The port symbol of a parameter name: lower case, other characters as '_'.
  static std::string Symbol(const char* name);

private:
  void WritePlugin(std::ostream& out, const char* uri, const char* name, int channels) const;
  void WriteParamPort(std::ostream& out, int paramIdx) const;

  const IPlugLV2& mPlug;
  const LV2EffectIdentity& mIdentity;
  const LV2EditorIdentity* mEditor;
};

} // namespace iplug
