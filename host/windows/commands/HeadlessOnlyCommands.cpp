#include "EditorCommand.h"
#include "ParameterSettings.h"

#include <ostream>

// The Windows build of aaxhost: `editor` draws into the headless display of our Win32 stand-in,
// which does not exist on Windows, so it says so plainly instead of pretending to run.

namespace aaxhost {

void RunEditor(const EditorOptions&, std::ostream&)
{
  throw CommandError("the editor command needs the headless display of the Linux build");
}

} // namespace aaxhost
