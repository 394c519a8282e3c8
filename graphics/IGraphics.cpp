#include "IGraphics.h"

#include <algorithm>
#include <cmath>

#include "IBitmapControl.h"
#include "IBubbleControl.h"
#include "IControl.h"
#include "ICornerResizerControl.h"
#include "IGEditorDelegate.h"
#include "IParam.h"
#include "MonotonicClock.h"

namespace iplug::igraphics {

// ---- Construction ---------------------------------------------------------------------------

IGraphics::IGraphics(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : mWidth(width)
  , mHeight(height)
  , mFPS(fps)
  , mDrawScale(drawScale)
  , mMinScale(0.5f * drawScale)
  , mMaxScale(2.f * drawScale)
  , mDelegate(dlg)
{
}

IGraphics::~IGraphics()
{
  // The window layer is already gone: clearing the flag first keeps RemoveAllControls from
  // asking it to show the cursor again.
  mCursorHidden = false;
  RemoveAllControls();
  while (!mLayers.empty())
    mLayers.pop();
  while (!mTransformStates.empty())
    mTransformStates.pop();
  mKeyHandlerFunc = nullptr;
  mDisplayTickFunc = nullptr;
}

// ---- Virtual operations with a base behaviour -----------------------------------------------

void IGraphics::SetParameterHighlight(int paramIdx, bool isHighlighted, int color)
{
  ForMatchingControls(paramIdx, [isHighlighted, color](IControl* c) { c->SetParameterHighlight(isHighlighted, color); });
}

void IGraphics::BeginFrame()
{
  if (!mPerfDisplay)
    return;
  const double now = MonotonicSeconds();
  mFrameTimeIdx = (mFrameTimeIdx + 1) % kNumFrameTimes;
  mFrameTimes[mFrameTimeIdx] = static_cast<float>(now - mPrevTimestamp);
  mPrevTimestamp = now;
}

void IGraphics::OnViewInitialized(void* pContext) { (void) pContext; }
void IGraphics::OnViewDestroyed() {}
void IGraphics::EndFrame() {}

float IGraphics::MeasureText(const ITextStyle& style, const char* str, IRect& bounds) const
{
  if (!str || !*str)
    return 0.f;
  return DoMeasureText(style, str, bounds);
}

IBitmapInfo IGraphics::ScaleBitmap(const IBitmapInfo& bitmap, const char* name, int targetScale)
{
  // Bitmaps come from the back end's cache at the density asked for; there is nothing to rescale.
  (void) name;
  (void) targetScale;
  return bitmap;
}

void IGraphics::RetainBitmap(const IBitmapInfo& bitmap, const char* cacheName)
{
  (void) bitmap;
  (void) cacheName;
}

void IGraphics::ReleaseBitmap(const IBitmapInfo& bitmap) { (void) bitmap; }

void IGraphics::DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop, float roundness,
                                   float blur, const IBlendInfo* blend)
{
  (void) innerBounds;
  (void) outerBounds;
  (void) xyDrop;
  (void) roundness;
  (void) blur;
  (void) blend;
}

bool IGraphics::LoadFont(const char* fontID, void* pData, int dataSize)
{
  PlatformFontPtr font = LoadPlatformFont(fontID, pData, dataSize);
  if (font && LoadAPIFont(fontID, font))
  {
    CachePlatformFont(fontID, font);
    return true;
  }
  return false;
}

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID)
{
  PlatformFontPtr font = LoadPlatformFont(fontID, fileNameOrResID);
  if (font && LoadAPIFont(fontID, font))
  {
    CachePlatformFont(fontID, font);
    return true;
  }
  return false;
}

void IGraphics::UpdateLayer() {}
void IGraphics::PathSetWinding(bool clockwise) { (void) clockwise; }
void IGraphics::CompleteRegion(const IRect& bounds) { (void) bounds; }

int IGraphics::SetMouseCursor(int cursorType)
{
  const int previous = mCursorType;
  mCursorType = cursorType;
  return previous;
}

bool IGraphics::PlatformWindowIsOpen() { return GetPlatformWindow() != nullptr; }
const char* IGraphics::GetPlatformAPIString() { return ""; }

bool IGraphics::RevealPath(const char* path, bool select)
{
  (void) path;
  (void) select;
  return false;
}

void IGraphics::SetModuleInstance(void* instance) { (void) instance; }
void* IGraphics::GetModuleInstance() const { return nullptr; }
const char* IGraphics::GetBundleName() { return ""; }
void IGraphics::ActivateGLContext() {}
void IGraphics::DeactivateGLContext() {}
bool IGraphics::PlatformSupportsMultiTouch() const { return false; }
float IGraphics::GetPlatformWindowScale() const { return 1.f; }
void IGraphics::PlatformResize(bool parentHasResized) { (void) parentHasResized; }
void IGraphics::DrawResize() {}

IBitmapInfo IGraphics::LoadBitmap(const char* name, const void* pData, int dataSize, int nStates,
                                  bool framesAreHorizontal, int targetScale)
{
  // Bitmaps are loaded by name so that the back end's cache owns what it decodes; an image handed
  // in from caller memory would have no owner to keep it alive, so none is made.
  (void) name;
  (void) pData;
  (void) dataSize;
  (void) nStates;
  (void) framesAreHorizontal;
  (void) targetScale;
  return IBitmapInfo();
}

ISVG IGraphics::LoadSVG(const char* name, const void* pData, int dataSize, const char* units, float dpi)
{
  // The editor loads no vector pictures; an empty picture draws nothing.
  (void) name;
  (void) pData;
  (void) dataSize;
  (void) units;
  (void) dpi;
  return ISVG();
}

ISVG IGraphics::LoadSVG(const char* fileNameOrResID, const char* units, float dpi)
{
  (void) fileNameOrResID;
  (void) units;
  (void) dpi;
  return ISVG();
}

void IGraphics::AttachGestureRecognizer(EGestureType type)
{
  if (std::find(mRegisteredGestures.begin(), mRegisteredGestures.end(), type) == mRegisteredGestures.end())
    mRegisteredGestures.push_back(type);
}

float IGraphics::GetBackingPixelScale() const { return mDrawScale * mScreenScale; }

// ---- Non-virtual drawing --------------------------------------------------------------------

void IGraphics::DrawText(const ITextStyle& style, const char* str, const IRect& bounds, const IBlendInfo* blend)
{
  if (!str || !*str)
    return;
  DoDrawText(style, str, bounds, blend);
}

void IGraphics::DrawBitmapFrame(const IBitmapInfo& bitmap, const IRect& dest, int frame, const IBlendInfo* blend)
{
  if (!bitmap.IsValid())
    return;
  const int n = bitmap.N();
  int srcX = 0;
  int srcY = 0;
  if (n >= 2)
  {
    frame = std::clamp(frame, 1, n);
    if (bitmap.GetFramesAreHorizontal())
      srcX = (frame - 1) * bitmap.W() / n;
    else
      srcY = (frame - 1) * bitmap.H() / n;
  }
  DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

// ---- Controls -------------------------------------------------------------------------------

void IGraphics::PrepareControl(IControl& control)
{
  control.SetDelegate(mDelegate);
  // The delegate's graphics context is this one whenever the editor is open; while a context is
  // being built before the delegate holds it, the control still gets a usable context.
  control.SetGraphics(this);
  control.OnInit();
  control.OnResize();
  control.OnRescale();
}

IControl* IGraphics::AttachControl(IControl* control, int ctrlTag, const char* group)
{
  if (!control)
    return nullptr;
  if (ctrlTag >= 0)
  {
    if (!mCtrlTags.emplace(ctrlTag, control).second)
      return nullptr;
  }
  PrepareControl(*control);
  control->SetGroup(group);
  mControls.emplace_back(control);
  control->OnAttached();
  return control;
}

void IGraphics::AttachBackground(const char* fileName)
{
  IBitmapInfo bitmap = LoadBitmap(fileName, 1, false, 0);
  auto background = std::make_unique<IBitmapControl>(0.f, 0.f, bitmap, kNoParameter, kBlendDefault);
  PrepareControl(*background);
  mControls.insert(mControls.begin(), std::move(background));
}

void IGraphics::AttachBubbleControl(const ITextStyle& style)
{
  auto bubble = std::make_unique<IBubbleControl>(style, kColorWhite, kColorBlack, 5.f);
  PrepareControl(*bubble);
  mBubbleControls.push_back(std::move(bubble));
}

void IGraphics::AttachCornerResizer(EUIResizerMode mode, bool layoutOnResize, const IColor& color,
                                    const IColor& mouseOverColor, const IColor& dragColor, float size)
{
  auto resizer = std::make_unique<ICornerResizerControl>(GetBounds(), size, color, mouseOverColor, dragColor);
  if (mCornerResizer)
    return; // the new one goes; the first stays

  mCornerResizer = std::move(resizer);
  mResizerMode = mode;
  mLayoutOnResize = layoutOnResize;
  PrepareControl(*mCornerResizer);
}

void IGraphics::AttachPerformanceDisplay(IControl* display)
{
  if (!display || mPerfDisplay)
    return;
  mPerfDisplay.reset(display);
  PrepareControl(*mPerfDisplay);
}

float IGraphics::GetFrameTime(int idx) const
{
  const int i = ((idx % kNumFrameTimes) + kNumFrameTimes) % kNumFrameTimes;
  return mFrameTimes[i];
}

IControl* IGraphics::GetControl(int idx) const
{
  if (idx < 0 || idx >= NControls())
    return nullptr;
  return mControls[static_cast<size_t>(idx)].get();
}

IControl* IGraphics::GetControlWithTag(int ctrlTag) const
{
  auto it = mCtrlTags.find(ctrlTag);
  return it == mCtrlTags.end() ? nullptr : it->second;
}

int IGraphics::GetControlIdx(const IControl* control) const
{
  for (int i = 0; i < NControls(); ++i)
  {
    if (mControls[static_cast<size_t>(i)].get() == control)
      return i;
  }
  return -1;
}

IBubbleControl* IGraphics::GetBubbleControl(int idx) const
{
  if (idx < 0 || idx >= NBubbleControls())
    return nullptr;
  return mBubbleControls[static_cast<size_t>(idx)].get();
}

void IGraphics::RemoveAllControls()
{
  ReleaseMouseCapture();
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  // Pending prompts would otherwise point at destroyed controls.
  mInTextEntry = nullptr;
  mInPopupMenu = nullptr;

  mPopupControl.reset();
  mTextEntryControl.reset();
  mCornerResizer.reset();
  mPerfDisplay.reset();
  mBubbleControls.clear();
  mCtrlTags.clear();

  // Taken out of the list first so that a control's destructor never sees a half-emptied list.
  auto doomed = std::move(mControls);
  mControls.clear();
  doomed.clear();
}

void IGraphics::ForAllControls(const IControlFunction& func)
{
  // Index loops: a callable may attach nothing, but it may ask for a control by index.
  for (size_t i = 0; i < mControls.size(); ++i)
    func(mControls[i].get());
  if (mPerfDisplay)
    func(mPerfDisplay.get());
  if (mCornerResizer)
    func(mCornerResizer.get());
  if (mTextEntryControl)
    func(mTextEntryControl.get());
  if (mPopupControl)
    func(mPopupControl.get());
  for (size_t i = 0; i < mBubbleControls.size(); ++i)
    func(mBubbleControls[i].get());
}

void IGraphics::ForStandardControls(const IControlFunction& func)
{
  for (size_t i = 0; i < mControls.size(); ++i)
    func(mControls[i].get());
}

void IGraphics::ForMatchingControls(int paramIdx, const IControlFunction& func)
{
  for (size_t i = 0; i < mControls.size(); ++i)
  {
    IControl* c = mControls[i].get();
    if (c->LinkedToParam(paramIdx) >= 0)
      func(c);
  }
}

void IGraphics::SetAllControlsDirty()
{
  ForAllControls([](IControl* c) { c->SetDirty(false, kNoValIdx); });
}

void IGraphics::SetAllControlsClean()
{
  ForAllControls([](IControl* c) { c->SetClean(); });
}

void IGraphics::UpdatePeers(IControl* caller, int callerValIdx)
{
  if (!caller)
    return;
  const int paramIdx = caller->GetParamIdx(callerValIdx);
  // An unlinked slot has no peers; matching on −1 would reach every unlinked control.
  if (paramIdx < 0)
    return;
  const double value = caller->GetValue(callerValIdx);
  for (size_t i = 0; i < mControls.size(); ++i)
  {
    IControl* c = mControls[i].get();
    if (c == caller)
      continue;
    const int slot = c->LinkedToParam(paramIdx);
    if (slot >= 0)
      c->SetValueFromDelegate(value, slot);
  }
}

void IGraphics::ShowBubbleControl(IControl* caller, float x, float y, const char* str, int direction,
                                  const IRect& minContentSize)
{
  if (mBubbleControls.empty())
    return;

  if (!mEnableMultiTouch)
  {
    mBubbleControls[0]->ShowBubble(caller, x, y, str, direction, minContentSize, 0);
    return;
  }

  // With several fingers each bubble follows one touch; a control that no single touch holds
  // (turned by the wheel, or by two fingers at once) gets none.
  const std::vector<uint64_t> touches = GetTouchesForControl(caller);
  if (touches.size() != 1)
    return;
  const uint64_t touchID = touches[0];
  for (auto& bubble : mBubbleControls)
  {
    if (bubble->GetTouchID() == touchID)
    {
      bubble->ShowBubble(caller, x, y, str, direction, minContentSize, touchID);
      return;
    }
  }
  // Shared by every editor of the process, as bubbles are handed out in turn.
  static size_t nextBubble = 0;
  const size_t idx = nextBubble % mBubbleControls.size();
  nextBubble = (idx + 1) % mBubbleControls.size();
  mBubbleControls[idx]->ShowBubble(caller, x, y, str, direction, minContentSize, touchID);
}

// ---- Dirty check and drawing ----------------------------------------------------------------

bool IGraphics::IsDirty(IRectList& rects)
{
  if (mDisplayTickFunc)
    mDisplayTickFunc();

  ForAllControls([](IControl* c) { c->Animate(); });

  bool dirty = false;
  ForAllControls([&rects, &dirty](IControl* c) {
    if (c->IsDirty())
    {
      rects.Add(c->GetRECT().Grown(0.75f));
      dirty = true;
    }
  });
  return dirty;
}

void IGraphics::Draw(IRectList& rects)
{
  if (rects.Count() == 0)
    return;

  const float scale = GetBackingPixelScale();
  BeginFrame();

  if (mDrawAsOneRegion)
  {
    DrawControls(rects.Bounds().PixelAligned(scale), scale);
  }
  else
  {
    rects.PixelAlign(scale);
    rects.Optimize();
    for (int i = 0; i < rects.Count(); ++i)
      DrawControls(rects.Get(i), scale);
  }

  EndFrame();
}

void IGraphics::DrawControls(const IRect& region, float scale)
{
  ForAllControls([this, &region, scale](IControl* c) { DrawControl(c, region, scale); });
}

void IGraphics::DrawControl(IControl* control, const IRect& region, float scale)
{
  if (!control)
    return;
  // A hidden background is still drawn: it is the surface everything else sits on.
  if (control->IsHidden() && !(NControls() > 0 && mControls[0].get() == control))
    return;

  const IRect clip = control->GetRECT().Grown(0.75f).PixelAligned(scale).Intersect(region);
  if (clip.W() <= 0.f || clip.H() <= 0.f)
    return;

  PathTransformReset(true);
  PathClear();
  SetClipRegion(clip);
  mClipRECT = clip;

  control->Draw(*this);
  control->DrawHostHighlight(*this);

  CompleteRegion(clip);
}

// ---- Size and scale -------------------------------------------------------------------------

int IGraphics::WindowWidth() const
{
  return static_cast<int>(GetPlatformWindowScale() * static_cast<float>(static_cast<int>(static_cast<float>(mWidth) * mDrawScale)));
}

int IGraphics::WindowHeight() const
{
  return static_cast<int>(GetPlatformWindowScale() * static_cast<float>(static_cast<int>(static_cast<float>(mHeight) * mDrawScale)));
}

void IGraphics::Resize(int width, int height, float scale, bool needsPlatformResize)
{
  if (mDelegate)
  {
    // Written without std::clamp: limits from the delegate are not trusted to be ordered.
    width = std::max(mDelegate->GetMinWidth(), std::min(width, mDelegate->GetMaxWidth()));
    height = std::max(mDelegate->GetMinHeight(), std::min(height, mDelegate->GetMaxHeight()));
  }
  if (!std::isfinite(scale))
    scale = mDrawScale;
  scale = std::max(mMinScale, std::min(scale, mMaxScale));

  if (width == mWidth && height == mHeight && scale == mDrawScale)
    return;

  ReleaseMouseCapture();

  mDrawScale = scale;
  mWidth = width;
  mHeight = height;
  if (mDelegate)
    mDelegate->NoteEditorSize();

  if (mCornerResizer)
    mCornerResizer->OnRescale();

  bool resized = false;
  if (mDelegate)
    resized = mDelegate->FromEditorResize(WindowWidth(), WindowHeight(), needsPlatformResize);
  PlatformResize(resized);

  ForAllControls([](IControl* c) { c->OnResize(); });
  SetAllControlsDirty();
  DrawResize();

  if (mLayoutOnResize && mDelegate)
    mDelegate->LayoutEditor(this);
}

void IGraphics::SetScreenScale(float scale)
{
  // A zero, negative or broken density would make every physical size meaningless.
  if (!(scale > 0.f) || !std::isfinite(scale))
    return;

  mScreenScale = scale;

  bool resized = false;
  if (mDelegate)
    resized = mDelegate->FromEditorResize(WindowWidth(), WindowHeight(), true);
  PlatformResize(resized);

  ForAllControls([](IControl* c) { c->OnRescale(); });
  SetAllControlsDirty();
  DrawResize();
}

void IGraphics::SetDrawAsOneRegion(bool oneRegion)
{
  mDrawAsOneRegion = oneRegion;
  SetAllControlsDirty();
}

void IGraphics::EnableTooltips(bool enable)
{
  mEnableTooltips = enable;
  if (enable)
    mEnableMouseOver = true;
}

// ---- Capture and prompts --------------------------------------------------------------------

void IGraphics::ReleaseMouseCapture()
{
  mCapturedMap.clear();
  if (mCursorHidden)
    HideMouseCursor(false, true);
}

bool IGraphics::ControlIsCaptured(const IControl* control) const
{
  for (const auto& [touchID, captured] : mCapturedMap)
  {
    (void) touchID;
    if (captured == control)
      return true;
  }
  return false;
}

std::vector<uint64_t> IGraphics::GetTouchesForControl(const IControl* control) const
{
  std::vector<uint64_t> touches;
  for (const auto& [touchID, captured] : mCapturedMap)
  {
    if (captured == control)
      touches.push_back(touchID);
  }
  return touches;
}

void IGraphics::PromptUserInput(IControl& control, int valIdx)
{
  const IParam* param = control.GetParam(valIdx);
  if (!param)
    return;

  const IRect& bounds = control.GetRECT();
  std::string text;

  if (param->DisplayTextCount() > 0)
  {
    // One item per display text, item i standing for the real value i, the current one ticked.
    mPromptMenu.Clear();
    const int current = static_cast<int>(std::lround(param->Value()));
    for (int i = 0; i < param->DisplayTextCount(); ++i)
    {
      param->FormatValue(static_cast<double>(i), false, text, true);
      IPopupMenu::Item* item = mPromptMenu.AddItem(text.c_str());
      item->SetChecked(i == current);
    }
    mInPopupMenu = &control;
    mPopupMenuValIdx = valIdx;
    bool isAsync = false;
    IPopupMenu* chosen = CreatePlatformPopupMenu(mPromptMenu, bounds, isAsync);
    if (!isAsync)
    {
      mInPopupMenu = nullptr;
      mPopupMenuValIdx = -1;
      control.OnPopupMenuSelection(chosen, valIdx);
    }
    return;
  }

  const float cx = bounds.MW();
  const float cy = bounds.MH();
  const IRect entryBounds(cx - 20.f, cy - 8.f, cx + 20.f, cy + 8.f);
  if (control.GetPromptShowsParamLabel())
    param->FormatValueWithLabel(text, true);
  else
    param->FormatValue(param->Value(), false, text, true);
  mInTextEntry = &control;
  mTextEntryValIdx = valIdx;
  CreatePlatformTextEntry(control.GetParamIdx(valIdx), control.GetText(), entryBounds,
                          control.GetTextEntryLength(), text.c_str());
}

} // namespace iplug::igraphics
