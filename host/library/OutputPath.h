#pragma once

#include <string>

namespace aaxhost {

// How an output reaches the path the user named.
struct OutputPlan
{
  std::string shownPath;    // as given, for messages
  // A regular file, or nothing yet: the output is written beside `replacePath` and renamed onto
  // it when complete. A link's target is the file replaced; the link stays.
  std::string replacePath;
  int keptMode = -1;        // the permission bits of the file replaced, for its replacement
  // Otherwise a device, a pipe or standard output: written in place as it is produced, through
  // `streamPath` once OpenStream opened it.
  std::string streamPath;
  int streamDescriptor = -1;
  bool ownsDescriptor = false;
  bool streamSeekable = false;  // the stream takes seeks (a file behind a redirection, /dev/null)

  bool Replaces() const { return !replacePath.empty(); }
};

// The one wording of every output that cannot be written, whatever the command:
// "cannot write output 'out.wav': the file is read-only (--force replaces it)".
inline std::string CannotWriteMessage(const std::string& what, const std::string& path, const std::string& reason)
{
  return "cannot write " + what + " '" + path + "': " + reason;
}

// Looks at what is at `path` ("-" is standard output) and says how to write there, opening
// nothing that could block. Throws CommandError for a folder, a socket, a read-only file (unless
// `force`), or a path whose folder cannot take a new file.
OutputPlan PlanOutput(const std::string& path, bool force, const char* what);

// Opens a stream plan's device or pipe (a pipe's open waits for its reader) and finds whether it
// takes seeks. Throws CommandError when it cannot be opened.
void OpenStream(OutputPlan& plan, const char* what);

// Standard input and output as file descriptors that carry bytes unchanged.
int StandardInputDescriptor();
int StandardOutputDescriptor();

} // namespace aaxhost
