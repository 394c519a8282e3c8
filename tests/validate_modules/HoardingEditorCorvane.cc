// A module for the validator's own tests: its editor decodes its pictures again on every load
// and keeps each copy until the window closes, so every zoom takes memory it never gives back.
// `aaxhost validate` must fail its editor-zoom-memory case on it.

#include <memory>
#include <string>
#include <vector>

#include "Corvane.h"
#include "CorvaneIdentity.h"
#include "IGraphicsWin.h"

namespace {

using namespace iplug::igraphics;

class HoardingGraphics : public IGraphicsWin
{
public:
  using IGraphicsWin::IGraphicsWin;
  using IGraphicsWin::LoadBitmap;

  IBitmapInfo LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) override
  {
    if (name)
    {
      const std::string fullName = name;
      const size_t dot = fullName.find_last_of('.');
      const std::string ext = dot == std::string::npos ? "" : fullName.substr(dot + 1);
      std::string location;
      int found = 0;
      const int scale = targetScale > 0 ? targetScale : 1;
      const EResourceLocation kind = SearchImageResource(name, ext.c_str(), location, scale, found);
      if (kind != kNotFound)
        if (auto copy = LoadAPIBitmap(location.c_str(), found, kind, ext.c_str()))
          mHoard.push_back(std::move(copy));
    }
    return IGraphicsWin::LoadBitmap(name, nStates, framesAreHorizontal, targetScale);
  }

  void OnViewDestroyed() override
  {
    mHoard.clear();
    IGraphicsWin::OnViewDestroyed();
  }

  ~HoardingGraphics() override { mHoard.clear(); }

private:
  std::vector<std::unique_ptr<APIBitmap>> mHoard;
};

class HoardingEditorCorvane : public Corvane
{
public:
  explicit HoardingEditorCorvane(const InstanceInfo& info) : Corvane(info)
  {
    SetMakeGraphicsFunc([this]() -> IGraphics* {
      auto* graphics = new HoardingGraphics(this, corvane::kEditorWidth, corvane::kEditorHeight, kEditorFps, 1.f);
      graphics->SetModuleInstance(ModuleInstance());
      return graphics;
    });
  }
};

} // namespace

iplug::IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  return new HoardingEditorCorvane(info);
}
