#pragma once

#include "HalfbandFilter.h"
#include "OnePoleSmoother.h"
#include "ToneBiquad.h"

// The signal chain's processing state: what carries over from one sample to the next. The product
// owns it (it sets it up when built and on every reset), the engine advances it block by block;
// both on the audio thread only.
struct PreampState
{
  OnePoleSmoother lowSmoother;
  OnePoleSmoother highSmoother;
  OnePoleSmoother driveSmoother;
  OnePoleSmoother outputSmoother;
  ToneBiquad lowLeft;
  ToneBiquad lowRight;
  ToneBiquad highLeft;
  ToneBiquad highRight;
  // The arguments the tone filters were last designed with.
  double lowP = 0.0;
  double lowQ = 0.0;
  double highP = 0.0;
  double highQ = 0.0;
  HalfbandFilter upLeft;
  HalfbandFilter upRight;
  HalfbandFilter downLeft;
  HalfbandFilter downRight;
  // The alternating anti-denormal offset of the signal path; its sign flips every frame.
  double denormalOffset = 1e-15;
};
