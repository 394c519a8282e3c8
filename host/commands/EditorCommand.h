#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace aaxhost {

struct EditorOptions
{
  std::string modulePath;
  std::string pngPath;                 // the presented frame, written as PNG
  double zoom = 0.0;                   // 0: as the state says; else restored with a state at this zoom
  std::string saveStatePath;           // the state after the script, editor record included
  bool force = false;                  // replace a read-only state file
  int dpi = 96;                        // the display density of the host's window
  std::vector<std::string> settings;   // KEY=VALUE, before the editor opens
  std::string statePath;               // a chunk set before the settings
  std::string scriptPath;              // input events (see EditorScript.h)
  int frames = 10;                     // display ticks before the script and after it
  bool hostTakesParameterClicks = false;
  bool json = false;
};

// The zooms the editor takes: half to twice its size.
constexpr double kMinEditorZoom = 0.5;
constexpr double kMaxEditorZoom = 2.0;

// Largest number of display ticks one run takes (before and after the script each).
constexpr int kMaxEditorFrames = 100000;

// Opens the module's editor the way a DAW does (the editor object of the effect's procedure 1,
// a host window in the display, the view container), lets the UI thread's message loop run for
// the display ticks, plays the script, writes the editor's last presented frame as a PNG and
// prints the window size, every parameter's value and the host's automation record since the
// editor opened; with a state path, writes the plug-in's state as the editor left it (so
// `process --state` renders what was set there). Throws CommandError for bad input (nothing
// written), UsageError for an option outside what it takes; see the aaxhost usage.
void RunEditor(const EditorOptions& options, std::ostream& out);

} // namespace aaxhost
