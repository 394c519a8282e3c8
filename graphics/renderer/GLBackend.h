#pragma once

#include "GLFunctions.h"
#include "Paint.h"
#include "RenderTypes.h"
#include "Tessellator.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace iplug::igraphics::renderer {

// The OpenGL side of the renderer: one small shader program for every paint, the textures behind
// image handles, and the queue of draw calls that a frame records and a flush sends to OpenGL.
//
// Recording is deferred: fills, strokes and text append vertices and calls, and nothing touches
// OpenGL until Flush, which saves the host's state, draws everything with one vertex upload and
// puts the state back.
class GLBackend
{
public:
  // Extra image flag for the glyph atlas: one alpha byte a pixel.
  static constexpr int kImageAlphaOnly = 1 << 8;

  // A clip rectangle: `transform` maps the rectangle's centred space to frame units; half size
  // `extent`. A negative extent means no clip.
  struct Scissor
  {
    Transform2D transform;
    float extent[2] = {-1.f, -1.f};
  };

  struct Blend
  {
    BlendFactor srcRGB = BlendFactor::One, dstRGB = BlendFactor::OneMinusSrcAlpha;
    BlendFactor srcAlpha = BlendFactor::One, dstAlpha = BlendFactor::OneMinusSrcAlpha;
  };

  GLBackend() = default;
  GLBackend(const GLBackend&) = delete;
  GLBackend& operator=(const GLBackend&) = delete;

  // With the context current. False when the shader program cannot be built.
  bool Init(const GLFunctions& gl, bool antiAlias);
  // Deletes every GL object; with the context current.
  void Shutdown();

  // Images: handles count from 1; 0 is never a valid image.
  int CreateTexture(int width, int height, int flags, const void* pixels);
  bool UpdateTexture(int image, int x, int y, int width, int height, const void* pixels);
  // Replaces the whole storage with a new size (the glyph atlas grows this way).
  bool ResizeTexture(int image, int width, int height, const void* pixels);
  bool TextureSize(int image, int& width, int& height) const;
  GLuint TextureId(int image) const;
  // Deleted at once, or after the frame's draw calls when a frame is open.
  void DeleteTexture(int image);
  GLint MaxTextureSize() const { return mMaxTextureSize; }

  // `devicePixel`: one device pixel in frame units (1 ÷ pixel ratio), the width of clip edges.
  void BeginFrame(float width, float height, float devicePixel);
  void CancelFrame();
  // Draws what was recorded and closes the frame.
  void EndFrame();
  // Draws what was recorded so far and keeps the frame open.
  void Flush();
  bool InFrame() const { return mInFrame; }

  // The vertex and sub-path stores that the tessellator appends to.
  std::vector<Vertex>& Vertices() { return mVerts; }
  std::vector<PathDraw>& PathDraws() { return mPathDraws; }

  // An axis-aligned box in frame units.
  struct Box
  {
    float x0, y0, x1, y1;
    bool Empty() const { return !(x1 > x0) || !(y1 > y0); }
  };

  // The part of the frame that a clip can reach: the clip's bounding box grown by the width of
  // its soft edge, within the frame. Empty when nothing can show.
  Box ClipBox(const Scissor& scissor) const;
  // True when the vertices appended from `firstVertex` on cannot touch a pixel inside the clip,
  // so that the caller can drop them before they cost a draw call.
  bool OutsideClip(const Scissor& scissor, size_t firstVertex) const;

  // Calls over ranges already appended. `paint` is in frame units with every alpha applied.
  // Each returns false (and records nothing) when the paint cannot be drawn (bad image, singular
  // transform).
  bool AddFill(const Paint& paint, const Scissor& scissor, const Blend& blend, float fringe, size_t firstDraw,
               size_t drawCount, bool convex, uint32_t coverOffset);
  bool AddStroke(const Paint& paint, const Scissor& scissor, const Blend& blend, float fringe, float strokeMult,
                 size_t firstDraw, size_t drawCount);
  bool AddTriangles(const Paint& paint, const Scissor& scissor, const Blend& blend, int atlasImage,
                    uint32_t firstVertex, uint32_t vertexCount);

private:
  enum class CallType
  {
    ConvexFill,
    StencilFill,
    Stroke,
    Triangles,
  };
  enum class Cover
  {
    Edge,
    Atlas,
    Full,
  };
  struct Call
  {
    CallType type;
    int image;
    uint32_t firstDraw, drawCount;
    uint32_t firstVertex, vertexCount;
    uint32_t uniforms; // index of the first uniform block
    Blend blend;
    Box clip;          // the OpenGL scissor box that keeps the rasteriser inside the clip
  };
  struct Uniforms
  {
    float v[48];
  };
  struct Texture
  {
    GLuint id = 0;
    int width = 0, height = 0, flags = 0;
    bool live = false;
    bool deletePending = false;
  };

  bool PushUniforms(const Paint& paint, const Scissor& scissor, float strokeMult, Cover cover, int atlasImage);
  const Texture* Find(int image) const;
  void Render();
  void SetUniforms(uint32_t index, int image) const;
  // The clip box in the bound framebuffer's pixels (glScissor's x, y, width, height).
  void ScissorPixels(const Box& box, const GLint viewport[4], GLint out[4]) const;
  void DeletePending();
  void Clear();

  const GLFunctions* mGL = nullptr;
  bool mAntiAlias = true;
  GLuint mProgram = 0;
  GLint mLocViewSize = -1, mLocFrag = -1, mLocTex = -1;
  GLuint mVertexBuffer = 0;
  GLint mMaxTextureSize = 2048;
  float mView[2] = {1.f, 1.f};
  float mDevicePixel = 1.f;
  bool mInFrame = false;

  std::vector<Texture> mTextures;
  std::vector<int> mFreeSlots;
  std::vector<Vertex> mVerts;
  std::vector<PathDraw> mPathDraws;
  std::vector<Call> mCalls;
  std::vector<Uniforms> mUniforms;
};

} // namespace iplug::igraphics::renderer
