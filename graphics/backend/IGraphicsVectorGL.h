#pragma once

#include <memory>
#include <mutex>
#include <stack>

#include "GLFunctions.h"
#include "IGraphics.h"
#include "IKeyedCache.h"

namespace iplug::igraphics {

namespace renderer {
class RenderContext;
struct Framebuffer;
} // namespace renderer

// The drawing back end: the graphics context's paths, bitmaps, layers and text on the vector
// renderer over OpenGL 2.
//
// Every frame draws into a persistent off-screen main framebuffer of the editor's physical size;
// only the dirty regions are redrawn into it, and at the end of each frame it is composited onto
// the window's framebuffer, so the window always receives a complete picture while unchanged
// controls are not drawn again. A window whose framebuffer may have lost its pixels since the
// last frame (a buffer swap that exchanges buffers, a new surface) gets the whole picture; one
// that keeps them (WindowKeepsFrame) gets only the regions the frame repainted, since copying
// every pixel of the face costs a software rasteriser more than redrawing one knob.
//
// Decoded bitmaps are renderer images and belong to one OpenGL context, so each graphics context
// keeps its own bitmap cache (RetainBitmap and ReleaseBitmap do nothing). The pixels of module
// pictures and the font bytes are kept once for the whole process, so a second editor, or the next
// opening, uploads a picture and registers a font without decoding or reading them again.
//
// Lifecycle: constructed with the graphics context (no renderer yet); OnViewInitialized makes the
// renderer on the current OpenGL context and DrawResize (from the window's scale set-up) makes the
// main framebuffer; from then on frames can be drawn. OnViewDestroyed removes the controls and
// deletes both; opening the window again makes them again.
//
// Threads: UI thread only, with the window's OpenGL context current for every call that reaches
// the renderer. The locks guard what other editors of the process can reach (the font-data cache)
// and what the rest of the code can reach while a frame is drawn (the bitmap cache and the
// framebuffers waiting for the end of the frame).
class IGraphicsVectorGL : public IGraphics
{
public:
  // A renderer image: decoded from a picture, or the colour image of an off-screen framebuffer
  // (a layer). A framebuffer goes back through the context that made it, which keeps it until
  // the end of the frame when one is being drawn; a decoded image is deleted in the renderer.
  class Bitmap : public APIBitmap
  {
  public:
    // A decoded image; its pixel size is what the renderer reports.
    Bitmap(renderer::RenderContext* vg, int image, float scale, float drawScale);
    // The colour image of a framebuffer made by `maker`.
    Bitmap(IGraphicsVectorGL* maker, renderer::RenderContext* vg, std::unique_ptr<renderer::Framebuffer> fb,
           int width, int height, float scale, float drawScale);
    ~Bitmap() override;

    const renderer::Framebuffer* GetFramebuffer() const { return mFramebuffer.get(); }

  private:
    IGraphicsVectorGL* mGraphics = nullptr;
    renderer::RenderContext* mVG = nullptr;
    std::unique_ptr<renderer::Framebuffer> mFramebuffer;
  };

  IGraphicsVectorGL(IGEditorDelegate* dlg, int width, int height, int fps = 60, float drawScale = 1.f);
  ~IGraphicsVectorGL() override;

  // ---- Frame cycle (UI thread, GL context current) -------------------------------------------
  void BeginFrame() override;
  void EndFrame() override;
  // Makes the renderer on the current OpenGL context; GetDrawContext is null when that failed.
  void OnViewInitialized(void* pContext) override;
  // Removes every control, then deletes the bitmaps, the main framebuffer and the renderer.
  void OnViewDestroyed() override;

  // ---- Drawing ---------------------------------------------------------------------------------
  void DrawBitmap(const IBitmapInfo& bitmap, const IRect& dest, int srcX, int srcY,
                  const IBlendInfo* blend = nullptr) override;
  void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendInfo* blend = nullptr,
                      float thickness = 1.f, float dashLen = 2.f) override;
  void DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                      float thickness = 1.f, float dashLen = 2.f) override;
  void DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop = 5.f,
                          float roundness = 0.f, float blur = 10.f, const IBlendInfo* blend = nullptr) override;
  // Reading pixels back is not offered: always opaque black.
  IColor GetPoint(int x, int y) override;
  void* GetDrawContext() override;
  const char* GetDrawingAPIString() override { return "VectorGL | GL2"; }
  void RetainBitmap(const IBitmapInfo& bitmap, const char* cacheName) override;
  void ReleaseBitmap(const IBitmapInfo& bitmap) override;
  // PNG and JPEG, in any letter case.
  bool BitmapExtSupported(const char* ext) override;

  // ---- Layers ----------------------------------------------------------------------------------
  // RGBA rows of the layer's pixels, bottom row first.
  void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) override;
  void ApplyShadow(ILayerPtr& layer, const RawBitmapData& mask, const IShadow& shadow) override;
  void UpdateLayer() override;

  // ---- Paths -----------------------------------------------------------------------------------
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = EWinding::CW) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IFillPattern& pattern, float thickness, const IStrokeStyle& style = IStrokeStyle(),
                  const IBlendInfo* blend = nullptr) override;
  void PathFill(const IFillPattern& pattern, const IFillStyle& style = IFillStyle(),
                const IBlendInfo* blend = nullptr) override;

  // ---- Bitmaps ---------------------------------------------------------------------------------
  // From this context's cache, or searched, decoded and cached. targetScale 0: the screen's.
  IBitmapInfo LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                         int targetScale = 0) override;
  // Encoded picture bytes (PNG, JPEG) under a name, decoded once per name and density into this
  // context's cache. targetScale is the density the picture was drawn for (0: 1).
  IBitmapInfo LoadBitmap(const char* name, const void* pData, int dataSize, int nStates = 1,
                         bool framesAreHorizontal = false, int targetScale = 0) override;

  // Whether the copy of finished frames onto the window still waits to be readied: the first
  // frame of a renderer is drawn onto the window without it, since readying it costs a software
  // rasteriser more than the frame.
  bool FrameCopyWarmUpDue() const;
  // Readies that copy by copying one pixel of the last frame onto the window again; the window
  // layer calls it on a display tick with nothing to draw (UI thread, GL context current).
  void WarmUpFrameCopy();

  // Bitmaps in this context's cache (decoded images only; layers are not cached).
  int BitmapCacheSize();
  // The hold on the process's decoded module pictures (DecodedPictureStore): the delegate keeps
  // it between openings, so the next context uploads the pictures without decoding them again.
  std::shared_ptr<const void> KeptBetweenOpenings() const override { return mPictureHold; }
  // The persistent target of every frame (null before DrawResize or without a renderer). The
  // frame is its lower-left part: all of it, except during a corner drag.
  const renderer::Framebuffer* GetMainFramebuffer() const { return mMainFramebuffer.get(); }
  bool InDraw() const { return mInDraw; }

protected:
  void PathTransformSetMatrix(const ITransform& transform) override;
  void SetClipRegion(const IRect& bounds) override;
  // Fits the main framebuffer to the new physical size and clears it; the next frame must redraw
  // everything (resizing marks every control dirty). During a corner drag the framebuffer is
  // made once for the largest size the drag can reach and the frame takes its lower-left part.
  void DrawResize() override;

  // A new bitmap decoded from encoded picture bytes (null when they do not decode).
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location,
                                           const char* ext) override;
  // An off-screen framebuffer of width × height pixels, cleared to transparent.
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                             bool cacheable = false) override;
  bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) override;
  int AlphaChannelOffset() const override { return 3; }
  bool LayerBitmapsFlipped() const override { return true; }
  float DoMeasureText(const ITextStyle& style, const char* str, IRect& bounds) const override;
  void DoDrawText(const ITextStyle& style, const char* str, const IRect& bounds,
                  const IBlendInfo* blend = nullptr) override;

  // The OpenGL procedure-address function of the window's context (the window layer's); the
  // renderer loads its entry points through it. Null: no renderer can be made.
  virtual renderer::GetProcAddressFn GetGLProcAddress() const { return nullptr; }

  // A framebuffer is deleted at once, or at the end of the frame when one is being drawn.
  void ReleaseFramebuffer(std::unique_ptr<renderer::Framebuffer> fb);

  // True when the window's framebuffer still holds, at the start of a frame, what the previous
  // frame put there (a swap that copies the back buffer, an off-screen surface). The back end
  // itself notices a new renderer or a new frame size; a window that loses its pixels any other
  // way (a new surface) says so with ForgetWindowFrame.
  virtual bool WindowKeepsFrame() const { return false; }
  // The next frame gives the window the whole picture.
  void ForgetWindowFrame() { mWindowHoldsFrame = false; }
  // Remembers the repainted regions of the frame: they are what reaches a window that keeps its
  // pixels.
  void CompleteRegion(const IRect& bounds) override;

private:
  // Logical and physical size of the whole frame.
  int LogicalFrameWidth() const;
  int LogicalFrameHeight() const;
  int PhysicalFrameWidth() const;
  int PhysicalFrameHeight() const;
  // The physical frame at the largest size a corner drag can reach (at least the present one).
  void LargestPhysicalFrame(int& width, int& height) const;
  // Where drawing lands now: the top layer's framebuffer, else the main one (else the window's).
  void BindTarget(bool beginRendererFrame);
  void BindFramebufferOrDefault(const renderer::Framebuffer* fb);
  void DeleteFramebufferNow(std::unique_ptr<renderer::Framebuffer> fb);
  void DeleteDeferredFramebuffers();
  // Whether this frame gives the window the whole picture rather than its repainted regions.
  bool CompositesWholeFrame() const { return !(mWindowHoldsFrame && WindowKeepsFrame()); }
  // A repainted region as the window's part that it replaces (physical pixels, rows counted
  // upwards as OpenGL counts them).
  void WindowPart(const IRect& region, int& x, int& y, int& w, int& h) const;
  // Font face, size and alignment from the style; the anchor point from the bounds.
  void PrepareText(const ITextStyle& style, const IRect& bounds, float& x, float& y) const;
  // The renderer's fill or stroke paint for a pattern, colours weighted by the blend.
  void SetPaint(const IFillPattern& pattern, const IBlendInfo* blend, bool stroke);
  void ApplyBlend(const IBlendInfo* blend);

  // Whether drawing now lands somewhere: inside a frame, or in a layer pushed outside one.
  bool DrawingToTarget() const { return mInDraw || !mLayers.empty(); }

  bool mInDraw = false;
  // The copy onto the window: not used yet by this renderer, used by no frame yet but due to be
  // readied, or ready.
  enum class FrameCopy
  {
    Cold,
    WarmUpDue,
    Ready
  };
  FrameCopy mFrameCopy = FrameCopy::Cold;
  // The window's framebuffer binding, noted when the renderer is made.
  GLint mWindowFramebuffer = 0;
  std::mutex mFramebufferMutex;
  std::stack<std::unique_ptr<renderer::Framebuffer>> mDeferredFramebuffers;
  std::shared_ptr<const void> mPictureHold;
  IKeyedCache<APIBitmap> mBitmapCache;
  std::unique_ptr<renderer::RenderContext> mVG;
  std::unique_ptr<renderer::Framebuffer> mMainFramebuffer;
  // The regions repainted in this frame (logical pixels), overlapping ones merged; once every
  // slot is taken the rest join the last one, so a busy frame costs no allocation.
  static constexpr int kMaxFrameRegions = 8;
  IRect mFrameRegions[kMaxFrameRegions];
  int mNumFrameRegions = 0;
  // The window's framebuffer shows the main framebuffer as the last frame left it.
  bool mWindowHoldsFrame = false;
  // The path's current point and the start of its sub-path, in drawing coordinates: a quadratic
  // curve is drawn as a cubic one from there.
  float mCurrentX = 0.f, mCurrentY = 0.f;
  float mSubpathX = 0.f, mSubpathY = 0.f;
  bool mHasCurrentPoint = false;
};

} // namespace iplug::igraphics
