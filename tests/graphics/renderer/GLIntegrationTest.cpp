#include "RendererFixture.h"
#include "TestImages.h"

#include "renderer/GLFunctions.h"

#include <cstring>
#include <string>

using namespace iplug::igraphics::renderer;

namespace test {
namespace {

// --- Loading the OpenGL entry points ---------------------------------------------------------

std::string gBlocked;    // names starting with this are reported missing
bool gExactOnly = false; // block only the exact name (its ARB/EXT variants stay)
bool gAnswerOne = false; // answer 1 instead of null, as Windows does for some names

void* Filtered(const char* name)
{
  const bool blocked = gExactOnly ? gBlocked == name : std::strncmp(name, gBlocked.c_str(), gBlocked.size()) == 0;
  if (!gBlocked.empty() && blocked)
    return gAnswerOne ? reinterpret_cast<void*>(intptr_t(1)) : nullptr;
  return OffscreenGLContext::GetProc(name);
}

class GLLoaderTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    gl = std::make_unique<OffscreenGLContext>(16, 16);
    ASSERT_TRUE(gl->Valid()) << gl->Error();
  }
  void TearDown() override
  {
    gBlocked.clear();
    gExactOnly = gAnswerOne = false;
  }
  std::unique_ptr<OffscreenGLContext> gl;
};

TEST_F(GLLoaderTest, AMissingEntryPointIsReportedNotCalled)
{
  struct Case
  {
    const char* blocked;
    bool exactOnly, answerOne;
    bool loads;
    const char* missing;
  };
  const Case cases[] = {
    {"glGenFramebuffers", false, false, false, "glGenFramebuffers"},
    {"glCreateShader", false, true, false, "glCreateShader"},
    {"glStencilOpSeparate", false, false, false, "glStencilOpSeparate"},
    {"glBindFramebuffer", true, false, true, nullptr}, // found under its extension name
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.blocked);
    gBlocked = c.blocked;
    gExactOnly = c.exactOnly;
    gAnswerOne = c.answerOne;
    GLFunctions f;
    EXPECT_EQ(f.Load(&Filtered), c.loads);
    EXPECT_EQ(f.IsLoaded(), c.loads);
    if (c.missing)
    {
      ASSERT_NE(f.MissingFunction(), nullptr);
      EXPECT_STREQ(f.MissingFunction(), c.missing);
    }
    EXPECT_EQ(RenderContext::Create(&Filtered, kContextAntiAlias) != nullptr, c.loads);
  }
  GLFunctions f;
  EXPECT_FALSE(f.Load(nullptr));
  EXPECT_EQ(RenderContext::Create(nullptr, kContextAntiAlias), nullptr);
}

// --- The host's OpenGL state -----------------------------------------------------------------

class HostStateTest : public RendererFixture
{
};

TEST_F(HostStateTest, DrawingLeavesTheHostsStateAsItWas)
{
  const GLFunctions& gl = ctx->GL();
  const std::vector<uint8_t> roboto = ReadFileBytes(kRobotoPath);
  const int font = ctx->CreateFontMem("Roboto", roboto.data(), roboto.size(), 0);
  const uint8_t px[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
  const int image = ctx->CreateImageRGBA(2, 2, 0, px);

  // The host's own objects and settings.
  GLuint hostTexture = 0, hostBuffer = 0;
  glGenTextures(1, &hostTexture);
  gl.GenBuffers(1, &hostBuffer);
  const GLuint hostProgram = gl.CreateProgram();
  gl.ActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, hostTexture);
  gl.ActiveTexture(GL_TEXTURE2);
  gl.BindBuffer(GL_ARRAY_BUFFER, hostBuffer);
  gl.EnableVertexAttribArray(1);
  gl.VertexAttribPointer(1, 3, GL_UNSIGNED_BYTE, GL_TRUE, 12, reinterpret_cast<const void*>(4));
  glEnable(GL_SCISSOR_TEST);
  glEnable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  gl.BlendFuncSeparate(GL_SRC_COLOR, GL_DST_COLOR, GL_ZERO, GL_ONE);
  glStencilFunc(GL_LESS, 3, 0x0f);
  glStencilOp(GL_INCR, GL_DECR, GL_INVERT);
  glStencilMask(0x0f);
  glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_TRUE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 5);

  auto snapshot = [&] {
    std::vector<GLint> v;
    auto get = [&](GLenum e) {
      GLint x[4] = {};
      glGetIntegerv(e, x);
      v.insert(v.end(), x, x + 4);
    };
    for (GLenum e : {GLenum(GL_CURRENT_PROGRAM), GLenum(GL_ACTIVE_TEXTURE), GLenum(GL_ARRAY_BUFFER_BINDING),
                     GLenum(GL_BLEND_SRC_RGB), GLenum(GL_BLEND_DST_RGB), GLenum(GL_BLEND_SRC_ALPHA),
                     GLenum(GL_BLEND_DST_ALPHA), GLenum(GL_STENCIL_FUNC), GLenum(GL_STENCIL_REF),
                     GLenum(GL_STENCIL_VALUE_MASK), GLenum(GL_STENCIL_FAIL), GLenum(GL_STENCIL_PASS_DEPTH_FAIL),
                     GLenum(GL_STENCIL_PASS_DEPTH_PASS), GLenum(GL_STENCIL_WRITEMASK), GLenum(GL_COLOR_WRITEMASK),
                     GLenum(GL_UNPACK_ALIGNMENT), GLenum(GL_UNPACK_ROW_LENGTH), GLenum(GL_FRAMEBUFFER_BINDING)})
      get(e);
    for (GLenum e : {GLenum(GL_SCISSOR_TEST), GLenum(GL_CULL_FACE), GLenum(GL_BLEND), GLenum(GL_STENCIL_TEST),
                     GLenum(GL_DEPTH_TEST)})
      v.push_back(glIsEnabled(e));
    gl.ActiveTexture(GL_TEXTURE0);
    get(GL_TEXTURE_BINDING_2D);
    gl.ActiveTexture(GL_TEXTURE2);
    GLint attrib[4] = {};
    gl.GetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &attrib[0]);
    gl.GetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_SIZE, &attrib[1]);
    gl.GetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &attrib[2]);
    gl.GetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &attrib[3]);
    v.insert(v.end(), attrib, attrib + 4);
    return v;
  };
  gl.UseProgram(hostProgram); // unlinked: never drawn with, only bound
  const std::vector<GLint> before = snapshot();

  ctx->BeginFrame(kSize, kSize, 1);
  ctx->BeginPath();
  ctx->MoveTo(4, 4);
  ctx->LineTo(40, 10);
  ctx->LineTo(10, 40);
  ctx->LineTo(30, 30);
  ctx->ClosePath();
  ctx->Fill();
  ctx->Stroke();
  ctx->SetFillPaint(Paint::ImagePattern(0, 0, 8, 8, 0, image, 1));
  ctx->BeginPath();
  ctx->Rect(0, 0, 8, 8);
  ctx->Fill();
  ctx->SetFontFaceId(font);
  ctx->Text(4, 50, "Host");
  ctx->EndFrame();
  auto fb = ctx->CreateFramebuffer(8, 8);
  ASSERT_NE(fb, nullptr);
  ctx->DeleteFramebuffer(std::move(fb));
  const int another = ctx->CreateImageRGBA(2, 2, 0, px);
  ctx->UpdateImage(another, px);

  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  gl.UseProgram(0);
  gl.DeleteProgram(hostProgram);
  glDeleteTextures(1, &hostTexture);
  gl.DeleteBuffers(1, &hostBuffer);
}

} // namespace
} // namespace test
