// Keeps Mesa's driver loaded for the whole test program.
//
// Every editor opens its own X display; when it closes the last one, Mesa unloads its driver and
// loads it again at the next opening. The driver never frees a few small blocks that only its
// own data still points at, so once it is unmapped LeakSanitizer finds them unreachable, from
// "<unknown module>", at every opening. Those blocks are Mesa's, not ours; loaded once and kept,
// the driver's data stays readable and the blocks stay reachable, while a block our code loses
// is still reported.

// GoogleTest before Xlib, whose macros (None, Bool) would rewrite its names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <link.h>

namespace {

std::vector<std::string> LoadedDrivers()
{
  std::vector<std::string> names;
  dl_iterate_phdr(
    [](dl_phdr_info* info, size_t, void* out) {
      if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
        static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
      return 0;
    },
    &names);
  return names;
}

class DriverResidence : public ::testing::Environment
{
public:
  void SetUp() override
  {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
      return; // the tests themselves say there is no display
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
    if (XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes))
    {
      if (GLXContext context = glXCreateContext(display, visual, nullptr, True))
      {
        for (const std::string& name : LoadedDrivers())
          dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        glXDestroyContext(display, context);
      }
      XFree(visual);
    }
    XCloseDisplay(display);
  }
};

const ::testing::Environment* const kDriverResidence = ::testing::AddGlobalTestEnvironment(new DriverResidence);

} // namespace
