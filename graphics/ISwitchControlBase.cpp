#include "ISwitchControlBase.h"

#include <algorithm>
#include <cfloat>

#include "IParam.h"

namespace iplug::igraphics {

ISwitchControlBase::ISwitchControlBase(const IRect& bounds, int paramIdx, IActionFunction action, int numStates)
  : IControl(bounds, paramIdx, std::move(action)), mNumStates(numStates)
{
}

void ISwitchControlBase::OnInit()
{
  if (const IParam* param = GetParam(0))
  {
    // Kept within int range before the conversion; a switch has at least one state.
    const double states = std::clamp(param->Max() - param->Min(), 0.0, 1.0e6);
    mNumStates = static_cast<int>(states) + 1;
  }
}

void ISwitchControlBase::OnMouseDown(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  double v = GetValue(0);
  if (mNumStates == 2)
  {
    v = (v == 0.0) ? 1.0 : 0.0;
  }
  else
  {
    // A one-state switch (n − 1 = 0) steps by infinity and so stays at 0.
    v += 1.0 / static_cast<double>(mNumStates - 1);
    if (v > 1.0 + DBL_EPSILON)
      v = 0.0;
  }
  SetValue(v, 0);
  mMouseDown = true;
  SetDirty(true, kNoValIdx);
}

void ISwitchControlBase::OnMouseUp(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  mMouseDown = false;
  SetDirty(false);
}

} // namespace iplug::igraphics
