#include "Corvane.h"

#include <cmath>

#include "CorvaneLayout.h"
#include "IGraphicsWin.h"
#include "PlatformWindows.h"

using namespace iplug;

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

Corvane::Corvane(const InstanceInfo& info) : IPlugAAX(MakeConfig(), kOversamplingLatency)
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

  SetMakeGraphicsFunc([this]() -> igraphics::IGraphics* {
    auto* graphics = new igraphics::IGraphicsWin(this, kEditorWidth, kEditorHeight, kEditorFps, 1.f);
    graphics->SetModuleInstance(ModuleInstance());
    return graphics;
  });
  SetLayoutFunc(LayoutCorvaneEditor);
}

void* Corvane::ModuleInstance()
{
  // The module that holds this code holds the editor's pictures and font as well; asked by
  // address, so it is the plug-in's file and not the host's executable.
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&Corvane::ModuleInstance), &module))
    return nullptr;
  return module;
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

  PreampEngine::Targets targets;
  targets.low = LowTarget();
  targets.high = HighTarget();
  targets.drive = DriveFactor();
  targets.output = OutputFactor();
  targets.passes = OversamplingPasses();
  mEngine.Render(fs, targets, *GetParam(kBypass), inputs, outputs, nFrames);

  UpdateLatency();
}
