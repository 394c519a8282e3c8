#include "AAX_CEffectParameters.h"

#include <cmath>
#include <cstring>
#include <string>

#include "AAX_CHostServices.h"
#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_IParameter.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"

namespace {

constexpr const char* kMasterBypassID = "MasterBypassID";
constexpr const char* kPreviewID = "PreviewID";
constexpr AAX_CTypeID kNotificationSetPreviewState = AAX_TypeID('A', 'S', 'P', 'v');

double Clamp01(double value)
{
  return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

} // namespace

AAX_CEffectParameters::AAX_CEffectParameters() = default;

AAX_CEffectParameters::~AAX_CEffectParameters()
{
  // A host that releases without uninitialising still gets its registrations back.
  ReleaseHostObjects();
}

ACFRESULT AAX_CEffectParameters::InternalQueryInterface(const acfIID& iid, void** outInterface)
{
  if (!outInterface)
    return AAX_ERROR_NULL_ARGUMENT;
  void* found = nullptr;
  if (iid == IID_IAAXEffectParametersV1)
    found = static_cast<AAX_IACFEffectParameters*>(this);
  else if (iid == IID_IAAXEffectParametersV2)
    found = static_cast<AAX_IACFEffectParameters_V2*>(this);
  else if (iid == IID_IAAXEffectParametersV3)
    found = static_cast<AAX_IACFEffectParameters_V3*>(this);
  else if (iid == IID_IAAXEffectParametersV4)
    found = static_cast<AAX_IACFEffectParameters_V4*>(this);
  if (!found)
    return CACFUnknown::InternalQueryInterface(iid, outInterface);
  *outInterface = found;
  InternalAddRef();
  return ACF_OK;
}

// ---- Lifecycle ----------------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* controller)
{
  if (!controller)
    return AAX_ERROR_NOT_INITIALIZED;
  // A second Initialize would register every parameter again; the first one stands.
  if (mController)
    return AAX_ERROR_INVALID_ARGUMENT;

  mController = std::make_unique<AAX_VController>(controller);
  mAutomationDelegate = std::make_unique<AAX_VAutomationDelegate>(controller);
  mTransport = std::make_unique<AAX_VTransport>(controller);
  // Without a host automation delegate, parameters take their values directly.
  mParameterManager.Initialize(mAutomationDelegate->IsValid() ? mAutomationDelegate.get() : nullptr);
  mPacketDispatcher.Initialize(mController.get());

  if (const AAX_Result result = EffectInit(); result != AAX_SUCCESS)
    return result;

  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  mFilteredParameters.insert(bypassID.StdString());
  mNumChunkedParameters = mParameterManager.NumParameters() - static_cast<int32_t>(mFilteredParameters.size());
  AAX_AssertReport(mNumChunkedParameters >= 0,
                   "Dependencies/IPlug/AAX_SDK/Libs/AAXLibrary/source/AAX_CEffectParameters", 128,
                   "mNumChunkedParameters >= 0");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
  ReleaseHostObjects();
  return AAX_SUCCESS;
}

void AAX_CEffectParameters::ReleaseHostObjects()
{
  // Parameters unregister from the automation delegate as they go, so they go first.
  mParameterManager.RemoveAllParameters();
  mParameterManager.Initialize(nullptr);
  mPacketDispatcher.Initialize(nullptr);
  mTransport.reset();
  mAutomationDelegate.reset();
  mController.reset();
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size)
{
  if (type == kNotificationSetPreviewState && data && size >= sizeof(int32_t))
  {
    if (AAX_IParameter* preview = mParameterManager.GetParameterByID(kPreviewID))
    {
      int32_t state = 0;
      std::memcpy(&state, data, sizeof(state));
      preview->SetValueWithBool(state != 0);
    }
  }
  return AAX_SUCCESS;
}

AAX_IController* AAX_CEffectParameters::Controller() const
{
  return mController.get();
}

AAX_IAutomationDelegate* AAX_CEffectParameters::AutomationDelegate() const
{
  return mAutomationDelegate.get();
}

AAX_ITransport* AAX_CEffectParameters::Transport() const
{
  return mTransport.get();
}

IACFUnknown* AAX_CEffectParameters::ControllerUnknown() const
{
  return mController ? mController->GetIUnknown() : nullptr;
}

// ---- Parameter information ----------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* outNumParameters) const
{
  if (!outNumParameters)
    return AAX_ERROR_NULL_ARGUMENT;
  *outNumParameters = mParameterManager.NumParameters();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* outParamID) const
{
  if (!outParamID)
    return AAX_ERROR_NULL_ARGUMENT;
  outParamID->Set(mParameterManager.GetParameterByID(kMasterBypassID) ? kMasterBypassID : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID paramID, AAX_CBoolean* outAutomatable) const
{
  return WithParameter(paramID, Out(outAutomatable),
                       [&](const AAX_IParameter& p) { *outAutomatable = p.Automatable() ? 1 : 0; });
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID paramID, int32_t* outNumSteps) const
{
  return WithParameter(paramID, Out(outNumSteps), [&](const AAX_IParameter& p) {
    const uint32_t steps = p.GetNumberOfSteps();
    if (steps > 0x7FFFFFFFu)
      return AAX_ERROR_SIGNED_INT_OVERFLOW;
    *outNumSteps = static_cast<int32_t>(steps);
    return AAX_SUCCESS;
  });
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID paramID, AAX_IString* outName) const
{
  if (!outName)
    return AAX_ERROR_NULL_ARGUMENT;
  const AAX_IParameter* parameter = mParameterManager.GetParameterByID(paramID);
  outName->Set(parameter ? parameter->Name().Get() : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID paramID, AAX_IString* outName,
                                                           int32_t nameLength) const
{
  if (!outName)
    return AAX_ERROR_INVALID_STRING_CONVERSION;
  const AAX_IParameter* parameter = mParameterManager.GetParameterByID(paramID);
  if (!parameter)
  {
    outName->Set("");
    return AAX_SUCCESS;
  }

  std::string name = parameter->ShortenedName(nameLength).StdString();
  if (name.size() > 255)
    name.resize(255);

  // Each line start gives a candidate running to the end of the name; they shrink as the start
  // moves on, so the first one that fits is the longest.
  if (nameLength >= 0)
  {
    const size_t limit = static_cast<size_t>(nameLength);
    size_t start = 0;
    while (true)
    {
      if (name.size() - start <= limit)
      {
        outName->Set(name.c_str() + start);
        return AAX_SUCCESS;
      }
      const size_t lineFeed = name.find('\n', start);
      if (lineFeed == std::string::npos)
        break;
      start = lineFeed + 1;
    }
  }
  outName->Set(nameLength <= 0 ? "" : name.substr(0, static_cast<size_t>(nameLength)).c_str());
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID paramID, double* outValue) const
{
  return WithParameter(paramID, Out(outValue),
                       [&](const AAX_IParameter& p) { *outValue = p.GetNormalizedDefaultValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID paramID, double value)
{
  return WithParameter(paramID, Finite(value), [&](AAX_IParameter& p) { p.SetNormalizedDefaultValue(value); });
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID paramID, AAX_EParameterType* outType) const
{
  return WithParameter(paramID, Out(outType), [&](const AAX_IParameter& p) { *outType = p.GetType(); });
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID paramID,
                                                          AAX_EParameterOrientation* outOrientation) const
{
  return WithParameter(paramID, Out(outOrientation),
                       [&](const AAX_IParameter& p) { *outOrientation = p.GetOrientation(); });
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID paramID, AAX_IParameter** outParameter)
{
  if (!outParameter)
    return AAX_ERROR_NULL_ARGUMENT;
  *outParameter = mParameterManager.GetParameterByID(paramID);
  return *outParameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID paramID, int32_t* outIndex) const
{
  if (!outIndex)
    return AAX_ERROR_NULL_ARGUMENT;
  *outIndex = mParameterManager.GetParameterIndex(paramID);
  return *outIndex >= 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t index, AAX_IString* outParamID) const
{
  if (!outParamID)
    return AAX_ERROR_NULL_ARGUMENT;
  const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
  outParamID->Set(parameter ? parameter->Identifier() : "");
  return parameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID paramID, int32_t selector,
                                                        int32_t* outValueInfo) const
{
  (void) paramID;
  (void) selector;
  if (outValueInfo)
    *outValueInfo = 0;
  return AAX_ERROR_UNIMPLEMENTED;
}

// ---- Parameter values and texts -----------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID paramID, double* outValue,
                                                              const AAX_IString& text) const
{
  return WithParameter(paramID, Out(outValue), [&](const AAX_IParameter& p) {
    return p.GetNormalizedValueFromString(AAX_CString(text.Get()), outValue) ? AAX_SUCCESS
                                                                             : AAX_ERROR_INVALID_STRING_CONVERSION;
  });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID paramID, double normalizedValue,
                                                              AAX_IString* outText, int32_t maxLength) const
{
  return WithParameter(paramID, OutAnd(outText, maxLength >= 0 && std::isfinite(normalizedValue)),
                       [&](const AAX_IParameter& p) {
                         AAX_CString text;
                         const bool ok = p.GetStringFromNormalizedValue(normalizedValue, maxLength, text);
                         outText->Set(text.Get());
                         return ok ? AAX_SUCCESS : AAX_ERROR_INVALID_STRING_CONVERSION;
                       });
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID paramID, AAX_IString* outText,
                                                          int32_t maxLength) const
{
  return WithParameter(paramID, OutAnd(outText, maxLength >= 0), [&](const AAX_IParameter& p) {
    AAX_CString text;
    p.GetValueString(maxLength, &text);
    outText->Set(text.Get());
  });
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID paramID, double* outValue) const
{
  return WithParameter(paramID, Out(outValue), [&](const AAX_IParameter& p) { *outValue = p.GetNormalizedValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue)
{
  return WithParameter(paramID, Finite(normalizedValue),
                       [&](AAX_IParameter& p) { p.SetNormalizedValue(normalizedValue); });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID paramID, double delta)
{
  return WithParameter(paramID, Finite(delta), [&](const AAX_IParameter& p) {
    return SetParameterNormalizedValue(paramID, Clamp01(p.GetNormalizedValue() + delta));
  });
}

// ---- Automation ---------------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID paramID)
{
  return WithParameter(paramID, {}, [](AAX_IParameter& p) { p.Touch(); });
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID paramID)
{
  return WithParameter(paramID, {}, [](AAX_IParameter& p) { p.Release(); });
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID paramID, AAX_CBoolean touching)
{
  (void) paramID;
  (void) touching;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                                                 AAX_EUpdateSource source)
{
  (void) source;
  return WithParameter(paramID, Finite(normalizedValue), [&](AAX_IParameter& p) {
    p.UpdateNormalizedValue(normalizedValue);
    const AAX_Result result = mPacketDispatcher.SetDirty(paramID);
    ++mNumPlugInChanges;
    return result;
  });
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID paramID, double delta)
{
  return WithParameter(paramID, Finite(delta), [&](const AAX_IParameter& p) {
    return UpdateParameterNormalizedValue(paramID, Clamp01(p.GetNormalizedValue() + delta),
                                          AAX_eUpdateSource_Unspecified);
  });
}

AAX_Result AAX_CEffectParameters::GenerateCoefficients()
{
  return mPacketDispatcher.Dispatch();
}

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t dataSize) const
{
  (void) field;
  if (!data)
    return dataSize == 0 ? AAX_SUCCESS : AAX_ERROR_NULL_ARGUMENT;
  std::memset(data, 0, dataSize);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* outNumChanges) const
{
  if (!outNumChanges)
    return AAX_ERROR_NULL_ARGUMENT;
  *outNumChanges = mNumPlugInChanges.load();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::TimerWakeup()
{
  return AAX_SUCCESS;
}

// ---- State chunks -------------------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* outNumChunks) const
{
  if (!outNumChunks)
    return AAX_ERROR_NULL_ARGUMENT;
  *outNumChunks = 1;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outChunkID) const
{
  (void) index;
  if (outChunkID)
    *outChunkID = 0;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID chunkID, uint32_t* outSize) const
{
  (void) chunkID;
  (void) outSize;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* outChunk) const
{
  (void) chunkID;
  (void) outChunk;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
  (void) chunkID;
  (void) chunk;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const
{
  (void) chunk;
  (void) outIsEqual;
  return AAX_ERROR_UNIMPLEMENTED;
}

// ---- Services not offered -----------------------------------------------------------------------

AAX_Result AAX_CEffectParameters::GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t numValues,
                                               float* outValues) const
{
  (void) curveType;
  (void) values;
  (void) numValues;
  (void) outValues;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* outXMeterID,
                                                       uint32_t* outYMeterID) const
{
  (void) curveType;
  (void) outXMeterID;
  (void) outYMeterID;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCurveDataDisplayRange(AAX_CTypeID curveType, float* outXMin, float* outXMax,
                                                           float* outYMin, float* outYMax) const
{
  (void) curveType;
  (void) outXMin;
  (void) outXMax;
  (void) outYMin;
  (void) outYMax;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, void* outData,
                                                uint32_t* outDataWritten) const
{
  (void) dataBlockID;
  (void) dataSize;
  (void) outData;
  if (outDataWritten)
    *outDataWritten = 0;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::DoCustomData(AAX_CTypeID dataBlockID, uint32_t dataSize, const void* data)
{
  (void) dataBlockID;
  (void) dataSize;
  (void) data;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateMIDINodes(AAX_CFieldIndex field, AAX_CMidiPacket& packet)
{
  (void) field;
  (void) packet;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet)
{
  (void) nodeID;
  (void) packet;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t tableType, int32_t tablePageSize,
                                                  IACFUnknown* hostUnknown, IACFUnknown* pageTableUnknown) const
{
  (void) tableType;
  (void) tablePageSize;
  (void) hostUnknown;
  (void) pageTableUnknown;
  return AAX_SUCCESS;
}
