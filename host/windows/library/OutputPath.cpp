#include "OutputPath.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>

#include "AudioFile.h"
#include "ParameterSettings.h"

// Windows has no named pipes or devices in the file system's paths that a user would name here:
// an output is standard output, a regular file or nothing yet.

namespace aaxhost {

OutputPlan PlanOutput(const std::string& path, bool force, const char* what)
{
  const std::string cannot = std::string("cannot write ") + what + " '" + path + "': ";
  if (path.empty())
    throw CommandError(std::string("no ") + what + " file given");
  OutputPlan plan;
  plan.shownPath = path;
  if (path == "-")
  {
    plan.streamDescriptor = StandardOutputDescriptor();
    plan.streamSeekable = _lseeki64(plan.streamDescriptor, 0, SEEK_CUR) != -1;
    return plan;
  }
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (std::filesystem::is_directory(status))
    throw CommandError(cannot + "it is a folder");
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw CommandError(cannot + "it is not a regular file");
  if (std::filesystem::is_regular_file(status))
  {
    const bool readOnly = (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
    if (readOnly && !force)
      throw CommandError(cannot + "the file is read-only (--force replaces it)");
  }
  plan.replacePath = path;
  CheckWritable(plan.replacePath, what);
  return plan;
}

void OpenStream(OutputPlan&, const char*)
{
  // Standard output, the one stream a plan names here, is open already.
}

int StandardInputDescriptor()
{
  _setmode(_fileno(stdin), _O_BINARY);
  return _fileno(stdin);
}

int StandardOutputDescriptor()
{
  _setmode(_fileno(stdout), _O_BINARY);
  return _fileno(stdout);
}

} // namespace aaxhost
