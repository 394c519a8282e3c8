#pragma once

#include <string>
#include <vector>

#include "HostEditor.h"
#include "PictureComparison.h"
#include "PlatformWindows.h"

// How the editor cases see the editor on this platform: the densities they open it at, and the
// frames its window shows.

namespace aaxhost::cases {

// The densities the editor cases open the editor at: 100 %, 150 % and 200 % where a host window
// can be given any density, else the display's own (on Windows the display's scale chooses it).
std::vector<UINT> EditorDensities();

// Waits until the editor's window shows a frame of the size (the first one when `settled` is
// false; otherwise one that held still for a moment) and gives it; an empty picture when the
// time ran out, with what was seen in `seen`.
Picture AwaitFrame(HostEditor& editor, SIZE size, bool settled, std::string& seen);

// How the frames were read, for a case's note; empty when there is nothing to say.
std::string FrameSourceNote();

} // namespace aaxhost::cases
