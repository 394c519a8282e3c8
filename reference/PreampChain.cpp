#include "PreampChain.h"

#include <cmath>
#include <initializer_list>

#include "Saturation.h"

namespace reference
{
PreampChain::PreampChain()
{
  for (Smoother* s : {&mLowSmoother, &mHighSmoother, &mDriveSmoother, &mOutputSmoother})
  {
    s->a = std::exp(-0.02617993877991494);
    s->b = 1.0 - s->a;
  }
}

void PreampChain::SetParameters(const Settings& settings)
{
  mDrive = std::pow(10.0, settings.gainDb / 20.0);
  mLowTarget = settings.low;
  mHighTarget = settings.high;
  mOutput = std::pow(10.0, settings.outputDb / 20.0);
  mPasses = settings.oversampling ? 2 : 0;
}

void PreampChain::Reset()
{
  for (Halfband* h : {&mUpLeft, &mUpRight, &mDownLeft, &mDownRight})
    h->Clear();
  mOutputSmoother.z = mOutput;
  mLowSmoother.z = mLowTarget;
  mHighSmoother.z = mHighTarget;
  mDriveSmoother.z = mDrive;
}

void PreampChain::Process(const double* const* inputs, double* const* outputs, int n)
{
  const double fs = mSampleRate;
  const double makeUp = std::pow(10.0, 0.19);
  mLowSmoother.SetTime(fs, 0.03);
  mHighSmoother.SetTime(fs, 0.03);
  mDriveSmoother.SetTime(fs, 0.01);
  mOutputSmoother.SetTime(fs, 0.01);

  for (int i = 0; i < n; ++i)
  {
    // Low control: -10..10 maps to -0.3..0.3; boost above the centre, cut below, 1e-5 at rest.
    const double tL = (mLowSmoother.Step(mLowTarget) + 10.0) / 20.0 * 0.6 - 0.3;
    double p = tL > 0.0 ? tL : 1e-5;
    double q = tL < 0.0 ? -tL : 1e-5;
    mLowLeft.DesignLow(fs, p, q);
    mLowRight.DesignLow(fs, p, q);

    // High control: -10..10 maps to -0.85..0.85.
    const double tH = (mHighSmoother.Step(mHighTarget) + 10.0) / 20.0 * 1.7 - 0.85;
    p = tH > 0.0 ? 1.0 - tH : 1.0;
    q = tH < 0.0 ? -tH : 0.0;
    mHighLeft.DesignHigh(fs, p, q);
    mHighRight.DesignHigh(fs, p, q);

    const double inL = std::isfinite(inputs[0][i]) ? inputs[0][i] : 0.0;
    const double inR = std::isfinite(inputs[1][i]) ? inputs[1][i] : 0.0;
    mOffset = -mOffset;
    const double u = mOffset;
    const double xL = inL + u;
    const double xR = inR + u;

    double sL = 0.0;
    double sR = 0.0;
    if (mPasses == 0)
    {
      // The left channel drives with the earlier step and divides by the later one; the right
      // channel the other way round.
      const double g1 = mDriveSmoother.Step(mDrive);
      const double g2 = mDriveSmoother.Step(mDrive);
      sL = Saturate(g1 * xL) / g2;
      const double g3 = mDriveSmoother.Step(mDrive);
      const double g4 = mDriveSmoother.Step(mDrive);
      sR = Saturate(g4 * xR) / g3;
    }
    else
    {
      // Twice the rate: the input, then a zero; the factor 2 restores the zero-stuffed level, and
      // only the first output of the down-sampler is kept.
      for (int j = 0; j < 2; ++j)
      {
        const double uL = mUpLeft.Step(j == 0 ? xL : 0.0);
        const double uR = mUpRight.Step(j == 0 ? xR : 0.0);
        const double g1 = mDriveSmoother.Step(mDrive);
        const double g2 = mDriveSmoother.Step(mDrive);
        const double yL = Saturate(2.0 * uL * g1) / g2;
        const double g3 = mDriveSmoother.Step(mDrive);
        const double g4 = mDriveSmoother.Step(mDrive);
        const double yR = Saturate(2.0 * uR * g3) / g4;
        const double dL = mDownLeft.Step(yL);
        const double dR = mDownRight.Step(yR);
        if (j == 0)
        {
          sL = dL;
          sR = dR;
        }
      }
    }

    const double hL = mHighLeft.Step(mLowLeft.Step(sL));
    const double hR = mHighRight.Step(mLowRight.Step(sR));

    const double o1 = mOutputSmoother.Step(mOutput);
    const double yL = o1 * hL * makeUp;
    const double o2 = mOutputSmoother.Step(mOutput);
    const double yR = o2 * hR * makeUp;
    outputs[0][i] = yL - u;
    outputs[1][i] = yR - u;
  }
}
} // namespace reference
