#pragma once

#include <vector>

#include "IGEditorDelegate.h"

namespace iplug {

// An editor delegate that notes what the editor asked of it: parameter values (which it also
// applies, as the base does), gestures and resize requests.
class RecordingEditorDelegate : public IGEditorDelegate
{
public:
  struct ParamValue
  {
    int paramIdx;
    double value;
  };
  struct ResizeRequest
  {
    int width;
    int height;
    bool needsPlatformResize;
  };

  explicit RecordingEditorDelegate(int nParams) : IGEditorDelegate(nParams) {}

  void FromEditorBeginParamGesture(int paramIdx) override { beginGestures.push_back(paramIdx); }
  void FromEditorEndParamGesture(int paramIdx) override { endGestures.push_back(paramIdx); }
  void FromEditorParamValue(int paramIdx, double normalizedValue) override
  {
    paramValues.push_back(ParamValue{paramIdx, normalizedValue});
    IGEditorDelegate::FromEditorParamValue(paramIdx, normalizedValue);
  }
  bool FromEditorResize(int width, int height, bool needsPlatformResize) override
  {
    resizes.push_back(ResizeRequest{width, height, needsPlatformResize});
    return resizeResult;
  }

  std::vector<int> beginGestures;
  std::vector<int> endGestures;
  std::vector<ParamValue> paramValues;
  std::vector<ResizeRequest> resizes;
  bool resizeResult = true;
};

} // namespace iplug
