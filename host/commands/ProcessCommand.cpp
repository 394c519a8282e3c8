// The aaxhost process and state commands:
//   1. helpers: levels, four-character codes, summaries
//   2. process: input, settings, render on the audio thread, output
//   3. state: print or write a chunk file

#include "ProcessCommand.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "AAX_Errors.h"
#include "AudioFile.h"
#include "AudioFormat.h"
#include "OutputPath.h"
#include "HostSession.h"
#include "ParameterSettings.h"

namespace aaxhost {

namespace {

// ---- 1. Helpers ---------------------------------------------------------------------------------

constexpr size_t kMaxStateFileBytes = 1 << 20;

std::string FourCC(uint32_t code)
{
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

// Peak level in dBFS; null (JSON) or "-inf" for silence.
nlohmann::ordered_json PeakJson(double peak)
{
  if (!(peak > 0.0))
    return nullptr;
  return std::round(20.0 * std::log10(peak) * 100.0) / 100.0;
}

std::string PeakText(double peak)
{
  if (!(peak > 0.0))
    return "-inf dBFS";
  double level = 20.0 * std::log10(peak);
  if (std::fabs(level) < 0.005)
    level = 0.0;  // not "-0.00"
  std::ostringstream text;
  text << std::fixed << std::setprecision(2) << level << " dBFS";
  return text.str();
}

std::string ComponentName(const HostSession& session)
{
  AAX_CPropertyValue type = 0, input = 0;
  const auto& procs = session.Component().ProcessProcs();
  if (!procs.empty() && procs.front().properties)
  {
    procs.front().properties->GetProperty(AAX_eProperty_PlugInID_Native, &type);
    procs.front().properties->GetProperty(AAX_eProperty_InputStemFormat, &input);
  }
  const int channels = AAX_StemFormatChannelCount(static_cast<uint32_t>(input));
  return std::string(channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + "-channel") +
         " (" + FourCC(static_cast<uint32_t>(type)) + ")";
}

nlohmann::ordered_json ParametersJson(const std::vector<HostInstance::ParameterInfo>& parameters)
{
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& info : parameters)
    list.push_back({{"id", info.identifier}, {"name", info.name}, {"normalized", info.value},
                    {"text", ShownValueText(info.identifier, info.value, info.valueText)}});
  return list;
}

void PrintParameters(std::ostream& out, const std::vector<HostInstance::ParameterInfo>& parameters)
{
  out << "parameters:\n";
  for (const auto& info : parameters)
    out << "  " << std::left << std::setw(14) << (info.name + ":") << ' '
        << ShownValueText(info.identifier, info.value, info.valueText) << "  ("
        << (info.identifier.empty() ? "\"\"" : info.identifier) << " = " << info.value << ")\n";
}

// The state the module expects: same size as its own chunk.
std::vector<uint8_t> ReadStateFile(HostSession& session, const std::string& path)
{
  std::vector<uint8_t> bytes = ReadBytes(path, "state file", kMaxStateFileBytes);
  const size_t expected = session.GetChunk().size();
  if (bytes.size() != expected)
    throw CommandError("state file '" + path + "' holds " + std::to_string(bytes.size()) +
                       " bytes; the module's state chunk holds " + std::to_string(expected));
  return bytes;
}

// Frames the file is read and written in, rounded down to whole host blocks (at least one).
constexpr int64_t kFileChunkFrames = 1 << 16;

// Largest magnitude among the finite samples (0 when there is none). Works on the bit patterns:
// with the sign cleared, a float's bits order as its magnitude does and every finite value lies
// below the pattern of infinity. Eight running maxima keep the loop from waiting on itself.
float FinitePeak(const float* samples, size_t count)
{
  constexpr uint32_t kInfinity = 0x7F800000u;
  constexpr size_t kLanes = 8;
  uint32_t lanes[kLanes] = {};
  size_t i = 0;
  auto magnitude = [samples](size_t at) {
    uint32_t bits;
    std::memcpy(&bits, samples + at, sizeof(bits));
    bits &= 0x7FFFFFFFu;
    return bits < kInfinity ? bits : 0u;
  };
  for (; i + kLanes <= count; i += kLanes)
    for (size_t lane = 0; lane < kLanes; ++lane)
      lanes[lane] = std::max(lanes[lane], magnitude(i + lane));
  uint32_t peak = 0;
  for (; i < count; ++i)
    peak = std::max(peak, magnitude(i));
  for (uint32_t lane : lanes)
    peak = std::max(peak, lane);
  float result;
  std::memcpy(&result, &peak, sizeof(result));
  return result;
}

void Deinterleave(const float* frames, int fileChannels, int channels, size_t count,
                  std::vector<std::vector<float>>& out)
{
  if (channels == 2 && fileChannels == 2)
  {
    float* left = out[0].data();
    float* right = out[1].data();
    for (size_t i = 0; i < count; ++i)
    {
      left[i] = frames[2 * i];
      right[i] = frames[2 * i + 1];
    }
    return;
  }
  for (int ch = 0; ch < channels; ++ch)
    for (size_t i = 0; i < count; ++i)
      out[static_cast<size_t>(ch)][i] = frames[i * static_cast<size_t>(fileChannels) + static_cast<size_t>(ch)];
}

void Interleave(const float* left, const float* right, size_t count, float* frames)
{
  for (size_t i = 0; i < count; ++i)
  {
    frames[2 * i] = left[i];
    frames[2 * i + 1] = right[i];
  }
}

} // namespace

// ---- 2. process ---------------------------------------------------------------------------------

namespace {

void CheckBlockSize(int blockSize)
{
  if (blockSize < 1)
    throw CommandError("block size must be at least 1, not " + std::to_string(blockSize));
  if (blockSize > kMaxProcessBlockSize)
    throw CommandError("block size must be at most " + std::to_string(kMaxProcessBlockSize) + ", not " +
                       std::to_string(blockSize));
}

void CheckInputShape(const AudioFileReader& input, const std::string& path)
{
  if (input.Channels() < 1 || input.Channels() > 2)
    throw CommandError("input '" + path + "' has " + std::to_string(input.Channels()) +
                       " channels; the plug-in takes mono or stereo");
  if (input.SampleRate() < 1)
    throw CommandError("input '" + path + "' has no sample rate");
}

// A mono file, or --mono, takes the mono component (0); a stereo file the stereo one (1).
std::unique_ptr<HostSession> OpenSession(const ProcessOptions& options, int sampleRate, int channels)
{
  HostSession::Options sessionOptions;
  sessionOptions.modulePath = options.modulePath;
  sessionOptions.component = channels == 1 ? 0 : 1;
  sessionOptions.sampleRate = sampleRate;
  auto session = std::make_unique<HostSession>(sessionOptions);
  if (session->Context().InputChannels() != channels || session->Context().OutputChannels() != channels)
    throw CommandError("the module's component " + std::to_string(sessionOptions.component) + " does not take " +
                       std::to_string(channels) + " channel(s)");
  return session;
}

// The saved chunk first, then the settings on top of it.
void RestoreStateAndSettings(HostSession& session, const ProcessOptions& options)
{
  if (!options.statePath.empty())
  {
    const auto state = ReadStateFile(session, options.statePath);
    if (const AAX_Result result = session.SetChunk(state); result != AAX_SUCCESS)
      throw CommandError("the module refused state file '" + options.statePath + "': " + AAX_ResultMessage(result));
  }
  ApplySettings(session, ResolveSettings(session, options.settings));
}

struct RenderTotals
{
  double inputPeak = 0.0;
  double outputPeak = 0.0;
  int64_t blocks = 0;
  int64_t frames = 0;         // rendered, the silence after the input included
  int64_t writtenFrames = 0;
  int latency = 0;            // reported by the plug-in once its first block ran
  bool latencyKnown = false;
  bool compensated = false;
  int64_t toDrop = 0;         // frames still to be dropped at the start of the output
};

// The buffers of one file chunk: the file's frames, the plug-in's channels in and out, and the
// interleaved output.
struct ChunkBuffers
{
  ChunkBuffers(size_t frames, int fileChannels, int channels)
    : file(frames * static_cast<size_t>(fileChannels)), interleaved(frames * static_cast<size_t>(channels)),
      in(static_cast<size_t>(channels), std::vector<float>(frames)),
      out(static_cast<size_t>(channels), std::vector<float>(frames))
  {
  }
  std::vector<float> file;
  std::vector<float> interleaved;
  std::vector<std::vector<float>> in;
  std::vector<std::vector<float>> out;
};

// Splits the file's frames into the plug-in's input channels; returns the peak of what the
// plug-in is given. A stereo file through the mono component is mixed down to one channel.
float SplitInput(ChunkBuffers& buffers, int fileChannels, int channels, size_t count)
{
  if (channels == 1 && fileChannels == 2)
  {
    for (size_t i = 0; i < count; ++i)
      buffers.in[0][i] = 0.5f * (buffers.file[2 * i] + buffers.file[2 * i + 1]);
    return FinitePeak(buffers.in[0].data(), count);
  }
  Deinterleave(buffers.file.data(), fileChannels, channels, count, buffers.in);
  return FinitePeak(buffers.file.data(), count * static_cast<size_t>(fileChannels));
}

// The output channels as the file takes them (interleaved for stereo).
const float* JoinOutput(ChunkBuffers& buffers, int channels, size_t count)
{
  if (channels == 1)
    return buffers.out[0].data();
  Interleave(buffers.out[0].data(), buffers.out[1].data(), count, buffers.interleaved.data());
  return buffers.interleaved.data();
}

// Shows the share of the render done so far on standard error, when asked to.
class Progress
{
public:
  Progress(bool shown, int64_t total) : mShown(shown && total > 0), mTotal(total) {}

  void Update(int64_t frames)
  {
    if (!mShown)
      return;
    const int percent = static_cast<int>(std::min<int64_t>(100, 100 * frames / mTotal));  // the tail runs past the input
    if (percent != mLastPercent)
    {
      std::cerr << "\raaxhost: rendering " << percent << "%" << std::flush;
      mLastPercent = percent;
    }
  }

  void Finish()
  {
    if (mShown)
      std::cerr << "\r\033[K" << std::flush;
  }

private:
  bool mShown;
  int64_t mTotal;
  int mLastPercent = -1;
};

// Renders `count` frames of the chunk's input in host blocks, in place in the chunk's buffers.
void RenderChunk(HostSession& session, ChunkBuffers& buffers, int channels, int64_t count, int64_t block,
                 RenderTotals& totals, Progress& progress)
{
  float* inPointers[2] = {};
  float* outPointers[2] = {};
  for (int64_t at = 0; at < count; at += block)
  {
    const int32_t frames = static_cast<int32_t>(std::min(block, count - at));
    for (int ch = 0; ch < channels; ++ch)
    {
      inPointers[ch] = buffers.in[static_cast<size_t>(ch)].data() + at;
      outPointers[ch] = buffers.out[static_cast<size_t>(ch)].data() + at;
    }
    session.RenderBlock(inPointers, outPointers, frames);
    if (!totals.latencyKnown)
    {
      // The plug-in reports the latency of its settings as it takes them, in its first render.
      totals.latency = std::max(0, session.Latency());
      totals.latencyKnown = true;
      totals.toDrop = totals.compensated ? totals.latency : 0;
    }
    ++totals.blocks;
    totals.frames += frames;
    progress.Update(totals.frames);
  }
}

// Writes a rendered chunk, less the frames still to be dropped at the start (the plug-in's
// delay, when it is compensated); keeps the output peak of what is written.
void WriteChunk(AudioFileWriter& output, ChunkBuffers& buffers, int channels, int64_t count, float& outPeak,
                RenderTotals& totals)
{
  const int64_t dropped = std::min(totals.toDrop, count);
  totals.toDrop -= dropped;
  const int64_t kept = count - dropped;
  if (kept == 0)
    return;
  const float* written = JoinOutput(buffers, channels, static_cast<size_t>(count)) +
                         static_cast<size_t>(dropped) * static_cast<size_t>(channels);
  outPeak = std::max(outPeak, FinitePeak(written, static_cast<size_t>(kept) * static_cast<size_t>(channels)));
  output.Write(written, kept);
  totals.writtenFrames += kept;
}

// The whole render runs on the host's audio thread, block after block. The file is read and
// written in large chunks of whole blocks (one libsndfile call each way per chunk), the
// channels are split and joined once per chunk and the render procedure works on the chunk's
// buffers in place, so a small host block size costs render calls, not file calls.
//
// With compensation, as a DAW's offline bounce: the plug-in is fed its latency in silent frames
// after the input and that many frames are dropped at the start, so the output lines up with
// the input and is as long as it; the plug-in's tail is not cut off.
RenderTotals RenderFile(HostSession& session, AudioFileReader& input, AudioFileWriter& output, int channels,
                        const ProcessOptions& options)
{
  const int64_t block = options.blockSize;
  const int64_t chunk = block * std::max<int64_t>(1, kFileChunkFrames / block);
  const int fileChannels = input.Channels();
  RenderTotals totals;
  totals.compensated = options.latencyCompensation;
  session.AudioThread().Run([&] {
    ChunkBuffers buffers(static_cast<size_t>(chunk), fileChannels, channels);
    Progress progress(options.progress, input.Frames());
    float inPeak = 0.0f, outPeak = 0.0f;
    while (const int64_t n = input.Read(buffers.file.data(), chunk))
    {
      inPeak = std::max(inPeak, SplitInput(buffers, fileChannels, channels, static_cast<size_t>(n)));
      RenderChunk(session, buffers, channels, n, block, totals, progress);
      WriteChunk(output, buffers, channels, n, outPeak, totals);
    }
    for (auto& channel : buffers.in)
      std::fill(channel.begin(), channel.end(), 0.0f);
    for (int64_t silence = totals.compensated ? totals.latency : 0; silence > 0;)
    {
      const int64_t n = std::min(silence, chunk);
      RenderChunk(session, buffers, channels, n, block, totals, progress);
      WriteChunk(output, buffers, channels, n, outPeak, totals);
      silence -= n;
    }
    totals.inputPeak = inPeak;
    totals.outputPeak = outPeak;
    progress.Finish();
  });
  return totals;
}

// An input whose header announced more frames than it holds was cut short (a copy that did not
// finish, a full disk): rendering it as it is would pass for a complete render.
void CheckInputComplete(const AudioFileReader& input, const ProcessOptions& options)
{
  if (input.AnnouncedFrames() < 0 || input.FramesRead() >= input.AnnouncedFrames())
    return;
  const std::string what = "input '" + options.inputPath + "' is truncated: its header announces " +
                           std::to_string(input.AnnouncedFrames()) + " frames, " +
                           std::to_string(input.FramesRead()) + " could be read";
  if (!options.allowTruncated)
    throw CommandError(what + " (--allow-truncated renders what there is)");
  std::cerr << "aaxhost: warning: " << what << '\n';
}

std::string LatencyText(const RenderTotals& totals)
{
  if (totals.latency == 0)
    return "0 samples";
  return std::to_string(totals.latency) + " samples, " +
         (totals.compensated ? "compensated (the output lines up with the input)"
                             : "not compensated (the output is delayed by it)");
}

void PrintJsonSummary(HostSession& session, const ProcessOptions& options, int sampleRate, int channels,
                      const AudioFormat& format, const RenderTotals& totals, std::ostream& out)
{
  nlohmann::ordered_json summary;
  summary["component"] = ComponentName(session);
  summary["sample_rate"] = sampleRate;
  summary["channels"] = channels;
  summary["frames"] = totals.writtenFrames;
  summary["rendered_frames"] = totals.frames;
  summary["block_size"] = options.blockSize;
  summary["blocks"] = totals.blocks;
  summary["latency"] = totals.latency;
  summary["latency_compensated"] = totals.compensated;
  summary["input_peak_dbfs"] = PeakJson(totals.inputPeak);
  summary["output_peak_dbfs"] = PeakJson(totals.outputPeak);
  summary["output"] = options.outputPath;
  summary["format"] = format.Description();
  summary["parameters"] = ParametersJson(session.Parameters());
  out << summary.dump(2) << '\n';
}

void PrintSummary(HostSession& session, const ProcessOptions& options, int sampleRate, int channels,
                  const AudioFormat& format, const RenderTotals& totals, std::ostream& out)
{
  out << "component:     " << ComponentName(session) << '\n'
      << "sample rate:   " << sampleRate << " Hz\n"
      << "frames:        " << totals.writtenFrames << " (" << totals.frames << " rendered in " << totals.blocks
      << " block(s) of up to " << options.blockSize << ")\n"
      << "latency:       " << LatencyText(totals) << '\n'
      << "input peak:    " << PeakText(totals.inputPeak) << '\n'
      << "output peak:   " << PeakText(totals.outputPeak) << '\n'
      << "output:        " << options.outputPath << " (" << format.Description() << ", " << channels
      << " channel(s))\n";
  PrintParameters(out, session.Parameters());
}

} // namespace

void RunProcess(const ProcessOptions& options, std::ostream& out)
{
  CheckBlockSize(options.blockSize);
  AudioFileReader input(options.inputPath);
  CheckInputShape(input, options.inputPath);
  const int channels = (input.Channels() == 1 || options.mono) ? 1 : 2;

  const OutputPlan plan = PlanOutput(options.outputPath, options.force, "output");
  // The output has the input's length, with or without the latency compensation.
  AudioFormatRequest request;
  request.path = options.outputPath;
  request.type = options.outputType;
  request.bits = options.bits;
  request.noDither = options.noDither;
  request.frames = input.Frames();
  request.channels = channels;
  request.wavLimitBytes = options.wavLimitBytes;
  const AudioFormat format = ChooseOutputFormat(request);
  // The state file is checked as the audio output is, before anything is rendered.
  if (!options.saveStatePath.empty())
  {
    if (options.saveStatePath == "-")
      throw UsageError("--save-state names a file; standard output does not take one");
    PlanOutput(options.saveStatePath, options.force, "state file");
  }

  const auto session = OpenSession(options, input.SampleRate(), channels);
  RestoreStateAndSettings(*session, options);

  AudioFileWriter output(plan, format, channels, input.SampleRate(),
                         options.wavLimitBytes ? options.wavLimitBytes : kWavLimitBytes);
  const RenderTotals totals = RenderFile(*session, input, output, channels, options);
  CheckInputComplete(input, options);
  session->SettleParameters();
  if (!options.saveStatePath.empty())
    WriteBytes(options.saveStatePath, session->GetChunk(), "state file", options.force);
  output.Commit();

  if (options.quiet)
    return;
  if (options.json)
    PrintJsonSummary(*session, options, input.SampleRate(), channels, format, totals, out);
  else
    PrintSummary(*session, options, input.SampleRate(), channels, format, totals, out);
}

// ---- 3. state -----------------------------------------------------------------------------------

void RunState(const StateOptions& options, std::ostream& out)
{
  if (options.path.empty() && options.writePath.empty())
    throw UsageError("state takes a FILE to print, --write OUT to write one, or both to edit FILE into OUT");
  if (options.writePath.empty() && !options.settings.empty())
    throw UsageError("--param needs --write OUT: settings make a new state file");
  if (!options.writePath.empty())
  {
    if (options.writePath == "-")
      throw UsageError("--write names a file; standard output does not take one");
    PlanOutput(options.writePath, options.force, "state file");
  }
  std::vector<uint8_t> bytes;
  if (!options.path.empty())
    bytes = ReadBytes(options.path, "state file", kMaxStateFileBytes);

  HostSession::Options sessionOptions;
  sessionOptions.modulePath = options.modulePath;
  HostSession session(sessionOptions);

  if (!options.path.empty())
  {
    const size_t expected = session.GetChunk().size();
    if (bytes.size() != expected)
      throw CommandError("state file '" + options.path + "' holds " + std::to_string(bytes.size()) +
                         " bytes; the module's state chunk holds " + std::to_string(expected));
    if (const AAX_Result result = session.SetChunk(bytes); result != AAX_SUCCESS)
      throw CommandError("the module refused state file '" + options.path + "': " + AAX_ResultMessage(result));
  }
  const bool write = !options.writePath.empty();
  if (write)
  {
    // An edit keeps everything the settings do not name, the editor record included.
    ApplySettings(session, ResolveSettings(session, options.settings));
    session.SettleParameters();
    bytes = session.GetChunk();
    WriteBytes(options.writePath, bytes, "state file", options.force);
  }

  // The editor record: width, height (32-bit integers) and scale (32-bit float); then one 64-bit
  // value per parameter.
  int32_t width = 0, height = 0;
  float scale = 0.0f;
  constexpr size_t kEditorRecord = 12;
  if (bytes.size() >= kEditorRecord)
  {
    std::memcpy(&width, bytes.data(), 4);
    std::memcpy(&height, bytes.data() + 4, 4);
    std::memcpy(&scale, bytes.data() + 8, 4);
  }
  std::vector<double> stored;
  for (size_t at = kEditorRecord; at + 8 <= bytes.size(); at += 8)
  {
    double value = 0.0;
    std::memcpy(&value, bytes.data() + at, 8);
    stored.push_back(value);
  }
  // The master bypass is the host's own and not in the chunk.
  auto parameters = session.Parameters();
  parameters.erase(std::remove_if(parameters.begin(), parameters.end(),
                                  [](const auto& info) { return info.identifier.empty(); }),
                   parameters.end());

  const std::string chunkID = FourCC(session.ChunkID());
  if (options.json)
  {
    nlohmann::ordered_json summary;
    summary["chunk"] = chunkID;
    summary["bytes"] = bytes.size();
    summary["editor"] = {{"width", width}, {"height", height}, {"scale", scale}};
    nlohmann::ordered_json values = nlohmann::ordered_json::array();
    for (size_t i = 0; i < parameters.size(); ++i)
      values.push_back({{"id", parameters[i].identifier},
                        {"name", parameters[i].name},
                        {"value", i < stored.size() ? nlohmann::ordered_json(stored[i]) : nlohmann::ordered_json(nullptr)},
                        {"text", parameters[i].valueText}});
    summary["parameters"] = values;
    if (write)
      summary["written"] = options.writePath;
    out << summary.dump(2) << '\n';
    return;
  }
  out << "chunk '" << chunkID << "', " << bytes.size() << " bytes" << (write ? ", written to " + options.writePath : "")
      << '\n'
      << "editor:        " << width << " x " << height << ", scale " << scale << '\n';
  for (size_t i = 0; i < parameters.size(); ++i)
  {
    out << "  " << std::left << std::setw(14) << (parameters[i].name + ":") << ' ';
    if (i < stored.size())
      out << std::setw(10) << stored[i] << ' ';
    out << parameters[i].valueText << '\n';
  }
}

} // namespace aaxhost
