#pragma once

#include <cstdint>

#include "AAX_IACFEffectGUI.h"
#include "HostObject.h"
#include "HostViewContainer.h"
#include "PlatformWindows.h"

namespace aaxhost {

class HostInstance;
class HostUIThread;

// The host's side of one plug-in editor, as a DAW shows it: the editor object built through the
// effect's procedure 1 and initialised with the instance's controller, a borderless top-level
// frame window in the display, and the view container that offers that frame as the editor's
// parent, reports the host's modifier keys, takes or leaves parameter clicks and resizes the
// frame when the editor asks.
//
// Every operation runs its work on the host's UI thread; call it from any other thread. The
// editor must go before its instance does.
class HostEditor
{
public:
  struct Options
  {
    UINT dpi = 96;                          // the frame's display density
    bool hostTakesParameterClicks = false;  // a parameter click opens the host's own menu
    uint32_t modifiers = 0;                 // AAX modifier bits the container reports as held
  };

  // Builds and initialises the editor object and the frame (sized from the editor's view size);
  // throws std::runtime_error with the module's result when the editor object cannot be had.
  HostEditor(HostUIThread& ui, HostInstance& instance, const Options& options);
  // Closes the editor when open, releases the editor object, destroys the frame.
  ~HostEditor();
  HostEditor(const HostEditor&) = delete;
  HostEditor& operator=(const HostEditor&) = delete;

  // The editor's view size as the module reports it (height first).
  AAX_Point ViewSize();
  // Hands the container to the editor object, which opens the editor inside the frame.
  AAX_Result Open();
  // Takes the container away again; the editor closes. Harmless when not open.
  AAX_Result Close();
  bool IsOpen() const { return mOpen; }

  HWND Frame() const { return mFrame; }
  HostUIThread& UIThread() const { return mUI; }
  // The editor's own window inside the frame; null when none opened.
  HWND EditorWindow();
  // Client size of the editor's window (physical pixels); 0 × 0 without one.
  SIZE EditorSize();
  SIZE FrameSize();
  HostViewContainer& Container() const { return *mContainer; }
  AAX_IACFEffectGUI* Editor() const;

private:
  HostUIThread& mUI;
  HostInstance& mInstance;
  HostRef<HostViewContainer> mContainer;
  HWND mFrame = nullptr;
  bool mOpen = false;
};

} // namespace aaxhost
