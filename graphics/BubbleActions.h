#pragma once

namespace iplug::igraphics {

class IControl;

// Action functions that show the value bubble with the display text and label of the parameter
// linked to the control's first value slot. Install them with IControl::SetAction. A control
// whose first slot has no parameter has no value to show, and shows no bubble. UI thread.

// Beside the control's right edge, vertically centred; the text area at least 50 × 30.
void BubbleBesideAction(IControl* caller);
// The same with a text area of at least 50 × 20.
void BubbleBesideActionSmall(IControl* caller);
// Above the control, horizontally centred (below it when there is no room above); at least 50 × 30.
void BubbleAboveAction(IControl* caller);
// The same with a text area of at least 50 × 20.
void BubbleAboveActionSmall(IControl* caller);

} // namespace iplug::igraphics
