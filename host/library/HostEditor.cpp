#include "HostEditor.h"

#include <cmath>
#include <mutex>
#include <stdexcept>

#include "AAX_Errors.h"
#include "EditorFrame.h"
#include "HostInstance.h"
#include "HostUIThread.h"

namespace aaxhost {

namespace {

constexpr const char* kFrameClass = "AaxhostPluginFrame";

// The frame's class lives as long as the process: frames come and go with each editor.
void RegisterFrameClass()
{
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc);
  });
}

SIZE ClientSize(HWND hwnd)
{
  RECT rect{};
  if (!hwnd || !GetClientRect(hwnd, &rect))
    return SIZE{0, 0};
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

HostEditor::HostEditor(HostUIThread& ui, HostInstance& instance, const Options& options)
  : mUI(ui), mInstance(instance), mContainer(new HostViewContainer(nullptr))
{
  mContainer->SetTakesParameterClicks(options.hostTakesParameterClicks);
  mContainer->SetModifiers(options.modifiers);
  mUI.Run([&] {
    if (const AAX_Result result = mInstance.CreateEditor(); result != AAX_SUCCESS)
    {
      mInstance.ReleaseEditor();
      throw std::runtime_error("the module gives no editor: " + AAX_ResultMessage(result));
    }

    // A DAW sizes its plug-in window from the view size before the editor opens in it.
    AAX_Point size{};
    mInstance.Editor()->GetViewSize(&size);
    const int width = std::max(1, static_cast<int>(std::lround(size.horz)));
    const int height = std::max(1, static_cast<int>(std::lround(size.vert)));
    RegisterFrameClass();
    mFrame = CreateWindowExA(0, kFrameClass, "aaxhost", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!mFrame)
    {
      mInstance.ReleaseEditor();
      throw std::runtime_error("the host could not make a window for the editor");
    }
    try
    {
      PrepareEditorFrame(mFrame, options.dpi);
    }
    catch (...)
    {
      DestroyWindow(mFrame);
      mFrame = nullptr;
      mInstance.ReleaseEditor();
      throw;
    }
    mContainer->SetParentWindow(mFrame);
  });
}

HostEditor::~HostEditor()
{
  mUI.Run([&] {
    if (mOpen && mInstance.Editor())
      mInstance.Editor()->SetViewContainer(nullptr);
    mOpen = false;
    mInstance.ReleaseEditor();
    mContainer->SetParentWindow(nullptr);
    if (mFrame)
      DestroyWindow(mFrame);
    mFrame = nullptr;
  });
}

AAX_IACFEffectGUI* HostEditor::Editor() const
{
  return mInstance.Editor();
}

AAX_Point HostEditor::ViewSize()
{
  return mUI.Run([&] {
    AAX_Point size{};
    if (Editor())
      Editor()->GetViewSize(&size);
    return size;
  });
}

AAX_Result HostEditor::Open()
{
  return mUI.Run([&] {
    if (!Editor())
      return AAX_ERROR_NULL_OBJECT;
    const AAX_Result result = Editor()->SetViewContainer(static_cast<AAX_IACFViewContainer*>(mContainer.get()));
    mOpen = result == AAX_SUCCESS;
    // The editor may have taken another size while it opened (a zoom restored with the state, the
    // display's density) before it knew the container; a DAW asks again and fits its window.
    AAX_Point size{};
    if (mOpen && Editor()->GetViewSize(&size) == AAX_SUCCESS && size.horz >= 1.f && size.vert >= 1.f)
      HostViewContainer::FitWindow(mFrame, size);
    return result;
  });
}

AAX_Result HostEditor::Close()
{
  return mUI.Run([&] {
    if (!Editor())
      return AAX_ERROR_NULL_OBJECT;
    mOpen = false;
    return Editor()->SetViewContainer(nullptr);
  });
}

HWND HostEditor::EditorWindow()
{
  return mUI.Run([&] { return mFrame ? GetWindow(mFrame, GW_CHILD) : nullptr; });
}

SIZE HostEditor::EditorSize()
{
  return mUI.Run([&] { return ClientSize(mFrame ? GetWindow(mFrame, GW_CHILD) : nullptr); });
}

SIZE HostEditor::FrameSize()
{
  return mUI.Run([&] { return ClientSize(mFrame); });
}

} // namespace aaxhost
