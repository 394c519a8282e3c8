// Times one LV2 plug-in the way a host runs it, so that Corvane and the saturation plug-ins a Linux
// user might pick instead are measured through the same loop:
//
//   lv2peerbench URI BLOCK SECONDS [SYMBOL=VALUE]...
//
// Instantiates URI at 48 kHz (block length announced as BLOCK through the options and buffer-size
// features), connects every control port to its default or the value given, audio inputs to a
// two-tone signal at -6 dBFS and audio outputs to their own buffers, activates it, runs a second
// to let smoothers and latency settle, then runs blocks of BLOCK frames for SECONDS of audio and
// prints one line:
//
//   URI BLOCK NS_PER_FRAME AUDIO_INPUTS AUDIO_OUTPUTS LATENCY
//
// NS_PER_FRAME is the CPU time of this thread spent in run(), per frame (a stereo frame for a
// stereo plug-in). Finds the plug-in on LV2_PATH. Exit status 0 when it ran.

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "HostUris.h"

namespace {

constexpr double kRate = 48000.0;

double ThreadCpuSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

int Fail(const std::string& message)
{
  std::fprintf(stderr, "lv2peerbench: %s\n", message.c_str());
  return 1;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc < 4)
    return Fail("usage: lv2peerbench URI BLOCK SECONDS [SYMBOL=VALUE]...");
  const std::string uri = argv[1];
  const int block = std::atoi(argv[2]);
  const double seconds = std::atof(argv[3]);
  if (block < 1 || block > 65536 || !(seconds > 0.0))
    return Fail("BLOCK must be 1 to 65536 and SECONDS above 0");
  std::map<std::string, float> settings;
  for (int i = 4; i < argc; ++i)
  {
    const char* eq = std::strchr(argv[i], '=');
    if (!eq)
      return Fail(std::string("a setting is not SYMBOL=VALUE: ") + argv[i]);
    settings[std::string(argv[i], static_cast<size_t>(eq - argv[i]))] = std::strtof(eq + 1, nullptr);
  }

  LilvWorld* world = lilv_world_new();
  lilv_world_load_all(world);
  LilvNode* uriNode = lilv_new_uri(world, uri.c_str());
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
  if (!plugin)
    return Fail("no plug-in " + uri + " on LV2_PATH");

  HostUris uris;
  LV2_URID_Map map{&uris, HostUris::Map};
  LV2_URID_Unmap unmap{&uris, HostUris::Unmap};
  const int32_t blockLength = block;
  const LV2_Options_Option options[] = {
    {LV2_OPTIONS_INSTANCE, 0, HostUris::Map(&uris, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
     HostUris::Map(&uris, LV2_ATOM__Int), &blockLength},
    {LV2_OPTIONS_INSTANCE, 0, HostUris::Map(&uris, LV2_BUF_SIZE__minBlockLength), sizeof(int32_t),
     HostUris::Map(&uris, LV2_ATOM__Int), &blockLength},
    {LV2_OPTIONS_INSTANCE, 0, HostUris::Map(&uris, LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
     HostUris::Map(&uris, LV2_ATOM__Int), &blockLength},
    {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
  const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
  const LV2_Feature boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
  const LV2_Feature* features[] = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature, nullptr};

  LilvInstance* instance = lilv_plugin_instantiate(plugin, kRate, features);
  if (!instance)
    return Fail("cannot instantiate " + uri);

  LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
  LilvNode* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
  LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
  LilvNode* latencyDesignation = lilv_new_uri(world, LV2_CORE__latency);
  LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
  const uint32_t nPorts = lilv_plugin_get_num_ports(plugin);
  std::vector<float> defaults(nPorts, 0.0f), minima(nPorts, 0.0f), maxima(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, minima.data(), maxima.data(), defaults.data());
  std::vector<float> controls(nPorts, 0.0f);
  std::vector<std::unique_ptr<float[]>> audio;
  // Event ports get an empty sequence in and room for one out, set again before every run.
  constexpr uint32_t kAtomCapacity = 8192;
  struct AtomBuffer
  {
    std::unique_ptr<uint64_t[]> storage{new uint64_t[kAtomCapacity / 8]()};
    bool input = false;
    LV2_Atom_Sequence* Sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(storage.get()); }
  };
  std::vector<AtomBuffer> atoms;
  const LV2_URID sequenceType = HostUris::Map(&uris, LV2_ATOM__Sequence);
  const LV2_URID chunkType = HostUris::Map(&uris, LV2_ATOM__Chunk);
  auto resetAtoms = [&] {
    for (AtomBuffer& a : atoms)
    {
      LV2_Atom_Sequence* seq = a.Sequence();
      seq->atom.size = a.input ? sizeof(LV2_Atom_Sequence_Body) : kAtomCapacity - sizeof(LV2_Atom);
      seq->atom.type = a.input ? sequenceType : chunkType;
      seq->body.unit = 0;
      seq->body.pad = 0;
    }
  };
  const size_t frames = static_cast<size_t>(block);
  int audioIn = 0, audioOut = 0;
  const LilvPort* latencyPort = lilv_plugin_get_port_by_designation(plugin, nullptr, latencyDesignation);
  for (uint32_t p = 0; p < nPorts; ++p)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
    const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
    if (lilv_port_is_a(plugin, port, audioClass))
    {
      auto buffer = std::make_unique<float[]>(frames);
      const bool input = lilv_port_is_a(plugin, port, inputClass);
      if (input)
      {
        const double hz = audioIn == 0 ? 440.0 : 660.0;
        for (size_t i = 0; i < frames; ++i)
          buffer[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * hz * double(i) / kRate));
        ++audioIn;
      }
      else
      {
        ++audioOut;
      }
      lilv_instance_connect_port(instance, p, buffer.get());
      audio.push_back(std::move(buffer));
    }
    else if (lilv_port_is_a(plugin, port, controlClass))
    {
      controls[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
      if (auto found = settings.find(symbol); found != settings.end())
      {
        controls[p] = found->second;
        settings.erase(found);
      }
      lilv_instance_connect_port(instance, p, &controls[p]);
    }
    else if (lilv_port_is_a(plugin, port, atomClass))
    {
      AtomBuffer& a = atoms.emplace_back();
      a.input = lilv_port_is_a(plugin, port, inputClass);
      lilv_instance_connect_port(instance, p, a.Sequence());
    }
    else
    {
      lilv_instance_connect_port(instance, p, nullptr);
    }
  }
  if (!settings.empty())
    return Fail("no control port " + settings.begin()->first + " on " + uri);

  lilv_instance_activate(instance);
  for (double done = 0.0; done < kRate; done += block)
  {
    resetAtoms();
    lilv_instance_run(instance, static_cast<uint32_t>(block));
  }
  const auto blocks = static_cast<int64_t>(std::ceil(seconds * kRate / block));
  // A host empties the event buffers between runs too: a few stores, counted with the plug-in.
  const double start = ThreadCpuSeconds();
  for (int64_t b = 0; b < blocks; ++b)
  {
    resetAtoms();
    lilv_instance_run(instance, static_cast<uint32_t>(block));
  }
  const double spent = ThreadCpuSeconds() - start;
  lilv_instance_deactivate(instance);

  const float latency = latencyPort ? controls[lilv_port_get_index(plugin, latencyPort)] : 0.0f;
  std::printf("%s %d %.2f %d %d %g\n", uri.c_str(), block, spent * 1e9 / (double(blocks) * block), audioIn,
              audioOut, double(latency));

  lilv_instance_free(instance);
  for (LilvNode* n : {uriNode, audioClass, controlClass, inputClass, latencyDesignation, atomClass})
    lilv_node_free(n);
  lilv_world_free(world);
  return 0;
}
