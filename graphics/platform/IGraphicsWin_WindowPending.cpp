// Placeholder definitions of the window layer, so the platform services can be built and linked
// before the window layer lands. Removed by the window layer's first commit.
#include "IGraphicsWin.h"

namespace iplug::igraphics {

IGraphicsWin::IGraphicsWin(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : IGraphicsVectorGL(dlg, width, height, fps, drawScale)
{
  RetainFontCaches();
}
IGraphicsWin::~IGraphicsWin()
{
  DestroyTextEntry();
  ReleaseFontCaches();
}
void IGraphicsWin::GetMouseLocation(float& x, float& y) const { x = y = 0.f; }
void IGraphicsWin::HideMouseCursor(bool, bool) {}
void IGraphicsWin::MoveMouseCursor(float, float) {}
int IGraphicsWin::SetMouseCursor(int cursorType) { return IGraphics::SetMouseCursor(cursorType); }
void* IGraphicsWin::OpenPlatformWindow(void*) { return nullptr; }
void IGraphicsWin::ClosePlatformWindow() {}
void IGraphicsWin::ActivateGLContext() {}
void IGraphicsWin::DeactivateGLContext() {}
bool IGraphicsWin::PlatformSupportsMultiTouch() const { return false; }
void IGraphicsWin::PlatformResize(bool) {}
void IGraphicsWin::DrawResize() {}
renderer::GetProcAddressFn IGraphicsWin::GetGLProcAddress() const { return nullptr; }
float IGraphicsWin::GetScaleForWindow(HWND) { return 1.f; }

} // namespace iplug::igraphics
