#include "CorvaneParameters.h"

#include "IEditorDelegate.h"
#include "IParam.h"

void DefineCorvaneParameters(iplug::IEditorDelegate& delegate)
{
  delegate.GetParam(kGain)->DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
  delegate.GetParam(kLowGain)->DefineDouble("Low Gain", 0., -10., 10., 0.1);
  delegate.GetParam(kHighGain)->DefineDouble("High Gain", 0., -10., 10., 0.1);
  delegate.GetParam(kOutputLevel)->DefineDouble("Output", 0., -15., 15., 0.1, "dB");
  delegate.GetParam(kBypass)->DefineInt("Bypass", 0, 0, 1);
  delegate.GetParam(kOversampling)->DefineInt("Oversampling", 0, 0, 1);
  delegate.GetParam(kOversampling)->AddDisplayText(0., "Oversampling Off");
  delegate.GetParam(kOversampling)->AddDisplayText(1., "Oversampling On");
}
