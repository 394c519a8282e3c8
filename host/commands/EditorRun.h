#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "AAX.h"
#include "EditorCommand.h"
#include "EditorScript.h"
#include "HostAutomationDelegate.h"
#include "HostInstance.h"
#include "HostViewContainer.h"
#include "PlatformWindows.h"

namespace aaxhost {

class HostSession;

// The steps of an editor run that do not depend on the display it runs on: the options checked,
// the script and the state read, the session set up, and the report printed at the end. The
// display's own part (its clock, the input, the picture) is each platform's editor command.

// Throws UsageError for an option out of its range, CommandError for an output that cannot be
// written (checked before the run, so a refused run leaves nothing behind).
void CheckEditorOptions(const EditorOptions& options);
// The script's events (none without a script); CommandError for a file or a line it cannot take.
std::vector<EditorScriptEvent> ReadEditorScriptFile(const EditorOptions& options);
// The state file (when given) and then the settings, into the session before the editor opens.
void PrepareEditorSession(HostSession& session, const EditorOptions& options);
// A state whose editor record asks for the zoom: what a session saved at that zoom restores.
void RestoreEditorZoom(HostSession& session, double zoom, const AAX_Point& viewSize);

// What a run saw, for the report.
struct EditorRunRecord
{
  SIZE window{};        // the editor's client size, physical pixels
  SIZE hostWindow{};    // the host frame's
  int ticks = 0;        // display ticks given
  size_t scriptEvents = 0;
  int pictureWidth = 0;
  int pictureHeight = 0;
  std::vector<HostInstance::ParameterInfo> parameters;
  std::vector<HostAutomationDelegate::Event> automation;  // since the editor opened
  std::vector<HostViewContainer::MouseEvent> clicks;      // parameter clicks offered to the host
};

// The picture as PNG and, when asked for, the state the editor left.
void WriteEditorOutputs(HostSession& session, const EditorOptions& options, int width, int height,
                        const std::vector<uint8_t>& rgba);

// The run's report, as text or JSON (options.json).
void WriteEditorReport(const EditorOptions& options, const EditorRunRecord& record, std::ostream& out);

} // namespace aaxhost
