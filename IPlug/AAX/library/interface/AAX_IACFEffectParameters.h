#pragma once

#include "AAX.h"
#include "AAX_IString.h"
#include "ACFBase.h"

class AAX_IParameter;

inline constexpr acfIID IID_IAAXEffectParametersV1 = ACFUIDFromText("964E333D-334C-533F-C2C7-3834C3C23E3E");
inline constexpr acfIID IID_IAAXEffectParametersV2 = ACFUIDFromText("F1F47D06-308F-4CC5-9C7C-50A83F8AB813");
inline constexpr acfIID IID_IAAXEffectParametersV3 = ACFUIDFromText("D2540E9D-9163-42BB-A6FD-81E10EA32498");
inline constexpr acfIID IID_IAAXEffectParametersV4 = ACFUIDFromText("2E485536-31A3-4697-9C16-E59BF6B28A41");

// The effect-parameters object as the host calls it: the instance's parameters, their values
// and texts, its state chunks and its coefficient generation. Each later version adds
// operations; an object that answers a version answers every earlier one.
//
// Every operation returns 0 or an AAX error code. Host threads: parameter operations on the
// parameter and UI threads, chunk calls and notifications on non-real-time threads, timer
// wake-up on the timer thread. None of them is called on the audio thread.
class AAX_IACFEffectParameters : public IACFUnknown
{
public:
  // Lifecycle.
  virtual AAX_Result Initialize(IACFUnknown* controller) = 0;
  virtual AAX_Result Uninitialize() = 0;
  virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;

  // Parameter information.
  virtual AAX_Result GetNumberOfParameters(int32_t* outNumParameters) const = 0;
  virtual AAX_Result GetMasterBypassParameter(AAX_IString* outParamID) const = 0;
  virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID paramID, AAX_CBoolean* outAutomatable) const = 0;
  virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID paramID, int32_t* outNumSteps) const = 0;
  virtual AAX_Result GetParameterName(AAX_CParamID paramID, AAX_IString* outName) const = 0;
  virtual AAX_Result GetParameterNameOfLength(AAX_CParamID paramID, AAX_IString* outName,
                                              int32_t nameLength) const = 0;
  virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID paramID, double* outValue) const = 0;
  virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID paramID, double value) = 0;
  virtual AAX_Result GetParameterType(AAX_CParamID paramID, AAX_EParameterType* outType) const = 0;
  virtual AAX_Result GetParameterOrientation(AAX_CParamID paramID,
                                             AAX_EParameterOrientation* outOrientation) const = 0;
  virtual AAX_Result GetParameter(AAX_CParamID paramID, AAX_IParameter** outParameter) = 0;
  virtual AAX_Result GetParameterIndex(AAX_CParamID paramID, int32_t* outIndex) const = 0;
  virtual AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* outParamID) const = 0;

  // Parameter values and texts.
  virtual AAX_Result GetParameterValueFromString(AAX_CParamID paramID, double* outValue,
                                                 const AAX_IString& text) const = 0;
  virtual AAX_Result GetParameterStringFromValue(AAX_CParamID paramID, double normalizedValue,
                                                 AAX_IString* outText, int32_t maxLength) const = 0;
  virtual AAX_Result GetParameterValueString(AAX_CParamID paramID, AAX_IString* outText,
                                             int32_t maxLength) const = 0;
  virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID paramID, double* outValue) const = 0;
  virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue) = 0;
  virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID paramID, double delta) = 0;

  // Automation.
  virtual AAX_Result TouchParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result ReleaseParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result UpdateParameterTouch(AAX_CParamID paramID, AAX_CBoolean touching) = 0;
  virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                                    AAX_EUpdateSource source) = 0;
  virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID paramID, double delta) = 0;
  virtual AAX_Result GenerateCoefficients() = 0;
  virtual AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t dataSize) const = 0;
  virtual AAX_Result GetNumberOfChanges(int32_t* outNumChanges) const = 0;

  // State chunks.
  virtual AAX_Result GetNumberOfChunks(int32_t* outNumChunks) const = 0;
  virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outChunkID) const = 0;
  virtual AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* outSize) const = 0;
  virtual AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* outChunk) const = 0;
  virtual AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) = 0;
  virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const = 0;

protected:
  ~AAX_IACFEffectParameters() = default;
};

// Second version: the timer, curve data for host displays, custom data and MIDI transfers.
class AAX_IACFEffectParameters_V2 : public AAX_IACFEffectParameters
{
public:
  virtual AAX_Result TimerWakeup() = 0;
  virtual AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t numValues,
                                  float* outValues) const = 0;
  virtual AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* outXMeterID,
                                          uint32_t* outYMeterID) const = 0;
  virtual AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* outXMin, float* outXMax,
                                              float* outYMin, float* outYMax) const = 0;
  virtual AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, void* outData,
                                   uint32_t* outDataWritten) const = 0;
  virtual AAX_Result DoCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, const void* data) = 0;
  virtual AAX_Result UpdateMIDINodes(AAX_CFieldIndex field, AAX_CMidiPacket& packet) = 0;
  virtual AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) = 0;

protected:
  ~AAX_IACFEffectParameters_V2() = default;
};

// Third version: host control-surface page tables.
class AAX_IACFEffectParameters_V3 : public AAX_IACFEffectParameters_V2
{
public:
  virtual AAX_Result UpdatePageTable(uint32_t tableType, int32_t tablePageSize, IACFUnknown* hostUnknown,
                                     IACFUnknown* pageTableUnknown) const = 0;

protected:
  ~AAX_IACFEffectParameters_V3() = default;
};

// Fourth version: per-parameter value information for host displays.
class AAX_IACFEffectParameters_V4 : public AAX_IACFEffectParameters_V3
{
public:
  virtual AAX_Result GetParameterValueInfo(AAX_CParamID paramID, int32_t selector,
                                           int32_t* outValueInfo) const = 0;

protected:
  ~AAX_IACFEffectParameters_V4() = default;
};
