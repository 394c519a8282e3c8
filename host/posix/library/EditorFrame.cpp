#include "EditorFrame.h"

#include "win32/testing/Win32Display.h"

namespace aaxhost {

void PrepareEditorFrame(HWND frame, UINT dpi)
{
  win32compat::display::SetWindowDpi(frame, dpi);
}

UINT DisplayDpi()
{
  return 96;
}

} // namespace aaxhost
