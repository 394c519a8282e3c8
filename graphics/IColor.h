#pragma once

namespace iplug::igraphics {

// A colour as opacity and red, green, blue, each 0 … 255.
struct IColor
{
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& other) const = default;
};

inline constexpr IColor kColorBlack{255, 0, 0, 0};
inline constexpr IColor kColorWhite{255, 255, 255, 255};
inline constexpr IColor kColorRed{255, 255, 0, 0};
inline constexpr IColor kColorGreen{255, 0, 255, 0};
inline constexpr IColor kColorBlue{255, 0, 0, 255};
inline constexpr IColor kColorYellow{255, 255, 255, 0};
inline constexpr IColor kColorFaintBlack{10, 0, 0, 0};

} // namespace iplug::igraphics
