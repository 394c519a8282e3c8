#include "HostViewContainer.h"

#include <algorithm>
#include <cmath>

#include "PlatformWindows.h"

namespace aaxhost {

namespace {
// Parameter clicks on controls that stand for many parameters are bounded by what a host
// could show; more is a malformed request.
constexpr uint32_t kMaxClickedParameters = 1024;
} // namespace

ACFRESULT HostViewContainer::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXViewContainerV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFViewContainer*>(this), outInterface);
  if (iid == IID_IAAXViewContainerV2 && mAnswersV2)
    return Answer(static_cast<AAX_IACFViewContainer_V2*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

int32_t HostViewContainer::GetType()
{
  return AAX_eViewContainer_Type_HWND;
}

void* HostViewContainer::GetPtr()
{
  std::lock_guard lock(mLock);
  return mParentWindow;
}

AAX_Result HostViewContainer::GetModifiers(uint32_t* outModifiers)
{
  if (!outModifiers)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outModifiers = mModifiers;
  return AAX_SUCCESS;
}

AAX_Result HostViewContainer::SetViewSize(const AAX_Point& size)
{
  if (!std::isfinite(size.vert) || !std::isfinite(size.horz) || size.vert < 0.0f || size.horz < 0.0f)
    return AAX_ERROR_INVALID_VIEW_SIZE;
  void* parent = nullptr;
  {
    std::lock_guard lock(mLock);
    mSizeRequests.push_back(size);
    parent = mParentWindow;
  }
  // A real frame follows the request, as a host's plug-in window does; the editor then resizes
  // only itself inside it. Outside the lock: resizing sends messages to the frame's window.
  FitWindow(parent, size);
  return AAX_SUCCESS;
}

AAX_Result HostViewContainer::Click(const char* kind, const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                    uint32_t modifiers)
{
  if (!paramIDs && numOfParams)
    return AAX_ERROR_NULL_ARGUMENT;
  if (numOfParams > kMaxClickedParameters)
    return AAX_ERROR_INVALID_ARGUMENT;
  MouseEvent event{kind, {}, modifiers};
  for (uint32_t i = 0; i < numOfParams; ++i)
    event.paramIDs.emplace_back(paramIDs[i] ? paramIDs[i] : "");
  std::lock_guard lock(mLock);
  mMouseEvents.push_back(std::move(event));
  // A host that does not take the click answers a failure, and the editor handles it itself.
  return mTakesClicks ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result HostViewContainer::HandleParameterMouseDown(AAX_CParamID paramID, uint32_t modifiers)
{
  return Click("down", &paramID, 1, modifiers);
}

AAX_Result HostViewContainer::HandleParameterMouseDrag(AAX_CParamID paramID, uint32_t modifiers)
{
  return Click("drag", &paramID, 1, modifiers);
}

AAX_Result HostViewContainer::HandleParameterMouseUp(AAX_CParamID paramID, uint32_t modifiers)
{
  return Click("up", &paramID, 1, modifiers);
}

AAX_Result HostViewContainer::HandleMultipleParametersMouseDown(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                                                uint32_t modifiers)
{
  return Click("down", paramIDs, numOfParams, modifiers);
}

AAX_Result HostViewContainer::HandleMultipleParametersMouseDrag(const AAX_CParamID* paramIDs, uint32_t numOfParams,
                                                                uint32_t modifiers)
{
  return Click("drag", paramIDs, numOfParams, modifiers);
}

AAX_Result HostViewContainer::HandleMultipleParametersMouseUp(const AAX_CParamID* paramIDs, uint32_t numOfParams)
{
  return Click("up", paramIDs, numOfParams, 0);
}

void HostViewContainer::FitWindow(void* window, const AAX_Point& size)
{
  auto* frame = static_cast<HWND>(window);
  if (!frame || !IsWindow(frame))
    return;
  // Windows keeps window sizes within 16 bits.
  const auto extent = [](float v) { return static_cast<LONG>(std::lround(std::clamp(v, 0.f, 32767.f))); };
  RECT rect{0, 0, extent(size.horz), extent(size.vert)};
  const auto style = static_cast<DWORD>(GetWindowLongPtr(frame, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtr(frame, GWL_EXSTYLE));
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  SetWindowPos(frame, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostViewContainer::SetParentWindow(void* parentWindow)
{
  std::lock_guard lock(mLock);
  mParentWindow = parentWindow;
}

void HostViewContainer::SetModifiers(uint32_t modifiers)
{
  std::lock_guard lock(mLock);
  mModifiers = modifiers;
}

void HostViewContainer::SetTakesParameterClicks(bool takes)
{
  std::lock_guard lock(mLock);
  mTakesClicks = takes;
}

std::vector<AAX_Point> HostViewContainer::SizeRequests() const
{
  std::lock_guard lock(mLock);
  return mSizeRequests;
}

std::vector<HostViewContainer::MouseEvent> HostViewContainer::MouseEvents() const
{
  std::lock_guard lock(mLock);
  return mMouseEvents;
}

} // namespace aaxhost
