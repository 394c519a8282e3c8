#include "ScreenPicture.h"

#include <algorithm>
#include <cstddef>

#include <GL/gl.h>

namespace aaxhost {

ScreenPicture CaptureClientArea(HWND window)
{
  RECT client{};
  if (!window || !GetClientRect(window, &client) || client.right < 1 || client.bottom < 1)
    return {};
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const int width = client.right;
  const int height = client.bottom;

  ScreenPicture picture;
  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (dib && bits)
  {
    HGDIOBJ old = SelectObject(memory, dib);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory, old);
    if (copied)
    {
      const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
      const auto* bgra = static_cast<const uint8_t*>(bits);
      picture.width = width;
      picture.height = height;
      picture.rgba.resize(pixels * 4u);
      for (size_t i = 0; i < pixels; ++i)
      {
        picture.rgba[4 * i + 0] = bgra[4 * i + 2];
        picture.rgba[4 * i + 1] = bgra[4 * i + 1];
        picture.rgba[4 * i + 2] = bgra[4 * i + 0];
        picture.rgba[4 * i + 3] = 255;
      }
    }
  }
  if (dib)
    DeleteObject(dib);
  if (memory)
    DeleteDC(memory);
  if (screen)
    ReleaseDC(nullptr, screen);
  return picture;
}

bool IsFlat(const ScreenPicture& picture)
{
  if (picture.rgba.size() < 4)
    return true;
  const auto first = picture.rgba.begin();
  for (auto p = first; p != picture.rgba.end(); p += 4)
    if (!std::equal(p, p + 4, first))
      return false;
  return true;
}

namespace {

// One colour buffer of the current context, top row first; empty when the read fails.
ScreenPicture ReadColourBuffer(GLenum buffer, int width, int height)
{
  const size_t rowBytes = static_cast<size_t>(width) * 4u;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
  glReadBuffer(buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  if (glGetError() != GL_NO_ERROR)
    return {};
  ScreenPicture picture;
  picture.width = width;
  picture.height = height;
  picture.rgba.resize(bottomUp.size());
  for (int y = 0; y < height; ++y)
    std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<size_t>(height - 1 - y)),
                rowBytes, picture.rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<size_t>(y)));
  for (size_t i = 3; i < picture.rgba.size(); i += 4)
    picture.rgba[i] = 255;
  return picture;
}

} // namespace

ScreenPicture ReadOpenGLFrame(HWND window)
{
  RECT client{};
  if (!window || !GetClientRect(window, &client) || client.right < 1 || client.bottom < 1)
    return {};
  HDC dc = GetDC(window);
  if (!dc)
    return {};
  ScreenPicture picture;
  HDC callersDC = wglGetCurrentDC();
  HGLRC callersContext = wglGetCurrentContext();
  HGLRC ours = GetPixelFormat(dc) > 0 ? wglCreateContext(dc) : nullptr;
  if (ours && wglMakeCurrent(dc, ours))
  {
    picture = ReadColourBuffer(GL_FRONT, client.right, client.bottom);
    if (IsFlat(picture))
      picture = ReadColourBuffer(GL_BACK, client.right, client.bottom);
  }
  wglMakeCurrent(callersDC, callersContext);
  if (ours)
    wglDeleteContext(ours);
  ReleaseDC(window, dc);
  return picture;
}

} // namespace aaxhost
