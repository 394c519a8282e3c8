#pragma once

#include <atomic>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <utility>

#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_Errors.h"
#include "AAX_IParameter.h"
#include "AAX_IEffectParameters.h"
#include "CACFUnknown.h"

class AAX_IAutomationDelegate;
class AAX_IController;
class AAX_ITransport;
class AAX_VAutomationDelegate;
class AAX_VController;
class AAX_VTransport;

// The effect-parameters base: answers every host operation of the effect-parameters interface
// from its parameter manager, so that an effect only creates its parameters (EffectInit) and
// overrides what it does differently (value updates, coefficients, chunks, notifications).
//
// Lifecycle: built by the module's factory with no reference; the host queries it (one
// reference), calls Initialize with its controller, then any operation, then Uninitialize, and
// releases it. Every host operation checks its input: a null out-pointer is
// AAX_ERROR_NULL_ARGUMENT, an unknown identifier AAX_ERROR_INVALID_PARAMETER_ID, a normalised
// value that is not a finite number (or a negative text length) AAX_ERROR_INVALID_ARGUMENT,
// and nothing changes in those cases. Thread contracts as on AAX_IACFEffectParameters.
class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown
{
public:
  AAX_CEffectParameters();
  ~AAX_CEffectParameters() override;

  // IACFUnknown, any thread.
  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override { return InternalQueryInterface(iid, outInterface); }
  uint32_t AddRef() override { return InternalAddRef(); }
  uint32_t Release() override { return InternalRelease(); }
  // Answers the four effect-parameters versions besides the framework's unknown.
  ACFRESULT InternalQueryInterface(const acfIID& iid, void** outInterface) override;

  // Lifecycle.
  AAX_Result Initialize(IACFUnknown* controller) override;
  AAX_Result Uninitialize() override;
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

  // Parameter information.
  AAX_Result GetNumberOfParameters(int32_t* outNumParameters) const override;
  AAX_Result GetMasterBypassParameter(AAX_IString* outParamID) const override;
  AAX_Result GetParameterIsAutomatable(AAX_CParamID paramID, AAX_CBoolean* outAutomatable) const override;
  AAX_Result GetParameterNumberOfSteps(AAX_CParamID paramID, int32_t* outNumSteps) const override;
  AAX_Result GetParameterName(AAX_CParamID paramID, AAX_IString* outName) const override;
  AAX_Result GetParameterNameOfLength(AAX_CParamID paramID, AAX_IString* outName, int32_t nameLength) const override;
  AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID paramID, double* outValue) const override;
  AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID paramID, double value) override;
  AAX_Result GetParameterType(AAX_CParamID paramID, AAX_EParameterType* outType) const override;
  AAX_Result GetParameterOrientation(AAX_CParamID paramID, AAX_EParameterOrientation* outOrientation) const override;
  AAX_Result GetParameter(AAX_CParamID paramID, AAX_IParameter** outParameter) override;
  AAX_Result GetParameterIndex(AAX_CParamID paramID, int32_t* outIndex) const override;
  AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* outParamID) const override;
  AAX_Result GetParameterValueInfo(AAX_CParamID paramID, int32_t selector, int32_t* outValueInfo) const override;

  // Parameter values and texts.
  AAX_Result GetParameterValueFromString(AAX_CParamID paramID, double* outValue, const AAX_IString& text) const override;
  AAX_Result GetParameterStringFromValue(AAX_CParamID paramID, double normalizedValue, AAX_IString* outText,
                                         int32_t maxLength) const override;
  AAX_Result GetParameterValueString(AAX_CParamID paramID, AAX_IString* outText, int32_t maxLength) const override;
  AAX_Result GetParameterNormalizedValue(AAX_CParamID paramID, double* outValue) const override;
  AAX_Result SetParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue) override;
  AAX_Result SetParameterNormalizedRelative(AAX_CParamID paramID, double delta) override;

  // Automation.
  AAX_Result TouchParameter(AAX_CParamID paramID) override;
  AAX_Result ReleaseParameter(AAX_CParamID paramID) override;
  AAX_Result UpdateParameterTouch(AAX_CParamID paramID, AAX_CBoolean touching) override;
  // The host's answer to a set-value request (or its own automation): the parameter takes the
  // value, its packets become dirty and the change count grows.
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                            AAX_EUpdateSource source) override;
  AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID paramID, double delta) override;
  AAX_Result GenerateCoefficients() override;
  AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t dataSize) const override;
  AAX_Result GetNumberOfChanges(int32_t* outNumChanges) const override;
  AAX_Result TimerWakeup() override;

  // State chunks: one chunk, whose operations an effect provides.
  AAX_Result GetNumberOfChunks(int32_t* outNumChunks) const override;
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outChunkID) const override;
  AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* outSize) const override;
  AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* outChunk) const override;
  AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) override;
  AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const override;

  // Host display and data services this effect does not offer.
  AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t numValues,
                          float* outValues) const override;
  AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* outXMeterID, uint32_t* outYMeterID) const override;
  AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* outXMin, float* outXMax, float* outYMin,
                                      float* outYMax) const override;
  AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, void* outData,
                           uint32_t* outDataWritten) const override;
  AAX_Result DoCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, const void* data) override;
  AAX_Result UpdateMIDINodes(AAX_CFieldIndex field, AAX_CMidiPacket& packet) override;
  AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) override;
  AAX_Result UpdatePageTable(uint32_t tableType, int32_t tablePageSize, IACFUnknown* hostUnknown,
                             IACFUnknown* pageTableUnknown) const override;

  // The module's own view of the host objects; null before Initialize and after Uninitialize.
  AAX_IController* Controller() const;
  AAX_IAutomationDelegate* AutomationDelegate() const;
  AAX_ITransport* Transport() const;
  // The host's controller object, for queries of the interfaces it answers.
  IACFUnknown* ControllerUnknown() const;

  AAX_CParameterManager& ParameterManager() { return mParameterManager; }
  const AAX_CParameterManager& ParameterManager() const { return mParameterManager; }

protected:
  // ---- Host-call trampolines -------------------------------------------------------------------
  // Every host call on one parameter checks what it was handed in the same order, which fixes its
  // result: a null out-pointer (AAX_ERROR_NULL_ARGUMENT), then an unknown identifier
  // (AAX_ERROR_INVALID_PARAMETER_ID), then an argument the call cannot take
  // (AAX_ERROR_INVALID_ARGUMENT: a value that is not a finite number, a negative text length).
  // Nothing changes when a check fails.
  struct HostArgs
  {
    bool outPresent = true;
    bool argumentsValid = true;
  };
  static HostArgs Out(const void* outPointer) { return {outPointer != nullptr, true}; }
  static HostArgs Finite(double value) { return {true, std::isfinite(value)}; }
  static HostArgs OutAnd(const void* outPointer, bool argumentsValid) { return {outPointer != nullptr, argumentsValid}; }

  // Looks up the parameter, checks `args`, then runs `act` on the parameter: AAX_SUCCESS, or the
  // result `act` returns when it returns one.
  template <typename Act>
  AAX_Result WithParameter(AAX_CParamID paramID, HostArgs args, Act&& act)
  {
    return Trampoline(mParameterManager.GetParameterByID(paramID), args, std::forward<Act>(act));
  }
  template <typename Act>
  AAX_Result WithParameter(AAX_CParamID paramID, HostArgs args, Act&& act) const
  {
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(paramID);
    return Trampoline(parameter, args, std::forward<Act>(act));
  }

  // Creates the effect's parameters; runs inside Initialize once the host objects are known.
  // A non-zero result ends Initialize with it.
  virtual AAX_Result EffectInit() { return AAX_SUCCESS; }

  AAX_CParameterManager mParameterManager;
  AAX_CPacketDispatcher mPacketDispatcher;
  std::atomic<int32_t> mNumPlugInChanges{0};  // the parameter thread and chunk calls both count
  std::set<std::string> mFilteredParameters;  // kept out of the library's own state chunk
  int32_t mNumChunkedParameters = 0;

private:
  template <typename Parameter, typename Act>
  static AAX_Result Trampoline(Parameter* parameter, HostArgs args, Act&& act)
  {
    if (!args.outPresent)
      return AAX_ERROR_NULL_ARGUMENT;
    if (!parameter)
      return AAX_ERROR_INVALID_PARAMETER_ID;
    if (!args.argumentsValid)
      return AAX_ERROR_INVALID_ARGUMENT;
    if constexpr (std::is_void_v<std::invoke_result_t<Act, Parameter&>>)
    {
      act(*parameter);
      return AAX_SUCCESS;
    }
    else
    {
      return act(*parameter);
    }
  }

  void ReleaseHostObjects();

  std::unique_ptr<AAX_VController> mController;
  std::unique_ptr<AAX_VAutomationDelegate> mAutomationDelegate;
  std::unique_ptr<AAX_VTransport> mTransport;
};
