#pragma once

#include "Validator.h"

// The case functions of `aaxhost validate`, one per named case (see ValidateCases()).
namespace aaxhost::cases {

void LoadUnloadCycles(ValidateContext& context);
void DescribeStable(ValidateContext& context);
void ObjectCount(ValidateContext& context);

void ParamDefaults(ValidateContext& context);
void ParamTextRoundTrip(ValidateContext& context);
void ParamFuzzWhileRendering(ValidateContext& context);

void ProcessMatrix(ValidateContext& context);
void SplitInvariance(ValidateContext& context);
void LatencyImpulse(ValidateContext& context);
void LatencyBypass(ValidateContext& context);
void LatencySwitch(ValidateContext& context);
void BadInputRecovery(ValidateContext& context);

void StateRoundTrip(ValidateContext& context);
void StateMalformed(ValidateContext& context);

void RealtimeSafety(ValidateContext& context);
void ThreadsStress(ValidateContext& context);

void EditorOpenClose(ValidateContext& context);
void EditorZoomMemory(ValidateContext& context);
void EditorAutomation(ValidateContext& context);
void EditorScreenshots(ValidateContext& context);

} // namespace aaxhost::cases
