#include "X11EditorFixture.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace x11test {

using iplug::igraphics::IGraphicsX11;

CorvaneTestDelegate::CorvaneTestDelegate() : RecordingEditorDelegate(kNumParams)
{
  DefineCorvaneParameters(*this);
  SetMakeGraphicsFunc([this]() -> iplug::IEditorView* {
    auto* graphics = new IGraphicsX11(this, kFaceWidth, kFaceHeight, 60, 1.f);
    graphics->SetModuleInstance(const_cast<char*>(CORVANE_RESOURCE_DIR));
    return graphics;
  });
  SetLayoutFunc(LayoutCorvaneEditor);
}

IGraphicsX11* CorvaneTestDelegate::Graphics() { return static_cast<IGraphicsX11*>(GetUI()); }

void X11EditorFixture::SetUp()
{
  display = XOpenDisplay(nullptr);
  if (!display)
    GTEST_SKIP() << "no X display (these tests run under the Xvfb that their runner starts)";
  SetDpi(96);
  const int screen = DefaultScreen(display);
  parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 2400, 600, 0, 0,
                               BlackPixel(display, screen));
  XSelectInput(display, parent, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapWindow(display, parent);
  XSync(display, False);
  delegate = std::make_unique<CorvaneTestDelegate>();
}

void X11EditorFixture::TearDown()
{
  if (!display)
    return;
  Close();
  delegate.reset();
  DestroyParent();
  SetDpi(96);
  XCloseDisplay(display);
}

void X11EditorFixture::SetDpi(int dpi)
{
  const std::string resources = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
  XChangeProperty(display, DefaultRootWindow(display), XInternAtom(display, "RESOURCE_MANAGER", False), XA_STRING, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                  static_cast<int>(resources.size()));
  XSync(display, False);
}

Window X11EditorFixture::Open()
{
  editor = static_cast<Window>(reinterpret_cast<uintptr_t>(delegate->OpenEditorWindow(reinterpret_cast<void*>(parent))));
  if (editor)
  {
    // The window is mapped and drawn once the server has exposed it and a tick has passed.
    Idle(200);
  }
  return editor;
}

void X11EditorFixture::Close()
{
  if (delegate)
    delegate->CloseEditorWindow();
  editor = 0;
  XSync(display, False);
}

void X11EditorFixture::Idle(int milliseconds)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do
  {
    if (auto* graphics = delegate ? delegate->Graphics() : nullptr)
      graphics->OnIdle();
    while (XPending(display) > 0)
    {
      XEvent event{};
      XNextEvent(display, &event);
      if (event.type == KeyPress && event.xkey.window == parent)
        parentKeys.push_back(event.xkey.keycode);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < end);
}

void X11EditorFixture::MovePointer(int x, int y)
{
  // The parent sits at the root's origin and the editor at the parent's.
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XSync(display, False);
  Idle(20);
}

void X11EditorFixture::Button(unsigned int button, bool press)
{
  XTestFakeButtonEvent(display, button, press ? True : False, CurrentTime);
  XSync(display, False);
  Idle(20);
}

void X11EditorFixture::Click(unsigned int button, int x, int y)
{
  MovePointer(x, y);
  Button(button, true);
  Button(button, false);
}

void X11EditorFixture::Drag(int x1, int y1, int x2, int y2, int steps)
{
  MovePointer(x1, y1);
  Button(1, true);
  for (int i = 1; i <= steps; ++i)
    MovePointer(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
  Button(1, false);
}

void X11EditorFixture::Key(const char* keysymName, bool press)
{
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
  XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
  XSync(display, False);
  Idle(20);
}

unsigned int X11EditorFixture::KeyCodeOf(const char* keysymName)
{
  return XKeysymToKeycode(display, XStringToKeysym(keysymName));
}

void X11EditorFixture::WindowSize(Window window, int& width, int& height)
{
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, window, &attributes);
  width = attributes.width;
  height = attributes.height;
}

Picture X11EditorFixture::Capture(Window window)
{
  Picture picture;
  int w = 0, h = 0;
  WindowSize(window, w, h);
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image)
    return picture;
  picture.width = w;
  picture.height = h;
  picture.rgba.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  for (int y = 0; y < h; ++y)
  {
    for (int x = 0; x < w; ++x)
    {
      const unsigned long pixel = XGetPixel(image, x, y);
      uint8_t* out = &picture.rgba[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4];
      out[0] = static_cast<uint8_t>((pixel & image->red_mask) >> 16);
      out[1] = static_cast<uint8_t>((pixel & image->green_mask) >> 8);
      out[2] = static_cast<uint8_t>(pixel & image->blue_mask);
      out[3] = 255;
    }
  }
  XDestroyImage(image);
  return picture;
}

void X11EditorFixture::DestroyParent()
{
  if (parent)
    XDestroyWindow(display, parent);
  parent = 0;
  XSync(display, False);
}

int X11EditorFixture::ChildCount()
{
  Window root = 0, parentOfParent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  XQueryTree(display, parent, &root, &parentOfParent, &children, &n);
  if (children)
    XFree(children);
  return static_cast<int>(n);
}

long CountDifferentPixels(const Picture& a, const Picture& b, int levels)
{
  if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size())
    return -1;
  long count = 0;
  for (size_t i = 0; i < a.rgba.size(); i += 4)
  {
    for (size_t c = 0; c < 3; ++c)
    {
      if (std::abs(static_cast<int>(a.rgba[i + c]) - static_cast<int>(b.rgba[i + c])) > levels)
      {
        ++count;
        break;
      }
    }
  }
  return count;
}

Picture LoadPng(const std::string& path)
{
  Picture picture;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 4);
  if (!data)
    return Picture{};
  picture.rgba.assign(data, data + static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4);
  stbi_image_free(data);
  return picture;
}

void SavePng(const Picture& picture, const std::string& path)
{
  stbi_write_png(path.c_str(), picture.width, picture.height, 4, picture.rgba.data(), picture.width * 4);
}

} // namespace x11test
