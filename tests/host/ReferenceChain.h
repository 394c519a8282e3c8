#pragma once

// The preamp chain computed the plain way, straight from its formulas, for comparing what the
// module renders: smoothers, tone filters from their coefficient polynomials, the half-band
// filters from their taps, the saturation curve, output level and make-up gain. It shares no code
// with the product on purpose.

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace reference {

struct Settings
{
  double gainDb = 0.0;        // -30..30
  double low = 0.0;           // -10..10
  double high = 0.0;          // -10..10
  double outputDb = 0.0;      // -15..15
  bool oversampling = false;
};

inline double Saturate(double d)
{
  return std::sin(0.1 * std::tanh(d * d * d * d) + 0.1 * std::tanh(d * d * d)) + std::tanh(d);
}

struct Smoother
{
  double a = 0.0, b = 0.0, z = 0.0;
  void SetTime(double fs, double seconds)
  {
    a = std::exp(-2.0 * M_PI / (fs * seconds));
    b = 1.0 - a;
  }
  double Step(double target)
  {
    z = a * z + b * target;
    if (z == 0.0 || std::fpclassify(z) == FP_SUBNORMAL)
      z = 0.0;
    return z;
  }
};

// One term c · f^i · p^j · q^k of each of B0, B1, A0, A1.
struct Term
{
  int i, j, k;
  double b0, b1, a0, a1;
};

inline const std::vector<Term>& LowTerms()
{
  static const std::vector<Term> terms = {
    {2, 1, 1, 1.36539154532867e-10, -2.73078309065735e-10, 1.61652606170162e-09, -3.23305212340325e-09},
    {1, 1, 1, 2.31537375965075e-07, 0, 4.17568312139978e-06, 0},
    {1, 1, 0, 4.27218881517106e-08, 0, 5.05796640081858e-07, 0},
    {1, 0, 1, 2.13609440758553e-08, 0, 2.52898320040929e-07, 0},
    {0, 1, 1, 0.000560949161655868, 0.00112189832331174, 0.000560949161655837, 0.00112189832331167},
    {0, 1, 0, 7.24459874734276e-05, 0.000144891974946855, 7.24459874734239e-05, 0.000144891974946848},
    {0, 0, 1, 0, 0, 0.000617044077821449, 0.0012340881556429},
    {0, 0, 0, 6.68364958568688e-06, 1.33672991713738e-05, 7.91296370591141e-05, 0.000158259274118228},
  };
  return terms;
}

inline const std::vector<Term>& HighTerms()
{
  static const std::vector<Term> terms = {
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
  return terms;
}

// A second-order section with an input gain of 10; B2 and A2 are B0 and A0 with the sign of the
// terms in f (first power) reversed.
struct Biquad
{
  double b0 = 0, b1 = 0, b2 = 0, a0 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  void Design(const std::vector<Term>& terms, double f, double p, double q)
  {
    b0 = b1 = b2 = a0 = a1 = a2 = 0.0;
    for (const Term& t : terms)
    {
      const double m = std::pow(f, t.i) * std::pow(p, t.j) * std::pow(q, t.k);
      const double sign = t.i == 1 ? -1.0 : 1.0;
      b0 += t.b0 * m;
      b1 += t.b1 * m;
      a0 += t.a0 * m;
      a1 += t.a1 * m;
      b2 += sign * t.b0 * m;
      a2 += sign * t.a0 * m;
    }
  }

  double Step(double x)
  {
    const double x0 = 10.0 * x;
    const double y = (b1 * x1 + b0 * x0 + b2 * x2 - a1 * y1 - a2 * y2) / a0;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The 129-tap half-band low-pass with its alternating offset.
struct HalfBand
{
  std::array<double, 129> line{};  // line[0] newest
  double offset = 1e-15;

  static double Tap(int distance)
  {
    static const double odd[32] = {0.317956,  -0.105047, 0.061915,  -0.043056, 0.032309,  -0.025272, 0.020254,
                                   -0.01647,  0.013505,  -0.011119, 0.009163,  -0.007542, 0.006187,  -0.005051,
                                   0.004099,  -0.003301, 0.002635,  -0.002082, 0.001627,  -0.001255, 0.000954,
                                   -0.000713, 0.000524,  -0.000377, 0.000264,  -0.00018,  0.000118,  -7.5e-05,
                                   4.5e-05,   -2.5e-05,  1.2e-05,   -5e-06};
    if (distance == 0)
      return 0.5;
    if (distance % 2 == 0)
      return 0.0;
    return odd[(distance - 1) / 2];
  }

  double Step(double x)
  {
    const double o = offset;
    offset = -o;
    for (int k = 128; k > 0; --k)
      line[static_cast<size_t>(k)] = line[static_cast<size_t>(k - 1)];
    line[0] = x - o;
    double y = o;
    for (int k = 1; k <= 129; ++k)
      y += Tap(std::abs(65 - k)) * line[static_cast<size_t>(k - 1)];
    return y;
  }
};

constexpr size_t kNoReset = static_cast<size_t>(-1);

// Renders `left`/`right` (already 32-bit values, as the host hands them over) at `fs`. The
// smoothers start at the defaults' targets. At frame `resetAt` processing is reset, as the
// plug-in does before a block larger than any before: the smoothers jump to their targets and
// the half-band filters are cleared (the tone filters and the offset go on).
inline void Render(const Settings& s, double fs, size_t resetAt, const std::vector<float>& left,
                   const std::vector<float>& right, std::vector<double>& outLeft, std::vector<double>& outRight)
{
  const double drive = std::pow(10.0, s.gainDb / 20.0);
  const double output = std::pow(10.0, s.outputDb / 20.0);
  const double makeUp = std::pow(10.0, 0.19);

  Smoother lowS, highS, driveS, outS;
  lowS.SetTime(fs, 0.03);
  highS.SetTime(fs, 0.03);
  driveS.SetTime(fs, 0.01);
  outS.SetTime(fs, 0.01);
  driveS.z = 1.0;
  outS.z = 1.0;

  Biquad lowL, lowR, highL, highR;
  HalfBand upL, upR, downL, downR;
  double u = 1e-15;

  const size_t n = left.size();
  outLeft.assign(n, 0.0);
  outRight.assign(n, 0.0);
  for (size_t i = 0; i < n; ++i)
  {
    if (i == resetAt)
    {
      lowS.z = s.low;
      highS.z = s.high;
      driveS.z = drive;
      outS.z = output;
      for (HalfBand* f : {&upL, &upR, &downL, &downR})
        f->line.fill(0.0);
    }
    const double tl = (lowS.Step(s.low) + 10.0) / 20.0 * 0.6 - 0.3;
    const double lp = tl > 0.0 ? tl : 1e-5;
    const double lq = tl < 0.0 ? -tl : 1e-5;
    lowL.Design(LowTerms(), fs, lp, lq);
    lowR.Design(LowTerms(), fs, lp, lq);

    const double th = (highS.Step(s.high) + 10.0) / 20.0 * 1.7 - 0.85;
    const double hp = th > 0.0 ? 1.0 - th : 1.0;
    const double hq = th < 0.0 ? -th : 0.0;
    highL.Design(HighTerms(), fs, hp, hq);
    highR.Design(HighTerms(), fs, hp, hq);

    u = -u;
    const double xl = static_cast<double>(left[i]) + u;
    const double xr = static_cast<double>(right[i]) + u;

    double sl = 0.0, sr = 0.0;
    if (!s.oversampling)
    {
      const double g1 = driveS.Step(drive);
      const double g2 = driveS.Step(drive);
      sl = Saturate(g1 * xl) / g2;
      const double g3 = driveS.Step(drive);
      const double g4 = driveS.Step(drive);
      sr = Saturate(g4 * xr) / g3;
    }
    else
    {
      for (int pass = 0; pass < 2; ++pass)
      {
        const double ul = upL.Step(pass == 0 ? xl : 0.0);
        const double ur = upR.Step(pass == 0 ? xr : 0.0);
        const double g1 = driveS.Step(drive);
        const double g2 = driveS.Step(drive);
        const double yl = Saturate(2.0 * ul * g1) / g2;
        const double g3 = driveS.Step(drive);
        const double g4 = driveS.Step(drive);
        const double yr = Saturate(2.0 * ur * g3) / g4;
        const double dl = downL.Step(yl);
        const double dr = downR.Step(yr);
        if (pass == 0)
        {
          sl = dl;
          sr = dr;
        }
      }
    }

    const double hl = highL.Step(lowL.Step(sl));
    const double hr = highR.Step(lowR.Step(sr));
    const double o1 = outS.Step(output);
    const double yl = o1 * hl * makeUp;
    const double o2 = outS.Step(output);
    const double yr = o2 * hr * makeUp;
    outLeft[i] = yl - u;
    outRight[i] = yr - u;
  }
}

} // namespace reference
