#pragma once

#include <cstddef>
#include <cstdint>

#include "AAX.h"

class AAX_IEffectParameters;
class AAX_IMIDINode;

constexpr int32_t kMaxAdditionalMIDINodes = 15;
constexpr int32_t kMaxAuxOutputStems = 32;

// What the private-data field of the render context points at: the instance's
// effect-parameters object, written there by the host's field reset.
struct AAX_SIPlugPrivateData
{
  AAX_IEffectParameters* mEffectPtr;
};

static_assert(sizeof(AAX_SIPlugPrivateData) == 8, "the description registers 8 bytes of private data");

// The render context the host fills for each processing call: 27 pointer-wide fields, the field
// index being the field's position. The description registers every index, so the layout is the
// same whatever a component wants.
struct AAX_SIPlugContext
{
  float** mInputPP;                                                  // 0 audio inputs
  float** mOutputPP;                                                 // 1 audio outputs
  int32_t* mNumSamplesP;                                             // 2 frames in this block
  AAX_CTimestamp* mClockP;                                           // 3 clock
  AAX_IMIDINode* mInputNode;                                         // 4 input MIDI
  AAX_IMIDINode* mOutputNode;                                        // 5 output MIDI
  AAX_IMIDINode* mGlobalNode;                                        // 6 global MIDI
  AAX_IMIDINode* mTransportNode;                                     // 7 transport
  AAX_IMIDINode* mAdditionalInputMIDINodes[kMaxAdditionalMIDINodes]; // 8-22 more input MIDI
  AAX_SIPlugPrivateData* mPrivateData;                               // 23 the instance
  float* const* mMetersPP;                                           // 24 meters
  int64_t* mCurrentStateNum;                                         // 25 state number
  int32_t* mSideChainP;                                              // 26 side-chain channel index
};

// Field indices, from the layout itself.
enum AAX_EPlugContextField : AAX_CFieldIndex
{
  kAAXField_Inputs = offsetof(AAX_SIPlugContext, mInputPP) / sizeof(void*),
  kAAXField_Outputs = offsetof(AAX_SIPlugContext, mOutputPP) / sizeof(void*),
  kAAXField_NumSamples = offsetof(AAX_SIPlugContext, mNumSamplesP) / sizeof(void*),
  kAAXField_Clock = offsetof(AAX_SIPlugContext, mClockP) / sizeof(void*),
  kAAXField_InputNode = offsetof(AAX_SIPlugContext, mInputNode) / sizeof(void*),
  kAAXField_OutputNode = offsetof(AAX_SIPlugContext, mOutputNode) / sizeof(void*),
  kAAXField_GlobalNode = offsetof(AAX_SIPlugContext, mGlobalNode) / sizeof(void*),
  kAAXField_TransportNode = offsetof(AAX_SIPlugContext, mTransportNode) / sizeof(void*),
  kAAXField_AdditionalInputNodes = offsetof(AAX_SIPlugContext, mAdditionalInputMIDINodes) / sizeof(void*),
  kAAXField_PrivateData = offsetof(AAX_SIPlugContext, mPrivateData) / sizeof(void*),
  kAAXField_Meters = offsetof(AAX_SIPlugContext, mMetersPP) / sizeof(void*),
  kAAXField_CurrentStateNum = offsetof(AAX_SIPlugContext, mCurrentStateNum) / sizeof(void*),
  kAAXField_SideChain = offsetof(AAX_SIPlugContext, mSideChainP) / sizeof(void*),
  kAAXNumFields = sizeof(AAX_SIPlugContext) / sizeof(void*)
};

static_assert(kAAXField_AdditionalInputNodes == 8 && kAAXField_PrivateData == 23 && kAAXField_CurrentStateNum == 25);
static_assert(kAAXNumFields == 27, "the render context has 27 pointer-wide fields");
