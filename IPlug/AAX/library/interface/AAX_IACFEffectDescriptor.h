#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXEffectDescriptorV1 =
  ACFUIDFromText("8605809C-3540-4F75-8ED4-A37E7516E1D7");

// The host's description of one effect: names, category, processing components and the
// factory procedures of its objects. Registration thread.
class AAX_IACFEffectDescriptor : public IACFUnknown
{
public:
  // A new, empty component descriptor with one reference for the caller, or null.
  virtual IACFUnknown* NewComponentDescriptor() = 0;
  virtual AAX_Result AddComponent(IACFUnknown* componentDescriptor) = 0;
  virtual AAX_Result AddName(const char* name) = 0;
  virtual AAX_Result AddCategory(uint32_t category) = 0;
  // A factory procedure (an AAX_CCreateObjectProc passed as a plain pointer) and its id:
  // 0 builds the effect-parameters object, 1 the editor object.
  virtual AAX_Result AddProcPtr(void* procPtr, AAX_CProcPtrID procID) = 0;

protected:
  ~AAX_IACFEffectDescriptor() = default;
};
