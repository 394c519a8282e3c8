#pragma once

#include "AAX.h"
#include "AAX_IString.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXEffectGUIV1 = ACFUIDFromText("964E323D-424C-5E1A-2227-282423222E1E");

// The editor object as the host calls it. UI thread.
class AAX_IACFEffectGUI : public IACFUnknown
{
public:
  virtual AAX_Result Initialize(IACFUnknown* controller) = 0;
  virtual AAX_Result Uninitialize() = 0;
  virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;
  // A host view container, or null to take the editor down.
  virtual AAX_Result SetViewContainer(IACFUnknown* viewContainer) = 0;
  virtual AAX_Result GetViewSize(AAX_Point* outSize) const = 0;
  virtual AAX_Result Draw(AAX_Rect* drawRect) = 0;
  virtual AAX_Result TimerWakeup() = 0;
  virtual AAX_Result ParameterUpdated(AAX_CParamID paramID) = 0;
  virtual AAX_Result GetCustomLabel(AAX_CTypeID selector, AAX_IString* outString) const = 0;
  virtual AAX_Result SetControlHighlightInfo(AAX_CParamID paramID, AAX_CBoolean isHighlighted,
                                             int32_t color) = 0;

protected:
  ~AAX_IACFEffectGUI() = default;
};
