#pragma once

// Types and constants shared by the whole plug-in framework.

namespace iplug {

// One audio sample inside the plug-in. Host buffers are 32-bit; the processing frame converts.
using sample = double;

// Direction of a bus or channel.
enum ERoute
{
  kInput = 0,
  kOutput = 1
};

// Who caused a parameter change.
enum EParamSource
{
  kReset = 0,
  kHost = 1,
  kPresetRecall = 2,
  kUI = 3,
  kDelegate = 4,
  kRecompile = 5,
  kUnknown = 6,
  kNumParamSources
};

// The names under which parameter sources appear in trace lines.
inline const char* ParamSourceName(int source)
{
  static const char* const kNames[kNumParamSources] = {
    "Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown"};
  return (source >= 0 && source < kNumParamSources) ? kNames[source] : kNames[kUnknown];
}

// Builds a four-character identifier with the first character in the most significant byte.
constexpr int FourCC(const char (&id)[5])
{
  return static_cast<int>((static_cast<unsigned>(static_cast<unsigned char>(id[0])) << 24) |
                          (static_cast<unsigned>(static_cast<unsigned char>(id[1])) << 16) |
                          (static_cast<unsigned>(static_cast<unsigned char>(id[2])) << 8) |
                          static_cast<unsigned>(static_cast<unsigned char>(id[3])));
}

} // namespace iplug
