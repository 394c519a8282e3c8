#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "AAX_IACFViewContainer.h"
#include "HostObject.h"

namespace aaxhost {

// The host's frame around an editor: the parent window it offers, the modifier keys it reports,
// whether it takes parameter clicks itself, and every size request and parameter click it got.
// When the parent is a real window, a size request resizes it so that its client area has the
// requested size. Answers both interface versions unless told to be a first-version container.
// UI thread.
class HostViewContainer final : public HostObject<AAX_IACFViewContainer_V2>
{
public:
  struct MouseEvent
  {
    std::string kind;                  // "down", "drag", "up"
    std::vector<std::string> paramIDs;
    uint32_t modifiers = 0;
  };

  explicit HostViewContainer(void* parentWindow, bool answersSecondVersion = true)
    : mParentWindow(parentWindow), mAnswersV2(answersSecondVersion)
  {
  }

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  int32_t GetType() override;
  void* GetPtr() override;
  AAX_Result GetModifiers(uint32_t* outModifiers) override;
  AAX_Result SetViewSize(const AAX_Point& size) override;
  AAX_Result HandleParameterMouseDown(AAX_CParamID paramID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseDrag(AAX_CParamID paramID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseUp(AAX_CParamID paramID, uint32_t modifiers) override;
  AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                               uint32_t modifiers) override;
  AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                               uint32_t modifiers) override;
  AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* paramIDs, uint32_t numOfParams) override;

  // Gives a window (anything else is left alone) a client area of the size, keeping its place.
  static void FitWindow(void* window, const AAX_Point& size);

  void SetParentWindow(void* parentWindow);
  void SetModifiers(uint32_t modifiers);
  // Whether the host takes parameter clicks (answers 0) or leaves them to the editor.
  void SetTakesParameterClicks(bool takes);

  std::vector<AAX_Point> SizeRequests() const;
  std::vector<MouseEvent> MouseEvents() const;

private:
  AAX_Result Click(const char* kind, const AAX_CParamID* paramIDs, uint32_t numOfParams, uint32_t modifiers);

  mutable std::mutex mLock;
  void* mParentWindow;
  bool mAnswersV2;
  uint32_t mModifiers = 0;
  bool mTakesClicks = false;
  std::vector<AAX_Point> mSizeRequests;
  std::vector<MouseEvent> mMouseEvents;
};

} // namespace aaxhost
