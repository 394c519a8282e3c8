#include "HostUIThread.h"

#include <stdexcept>

#include "PlatformWindows.h"

namespace aaxhost {

namespace {
// A private thread message whose lParam points at the work to run.
constexpr UINT kRunMessage = WM_APP + 1;
} // namespace

HostUIThread::HostUIThread()
{
  std::promise<DWORD> started;
  auto id = started.get_future();
  mThread = std::thread([&started] {
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts
    started.set_value(GetCurrentThreadId());
    while (GetMessage(&msg, nullptr, 0, 0) > 0)
      Handle(msg);
  });
  mThreadId = id.get();
}

void HostUIThread::Handle(const MSG& msg)
{
  if (msg.hwnd == nullptr && msg.message == kRunMessage)
  {
    (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
    return;
  }
  TranslateMessage(&msg);
  DispatchMessage(&msg);
}

void HostUIThread::Flush()
{
  Run([] {
    MSG msg;
    // A window whose paint never validates would keep WM_PAINT waiting for ever; the bound keeps
    // the host responsive with such an editor.
    for (int handled = 0; handled < 10000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++handled)
    {
      if (msg.message == WM_QUIT)
      {
        PostThreadMessage(GetCurrentThreadId(), WM_QUIT, msg.wParam, msg.lParam);
        return;
      }
      Handle(msg);
    }
  });
}

HostUIThread::~HostUIThread()
{
  PostThreadMessage(mThreadId, WM_QUIT, 0, 0);
  mThread.join();
}

void HostUIThread::Post(std::function<void()> work)
{
  // The caller waits for the result, so the work outlives its message.
  std::promise<void> posted;
  std::function<void()> call = [&] {
    work();
    posted.set_value();
  };
  auto done = posted.get_future();
  if (!PostThreadMessage(mThreadId, kRunMessage, 0, reinterpret_cast<LPARAM>(&call)))
    throw std::runtime_error("the UI thread's message queue takes no more work");
  done.wait();
}

} // namespace aaxhost
