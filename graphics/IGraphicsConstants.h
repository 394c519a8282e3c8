#pragma once

#include <cstdint>
#include <vector>

namespace iplug::igraphics {

// Direction in which an arc is added to a path.
enum class EWinding
{
  CW = 0,
  CCW = 1
};

// Which way a control is dragged.
enum class EDirection
{
  Vertical = 0,
  Horizontal = 1
};

// Mouse cursors the window layer can show.
enum ECursor
{
  kArrowCursor = 0,
  kIBeamCursor,
  kWaitCursor,
  kCrossCursor,
  kUpArrowCursor,
  kSizeNWSECursor,
  kSizeNESWCursor,
  kSizeWECursor,
  kSizeNSCursor,
  kSizeAllCursor,
  kNoCursor,
  kHandCursor,
  kAppStartingCursor,
  kHelpCursor
};

// Corner-resize behaviour: change the zoom, or change the logical size.
enum EUIResizerMode
{
  kResizeModeScale = 0,
  kResizeModeSize = 1
};

// Where a resource was found.
enum EResourceLocation
{
  kNotFound = 0,
  kAbsolutePath = 1,
  kWinBinary = 2
};

// Button sets and answers of the platform message box (the system's own codes).
enum EMsgBoxType
{
  kMB_OK = 0,
  kMB_OKCANCEL = 1,
  kMB_ABORTRETRYIGNORE = 2,
  kMB_YESNOCANCEL = 3,
  kMB_YESNO = 4,
  kMB_RETRYCANCEL = 5
};

enum EMsgBoxResult
{
  kNoResult = 0,
  kOK = 1,
  kCANCEL = 2,
  kABORT = 3,
  kRETRY = 4,
  kIGNORE = 5,
  kYES = 6,
  kNO = 7
};

enum class EFileAction
{
  Open = 0,
  Save = 1
};

// Font styles a platform font can be asked for by family name.
enum class ETextStyle
{
  Normal = 0,
  Bold,
  Italic
};

// Touch gestures; never driven by the Windows window layer.
enum class EGestureType
{
  Unknown = 0,
  DoubleTap,
  TripleTap,
  LongPress1,
  LongPress2,
  SwipeLeft,
  SwipeRight,
  SwipeUp,
  SwipeDown,
  Pinch,
  Rotate
};

struct IGestureInfo
{
  float x = 0.f;
  float y = 0.f;
  float scale = 0.f;
  float velocity = 0.f;
  float angle = 0.f;
  EGestureType type = EGestureType::Unknown;
};

// Pixels of a layer, as the back end reads them out.
using RawBitmapData = std::vector<uint8_t>;

} // namespace iplug::igraphics
