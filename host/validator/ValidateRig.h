#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HostSession.h"
#include "Validator.h"

namespace aaxhost {

// Audio as the validator keeps it: one vector of samples per channel.
using Signal = std::vector<std::vector<float>>;

// One instance in a HostSession, fed the way a host feeds it: every block in fresh host buffers
// with guard samples on both sides, which must come back untouched, as must the inputs. Renders
// on the session's audio thread; parameter changes travel the host's automation path.
class ValidateRig
{
public:
  // component 0 is the module's first (mono here), 1 its second (stereo).
  ValidateRig(ValidateContext& context, double sampleRate, size_t component = 1);

  HostSession& Session() { return *mSession; }
  ValidateContext& Context() { return mContext; }
  int Inputs() const { return mInputs; }
  int Outputs() const { return mOutputs; }
  double SampleRate() const { return mSampleRate; }

  // The identifier of the parameter with this name, or the empty text.
  std::string ParameterID(const std::string& name);
  // The identifier of the master bypass, when the module has one. It is the identifier that
  // GetMasterBypassParameter names, which may be the empty text: a parameter of that identifier
  // is then the master bypass.
  std::optional<std::string> MasterBypassID();
  // The same, but a missing parameter skips the case with a clear reason.
  std::string RequireParameter(const std::string& name);
  std::string RequireMasterBypass();

  // Host automation (parameter thread), in force before the next block.
  void Set(const std::string& id, double normalized);
  double Get(const std::string& id);

  // Renders in.size() channels (the rig's input count) from `offset`, `frames` frames, as one
  // host block, and appends the outputs to `out`. Fails the case when a guard sample or an input
  // sample changed. Audio thread work; call from the case's thread.
  void RenderBlocks(const Signal& in, const std::vector<int>& blocks, Signal& out);
  Signal Render(const Signal& in, const std::vector<int>& blocks);
  // The whole signal in blocks of `blockSize` (the last may be shorter).
  Signal Render(const Signal& in, int blockSize);

  // The latency the module reported last (0 when none).
  int32_t Latency() { return mSession->Latency(); }

  Signal Silence(size_t frames) const { return Signal(static_cast<size_t>(mInputs), std::vector<float>(frames, 0.0f)); }
  Signal Noise(size_t frames, float amplitude);

private:
  ValidateContext& mContext;
  double mSampleRate;
  std::unique_ptr<HostSession> mSession;
  int mInputs = 0;
  int mOutputs = 0;
};

// Fails the case at the first non-finite or subnormal output sample; `what` names the render.
void CheckOutput(ValidateContext& context, const Signal& out, const std::string& what);

// Frames of a signal.
inline size_t Frames(const Signal& signal) { return signal.empty() ? 0 : signal.front().size(); }

// A block-size list that sums to `frames`, with parts from 1 to `largest` (some single frames).
std::vector<int> RandomSplit(ValidateContext& context, size_t frames, int largest);

std::string Describe(double value);

} // namespace aaxhost
