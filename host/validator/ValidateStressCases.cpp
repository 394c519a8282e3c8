// Real-time safety and thread stress cases of `aaxhost validate`.

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <thread>

#include "AAX_Errors.h"
#include "ValidateCaseList.h"
#include "ValidateProbe.h"
#include "ValidateRig.h"

namespace aaxhost::cases {

namespace {

struct Probed
{
  probe::Counts total;
  int worstBlock = -1;   // the first block that allocated or locked
  probe::Counts worst;
};

// Renders the blocks on the audio thread with the probe armed around the render procedure alone:
// carrying posted packets into the context and moving the transport on are the host's work.
Probed RenderProbed(ValidateRig& rig, const std::vector<int>& blocks, bool settleBetween,
                    const std::function<void(int)>& beforeBlock = {})
{
  HostSession& session = rig.Session();
  int largest = 1;
  for (const int n : blocks)
    largest = std::max(largest, n);
  std::vector<std::vector<float>> in(static_cast<size_t>(rig.Inputs()), std::vector<float>(static_cast<size_t>(largest)));
  std::vector<std::vector<float>> out(static_cast<size_t>(rig.Outputs()), std::vector<float>(static_cast<size_t>(largest)));
  for (auto& channel : in)
    for (float& x : channel)
      x = static_cast<float>(rig.Context().Uniform(-0.7, 0.7));
  std::vector<float*> inputs, outputs;
  for (auto& channel : in)
    inputs.push_back(channel.data());
  for (auto& channel : out)
    outputs.push_back(channel.data());

  Probed probed;
  for (size_t b = 0; b < blocks.size(); ++b)
  {
    if (beforeBlock)
      beforeBlock(static_cast<int>(b));
    if (settleBetween)
      session.SettleParameters();
    const int frames = blocks[b];
    session.AudioThread().Run([&] {
      session.DeliverPackets();
      probe::Arm();
      session.Context().Render(inputs.data(), outputs.data(), frames);
      const probe::Counts counts = probe::Disarm();
      session.Controller().Transport().Advance(frames, rig.SampleRate());
      probed.total.allocations += counts.allocations;
      probed.total.locks += counts.locks;
      probed.total.mutexWaits += counts.mutexWaits;
      if (probed.worstBlock < 0 && (counts.allocations > 0 || counts.locks > 0))
      {
        probed.worstBlock = static_cast<int>(b);
        probed.worst = counts;
      }
    });
  }
  return probed;
}

} // namespace

void RealtimeSafety(ValidateContext& context)
{
  if (const std::string why = probe::Unavailable(); !why.empty())
    context.Skip("cannot watch the render call: " + why);

  const int prepared = 4096;
  for (const int component : {1, 0})
  {
    ValidateRig rig(context, 48000.0, static_cast<size_t>(component));
    const std::string oversampling = rig.ParameterID("Oversampling");
    const std::string gain = rig.ParameterID("Gain");
    const std::optional<std::string> master = rig.MasterBypassID();
    const std::string bypass = rig.ParameterID("Bypass");

    // Prepared: the largest block first, then a change delivered, so that every first-time
    // cost (buffers, the thread's lock bookkeeping) is behind us.
    RenderProbed(rig, {prepared, 64}, false);
    if (!gain.empty())
      rig.Set(gain, 0.75);
    RenderProbed(rig, {64}, false);

    struct Setting
    {
      std::string what;
      std::optional<std::string> id;
      double value;
    };
    auto named = [](const std::string& id) { return id.empty() ? std::nullopt : std::optional<std::string>(id); };
    const std::vector<Setting> settings = {
      {"defaults", std::nullopt, 0.0},        {"oversampling on", named(oversampling), 1.0}, {"master bypass on", master, 1.0},
      {"master bypass off", master, 0.0}, {"\"Bypass\" on", named(bypass), 1.0},
      {"\"Bypass\" off", named(bypass), 0.0},
      {"oversampling off", named(oversampling), 0.0},
    };
    for (const auto& setting : settings)
    {
      if (setting.id)
        rig.Set(*setting.id, setting.value);
      else if (setting.what != "defaults")
        continue;
      // A latency change may resize the bypass delay line once: that block is not watched.
      RenderProbed(rig, {256}, false);
      std::vector<int> blocks;
      for (int i = 0; i < 10 + 4 * context.Strictness(); ++i)
        blocks.push_back(context.UniformInt(0, 3) == 0 ? prepared : context.UniformInt(1, prepared));
      const Probed probed = RenderProbed(rig, blocks, false);
      if (probed.worstBlock >= 0)
        context.Fail(std::string(component == 0 ? "mono" : "stereo") + ", " + setting.what + ": the render call of block " +
                     std::to_string(probed.worstBlock) + " (" + std::to_string(blocks[static_cast<size_t>(probed.worstBlock)]) +
                     " frames) made " + std::to_string(probed.worst.allocations) + " heap allocation(s) and took " +
                     std::to_string(probed.worst.locks) + " lock(s); " + std::to_string(probed.total.allocations) +
                     " allocation(s) and " + std::to_string(probed.total.locks) + " lock(s) in " +
                     std::to_string(blocks.size()) + " blocks");
    }

    // Blocks that deliver parameter changes: still no allocation; the only lock allowed is the
    // writer lock of the queues that carry the delivered values back.
    if (gain.empty())
      continue;
    std::vector<int> blocks(static_cast<size_t>(8 + 2 * context.Strictness()), 512);
    const Probed delivered = RenderProbed(rig, blocks, true, [&](int) { rig.Session().Automate(gain, context.Uniform(0.0, 1.0)); });
    if (delivered.total.allocations > 0)
      context.Fail(std::string(component == 0 ? "mono" : "stereo") + ": render calls that delivered parameter changes made " +
                   std::to_string(delivered.total.allocations) + " heap allocation(s)");
    const long otherLocks = delivered.total.locks - delivered.total.mutexWaits;
    if (otherLocks > 0)
      context.Fail(std::string(component == 0 ? "mono" : "stereo") + ": render calls that delivered parameter changes took " +
                   std::to_string(otherLocks) + " lock(s) other than a queue writer lock");
    if (component == 1)
      context.Note("allowed exception: the per-call queue writer lock, taken " + std::to_string(delivered.total.mutexWaits) +
                   " time(s) by " + std::to_string(blocks.size()) + " render calls that delivered parameter changes");
  }
}

void ThreadsStress(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  HostSession& session = rig.Session();
  const auto parameters = session.Parameters();
  const auto duration = std::chrono::milliseconds(300 * context.Strictness());
  std::atomic<bool> stop{false};
  std::atomic<long> changes{0}, chunks{0};
  std::string chunkFailure;

  // Seeds for the helper threads come from the case's seed; their interleaving does not.
  const uint64_t automationSeed = context.Random()();
  std::thread automation([&] {
    std::mt19937_64 random(automationSeed);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    std::uniform_int_distribution<size_t> which(0, parameters.size() - 1);
    while (!stop.load())
    {
      for (int i = 0; i < 16; ++i)
        session.Automate(parameters[which(random)].identifier, value(random));
      changes += 16;
      session.ParameterThread().WaitIdle();
    }
  });
  std::thread chunker([&] {
    while (!stop.load())
    {
      try
      {
        // Straight from this thread, neither the UI thread nor the audio thread: where a DAW's
        // autosave and session loading call from.
        const std::vector<uint8_t> state = session.GetChunk();
        std::vector<unsigned char> record(sizeof(AAX_SPlugInChunkHeader) + state.size() + 1, 0);
        auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
        chunk->fSize = static_cast<int32_t>(state.size());
        chunk->fChunkID = session.ChunkID();
        std::memcpy(chunk->fData, state.data(), state.size());
        AAX_CBoolean equal = 0;
        session.Instance().Effect()->CompareActiveChunk(chunk, &equal);
        const AAX_Result result = session.Instance().Effect()->SetChunk(chunk->fChunkID, chunk);
        if (result != AAX_SUCCESS && chunkFailure.empty())
          chunkFailure = "SetChunk during the stress answered " + AAX_ResultMessage(result);
        ++chunks;
      }
      catch (const std::exception& e)
      {
        if (chunkFailure.empty())
          chunkFailure = e.what();
      }
    }
  });

  const Signal input = rig.Noise(4096, 0.7f);
  long blocks = 0;
  std::string renderFailure;
  const auto end = std::chrono::steady_clock::now() + duration;
  try
  {
    while (std::chrono::steady_clock::now() < end)
    {
      const Signal out = rig.Render(input, context.UniformInt(16, 1024));
      CheckOutput(context, out, "rendering during the stress");
      blocks += 1;
    }
  }
  catch (const std::exception& e)
  {
    renderFailure = e.what();
  }
  stop = true;
  automation.join();
  chunker.join();
  session.SettleParameters();
  if (!renderFailure.empty())
    context.Fail(renderFailure);
  if (!chunkFailure.empty())
    context.Fail(chunkFailure);

  for (const auto& p : session.Parameters())
    if (!(p.value >= 0.0 && p.value <= 1.0))
      context.Fail("\"" + p.name + "\" holds " + Describe(p.value) + " after the stress");
  const std::vector<uint8_t> state = session.GetChunk();
  if (session.SetChunk(state) != AAX_SUCCESS || session.GetChunk() != state)
    context.Fail("the state no longer round-trips after the stress");
  CheckOutput(context, rig.Render(input, 512), "rendering after the stress");
  context.Note(std::to_string(blocks) + " render sequences, " + std::to_string(changes.load()) + " automation changes, " +
               std::to_string(chunks.load()) + " chunk round trips in " + std::to_string(duration.count()) + " ms");
}

} // namespace aaxhost::cases
