// `aaxhost process --out-dir`: several files, each in a child process of its own.
//   1. the plan: where each output goes, checked before anything runs
//   2. the children: their command lines and what their output says
//   3. the run: workers, lines in the order given, totals

#include "BatchCommand.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <iomanip>
#include <map>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "ChildProgram.h"
#include "OutputPath.h"
#include "ParameterSettings.h"

namespace aaxhost {

namespace {

namespace fs = std::filesystem;

// ---- 1. The plan --------------------------------------------------------------------------------

struct BatchFile
{
  std::string input;
  std::string output;
};

void CheckOptions(const BatchOptions& options)
{
  if (options.inputs.empty())
    throw UsageError("--out-dir needs at least one input file");
  if (options.jobs < 1 || options.jobs > kMaxBatchJobs)
    throw UsageError("-j must be from 1 to " + std::to_string(kMaxBatchJobs) + ", not " + std::to_string(options.jobs));
  if (!options.process.saveStatePath.empty())
    throw UsageError("--save-state names one file and does not go with --out-dir");
  for (const auto& input : options.inputs)
    if (input == "-")
      throw UsageError("standard input (-) cannot be one of the inputs of --out-dir");
}

void MakeOutputFolder(const std::string& folder)
{
  std::error_code error;
  if (fs::exists(folder, error) && !fs::is_directory(folder, error))
    throw CommandError(CannotWriteMessage("output folder", folder, "it is not a folder"));
  fs::create_directories(folder, error);
  if (error)
    throw CommandError(CannotWriteMessage("output folder", folder, error.message()));
}

// The output of each input: its file name in the folder, with the extension --type names.
std::vector<BatchFile> PlanFiles(const BatchOptions& options)
{
  std::vector<BatchFile> files;
  std::map<std::string, std::string> inputOf; // output, as the file system names it
  for (const auto& input : options.inputs)
  {
    fs::path name = fs::path(input).filename();
    if (name.empty())
      throw UsageError("input '" + input + "' names no file");
    if (!options.process.outputType.empty())
      name.replace_extension(options.process.outputType);
    const std::string output = (fs::path(options.outputFolder) / name).string();
    std::error_code error;
    if (fs::equivalent(input, output, error))
      throw CommandError(
        CannotWriteMessage("output", output, "it is the input '" + input + "' itself; choose another --out-dir"));
    const std::string key = fs::weakly_canonical(output, error).string();
    if (const auto taken = inputOf.find(key); taken != inputOf.end())
      throw CommandError(CannotWriteMessage(
        "output", output, "inputs '" + taken->second + "' and '" + input + "' would both be written there"));
    inputOf.emplace(key, input);
    files.push_back({input, output});
  }
  return files;
}

// ---- 2. The children ----------------------------------------------------------------------------

// The child's command line: one file with the shared settings, its summary as JSON. Values
// travel glued to their options, and the files after "--", so that none is taken for an option.
std::vector<std::string> ChildArguments(const ProcessOptions& process, const BatchFile& file)
{
  std::vector<std::string> arguments = {"process", "--module=" + process.modulePath, "--json",
                                        "--block=" + std::to_string(process.blockSize)};
  if (!process.outputType.empty())
    arguments.push_back("--type=" + process.outputType);
  if (!process.bits.empty())
    arguments.push_back("--bits=" + process.bits);
  if (process.noDither)
    arguments.push_back("--no-dither");
  if (process.force)
    arguments.push_back("--force");
  if (process.allowTruncated)
    arguments.push_back("--allow-truncated");
  if (!process.latencyCompensation)
    arguments.push_back("--no-latency-compensation");
  if (process.mono)
    arguments.push_back("--mono");
  if (!process.statePath.empty())
    arguments.push_back("--state=" + process.statePath);
  for (const auto& setting : process.settings)
    arguments.push_back("--param=" + setting);
  arguments.insert(arguments.end(), {"--", file.input, file.output});
  return arguments;
}

struct FileResult
{
  bool done = false;
  bool rendered = false;
  std::string reason; // why not
  std::vector<std::string> warnings;
  nlohmann::ordered_json summary; // the child's
};

// The child's messages, without the program's prefix.
std::vector<std::string> MessageLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
  {
    if (line.rfind("aaxhost: ", 0) == 0)
      line.erase(0, 9);
    if (!line.empty())
      lines.push_back(line);
  }
  return lines;
}

FileResult Render(const ProcessOptions& process, const BatchFile& file)
{
  const ChildOutcome child = RunThisProgram(ChildArguments(process, file));
  FileResult result;
  result.done = true;
  std::vector<std::string> messages = MessageLines(child.err);
  if (child.status < 0)
  {
    result.reason = child.error;
    return result;
  }
  if (child.status != 0)
  {
    result.reason = messages.empty() ? "ended with status " + std::to_string(child.status) : messages.back();
    if (child.status > 128 && messages.empty())
      result.reason = "ended by signal " + std::to_string(child.status - 128);
    return result;
  }
  result.summary = nlohmann::ordered_json::parse(child.out, nullptr, false);
  if (result.summary.is_discarded())
  {
    result.reason = "gave no summary";
    return result;
  }
  result.warnings = std::move(messages);
  result.rendered = true;
  return result;
}

// ---- 3. The run ---------------------------------------------------------------------------------

std::string PeakText(const nlohmann::ordered_json& peak)
{
  if (!peak.is_number())
    return "-inf";
  std::ostringstream text;
  text << std::fixed << std::setprecision(2) << peak.get<double>();
  return text.str();
}

void PrintLine(const BatchFile& file, const FileResult& result, std::ostream& out)
{
  if (!result.rendered)
  {
    out << "failed  " << file.input << ": " << result.reason << '\n' << std::flush;
    return;
  }
  const auto& s = result.summary;
  out << "ok      " << file.input << " -> " << file.output << "  (" << s.value("channels", 0) << " ch, "
      << s.value("sample_rate", 0) << " Hz, " << s.value("frames", int64_t{0}) << " frames, peak "
      << PeakText(s.value("input_peak_dbfs", nlohmann::ordered_json())) << " -> "
      << PeakText(s.value("output_peak_dbfs", nlohmann::ordered_json())) << " dBFS)\n";
  for (const auto& warning : result.warnings)
    out << "        warning: " << warning << '\n';
  out << std::flush;
}

void PrintJson(const std::vector<BatchFile>& files, const std::vector<FileResult>& results, std::ostream& out)
{
  nlohmann::ordered_json report = nlohmann::ordered_json::array();
  for (size_t i = 0; i < files.size(); ++i)
  {
    nlohmann::ordered_json entry;
    entry["input"] = files[i].input;
    entry["output"] = files[i].output;
    entry["rendered"] = results[i].rendered;
    if (results[i].rendered)
    {
      entry["warnings"] = results[i].warnings;
      entry["summary"] = results[i].summary;
    }
    else
      entry["error"] = results[i].reason;
    report.push_back(entry);
  }
  out << report.dump(2) << '\n';
}

} // namespace

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
  CheckOptions(options);
  MakeOutputFolder(options.outputFolder);
  const std::vector<BatchFile> files = PlanFiles(options);

  std::vector<FileResult> results(files.size());
  std::mutex lock;
  std::condition_variable finished;
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < files.size(); i = next++)
    {
      FileResult result = Render(options.process, files[i]);
      std::lock_guard<std::mutex> guard(lock);
      results[i] = std::move(result);
      finished.notify_all();
    }
  };
  std::vector<std::thread> workers;
  const size_t jobs = std::min(files.size(), static_cast<size_t>(options.jobs));
  for (size_t i = 0; i < jobs; ++i)
    workers.emplace_back(work);

  // Lines in the order the files were given, each as soon as those before it are done.
  const bool lines = !options.process.json && !options.process.quiet;
  const bool showProgress = options.process.progress && !options.process.quiet;
  size_t printed = 0, done = 0, failed = 0;
  {
    std::unique_lock<std::mutex> guard(lock);
    while (printed < files.size())
    {
      finished.wait(guard, [&] { return results[printed].done; });
      while (printed < files.size() && results[printed].done)
      {
        const FileResult& result = results[printed];
        failed += result.rendered ? 0 : 1;
        if (lines)
        {
          if (showProgress)
            err << "\r\033[K" << std::flush;
          PrintLine(files[printed], result, result.rendered ? out : err);
        }
        else if (!result.rendered && !options.process.json)
          err << "aaxhost: " << files[printed].input << ": " << result.reason << '\n';
        ++printed;
      }
      done = static_cast<size_t>(std::count_if(results.begin(), results.end(), [](const auto& r) { return r.done; }));
      if (showProgress && printed < files.size())
        err << "\raaxhost: " << done << " of " << files.size() << " files done" << std::flush;
    }
  }
  for (auto& worker : workers)
    worker.join();
  if (showProgress)
    err << "\r\033[K" << std::flush;

  if (options.process.json)
    PrintJson(files, results, out);
  else if (!options.process.quiet)
    out << "process: " << files.size() - failed << " of " << files.size() << " file(s) rendered"
        << (failed ? ", " + std::to_string(failed) + " failed" : std::string()) << '\n';
  return failed > 0 ? 1 : 0;
}

} // namespace aaxhost
