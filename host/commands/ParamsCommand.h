#pragma once

#include <iosfwd>
#include <string>

namespace aaxhost {

struct ParamsOptions
{
  std::string modulePath;
  bool json = false;
};

// Lists every parameter an instance of the module shows its host: the identifier `--param` takes,
// the name, the range as the module displays its ends, the unit, the default, the number of
// steps and, for a stepped parameter, the text of each step. A table, or JSON. Throws
// CommandError when the module cannot be loaded.
void RunParams(const ParamsOptions& options, std::ostream& out);

} // namespace aaxhost
