#pragma once

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

// A small LV2 host for the adapter's tests: loads the module file through its one export, maps
// URIs, offers the block-length options when asked, owns every port buffer and runs an instance
// the way lilv's hosts do.
namespace lv2test {

constexpr int kParamPorts = 6;
constexpr uint32_t kEnabledPort = 6;
constexpr uint32_t kLatencyPort = 7;
// Then the audio inputs and outputs (two each in stereo) and the two message ports.
constexpr uint32_t kStereoPortCount = 14;
constexpr const char* kMonoURI = "http://quillmarsh.com/plugins/corvane/mono";
constexpr const char* kStereoURI = "http://quillmarsh.com/plugins/corvane/stereo";
constexpr const char* kStateKey = "http://quillmarsh.com/plugins/corvane#state";

class Module
{
public:
  Module() : mHandle(dlopen(CORVANE_LV2_MODULE, RTLD_NOW | RTLD_LOCAL)) {}
  ~Module()
  {
    if (mHandle)
      dlclose(mHandle);
  }
  const LV2_Descriptor* Descriptor(uint32_t index) const
  {
    auto fn = reinterpret_cast<LV2_Descriptor_Function>(dlsym(mHandle, "lv2_descriptor"));
    return fn ? fn(index) : nullptr;
  }
  bool Loaded() const { return mHandle != nullptr; }

private:
  void* mHandle;
};

class UridMap
{
public:
  UridMap() { mFeature.data = &mMap; }
  LV2_URID Map(const char* uri)
  {
    auto [it, inserted] = mIds.emplace(uri, static_cast<LV2_URID>(mIds.size() + 1));
    return it->second;
  }
  LV2_Feature* Feature() { return &mFeature; }

private:
  static LV2_URID MapFn(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->Map(uri); }
  std::map<std::string, LV2_URID> mIds;
  LV2_URID_Map mMap{this, MapFn};
  LV2_Feature mFeature{LV2_URID__map, nullptr};
};

struct HostOptions
{
  bool withMap = true;
  int maxBlockLength = 0;  // 0: not announced
  double sampleRate = 48000.0;
};

// One instance with its port buffers. Control values start at the plug-in's defaults.
class Instance
{
public:
  Instance(const Module& module, int channels, const HostOptions& options = {}, int maxFrames = 8192)
    : mChannels(channels), mIn(static_cast<size_t>(channels)), mOut(static_cast<size_t>(channels))
  {
    mDescriptor = module.Descriptor(channels == 1 ? 0 : 1);
    std::vector<const LV2_Feature*> features;
    if (options.withMap)
      features.push_back(mMap.Feature());
    mMaxBlock = options.maxBlockLength;
    mOptions = {
      {LV2_OPTIONS_INSTANCE, 0, mMap.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), mMap.Map(LV2_ATOM__Int), &mMaxBlock},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    mOptionsFeature = {LV2_OPTIONS__options, mOptions.data()};
    mBoundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    if (options.maxBlockLength > 0)
    {
      features.push_back(&mOptionsFeature);
      features.push_back(&mBoundedFeature);
    }
    features.push_back(nullptr);
    if (mDescriptor)
      mHandle = mDescriptor->instantiate(mDescriptor, options.sampleRate, "", features.data());
    if (!mHandle)
      return;
    for (auto* buffers : {&mIn, &mOut})
      for (auto& b : *buffers)
        b.assign(static_cast<size_t>(maxFrames), 0.f);
    for (int i = 0; i < kParamPorts; ++i)
      mDescriptor->connect_port(mHandle, static_cast<uint32_t>(i), &mControls[static_cast<size_t>(i)]);
    mDescriptor->connect_port(mHandle, kEnabledPort, &mEnabled);
    mDescriptor->connect_port(mHandle, kLatencyPort, &mLatency);
    for (int ch = 0; ch < channels; ++ch)
    {
      mDescriptor->connect_port(mHandle, AudioIn(ch), mIn[static_cast<size_t>(ch)].data());
      mDescriptor->connect_port(mHandle, AudioOut(ch), mOut[static_cast<size_t>(ch)].data());
    }
    mDescriptor->activate(mHandle);
  }

  ~Instance()
  {
    if (mHandle)
    {
      mDescriptor->deactivate(mHandle);
      mDescriptor->cleanup(mHandle);
    }
  }

  bool Valid() const { return mHandle != nullptr; }
  LV2_Handle Handle() const { return mHandle; }
  const LV2_Descriptor* Descriptor() const { return mDescriptor; }
  UridMap& Map() { return mMap; }
  uint32_t AudioIn(int ch) const { return static_cast<uint32_t>(kParamPorts + 2 + ch); }
  uint32_t AudioOut(int ch) const { return static_cast<uint32_t>(kParamPorts + 2 + mChannels + ch); }

  float& Control(int paramIdx) { return mControls[static_cast<size_t>(paramIdx)]; }
  float& Enabled() { return mEnabled; }
  float Latency() const { return mLatency; }
  std::vector<float>& In(int ch) { return mIn[static_cast<size_t>(ch)]; }
  std::vector<float>& Out(int ch) { return mOut[static_cast<size_t>(ch)]; }

  // Runs frames from offset `at` of the buffers (ports re-pointed there first).
  void Run(uint32_t frames, uint32_t at = 0)
  {
    for (int ch = 0; ch < mChannels; ++ch)
    {
      mDescriptor->connect_port(mHandle, AudioIn(ch), In(ch).data() + at);
      mDescriptor->connect_port(mHandle, AudioOut(ch), Out(ch).data() + at);
    }
    mDescriptor->run(mHandle, frames);
  }

  // Renders the whole buffers in runs of `block` frames.
  void RenderAll(uint32_t block)
  {
    const auto total = static_cast<uint32_t>(mIn[0].size());
    for (uint32_t at = 0; at < total; at += block)
      Run(std::min(block, total - at), at);
  }

  const LV2_State_Interface* State() const
  {
    return static_cast<const LV2_State_Interface*>(mDescriptor->extension_data(LV2_STATE__interface));
  }

private:
  const LV2_Descriptor* mDescriptor = nullptr;
  LV2_Handle mHandle = nullptr;
  int mChannels;
  UridMap mMap;
  int32_t mMaxBlock = 0;
  std::vector<LV2_Options_Option> mOptions;
  LV2_Feature mOptionsFeature{};
  LV2_Feature mBoundedFeature{};
  // Parameter defaults: Gain, Low Gain, High Gain, Output, Oversampling, Bypass.
  std::vector<float> mControls = std::vector<float>(kParamPorts, 0.f);
  float mEnabled = 1.f;
  float mLatency = -1.f;
  std::vector<std::vector<float>> mIn;
  std::vector<std::vector<float>> mOut;
};

// A state store of one property at a time, as a host's state map keeps it.
struct StateRecord
{
  uint32_t key = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  std::vector<uint8_t> bytes;
  bool stored = false;

  static LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                                uint32_t type, uint32_t flags)
  {
    auto* self = static_cast<StateRecord*>(handle);
    self->key = key;
    self->type = type;
    self->flags = flags;
    self->bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    self->stored = true;
    return LV2_STATE_SUCCESS;
  }

  static const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
  {
    auto* self = static_cast<StateRecord*>(handle);
    if (!self->stored || key != self->key)
      return nullptr;
    *size = self->bytes.size();
    *type = self->type;
    *flags = self->flags;
    static const uint8_t kNothing = 0;  // a record of no bytes still has an address
    return self->bytes.empty() ? &kNothing : self->bytes.data();
  }
};

} // namespace lv2test
