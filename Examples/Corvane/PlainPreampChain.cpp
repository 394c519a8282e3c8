#include "PlainPreampChain.h"

#include <cmath>
#include <initializer_list>

namespace
{
// One term of the tone designs: the powers of f, p and q, and its constant in B0, B1, A0 and A1.
// B2 and A2 are B0 and A0 with the terms in the first power of f negated.
struct Term
{
  int f, p, q;
  double b0, b1, a0, a1;
};

constexpr Term kLowTerms[] = {
  {2, 1, 1, 1.36539154532867e-10, -2.73078309065735e-10, 1.61652606170162e-09, -3.23305212340325e-09},
  {1, 1, 1, 2.31537375965075e-07, 0, 4.17568312139978e-06, 0},
  {1, 1, 0, 4.27218881517106e-08, 0, 5.05796640081858e-07, 0},
  {1, 0, 1, 2.13609440758553e-08, 0, 2.52898320040929e-07, 0},
  {0, 1, 1, 0.000560949161655868, 0.00112189832331174, 0.000560949161655837, 0.00112189832331167},
  {0, 1, 0, 7.24459874734276e-05, 0.000144891974946855, 7.24459874734239e-05, 0.000144891974946848},
  {0, 0, 1, 0, 0, 0.000617044077821449, 0.0012340881556429},
  {0, 0, 0, 6.68364958568688e-06, 1.33672991713738e-05, 7.91296370591141e-05, 0.000158259274118228},
};

constexpr Term kHighTerms[] = {
  {2, 2, 2, 0, 0, 1.22294478074682e-10, -2.44588956149364e-10},
  {2, 2, 1, 0, 0, -1.57942017428359e-09, 3.15884034856719e-09},
  {2, 2, 0, 0, 0, -1.44500143604669e-10, 2.89000287209338e-10},
  {2, 1, 2, 1.45712569620892e-10, -2.91425139241783e-10, 2.34180915462091e-11, -4.68361830924183e-11},
  {2, 1, 1, -1.45712569620892e-10, 2.91425139241783e-10, 1.4337076046627e-09, -2.86741520932541e-09},
  {2, 1, 0, -1.33311499865922e-11, 2.66622999731844e-11, 1.31168993618077e-10, -2.62337987236154e-10},
  {2, 0, 2, -1.60283826582981e-10, 3.20567653165961e-10, -1.72513274390449e-10, 3.45026548780897e-10},
  {2, 0, 1, 1.60283826582981e-10, -3.20567653165961e-10, 3.1822584401134e-10, -6.36451688022679e-10},
  {2, 0, 0, 1.46642649852514e-11, -2.93285299705028e-11, 2.91142793457182e-11, -5.82285586914364e-11},
  {1, 2, 2, 0, 0, -3.51748423630898e-21, 0},
  {1, 2, 1, 0, 0, 4.54279347114779e-20, 0},
  {1, 2, 0, 0, 0, -5.60078075987088e-06, 0},
  {1, 1, 2, 1.2998510115437e-21, 0, -6.73560811207914e-22, 0},
  {1, 1, 1, -1.2998510115437e-21, 0, -4.12368896639611e-20, 0},
  {1, 1, 0, -5.16711239790394e-07, 0, 5.08406952008049e-06, 0},
  {1, 0, 2, -2.62734528706982e-07, 0, -4.83243865300345e-07, 0},
  {1, 0, 1, 2.62734528706982e-07, 0, 3.11058915237015e-06, 0},
  {1, 0, 0, 5.92419778097945e-07, 0, 1.41304625582443e-06, 0},
  {0, 2, 2, 0, 0, -4.11102022283856e-32, -8.22204044567712e-32},
  {0, 2, 1, 0, 0, 5.30933888353809e-31, 1.06186777670762e-30},
  {0, 2, 0, 0, 0, 2.11054578764551e-16, 4.22109157529101e-16},
  {0, 1, 2, 0, 0, -7.87216638415673e-33, -1.57443327683135e-32},
  {0, 1, 1, 0, 0, -4.81951519741266e-31, -9.63903039482533e-31},
  {0, 1, 0, 0, 0, -1.91583316143768e-16, -3.83166632287537e-16},
  {0, 0, 2, -2.34376309329913e-18, -4.68752618659827e-18, -4.31084997517523e-18, -8.62169995035047e-18},
  {0, 0, 1, 2.34376309329913e-18, 4.68752618659827e-18, 2.77484809081666e-17, 5.54969618163331e-17},
  {0, 0, 0, 0.000931682725911275, 0.00186336545182255, 0.0110304579871281, 0.0220609159742563},
};

// Half-band taps h(d) at the odd distances d = 1, 3, ..., 63; h(0) = 0.5, zero at even distances.
constexpr double kOddTaps[32] = {
  0.317956, -0.105047, 0.061915, -0.043056, 0.032309, -0.025272, 0.020254, -0.01647,
  0.013505, -0.011119, 0.009163, -0.007542, 0.006187, -0.005051, 0.004099, -0.003301,
  0.002635, -0.002082, 0.001627, -0.001255, 0.000954, -0.000713, 0.000524, -0.000377,
  0.000264, -0.00018, 0.000118, -7.5e-05, 4.5e-05, -2.5e-05, 1.2e-05, -5e-06};

constexpr double kMakeUpGain = 1.5488166189124812; // 10^0.19

template <size_t kCount>
void Design(const Term (&terms)[kCount], double f, double p, double q, double& B0, double& B1,
            double& B2, double& A0, double& A1, double& A2)
{
  const double fPow[3] = {1.0, f, f * f};
  const double pPow[3] = {1.0, p, p * p};
  const double qPow[3] = {1.0, q, q * q};
  B0 = B1 = B2 = A0 = A1 = A2 = 0.0;
  for (const Term& t : terms)
  {
    const double m = fPow[t.f] * pPow[t.p] * qPow[t.q];
    const double mirror = t.f == 1 ? -m : m;
    B0 += t.b0 * m;
    B1 += t.b1 * m;
    B2 += t.b0 * mirror;
    A0 += t.a0 * m;
    A1 += t.a1 * m;
    A2 += t.a0 * mirror;
  }
}

void SetTime(double& a, double& b, double sampleRate, double seconds)
{
  a = std::exp(-6.283185307179586 / (sampleRate * seconds));
  b = 1.0 - a;
}
} // namespace

double PlainPreampChain::Smoother::Step(double target)
{
  z = a * z + b * target;
  if (z == 0.0 || std::fpclassify(z) == FP_SUBNORMAL)
    z = 0.0;
  return z;
}

void PlainPreampChain::Shelf::DesignLow(double f, double p, double q)
{
  Design(kLowTerms, f, p, q, B0, B1, B2, A0, A1, A2);
}

void PlainPreampChain::Shelf::DesignHigh(double f, double p, double q)
{
  Design(kHighTerms, f, p, q, B0, B1, B2, A0, A1, A2);
}

double PlainPreampChain::Shelf::Step(double x)
{
  const double x0 = 10.0 * x;
  const double y = (B1 * x1 + B0 * x0 + B2 * x2 - A1 * y1 - A2 * y2) / A0;
  x2 = x1;
  x1 = x0;
  y2 = y1;
  y1 = y;
  return y;
}

double PlainPreampChain::Halfband::Step(double x)
{
  const double o = offset;
  offset = -o;
  for (int k = 128; k > 0; --k)
    line[k] = line[k - 1];
  line[0] = x + offset;
  // p(k) is line[k - 1]; the centre p65 is line[64].
  double y = 0.5 * line[64];
  for (int i = 0; i < 32; ++i)
  {
    const int d = 2 * i + 1;
    y += kOddTaps[i] * (line[64 - d] + line[64 + d]);
  }
  return y + o;
}

void PlainPreampChain::Halfband::Clear()
{
  for (double& v : line)
    v = 0.0;
}

double PlainPreampChain::Curve(double d)
{
  const double d3 = d * d * d;
  const double d4 = d3 * d;
  return std::sin(0.1 * std::tanh(d4) + 0.1 * std::tanh(d3)) + std::tanh(d);
}

PlainPreampChain::PlainPreampChain()
{
  for (Smoother* s : {&mLowSmoother, &mHighSmoother, &mDriveSmoother, &mOutputSmoother})
  {
    s->a = std::exp(-0.02617993877991494);
    s->b = 1.0 - s->a;
  }
}

void PlainPreampChain::SetParameters(double gainDb, double lowGain, double highGain, double outputDb,
                                     bool oversampling)
{
  mDrive = std::pow(10.0, gainDb / 20.0);
  mLowTarget = lowGain;
  mHighTarget = highGain;
  mOutput = std::pow(10.0, outputDb / 20.0);
  mPasses = oversampling ? 2 : 0;
}

void PlainPreampChain::Reset()
{
  for (Halfband* h : {&mUpLeft, &mUpRight, &mDownLeft, &mDownRight})
    h->Clear();
  mOutputSmoother.z = mOutput;
  mLowSmoother.z = mLowTarget;
  mHighSmoother.z = mHighTarget;
  mDriveSmoother.z = mDrive;
}

void PlainPreampChain::Process(const double* const* inputs, double* const* outputs, int n)
{
  const double fs = mSampleRate;
  SetTime(mLowSmoother.a, mLowSmoother.b, fs, 0.03);
  SetTime(mHighSmoother.a, mHighSmoother.b, fs, 0.03);
  SetTime(mDriveSmoother.a, mDriveSmoother.b, fs, 0.01);
  SetTime(mOutputSmoother.a, mOutputSmoother.b, fs, 0.01);

  for (int i = 0; i < n; ++i)
  {
    const double zL = mLowSmoother.Step(mLowTarget);
    const double tL = (zL + 10.0) / 20.0 * 0.6 - 0.3;
    double p = tL > 0.0 ? tL : 1e-5;
    double q = tL < 0.0 ? -tL : 1e-5;
    mLowLeft.DesignLow(fs, p, q);
    mLowRight.DesignLow(fs, p, q);

    const double zH = mHighSmoother.Step(mHighTarget);
    const double tH = (zH + 10.0) / 20.0 * 1.7 - 0.85;
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
      const double g1 = mDriveSmoother.Step(mDrive);
      const double g2 = mDriveSmoother.Step(mDrive);
      sL = Curve(g1 * xL) / g2;
      const double g3 = mDriveSmoother.Step(mDrive);
      const double g4 = mDriveSmoother.Step(mDrive);
      sR = Curve(g4 * xR) / g3;
    }
    else
    {
      for (int j = 0; j < 2; ++j)
      {
        const double uL = mUpLeft.Step(j == 0 ? xL : 0.0);
        const double uR = mUpRight.Step(j == 0 ? xR : 0.0);
        const double g1 = mDriveSmoother.Step(mDrive);
        const double g2 = mDriveSmoother.Step(mDrive);
        const double yL = Curve(2.0 * uL * g1) / g2;
        const double g3 = mDriveSmoother.Step(mDrive);
        const double g4 = mDriveSmoother.Step(mDrive);
        const double yR = Curve(2.0 * uR * g3) / g4;
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
    const double yL = o1 * hL * kMakeUpGain;
    const double o2 = mOutputSmoother.Step(mOutput);
    const double yR = o2 * hR * kMakeUpGain;
    outputs[0][i] = yL - u;
    outputs[1][i] = yR - u;
  }
}
