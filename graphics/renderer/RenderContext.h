#pragma once

#include "Color.h"
#include "FontAtlas.h"
#include "Framebuffer.h"
#include "GLBackend.h"
#include "GLFunctions.h"
#include "Paint.h"
#include "PathCache.h"
#include "RenderTypes.h"
#include "Transform2D.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace iplug::igraphics::renderer {

// The vector renderer on OpenGL 2: paths filled and stroked with anti-aliased edges, gradient
// and image paints, text from a FreeType glyph atlas, images and off-screen framebuffers.
//
// Lifecycle: Create on the UI thread with the OpenGL context current; every later call needs the
// same context current. Destroy the object with the context still current (it deletes its GL
// objects). Drawing happens between BeginFrame and EndFrame; the calls in between are recorded
// and sent to OpenGL by EndFrame, which saves and restores the OpenGL state it changes (blend,
// stencil, scissor, program, texture and buffer bindings, vertex attributes 0 and 1), so a host
// that owns the context finds it as it left it. The viewport and the bound framebuffer are the
// caller's: they decide where the frame lands, and the framebuffer needs a stencil buffer (the
// renderer's own framebuffers have one) because concave and multi-part fills count windings in it.
//
// Units: a frame has a logical size (width × height) and a pixel ratio (device pixels per logical
// unit); coordinates are logical, x to the right and y downwards, through the current transform.
// Curves are flattened to a quarter of a device pixel and edges are anti-aliased over one device
// pixel.
//
// Bad input never crashes: a path command with a non-finite coordinate makes the whole path draw
// nothing until BeginPath; NaN sizes, widths, paints and clip rectangles draw nothing; text of
// any bytes draws what decodes (malformed UTF-8 as U+FFFD).
class RenderContext
{
public:
  // UI thread, context current. Null when an OpenGL entry point is missing or the shader program
  // cannot be built. `flags`: ContextFlags.
  static std::unique_ptr<RenderContext> Create(GetProcAddressFn getProc, int flags);
  ~RenderContext();
  RenderContext(const RenderContext&) = delete;
  RenderContext& operator=(const RenderContext&) = delete;

  // The loaded OpenGL entry points, for callers that bind framebuffers themselves.
  const GLFunctions& GL() const { return mGL; }

  // --- Frames ---------------------------------------------------------------------------------
  void BeginFrame(float width, float height, float pixelRatio);
  void CancelFrame();
  void EndFrame();
  bool InFrame() const { return mBackend.InFrame(); }

  // --- State ----------------------------------------------------------------------------------
  // Save pushes transform, clip, paints, stroke settings, blend, alpha and font settings; Restore
  // pops them. The stack holds 32 states; extra saves are ignored (and so are their restores).
  void Save();
  void Restore();
  // Back to the defaults: identity, no clip, white fill, black 1-unit stroke, miter joins
  // (limit 10), butt caps, source-over, alpha 1, no font, size 16, left/baseline.
  void Reset();

  // Blend of what is drawn (source, premultiplied) with what is there (destination).
  void SetCompositeBlend(BlendFactor src, BlendFactor dst);
  void SetCompositeBlendSeparate(BlendFactor srcRGB, BlendFactor dstRGB, BlendFactor srcAlpha, BlendFactor dstAlpha);
  void SetCompositeSourceOver();
  void SetGlobalAlpha(float alpha);

  // --- Transforms -----------------------------------------------------------------------------
  void ResetTransform();
  // Applies `t` in the current user space (it acts before the current transform).
  void Transform(const Transform2D& t);
  void Translate(float x, float y);
  void Scale(float x, float y);
  void Rotate(float radians);
  const Transform2D& CurrentTransform() const;

  // --- Clip -----------------------------------------------------------------------------------
  // Drawing is limited to the rectangle, taken through the current transform.
  void Scissor(float x, float y, float w, float h);
  // Limits the clip further to its intersection with the rectangle (as an axis-aligned box in
  // the current user space).
  void IntersectScissor(float x, float y, float w, float h);
  void ResetScissor();

  // --- Paints and stroke settings -------------------------------------------------------------
  // A paint is taken in the current user space at the time it is set.
  void SetFillColor(const Color& c);
  void SetFillPaint(const Paint& p);
  void SetStrokeColor(const Color& c);
  void SetStrokePaint(const Paint& p);
  void SetStrokeWidth(float width);
  void SetMiterLimit(float limit);
  void SetLineCap(LineCap cap);
  void SetLineJoin(LineJoin join);

  // --- Paths ----------------------------------------------------------------------------------
  void BeginPath();
  void MoveTo(float x, float y);
  void LineTo(float x, float y);
  void BezierTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
  // Circular arc around (cx, cy) from angle a0 to a1 (radians, 0 along +x, growing towards +y,
  // so Clockwise runs clockwise on screen). Joins the current point with a line, or starts a
  // sub-path when there is none.
  void Arc(float cx, float cy, float r, float a0, float a1, ArcDirection dir);
  void Rect(float x, float y, float w, float h);
  void ClosePath();
  // Orientation of the current sub-path (see Winding).
  void PathWinding(Winding w);
  // Fills the path with the fill paint (non-zero rule after orientation).
  void Fill();
  // Strokes the path with the stroke paint and settings.
  void Stroke();

  // --- Images ---------------------------------------------------------------------------------
  // Handles are > 0; 0 means failure. `flags`: ImageFlags.
  int CreateImageFromFile(const char* path, int flags);
  int CreateImageFromMemory(const uint8_t* data, size_t size, int flags);
  // `pixels`: width × height × 4 bytes, RGBA rows top first (bottom first with kImageFlipY).
  int CreateImageRGBA(int width, int height, int flags, const uint8_t* pixels);
  bool UpdateImage(int image, const uint8_t* pixels);
  bool ImageSize(int image, int& width, int& height) const;
  // Safe during a frame: the image goes once the frame's calls are drawn.
  void DeleteImage(int image);

  // --- Framebuffers ---------------------------------------------------------------------------
  // Null when the size is not positive, too large or the driver refuses the combination.
  // Creating one leaves the framebuffer binding as it was.
  std::unique_ptr<Framebuffer> CreateFramebuffer(int width, int height, int imageFlags = 0);
  // Binds `fb`, or with null the framebuffer that was bound when this context was created.
  void BindFramebuffer(const Framebuffer* fb);
  void DeleteFramebuffer(std::unique_ptr<Framebuffer> fb);
  // Outside a frame: copies `fb`'s pixels 1:1 to the same place of the framebuffer bound now,
  // replacing what is there. False (and nothing done) when the driver cannot copy between
  // framebuffers; the caller then draws `fb`'s image instead. The read binding and the scissor
  // switch are left as they were.
  bool CopyFramebuffer(const Framebuffer& fb);
  // The same for the part (x, y, width, height) of `fb` only, in its pixels with rows counted
  // upwards as OpenGL counts them; the part is limited to `fb`. An empty part copies nothing and
  // succeeds.
  bool CopyFramebuffer(const Framebuffer& fb, int x, int y, int width, int height);
  GLuint DefaultFramebuffer() const { return mDefaultFramebuffer; }

  // --- Fonts and text -------------------------------------------------------------------------
  // Registers face `faceIndex` of the font bytes (copied) under `name`. Returns the font id, the
  // existing id when the name is already registered, or −1 when the bytes are not a font.
  int CreateFontMem(std::string_view name, const uint8_t* data, size_t size, int faceIndex);
  int FindFont(std::string_view name) const;
  // Selects the font by name; an unknown name selects none (text then draws nothing).
  void SetFontFace(std::string_view name);
  void SetFontFaceId(int font);
  // Em size in user units.
  void SetFontSize(float size);
  // TextAlign flags: one horizontal, one vertical.
  void SetTextAlign(int align);
  // Measures the text as Text would place it at (x, y). Returns the horizontal advance; `bounds`
  // (may be null) gets min x, min y, max x, max y: the line from ascender to descender over the
  // advance, grown to hold every pixel of ink.
  float TextBounds(float x, float y, std::string_view text, float* bounds);
  // Draws the text with the fill paint; returns x advanced by the text's width.
  float Text(float x, float y, std::string_view text);
  // Vertical metrics of the current font at the current size, in user units.
  bool TextMetrics(float* ascender, float* descender, float* lineHeight) const;

private:
  struct State
  {
    GLBackend::Blend blend;
    Paint fill;
    Paint stroke;
    float strokeWidth = 1.f;
    float miterLimit = 10.f;
    LineCap cap = LineCap::Butt;
    LineJoin join = LineJoin::Miter;
    float alpha = 1.f;
    Transform2D transform;
    GLBackend::Scissor scissor;
    bool clipEmpty = false;
    int font = -1;
    float fontSize = 16.f;
    int align = kAlignLeft | kAlignBaseline;
  };

  RenderContext() = default;
  bool Init(GetProcAddressFn getProc, int flags);
  State& S() { return mStates[size_t(mDepth)]; }
  const State& S() const { return mStates[size_t(mDepth)]; }
  void Point(float x, float y, float& ox, float& oy) const { S().transform.Apply(x, y, ox, oy); }
  Paint PaintWithAlpha(const Paint& p, float alpha) const;
  void SyncAtlas();
  // Measures (and with `draw`, records) one line of text; `start` gets the aligned left edge.
  bool Layout(float x, float y, std::string_view text, bool draw, float* bounds, float& advance, float* start);

  static constexpr int kMaxStates = 32;

  GLFunctions mGL;
  GLBackend mBackend;
  PathCache mPath;
  std::unique_ptr<FontAtlas> mFonts;
  int mAtlasImage = 0;
  int mFlags = 0;
  GLuint mDefaultFramebuffer = 0;

  State mStates[kMaxStates];
  int mDepth = 0;
  int mIgnoredSaves = 0;

  float mPixelRatio = 1.f;
  float mFringe = 1.f;
  float mTessTol = 0.25f;
  float mDistTol = 0.01f;
  float mView[2] = {1.f, 1.f};
};

} // namespace iplug::igraphics::renderer
