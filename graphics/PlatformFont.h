#pragma once

#include <memory>

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

  bool IsSystem() const { return mSystem; }

private:
  bool mSystem = false;
};

using PlatformFontPtr = std::unique_ptr<PlatformFont>;

} // namespace iplug::igraphics
