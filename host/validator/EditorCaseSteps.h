#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "HostEditor.h"
#include "PictureComparison.h"
#include "PlatformWindows.h"
#include "ValidateRig.h"

// Steps the editor cases take on every platform.

namespace aaxhost::cases {

// A screenshot matches its reference when at most 1 pixel in 5000 has a channel more than 8
// levels away: a rasteriser built for other vector units rounds some edges differently, while a
// control drawn at another value, a shifted text or a wrong colour changes far more than that.
constexpr int kChannelTolerance = 8;
constexpr double kAllowedFraction = 0.0002;

// How long the editor may take to show what it was asked to: generous, as llvmpipe shares two
// cores with the rest of a CI run; a working editor needs a few display ticks.
constexpr std::chrono::milliseconds kFramePatience{5000};
// How long automation may take to show in an open editor: the framework hands host changes to
// the editor on its 20 ms idle timer and the editor draws on the next display tick.
constexpr std::chrono::milliseconds kReachPatience{1500};

// The editor object of a fresh opening, or a skipped case when the module has none.
std::unique_ptr<HostEditor> MakeEditor(ValidateContext& context, HostSession& session, UINT dpi);

// The module's count of live objects, as its unload query answers it on the UI thread.
int ActiveObjects(HostSession& session);

// Milliseconds since `start`.
double MillisecondsSince(std::chrono::steady_clock::time_point start);

std::string SizeText(SIZE size);
bool SameSize(SIZE a, SIZE b);

// The editor's physical size at a density: its logical size scaled as the window layer does.
SIZE PhysicalSize(const AAX_Point& logical, UINT dpi);

// The view size before any editor opened: the face's logical size.
AAX_Point LogicalSize(ValidateContext& context, HostSession& session);

// Whether two pictures of the editor show the same face, within the screenshot tolerance.
bool Looks(const Picture& a, const Picture& b);

// Opens the editor and gives its settled picture at the size the density asks for.
Picture OpenAndWatch(ValidateContext& context, HostEditor& editor, UINT dpi, SIZE size);

// The values automation takes a parameter to: the farthest from its default first; a discrete
// parameter only to its other steps.
std::vector<double> AutomationTargets(const HostInstance::ParameterInfo& p);

} // namespace aaxhost::cases
