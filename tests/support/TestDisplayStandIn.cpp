// The test display on the Win32 stand-in: its headless display does every part itself, so each
// call hands over to it, and every count can be taken. Resetting it also clears the scripted
// user's answers (dialogs, menus, clipboard).

#include "support/TestDisplay.h"

#include "win32/testing/Win32Display.h"
#include "win32/testing/Win32Script.h"

namespace testdisplay {

namespace display = win32compat::display;

namespace {

display::Button StandInButton(Button button)
{
  switch (button)
  {
  case Button::Right:
    return display::Button::Right;
  case Button::Middle:
    return display::Button::Middle;
  case Button::Left:
    break;
  }
  return display::Button::Left;
}

} // namespace

void Reset()
{
  display::Reset();
  win32compat::script::Reset();
}

bool MouseMove(HWND hwnd, int x, int y) { return display::MouseMove(hwnd, x, y); }
bool MouseDown(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return display::MouseDown(hwnd, x, y, StandInButton(button), extraInfo);
}
bool MouseUp(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return display::MouseUp(hwnd, x, y, StandInButton(button), extraInfo);
}
bool Click(HWND hwnd, int x, int y, Button button) { return display::Click(hwnd, x, y, StandInButton(button)); }
bool MouseWheel(HWND hwnd, int x, int y, int delta) { return display::MouseWheel(hwnd, x, y, delta); }

bool KeyDown(HWND hwnd, UINT virtualKey) { return display::KeyDown(hwnd, virtualKey); }
bool KeyUp(HWND hwnd, UINT virtualKey) { return display::KeyUp(hwnd, virtualKey); }
bool KeyPress(HWND hwnd, UINT virtualKey) { return display::KeyPress(hwnd, virtualKey); }
bool TypeText(HWND hwnd, std::wstring_view text) { return display::TypeText(hwnd, text); }

bool DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& paths)
{
  return display::DropFiles(hwnd, x, y, paths);
}

bool SetWindowDpi(HWND hwnd, UINT dpi) { return display::SetWindowDpi(hwnd, dpi); }

bool SetDigitizer(int digitizerFlags, int maximumTouches)
{
  display::SetDigitizer(digitizerFlags, maximumTouches);
  return true;
}

bool Touch(HWND hwnd, const std::vector<TouchContact>& contacts)
{
  std::vector<display::TouchContact> standIn;
  for (const TouchContact& c : contacts)
  {
    display::TouchContact contact;
    contact.id = c.id;
    contact.x = c.x;
    contact.y = c.y;
    contact.phase = c.phase == TouchContact::Phase::Down ? display::TouchContact::Phase::Down
                    : c.phase == TouchContact::Phase::Move ? display::TouchContact::Phase::Move
                                                           : display::TouchContact::Phase::Up;
    contact.width = c.width;
    contact.height = c.height;
    standIn.push_back(contact);
  }
  return display::Touch(hwnd, standIn);
}

int CursorId(HCURSOR cursor) { return display::CursorId(cursor); }
HCURSOR CurrentCursor() { return display::CurrentCursor(); }
bool CursorVisible() { return display::CursorVisible(); }

Frame PresentedFrame(HWND hwnd)
{
  display::Frame presented = display::PresentedFrame(hwnd);
  return Frame{presented.width, presented.height, std::move(presented.rgba)};
}

bool HasPresented(HWND hwnd) { return display::PresentCount(hwnd) > 0; }
std::optional<uint64_t> PresentCount(HWND hwnd) { return display::PresentCount(hwnd); }

Objects LiveObjects()
{
  const display::LiveObjectCounts live = display::LiveObjects();
  Objects objects;
  objects.windows = live.windows;
  objects.gdiObjects = live.gdiObjects;
  objects.kernelHandles = live.kernelHandles;
  objects.memoryFonts = live.memoryFonts;
  objects.inputHandles = live.inputHandles;
  objects.glContexts = live.glContexts + live.glSurfaces + live.frames;
  objects.menus = live.menus + live.globalBlocks;
  return objects;
}

std::optional<std::string> Unmeasured(Count) { return std::nullopt; }

} // namespace testdisplay
