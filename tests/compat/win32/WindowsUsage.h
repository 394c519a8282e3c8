#pragma once

// Win32 code written the way the window layer writes it, for the stand-in's tests to drive. It
// uses nothing but the Win32 API, so scripts/test also compiles it against the real Windows
// headers: what works here must build there.

#include "PlatformWindows.h"

#include <atomic>
#include <string>
#include <vector>

namespace usage {

// A GL context on the window's DC: pixel format (double buffer, RGBA 32, depth 24, stencil 8),
// context, made current. NULL on failure; the DC is released.
HGLRC CreateGlContext(HWND hwnd);

// The paint handler of a GL window: reads the update region as rectangles (the whole bounding box
// when they do not fit 1024 bytes of region data), paints them with the colour in the GL context
// (glClear over each rectangle, scissored), swaps, validates. Returns the rectangles painted.
std::vector<RECT> PaintWithGl(HWND hwnd, HGLRC context, float red, float green, float blue);

// A display clock as the window layer runs one: looks the D3DKMT calls up in "gdi32.dll", opens the
// adapter of the window's DC, and after each vertical blank posts `message` with the tick count to
// the window, until `stop` is set; sleeps 16 ms between ticks when the calls are missing.
struct DisplayClock
{
  HWND window = nullptr;
  UINT message = 0x401;
  std::atomic<bool> stop{false};
  std::atomic<int> ticks{0};
  std::atomic<bool> usedVerticalBlank{false};
};
DWORD WINAPI DisplayClockThread(LPVOID clock);

// The window's DPI through the run-time look-up of "GetDpiForWindow"; 96 when it is missing.
UINT DpiOf(HWND hwnd);

// One character from a key message, as the key handler translates it: the count ToUnicode
// reported (-1 dead key, 0, 1 or 2) and the text.
int TranslateKeyMessage(WPARAM virtualKey, LPARAM lParam, std::wstring& text);

// Clipboard text through UTF-16 and global memory, as the platform services move it.
bool PutTextOnClipboard(HWND owner, const std::string& utf8);
bool TakeTextFromClipboard(std::string& utf8);

// A text entry procedure installed in front of an EDIT control's own: letters are swallowed,
// Return and Escape end the entry (recorded in the counters), the rest goes on to the control.
struct TextEntry
{
  WNDPROC previous = nullptr;
  int commits = 0;
  int cancels = 0;
};
void InstallTextEntry(HWND edit, TextEntry& entry);

// The font bytes of a family selected into a memory DC (0 bytes when GDI has none).
std::vector<unsigned char> FontBytes(const wchar_t* family, bool collection);

} // namespace usage
