#include "EditorRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "AAX_Errors.h"
#include "AudioFile.h"
#include "HostSession.h"
#include "OutputPath.h"
#include "ParameterSettings.h"
#include "PngFile.h"

namespace aaxhost {

namespace {

constexpr size_t kMaxStateFileBytes = 1 << 20;
constexpr size_t kMaxScriptBytes = 1 << 20;

std::vector<uint8_t> ReadFileBytes(const std::string& path, const char* what, size_t limit)
{
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    throw CommandError(std::string(what) + " '" + path + "' is not a readable file");
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > limit)
    throw CommandError(std::string(what) + " '" + path + "' is larger than " + std::to_string(limit) + " bytes");
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    throw CommandError(std::string(what) + " '" + path + "' cannot be read");
  return bytes;
}

struct AutomationRecord
{
  std::string identifier;
  int touches = 0;
  int releases = 0;
  std::vector<double> setValues;
  std::vector<std::string> sequence;  // "touch", "set", "release" in order
};

std::vector<AutomationRecord> RecordByParameter(const std::vector<HostAutomationDelegate::Event>& events)
{
  std::vector<AutomationRecord> records;
  for (const auto& event : events)
  {
    if (event.kind != "touch" && event.kind != "set" && event.kind != "release")
      continue;
    auto found = std::find_if(records.begin(), records.end(),
                              [&](const AutomationRecord& r) { return r.identifier == event.paramID; });
    if (found == records.end())
    {
      records.push_back(AutomationRecord{event.paramID, 0, 0, {}, {}});
      found = records.end() - 1;
    }
    if (event.kind == "touch")
      ++found->touches;
    else if (event.kind == "release")
      ++found->releases;
    else
      found->setValues.push_back(event.value);
    found->sequence.push_back(event.kind);
  }
  return records;
}

std::string NameOf(const std::vector<HostInstance::ParameterInfo>& parameters, const std::string& identifier)
{
  for (const auto& info : parameters)
    if (info.identifier == identifier)
      return info.name;
  return "";
}

std::string Shown(const std::string& identifier)
{
  return identifier.empty() ? "\"\"" : identifier;
}

} // namespace

void CheckEditorOptions(const EditorOptions& options)
{
  if (options.pngPath.empty())
    throw UsageError("--png names no file");
  const auto folder = std::filesystem::absolute(options.pngPath).parent_path();
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    throw CommandError(CannotWriteMessage("picture", options.pngPath, "no folder '" + folder.string() + "'"));
  if (options.frames < 0 || options.frames > kMaxEditorFrames)
    throw UsageError("--frames must be from 0 to " + std::to_string(kMaxEditorFrames) + ", not " +
                     std::to_string(options.frames));
  if (options.dpi < 48 || options.dpi > 480)
    throw UsageError("--dpi must be from 48 to 480, not " + std::to_string(options.dpi));
  // A zoom the editor would clamp is refused, not opened at another size than asked.
  if (options.zoom != 0.0 && !(options.zoom >= kMinEditorZoom && options.zoom <= kMaxEditorZoom))
  {
    std::ostringstream text;
    text << "--zoom must be from " << kMinEditorZoom << " to " << kMaxEditorZoom << ", not " << options.zoom;
    throw UsageError(text.str());
  }
  if (!options.saveStatePath.empty())
  {
    if (options.saveStatePath == "-")
      throw UsageError("--save-state names a file; standard output does not take one");
    PlanOutput(options.saveStatePath, options.force, "state file");
  }
}

void WriteEditorOutputs(HostSession& session, const EditorOptions& options, int width, int height,
                        const std::vector<uint8_t>& rgba)
{
  if (!WritePng(options.pngPath, width, height, rgba))
    throw CommandError(CannotWriteMessage("picture", options.pngPath, "the PNG could not be written"));
  // What the editor left, its size included, as a session saved now would hold it.
  if (!options.saveStatePath.empty())
    WriteBytes(options.saveStatePath, session.GetChunk(), "state file", options.force);
}

std::vector<EditorScriptEvent> ReadEditorScriptFile(const EditorOptions& options)
{
  if (options.scriptPath.empty())
    return {};
  const auto bytes = ReadFileBytes(options.scriptPath, "script", kMaxScriptBytes);
  return ParseEditorScript(std::string(bytes.begin(), bytes.end()));
}

void PrepareEditorSession(HostSession& session, const EditorOptions& options)
{
  if (!options.statePath.empty())
  {
    const auto state = ReadFileBytes(options.statePath, "state file", kMaxStateFileBytes);
    if (state.size() != session.GetChunk().size())
      throw CommandError("state file '" + options.statePath + "' holds " + std::to_string(state.size()) +
                         " bytes; the module's state chunk holds " + std::to_string(session.GetChunk().size()));
    if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
      throw CommandError("the module refused state file '" + options.statePath + "': " + AAX_ResultMessage(result));
  }
  ApplySettings(session, ResolveSettings(session, options.settings));
}

void RestoreEditorZoom(HostSession& session, double zoom, const AAX_Point& viewSize)
{
  std::vector<uint8_t> state = session.GetChunk();
  if (state.size() < 12)
    throw CommandError("the module's state holds no editor record to restore a zoom with");
  int32_t width = 0, height = 0;
  std::memcpy(&width, state.data(), 4);
  std::memcpy(&height, state.data() + 4, 4);
  if (width <= 0 || height <= 0)
  {
    width = static_cast<int32_t>(std::lround(viewSize.horz));
    height = static_cast<int32_t>(std::lround(viewSize.vert));
  }
  const float scale = static_cast<float>(zoom);
  std::memcpy(state.data(), &width, 4);
  std::memcpy(state.data() + 4, &height, 4);
  std::memcpy(state.data() + 8, &scale, 4);
  if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
    throw CommandError("the module refused the state at zoom " + std::to_string(zoom) + ": " +
                       AAX_ResultMessage(result));
}

void WriteEditorReport(const EditorOptions& options, const EditorRunRecord& record, std::ostream& out)
{
  const auto& parameters = record.parameters;
  const auto automation = RecordByParameter(record.automation);
  if (options.json)
  {
    nlohmann::ordered_json report;
    report["window"] = {{"width", record.window.cx}, {"height", record.window.cy}};
    report["hostWindow"] = {{"width", record.hostWindow.cx}, {"height", record.hostWindow.cy}};
    report["dpi"] = options.dpi;
    report["ticks"] = record.ticks;
    report["scriptEvents"] = record.scriptEvents;
    report["picture"] = {{"path", options.pngPath}, {"width", record.pictureWidth}, {"height", record.pictureHeight}};
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& info : parameters)
      list.push_back({{"id", info.identifier}, {"name", info.name}, {"normalized", info.value},
                      {"text", ShownValueText(info.identifier, info.value, info.valueText)}});
    report["parameters"] = list;
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const auto& r : automation)
      records.push_back({{"id", r.identifier}, {"name", NameOf(parameters, r.identifier)}, {"touch", r.touches},
                         {"setValueRequests", r.setValues}, {"release", r.releases}, {"sequence", r.sequence}});
    report["automation"] = records;
    nlohmann::ordered_json clickList = nlohmann::ordered_json::array();
    for (const auto& c : record.clicks)
      clickList.push_back({{"kind", c.kind}, {"ids", c.paramIDs}, {"modifiers", c.modifiers}});
    report["parameterClicks"] = clickList;
    out << report.dump(2) << '\n';
    return;
  }

  out << "editor window: " << record.window.cx << " x " << record.window.cy << " (host window "
      << record.hostWindow.cx << " x " << record.hostWindow.cy << ", " << options.dpi << " dpi), " << record.ticks
      << " display ticks, " << record.scriptEvents << " script events\n";
  out << "picture: " << options.pngPath << " (" << record.pictureWidth << " x " << record.pictureHeight << ")\n";
  out << "parameters:\n";
  for (const auto& info : parameters)
    out << "  " << std::left << std::setw(14) << (info.name + ":") << ' '
        << ShownValueText(info.identifier, info.value, info.valueText) << "  (" << Shown(info.identifier) << " = "
        << info.value << ")\n";
  out << "automation since the editor opened:";
  if (automation.empty())
    out << " none";
  out << '\n';
  for (const auto& r : automation)
  {
    out << "  " << Shown(r.identifier) << ' ' << NameOf(parameters, r.identifier) << ": touch " << r.touches
        << ", set-value requests " << r.setValues.size();
    if (!r.setValues.empty())
      out << " (last " << r.setValues.back() << ")";
    out << ", release " << r.releases << '\n';
  }
  if (!record.clicks.empty())
  {
    out << "parameter clicks offered to the host ("
        << (options.hostTakesParameterClicks ? "taken" : "left to the editor") << "):\n";
    for (const auto& c : record.clicks)
    {
      out << "  " << c.kind;
      for (const auto& id : c.paramIDs)
        out << ' ' << Shown(id);
      out << " (modifiers " << c.modifiers << ")\n";
    }
  }
}

} // namespace aaxhost
