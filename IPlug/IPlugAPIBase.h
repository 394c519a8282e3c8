#pragma once

#include <string>

#include "ConfigRecord.h"
#include "IPluginBase.h"

namespace iplug {

// The kinds of host API an adapter can stand for.
enum EAPI
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIAUv3 = 3,
  kAPIAAX = 4,
  kAPIAPP = 5,
  kAPIWAM = 6,
  kAPIWEB = 7
};

// The host bridge: copies the configuration record into the plug-in's identity and editor
// fields and turns editor actions into calls on the hooks an adapter overrides to reach its
// host (Host… operations).
class IPlugAPIBase : public IPluginBase
{
public:
  IPlugAPIBase(const ConfigRecord& config, EAPI api);

  // Editor actions, UI thread.
  void FromEditorBeginParamGesture(int paramIdx) override { HostBeginParamGesture(paramIdx); }
  void FromEditorParamValue(int paramIdx, double normalizedValue) override;
  void FromEditorEndParamGesture(int paramIdx) override { HostEndParamGesture(paramIdx); }
  bool FromEditorResize(int width, int height, bool needsPlatformResize) override;

  // The parameter's new value goes to the model, the host and the product, in that order.
  void SetParamFromEditor(int paramIdx, double normalizedValue);  // UI thread

  // Hooks an adapter overrides to reach its host.
  virtual bool ResizeEditorInHost(int width, int height) { (void) width; (void) height; return false; }
  virtual void HostBeginParamGesture(int paramIdx) { (void) paramIdx; }
  virtual void HostEndParamGesture(int paramIdx) { (void) paramIdx; }
  virtual void HostSetParamNormalized(int paramIdx, double normalizedValue) { (void) paramIdx; (void) normalizedValue; }

  const char* GetPluginName() const { return mPluginName.c_str(); }
  const char* GetProductName() const { return mProductName.c_str(); }
  const char* GetMfrName() const { return mMfrName.c_str(); }
  int GetPluginVersion() const { return mVersion; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool HasUI() const { return mHasUI; }
  bool GetHostResizeEnabled() const { return mHostResize; }
  bool DoesStateChunks() const { return mStateChunks; }
  EAPI GetAPI() const { return mAPI; }
  const char* GetBundleID() const { return mBundleID.c_str(); }

private:
  int mVersion;
  int mUniqueID;
  int mMfrID;
  std::string mPluginName;
  std::string mProductName;
  std::string mMfrName;
  bool mHasUI;
  bool mHostResize;
  bool mStateChunks;
  EAPI mAPI;
  std::string mBundleID;
};

} // namespace iplug
