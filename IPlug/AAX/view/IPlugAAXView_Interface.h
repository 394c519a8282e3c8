#pragma once

class AAX_IViewContainer;

namespace iplug {

// The part of the editor's graphics context that the AAX view bridge talks to: the host's view
// container (null until the bridge sets it) and the host's parameter highlighting.
class IPlugAAXView_Interface
{
public:
  // UI thread. paramIdx is the host identifier's number minus one (−1 for one that is not a
  // parameter number); colour is the host's highlight colour code.
  virtual void SetParameterHighlight(int paramIdx, bool isHighlighted, int color)
  {
    (void) paramIdx;
    (void) isHighlighted;
    (void) color;
  }

  void SetViewContainer(AAX_IViewContainer* container) { mViewContainer = container; }
  AAX_IViewContainer* GetViewContainer() const { return mViewContainer; }

protected:
  IPlugAAXView_Interface() = default;
  // Never deleted through this interface.
  ~IPlugAAXView_Interface() = default;

  AAX_IViewContainer* mViewContainer = nullptr;
};

} // namespace iplug
