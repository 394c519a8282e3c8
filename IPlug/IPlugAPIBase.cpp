#include "IPlugAPIBase.h"

#include <algorithm>

namespace iplug {

namespace {
// Identity texts are kept to 128 characters whatever the record holds.
std::string Limited(const char* text)
{
  std::string s = text ? text : "";
  if (s.size() > 128)
    s.resize(128);
  return s;
}
} // namespace

IPlugAPIBase::IPlugAPIBase(const ConfigRecord& config, EAPI api)
  : IPluginBase(config.nParams, config.nPresets)
  , mVersion(config.vendorVersion)
  , mUniqueID(config.uniqueID)
  , mMfrID(config.mfrID)
  , mPluginName(Limited(config.pluginName))
  , mProductName(Limited(config.productName))
  , mMfrName(Limited(config.mfrName))
  , mHasUI(config.plugHasUI)
  , mHostResize(config.plugHostResize)
  , mStateChunks(config.plugDoesChunks)
  , mAPI(api)
  , mBundleID(config.bundleID ? config.bundleID : "")
{
  SetEditorSize(config.plugWidth, config.plugHeight);
  // A record with the limits swapped still yields min <= max.
  SetSizeConstraints(std::min(config.plugMinWidth, config.plugMaxWidth),
                     std::max(config.plugMinWidth, config.plugMaxWidth),
                     std::min(config.plugMinHeight, config.plugMaxHeight),
                     std::max(config.plugMinHeight, config.plugMaxHeight));
}

void IPlugAPIBase::SetParamFromEditor(int paramIdx, double normalizedValue)
{
  IParam* pParam = GetParam(paramIdx);
  if (!pParam)
    return;
  pParam->SetNormalizedValue(normalizedValue);
  HostSetParamNormalized(paramIdx, normalizedValue);
  OnParamChange(paramIdx, kUI, -1);
}

void IPlugAPIBase::FromEditorParamValue(int paramIdx, double normalizedValue)
{
  SetParamFromEditor(paramIdx, normalizedValue);
  IEditorDelegate::FromEditorParamValue(paramIdx, normalizedValue);
}

bool IPlugAPIBase::FromEditorResize(int width, int height, bool needsPlatformResize)
{
  if (needsPlatformResize)
    return ResizeEditorInHost(width, height);
  return true;
}

} // namespace iplug
