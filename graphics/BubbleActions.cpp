#include "BubbleActions.h"

#include <string>

#include "IControl.h"
#include "IGraphics.h"
#include "IParam.h"

namespace iplug::igraphics {

namespace {

void ShowValueBubble(IControl* caller, bool beside, float minHeight)
{
  if (!caller || !caller->GetUI())
    return;
  const IParam* param = caller->GetParam(0);
  if (!param)
    return;

  std::string text;
  param->FormatValueWithLabel(text, true);

  const IRect& r = caller->GetRECT();
  const float x = beside ? r.R : r.MW();
  const float y = beside ? r.MH() : r.T;
  caller->GetUI()->ShowBubbleControl(caller, x, y, text.c_str(), beside ? 1 : 0, IRect(0.f, 0.f, 50.f, minHeight));
}

} // namespace

void BubbleBesideAction(IControl* caller) { ShowValueBubble(caller, true, 30.f); }
void BubbleBesideActionSmall(IControl* caller) { ShowValueBubble(caller, true, 20.f); }
void BubbleAboveAction(IControl* caller) { ShowValueBubble(caller, false, 30.f); }
void BubbleAboveActionSmall(IControl* caller) { ShowValueBubble(caller, false, 20.f); }

} // namespace iplug::igraphics
