#include "X11ErrorTrap.h"

#include <algorithm>
#include <vector>

namespace iplug::igraphics {

namespace {

bool sXError = false;

int NoteXError(Display*, XErrorEvent*)
{
  sXError = true;
  return 0;
}

std::vector<Display*> sGuarded;
XErrorHandler sBeforeGuard = nullptr;
bool sGuardInstalled = false;

int GuardErrors(Display* display, XErrorEvent* event)
{
  if (std::find(sGuarded.begin(), sGuarded.end(), display) != sGuarded.end())
    return 0;
  return sBeforeGuard ? sBeforeGuard(display, event) : 0;
}

} // namespace

void GuardDisplay(Display* display)
{
  if (!sGuardInstalled)
  {
    sBeforeGuard = XSetErrorHandler(&GuardErrors);
    sGuardInstalled = true;
  }
  sGuarded.push_back(display);
}

void UnguardDisplay(Display* display)
{
  // What is still on its way fails while the display is guarded.
  XSync(display, False);
  sGuarded.erase(std::remove(sGuarded.begin(), sGuarded.end(), display), sGuarded.end());
  if (!sGuarded.empty() || !sGuardInstalled)
    return;
  // A handler installed after ours stays; the code it may hand errors on to leaves with us.
  const XErrorHandler current = XSetErrorHandler(sBeforeGuard);
  if (current != &GuardErrors)
    XSetErrorHandler(current);
  sGuardInstalled = false;
}

X11ErrorTrap::X11ErrorTrap(Display* display) : mDisplay(display)
{
  XSync(mDisplay, False);
  sXError = false;
  mPrevious = XSetErrorHandler(&NoteXError);
}

X11ErrorTrap::~X11ErrorTrap()
{
  XSync(mDisplay, False);
  XSetErrorHandler(mPrevious);
}

bool X11ErrorTrap::Failed()
{
  XSync(mDisplay, False);
  return sXError;
}

} // namespace iplug::igraphics
