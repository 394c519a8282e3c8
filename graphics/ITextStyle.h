#pragma once

#include <cstring>

#include "IColor.h"

namespace iplug::igraphics {

enum class EAlign
{
  Near = 0,
  Center = 1,
  Far = 2
};

enum class EVAlign
{
  Top = 0,
  Middle = 1,
  Bottom = 2
};

// How a text is drawn: which loaded font, how big, in which colours, at which angle and how it
// sits in its bounds. The font names a font loaded with LoadFont.
struct ITextStyle
{
  static constexpr int kFontNameSize = 64;

  char font[kFontNameSize] = "Roboto-Regular";
  float size = 14.f;
  IColor fgColor = kColorBlack;
  IColor textEntryBGColor = kColorWhite;
  IColor textEntryFGColor = kColorBlack;
  float angle = 0.f; // degrees
  EAlign align = EAlign::Center;
  EVAlign valign = EVAlign::Middle;

  ITextStyle() = default;
  ITextStyle(float sz, const IColor& color = kColorBlack, const char* fontName = nullptr,
             EAlign al = EAlign::Center, EVAlign val = EVAlign::Middle, float ang = 0.f)
    : size(sz), fgColor(color), angle(ang), align(al), valign(val)
  {
    if (fontName)
      SetFont(fontName);
  }

  // Long names are cut to the field; the name always stays terminated.
  void SetFont(const char* name)
  {
    std::memset(font, 0, sizeof(font));
    if (name)
      std::strncpy(font, name, sizeof(font) - 1);
  }
};

} // namespace iplug::igraphics
