#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace aaxhost {

struct ProcessOptions
{
  std::string modulePath;
  std::string inputPath;               // "-": standard input
  std::string outputPath;              // "-": standard output
  std::string outputType;              // the container, where the output's name does not show it
  std::string bits;                    // "16", "24", "32", "float"; empty: the container's default
  bool noDither = false;
  bool force = false;                  // replace a read-only output file
  bool allowTruncated = false;         // render an input cut short, with a warning
  bool latencyCompensation = true;     // output aligned with the input, as a DAW's bounce
  uint64_t wavLimitBytes = 0;          // data beyond this goes into RF64 (0: the WAV limit)
  std::vector<std::string> settings;   // KEY=VALUE
  bool mono = false;                   // the mono component; a stereo input is mixed down to one channel
  int blockSize = 512;
  std::string statePath;               // a chunk set before the settings
  std::string saveStatePath;           // the chunk after the last block
  bool json = false;
  bool quiet = false;                  // no summary
  bool progress = false;               // on standard error
};

// Largest block the command renders in one call.
constexpr int kMaxProcessBlockSize = 1 << 20;

// Renders an audio file through the module in host-sized blocks and prints the summary to
// `out`. Throws CommandError (nothing written) for bad input; see the aaxhost usage.
void RunProcess(const ProcessOptions& options, std::ostream& out);

struct StateOptions
{
  std::string modulePath;
  std::string path;                    // a chunk to print, or to start from when writing
  std::string writePath;               // the chunk with the settings on top, written here
  std::vector<std::string> settings;
  bool force = false;                  // replace a read-only state file
  bool json = false;
};

// Prints a state chunk file (the editor record and each parameter value with its display text,
// as the module shows it). With a write path, the settings go on top of that file (or of the
// default state when there is none) and the result is written there first; the path may be the
// file read. Throws CommandError, UsageError for options that do not go together.
void RunState(const StateOptions& options, std::ostream& out);

} // namespace aaxhost
