#include "OutputPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "AudioFile.h"
#include "ParameterSettings.h"

namespace aaxhost {

namespace {

std::string CannotWrite(const char* what, const std::string& path, const std::string& reason)
{
  return std::string("cannot write ") + what + " '" + path + "': " + reason;
}

bool Seekable(int descriptor)
{
  struct stat status{};
  return fstat(descriptor, &status) == 0 && !S_ISFIFO(status.st_mode) && !S_ISSOCK(status.st_mode) &&
         lseek(descriptor, 0, SEEK_CUR) != -1;
}

// Where a link ends, followed link by link; the last one may name nothing yet.
std::filesystem::path LinkTarget(const std::filesystem::path& link)
{
  std::filesystem::path at = link;
  for (int hops = 0; hops < 40; ++hops)
  {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error)))
      return at;
    const std::filesystem::path next = std::filesystem::read_symlink(at, error);
    if (error)
      return at;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return at;
}

} // namespace

OutputPlan PlanOutput(const std::string& path, bool force, const char* what)
{
  if (path.empty())
    throw CommandError(std::string("no ") + what + " file given");
  OutputPlan plan;
  plan.shownPath = path;
  if (path == "-")
  {
    plan.streamDescriptor = STDOUT_FILENO;
    plan.streamSeekable = Seekable(STDOUT_FILENO);
    return plan;
  }
  struct stat status{};
  if (stat(path.c_str(), &status) != 0)
  {
    if (errno != ENOENT)
      throw CommandError(CannotWrite(what, path, std::strerror(errno)));
    // Nothing there yet, or a link to nothing yet: the new file goes where the link points.
    plan.replacePath = LinkTarget(path).string();
    CheckWritable(plan.replacePath, what);
    return plan;
  }
  if (S_ISDIR(status.st_mode))
    throw CommandError(CannotWrite(what, path, "it is a folder"));
  if (S_ISSOCK(status.st_mode))
    throw CommandError(CannotWrite(what, path, "it is a socket, which takes no file"));
  if (S_ISREG(status.st_mode))
  {
    // The permission bits count even where this user could write anyway (root).
    const bool readOnly = access(path.c_str(), W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (readOnly && !force)
      throw CommandError(CannotWrite(what, path, "the file is read-only (--force replaces it)"));
    plan.replacePath = LinkTarget(path).string();
    plan.keptMode = static_cast<int>(status.st_mode & 07777);
    CheckWritable(plan.replacePath, what);
    return plan;
  }
  // A device or a named pipe: written as it is, never replaced.
  plan.streamPath = path;
  return plan;
}

void OpenStream(OutputPlan& plan, const char* what)
{
  if (plan.streamDescriptor >= 0)
    return;
  const int descriptor = open(plan.streamPath.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0)
    throw CommandError(CannotWrite(what, plan.shownPath, std::strerror(errno)));
  plan.streamDescriptor = descriptor;
  plan.ownsDescriptor = true;
  plan.streamSeekable = Seekable(descriptor);
}

int StandardInputDescriptor()
{
  return STDIN_FILENO;
}

int StandardOutputDescriptor()
{
  return STDOUT_FILENO;
}

} // namespace aaxhost
