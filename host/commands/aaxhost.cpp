// aaxhost: the stand-in AAX host's command line.
//
//   aaxhost describe [--module PATH]
//       prints the module's whole description as JSON: effects, names, categories, identifiers,
//       package, components with their fields by index, properties in registration order and
//       procedures, and each effect's parameters as an initialised instance shows them (defaults
//       and values normalised, as the host sees them).
//
//   aaxhost params [--module PATH] [--json]
//       lists each parameter: the identifier --param takes, name, range as the module displays
//       its ends, unit, default, steps and the choices of a stepped one; a table or JSON.
//
//   aaxhost process [--module PATH] IN OUT [--param ID=NORMALISED]... [--param NAME=TEXT]...
//                   [--mono] [--block N] [--state FILE] [--save-state FILE] [--json] [--quiet]
//                   [--type EXT] [--bits 16|24|32|float] [--no-dither] [--force]
//                   [--no-latency-compensation] [--allow-truncated]
//   aaxhost process --out-dir DIR [-j N] IN... [the options above but --save-state]
//       renders the audio file IN (anything libsndfile reads, mono or stereo; - for standard
//       input) through the module and writes OUT at the same rate, channel count and length, in
//       the format its extension names (.wav, which becomes RF64 past the WAV size limit, .rf64,
//       .w64, .aiff, .caf, .au, .flac, .ogg, .opus, .mp3; --type names one where the name does
//       not). --bits picks the samples (default: float where the format holds it, else 24);
//       integers get TPDF dither unless --no-dither. A mono file runs through the mono
//       component, a stereo one through the stereo component; --mono takes the mono component
//       for a stereo file too, mixing it down to one channel. Blocks are N frames (default 512,
//       any size from 1 up); the last one may be shorter. The plug-in's latency is compensated
//       as in a DAW's bounce (that many silent frames after the input, as many dropped at the
//       start); --no-latency-compensation writes the raw, delayed stream.
//       A --param key made of digits is an AAX parameter identifier with a normalised value
//       (0 to 1); any other key is a parameter name whose whole value must be a number with the
//       parameter's unit or none, or one of its texts (a switch also takes on/off, true/false,
//       yes/no, 1/0; another stepped parameter its step number). --state sets a saved chunk
//       first, then the settings follow; every setting travels the host's automation path and
//       is in force before the first block, so the same command always gives the same output.
//       --save-state writes the chunk after the last block. OUT - writes a streamable format to
//       standard output (the summary then goes to standard error); a device or named pipe is
//       written as a stream; a file is replaced by a rename once complete (a link is written
//       through to its target), a read-only one only with --force. An input cut short of the
//       frames its header announces fails unless --allow-truncated. Ctrl-C or SIGTERM removes
//       the unfinished output and exits with 130 or 143. The summary names the component,
//       sample rate, frames, reported latency and whether it was compensated, input and output
//       peaks in dBFS, the output's format and every parameter's value as text; --json prints
//       it as JSON. Long renders show progress on standard error while it is a terminal (never
//       into a pipe or a file); --quiet prints no progress and no summary. --out-dir renders each
//       input into DIR under its own name (the extension --type names, when given), -j N files
//       at once, each in a child process of this program; one line per file, the totals, and
//       exit status 1 when any failed. Outputs that collide, or replace an input, are refused
//       before anything is rendered.
//
//   aaxhost state [--module PATH] FILE [--json]
//   aaxhost state [--module PATH] [FILE] --write OUT [--param KEY=VALUE]... [--force] [--json]
//       prints a state chunk file (the editor record and each parameter's stored value with its
//       display text), or writes OUT from FILE (or the default state) with the settings on top,
//       then prints it. OUT may be FILE. State files are written as audio outputs are.
//
//   aaxhost editor [--module PATH] --png OUT [--zoom Z] [--dpi N] [--param ID=NORMALISED]...
//                  [--state FILE] [--save-state FILE] [--input SCRIPT] [--frames N]
//                  [--host-takes-clicks] [--json]
//       opens the module's editor as a DAW does: the editor object of the effect's procedure 1,
//       initialised with the instance's controller, shown in a host window of the display
//       (N dots per inch, default 96) through the host's view container. The UI thread's message
//       loop runs for N display ticks (default 10, at 60 per second), the input script plays
//       (one tick after each event; see EditorScript.h for its lines), N more ticks run, and the
//       editor's last presented frame is written to OUT as a PNG. --state sets a saved chunk
//       and --param settings follow, before the editor opens; --zoom restores a state whose
//       editor record asks for that zoom, 0.5 to 2 (as a session saved at that zoom would).
//       --save-state writes the state as the editor left it, for process --state. With
//       --host-takes-clicks the host takes every parameter click for itself. Prints the window
//       size, every parameter's value and the host's automation record since the editor opened
//       (touch, set-value requests and release per parameter identifier); --json prints JSON.
//
//   aaxhost validate [--module PATH] [--seed N] [--strictness 1..10] [--include REGEX]
//                    [--exclude REGEX] [--json | --junit FILE] [--list] [--in-process]
//                    [--references DIR] [--update-references] [--artifacts DIR] [--strict]
//       runs the conformance and stress cases against the module, each in a child process of
//       its own, and prints one line per case: its verdict (pass, fail with the reason, skipped
//       with the reason), the case name and its milliseconds. Exits 0 when no selected case
//       failed; with --strict, only when every one passed (a skipped case fails the run). --seed repeats a run's random choices (the seed is printed with every run);
//       --strictness scales repetitions and durations (default 5); --list prints the cases.
//       The editor cases open the module's editor in host windows of the display at 96, 144
//       and 192 dots per inch. editor-screenshots compares each freshly opened editor with the
//       reference picture editor-<dpi>dpi.png in --references (default: validate_references
//       beside the program, share/corvane/validate_references under an install prefix, else the
//       source tree's tests/validate_references); a picture matches when at most 1 pixel in 5000 has a channel
//       more than 8 levels away. On a mismatch the picture taken and a difference picture (red
//       where beyond the tolerance) are written to --artifacts (default: validate-artifacts in
//       the current folder) and named in the reason. --update-references writes the pictures of
//       this run as the new references instead of comparing.
//
//   aaxhost signal OUT [--seconds S] [--rate R]
//       writes the demo's test signal: plucked-string notes, then a sine sweep from 20 Hz to
//       20 kHz (stereo, 32-bit float WAV; default 4 seconds at 48000 Hz).
//
// --module defaults to the module built beside this program; --version prints the version. A
// command line the program does not take (a mistyped command, whose nearest name is suggested,
// an unknown option, options that do not go together, a value outside an option's range) exits
// with status 2; any failure of a run (a module that does not load or register, a missing,
// unreadable or non-audio input, an unknown parameter, a value out of range, a block size below
// 1, an output that cannot be written) with status 1. Either way one line on standard error
// begins "aaxhost: ", and no partial output file is left behind.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "AudioFormat.h"
#include "BatchCommand.h"
#include "DemoSignal.h"
#include "DescribeJson.h"
#include "EditorCommand.h"
#include "ModuleLocation.h"
#include "ParameterSettings.h"
#include "ParamsCommand.h"
#include "ProcessCommand.h"
#include "StandInHost.h"
#include "Validator.h"

namespace {

// The folder this program runs from: the module and, in an installed or packed copy, the
// reference pictures are found from there.
std::filesystem::path ProgramFolder(const char* argv0)
{
  std::filesystem::path self = aaxhost::ProgramPath();
  std::error_code error;
  if (self.empty())
    self = std::filesystem::absolute(argv0, error);
  return self.parent_path();
}

// The program's subcommands, each with the options it fills in.
struct CommandLine
{
  explicit CommandLine(const char* argv0)
    : programFolder(ProgramFolder(argv0))
    , modulePath(aaxhost::ModuleBesideProgram(programFolder))
  {
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("aaxhost ") + AAXHOST_VERSION);
  }

  CLI::App app{"Stand-in AAX host: loads a module and drives it the way a DAW does"};
  std::filesystem::path programFolder;
  std::string modulePath;

  CLI::App* describe = nullptr;
  CLI::App* params = nullptr;
  bool paramsJson = false;
  CLI::App* process = nullptr;
  aaxhost::ProcessOptions processOptions;
  std::vector<std::string> processFiles;
  std::string processOutputFolder;
  int processJobs = 1;
  CLI::App* state = nullptr;
  aaxhost::StateOptions stateOptions;
  CLI::App* editor = nullptr;
  aaxhost::EditorOptions editorOptions;
  CLI::App* signal = nullptr;
  std::string signalPath;
  double signalSeconds = 4.0;
  int signalRate = 48000;
  CLI::App* validate = nullptr;
  aaxhost::ValidateOptions validateOptions;
  CLI::Option* validateSeed = nullptr;
};

void AddModuleOption(CLI::App* command, CommandLine& line)
{
  command->add_option("--module", line.modulePath, "Path of the module to load")->capture_default_str();
}

void AddDescribeCommand(CommandLine& line)
{
  line.describe = line.app.add_subcommand("describe", "Print the module's description and parameters as JSON");
  AddModuleOption(line.describe, line);
}

void AddParamsCommand(CommandLine& line)
{
  line.params =
    line.app.add_subcommand("params", "List the parameters: identifier, name, range, unit, default, steps and choices");
  AddModuleOption(line.params, line);
  line.params->add_flag("--json", line.paramsJson, "Print the list as JSON");
}

void AddProcessCommand(CommandLine& line)
{
  aaxhost::ProcessOptions& process = line.processOptions;
  CLI::App* command = line.process = line.app.add_subcommand("process", "Render audio files through the module");
  AddModuleOption(command, line);
  command
    ->add_option("FILES", line.processFiles,
                 "IN OUT: the input (mono or stereo; - reads standard input) and the output, its format named "
                 "by the extension (" +
                   aaxhost::WritableExtensions() + "; - writes standard output). With --out-dir: the inputs")
    ->required();
  command->add_option("--out-dir", line.processOutputFolder,
                      "Render every file given into DIR, each output named after its input");
  command->add_option("-j,--jobs", line.processJobs, "Files rendered at once with --out-dir")
    ->check(CLI::Range(1, aaxhost::kMaxBatchJobs))
    ->capture_default_str();
  command->add_flag("-q,--quiet", process.quiet, "Print no summary and no progress, only failures");
  command->add_option("--type", process.outputType, "Container of the output where its name does not show it (wav, flac, au, ...)");
  command->add_option("--bits", process.bits, "16, 24, 32 or float (default: float where the format holds it, else 24)");
  command->add_flag("--no-dither", process.noDither, "Round to integers without TPDF dither");
  command->add_flag("--force", process.force, "Replace a read-only output or state file");
  command->add_flag("--allow-truncated", process.allowTruncated, "Render an input that was cut short, with a warning");
  command->add_flag("!--no-latency-compensation", process.latencyCompensation,
                    "Write the plug-in's raw output, delayed by its latency, instead of aligning it with the input");
  // Each --param takes the one value after it: an input named after the settings is an input.
  command->add_option("--param", process.settings, "ID=NORMALISED or NAME=TEXT; repeatable (aaxhost params lists them)")
    ->allow_extra_args(false);
  command->add_flag("--mono", process.mono, "Use the mono component (a stereo input is mixed down)");
  command->add_option("--block", process.blockSize, "Frames per host block (1 and up)")->capture_default_str();
  command->add_option("--state", process.statePath, "State chunk file to set before the settings");
  command->add_option("--save-state", process.saveStatePath, "Write the state chunk after the last block");
  command->add_flag("--json", process.json, "Print the summary as JSON");
  command->footer("Progress is shown on standard error while it is a terminal (not with --quiet).");
}

void AddStateCommand(CommandLine& line)
{
  aaxhost::StateOptions& state = line.stateOptions;
  CLI::App* command = line.state =
    line.app.add_subcommand("state", "Print a state chunk file, or write one from it (or the defaults) and settings");
  AddModuleOption(command, line);
  command->add_option("FILE", state.path, "State chunk file to print, or to start from with --write");
  command->add_option("--write", state.writePath, "Write the state with the settings on top to OUT (may be FILE)");
  command->add_option("--param", state.settings, "ID=NORMALISED or NAME=TEXT; repeatable (with --write)")
    ->allow_extra_args(false);
  command->add_flag("--force", state.force, "Replace a read-only state file");
  command->add_flag("--json", state.json, "Print as JSON");
}

void AddEditorCommand(CommandLine& line)
{
  aaxhost::EditorOptions& editor = line.editorOptions;
  CLI::App* command = line.editor =
    line.app.add_subcommand("editor", "Open the module's editor in a host window and save a picture of it");
  AddModuleOption(command, line);
  command->add_option("--png", editor.pngPath, "Picture of the editor to write (PNG)")->required();
  command->add_option("--zoom", editor.zoom, "Open at this zoom, restored with the state (0.5 to 2)")
    ->check(CLI::Range(aaxhost::kMinEditorZoom, aaxhost::kMaxEditorZoom));
  command->add_option("--dpi", editor.dpi, "Dots per inch of the host window's display")->capture_default_str();
  command->add_option("--param", editor.settings, "ID=NORMALISED or NAME=TEXT before the editor opens; repeatable")
    ->allow_extra_args(false);
  command->add_option("--state", editor.statePath, "State chunk file to set before the settings");
  command->add_option("--save-state", editor.saveStatePath,
                      "Write the state as the editor left it (for process --state)");
  command->add_flag("--force", editor.force, "Replace a read-only state file");
  command->add_option("--input", editor.scriptPath, "Script of input events to play into the editor");
  command->add_option("--frames", editor.frames, "Display ticks before and after the script")
    ->check(CLI::Range(0, aaxhost::kMaxEditorFrames))
    ->capture_default_str();
  command->add_flag("--host-takes-clicks", editor.hostTakesParameterClicks,
                    "The host takes parameter clicks for itself (the editor does not see them)");
  command->add_flag("--json", editor.json, "Print the report as JSON");
}

void AddSignalCommand(CommandLine& line)
{
  CLI::App* command = line.signal = line.app.add_subcommand("signal", "Write the demo's test signal as a WAV file");
  command->add_option("OUT", line.signalPath, "Output file")->required();
  command->add_option("--seconds", line.signalSeconds, "Length in seconds")->capture_default_str();
  command->add_option("--rate", line.signalRate, "Sample rate in Hz")->capture_default_str();
}

void AddValidateCommand(CommandLine& line)
{
  aaxhost::ValidateOptions& validate = line.validateOptions;
  CLI::App* command = line.validate =
    line.app.add_subcommand("validate", "Run the conformance and stress cases against the module");
  AddModuleOption(command, line);
  line.validateSeed = command->add_option("--seed", validate.seed, "Seed of the random choices (default: a fresh one)");
  command->add_option("--strictness", validate.strictness, "1 (quick) to 10 (thorough)")
    ->check(CLI::Range(1, 10))
    ->capture_default_str();
  command->add_option("--include", validate.include, "Run only cases whose name matches this regex");
  command->add_option("--exclude", validate.exclude, "Skip cases whose name matches this regex");
  CLI::Option* jsonOption = command->add_flag("--json", validate.json, "Print the report as JSON");
  command->add_option("--junit", validate.junitPath, "Write the report as JUnit XML to FILE")->excludes(jsonOption);
  command->add_flag("--list", validate.list, "List the cases with their descriptions");
  command->add_flag("--in-process", validate.inProcess, "Run the cases in this process (for a debugger)");
  command->add_option("--timeout", validate.timeoutSeconds, "Seconds a case may take")->capture_default_str();
  validate.referencesFolder = aaxhost::ReferencesFolder(line.programFolder, AAXHOST_REFERENCES_FOLDER);
  command->add_option("--references", validate.referencesFolder, "Folder of the editor's reference pictures")
    ->capture_default_str();
  command->add_flag("--strict", validate.strict, "A skipped case fails the run");
  command->add_flag("--update-references", validate.updateReferences,
                    "Write this run's editor pictures as the references instead of comparing");
  command->add_option("--artifacts", validate.artifactsFolder,
                      "Folder for the pictures of a mismatch (created when needed)")
    ->capture_default_str();
  // How the validator starts a case's child where children start as fresh programs; not for users.
  command->add_option("--run-case", validate.runCase)->group("");
}

int RunValidateCommand(CommandLine& line)
{
  aaxhost::ValidateOptions& validate = line.validateOptions;
  validate.modulePath = line.modulePath;
  validate.seedGiven = line.validateSeed->count() > 0;
  const int status = aaxhost::RunValidate(validate, std::cout);
  if (!validate.runCase.empty())
  {
    // A case's child leaves once its outcome is out: whatever the module left running must
    // not hold the exit up (the validator would wait for it until the time-out).
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
  }
  return status;
}

int RunProcessCommand(CommandLine& line)
{
  aaxhost::ProcessOptions& process = line.processOptions;
  process.modulePath = line.modulePath;
  process.progress = ::isatty(STDERR_FILENO) != 0 && !process.quiet;
  if (!line.processOutputFolder.empty())
  {
    aaxhost::BatchOptions batch;
    batch.process = process;
    batch.inputs = line.processFiles;
    batch.outputFolder = line.processOutputFolder;
    batch.jobs = line.processJobs;
    return aaxhost::RunBatch(batch, std::cout, std::cerr);
  }
  if (line.processFiles.size() != 2)
    throw aaxhost::UsageError("process takes IN and OUT, or several inputs with --out-dir DIR (" +
                              std::to_string(line.processFiles.size()) + " file(s) given)");
  if (line.processJobs != 1)
    throw aaxhost::UsageError("-j renders several files at once and goes with --out-dir");
  process.inputPath = line.processFiles[0];
  process.outputPath = line.processFiles[1];
  // How large a WAV may grow before it becomes RF64; tests set a small one.
  if (const char* limit = std::getenv("AAXHOST_WAV_LIMIT_BYTES"))
    process.wavLimitBytes = std::strtoull(limit, nullptr, 10);
  // Audio on standard output leaves the summary to standard error.
  aaxhost::RunProcess(process, process.outputPath == "-" ? std::cerr : std::cout);
  return 0;
}

// Runs the subcommand the line names; its exit status.
int RunChosenCommand(CommandLine& line)
{
  if (line.describe->parsed())
  {
    aaxhost::StandInHost host(line.modulePath);
    std::cout << aaxhost::DescribeModule(host).dump(2) << '\n';
  }
  else if (line.params->parsed())
  {
    aaxhost::ParamsOptions params;
    params.modulePath = line.modulePath;
    params.json = line.paramsJson;
    aaxhost::RunParams(params, std::cout);
  }
  else if (line.process->parsed())
  {
    return RunProcessCommand(line);
  }
  else if (line.state->parsed())
  {
    line.stateOptions.modulePath = line.modulePath;
    aaxhost::RunState(line.stateOptions, std::cout);
  }
  else if (line.editor->parsed())
  {
    line.editorOptions.modulePath = line.modulePath;
    aaxhost::RunEditor(line.editorOptions, std::cout);
  }
  else if (line.signal->parsed())
  {
    aaxhost::WriteDemoSignal(line.signalPath, line.signalSeconds, line.signalRate);
  }
  else if (line.validate->parsed())
  {
    return RunValidateCommand(line);
  }
  return 0;
}

// Usage errors (what the command line does not take) exit with 2, failures of a run with 1.
constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

// Letters to change, add or remove to turn one word into the other.
size_t EditDistance(const std::string& a, const std::string& b)
{
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i)
  {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j)
    {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A first word that is no command: names it and the nearest command, when one is near.
bool RefuseUnknownCommand(const CommandLine& line, int argc, char** argv)
{
  if (argc < 2 || argv[1][0] == '-')
    return false;
  const std::string word = argv[1];
  std::string nearest, names;
  size_t best = word.size();
  for (const CLI::App* command : line.app.get_subcommands([](const CLI::App*) { return true; }))
  {
    const std::string& name = command->get_name();
    if (name == word)
      return false;
    names += (names.empty() ? "" : ", ") + name;
    const size_t distance = EditDistance(word, name);
    if (distance < best)
    {
      best = distance;
      nearest = name;
    }
  }
  std::cerr << "aaxhost: '" << word << "' is not a command";
  if (!nearest.empty() && best <= std::max<size_t>(2, nearest.size() / 3))
    std::cerr << "; did you mean '" << nearest << "'?";
  std::cerr << " (the commands: " << names << ")\n";
  return true;
}

// -1 when the line was taken and a command is to run; otherwise the exit status (help and the
// version are printed with 0).
int ParseCommandLine(CommandLine& line, int argc, char** argv)
{
  if (RefuseUnknownCommand(line, argc, argv))
    return kUsageStatus;
  try
  {
    line.app.parse(argc, argv);
    return -1;
  }
  catch (const CLI::Success& e)
  {
    return line.app.exit(e);
  }
  catch (const CLI::ParseError& e)
  {
    std::string command;
    for (const CLI::App* chosen : line.app.get_subcommands())
      command = chosen->get_name() + " ";
    std::cerr << "aaxhost: " << e.what() << " (aaxhost " << command << "--help lists the options)\n";
    return kUsageStatus;
  }
}

} // namespace

int main(int argc, char** argv)
{
  CommandLine line(argv[0]);
  AddDescribeCommand(line);
  AddParamsCommand(line);
  AddProcessCommand(line);
  AddStateCommand(line);
  AddEditorCommand(line);
  AddSignalCommand(line);
  AddValidateCommand(line);
  if (const int status = ParseCommandLine(line, argc, argv); status >= 0)
    return status;

  try
  {
    return RunChosenCommand(line);
  }
  catch (const aaxhost::UsageError& e)
  {
    std::cerr << "aaxhost: " << e.what() << '\n';
    return kUsageStatus;
  }
  catch (const std::exception& e)
  {
    std::cerr << "aaxhost: " << e.what() << '\n';
    return kFailureStatus;
  }
}
