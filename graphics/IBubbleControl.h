#pragma once

#include <cstdint>
#include <string>

#include "IControl.h"

namespace iplug::igraphics {

// The value bubble: a callout with a drop shadow that shows a control's value next to it. The
// graphics context owns it outside the control list and draws it after every ordinary control.
// Its opacity is the weight of its blend; it starts hidden, fully transparent and deaf to the
// pointer.
class IBubbleControl : public IControl
{
public:
  enum EArrowSide
  {
    kArrowTop = 0,
    kArrowRight = 1,
    kArrowBottom = 2,
    kArrowLeft = 3
  };

  IBubbleControl(const ITextStyle& style = ITextStyle(), const IColor& fillColor = kColorWhite,
                 const IColor& outlineColor = kColorBlack, float roundness = 5.f);

  // Places the bubble for the caller with the text and starts its fade-in when it was hidden.
  // Direction 0 puts it above the anchor, or below the caller where the space above is too small;
  // direction 1 beside the anchor, or on the caller's left where the space right is too small.
  // minContentSize gives the least width and height of the text area (empty: none).
  void ShowBubble(IControl* caller, float x, float y, const char* str, int direction, const IRect& minContentSize,
                  uint64_t touchID = 0);

  // Shadow, callout, then the text, inside the bubble bounds.
  void Draw(IGraphics& g) override;

  virtual void DrawBubbleText(IGraphics& g, const IRect& contentBounds);
  // One closed path around the content: rounded corners and the arrow on the arrow side, filled
  // then outlined.
  virtual void DrawCallout(IGraphics& g, const IRect& contentBounds);
  // The text's bounds in the bubble's text style.
  virtual void MeasureBubbleText(const char* str, IRect& contentBounds);

  const IRect& GetBubbleBounds() const { return mBubbleBounds; }
  void SetBubbleBounds(const IRect& r) { mBubbleBounds = r; }
  int GetArrowSide() const { return mArrowSide; }
  void SetArrowSide(int side) { mArrowSide = side; }
  const std::string& GetBubbleText() const { return mStr; }
  void SetBubbleText(const char* str) { mStr = str ? str : ""; }
  float GetOpacity() const { return mBlend.weight; }
  void SetOpacity(float opacity) { mBlend.weight = opacity; }
  // 0 hidden, 1 fading in, 2 holding, 3 fading out.
  int GetAnimationState() const { return mAnimationState; }
  uint64_t GetTouchID() const { return mTouchID; }
  IControl* GetCaller() const { return mCaller; }
  const IRect& GetMaxBounds() const { return mMaxBounds; }
  void SetMaxBounds(const IRect& r) { mMaxBounds = r; }

  static constexpr double kFadeMs = 200.0;
  static constexpr double kHoldMs = 1000.0;

private:
  // One display tick of the fade-in, hold and fade-out.
  void Animation();

protected:
  uint64_t mTouchID = 0;
  int mDirection = 1; // 0 above/below the anchor, 1 beside it
  IRect mMaxBounds;
  IRect mBubbleBounds;
  IControl* mCaller = nullptr;
  int mArrowSide = kArrowLeft;
  std::string mStr;
  float mRoundness;
  float mInset = 10.f;
  float mArrowSize = 10.f;
  float mMaxOpacity = 0.95f;
  float mOutlineThickness = 2.f;
  float mSideInset = 5.f;
  IColor mFillColor;
  IColor mOutlineColor;
  int mAnimationState = 0; // 0 hidden, 1 fading in, 2 holding, 3 fading out
};

} // namespace iplug::igraphics
