#include "ToneBiquad.h"

#include "ToneDesign.h"

namespace
{
void Assign(ToneBiquad& filter, const ToneDesign<double>& d)
{
  filter.B0 = d.B0;
  filter.B1 = d.B1;
  filter.B2 = d.B2;
  filter.A0 = d.A0;
  filter.A1 = d.A1;
  filter.A2 = d.A2;
}
} // namespace

void ToneBiquad::DesignLowTone(double f, double p, double q)
{
  Assign(*this, LowToneDesign(f, p, q));
}

void ToneBiquad::DesignHighTone(double f, double p, double q)
{
  Assign(*this, HighToneDesign(f, p, q));
}
