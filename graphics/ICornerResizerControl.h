#pragma once

#include "IControl.h"

namespace iplug::igraphics {

// The zoom handle: a triangle in the editor's bottom-right corner. A press starts a corner-resize
// drag that the graphics context carries out; a double click returns to the creation size at
// zoom 1. It keeps the same size in window pixels at every zoom.
class ICornerResizerControl : public IControl
{
public:
  // graphicsBounds: the editor at creation, (0, 0, width, height); size: the handle's side at zoom 1.
  ICornerResizerControl(const IRect& graphicsBounds, float size, const IColor& color = kColorFaintBlack,
                        const IColor& mouseOverColor = kColorBlack, const IColor& dragColor = kColorBlack);

  void OnMouseDown(float x, float y, const IMouseMods& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMods& mod) override;
  void OnMouseOver(float x, float y, const IMouseMods& mod) override;
  void OnMouseOut() override;
  void OnRescale() override;
  void Draw(IGraphics& g) override;

  float GetSize() const { return mSize; }
  const IRect& GetInitialGraphicsBounds() const { return mInitialGraphicsBounds; }

private:
  float mSize;
  bool mCursorChanged = false;
  int mPrevCursorType = kArrowCursor;
  IRect mInitialGraphicsBounds;
  IColor mColor;
  IColor mMouseOverColor;
  IColor mDragColor;
};

} // namespace iplug::igraphics
