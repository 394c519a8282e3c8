#include "CorvaneIdentity.h"
#include "CorvaneLayout.h"
#include "CorvaneParameters.h"
#include "IGraphicsX11.h"
#include "IPlugLV2Editor.h"

namespace {

// The editor's redraw rate, as in the plug-in's own editor.
constexpr int kEditorFps = 60;

} // namespace

int LV2EditorParamCount() { return kNumParams; }

// The product's face on X11, in the zoom range of the plug-in's own editor.
void ConfigureLV2Editor(iplug::IPlugLV2Editor& editor)
{
  DefineCorvaneParameters(editor);
  editor.SetSizeConstraints(corvane::kEditorWidth / 2, corvane::kEditorWidth * 2, corvane::kEditorHeight / 2,
                            corvane::kEditorHeight * 2);
  editor.SetMakeGraphicsFunc([&editor]() -> iplug::IEditorView* {
    auto* graphics =
      new iplug::igraphics::IGraphicsX11(&editor, corvane::kEditorWidth, corvane::kEditorHeight, kEditorFps, 1.f);
    graphics->SetModuleInstance(const_cast<char*>(editor.ResourceFolder()));
    return graphics;
  });
  editor.SetLayoutFunc(LayoutCorvaneEditor);
}
