#include "EditorCommand.h"
#include "ParameterSettings.h"
#include "Validator.h"

#include <ostream>

// The Windows build of aaxhost: `editor` draws into the headless display of our Win32 stand-in,
// and `validate` isolates each case in a forked child and watches the render call through the
// Linux loader's symbol interposition. Neither exists on Windows yet, so both say so plainly
// instead of pretending to run.

namespace aaxhost {

void RunEditor(const EditorOptions&, std::ostream&)
{
  throw CommandError("the editor command needs the headless display of the Linux build");
}

int RunValidate(const ValidateOptions&, std::ostream& out)
{
  out << "aaxhost: validate is not part of the Windows build yet; run the Linux build's\n";
  return 1;
}

} // namespace aaxhost
