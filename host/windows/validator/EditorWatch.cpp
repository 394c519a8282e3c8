// The editor's frames on Windows, read as the user sees them: from the screen. Where the system
// does not compose the editor's OpenGL frames onto the screen (Wine 8 keeps a child window's
// frames in an X window of its own), the screen shows one flat colour, and the frames are read
// back through WGL from the window's own buffers instead (ReadOpenGLFrame).

#include "EditorWatch.h"

#include <chrono>
#include <thread>

#include "EditorCaseSteps.h"
#include "EditorFrame.h"
#include "HostUIThread.h"
#include "ScreenPicture.h"

namespace aaxhost::cases {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The same picture for this long and the frame is taken as settled: longer than a few display
// ticks, so an editor still drawing its first frames is seen changing.
constexpr milliseconds kQuiet{150};
constexpr milliseconds kPoll{25};

enum class FrameSource
{
  Undecided,
  Screen,
  OpenGL,
};

// Decided by the first picture that is not flat; each case runs in a process of its own.
FrameSource sSource = FrameSource::Undecided;

Picture PictureOf(ScreenPicture&& picture)
{
  return Picture{picture.width, picture.height, std::move(picture.rgba)};
}

// The editor's frame as it shows now; an empty picture while no source shows more than one colour.
Picture ReadFrame(HostEditor& editor, HWND window)
{
  if (sSource != FrameSource::OpenGL)
  {
    ScreenPicture screen = CaptureClientArea(window);
    if (!IsFlat(screen))
    {
      sSource = FrameSource::Screen;
      return PictureOf(std::move(screen));
    }
  }
  if (sSource != FrameSource::Screen)
  {
    // On the window's own thread, between two of its frames.
    ScreenPicture own = editor.UIThread().Run([window] { return ReadOpenGLFrame(window); });
    if (!IsFlat(own))
    {
      sSource = FrameSource::OpenGL;
      return PictureOf(std::move(own));
    }
  }
  return {};
}

} // namespace

std::vector<UINT> EditorDensities()
{
  return {DisplayDpi()};
}

std::string FrameSourceNote()
{
  if (sSource != FrameSource::OpenGL)
    return {};
  return "the screen showed the editor's window as one flat colour (the system did not compose its OpenGL "
         "frames there): its frames were read back through WGL from the window's own colour buffers";
}

Picture AwaitFrame(HostEditor& editor, SIZE size, bool settled, std::string& seen)
{
  const auto deadline = Clock::now() + kFramePatience;
  Picture last;
  auto lastChange = Clock::now();
  for (;;)
  {
    HWND window = editor.EditorWindow();
    Picture now = window ? ReadFrame(editor, window) : Picture{};
    const auto at = Clock::now();
    if (now.width != last.width || now.height != last.height || now.rgba != last.rgba)
    {
      last = std::move(now);
      lastChange = at;
    }
    if (last.width == size.cx && last.height == size.cy && (!settled || at - lastChange >= kQuiet))
      return last;
    if (at >= deadline)
    {
      seen = !window        ? "no editor window"
             : last.Empty() ? "nothing but one flat colour on the screen and in the window's colour buffers"
                            : "a frame of " + SizeText(SIZE{last.width, last.height}) + " in a window of " +
                                SizeText(editor.EditorSize());
      return Picture{};
    }
    std::this_thread::sleep_for(kPoll);
  }
}

} // namespace aaxhost::cases
