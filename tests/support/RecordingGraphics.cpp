#include "RecordingGraphics.h"

#include <cmath>
#include <cstring>

namespace iplug::igraphics {

RecordingGraphics::RecordingGraphics(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : IGraphics(dlg, width, height, fps, drawScale)
{
}

RecordingGraphics::~RecordingGraphics()
{
  // Controls hold bitmap references into mBitmaps: let them go first.
  RemoveAllControls();
}

std::vector<RecordingGraphics::Op> RecordingGraphics::Ops() const
{
  std::vector<Op> ops;
  for (const Call& c : mCalls)
    ops.push_back(c.op);
  return ops;
}

std::vector<RecordingGraphics::Call> RecordingGraphics::CallsOf(Op op) const
{
  std::vector<Call> calls;
  for (const Call& c : mCalls)
    if (c.op == op)
      calls.push_back(c);
  return calls;
}

int RecordingGraphics::CountOf(Op op) const { return static_cast<int>(CallsOf(op).size()); }

void RecordingGraphics::ArcPoint(float cx, float cy, float r, float degrees, float& x, float& y)
{
  const double rad = static_cast<double>(degrees) * 3.14159265358979323846 / 180.0;
  x = cx + r * static_cast<float>(std::sin(rad));
  y = cy - r * static_cast<float>(std::cos(rad));
}

RecordingGraphics::Call& RecordingGraphics::Record(Op op, std::vector<float> args)
{
  Call call;
  call.op = op;
  call.args = std::move(args);
  mCalls.push_back(std::move(call));
  return mCalls.back();
}

void RecordingGraphics::RecordBlend(Call& call, const IBlendInfo* blend)
{
  call.hasBlend = blend != nullptr;
  call.blendWeight = BlendWeight(blend);
}

void RecordingGraphics::AddBitmap(const std::string& name, int widthPx, int heightPx, int scale)
{
  mBitmaps[name] = std::make_unique<APIBitmap>(mNextImage++, widthPx, heightPx, static_cast<float>(scale), 1.f);
}

// ---- Frame, drawing -------------------------------------------------------------------------

void RecordingGraphics::BeginFrame()
{
  Record(Op::BeginFrame);
  IGraphics::BeginFrame();
}

void RecordingGraphics::EndFrame() { Record(Op::EndFrame); }

void RecordingGraphics::DrawBitmap(const IBitmapInfo& bitmap, const IRect& dest, int srcX, int srcY,
                                   const IBlendInfo* blend)
{
  Call& c = Record(Op::DrawBitmap, {static_cast<float>(srcX), static_cast<float>(srcY)});
  c.rect = dest;
  c.bitmap = bitmap.GetAPIBitmap();
  c.text = bitmap.GetResourceName();
  RecordBlend(c, blend);
}

IColor RecordingGraphics::GetPoint(int x, int y)
{
  (void) x;
  (void) y;
  return kColorBlack;
}

bool RecordingGraphics::BitmapExtSupported(const char* ext) { return ext && std::strcmp(ext, "png") == 0; }

void RecordingGraphics::DrawFastDropShadow(const IRect& innerBounds, const IRect& outerBounds, float xyDrop,
                                           float roundness, float blur, const IBlendInfo* blend)
{
  Call& c = Record(Op::DropShadow, {innerBounds.L, innerBounds.T, innerBounds.R, innerBounds.B, xyDrop, roundness, blur});
  c.rect = outerBounds;
  RecordBlend(c, blend);
}

void RecordingGraphics::GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data)
{
  data.clear();
  if (layer && layer->GetAPIBitmap())
    data.resize(static_cast<size_t>(layer->GetAPIBitmap()->GetWidth() * layer->GetAPIBitmap()->GetHeight() * 4));
}

void RecordingGraphics::ApplyShadow(ILayerPtr& layer, const RawBitmapData& mask, const IShadow& shadow)
{
  (void) layer;
  (void) mask;
  (void) shadow;
}

void RecordingGraphics::UpdateLayer() { Record(Op::UpdateLayer); }

// ---- Path interface -------------------------------------------------------------------------

void RecordingGraphics::PathClear() { Record(Op::PathClear); }
void RecordingGraphics::PathClose() { Record(Op::PathClose); }

void RecordingGraphics::PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding)
{
  Record(Op::PathArc, {cx, cy, r, a1, a2}).flag = winding == EWinding::CCW;
}

void RecordingGraphics::PathMoveTo(float x, float y) { Record(Op::PathMoveTo, {x, y}); }
void RecordingGraphics::PathLineTo(float x, float y) { Record(Op::PathLineTo, {x, y}); }

void RecordingGraphics::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  Record(Op::PathCubicBezierTo, {c1x, c1y, c2x, c2y, x2, y2});
}

void RecordingGraphics::PathQuadraticBezierTo(float cx, float cy, float x2, float y2)
{
  Record(Op::PathQuadraticBezierTo, {cx, cy, x2, y2});
}

void RecordingGraphics::PathStroke(const IFillPattern& pattern, float thickness, const IStrokeStyle& style,
                                   const IBlendInfo* blend)
{
  Call& c = Record(Op::PathStroke);
  c.color = pattern.nStops > 0 ? pattern.FirstColor() : IColor();
  c.thickness = thickness;
  c.stroke = style;
  RecordBlend(c, blend);
}

void RecordingGraphics::PathFill(const IFillPattern& pattern, const IFillStyle& style, const IBlendInfo* blend)
{
  Call& c = Record(Op::PathFill);
  c.color = pattern.nStops > 0 ? pattern.FirstColor() : IColor();
  c.fill = style;
  RecordBlend(c, blend);
}

void RecordingGraphics::PathTransformSetMatrix(const ITransform& transform)
{
  Record(Op::SetMatrix).transform = transform;
}

void RecordingGraphics::SetClipRegion(const IRect& bounds) { Record(Op::SetClip).rect = bounds; }

void RecordingGraphics::CompleteRegion(const IRect& bounds) { Record(Op::CompleteRegion).rect = bounds; }

// ---- Window, cursor, platform ---------------------------------------------------------------

void RecordingGraphics::GetMouseLocation(float& x, float& y) const
{
  x = mCursorX;
  y = mCursorY;
}

void RecordingGraphics::HideMouseCursor(bool hide, bool lock)
{
  Record(Op::HideCursor).flag = hide;
  if (hide == mCursorHidden)
    return;
  mCursorHidden = hide;
  mCursorLock = hide && lock;
}

void RecordingGraphics::MoveMouseCursor(float x, float y)
{
  mCursorX = x;
  mCursorY = y;
}

void* RecordingGraphics::OpenPlatformWindow(void* pParent)
{
  (void) pParent;
  return nullptr;
}

bool RecordingGraphics::GetTextFromClipboard(std::string& str)
{
  str.clear();
  return false;
}

bool RecordingGraphics::SetTextInClipboard(const char* str)
{
  (void) str;
  return false;
}

EMsgBoxResult RecordingGraphics::ShowMessageBox(const char* str, const char* caption, EMsgBoxType type,
                                                IMsgBoxCompletionHandlerFunc completion)
{
  (void) str;
  (void) caption;
  (void) type;
  if (completion)
    completion(kCANCEL);
  return kCANCEL;
}

void RecordingGraphics::PromptForFile(std::string& fileName, std::string& path, EFileAction action, const char* ext,
                                      IFileDialogCompletionHandlerFunc completion)
{
  (void) action;
  (void) ext;
  fileName.clear();
  if (completion)
    completion(fileName, path);
}

void RecordingGraphics::PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc completion)
{
  dir.clear();
  if (completion)
    completion(dir, dir);
}

bool RecordingGraphics::PromptForColor(IColor& color, const char* str, IColorPickerHandlerFunc completion)
{
  (void) color;
  (void) str;
  (void) completion;
  return false;
}

bool RecordingGraphics::OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                                const char* errMsgOnFailure)
{
  (void) url;
  (void) msgWindowTitle;
  (void) confirmMsg;
  (void) errMsgOnFailure;
  return false;
}

void RecordingGraphics::PlatformResize(bool parentHasResized) { Record(Op::PlatformResize).flag = parentHasResized; }

void RecordingGraphics::DrawResize() { Record(Op::DrawResize); }

// ---- Fonts and text -------------------------------------------------------------------------

PlatformFontPtr RecordingGraphics::LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style)
{
  (void) fontName;
  (void) style;
  fontCalls.push_back(std::string("platform:") + fontID);
  return platformFontAvailable ? std::make_unique<PlatformFont>(true) : nullptr;
}

PlatformFontPtr RecordingGraphics::LoadPlatformFont(const char* fontID, void* pData, int dataSize)
{
  (void) pData;
  (void) dataSize;
  fontCalls.push_back(std::string("platform:") + fontID);
  return platformFontAvailable ? std::make_unique<PlatformFont>() : nullptr;
}

PlatformFontPtr RecordingGraphics::LoadPlatformFont(const char* fontID, const char* fileNameOrResID)
{
  (void) fileNameOrResID;
  fontCalls.push_back(std::string("platform:") + fontID);
  return platformFontAvailable ? std::make_unique<PlatformFont>() : nullptr;
}

void RecordingGraphics::CachePlatformFont(const char* fontID, const PlatformFontPtr& font)
{
  (void) font;
  fontCalls.push_back(std::string("cache:") + fontID);
}

bool RecordingGraphics::LoadAPIFont(const char* fontID, const PlatformFontPtr& font)
{
  (void) font;
  fontCalls.push_back(std::string("api:") + fontID);
  return apiFontAccepted;
}

float RecordingGraphics::DoMeasureText(const ITextStyle& style, const char* str, IRect& bounds) const
{
  const float w = mCharWidth * static_cast<float>(std::strlen(str));
  bounds = IRect(bounds.L, bounds.T, bounds.L + w, bounds.T + style.size);
  return w;
}

void RecordingGraphics::DoDrawText(const ITextStyle& style, const char* str, const IRect& bounds,
                                   const IBlendInfo* blend)
{
  Call& c = Record(Op::DrawText);
  c.text = str;
  c.rect = bounds;
  c.color = style.fgColor;
  RecordBlend(c, blend);
}

// ---- Prompts --------------------------------------------------------------------------------

void RecordingGraphics::CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IRect& bounds, int length,
                                                const char* str)
{
  (void) text;
  textEntries.push_back(TextEntryRequest{paramIdx, bounds, length, str ? str : ""});
}

IPopupMenu* RecordingGraphics::CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync)
{
  (void) bounds;
  isAsync = false;
  std::vector<std::string> items;
  for (int i = 0; i < menu.NItems(); ++i)
    items.emplace_back(menu.GetItemText(i));
  popupMenus.push_back(items);
  if (popupChoice < 0 || popupChoice >= menu.NItems())
    return nullptr;
  menu.SetChosenItemIdx(popupChoice);
  return &menu;
}

// ---- Bitmaps --------------------------------------------------------------------------------

IBitmapInfo RecordingGraphics::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  (void) targetScale;
  ++mLoadBitmapCount;
  auto it = mBitmaps.find(name ? name : "");
  if (it == mBitmaps.end())
    return IBitmapInfo();
  return IBitmapInfo(it->second.get(), it->first, nStates, framesAreHorizontal);
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmap(const char* name, const void* pData, int dataSize,
                                                            int scale)
{
  (void) name;
  (void) pData;
  (void) dataSize;
  (void) scale;
  return nullptr;
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmap(const char* fileNameOrResID, int scale,
                                                            EResourceLocation location, const char* ext)
{
  (void) fileNameOrResID;
  (void) scale;
  (void) location;
  (void) ext;
  return nullptr;
}

std::unique_ptr<APIBitmap> RecordingGraphics::CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                                              bool cacheable)
{
  (void) cacheable;
  return std::make_unique<APIBitmap>(mNextImage++, width, height, scale, static_cast<float>(drawScale));
}

} // namespace iplug::igraphics
