#pragma once

// The editor's graphics context.
//
// Index of this header:
//   1. Virtual operations in slot order (drawing primitives, path interface, window, platform)
//   2. Attaching, looking up and walking controls
//   3. Dirty check, drawing, resizing
//   4. Transforms and layers
//   5. Input entry points and state the window layer and input dispatch use
//   6. Members

#include <cstdint>
#include <functional>
#include <memory>
#include <stack>
#include <string>
#include <unordered_map>
#include <vector>

#include "IBitmapInfo.h"
#include "IBlendInfo.h"
#include "IColor.h"
#include "IDrawLayer.h"
#include "IEditorView.h"
#include "IFillPattern.h"
#include "IFillStyle.h"
#include "IGraphicsConstants.h"
#include "IKeyPress.h"
#include "IMouseEvent.h"
#include "IPlugAAXView_Interface.h"
#include "IPopupMenu.h"
#include "IRect.h"
#include "IRectList.h"
#include "ISVG.h"
#include "IShadow.h"
#include "IStrokeStyle.h"
#include "ITextStyle.h"
#include "ITransform.h"
#include "PlatformFont.h"

namespace iplug {
class IGEditorDelegate;
} // namespace iplug

namespace iplug::igraphics {

class IBubbleControl;
class IControl;
class ICornerResizerControl;

using IKeyHandlerFunc = std::function<bool(const IKeyPress& key, bool isUp)>;
using IDisplayTickFunc = std::function<void()>;
using IControlFunction = std::function<void(IControl* control)>;
using IMsgBoxCompletionHandlerFunc = std::function<void(EMsgBoxResult result)>;
using IFileDialogCompletionHandlerFunc = std::function<void(const std::string& fileName, const std::string& path)>;
using IColorPickerHandlerFunc = std::function<void(const IColor& color)>;

// The editor's graphics context: one per open editor. It owns the attached controls and the
// overlays, decides what must be redrawn and draws it region by region, holds the logical size
// and the two scale factors (the user's zoom, "draw scale", and the display's density, "screen
// scale"), offers the vector drawing primitives on top of a small path interface that the drawing
// back end implements, keeps the current transform and the layer stack, and routes pointer and
// key input to controls.
//
// Threads: everything runs on the host's UI thread (window procedure, display timer, delegate
// calls); nothing here is reached from the audio thread.
//
// Colours are IColor, rectangles IRect, blends optional IBlendInfo pointers (null: source-over at
// full weight), thicknesses in logical pixels. Arc angles are degrees, 0 at 12 o'clock, clockwise.
class IGraphics : public IPlugAAXView_Interface, public IEditorView
{
public:
  // Constructed by the window layer with the editor size, the redraw rate and the initial zoom.
  IGraphics(IGEditorDelegate* dlg, int width, int height, int fps = 60, float drawScale = 1.f);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- 1. Virtual operations, in slot order -------------------------------------------------

  // Reaches every control of the list linked to the parameter (−1: every unlinked slot).
  void SetParameterHighlight(int paramIdx, bool isHighlighted, int color) override;
  virtual void BeginFrame();
  virtual void OnViewInitialized(void* pContext);
  virtual void OnViewDestroyed();
  virtual void EndFrame();
  virtual void DrawSVG(const ISVG& svg, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                              double angle, const IBlendInfo* blend = nullptr);
  // Draws the part of the bitmap from (srcX, srcY), in logical pixels of the bitmap, into dest.
  virtual void DrawBitmap(const IBitmapInfo& bitmap, const IRect& dest, int srcX, int srcY,
                          const IBlendInfo* blend = nullptr) = 0;
  virtual void DrawFittedBitmap(const IBitmapInfo& bitmap, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmapInfo& bitmap, float destCentreX, float destCentreY, double angle,
                                 const IBlendInfo* blend = nullptr);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlendInfo* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                        const IBlendInfo* blend = nullptr, float thickness = 1.f);
  // A dash length of zero or less draws nothing.
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlendInfo* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR, float cRBL,
                             const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius = 5.f,
                             const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlendInfo* blend = nullptr, float thickness = 1.f);
  // A dash length of zero or less draws nothing.
  virtual void DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);
  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendInfo* blend = nullptr);
  virtual void FillRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR, float cRBL,
                             const IBlendInfo* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius = 5.f,
                             const IBlendInfo* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend = nullptr);
  virtual void FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlendInfo* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr);
  // A pie slice from the centre.
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlendInfo* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlendInfo* blend = nullptr);
  // Width of the text in the style; bounds receive the text's box. 0 for a null or empty text.
  virtual float MeasureText(const ITextStyle& style, const char* str, IRect& bounds) const;
  virtual IColor GetPoint(int x, int y) = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIString() = 0;
  virtual IBitmapInfo ScaleBitmap(const IBitmapInfo& bitmap, const char* name, int targetScale);
  virtual void RetainBitmap(const IBitmapInfo& bitmap, const char* cacheName);
  virtual void ReleaseBitmap(const IBitmapInfo& bitmap);
  virtual bool BitmapExtSupported(const char* ext) = 0;
  virtual void DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop = 5.f,
                                  float roundness = 0.f, float blur = 10.f, const IBlendInfo* blend = nullptr);
  // Grid lines every spacing (only when the spacing exceeds 1) inside bounds, one stroke.
  virtual void DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                        const IBlendInfo* blend = nullptr, float thickness = 1.f);
  // A polyline of normalised values across bounds; x values are evenly spaced when null.
  virtual void DrawData(const IColor& color, const IRect& bounds, const float* normYPoints, int nPoints,
                        const float* normXPoints = nullptr, const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual bool LoadFont(const char* fontID, void* pData, int dataSize);
  virtual bool LoadFont(const char* fontID, const char* fileNameOrResID);
  virtual void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) = 0;
  virtual void ApplyShadow(ILayerPtr& layer, const RawBitmapData& mask, const IShadow& shadow) = 0;
  virtual void UpdateLayer();

  // The path interface: everything drawn above reaches the back end through these.
  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  // Degrees, 0 at 12 o'clock, clockwise.
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = EWinding::CW) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathSetWinding(bool clockwise);
  virtual void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) = 0;
  virtual void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IFillPattern& pattern, float thickness, const IStrokeStyle& style = IStrokeStyle(),
                          const IBlendInfo* blend = nullptr) = 0;
  virtual void PathFill(const IFillPattern& pattern, const IFillStyle& style = IFillStyle(),
                        const IBlendInfo* blend = nullptr) = 0;

protected:
  // Applies the transform to the back end (plus the top layer's offset).
  virtual void PathTransformSetMatrix(const ITransform& transform) = 0;
  virtual void CompleteRegion(const IRect& bounds);
  virtual void SetClipRegion(const IRect& bounds) = 0;
  virtual void OnReservedHook61() {}
  virtual void OnReservedHook62() {}

public:
  // Window and cursor (the window layer).
  void GetMouseLocation(float& x, float& y) const override = 0;
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the previous cursor type.
  virtual int SetMouseCursor(int cursorType = kArrowCursor);
  virtual void CancelPlatformTextEntry() = 0;
  void* OpenPlatformWindow(void* pParent) override = 0;
  void ClosePlatformWindow() override = 0;
  virtual void* GetPlatformWindow() = 0;
  virtual bool PlatformWindowIsOpen();

  // Platform services.
  virtual bool GetTextFromClipboard(std::string& str) = 0;
  virtual bool SetTextInClipboard(const char* str) = 0;
  virtual void NotifyPopupMenu(IPopupMenu& menu) = 0;
  virtual EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                                       IMsgBoxCompletionHandlerFunc completion = nullptr) = 0;
  virtual void PromptForFile(std::string& fileName, std::string& path, EFileAction action = EFileAction::Open,
                             const char* ext = "", IFileDialogCompletionHandlerFunc completion = nullptr) = 0;
  virtual void PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion = nullptr) = 0;
  virtual bool PromptForColor(IColor& color, const char* str = "", IColorPickerHandlerFunc completion = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual const char* GetPlatformAPIString();
  virtual bool RevealPath(const char* path, bool select);
  virtual void SetModuleInstance(void* instance);
  virtual void* GetModuleInstance() const;
  virtual void OnReservedHook84() {}

protected:
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) = 0;
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) = 0;
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) = 0;
  virtual void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) = 0;

public:
  virtual const char* GetBundleName();
  virtual void ActivateGLContext();
  virtual void DeactivateGLContext();

protected:
  virtual void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                                       const char* str) = 0;
  // Shows the menu; returns the (sub)menu that holds the chosen item, or null. isAsync tells
  // whether the answer comes later instead.
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync) = 0;

public:
  // Tear-down: the cursor is not shown again and every control is released before the stacks go.
  ~IGraphics() override;
  virtual bool PlatformSupportsMultiTouch() const;
  // Physical pixels per logical pixel that the window is sized in.
  virtual float GetPlatformWindowScale() const;

protected:
  virtual void PlatformResize(bool parentHasResized);
  virtual void DrawResize();
  virtual int OnReservedHook99() { return 0; }

public:
  // Bitmaps and pictures.
  virtual IBitmapInfo LoadBitmap(const char* name, const void* pData, int dataSize, int nStates = 1,
                                 bool framesAreHorizontal = false, int targetScale = 0);
  virtual IBitmapInfo LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                                 int targetScale = 0) = 0;
  virtual ISVG LoadSVG(const char* name, const void* pData, int dataSize, const char* units = "px", float dpi = 72.f);
  virtual ISVG LoadSVG(const char* fileNameOrResID, const char* units = "px", float dpi = 72.f);
  virtual std::vector<uint8_t> LoadResourceData(const char* fileNameOrResID, const char* type);
  virtual void AttachGestureRecognizer(EGestureType type);

protected:
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale) = 0;
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location,
                                                   const char* ext) = 0;
  virtual std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                                     bool cacheable = false) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual bool OnReservedHook110() { return true; }
  // Byte offset of alpha in a layer pixel.
  virtual int AlphaChannelOffset() const = 0;
  // Rows of layer pixel data run bottom-up.
  virtual bool LayerBitmapsFlipped() const = 0;
  virtual float DoMeasureText(const ITextStyle& style, const char* str, IRect& bounds) const = 0;
  virtual void DoDrawText(const ITextStyle& style, const char* str, const IRect& bounds,
                          const IBlendInfo* blend = nullptr) = 0;

public:
  // Physical pixels per logical pixel: draw scale × screen scale.
  virtual float GetBackingPixelScale() const;

  // ---- Non-virtual drawing --------------------------------------------------------------------

  // Only a non-null, non-empty text reaches the back end.
  void DrawText(const ITextStyle& style, const char* str, const IRect& bounds, const IBlendInfo* blend = nullptr);
  // Frame numbers count from 1; the frame's offset in the strip is the source position.
  void DrawBitmapFrame(const IBitmapInfo& bitmap, const IRect& dest, int frame, const IBlendInfo* blend = nullptr);

  // Path builders shared by the primitives (they add to the current path; nothing is cleared).
  void PathLine(float x1, float y1, float x2, float y2);
  void PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
  void PathRect(const IRect& bounds);
  // Radii are limited to half the shorter side; all zero gives a plain rectangle.
  void PathRoundRect(const IRect& bounds, float cRTL, float cRTR, float cRBR, float cRBL);
  void PathCircle(float cx, float cy, float r);
  // An ellipse of four cubic curves, rotated clockwise by angle degrees about its centre.
  void PathEllipse(float cx, float cy, float r1, float r2, float angle = 0.f);
  void PathEllipse(const IRect& bounds);
  // Needs both arrays and at least one point.
  void PathConvexPolygon(const float* x, const float* y, int nPoints);

  // ---- 2. Controls ----------------------------------------------------------------------------

  // Takes ownership and returns the control; a tag ≥ 0 already in use returns null and the control
  // stays with the caller.
  IControl* AttachControl(IControl* control, int ctrlTag = -1, const char* group = "");
  // The editor background: inserted at index 0, drawn even when hidden.
  void AttachBackground(const char* fileName);
  void AttachBubbleControl(const ITextStyle& style = ITextStyle());
  // A second resizer is destroyed on the spot and the first stays.
  void AttachCornerResizer(EUIResizerMode mode = kResizeModeScale, bool layoutOnResize = false,
                           const IColor& color = kColorFaintBlack, const IColor& mouseOverColor = kColorBlack,
                           const IColor& dragColor = kColorBlack, float size = 20.f);

  // Null when out of range or absent.
  IControl* GetControl(int idx) const;
  IControl* GetControlWithTag(int ctrlTag) const;
  int NControls() const { return static_cast<int>(mControls.size()); }
  int GetControlIdx(const IControl* control) const;
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer.get(); }
  int NBubbleControls() const { return static_cast<int>(mBubbleControls.size()); }
  IBubbleControl* GetBubbleControl(int idx = 0) const;
  // A frame-time display from a control library; while one is attached BeginFrame samples the
  // time between frames into a ring of the last 100 for it to show.
  void AttachPerformanceDisplay(IControl* display);
  IControl* GetPerformanceDisplay() const { return mPerfDisplay.get(); }
  int GetFrameTimeIdx() const { return mFrameTimeIdx; }
  // Seconds between frames; idx is taken modulo the ring size.
  float GetFrameTime(int idx) const;
  void RemoveAllControls();

  // Ordinary controls in list order, then the frame-time display, the corner resizer, the text
  // entry, the popup menu, then the bubbles (special controls only when present).
  void ForAllControls(const IControlFunction& func);
  void ForStandardControls(const IControlFunction& func);
  // Controls of the list with a slot linked to the parameter (−1: with an unlinked slot).
  void ForMatchingControls(int paramIdx, const IControlFunction& func);
  void SetAllControlsDirty();
  void SetAllControlsClean();
  // Every other control of the list with a slot linked to the same parameter as the caller's slot
  // takes the caller's value from the delegate.
  void UpdatePeers(IControl* caller, int callerValIdx);
  // Shows the value bubble next to the caller: the first bubble, or with multi-touch the one that
  // serves the caller's touch. minContentSize gives the least width and height of the text area.
  void ShowBubbleControl(IControl* caller, float x, float y, const char* str, int direction,
                         const IRect& minContentSize = IRect());

  // ---- 3. Dirty check, drawing, size ----------------------------------------------------------

  // Called on every display tick: lets controls animate and collects the dirty regions.
  bool IsDirty(IRectList& rects);
  // Draws the given (logical) region, rectangle by rectangle.
  void Draw(IRectList& rects);
  // Draws one control clipped to its grown bounds within the region.
  void DrawControl(IControl* control, const IRect& region, float scale);

  // Clamps to the delegate's limits and the zoom range; no effect when nothing changes.
  void Resize(int width, int height, float scale, bool needsPlatformResize = true) override;
  void SetScreenScale(float scale) override;
  void SetDrawAsOneRegion(bool oneRegion);
  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  void EnableTooltips(bool enable);
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  void SetLayoutOnResize(bool layoutOnResize) { mLayoutOnResize = layoutOnResize; }

  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int WindowWidth() const;
  int WindowHeight() const;
  int FPS() const { return mFPS; }
  float GetDrawScale() const override { return mDrawScale; }
  float GetScreenScale() const { return mScreenScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  IRect GetBounds() const { return IRect(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)); }
  bool GetDrawAsOneRegion() const { return mDrawAsOneRegion; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  bool GetLayoutOnResize() const { return mLayoutOnResize; }
  EUIResizerMode GetResizerMode() const { return mResizerMode; }
  bool GetResizingInProcess() const { return mResizingInProcess; }
  void SetResizingInProcess(bool resizing) { mResizingInProcess = resizing; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }

  // The delegate's side of the editor (IEditorView): values, messages and MIDI from the delegate
  // reach the controls here.
  void SetControlValueFromDelegate(int ctrlTag, double normalizedValue) override;
  void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData) override;
  void SendMidiFromDelegate(const MidiMessage& msg) override;
  void SetParameterValueFromDelegate(int paramIdx, double normalizedValue) override;
  void* GetAPIViewInterface() override { return static_cast<IPlugAAXView_Interface*>(this); }
  IGraphics* GetGraphics() override { return this; }

  void SetKeyHandlerFunc(IKeyHandlerFunc func) { mKeyHandlerFunc = std::move(func); }
  const IKeyHandlerFunc& GetKeyHandlerFunc() const { return mKeyHandlerFunc; }
  void SetDisplayTickFunc(IDisplayTickFunc func) { mDisplayTickFunc = std::move(func); }

  // ---- 4. Transforms and layers ---------------------------------------------------------------

  void PathTransformSave();
  // Without a saved transform nothing changes.
  void PathTransformRestore();
  void PathTransformReset(bool clearStates = false);
  void PathTransformTranslate(float x, float y);
  void PathTransformScale(float x, float y);
  void PathTransformScale(float scale) { PathTransformScale(scale, scale); }
  void PathTransformRotate(float degrees);
  const ITransform& GetTransform() const { return mTransform; }

  // Draw into an off-screen layer until EndLayer.
  void StartLayer(IControl* owner, const IRect& bounds, bool cacheable = false);
  // Hands the finished layer to the caller (null when none was started).
  ILayerPtr EndLayer();
  void PushLayer(ILayerPtr layer);
  // Null with an empty stack; the screen stays the target.
  ILayerPtr PopLayer();
  // Whether a layer can be drawn as it is (it exists, its owner has not moved or resized and it
  // was made for the current scales).
  bool CheckLayer(const ILayerPtr& layer);
  // Clips to r within the current layer or control clip; an empty r restores that clip.
  void PathClipRegion(const IRect& r = IRect());
  int LayerStackSize() const { return static_cast<int>(mLayers.size()); }
  const IRect& GetClipRect() const { return mClipRECT; }

  // ---- 5. Input entry points (the window layer; positions in logical pixels) ------------------

  // Left, right or middle press; touch down. The host may take a press on a parameter control.
  void OnMouseDown(const std::vector<IMouseEvent>& points);
  // Release; touch up.
  void OnMouseUp(const std::vector<IMouseEvent>& points);
  // Movement with a button held (the window has the capture); touch move.
  void OnMouseDrag(const std::vector<IMouseEvent>& points);
  // True when a control took the double click; the window then captures the pointer.
  bool OnMouseDblClick(float x, float y, const IMouseMods& mod);
  // Movement without a button; true when a control is under the pointer.
  bool OnMouseOver(float x, float y, const IMouseMods& mod);
  // The pointer left the window.
  void OnMouseOut();
  // delta in notches, positive away from the user.
  void OnMouseWheel(float x, float y, const IMouseMods& mod, float delta);
  void OnDrop(const char* path, float x, float y);
  // False lets the window pass the key on to its parent.
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  bool OnKeyUp(float x, float y, const IKeyPress& key) override;
  // The control that an event at (x, y) of the touch belongs to: the captured one, a special
  // control, or the frontmost ordinary control that takes the event. capture holds the control
  // for the touch; mouseOver looks for the hover target (never the background).
  IControl* GetMouseControl(float x, float y, bool capture, bool mouseOver = false, uint64_t touchID = 0);
  IControl* GetMouseOverControl() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  float GetMouseDownX() const { return mMouseDownX; }
  float GetMouseDownY() const { return mMouseDownY; }

  // ---- Resources ------------------------------------------------------------------------------

  // Finds the image for name at the density closest to targetScale in a fixed order (the target,
  // then 3, then downwards), trying "name@<n>x.ext" for every density but 1. ext is the resource
  // type to look among. Returns where it was found (0 nowhere) with the density in sourceScale.
  EResourceLocation SearchImageResource(const char* name, const char* ext, std::string& result, int targetScale,
                                        int& sourceScale);

  // ---- Input support and prompts --------------------------------------------------------------

  // Empties the captures and shows a hidden cursor again.
  void ReleaseMouseCapture();
  // Whether the control is captured under any touch.
  bool ControlIsCaptured(const IControl* control) const;
  // The touch ids under which the control is captured.
  std::vector<uint64_t> GetTouchesForControl(const IControl* control) const;
  // Shows the parameter's display texts as a menu, or a text entry for other parameters.
  void PromptUserInput(IControl& control, int valIdx);
  IPopupMenu& GetPromptMenu() { return mPromptMenu; }

  bool CursorIsHidden() const { return mCursorHidden; }
  bool CursorIsLocked() const { return mCursorLock; }
  int GetCursorType() const { return mCursorType; }
  AAX_IViewContainer* GetAAXViewContainer() const { return mViewContainer; }

protected:
  // Controls and overlays draw in this order inside one region.
  void DrawControls(const IRect& region, float scale);
  // Prepares a freshly made control for the context: delegate, graphics, init hooks.
  void PrepareControl(IControl& control);

  // ---- 6. Members -----------------------------------------------------------------------------

  std::vector<std::unique_ptr<IControl>> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  std::unique_ptr<ICornerResizerControl> mCornerResizer;
  std::vector<std::unique_ptr<IBubbleControl>> mBubbleControls;
  // The in-editor popup menu, frame-time display and text entry controls belong to the vector
  // control library, which this editor does not create: these stay null.
  std::unique_ptr<IControl> mPopupControl;
  std::unique_ptr<IControl> mPerfDisplay;
  std::unique_ptr<IControl> mTextEntryControl;
  IPopupMenu mPromptMenu;
  int mCursorType = kArrowCursor;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  std::vector<EGestureType> mRegisteredGestures;
  std::unordered_map<uint64_t, IControl*> mCapturedMap;
  IControl* mMouseOver = nullptr;
  IControl* mInTextEntry = nullptr;
  IControl* mInPopupMenu = nullptr;
  int mTextEntryValIdx = -1;
  int mPopupMenuValIdx = -1;
  int mMouseOverIdx = -1;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  float mMinScale;
  float mMaxScale;
  bool mEnableMouseOver = false;
  bool mDrawAsOneRegion = false;
  bool mEnableTooltips = false;
  bool mResizingInProcess = false;
  bool mLayoutOnResize = false;
  bool mEnableMultiTouch = false;
  EUIResizerMode mResizerMode = kResizeModeScale;
  double mPrevTimestamp = 0.0;
  IKeyHandlerFunc mKeyHandlerFunc;
  IDisplayTickFunc mDisplayTickFunc;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  bool mCursorLock = false;
  bool mTabletInput = false;
  float mCursorX = -1.f;
  float mCursorY = -1.f;
  std::stack<ILayerPtr> mLayers;
  IRect mClipRECT;
  ITransform mTransform;
  std::stack<ITransform> mTransformStates;
  // Frame times in seconds, sampled by BeginFrame while a frame-time display is attached.
  static constexpr int kNumFrameTimes = 100;
  float mFrameTimes[kNumFrameTimes] = {};
  int mFrameTimeIdx = 0;
};

} // namespace iplug::igraphics
