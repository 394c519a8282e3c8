#include "ValidateCaseList.h"

namespace aaxhost {

// Cases that need nothing but the module run first, then the stress cases; the editor cases,
// which open the instance's editor through the host's view container, last.
const std::vector<ValidateCase>& ValidateCases()
{
  using namespace cases;
  static const std::vector<ValidateCase> table = {
    {"load-unload-cycles", "loads, starts, registers, shuts down and unloads the module repeatedly", LoadUnloadCycles},
    {"describe-stable", "two loads of the module describe the same effect, components and parameters", DescribeStable},
    {"object-count", "the active object count follows every effect and editor object and is 0 after each release", ObjectCount},
    {"param-defaults", "after initialisation every parameter holds its default; identifiers and indices agree", ParamDefaults},
    {"param-text-roundtrip", "every parameter's value text converts back to the same value and text", ParamTextRoundTrip},
    {"param-fuzz-while-rendering", "random, boundary and invalid normalised values from the parameter thread while the audio thread renders", ParamFuzzWhileRendering},
    {"process-matrix", "sample rates from 8 to 384 kHz, block sizes from 1 to 16384 and random, mono and stereo, oversampling off and on", ProcessMatrix},
    {"split-invariance", "the same signal rendered whole and in random splits gives identical output", SplitInvariance},
    {"latency-impulse", "an impulse comes out exactly at the reported latency", LatencyImpulse},
    {"latency-bypass", "under the master bypass the output is the input delayed by the reported latency; the product's bypass passes the input", LatencyBypass},
    {"latency-switch", "switching oversampling or bypass reports the new latency on the next block", LatencySwitch},
    {"bad-input-recovery", "NaN, infinite and subnormal input samples give finite output that recovers within 100 ms", BadInputRecovery},
    {"state-roundtrip", "save, load into a fresh instance and save again gives the same bytes and every value", StateRoundTrip},
    {"state-malformed", "empty, truncated, oversized, random and foreign chunks are answered with the right codes and leave a working instance", StateMalformed},
    {"realtime-safety", "the render call neither allocates nor takes a lock once prepared (the per-call queue writer lock excepted)", RealtimeSafety},
    {"threads-stress", "automation, chunk calls, timer and rendering at the same time", ThreadsStress},
    {"editor-open-close", "opens and closes the editor again and again at 96, 144 and 192 dpi in turn while rendering: its size, the object count, nothing left behind", EditorOpenClose},
    {"editor-zoom-memory", "zooms the open editor with its corner handle again and again at 96, 144 and 192 dpi, and opens it again: the process's heap in use stays where it was after the warm-up zooms and the first opening (mean opening time noted)", EditorZoomMemory},
    {"editor-automation", "host automation while the editor is open reaches its controls, as an editor opened with the value shows them", EditorAutomation},
    {"editor-screenshots", "the freshly opened editor at 96, 144 and 192 dpi looks as the reference pictures, within a small tolerance", EditorScreenshots},
  };
  return table;
}

} // namespace aaxhost
