// Saves Corvane's state through lilv's state API and loads it back the ways a Linux host and
// the AAX build would:
//
//   lv2statecheck IN.wav WORK_DIR [SYMBOL=VALUE]...
//
// 1. renders IN through the stereo plug-in at the settings into WORK_DIR/lilv-set.wav and saves
//    the instance's state with lilv (WORK_DIR/state.lv2/state.ttl);
// 2. loads that file with lilv into a fresh instance whose ports stay at their defaults,
//    renders IN into WORK_DIR/lilv-restored.wav and compares it with the first render;
// 3. reads the state property out of the Turtle (sord) into WORK_DIR/lilv.state, the raw state
//    chunk, for `aaxhost process --state`.
// Finds the plug-in on LV2_PATH. Exit status 0 when every step worked and the renders agree.

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>
#include <serd/serd.h>
#include <sndfile.h>
#include <sord/sord.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "HostUris.h"

namespace {

constexpr const char* kPluginURI = "http://quillmarsh.com/plugins/corvane/stereo";
constexpr const char* kStateKey = "http://quillmarsh.com/plugins/corvane#state";
constexpr uint32_t kBlock = 512;

struct Audio
{
  std::vector<std::vector<float>> channels;
  int rate = 0;
};

bool ReadWav(const char* path, Audio& audio)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path, SFM_READ, &info);
  if (!f || info.channels != 2)
  {
    if (f)
      sf_close(f);
    return false;
  }
  std::vector<float> interleaved(static_cast<size_t>(info.frames) * 2);
  sf_readf_float(f, interleaved.data(), info.frames);
  sf_close(f);
  audio.rate = info.samplerate;
  audio.channels.assign(2, std::vector<float>(static_cast<size_t>(info.frames)));
  for (size_t i = 0; i < static_cast<size_t>(info.frames); ++i)
    for (size_t ch = 0; ch < 2; ++ch)
      audio.channels[ch][i] = interleaved[i * 2 + ch];
  return true;
}

bool WriteWav(const std::string& path, const Audio& audio)
{
  SF_INFO info{};
  info.channels = 2;
  info.samplerate = audio.rate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  const size_t frames = audio.channels[0].size();
  std::vector<float> interleaved(frames * 2);
  for (size_t i = 0; i < frames; ++i)
    for (size_t ch = 0; ch < 2; ++ch)
      interleaved[i * 2 + ch] = audio.channels[ch][i];
  sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(f);
  return true;
}

// One instance with a buffer per port; controls at the description's defaults.
struct Host
{
  LilvWorld* world;
  const LilvPlugin* plugin;
  LilvInstance* instance = nullptr;
  std::vector<float> controls;
  std::vector<uint32_t> audioIn;
  std::vector<uint32_t> audioOut;

  Host(LilvWorld* w, const LilvPlugin* p, double rate, const LV2_Feature* const* features) : world(w), plugin(p)
  {
    const uint32_t n = lilv_plugin_get_num_ports(plugin);
    controls.assign(n, 0.f);
    std::vector<float> defaults(n, NAN);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    LilvNode* audioClass = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
    LilvNode* inputClass = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    LilvNode* controlClass = lilv_new_uri(world, LILV_URI_CONTROL_PORT);
    instance = lilv_plugin_instantiate(plugin, rate, features);
    for (uint32_t i = 0; instance && i < n; ++i)
    {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      if (lilv_port_is_a(plugin, port, audioClass))
      {
        (lilv_port_is_a(plugin, port, inputClass) ? audioIn : audioOut).push_back(i);
        continue;
      }
      if (!lilv_port_is_a(plugin, port, controlClass))
        continue;  // message ports are optional and stay unconnected, as lv2apply leaves them
      controls[i] = std::isnan(defaults[i]) ? 0.f : defaults[i];
      lilv_instance_connect_port(instance, i, &controls[i]);
    }
    lilv_node_free(audioClass);
    lilv_node_free(inputClass);
    lilv_node_free(controlClass);
    if (instance)
      lilv_instance_activate(instance);
  }

  ~Host()
  {
    if (instance)
    {
      lilv_instance_deactivate(instance);
      lilv_instance_free(instance);
    }
  }

  bool Set(const std::string& symbol, float value)
  {
    LilvNode* sym = lilv_new_string(world, symbol.c_str());
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, sym);
    lilv_node_free(sym);
    if (!port)
      return false;
    controls[lilv_port_get_index(plugin, port)] = value;
    return true;
  }

  Audio Render(const Audio& in)
  {
    Audio out{std::vector<std::vector<float>>(2, std::vector<float>(in.channels[0].size())), in.rate};
    const auto frames = static_cast<uint32_t>(in.channels[0].size());
    for (uint32_t at = 0; at < frames; at += kBlock)
    {
      for (size_t ch = 0; ch < 2; ++ch)
      {
        lilv_instance_connect_port(instance, audioIn[ch], const_cast<float*>(in.channels[ch].data()) + at);
        lilv_instance_connect_port(instance, audioOut[ch], out.channels[ch].data() + at);
      }
      lilv_instance_run(instance, std::min(kBlock, frames - at));
    }
    return out;
  }

  static const void* PortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type)
  {
    auto* self = static_cast<Host*>(user);
    LilvNode* sym = lilv_new_string(self->world, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(self->plugin, sym);
    lilv_node_free(sym);
    if (!port)
      return nullptr;
    *size = sizeof(float);
    *type = self->floatType;
    return &self->controls[lilv_port_get_index(self->plugin, port)];
  }
  uint32_t floatType = 0;
};

// The state property's bytes, read back from the saved Turtle.
bool ReadStateChunk(const std::string& ttl, std::vector<uint8_t>& bytes)
{
  SordWorld* world = sord_world_new();
  SordModel* model = sord_new(world, SORD_SPO | SORD_OPS, false);
  const std::string base = "file://" + ttl;
  SerdNode baseNode = serd_node_from_string(SERD_URI, reinterpret_cast<const uint8_t*>(base.c_str()));
  SerdEnv* env = serd_env_new(&baseNode);
  SerdReader* reader = sord_new_reader(model, env, SERD_TURTLE, nullptr);
  bool found = false;
  if (serd_reader_read_file(reader, reinterpret_cast<const uint8_t*>(ttl.c_str())) == SERD_SUCCESS)
  {
    SordNode* key = sord_new_uri(world, reinterpret_cast<const uint8_t*>(kStateKey));
    SordIter* it = sord_search(model, nullptr, key, nullptr, nullptr);
    if (it && !sord_iter_end(it))
    {
      size_t length = 0;
      const uint8_t* text = sord_node_get_string_counted(sord_iter_get_node(it, SORD_OBJECT), &length);
      size_t size = 0;
      if (void* decoded = serd_base64_decode(text, length, &size))
      {
        bytes.assign(static_cast<uint8_t*>(decoded), static_cast<uint8_t*>(decoded) + size);
        serd_free(decoded);
        found = true;
      }
    }
    sord_iter_free(it);
    sord_node_free(world, key);
  }
  serd_reader_free(reader);
  serd_env_free(env);
  sord_free(model);
  sord_world_free(world);
  return found;
}

int Fail(const char* what)
{
  std::fprintf(stderr, "lv2statecheck: %s\n", what);
  return 1;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc < 3)
    return Fail("usage: lv2statecheck IN.wav WORK_DIR [SYMBOL=VALUE]...");
  const std::string work = argv[2];
  Audio in;
  if (!ReadWav(argv[1], in))
    return Fail("cannot read the input (a stereo file)");

  HostUris uris;
  LV2_URID_Map map{&uris, HostUris::Map};
  LV2_URID_Unmap unmap{&uris, HostUris::Unmap};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
  const LV2_Feature* features[] = {&mapFeature, &unmapFeature, nullptr};

  LilvWorld* world = lilv_world_new();
  lilv_world_load_all(world);
  LilvNode* uri = lilv_new_uri(world, kPluginURI);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  lilv_node_free(uri);
  if (!plugin)
    return Fail("the plug-in is not on LV2_PATH");

  int status = 0;
  const std::string stateDir = work + "/state.lv2";
  {
    Host saved(world, plugin, in.rate, features);
    saved.floatType = map.map(map.handle, "http://lv2plug.in/ns/ext/atom#Float");
    if (!saved.instance)
      return Fail("the plug-in did not instantiate");
    for (int i = 3; i < argc; ++i)
    {
      const char* eq = std::strchr(argv[i], '=');
      if (!eq || !saved.Set(std::string(argv[i], static_cast<size_t>(eq - argv[i])), std::strtof(eq + 1, nullptr)))
        return Fail("a setting is not SYMBOL=VALUE with a port symbol");
    }
    const Audio first = saved.Render(in);
    if (!WriteWav(work + "/lilv-set.wav", first))
      return Fail("cannot write lilv-set.wav");
    LilvState* state = lilv_state_new_from_instance(plugin, saved.instance, &map, nullptr, nullptr, nullptr,
                                                    stateDir.c_str(), Host::PortValue, &saved, 0, features);
    if (!state || lilv_state_save(world, &map, &unmap, state, nullptr, stateDir.c_str(), "state.ttl") != 0)
      return Fail("lilv could not save the state");
    lilv_state_free(state);

    // Loaded from the file into an instance whose ports keep their defaults: the plug-in's own
    // state must carry the settings.
    LilvState* loaded = lilv_state_new_from_file(world, &map, nullptr, (stateDir + "/state.ttl").c_str());
    if (!loaded)
      return Fail("lilv could not load the saved state");
    Host restored(world, plugin, in.rate, features);
    lilv_state_restore(loaded, restored.instance, nullptr, nullptr, 0, features);
    lilv_state_free(loaded);
    const Audio second = restored.Render(in);
    if (!WriteWav(work + "/lilv-restored.wav", second))
      return Fail("cannot write lilv-restored.wav");
    double worst = 0.0;
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < first.channels[ch].size(); ++i)
        worst = std::max(worst, std::fabs(static_cast<double>(first.channels[ch][i]) - second.channels[ch][i]));
    std::printf("lv2statecheck: restored render differs from the saved instance's by at most %g\n", worst);
    if (worst != 0.0)
      status = 1;
  }

  std::vector<uint8_t> chunk;
  if (!ReadStateChunk(stateDir + "/state.ttl", chunk))
    return Fail("the saved Turtle holds no state property");
  FILE* f = std::fopen((work + "/lilv.state").c_str(), "wb");
  if (!f || std::fwrite(chunk.data(), 1, chunk.size(), f) != chunk.size() || std::fclose(f) != 0)
    return Fail("cannot write lilv.state");
  std::printf("lv2statecheck: the state property holds %zu bytes (lilv.state)\n", chunk.size());
  lilv_world_free(world);
  return status;
}
