// What the graphics editor delegate hands the open editor: values, messages and MIDI for the
// controls.

#include "IControl.h"
#include "IGraphics.h"

namespace iplug::igraphics {

void IGraphics::SetControlValueFromDelegate(int ctrlTag, double normalizedValue)
{
  if (IControl* control = GetControlWithTag(ctrlTag))
    control->SetValueFromDelegate(normalizedValue, 0);
}

void IGraphics::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (IControl* control = GetControlWithTag(ctrlTag))
    control->OnMsgFromDelegate(msgTag, dataSize, pData);
}

void IGraphics::SendMidiFromDelegate(const MidiMessage& msg)
{
  ForStandardControls([&msg](IControl* c) {
    if (c->GetWantsMidi())
      c->OnMidi(msg);
  });
}

void IGraphics::SetParameterValueFromDelegate(int paramIdx, double normalizedValue)
{
  ForStandardControls([paramIdx, normalizedValue](IControl* c) {
    for (int slot = 0; slot < c->NVals(); ++slot)
    {
      if (c->GetParamIdx(slot) == paramIdx)
        c->SetValueFromDelegate(normalizedValue, slot);
    }
  });
}

} // namespace iplug::igraphics
