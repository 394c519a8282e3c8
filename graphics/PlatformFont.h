#pragma once

#include <memory>

#include "FontData.h"

namespace iplug::igraphics {

// A font made by the platform layer, from which the drawing back end takes the font bytes it
// registers with the renderer. Lives only for the duration of a LoadFont call.
class PlatformFont
{
public:
  explicit PlatformFont(bool isSystem = false) : mSystem(isSystem) {}
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;
  virtual ~PlatformFont() = default;

  // The platform's handle for the font; null in the base.
  virtual void* GetDescriptor() { return nullptr; }
  // The font file's bytes and the face this font is; the base has neither (face −1).
  virtual std::unique_ptr<FontData> GetFontData() { return std::make_unique<FontData>(); }

  bool IsSystem() const { return mSystem; }

private:
  bool mSystem = false;
};

using PlatformFontPtr = std::unique_ptr<PlatformFont>;

} // namespace iplug::igraphics
