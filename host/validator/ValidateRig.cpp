#include "ValidateRig.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <sstream>

#include "AAX_CString.h"

namespace aaxhost {

namespace {

// Guard samples carry a signalling-NaN bit pattern that no processing writes by accident.
constexpr size_t kGuard = 32;
constexpr uint32_t kGuardBits = 0x7FA5A5A5u;

struct GuardedBuffer
{
  std::vector<float> storage;

  GuardedBuffer(size_t frames) : storage(frames + 2 * kGuard)
  {
    const float guard = std::bit_cast<float>(kGuardBits);
    for (size_t i = 0; i < kGuard; ++i)
    {
      storage[i] = guard;
      storage[storage.size() - 1 - i] = guard;
    }
  }
  float* Data() { return storage.data() + kGuard; }
  // The first disturbed guard sample, as a signed offset from the buffer (-1 is just before it).
  bool GuardsIntact(long& where) const
  {
    const size_t n = storage.size();
    for (size_t i = 0; i < kGuard; ++i)
    {
      if (std::bit_cast<uint32_t>(storage[i]) != kGuardBits)
      {
        where = static_cast<long>(i) - static_cast<long>(kGuard);
        return false;
      }
      if (std::bit_cast<uint32_t>(storage[n - kGuard + i]) != kGuardBits)
      {
        where = static_cast<long>(n - 2 * kGuard + i);
        return false;
      }
    }
    return true;
  }
};

} // namespace

std::string Describe(double value)
{
  std::ostringstream text;
  text.precision(9);
  text << value;
  return text.str();
}

ValidateRig::ValidateRig(ValidateContext& context, double sampleRate, size_t component)
  : mContext(context), mSampleRate(sampleRate)
{
  HostSession::Options options;
  options.modulePath = context.ModulePath();
  options.component = component;
  options.sampleRate = sampleRate;
  mSession = std::make_unique<HostSession>(options);
  mInputs = mSession->Context().InputChannels();
  mOutputs = mSession->Context().OutputChannels();
}

std::string ValidateRig::ParameterID(const std::string& name)
{
  for (const auto& parameter : mSession->Parameters())
    if (parameter.name == name)
      return parameter.identifier;
  return {};
}

std::optional<std::string> ValidateRig::MasterBypassID()
{
  const std::string named = mSession->UIThread().Run([&] {
    AAX_CString id;
    if (mSession->Instance().Effect()->GetMasterBypassParameter(&id) != AAX_SUCCESS)
      return std::string("\x01");
    return id.StdString();
  });
  for (const auto& parameter : mSession->Parameters())
    if (parameter.identifier == named)
      return named;
  return std::nullopt;
}

std::string ValidateRig::RequireParameter(const std::string& name)
{
  std::string id = ParameterID(name);
  if (id.empty())
    mContext.Skip("the module has no parameter named \"" + name + "\"");
  return id;
}

std::string ValidateRig::RequireMasterBypass()
{
  const auto id = MasterBypassID();
  if (!id)
    mContext.Skip("the module names no master bypass parameter");
  return *id;
}

void ValidateRig::Set(const std::string& id, double normalized)
{
  mSession->Automate(id, normalized);
  mSession->SettleParameters();
}

double ValidateRig::Get(const std::string& id)
{
  return mSession->UIThread().Run([&] {
    double value = std::nan("");
    mSession->Instance().Effect()->GetParameterNormalizedValue(id.c_str(), &value);
    return value;
  });
}

Signal ValidateRig::Noise(size_t frames, float amplitude)
{
  Signal signal(static_cast<size_t>(mInputs), std::vector<float>(frames));
  std::uniform_real_distribution<float> dist(-amplitude, amplitude);
  for (auto& channel : signal)
    for (float& x : channel)
      x = dist(mContext.Random());
  return signal;
}

void ValidateRig::RenderBlocks(const Signal& in, const std::vector<int>& blocks, Signal& out)
{
  if (static_cast<int>(in.size()) != mInputs)
    throw std::logic_error("the signal's channel count differs from the component's");
  out.resize(static_cast<size_t>(mOutputs));
  std::string failure;
  mSession->AudioThread().Run([&] {
    size_t offset = 0;
    for (const int frames : blocks)
    {
      const size_t n = static_cast<size_t>(frames);
      std::vector<GuardedBuffer> inputs, outputs;
      inputs.reserve(static_cast<size_t>(mInputs));
      outputs.reserve(static_cast<size_t>(mOutputs));
      std::vector<float*> inputPointers, outputPointers;
      for (int ch = 0; ch < mInputs; ++ch)
      {
        inputs.emplace_back(n);
        std::memcpy(inputs.back().Data(), in[static_cast<size_t>(ch)].data() + offset, n * sizeof(float));
        inputPointers.push_back(inputs.back().Data());
      }
      for (int ch = 0; ch < mOutputs; ++ch)
      {
        outputs.emplace_back(n);
        // Whatever the host left in its output buffers must not matter.
        std::fill(outputs.back().Data(), outputs.back().Data() + n, 1.0e30f);
        outputPointers.push_back(outputs.back().Data());
      }

      mSession->RenderBlock(inputPointers.data(), outputPointers.data(), frames);

      for (int ch = 0; ch < mInputs && failure.empty(); ++ch)
      {
        long where = 0;
        if (!inputs[static_cast<size_t>(ch)].GuardsIntact(where))
          failure = "input channel " + std::to_string(ch) + " written outside its buffer at sample " +
                    std::to_string(where) + " of a " + std::to_string(frames) + "-frame block";
        else if (std::memcmp(inputs[static_cast<size_t>(ch)].Data(), in[static_cast<size_t>(ch)].data() + offset,
                             n * sizeof(float)) != 0)
          failure = "input channel " + std::to_string(ch) + " modified by a " + std::to_string(frames) + "-frame block";
      }
      for (int ch = 0; ch < mOutputs && failure.empty(); ++ch)
      {
        long where = 0;
        if (!outputs[static_cast<size_t>(ch)].GuardsIntact(where))
          failure = "output channel " + std::to_string(ch) + " written outside its buffer at sample " +
                    std::to_string(where) + " of a " + std::to_string(frames) + "-frame block";
        out[static_cast<size_t>(ch)].insert(out[static_cast<size_t>(ch)].end(), outputs[static_cast<size_t>(ch)].Data(),
                                            outputs[static_cast<size_t>(ch)].Data() + n);
      }
      if (!failure.empty())
        return;
      offset += n;
    }
  });
  if (!failure.empty())
    mContext.Fail(failure);
}

Signal ValidateRig::Render(const Signal& in, const std::vector<int>& blocks)
{
  Signal out;
  RenderBlocks(in, blocks, out);
  return out;
}

Signal ValidateRig::Render(const Signal& in, int blockSize)
{
  std::vector<int> blocks;
  for (size_t left = Frames(in); left > 0;)
  {
    const size_t n = std::min(left, static_cast<size_t>(blockSize));
    blocks.push_back(static_cast<int>(n));
    left -= n;
  }
  return Render(in, blocks);
}

void CheckOutput(ValidateContext& context, const Signal& out, const std::string& what)
{
  for (size_t ch = 0; ch < out.size(); ++ch)
    for (size_t i = 0; i < out[ch].size(); ++i)
    {
      const float x = out[ch][i];
      if (!std::isfinite(x))
        context.Fail(what + ": output channel " + std::to_string(ch) + " sample " + std::to_string(i) + " is " +
                     Describe(x));
      if (std::fpclassify(x) == FP_SUBNORMAL)
        context.Fail(what + ": output channel " + std::to_string(ch) + " sample " + std::to_string(i) +
                     " is subnormal (" + Describe(x) + ")");
    }
}

std::vector<int> RandomSplit(ValidateContext& context, size_t frames, int largest)
{
  std::vector<int> blocks;
  size_t left = frames;
  while (left > 0)
  {
    int n = context.UniformInt(0, 4) == 0 ? 1 : context.UniformInt(1, largest);
    n = static_cast<int>(std::min(left, static_cast<size_t>(n)));
    blocks.push_back(n);
    left -= static_cast<size_t>(n);
  }
  return blocks;
}

} // namespace aaxhost
