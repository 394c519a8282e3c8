#include <gtest/gtest.h>

#include <cmath>

#include "IParam.h"
#include "ShapeExp.h"
#include "ShapeLinear.h"
#include "ShapePowCurve.h"

using namespace iplug;

TEST(Shape, PowCurveDisplayCurveCodes)
{
  struct Case { double exponent; int code; };
  const Case cases[] = {
    {3.0, 6}, {2.5, 4}, {2.0, 4}, {1.5, 0}, {1.0, 0},
    {0.7, 0}, {2.0 / 3.0, 0}, {0.5, 3}, {0.4, 3}, {0.3, 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShapePowCurve(c.exponent).DisplayCurve(), c.code) << "exponent " << c.exponent;
  EXPECT_EQ(ShapeLinear().DisplayCurve(), 0);
  EXPECT_EQ(ShapeExp().DisplayCurve(), 1);
}

TEST(Shape, DuplicateKeepsClassAndData)
{
  const ShapePowCurve pow(3.0);
  const auto powCopy = pow.Duplicate();
  const auto* asPow = dynamic_cast<const ShapePowCurve*>(powCopy.get());
  ASSERT_NE(asPow, nullptr);
  EXPECT_EQ(asPow->Exponent(), 3.0);

  IParam p;
  p.DefineFrequency("Freq", 1000., 20., 20000., 1.);
  const auto expCopy = p.GetShape().Duplicate();
  const auto* asExp = dynamic_cast<const ShapeExp*>(expCopy.get());
  ASSERT_NE(asExp, nullptr);
  EXPECT_DOUBLE_EQ(asExp->Add(), std::log(20.0));
  EXPECT_DOUBLE_EQ(asExp->Mul(), std::log(1000.0));

  EXPECT_NE(dynamic_cast<const ShapeLinear*>(ShapeLinear().Duplicate().get()), nullptr);
}

TEST(Shape, ExpIsNeutralUntilPrepared)
{
  const ShapeExp fresh;
  EXPECT_EQ(fresh.Mul(), 1.0);
  EXPECT_EQ(fresh.Add(), 1.0);
}

TEST(Shape, ExpMapsFrequencyRange)
{
  IParam p;
  p.DefineFrequency("Freq", 1000., 20., 20000., 1.);
  const Shape& shape = p.GetShape();
  EXPECT_NEAR(shape.MapToValue(0.5, p), 632.456, 1e-3);
  EXPECT_NEAR(shape.MapToValue(0.0, p), 20.0, 1e-9);
  EXPECT_NEAR(shape.MapToValue(1.0, p), 20000.0, 1e-6);
  for (double n : {0.0, 0.1, 0.5, 0.9, 1.0})
    EXPECT_NEAR(shape.MapToNormalized(shape.MapToValue(n, p), p), n, 1e-12) << n;
}

TEST(Shape, ExpWithZeroMinStartsAtTinyPositiveBound)
{
  IParam p;
  p.DefineDouble("Time", 1., 0., 10., 0.01, "", 0, "", ShapeExp());
  const auto& shape = dynamic_cast<const ShapeExp&>(p.GetShape());
  EXPECT_DOUBLE_EQ(shape.Add(), std::log(1e-8));
  EXPECT_DOUBLE_EQ(shape.Mul(), std::log(10.0 / 1e-8));
  EXPECT_NEAR(shape.MapToValue(0.0, p), 1e-8, 1e-20);
  // The parameter's own min (0) lies below the curve: it normalises to 0, not to -inf.
  EXPECT_EQ(p.ToNormalized(0.0), 0.0);
  EXPECT_NEAR(p.FromNormalized(1.0), 10.0, 1e-9);
}

TEST(Shape, PowCurveMapsBothWays)
{
  IParam p;
  p.DefineDouble("Curve", 0., 0., 100., 0.001, "", 0, "", ShapePowCurve(2.0));
  const Shape& shape = p.GetShape();
  EXPECT_DOUBLE_EQ(shape.MapToValue(0.5, p), 25.0);
  EXPECT_DOUBLE_EQ(shape.MapToNormalized(25.0, p), 0.5);
  for (double n : {0.0, 0.2, 0.75, 1.0})
    EXPECT_NEAR(shape.MapToNormalized(shape.MapToValue(n, p), p), n, 1e-12) << n;
}
