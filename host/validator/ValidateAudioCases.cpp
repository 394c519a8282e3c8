// Audio cases of `aaxhost validate`: the processing matrix, split invariance, latency and bad
// input.

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "ValidateCaseList.h"
#include "ValidateRig.h"

namespace aaxhost::cases {

namespace {

// The module's oversampling switch, or the empty text when it has none.
std::string Oversampling(ValidateRig& rig)
{
  return rig.ParameterID("Oversampling");
}

std::string Where(double rate, int component, bool oversampling)
{
  return Describe(rate) + " Hz, " + (component == 0 ? "mono" : "stereo") + ", oversampling " + (oversampling ? "on" : "off");
}

Signal Sine(size_t channels, size_t frames, double rate, double frequency, float amplitude)
{
  Signal signal(channels, std::vector<float>(frames));
  for (size_t i = 0; i < frames; ++i)
  {
    const float x = amplitude * static_cast<float>(std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / rate));
    for (auto& channel : signal)
      channel[i] = x;
  }
  return signal;
}

} // namespace

void ProcessMatrix(ValidateContext& context)
{
  const std::vector<double> rates = {8000, 22050, 44100, 48000, 88200, 96000, 192000, 384000, 96000.0 / 1.001};
  const std::vector<int> fixedBlocks = {1, 2, 3, 17, 64, 511, 512, 513, 1536, 2027, 4096, 16384};
  int renders = 0;
  size_t frames = 0;
  for (const int component : {0, 1})
  {
    for (const double rate : rates)
    {
      ValidateRig rig(context, rate, static_cast<size_t>(component));
      const std::string oversamplingID = Oversampling(rig);
      const std::string gainID = rig.ParameterID("Gain");
      for (const bool oversampling : {false, true})
      {
        if (oversampling && oversamplingID.empty())
          continue;
        if (!oversamplingID.empty())
          rig.Set(oversamplingID, oversampling ? 1.0 : 0.0);
        if (!gainID.empty())
          rig.Set(gainID, context.Uniform(0.0, 1.0));

        std::vector<int> blocks = fixedBlocks;
        int largest = 16384;
        for (int i = 0; i < context.Strictness(); ++i)
        {
          blocks.push_back(context.UniformInt(1, 6000));
          largest = std::max(largest, blocks.back());
        }
        // Larger than any block before, then small ones again.
        blocks.push_back(largest + context.UniformInt(1, 4096));
        for (const int n : {7, 1, 300})
          blocks.push_back(n);
        size_t total = 0;
        for (const int n : blocks)
          total += static_cast<size_t>(n);

        // Noise with a loud stretch that drives the saturation hard, then silence, where decaying
        // filter states would turn subnormal.
        Signal input = rig.Noise(total, 0.5f);
        for (auto& channel : input)
          for (size_t i = total / 3; i < total / 2; ++i)
            channel[i] *= 8.0f;
        std::vector<int> tail = {4096, 4096};
        Signal silence = rig.Silence(8192);
        for (size_t ch = 0; ch < input.size(); ++ch)
          input[ch].insert(input[ch].end(), silence[ch].begin(), silence[ch].end());
        blocks.insert(blocks.end(), tail.begin(), tail.end());

        const Signal out = rig.Render(input, blocks);
        CheckOutput(context, out, Where(rate, component, oversampling));
        ++renders;
        frames += Frames(input);
      }
    }
  }
  context.Note(std::to_string(renders) + " settings, " + std::to_string(frames) + " frames per channel");
}

void SplitInvariance(ValidateContext& context)
{
  const size_t frames = 2000 + 600 * static_cast<size_t>(context.Strictness());
  for (const int component : {1, 0})
  {
    for (const bool oversampling : {false, true})
    {
      ValidateRig whole(context, 48000.0, static_cast<size_t>(component));
      ValidateRig split(context, 48000.0, static_cast<size_t>(component));
      const std::string oversamplingID = Oversampling(whole);
      if (oversampling && oversamplingID.empty())
        continue;
      // The same settings on both, away from the defaults.
      const auto master = whole.MasterBypassID();
      for (const auto& p : whole.Session().Parameters())
      {
        if (p.identifier == master || p.name == "Bypass")
          continue;
        double value = p.identifier == oversamplingID ? (oversampling ? 1.0 : 0.0) : context.Uniform(0.0, 1.0);
        whole.Set(p.identifier, value);
        split.Set(p.identifier, value);
      }
      // Both are prepared for the whole length first, so neither is reset in between.
      whole.Render(whole.Silence(frames), static_cast<int>(frames));
      split.Render(split.Silence(frames), static_cast<int>(frames));

      const Signal input = whole.Noise(frames, 0.8f);
      const Signal a = whole.Render(input, static_cast<int>(frames));
      const auto parts = RandomSplit(context, frames, 700);
      const Signal b = split.Render(input, parts);
      for (size_t ch = 0; ch < a.size(); ++ch)
        for (size_t i = 0; i < frames; ++i)
          if (std::memcmp(&a[ch][i], &b[ch][i], sizeof(float)) != 0)
            context.Fail(Where(48000, component, oversampling) + ": channel " + std::to_string(ch) + " sample " +
                         std::to_string(i) + " is " + Describe(a[ch][i]) + " rendered whole but " + Describe(b[ch][i]) +
                         " in " + std::to_string(parts.size()) + " parts");
    }
  }
}

void LatencyImpulse(ValidateContext& context)
{
  for (const int component : {1, 0})
  {
    for (const bool oversampling : {false, true})
    {
      ValidateRig rig(context, 48000.0, static_cast<size_t>(component));
      const std::string oversamplingID = Oversampling(rig);
      if (oversampling && oversamplingID.empty())
        continue;
      if (!oversamplingID.empty())
        rig.Set(oversamplingID, oversampling ? 1.0 : 0.0);
      rig.Render(rig.Silence(2048), 512);  // the latency settles
      const int32_t latency = rig.Latency();

      const size_t at = 1000 + static_cast<size_t>(context.UniformInt(0, 500));
      Signal input = rig.Silence(4096);
      for (auto& channel : input)
        channel[at] = 0.25f;
      const Signal out = rig.Render(input, 512);
      for (size_t ch = 0; ch < out.size(); ++ch)
      {
        size_t peak = 0;
        for (size_t i = 0; i < out[ch].size(); ++i)
          if (std::fabs(out[ch][i]) > std::fabs(out[ch][peak]))
            peak = i;
        const long delay = static_cast<long>(peak) - static_cast<long>(at);
        if (delay != latency)
          context.Fail(Where(48000, component, oversampling) + ": channel " + std::to_string(ch) +
                       " delays an impulse by " + std::to_string(delay) + " samples but reports latency " +
                       std::to_string(latency));
      }
      // The product's own figure: its half-band pair delays by 64 samples.
      const int32_t expected = oversampling ? 64 : 0;
      if (latency != expected)
        context.Fail(Where(48000, component, oversampling) + ": reported latency " + std::to_string(latency) +
                     ", expected " + std::to_string(expected));
    }
  }
}

void LatencyBypass(ValidateContext& context)
{
  for (const bool oversampling : {false, true})
  {
    ValidateRig rig(context, 48000.0);
    const std::string bypassID = rig.RequireMasterBypass();
    const std::string oversamplingID = Oversampling(rig);
    if (oversampling && oversamplingID.empty())
      continue;
    if (!oversamplingID.empty())
      rig.Set(oversamplingID, oversampling ? 1.0 : 0.0);
    rig.Render(rig.Noise(1024, 0.5f), 256);  // the latency settles
    const int32_t latency = rig.Latency();

    rig.Set(bypassID, 1.0);
    const Signal input = rig.Noise(4096, 0.9f);
    const Signal out = rig.Render(input, 333);
    if (rig.Latency() != latency)
      context.Fail("the master bypass changed the reported latency from " + std::to_string(latency) + " to " +
                   std::to_string(rig.Latency()));
    for (size_t ch = 0; ch < out.size(); ++ch)
      for (size_t i = static_cast<size_t>(latency); i < Frames(out); ++i)
        if (std::memcmp(&out[ch][i], &input[ch][i - static_cast<size_t>(latency)], sizeof(float)) != 0)
          context.Fail(std::string("oversampling ") + (oversampling ? "on" : "off") + ", master bypass: channel " +
                       std::to_string(ch) + " sample " + std::to_string(i) + " is " + Describe(out[ch][i]) +
                       ", not the input " + std::to_string(latency) + " samples earlier (" +
                       Describe(input[ch][i - static_cast<size_t>(latency)]) + ")");
    rig.Set(bypassID, 0.0);

    // The product's own bypass passes the input untouched and reports no latency.
    const std::string productBypass = rig.ParameterID("Bypass");
    if (productBypass.empty())
      continue;
    rig.Set(productBypass, 1.0);
    const Signal direct = rig.Render(input, 512);
    if (rig.Latency() != 0)
      context.Fail("\"Bypass\" on: reported latency " + std::to_string(rig.Latency()) + ", expected 0");
    for (size_t ch = 0; ch < direct.size(); ++ch)
      for (size_t i = 0; i < Frames(direct); ++i)
        if (std::memcmp(&direct[ch][i], &input[ch][i], sizeof(float)) != 0)
          context.Fail("\"Bypass\" on: channel " + std::to_string(ch) + " sample " + std::to_string(i) + " is " +
                       Describe(direct[ch][i]) + ", not the input " + Describe(input[ch][i]));
  }
}

void LatencySwitch(ValidateContext& context)
{
  ValidateRig rig(context, 48000.0);
  const std::string oversampling = rig.RequireParameter("Oversampling");
  const std::string bypass = rig.RequireParameter("Bypass");
  const std::optional<std::string> master = rig.MasterBypassID();
  rig.Render(rig.Noise(512, 0.5f), 512);
  struct Step
  {
    std::string what;
    std::optional<std::string> id;
    double value;
    int32_t latency;
  };
  const std::vector<Step> steps = {
    {"oversampling on", oversampling, 1.0, 64}, {"bypass on", bypass, 1.0, 0},  {"bypass off", bypass, 0.0, 64},
    {"master bypass on", master, 1.0, 64},      {"master bypass off", master, 0.0, 64},
    {"oversampling off", oversampling, 0.0, 0}, {"oversampling on again", oversampling, 1.0, 64},
  };
  for (const auto& step : steps)
  {
    if (!step.id)
      continue;
    rig.Set(*step.id, step.value);
    const int blockSize = context.UniformInt(1, 700);
    rig.Render(rig.Noise(static_cast<size_t>(blockSize), 0.5f), blockSize);
    if (rig.Latency() != step.latency)
      context.Fail("after " + step.what + " the next block (" + std::to_string(blockSize) + " frames) reported latency " +
                   std::to_string(rig.Latency()) + ", expected " + std::to_string(step.latency));
  }
}

void BadInputRecovery(ValidateContext& context)
{
  const double rate = 48000.0;
  const size_t lead = 4800, burst = 256, recovery = 4800, settled = 4800;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Kind
  {
    const char* name;
    std::vector<float> samples;
  };
  const std::vector<Kind> kinds = {
    {"NaN", {nan}},
    {"+infinity", {inf}},
    {"-infinity", {-inf}},
    {"subnormal", {1.0e-40f, -3.0e-42f, std::numeric_limits<float>::denorm_min()}},
    {"mixed", {nan, inf, 0.25f, -inf, 1.0e-40f}},
  };
  for (const bool oversampling : {false, true})
  {
    ValidateRig bad(context, rate);
    ValidateRig clean(context, rate);
    const std::string oversamplingID = Oversampling(bad);
    if (oversampling && oversamplingID.empty())
      continue;
    if (!oversamplingID.empty())
    {
      bad.Set(oversamplingID, oversampling ? 1.0 : 0.0);
      clean.Set(oversamplingID, oversampling ? 1.0 : 0.0);
    }
    const size_t segment = lead + burst + recovery + settled;
    const Signal sine = Sine(static_cast<size_t>(bad.Inputs()), segment * kinds.size(), rate, 997.0, 0.5f);
    Signal badInput = sine, cleanInput = sine;
    for (size_t k = 0; k < kinds.size(); ++k)
      for (size_t ch = 0; ch < badInput.size(); ++ch)
        for (size_t i = 0; i < burst; ++i)
        {
          const size_t at = k * segment + lead + i;
          badInput[ch][at] = kinds[k].samples[(i + ch) % kinds[k].samples.size()];
          cleanInput[ch][at] = 0.0f;
        }
    const Signal a = bad.Render(badInput, 480);
    const Signal b = clean.Render(cleanInput, 480);
    for (size_t k = 0; k < kinds.size(); ++k)
    {
      const std::string what = std::string(kinds[k].name) + " input, oversampling " + (oversampling ? "on" : "off");
      Signal part(a.size());
      for (size_t ch = 0; ch < a.size(); ++ch)
        part[ch].assign(a[ch].begin() + static_cast<long>(k * segment), a[ch].begin() + static_cast<long>((k + 1) * segment));
      CheckOutput(context, part, what);
      for (size_t ch = 0; ch < a.size(); ++ch)
        for (size_t i = lead + burst + recovery; i < segment; ++i)
        {
          const size_t at = k * segment + i;
          if (std::fabs(a[ch][at] - b[ch][at]) > 1e-4f)
            context.Fail(what + ": 100 ms after the bad samples, channel " + std::to_string(ch) + " is still " +
                         Describe(a[ch][at]) + " where clean input gives " + Describe(b[ch][at]));
        }
    }
  }
}

} // namespace aaxhost::cases
