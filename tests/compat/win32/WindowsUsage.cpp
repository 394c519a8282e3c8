#include "WindowsUsage.h"

#include <GL/gl.h>

#include <cstring>

namespace usage {

HGLRC CreateGlContext(HWND hwnd)
{
  HDC dc = GetDC(hwnd);
  PIXELFORMATDESCRIPTOR pfd;
  std::memset(&pfd, 0, sizeof pfd);
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  HGLRC context = nullptr;
  const int format = ChoosePixelFormat(dc, &pfd);
  if (format && SetPixelFormat(dc, format, &pfd))
  {
    context = wglCreateContext(dc);
    if (context && !wglMakeCurrent(dc, context))
    {
      wglDeleteContext(context);
      context = nullptr;
    }
  }
  ReleaseDC(hwnd, dc);
  return context;
}

std::vector<RECT> PaintWithGl(HWND hwnd, HGLRC context, float red, float green, float blue)
{
  std::vector<RECT> painted;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetUpdateRgn(hwnd, region, FALSE);
  if (kind == SIMPLEREGION || kind == COMPLEXREGION)
  {
    alignas(RGNDATA) char buffer[1024];
    auto* data = reinterpret_cast<RGNDATA*>(buffer);
    if (GetRegionData(region, sizeof buffer, data) != 0)
    {
      const auto* rects = reinterpret_cast<const RECT*>(buffer + sizeof(RGNDATAHEADER));
      painted.assign(rects, rects + data->rdh.nCount);
    }
    else
    {
      RECT box;
      GetRgnBox(region, &box);
      painted.push_back(box);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    wglMakeCurrent(dc, context);
    RECT client;
    GetClientRect(hwnd, &client);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(red, green, blue, 1.0f);
    for (const RECT& r : painted)
    {
      // GL counts rows from the bottom.
      glScissor(r.left, client.bottom - r.bottom, r.right - r.left, r.bottom - r.top);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    SwapBuffers(dc);
    EndPaint(hwnd, &ps);
  }
  ValidateRect(hwnd, nullptr);
  DeleteObject(region);
  return painted;
}

DWORD WINAPI DisplayClockThread(LPVOID parameter)
{
  auto& clock = *static_cast<DisplayClock*>(parameter);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  HMODULE gdi = LoadLibraryA("gdi32.dll");
  auto openAdapter = reinterpret_cast<PFND3DKMT_OPENADAPTERFROMHDC>(
      reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTOpenAdapterFromHdc")));
  auto closeAdapter =
      reinterpret_cast<PFND3DKMT_CLOSEADAPTER>(reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTCloseAdapter")));
  auto waitForBlank = reinterpret_cast<PFND3DKMT_WAITFORVERTICALBLANKEVENT>(
      reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTWaitForVerticalBlankEvent")));
  D3DKMT_OPENADAPTERFROMHDC adapter;
  std::memset(&adapter, 0, sizeof adapter);
  bool open = false;
  while (!clock.stop.load())
  {
    if (openAdapter && closeAdapter && waitForBlank)
    {
      if (!open)
      {
        HDC dc = GetDC(clock.window);
        adapter.hDc = dc;
        open = openAdapter(&adapter) == 0;
        ReleaseDC(clock.window, dc);
        if (!open)
        {
          Sleep(16);
          continue;
        }
      }
      D3DKMT_WAITFORVERTICALBLANKEVENT wait;
      wait.hAdapter = adapter.hAdapter;
      wait.hDevice = 0;
      wait.VidPnSourceId = adapter.VidPnSourceId;
      if (waitForBlank(&wait) != 0)
      {
        D3DKMT_CLOSEADAPTER close;
        close.hAdapter = adapter.hAdapter;
        closeAdapter(&close);
        open = false;
        Sleep(16);
        continue;
      }
      clock.usedVerticalBlank = true;
    }
    else
      Sleep(16);
    const int count = ++clock.ticks;
    PostMessageA(clock.window, clock.message, static_cast<WPARAM>(count), 0);
  }
  if (open)
  {
    D3DKMT_CLOSEADAPTER close;
    close.hAdapter = adapter.hAdapter;
    closeAdapter(&close);
  }
  FreeLibrary(gdi);
  return 0;
}

UINT DpiOf(HWND hwnd)
{
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  return getDpi ? getDpi(hwnd) : 96;
}

int TranslateKeyMessage(WPARAM virtualKey, LPARAM lParam, std::wstring& text)
{
  BYTE keys[256];
  GetKeyboardState(keys);
  WCHAR buffer[4] = {};
  const UINT scanCode = (static_cast<UINT>(lParam) >> 16) & 0xFF;
  const int count = ToUnicode(static_cast<UINT>(virtualKey), scanCode, keys, buffer, 4, 0);
  text.assign(buffer, count > 0 ? static_cast<size_t>(count) : (count < 0 ? 1u : 0u));
  return count;
}

bool PutTextOnClipboard(HWND owner, const std::string& utf8)
{
  if (!OpenClipboard(owner))
    return false;
  EmptyClipboard();
  bool placed = false;
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (count > 1)
  {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(count) * sizeof(WCHAR));
    if (auto* wide = static_cast<WCHAR*>(GlobalLock(block)))
    {
      MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, count);
      GlobalUnlock(block);
      placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    if (!placed)
      GlobalFree(block);
  }
  CloseClipboard();
  return placed;
}

bool TakeTextFromClipboard(std::string& utf8)
{
  utf8.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr))
    return false;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT))
  {
    if (const auto* wide = static_cast<const WCHAR*>(GlobalLock(block)))
    {
      const int count = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (count > 1)
      {
        utf8.resize(static_cast<size_t>(count));
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], count, nullptr, nullptr);
        utf8.resize(static_cast<size_t>(count - 1));
      }
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return !utf8.empty();
}

namespace {

LRESULT CALLBACK TextEntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto* entry = reinterpret_cast<TextEntry*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!entry)
    return 0;
  switch (message)
  {
  case WM_KEYDOWN:
    if (wParam == VK_RETURN)
    {
      ++entry->commits;
      return 0;
    }
    if (wParam == VK_ESCAPE)
    {
      ++entry->cancels;
      return 0;
    }
    break;
  case WM_CHAR:
    if ((wParam >= 'a' && wParam <= 'z') || (wParam >= 'A' && wParam <= 'Z'))
      return 0;
    break;
  default: break;
  }
  return CallWindowProcW(entry->previous, hwnd, message, wParam, lParam);
}

} // namespace

void InstallTextEntry(HWND edit, TextEntry& entry)
{
  SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&entry));
  entry.previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextEntryProc)));
}

std::vector<unsigned char> FontBytes(const wchar_t* family, bool collection)
{
  LOGFONTW lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = -14;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  wcsncpy(lf.lfFaceName, family, LF_FACESIZE - 1);
  std::vector<unsigned char> bytes;
  HFONT font = CreateFontIndirectW(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  const DWORD table = collection ? 0x66637474 : 0;
  const DWORD size = GetFontData(dc, table, 0, nullptr, 0);
  if (size != GDI_ERROR && size > 0)
  {
    bytes.resize(size);
    if (GetFontData(dc, table, 0, bytes.data(), size) != size)
      bytes.clear();
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(font);
  return bytes;
}

} // namespace usage
