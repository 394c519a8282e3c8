#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "IBlendInfo.h"
#include "IColor.h"
#include "IGraphicsConstants.h"
#include "IKeyPress.h"
#include "IMouseMods.h"
#include "IRect.h"
#include "ITextStyle.h"
#include "MidiMessage.h"

namespace iplug {
class IGEditorDelegate;
class IParam;
} // namespace iplug

namespace iplug::igraphics {

class IControl;
class IGraphics;
class IPopupMenu;

using IActionFunction = std::function<void(IControl*)>;
using IAnimationFunction = std::function<void(IControl*)>;
using IGestureFunc = std::function<void(IControl*, const IGestureInfo&)>;

inline constexpr int kNoParameter = -1;
inline constexpr int kNoValIdx = -1;
inline constexpr int kNoTag = -1;

// The base of every element of the editor: a rectangle that draws itself into the graphics
// context, reacts to the input the context routes to it, and holds one or more normalised values
// (0 … 1), each optionally linked to a plug-in parameter. User changes go to the editor delegate;
// host changes come back through SetValueFromDelegate.
//
// Lifecycle: created by the layout, attached to a graphics context (which then owns it and calls
// OnInit, OnResize, OnRescale and OnAttached), destroyed with the context. Values start at 0.
// Threads: UI thread only.
//
// Below, a "slot" is a value slot index; −1 (kNoValIdx) means every slot where allowed.
class IControl
{
public:
  IControl(const IRect& bounds, int paramIdx = kNoParameter, IActionFunction action = nullptr);
  // A control with one value slot per entry, each linked to the given parameter (or none).
  IControl(const IRect& bounds, const std::vector<int>& params, IActionFunction action = nullptr);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // The virtual operations keep this order: subclasses and the context override by slot.
  virtual ~IControl();
  // Right button: prompts for the value under the pointer (when prompts are enabled).
  virtual void OnMouseDown(float x, float y, const IMouseMods& mod);
  virtual void OnMouseUp(float x, float y, const IMouseMods& mod);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods& mod);
  virtual void OnMouseDblClick(float x, float y, const IMouseMods& mod);
  virtual void OnMouseWheel(float x, float y, const IMouseMods& mod, float delta);
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key);
  // Hover: flags and redraws only on a change, so a control can draw a hover state.
  virtual void OnMouseOver(float x, float y, const IMouseMods& mod);
  virtual void OnMouseOut();
  virtual void OnReservedHook10() {}
  virtual void OnDrop(const char* path);
  virtual void OnRescale() {}
  virtual void OnResize() {}
  virtual void OnInit() {}
  virtual void OnAttached() {}
  virtual void OnMsgFromDelegate(int msgTag, int dataSize, const void* pData);
  virtual void OnMidi(const MidiMessage& msg);
  virtual bool OnGesture(const IGestureInfo& info);
  virtual void CreateContextMenu(IPopupMenu& menu);
  virtual void OnPopupMenuSelection(IPopupMenu* pSelectedMenu, int valIdx);
  virtual void OnTextEntryCompletion(const char* str, int valIdx);
  virtual void OnReservedHook22() {}
  virtual void Draw(IGraphics& g) = 0;
  // The host's parameter highlight: a dot in the top-right corner.
  virtual void DrawHostHighlight(IGraphics& g);
  virtual void SetParamIdx(int paramIdx, int valIdx = 0);
  // −1 for a control with several slots, 0 otherwise.
  virtual int GetValIdxForPos(float x, float y) const;
  // Ignored while the user holds the control.
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = kNoValIdx);
  virtual void SetValue(double value, int valIdx = 0);
  virtual void SetText(const ITextStyle& style);
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float width, float height);
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual bool IsHit(float x, float y) const;
  // Clamps the slot(s) to 0 … 1 and marks the control for redrawing; with triggerAction the
  // linked parameters are sent to the delegate, peers are updated and the action runs.
  virtual void SetDirty(bool triggerAction = true, int valIdx = kNoValIdx);
  virtual void SetClean();
  // Always true while an animation is set.
  virtual bool IsDirty() const;
  virtual void OnReservedHook40() {}
  // Sets the slot(s) from a pointer position inside bounds, rounded to 0.001 and clipped.
  virtual void SnapToMouse(float x, float y, EDirection direction, const IRect& bounds, int valIdx = kNoValIdx,
                           double minClip = 0.0, double maxClip = 1.0);
  virtual void OnEndAnimation();

  // Values and parameters.
  // Slot indices outside 0 … NVals() − 1 are ignored by setters and read as 0 / −1 by getters.
  double GetValue(int valIdx = 0) const;
  int NVals() const { return static_cast<int>(mVals.size()); }
  int GetParamIdx(int valIdx = 0) const;
  // The delegate's parameter linked to the slot, or null.
  const IParam* GetParam(int valIdx = 0) const;
  // The first slot linked to the parameter, or −1. Index −1 finds the first unlinked slot.
  int LinkedToParam(int paramIdx) const;

  // Actions and animation ("now" is the editor's monotonic clock in milliseconds).
  void SetAction(IActionFunction action) { mActionFunc = std::move(action); }
  const IActionFunction& GetActionFunction() const { return mActionFunc; }
  void SetAnimationEndAction(IActionFunction action) { mAnimationEndActionFunc = std::move(action); }
  void SetAnimation(IAnimationFunction func) { mAnimationFunc = std::move(func); }
  void SetAnimation(IAnimationFunction func, double durationMs);
  const IAnimationFunction& GetAnimationFunction() const { return mAnimationFunc; }
  void StartAnimation(double durationMs);
  double GetAnimationDuration() const { return mAnimationDuration; }
  // (now − start) ÷ duration; 0 without an animation.
  double GetAnimationProgress() const;
  // Runs the animation, when one is set; called by the context on every display tick.
  void Animate();

  // Host highlight: colour 0 red, 1 blue, 2 green, 3 yellow; other codes keep the colour.
  void SetParameterHighlight(bool isHighlighted, int color);
  bool GetParameterHighlighted() const { return mHighlighted; }
  const IColor& GetHighlightColor() const { return mHighlightColor; }

  // Asks the context to prompt for the slot's value: a menu of the parameter's display texts, or
  // a text entry. Nothing when prompts are disabled (the default) or the slot is not linked.
  void PromptUserInput(int valIdx);

  void AttachGestureRecognizer(EGestureType type, IGestureFunc func);
  EGestureType GetLastGesture() const { return mLastGesture; }

  // Attachment (set by the graphics context).
  void SetDelegate(IGEditorDelegate* dlg) { mDelegate = dlg; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  void SetGraphics(IGraphics* g) { mGraphics = g; }
  IGraphics* GetUI() const { return mGraphics; }
  void SetGroup(const char* group) { mGroup = group ? group : ""; }
  const std::string& GetGroup() const { return mGroup; }

  // Geometry.
  const IRect& GetRECT() const { return mRECT; }
  void SetRECT(const IRect& r) { mRECT = r; }
  const IRect& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetRECT(const IRect& r) { mTargetRECT = r; }
  void SetTargetAndDrawRECTs(const IRect& r)
  {
    mRECT = r;
    mTargetRECT = r;
  }

  // Appearance.
  const ITextStyle& GetText() const { return mText; }
  const IBlendInfo& GetBlend() const { return mBlend; }
  const IBlendInfo* GetBlendPtr() const { return &mBlend; }
  void SetBlend(const IBlendInfo& blend) { mBlend = blend; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  const std::string& GetTooltip() const { return mTooltip; }
  void SetTooltip(const char* str) { mTooltip = str ? str : ""; }

  // Flags.
  bool IsHidden() const { return mHide; }
  bool IsDisabled() const { return mDisabled; }
  bool GetMouseIsOver() const { return mMouseIsOver; }
  bool GetPromptDisabled() const { return mDisablePrompt; }
  void SetDisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool flag) { mDblAsSingleClick = flag; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool flag) { mMouseOverWhenDisabled = flag; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool flag) { mMouseEventsWhenDisabled = flag; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  void SetIgnoreMouse(bool flag) { mIgnoreMouse = flag; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool flag) { mWantsMidi = flag; }
  bool GetWantsMultiTouch() const { return mWantsMultiTouch; }
  void SetWantsMultiTouch(bool flag) { mWantsMultiTouch = flag; }
  bool GetPromptShowsParamLabel() const { return mPromptShowsParamLabel; }
  void SetPromptShowsParamLabel(bool flag) { mPromptShowsParamLabel = flag; }

protected:
  struct ValueSlot
  {
    int paramIdx = kNoParameter;
    double value = 0.0;
  };

  bool ValidSlot(int valIdx) const { return valIdx >= 0 && valIdx < NVals(); }
  // True while the context holds this control under some touch (the user is dragging it).
  bool IsCaptured() const;

  IRect mRECT;
  IRect mTargetRECT;
  std::string mGroup;
  ITextStyle mText;
  IBlendInfo mBlend;
  int mTextEntryLength = 7;
  bool mDirty = true;
  bool mHide = false;
  bool mDisabled = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMouseOverWhenDisabled = false;
  bool mMouseEventsWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mWantsMidi = false;
  bool mWantsMultiTouch = false;
  bool mPromptShowsParamLabel = false;
  bool mMouseIsOver = false;
  std::string mTooltip;
  IColor mHighlightColor = kColorRed;
  bool mHighlighted = false;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  IActionFunction mActionFunc;
  IActionFunction mAnimationEndActionFunc;
  IAnimationFunction mAnimationFunc;
  double mAnimationStartTime = 0.0; // ms
  double mAnimationDuration = 0.0;  // ms
  std::vector<ValueSlot> mVals;
  std::map<EGestureType, IGestureFunc> mGestureFuncs;
  EGestureType mLastGesture = EGestureType::Unknown;
};

} // namespace iplug::igraphics
