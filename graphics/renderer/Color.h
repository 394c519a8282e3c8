#pragma once

#include <cstdint>

namespace iplug::igraphics::renderer {

// A colour with straight (not premultiplied) alpha, each channel 0 to 1.
struct Color
{
  float r = 0.f, g = 0.f, b = 0.f, a = 0.f;

  static constexpr Color FromRGBA(float r, float g, float b, float a = 1.f) { return {r, g, b, a}; }
  static constexpr Color FromRGBA8(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
  {
    return {r / 255.f, g / 255.f, b / 255.f, a / 255.f};
  }
  constexpr Color WithAlpha(float alpha) const { return {r, g, b, alpha}; }
  constexpr bool operator==(const Color&) const = default;
};

} // namespace iplug::igraphics::renderer
