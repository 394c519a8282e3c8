#pragma once

// Test helpers for the Win32 stand-in: windows whose procedure records what it receives, a pump,
// and a fixture that runs each test on a thread of its own with the display and the script reset.

#include "PlatformWindows.h"
#include "win32/testing/Win32Display.h"
#include "win32/testing/Win32Script.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace win32test {

struct Received
{
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// What a recording window received, and an optional handler that answers in its place (return
// true with the result set to answer; false lets DefWindowProc answer).
struct Recorder
{
  std::vector<Received> messages;
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;

  std::vector<UINT> Messages() const
  {
    std::vector<UINT> out;
    for (const auto& m : messages)
      out.push_back(m.message);
    return out;
  }
  int Count(UINT message) const
  {
    int n = 0;
    for (const auto& m : messages)
      n += m.message == message ? 1 : 0;
    return n;
  }
  const Received* Last(UINT message) const
  {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
      if (it->message == message)
        return &*it;
    return nullptr;
  }
};

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_NCCREATE)
  {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (recorder)
  {
    recorder->messages.push_back({hwnd, message, wParam, lParam});
    LRESULT result = 0;
    if (recorder->handler && recorder->handler(hwnd, message, wParam, lParam, result))
      return result;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline const wchar_t* RecordingClass(UINT style = CS_DBLCLKS | CS_OWNDC)
{
  static const wchar_t* const dblclks = L"RecordingWindow";
  static const wchar_t* const plain = L"RecordingWindowNoDblClks";
  const wchar_t* name = (style & CS_DBLCLKS) ? dblclks : plain;
  WNDCLASSW wc{};
  if (!GetClassInfoW(nullptr, name, &wc))
  {
    wc.style = style;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = name;
    wc.cbWndExtra = 16;
    RegisterClassW(&wc);
  }
  return name;
}

// A visible top-level window (WS_POPUP, so no frame) or child, recording into the recorder.
inline HWND MakeWindow(Recorder& recorder, int x, int y, int width, int height, HWND parent = nullptr,
                       DWORD style = WS_VISIBLE, UINT classStyle = CS_DBLCLKS | CS_OWNDC)
{
  style |= parent ? WS_CHILD : WS_POPUP;
  return CreateWindowExW(0, RecordingClass(classStyle), L"recording", style, x, y, width, height, parent, nullptr,
                         nullptr, &recorder);
}

// Retrieves and dispatches until nothing is waiting (a paint that is not validated would repeat, so
// at most `limit` messages are handled).
inline int Pump(int limit = 1000)
{
  MSG msg;
  int handled = 0;
  while (handled < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
  {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++handled;
  }
  return handled;
}

inline void OnFreshThread(const std::function<void()>& body)
{
  std::thread thread(body);
  thread.join();
}

// Each test body runs on a new thread, with the display and the script at their defaults.
class Win32Test : public ::testing::Test
{
protected:
  void SetUp() override
  {
    win32compat::display::Reset();
    win32compat::script::Reset();
  }
  void TearDown() override
  {
    win32compat::display::Reset();
    win32compat::script::Reset();
  }
};

} // namespace win32test
