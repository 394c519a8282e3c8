#include "Corvane.h"
#include "CorvaneIdentity.h"
#include "CorvaneLayout.h"
#include "PlatformWindows.h"
#include "IGraphicsWin.h"

using namespace iplug;

// The editor of the Windows build: the bitmap face in a Win32 window, drawn with OpenGL.
void Corvane::AttachEditor()
{
  SetMakeGraphicsFunc([this]() -> igraphics::IGraphics* {
    auto* graphics = new igraphics::IGraphicsWin(this, corvane::kEditorWidth, corvane::kEditorHeight, kEditorFps, 1.f);
    graphics->SetModuleInstance(ModuleInstance());
    return graphics;
  });
  SetLayoutFunc(LayoutCorvaneEditor);
}

void* Corvane::ModuleInstance()
{
  // The module that holds this code holds the editor's pictures and font as well; asked by
  // address, so it is the plug-in's file and not the host's executable.
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&Corvane::ModuleInstance), &module))
    return nullptr;
  return module;
}
