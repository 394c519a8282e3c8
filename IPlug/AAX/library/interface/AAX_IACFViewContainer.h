#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXViewContainerV1 = ACFUIDFromText("FFF9562F-78D6-4C1A-AA4F-F59193FFF580");
inline constexpr acfIID IID_IAAXViewContainerV2 = ACFUIDFromText("73AFF0BC-EEC0-4CD8-98A9-D0D798EB6AA4");

// Kinds of native view a container can hold.
enum AAX_EViewContainer_Type : int32_t
{
  AAX_eViewContainer_Type_NULL = 0,
  AAX_eViewContainer_Type_NSView = 1,
  AAX_eViewContainer_Type_UIView = 2,
  AAX_eViewContainer_Type_HWND = 3
};

// The host's frame around the editor. UI thread.
class AAX_IACFViewContainer : public IACFUnknown
{
public:
  virtual int32_t GetType() = 0;
  // The native parent window while the editor shows; null otherwise.
  virtual void* GetPtr() = 0;
  virtual AAX_Result GetModifiers(uint32_t* outModifiers) = 0;
  virtual AAX_Result SetViewSize(const AAX_Point& size) = 0;
  // AAX_SUCCESS when the host takes the click (e.g. for automation); anything else lets the
  // editor handle it.
  virtual AAX_Result HandleParameterMouseDown(AAX_CParamID paramID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID paramID, uint32_t modifiers) = 0;
  virtual AAX_Result HandleParameterMouseUp(AAX_CParamID paramID, uint32_t modifiers) = 0;

protected:
  ~AAX_IACFViewContainer() = default;
};

// The container's second version: clicks on controls that stand for several parameters.
class AAX_IACFViewContainer_V2 : public AAX_IACFViewContainer
{
public:
  virtual AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* paramIDs,
                                                       uint32_t numOfParams,
                                                       uint32_t modifiers) = 0;
  virtual AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* paramIDs,
                                                       uint32_t numOfParams,
                                                       uint32_t modifiers) = 0;
  virtual AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* paramIDs,
                                                     uint32_t numOfParams) = 0;

protected:
  ~AAX_IACFViewContainer_V2() = default;
};
