#pragma once

// What the window-layer tests ask of the display their windows live on: input given as a user
// gives it, the picture a window presented, and counts of what the process holds. Two builds of
// it exist and the build compiles one: the Win32 stand-in's headless display
// (TestDisplayStandIn.cpp) and a real Win32 (TestDisplayWin32.cpp), where input arrives as window
// messages and through SendInput, and frames are read back through WGL.
//
// Coordinates are client coordinates of the window named in the call, in physical pixels.

#include "PlatformWindows.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testdisplay {

// Releases every key and button, puts the pointer in the screen's top-left corner and the
// display's settings back.
void Reset();

// --- Input ------------------------------------------------------------------------------------
// Each returns whether the input was queued. Mouse messages carry the buttons pressed through
// this seam and the modifier keys held.

enum class Button
{
  Left,
  Right,
  Middle,
};

// The extra information of input from a pen and from a touch promoted to mouse messages.
constexpr ULONG_PTR kPenSignature = 0xFF515700;
constexpr ULONG_PTR kTouchSignature = 0xFF515780;

bool MouseMove(HWND hwnd, int x, int y);
// extraInfo is what GetMessageExtraInfo answers for the press's and the release's messages.
bool MouseDown(HWND hwnd, int x, int y, Button button = Button::Left, ULONG_PTR extraInfo = 0);
bool MouseUp(HWND hwnd, int x, int y, Button button = Button::Left, ULONG_PTR extraInfo = 0);
bool Click(HWND hwnd, int x, int y, Button button = Button::Left);
// delta in wheel units (WHEEL_DELTA = one notch).
bool MouseWheel(HWND hwnd, int x, int y, int delta);

// To the keyboard focus of the thread that owns hwnd. VK_SHIFT, VK_CONTROL and VK_MENU stand for
// the left keys.
bool KeyDown(HWND hwnd, UINT virtualKey);
bool KeyUp(HWND hwnd, UINT virtualKey);
bool KeyPress(HWND hwnd, UINT virtualKey);
// Presses the keys that type the text on the keyboard's layout (Shift as needed); false when a
// character has no key.
bool TypeText(HWND hwnd, std::wstring_view text);

bool DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& paths);

// --- What only a simulated display does -------------------------------------------------------
// A real Win32 answers false to each: Windows gives a density per monitor, not per window, has no
// digitizer that a program can set, and takes touch input only from a device.

bool SetWindowDpi(HWND hwnd, UINT dpi);
// The SM_DIGITIZER metric (NID_ flags) and SM_MAXIMUMTOUCHES.
bool SetDigitizer(int digitizerFlags, int maximumTouches);

struct TouchContact
{
  enum class Phase
  {
    Down,
    Move,
    Up,
  };
  DWORD id = 0;
  int x = 0; // client coordinates of the window named in Touch
  int y = 0;
  Phase phase = Phase::Down;
  int width = 0; // contact size in pixels; 0 leaves the contact area out
  int height = 0;
};
// One touch frame: to the window under the first contact.
bool Touch(HWND hwnd, const std::vector<TouchContact>& contacts);

// --- Cursor -----------------------------------------------------------------------------------
// The IDC_ number of a system cursor handle (0 for NULL or another handle).
int CursorId(HCURSOR cursor);
HCURSOR CurrentCursor();
bool CursorVisible();

// --- Frames -----------------------------------------------------------------------------------
struct Frame
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba; // top row first, 4 bytes per pixel
};

// The last frame OpenGL presented into the window; empty when there is none. Call on the
// window's thread, between its frames.
Frame PresentedFrame(HWND hwnd);
// Whether the window has presented a frame. Call on the window's thread.
bool HasPresented(HWND hwnd);
// How many frames the window presented, where the display can count them.
std::optional<uint64_t> PresentCount(HWND hwnd);

// --- Objects ----------------------------------------------------------------------------------
// What the process holds right now, so that a test can open and close something and see that
// nothing piles up. A count the display cannot take stays 0; Unmeasured says which.
struct Objects
{
  size_t windows = 0;
  size_t gdiObjects = 0;    // DCs, fonts, brushes, regions
  size_t kernelHandles = 0; // threads, events, files, mappings
  size_t memoryFonts = 0;   // fonts added from memory, private to the process
  size_t inputHandles = 0;  // touch inputs and drops not yet closed
  size_t glContexts = 0;
  size_t menus = 0;

  bool operator==(const Objects&) const = default;
};
Objects LiveObjects();

enum class Count
{
  GdiObjects,
  KernelHandles,
  MemoryFonts,
  InputHandles,
  Frames,
};
// Why this display cannot take the count; nullopt when it can.
std::optional<std::string> Unmeasured(Count count);

} // namespace testdisplay

// Skips the test, with the display's reason, when the count it rests on cannot be taken here.
#define SKIP_UNLESS_MEASURED(count)                                                                \
  if (const std::optional<std::string> why = ::testdisplay::Unmeasured(count))                    \
  GTEST_SKIP() << *why
