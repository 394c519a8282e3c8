#pragma once

#include "IControl.h"

namespace iplug::igraphics {

// A control that steps through a number of states on each click: 0, 1 ÷ (n − 1), …, 1, then 0.
// Linked to a parameter, it takes its number of states from the parameter's range.
class ISwitchControlBase : public IControl
{
public:
  ISwitchControlBase(const IRect& bounds, int paramIdx = kNoParameter, IActionFunction action = nullptr,
                     int numStates = 2);

  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseMods& mod) override;
  void OnMouseUp(float x, float y, const IMouseMods& mod) override;

  int GetNumStates() const { return mNumStates; }
  bool GetMouseDown() const { return mMouseDown; }

protected:
  int mNumStates;
  bool mMouseDown = false;
};

} // namespace iplug::igraphics
