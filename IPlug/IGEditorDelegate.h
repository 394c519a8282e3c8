#pragma once

#include "IEditorDelegate.h"

namespace iplug {

// The graphics editor delegate: the editor delegate that owns a graphics context while the
// editor window is open. The graphics context, its make/layout callables and the saved editor
// size arrive with the editor; for now it only carries the parameters down the class chain.
class IGEditorDelegate : public IEditorDelegate
{
public:
  explicit IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}
};

} // namespace iplug
