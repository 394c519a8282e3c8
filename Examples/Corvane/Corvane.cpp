#include "Corvane.h"

#include <cmath>

#include "CorvaneIdentity.h"

using namespace iplug;

ConfigRecord Corvane::MakeConfig()
{
  ConfigRecord c;
  c.nParams = kNumParams;
  c.nPresets = 1;
  c.channelIOStr = corvane::kChannelIO;
  c.pluginName = corvane::kPluginName;
  c.productName = corvane::kProductName;
  c.mfrName = corvane::kMakerName;
  c.vendorVersion = corvane::kVendorVersion;
  c.uniqueID = FourCC(corvane::kUniqueId);
  c.mfrID = FourCC(corvane::kMakerId);
  c.latency = 0;
  c.plugDoesMidiIn = false;
  c.plugDoesMidiOut = false;
  c.plugDoesMPE = false;
  c.plugDoesChunks = true;
  c.plugType = 0;
  c.plugHasUI = true;
  c.plugWidth = corvane::kEditorWidth;
  c.plugHeight = corvane::kEditorHeight;
  c.plugMinWidth = corvane::kEditorWidth / 2;
  c.plugMaxWidth = corvane::kEditorWidth * 2;
  c.plugMinHeight = corvane::kEditorHeight / 2;
  c.plugMaxHeight = corvane::kEditorHeight * 2;
  c.plugHostResize = false;
  c.bundleID = "";
  return c;
}

Corvane::Corvane(const InstanceInfo& info) : PluginAdapter(MakeConfig(), kOversamplingLatency)
{
  (void) info;

  // Smoothers start at a 240-sample time constant until the first block sets them from the
  // sample rate.
  for (OnePoleSmoother* s :
       {&mChain.lowSmoother, &mChain.highSmoother, &mChain.driveSmoother, &mChain.outputSmoother})
  {
    s->a = std::exp(-0.02617993877991494);
    s->b = 1.0 - s->a;
    s->z = 0.0;
  }
  for (HalfbandFilter* f : {&mChain.upLeft, &mChain.upRight, &mChain.downLeft, &mChain.downRight})
    f->Clear();

  DefineParameters();

  AttachEditor();
}

Corvane::~Corvane() = default;

void Corvane::DefineParameters() { DefineCorvaneParameters(*this); }

void Corvane::OnParamValueChange(int paramIdx)
{
  IParam* pParam = GetParam(paramIdx);
  if (!pParam)
    return;

  const double v = pParam->Value();
  switch (paramIdx)
  {
    case kGain:
      mDriveFactor.store(std::pow(10.0, v / 20.0), std::memory_order_relaxed);
      break;
    case kLowGain:
      mLowTarget.store(v, std::memory_order_relaxed);
      break;
    case kHighGain:
      mHighTarget.store(v, std::memory_order_relaxed);
      break;
    case kOutputLevel:
      mOutputFactor.store(std::pow(10.0, v / 20.0), std::memory_order_relaxed);
      break;
    case kOversampling:
    {
      const bool on = static_cast<int>(v) == 1;
      mPasses.store(on ? 2 : 0, std::memory_order_relaxed);
      mLatencyFactor.store(on ? kOversamplingLatency : 0, std::memory_order_relaxed);
      break;
    }
    case kBypass:
      mBypassMultiplier.store(static_cast<int>(v) == 1 ? 0.0 : 1.0, std::memory_order_relaxed);
      break;
    default:
      break;
  }
}

bool Corvane::WriteState(ByteChunk& chunk) const
{
  SerializeEditorSize(chunk);
  return SerializeParams(chunk);
}

int Corvane::ReadState(const ByteChunk& chunk, int startPos)
{
  const int pos = UnserializeEditorSize(chunk, startPos);
  return UnserializeParams(chunk, pos);
}

void Corvane::ResetProcessing()
{
  for (HalfbandFilter* f : {&mChain.upLeft, &mChain.upRight, &mChain.downLeft, &mChain.downRight})
    f->Clear();
  mChain.outputSmoother.z = OutputFactor();
  mChain.lowSmoother.z = LowTarget();
  mChain.highSmoother.z = HighTarget();
  mChain.driveSmoother.z = DriveFactor();
}

void Corvane::UpdateLatency()
{
  const int wanted = static_cast<int>(LatencyFactor() * BypassMultiplier());
  if (GetLatency() != wanted)
    ReportLatency(wanted);
}

void Corvane::RenderBlock(sample** inputs, sample** outputs, int nFrames)
{
  const double fs = GetSampleRate();
  // The coefficients are pure functions of the rate: four exponentials a block are worth saving
  // when the host sends blocks of a few frames.
  if (fs != mSmootherRate)
  {
    mChain.lowSmoother.SetTime(fs, 0.03);
    mChain.highSmoother.SetTime(fs, 0.03);
    mChain.driveSmoother.SetTime(fs, 0.01);
    mChain.outputSmoother.SetTime(fs, 0.01);
    mSmootherRate = fs;
  }

  if (BypassMultiplier() == 0.0)
  {
    const int nOut = ConnectedChannelCount(kOutput);
    for (int i = 0; i < nFrames; ++i)
      for (int ch = 0; ch < nOut; ++ch)
        outputs[ch][i] = inputs[ch][i];
    if (GetLatency() != 0)
      ReportLatency(0);
    return;
  }

  PreampEngine::Targets targets;
  targets.low = LowTarget();
  targets.high = HighTarget();
  targets.drive = DriveFactor();
  targets.output = OutputFactor();
  targets.passes = OversamplingPasses();
  mEngine.Render(fs, targets, *GetParam(kBypass), inputs, outputs, nFrames);

  UpdateLatency();
}
