#pragma once

#include "IControl.h"

namespace iplug::igraphics {

// A control turned by dragging: up or right increases the value, and a drag of gearing × the
// drag bounds' height (or width) covers the whole range; control or shift gives ten times finer
// steps. A stepped parameter shows whole steps while the drag itself moves smoothly underneath.
class IKnobControlBase : public IControl
{
public:
  IKnobControlBase(const IRect& bounds, int paramIdx = kNoParameter, EDirection direction = EDirection::Vertical,
                   double gearing = 4.0);

  void OnMouseDown(float x, float y, const IMouseMods& mod) override;
  void OnMouseUp(float x, float y, const IMouseMods& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMods& mod, float delta) override;

  // The area whose size sets the drag scale: the target bounds.
  virtual IRect GetKnobDragBounds() { return mTargetRECT; }

  void SetGearing(double gearing) { mGearing = gearing; }
  double GetGearing() const { return mGearing; }
  EDirection GetDirection() const { return mDirection; }
  bool GetMouseDown() const { return mMouseDown; }
  double GetDragValue() const { return mDragValue; }
  void SetHideCursorOnDrag(bool hide) { mHideCursorOnDrag = hide; }

protected:
  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  double mGearing;
  bool mMouseDown = false;
  double mDragValue = 0.0;
};

} // namespace iplug::igraphics
