#pragma once

// The headless display behind our Win32 stand-in, for tests and tools; not part of Win32.
//
// It holds what a real machine would decide: the DPI of each window, the Windows version, the
// digitizer, the vertical-blank clock; it lets tests act as a
// user would, posting real input messages into windows; and it keeps the frames that OpenGL
// presented into each window (SwapBuffers) as RGBA images.
//
// Injection calls may be made from any thread: the messages go into the input queue of the
// thread that owns the target window, to be retrieved by its message loop. Coordinates are
// client coordinates of the window named in the call (physical pixels, as on Windows).

#include "../api/Win32Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win32compat::display {

// --- Settings ---------------------------------------------------------------------------------

// Back to the defaults below: the vertical-blank functions available, a real-time 60 Hz vertical
// blank, Windows 10.0.19045, no digitizer; also releases every key and button and puts the cursor
// at (0, 0). The screen is always 1920 x 1080, new top-level windows get 96 DPI, and the keyboard
// has the US layout.
void Reset();

// Sets the DPI of the window and all its descendants, as moving it to another monitor would.
bool SetWindowDpi(HWND hwnd, UINT dpi);
// The SM_DIGITIZER metric (NID_ flags) and SM_MAXIMUMTOUCHES.
void SetDigitizer(int digitizerFlags, int maximumTouches);
// The version that VerifyVersionInfo compares with.
void SetWindowsVersion(DWORD major, DWORD minor, DWORD build);

// --- Vertical blank ---------------------------------------------------------------------------
// D3DKMTWaitForVerticalBlankEvent waits for the next blank of a simulated 60 Hz clock. In manual
// mode the blanks happen only when VerticalBlank is called, so tests can count ticks exactly.

// Whether "gdi32.dll" exports the three D3DKMT functions (false: before Windows 8).
void SetVerticalBlankFunctionsAvailable(bool available);
void SetManualVerticalBlank(bool manual);
// One blank: releases every wait in progress (manual mode; in real-time mode an extra blank).
void VerticalBlank();
// How many threads are waiting for a blank right now.
int VerticalBlankWaiters();
// The next count waits fail (as when the display goes away), or the next count adapter opens.
void FailVerticalBlankWaits(int count);
void FailAdapterOpens(int count);

// --- Input ------------------------------------------------------------------------------------
// Each returns whether a message was queued (false: no such window, or nothing there to take
// it). The MK_ keys of mouse messages and the modifiers of key messages come from the keys held
// through KeyDown; button presses change the button state the same way.

// The extra information of input from a pen and from a touch promoted to mouse messages.
constexpr ULONG_PTR kPenSignature = 0xFF515700;
constexpr ULONG_PTR kTouchSignature = 0xFF515780;

enum class Button
{
  Left,
  Right,
  Middle,
};

bool MouseMove(HWND hwnd, int x, int y, ULONG_PTR extraInfo = 0);
// A second press of the same button on the same window within the double-click time and
// distance becomes a WM_xBUTTONDBLCLK when the window's class has CS_DBLCLKS.
bool MouseDown(HWND hwnd, int x, int y, Button button = Button::Left, ULONG_PTR extraInfo = 0);
bool MouseUp(HWND hwnd, int x, int y, Button button = Button::Left, ULONG_PTR extraInfo = 0);
// Move, press and release.
bool Click(HWND hwnd, int x, int y, Button button = Button::Left);
// Move, press, release, press (a double click), release.
bool DoubleClick(HWND hwnd, int x, int y, Button button = Button::Left);
// delta in wheel units (WHEEL_DELTA = one notch); the message carries screen coordinates.
bool MouseWheel(HWND hwnd, int x, int y, int delta, bool horizontal = false);

// To the focus window of the thread that owns hwnd (hwnd itself when that thread has none).
// With Alt held (and not Ctrl), and for F10 and Alt itself, the messages are WM_SYSKEYDOWN/UP.
// VK_SHIFT, VK_CONTROL and VK_MENU stand for the left keys.
bool KeyDown(HWND hwnd, UINT virtualKey);
bool KeyUp(HWND hwnd, UINT virtualKey);
bool KeyPress(HWND hwnd, UINT virtualKey);
// Presses the keys that type the text on the US layout (Shift as needed); false when a
// character has no key.
bool TypeText(HWND hwnd, std::wstring_view text);

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

bool DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& paths);

// --- Cursor -----------------------------------------------------------------------------------
// The IDC_ number of a system cursor handle (0 for NULL or another handle).
int CursorId(HCURSOR cursor);
HCURSOR CurrentCursor();
bool CursorVisible();

// --- Timers -----------------------------------------------------------------------------------
// The period in milliseconds of the window's timer with this identifier, as SetTimer kept it;
// 0 when the window has no such timer.
UINT WindowTimerPeriod(HWND hwnd, UINT_PTR id);

// --- Objects ----------------------------------------------------------------------------------
// What the stand-in holds right now, so that a test can open and close something many times and
// see that nothing piles up. Stock objects, the desktop window and the screen DC are not counted.
struct LiveObjectCounts
{
  size_t windows = 0;
  size_t gdiObjects = 0; // DCs, fonts, brushes, regions
  size_t glContexts = 0;
  size_t glSurfaces = 0; // window back buffers
  size_t frames = 0;     // windows with a presented frame
  size_t menus = 0;
  size_t globalBlocks = 0;
  size_t kernelHandles = 0; // threads, mutexes, files, mappings
  size_t inputHandles = 0;  // touch inputs and drops not yet closed
  size_t memoryFonts = 0;   // AddFontMemResourceEx handles

  bool operator==(const LiveObjectCounts&) const = default;
};
LiveObjectCounts LiveObjects();

// --- Frames -----------------------------------------------------------------------------------
struct Frame
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba; // top row first, 4 bytes per pixel
  uint64_t serial = 0;       // 1 for the window's first presented frame; 0 when there is none
};

// The last frame presented into the window, or an empty frame.
Frame PresentedFrame(HWND hwnd);
uint64_t PresentCount(HWND hwnd);

} // namespace win32compat::display
