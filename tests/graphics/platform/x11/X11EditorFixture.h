#pragma once

// The product's editor in an X11 window on a real X server (the Xvfb that the test's runner
// starts), hosted by a small parent window as an LV2 host would host it: the test's thread is
// the UI thread and makes the host's idle calls; input goes in as real X events through XTEST;
// pictures come back from the server with XGetImage.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CorvaneLayout.h"
#include "CorvaneParameters.h"
#include "IGraphicsX11.h"
#include "support/RecordingEditorDelegate.h"

struct _XDisplay;

namespace x11test {

// An X window identifier (Xlib's headers stay out of the tests: their macros clash with gtest's).
using Window = unsigned long;
using Display = _XDisplay;

constexpr int kFaceWidth = 1086;
constexpr int kFaceHeight = 214;

// RGBA pixels, rows top down.
struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// The product's parameters and face on a recording delegate; its host takes every resize.
class CorvaneTestDelegate : public iplug::RecordingEditorDelegate
{
public:
  CorvaneTestDelegate();
  iplug::igraphics::IGraphicsX11* Graphics();
};

class X11EditorFixture : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  // The server's density as the desktop publishes it (the Xft.dpi resource on the root window).
  void SetDpi(int dpi);
  // Opens the editor in the parent window and idles until its first frame is on the screen.
  Window Open();
  void Close();
  // Host idle calls at the display's rate for this long.
  void Idle(int milliseconds);
  // Idles until the condition holds (false after two seconds).
  template <typename Condition>
  bool IdleUntil(Condition condition)
  {
    for (int i = 0; i < 400; ++i)
    {
      if (condition())
        return true;
      Idle(5);
    }
    return condition();
  }

  // Real input through XTEST, at physical pixels of the editor's window.
  void MovePointer(int x, int y);
  void Button(unsigned int button, bool press);
  void Click(unsigned int button, int x, int y);
  // Press at the start, `steps` moves, release at the end; the editor idles between events.
  void Drag(int x1, int y1, int x2, int y2, int steps);
  void Key(const char* keysymName, bool press);
  // The server's key code of a key, by its keysym name.
  unsigned int KeyCodeOf(const char* keysymName);

  // Size of a window, and what the server shows of it.
  void WindowSize(Window window, int& width, int& height);
  Picture Capture(Window window);
  // The host's window goes away, as a host may take it away before closing the editor.
  void DestroyParent();
  // Windows inside the parent.
  int ChildCount();

  Display* display = nullptr;
  Window parent = 0;
  Window editor = 0;
  std::unique_ptr<CorvaneTestDelegate> delegate;
  // Keys that reached the parent (the host's window).
  std::vector<unsigned int> parentKeys;
};

// Pixels with a channel more than `levels` away from the reference; -1 when the sizes differ.
long CountDifferentPixels(const Picture& a, const Picture& b, int levels);
Picture LoadPng(const std::string& path);
void SavePng(const Picture& picture, const std::string& path);

} // namespace x11test
