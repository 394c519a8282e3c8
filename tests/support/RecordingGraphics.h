#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "IGraphics.h"

namespace iplug::igraphics {

// A graphics context without a window or a renderer: it implements the path interface, bitmap
// drawing and the context's other back-end and window operations by recording every call, so
// tests can check what the drawing code asked for, coordinate by coordinate.
class RecordingGraphics : public IGraphics
{
public:
  enum class Op
  {
    PathClear,
    PathClose,
    PathArc,
    PathMoveTo,
    PathLineTo,
    PathCubicBezierTo,
    PathQuadraticBezierTo,
    PathStroke,
    PathFill,
    SetMatrix,
    SetClip,
    DrawBitmap,
    DrawText,
    DropShadow,
    CompleteRegion,
    BeginFrame,
    EndFrame,
    UpdateLayer,
    HideCursor,
    PlatformResize,
    DrawResize
  };

  struct Call
  {
    Op op;
    std::vector<float> args; // coordinates, in the order of the call's arguments
    IColor color;            // stroke/fill: the pattern's first stop
    float thickness = 0.f;
    IStrokeStyle stroke;
    IFillStyle fill;
    bool hasBlend = false;
    float blendWeight = 1.f;
    ITransform transform;    // SetMatrix
    IRect rect;              // SetClip, DrawBitmap destination, DrawText bounds, CompleteRegion
    const APIBitmap* bitmap = nullptr;
    std::string text;
    bool flag = false;       // PathArc: counter-clockwise; HideCursor: hide; PlatformResize: argument
  };

  RecordingGraphics(IGEditorDelegate* dlg, int width, int height, int fps = 60, float drawScale = 1.f);
  ~RecordingGraphics() override;

  // ---- What was recorded ----
  const std::vector<Call>& Calls() const { return mCalls; }
  void ClearCalls() { mCalls.clear(); }
  std::vector<Op> Ops() const;
  // Only the calls of one kind.
  std::vector<Call> CallsOf(Op op) const;
  int CountOf(Op op) const;
  // Where an arc at this angle (degrees, 0 at 12 o'clock, clockwise) lies.
  static void ArcPoint(float cx, float cy, float r, float degrees, float& x, float& y);

  // ---- Test set-up ----
  // A bitmap that LoadBitmap answers for this name (pixel size at the given density).
  void AddBitmap(const std::string& name, int widthPx, int heightPx, int scale);
  int LoadBitmapCount() const { return mLoadBitmapCount; }
  // Holds the control as the input layer does between a mouse-down and its mouse-up.
  void CaptureControl(IControl* control, uint64_t touchID = 0) { mCapturedMap[touchID] = control; }
  void SetPlatformWindowScale(float scale) { mWindowScale = scale; }
  // The text width MeasureText reports per character.
  void SetCharWidth(float width) { mCharWidth = width; }

  // Promoted so that tests can drive the protected steps directly.
  using IGraphics::DrawControls;
  using IGraphics::LoadPlatformFont;

  // ---- IGraphics ----
  void BeginFrame() override;
  void EndFrame() override;
  void DrawBitmap(const IBitmapInfo& bitmap, const IRect& dest, int srcX, int srcY, const IBlendInfo* blend) override;
  IColor GetPoint(int x, int y) override;
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIString() override { return "Recording"; }
  bool BitmapExtSupported(const char* ext) override;
  void DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop, float roundness,
                          float blur, const IBlendInfo* blend) override;
  void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) override;
  void ApplyShadow(ILayerPtr& layer, const RawBitmapData& mask, const IShadow& shadow) override;
  void UpdateLayer() override;
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IFillPattern& pattern, float thickness, const IStrokeStyle& style,
                  const IBlendInfo* blend) override;
  void PathFill(const IFillPattern& pattern, const IFillStyle& style, const IBlendInfo* blend) override;
  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide, bool lock) override;
  void MoveMouseCursor(float x, float y) override;
  void CancelPlatformTextEntry() override {}
  void* OpenPlatformWindow(void* pParent) override;
  void ClosePlatformWindow() override {}
  void* GetPlatformWindow() override { return nullptr; }
  bool GetTextFromClipboard(std::string& str) override;
  bool SetTextInClipboard(const char* str) override;
  void NotifyPopupMenu(IPopupMenu& menu) override { (void) menu; }
  EMsgBoxResult ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                               IMsgBoxCompletionHandlerFunc completion) override;
  void PromptForFile(std::string& fileName, std::string& path, EFileAction action, const char* ext,
                     IFileDialogCompletionHandlerFunc completion) override;
  void PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion) override;
  bool PromptForColor(IColor& color, const char* str, IColorPickerHandlerFunc completion) override;
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override;
  float GetPlatformWindowScale() const override { return mWindowScale; }
  IBitmapInfo LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) override;
  using IGraphics::LoadBitmap;

  // Font calls made through LoadFont, in order ("platform:<id>", "api:<id>", "cache:<id>").
  std::vector<std::string> fontCalls;
  bool platformFontAvailable = true;
  bool apiFontAccepted = true;

protected:
  void PathTransformSetMatrix(const ITransform& transform) override;
  void SetClipRegion(const IRect& bounds) override;
  void CompleteRegion(const IRect& bounds) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override;
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override;
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync) override;
  void PlatformResize(bool parentHasResized) override;
  void DrawResize() override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location,
                                           const char* ext) override;
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                             bool cacheable) override;
  bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) override;
  int AlphaChannelOffset() const override { return 3; }
  bool LayerBitmapsFlipped() const override { return false; }
  float DoMeasureText(const ITextStyle& style, const char* str, IRect& bounds) const override;
  void DoDrawText(const ITextStyle& style, const char* str, const IRect& bounds, const IBlendInfo* blend) override;

private:
  Call& Record(Op op, std::vector<float> args = {});
  static void RecordBlend(Call& call, const IBlendInfo* blend);

  std::vector<Call> mCalls;
  std::map<std::string, std::unique_ptr<APIBitmap>> mBitmaps;
  int mLoadBitmapCount = 0;
  float mWindowScale = 1.f;
  float mCharWidth = 7.f;
  int mNextImage = 1;

public:
  // Text entry and popup requests made through prompts.
  struct TextEntryRequest
  {
    int paramIdx = -1;
    IRect bounds;
    int length = 0;
    std::string text;
  };
  std::vector<TextEntryRequest> textEntries;
  std::vector<std::vector<std::string>> popupMenus;
  // The item the stand-in popup "chooses" (−1: the user dismisses it).
  int popupChoice = -1;
};

} // namespace iplug::igraphics
