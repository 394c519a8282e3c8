#pragma once

#include <cstdint>

#include "AAX.h"
#include "AAX_Errors.h"

// The host's frame around the editor as the graphics context sees it: the parts of the view
// container that input dispatch and the editor's resizing call. The AAX adapter's container wrapper implements it over
// the host's interface; tests implement it to play the host. Results are AAX results (0 is
// success); identifiers are parameter identifier texts. UI thread.
class AAX_IViewContainer
{
public:
  // The modifier keys as the host sees them (AAX modifier bits); 0 in outModifiers on failure.
  virtual int32_t GetModifiers(uint32_t* outModifiers) const = 0;
  // 0 when the host takes the click for itself (for example to open its automation menu); any
  // other result leaves the click to the editor.
  virtual int32_t HandleParameterMouseDown(const char* paramID, uint32_t modifiers) = 0;
  // Asks the host to make its frame this size (physical pixels, height first). A frame that
  // cannot change size answers AAX_ERROR_UNIMPLEMENTED.
  virtual int32_t SetViewSize(const AAX_Point& size)
  {
    (void) size;
    return AAX_ERROR_UNIMPLEMENTED;
  }

protected:
  // Never deleted through this interface.
  ~AAX_IViewContainer() = default;
};
