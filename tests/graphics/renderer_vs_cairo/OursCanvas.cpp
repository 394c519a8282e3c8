#include "OursCanvas.h"

#include "TestImage.h"

#include <GL/gl.h>

using namespace iplug::igraphics::renderer;

namespace test::vs_cairo {

OursCanvas::OursCanvas(int maxPixels)
{
  mGL = std::make_unique<OffscreenGLContext>(maxPixels, maxPixels);
  if (!mGL->Valid())
  {
    mError = "no OpenGL context: " + mGL->Error();
    return;
  }
  mCtx = RenderContext::Create(&OffscreenGLContext::GetProc, kContextAntiAlias);
  if (!mCtx)
  {
    mError = "the renderer could not be created";
    return;
  }
  const auto pixels = TestImage::Pixels();
  mImage = mCtx->CreateImageRGBA(TestImage::kSize, TestImage::kSize, kImagePremultiplied, pixels.data());
  if (!mImage)
    mError = "the test image could not be created";
}

OursCanvas::~OursCanvas()
{
  mCtx.reset(); // its GL objects go while the context is still current
  mGL.reset();
}

void OursCanvas::Begin(int width, int height, float ratio)
{
  mWidth = width;
  mHeight = height;
  glViewport(0, 0, width, height);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  mCtx->BeginFrame(float(width) / ratio, float(height) / ratio, ratio);
}

Picture OursCanvas::End()
{
  mCtx->EndFrame();
  Picture p;
  p.width = mWidth;
  p.height = mHeight;
  p.rgba = OffscreenGLContext::ReadPixels(mWidth, mHeight);
  return p;
}

void OursCanvas::SetOperator(Operator op)
{
  using F = BlendFactor;
  struct Factors
  {
    F src, dst;
  };
  Factors f{F::One, F::OneMinusSrcAlpha};
  switch (op)
  {
  case Operator::Over: f = {F::One, F::OneMinusSrcAlpha}; break;
  case Operator::Atop: f = {F::DstAlpha, F::OneMinusSrcAlpha}; break;
  case Operator::DestOver: f = {F::OneMinusDstAlpha, F::One}; break;
  case Operator::DestOut: f = {F::Zero, F::OneMinusSrcAlpha}; break;
  case Operator::Xor: f = {F::OneMinusDstAlpha, F::OneMinusSrcAlpha}; break;
  case Operator::Add: f = {F::One, F::One}; break;
  case Operator::Screen: f = {F::One, F::OneMinusSrcColor}; break;
  case Operator::Multiply: f = {F::DstColor, F::OneMinusSrcAlpha}; break;
  case Operator::Source: f = {F::One, F::Zero}; break;
  case Operator::Clear: f = {F::Zero, F::Zero}; break;
  case Operator::In: f = {F::DstAlpha, F::Zero}; break;
  case Operator::Out: f = {F::OneMinusDstAlpha, F::Zero}; break;
  case Operator::DestIn: f = {F::Zero, F::SrcAlpha}; break;
  case Operator::DestAtop: f = {F::OneMinusDstAlpha, F::SrcAlpha}; break;
  }
  mCtx->SetCompositeBlend(f.src, f.dst);
}

Paint OursCanvas::ToPaint(const PaintSpec& p) const
{
  switch (p.kind)
  {
  case PaintSpec::Kind::Solid: return Paint::Solid(p.inner);
  case PaintSpec::Kind::Linear: return Paint::LinearGradient(p.p[0], p.p[1], p.p[2], p.p[3], p.inner, p.outer);
  case PaintSpec::Kind::Radial: return Paint::RadialGradient(p.p[0], p.p[1], p.p[2], p.p[3], p.inner, p.outer);
  case PaintSpec::Kind::Image: return Paint::ImagePattern(p.p[0], p.p[1], p.p[2], p.p[3], p.p[4], mImage, p.p[5]);
  }
  return Paint::Solid(p.inner);
}

} // namespace test::vs_cairo
