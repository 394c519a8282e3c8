#include "CorvaneLayout.h"

#include "BubbleActions.h"
#include "CorvaneParameters.h"
#include "IBKnobControl.h"
#include "IBSwitchControl.h"
#include "IBitmapControl.h"
#include "IGraphics.h"

using namespace iplug::igraphics;

namespace {

struct KnobPlace
{
  float x;
  float y;
  int paramIdx;
};

// Left to right under the labels printed on the background.
constexpr KnobPlace kKnobs[] = {
  {63.f, 31.f, kGain},
  {337.f, 31.f, kLowGain},
  {616.f, 31.f, kHighGain},
  {891.f, 31.f, kOutputLevel},
};

constexpr int kKnobFrames = 61;
constexpr double kKnobGearing = 4.0;
// The handle is faint until the pointer finds it.
constexpr IColor kHandleColor(10, 0, 0, 0);

} // namespace

void LayoutCorvaneEditor(IGraphics* pGraphics)
{
  if (!pGraphics)
    return;
  IGraphics& g = *pGraphics;

  // The handle zooms the whole face; the layout never runs again for the same context.
  g.AttachCornerResizer(kResizeModeScale, false, kHandleColor, kColorBlack, kColorBlack, 20.f);
  g.AttachBackground("BG.png");
  g.EnableMouseOver(true);
  g.EnableMultiTouch(g.PlatformSupportsMultiTouch());
  g.AttachBubbleControl(ITextStyle());
  g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf");

  for (const KnobPlace& place : kKnobs)
  {
    // Every knob asks for the strip; the back end's cache decodes it once.
    const IBitmapInfo knobBitmap = g.LoadBitmap("KNOB.png", kKnobFrames, false, 0);
    IControl* knob = g.AttachControl(
      new IBKnobControl(place.x, place.y, knobBitmap, place.paramIdx, EDirection::Vertical, kKnobGearing), kNoTag, "");
    knob->SetAction(BubbleAboveActionSmall);
  }

  const IBitmapInfo bypassBitmap = g.LoadBitmap("SW.png", 2, false, 0);
  g.AttachControl(new IBSwitchControl(524.f, 161.f, bypassBitmap, kBypass), kNoTag, "");

  const IBitmapInfo oversamplingBitmap = g.LoadBitmap("OVER.png", 2, false, 0);
  IControl* oversampling =
    g.AttachControl(new IBSwitchControl(450.f, 12.f, oversamplingBitmap, kOversampling), kNoTag, "");
  oversampling->SetAction(BubbleAboveActionSmall);
}
