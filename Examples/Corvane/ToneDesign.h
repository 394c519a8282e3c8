#pragma once

// The tone-filter designs: closed-form polynomials in the sample rate f and the two control amounts
// p and q. Written once for any number type T that has + and * (a double, or a SIMD vector of
// doubles holding one design per lane), so the scalar `ToneBiquad` designs and the vector kernels of
// the block routine share one text of the formulas.
//
// Every coefficient is a sum of terms f^i * p^j * q^k (i, j, k in 0..2). Each one is evaluated as a
// polynomial in f whose factors are polynomials in p and q, which keeps a design to a few dozen
// multiply-adds. The second feed-forward and feedback coefficients (B2, A2) are the first ones (B0,
// A0) with the sign of the odd (first-power) f part reversed, i.e. the bilinear mirror: so each of
// B0 and A0 is split into an even part (f^2 and constant terms) and an odd part (f terms), and B2,
// A2 reuse them.
//
// Internal linkage on purpose: each translation unit, and so each instruction set the vector
// kernels are compiled for, keeps its own copy, and no copy built for a wider instruction set can
// stand in for another at link time.

namespace
{
template <class T>
struct ToneDesign
{
  T B0, B1, B2; // feed-forward
  T A0, A1, A2; // feedback; A0 divides the sum
};

template <class T>
inline T ToneLin(T x, double c1, double c0)
{
  return c1 * x + c0;
}

template <class T>
inline T ToneQuad(T x, T x2, double c2, double c1, double c0)
{
  return c2 * x2 + c1 * x + c0;
}

// Low shelf: p is the boost amount, q the cut amount.
template <class T>
inline ToneDesign<T> LowToneDesign(double f, T p, T q)
{
  const double f2 = f * f;
  const T pq = p * q;

  const T bEven = f2 * (1.36539154532867e-10 * pq)
    + p * ToneLin(q, 0.000560949161655868, 7.24459874734276e-05)
    + 6.68364958568688e-06;
  const T bOdd = f * (p * ToneLin(q, 2.31537375965075e-07, 4.27218881517106e-08)
    + 2.13609440758553e-08 * q);

  const T aEven = f2 * (1.61652606170162e-09 * pq)
    + p * ToneLin(q, 0.000560949161655837, 7.24459874734239e-05)
    + ToneLin(q, 0.000617044077821449, 7.91296370591141e-05);
  const T aOdd = f * (p * ToneLin(q, 4.17568312139978e-06, 5.05796640081858e-07)
    + 2.52898320040929e-07 * q);

  ToneDesign<T> d;
  d.B0 = bEven + bOdd;
  d.B1 = f2 * (-2.73078309065735e-10 * pq)
    + p * ToneLin(q, 0.00112189832331174, 0.000144891974946855)
    + 1.33672991713738e-05;
  d.B2 = bEven - bOdd;

  d.A0 = aEven + aOdd;
  d.A1 = f2 * (-3.23305212340325e-09 * pq)
    + p * ToneLin(q, 0.00112189832331167, 0.000144891974946848)
    + ToneLin(q, 0.0012340881556429, 0.000158259274118228);
  d.A2 = aEven - aOdd;
  return d;
}

// High shelf: p sets the boost (1 is flat), q the cut (0 is flat).
//
// kNoCut: q is 0, a boost or the centre, and every quadratic in q is taken as its constant term. That
// leaves out operations whose results are known exactly: c2 q^2 and c1 q are zeros, and a zero added
// to a constant that is not zero (none of them is) leaves that constant. So for q = 0 both forms
// give the same bits.
template <class T, bool kNoCut = false>
inline ToneDesign<T> HighToneDesign(double f, T p, T q)
{
  const double f2 = f * f;
  const T p2 = p * p;
  const T q2 = q * q;
  const auto Q = [&](double c2, double c1, double c0) {
    if constexpr (kNoCut)
      return T{} + c0;
    else
      return ToneQuad(q, q2, c2, c1, c0);
  };

  const T bEven = f2 * (p * Q(1.45712569620892e-10, -1.45712569620892e-10, -1.33311499865922e-11) +
                        Q(-1.60283826582981e-10, 1.60283826582981e-10, 1.46642649852514e-11)) +
                  Q(-2.34376309329913e-18, 2.34376309329913e-18, 0.000931682725911275);
  const T bOdd = f * (p * Q(1.2998510115437e-21, -1.2998510115437e-21, -5.16711239790394e-07) +
                      Q(-2.62734528706982e-07, 2.62734528706982e-07, 5.92419778097945e-07));

  const T aEven = f2 * (p2 * Q(1.22294478074682e-10, -1.57942017428359e-09, -1.44500143604669e-10) +
                        p * Q(2.34180915462091e-11, 1.4337076046627e-09, 1.31168993618077e-10) +
                        Q(-1.72513274390449e-10, 3.1822584401134e-10, 2.91142793457182e-11)) +
                  p2 * Q(-4.11102022283856e-32, 5.30933888353809e-31, 2.11054578764551e-16) +
                  p * Q(-7.87216638415673e-33, -4.81951519741266e-31, -1.91583316143768e-16) +
                  Q(-4.31084997517523e-18, 2.77484809081666e-17, 0.0110304579871281);
  const T aOdd = f * (p2 * Q(-3.51748423630898e-21, 4.54279347114779e-20, -5.60078075987088e-06) +
                      p * Q(-6.73560811207914e-22, -4.12368896639611e-20, 5.08406952008049e-06) +
                      Q(-4.83243865300345e-07, 3.11058915237015e-06, 1.41304625582443e-06));

  ToneDesign<T> d;
  d.B0 = bEven + bOdd;
  d.B1 = f2 * (p * Q(-2.91425139241783e-10, 2.91425139241783e-10, 2.66622999731844e-11) +
               Q(3.20567653165961e-10, -3.20567653165961e-10, -2.93285299705028e-11)) +
         Q(-4.68752618659827e-18, 4.68752618659827e-18, 0.00186336545182255);
  d.B2 = bEven - bOdd;

  d.A0 = aEven + aOdd;
  d.A1 = f2 * (p2 * Q(-2.44588956149364e-10, 3.15884034856719e-09, 2.89000287209338e-10) +
               p * Q(-4.68361830924183e-11, -2.86741520932541e-09, -2.62337987236154e-10) +
               Q(3.45026548780897e-10, -6.36451688022679e-10, -5.82285586914364e-11)) +
         p2 * Q(-8.22204044567712e-32, 1.06186777670762e-30, 4.22109157529101e-16) +
         p * Q(-1.57443327683135e-32, -9.63903039482533e-31, -3.83166632287537e-16) +
         Q(-8.62169995035047e-18, 5.54969618163331e-17, 0.0220609159742563);
  d.A2 = aEven - aOdd;
  return d;
}
} // namespace
