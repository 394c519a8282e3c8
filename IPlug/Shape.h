#pragma once

#include <memory>

namespace iplug {

class IParam;

// Maps between a parameter's normalised 0..1 value (what hosts and controls exchange) and its
// real value. A parameter owns one shape exclusively and keeps it from definition to destruction;
// after definition a shape is read-only, so any thread may map through it.
class Shape
{
public:
  virtual ~Shape() = default;

  // A new heap copy of the same concrete class with the same data.
  virtual std::unique_ptr<Shape> Duplicate() const = 0;

  // Derives the shape's coefficients from the parameter's range; called once the parameter's
  // min and max are stored. Shapes without coefficients keep this no-op.
  virtual void Prepare(const IParam& param) { (void) param; }

  // The curve code that hosts use to draw the parameter's response.
  virtual int DisplayCurve() const = 0;

  // any thread; never allocates
  virtual double MapToValue(double normalized, const IParam& param) const = 0;

  // any thread; never allocates
  virtual double MapToNormalized(double value, const IParam& param) const = 0;

protected:
  Shape() = default;
  Shape(const Shape&) = default;
  Shape& operator=(const Shape&) = default;
};

} // namespace iplug
