#include "Corvane.h"

#include <cmath>
#include <mutex>

#include "CorvaneLayout.h"
#include "Saturation.h"

using namespace iplug;

namespace {
constexpr double kMakeUpGain = 1.5488166189124812;  // 10^0.19, +3.8 dB
constexpr double kToneFloor = 1e-5;
} // namespace

ConfigRecord Corvane::MakeConfig()
{
  ConfigRecord c;
  c.nParams = kNumParams;
  c.nPresets = 1;
  c.channelIOStr = "1-1 2-2";
  c.pluginName = "Corvane";
  c.productName = "Corvane";
  c.mfrName = "Quillmarsh";
  c.vendorVersion = 0x30000;
  c.uniqueID = FourCC("CRVN");
  c.mfrID = FourCC("Qmsh");
  c.latency = 0;
  c.plugDoesMidiIn = false;
  c.plugDoesMidiOut = false;
  c.plugDoesMPE = false;
  c.plugDoesChunks = true;
  c.plugType = 0;
  c.plugHasUI = true;
  c.plugWidth = 1086;
  c.plugHeight = 214;
  c.plugMinWidth = 543;
  c.plugMaxWidth = 2172;
  c.plugMinHeight = 107;
  c.plugMaxHeight = 428;
  c.plugHostResize = false;
  c.bundleID = "";
  return c;
}

Corvane::Corvane(const InstanceInfo& info) : IPlugAAX(MakeConfig())
{
  (void) info;

  // Smoothers start at a 240-sample time constant until the first block sets them from the
  // sample rate.
  for (OnePoleSmoother* s : {&mLowSmoother, &mHighSmoother, &mDriveSmoother, &mOutputSmoother})
  {
    s->a = std::exp(-0.02617993877991494);
    s->b = 1.0 - s->a;
    s->z = 0.0;
  }
  for (HalfbandFilter* f : {&mUpLeft, &mUpRight, &mDownLeft, &mDownRight})
    f->Clear();

  DefineParameters();

  // The make-graphics callable comes with the Windows window layer, which makes the context.
  SetLayoutFunc(LayoutCorvaneEditor);
}

Corvane::~Corvane() = default;

void Corvane::DefineParameters()
{
  GetParam(kGain)->DefineDouble("Gain", 0., -30., 30., 0.1, "dB");
  GetParam(kLowGain)->DefineDouble("Low Gain", 0., -10., 10., 0.1);
  GetParam(kHighGain)->DefineDouble("High Gain", 0., -10., 10., 0.1);
  GetParam(kOutputLevel)->DefineDouble("Output", 0., -15., 15., 0.1, "dB");
  GetParam(kBypass)->DefineInt("Bypass", 0, 0, 1);
  GetParam(kOversampling)->DefineInt("Oversampling", 0, 0, 1);
  GetParam(kOversampling)->AddDisplayText(0., "Oversampling Off");
  GetParam(kOversampling)->AddDisplayText(1., "Oversampling On");
}

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
  for (HalfbandFilter* f : {&mUpLeft, &mUpRight, &mDownLeft, &mDownRight})
    f->Clear();
  mOutputSmoother.z = OutputFactor();
  mLowSmoother.z = LowTarget();
  mHighSmoother.z = HighTarget();
  mDriveSmoother.z = DriveFactor();
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
  mLowSmoother.SetTime(fs, 0.03);
  mHighSmoother.SetTime(fs, 0.03);
  mDriveSmoother.SetTime(fs, 0.01);
  mOutputSmoother.SetTime(fs, 0.01);

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

  const double lowTarget = LowTarget();
  const double highTarget = HighTarget();
  const double driveTarget = DriveFactor();
  const double outputTarget = OutputFactor();
  const int passes = OversamplingPasses();
  const IParam& bypass = *GetParam(kBypass);

  for (int i = 0; i < nFrames; ++i)
  {
    // Low control: -10..10 maps to -0.3..0.3; boost and cut amounts never both leave the floor.
    const double zL = mLowSmoother.Step(lowTarget);
    const double tL = (zL + 10.0) / 20.0 * 0.6 - 0.3;
    mLowP = tL > 0.0 ? tL : kToneFloor;
    mLowQ = tL < 0.0 ? -tL : kToneFloor;
    mLowLeft.DesignLowTone(fs, mLowP, mLowQ);
    mLowRight.DesignLowTone(fs, mLowP, mLowQ);

    // High control: -10..10 maps to -0.85..0.85.
    const double zH = mHighSmoother.Step(highTarget);
    const double tH = (zH + 10.0) / 20.0 * 1.7 - 0.85;
    mHighP = tH > 0.0 ? 1.0 - tH : 1.0;
    mHighQ = tH < 0.0 ? -tH : 0.0;
    mHighLeft.DesignHighTone(fs, mHighP, mHighQ);
    mHighRight.DesignHighTone(fs, mHighP, mHighQ);

    // A non-finite host sample would poison every recursive filter for the rest of the
    // session, so the processed path reads it as silence.
    const double inL = std::isfinite(inputs[0][i]) ? inputs[0][i] : 0.0;
    const double inR = std::isfinite(inputs[1][i]) ? inputs[1][i] : 0.0;

    mDenormalOffset = -mDenormalOffset;
    const double u = mDenormalOffset;
    const double xL = inL + u;
    const double xR = inR + u;

    double sL;
    double sR;
    if (passes == 0)
    {
      const double g1 = mDriveSmoother.Step(driveTarget);
      const double g2 = mDriveSmoother.Step(driveTarget);
      sL = Saturate(g1 * xL) / g2;
      const double g3 = mDriveSmoother.Step(driveTarget);
      const double g4 = mDriveSmoother.Step(driveTarget);
      sR = Saturate(g4 * xR) / g3;
    }
    else
    {
      sL = sR = 0.0;
      for (int j = 0; j < 2; ++j)
      {
        // Zero stuffing: the second pass feeds silence; the factor 2 restores the level.
        const double uL = mUpLeft.Step(j == 0 ? xL : 0.0);
        const double uR = mUpRight.Step(j == 0 ? xR : 0.0);
        const double g1 = mDriveSmoother.Step(driveTarget);
        const double g2 = mDriveSmoother.Step(driveTarget);
        const double yL = Saturate(2.0 * uL * g1) / g2;
        const double g3 = mDriveSmoother.Step(driveTarget);
        const double g4 = mDriveSmoother.Step(driveTarget);
        const double yR = Saturate(2.0 * uR * g3) / g4;
        const double dL = mDownLeft.Step(yL);
        const double dR = mDownRight.Step(yR);
        if (j == 0)
        {
          sL = dL;
          sR = dR;
        }
      }
    }

    const double lL = mLowLeft.Step(sL);
    const double lR = mLowRight.Step(sR);
    const double hL = mHighLeft.Step(lL);
    const double hR = mHighRight.Step(lR);

    const double o1 = mOutputSmoother.Step(outputTarget);
    const double yL = o1 * hL * kMakeUpGain;
    const double o2 = mOutputSmoother.Step(outputTarget);
    const double yR = o2 * hR * kMakeUpGain;

    if (static_cast<int>(bypass.Value()) == 0)
    {
      outputs[0][i] = yL - u;
      outputs[1][i] = yR - u;
    }
    else
    {
      outputs[0][i] = inputs[0][i];
      outputs[1][i] = inputs[1][i];
    }
  }

  UpdateLatency();
}

IPlugAAX* CreatePlugin(const InstanceInfo& info)
{
  // Created on first use, released when the module unloads.
  static std::mutex factoryLock;
  std::lock_guard<std::mutex> lock(factoryLock);
  try
  {
    return new Corvane(info);
  }
  catch (...)
  {
    return nullptr;
  }
}
