#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ConfigRecord.h"
#include "IPluginBase.h"
#include "ParamChange.h"
#include "SpscQueue.h"
#include "SysexBlock.h"
#include "Timer.h"

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

// The host bridge, between the plug-in base and a host-API adapter.
//
// It copies the configuration record into the plug-in's identity and editor fields, records the
// host application, runs the 20 ms idle timer that carries values and messages from the
// processing side to the editor, owns the lock-free queues between the UI thread and the
// processing side, and turns editor actions into calls on the Host… hooks that an adapter
// overrides to reach its host.
//
// Lifecycle: constructed and destroyed on the UI thread; the adapter calls CreateIdleTimer as
// the last step of its construction. Destruction stops the timer before anything else goes.
class IPlugAPIBase : public IPluginBase
{
public:
  static constexpr int kParamChangeQueueSize = 512;
  static constexpr int kMidiQueueSize = 32;
  static constexpr int kSysexQueueSize = 4;
  static constexpr int kIdleTimerMs = 20;

  IPlugAPIBase(const ConfigRecord& config, EAPI api);
  ~IPlugAPIBase() override;

  // ---- Hooks, in the order adapters override them --------------------------------------------

  // Compares the current parameter values with the 64-bit values stored in `data` from the
  // start position on (counted in 64-bit values), as 32-bit floats within 0.00001. Reads only
  // the `size` bytes given; too few bytes compare unequal.
  virtual bool StateEquals(const uint8_t* data, int size, int startPos) const;
  virtual bool ReservedHook1() { return false; }
  virtual bool ReservedHook2() { return false; }
  virtual void AfterHostIdentified() {}
  virtual void ListImportantParams(int count, std::vector<int>& indices) const;
  virtual bool IsViewSizeSupported(int width, int height) const { return width + height == 0; }
  virtual void SelectViewSize(int width, int height) { (void) width; (void) height; }
  virtual bool MidiNoteName(int note, std::string& name) const;
  // The open editor's graphics context, as its IPlugAAXView_Interface; null while the editor
  // is closed. UI thread.
  virtual void* GetViewInterface();
  virtual void OnIdleTick() {}  // UI thread, every idle tick
  virtual int ReservedHook3(int& a, int& b, int& c) const;
  // Copies the host track's name into `name`; leaves it unchanged when the host tells none.
  virtual void GetTrackName(std::string& name) const { (void) name; }
  virtual int ReservedHook4() const { return 0; }
  virtual void ReservedHook5() {}
  virtual int ReservedHook6() const { return 0; }
  // Parameter thread: a host-driven change on its way to the editor.
  virtual void QueueParamValueForEditor(int paramIdx, double value, bool normalized);
  virtual void InitForHost() {}
  virtual bool ResizeEditorInHost(int width, int height) { (void) width; (void) height; return false; }
  virtual void HostBeginParamGesture(int paramIdx) { (void) paramIdx; }
  virtual void HostEndParamGesture(int paramIdx) { (void) paramIdx; }
  virtual void HostSetParamNormalized(int paramIdx, double normalizedValue) { (void) paramIdx; (void) normalizedValue; }
  virtual void ReservedHook7() {}
  virtual void ReservedHook8() {}

  // ---- Editor actions (UI thread) ------------------------------------------------------------

  void FromEditorAllParamsDirty() override;
  void FromEditorBeginParamGesture(int paramIdx) override { HostBeginParamGesture(paramIdx); }
  void FromEditorParamValue(int paramIdx, double normalizedValue) override;
  void FromEditorEndParamGesture(int paramIdx) override { HostEndParamGesture(paramIdx); }
  bool FromEditorResize(int width, int height, bool needsPlatformResize) override;
  void FromEditorMidi(const MidiMessage& msg) override { QueueMidiForProcessor(msg); }
  void FromEditorSysex(const SysexMessage& msg) override { QueueSysexForProcessor(msg); }
  void FromEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* pData) override;
  void QueueMidiForProcessor(const MidiMessage& msg) override;
  // Data over 512 bytes does not fit a queue block and is not queued.
  void QueueSysexForProcessor(const SysexMessage& msg) override;

  // The parameter's new value goes to the model, the host and the product, in that order.
  void SetParamFromEditor(int paramIdx, double normalizedValue);  // UI thread

  // ---- Host and idle timer -------------------------------------------------------------------

  // UI thread. Identifies the host application by name and version.
  void SetHost(const char* name, int version);
  // UI thread. Starts (or restarts) the 20 ms idle timer.
  void CreateIdleTimer();
  // UI thread. The periodic timer the idle tick runs on. The framework core runs no timer of
  // its own: the adapter, which links the platform timer, supplies one; without it (null) there
  // is no idle tick.
  virtual std::unique_ptr<Timer> MakeIdleTimer(Timer::ITimerFunction callback, uint32_t intervalMs);
  // UI thread (timer callback). Delivers queued values and messages to the editor.
  void OnIdleTimer(Timer& timer);

  // ---- Identity ------------------------------------------------------------------------------

  const char* GetPluginName() const { return mPluginName.c_str(); }
  const char* GetProductName() const { return mProductName.c_str(); }
  const char* GetMfrName() const { return mMfrName.c_str(); }
  bool HasUI() const { return mHasUI; }
  bool GetHostResizeEnabled() const { return mHostResize; }
  const char* GetBundleID() const { return mBundleID.c_str(); }
  Timer* GetIdleTimer() const { return mIdleTimer.get(); }

protected:
  // Declared first so that it is destroyed last; the destructor cancels it before anything else.
  std::unique_ptr<Timer> mIdleTimer;

  SpscQueue<ParamChange, kParamChangeQueueSize> mParamChangesForEditor;
  SpscQueue<MidiMessage, kMidiQueueSize> mMidiFromEditor;
  SpscQueue<MidiMessage, kMidiQueueSize> mMidiForEditor;
  SpscQueue<SysexBlock, kSysexQueueSize> mSysexFromEditor;
  SpscQueue<SysexBlock, kSysexQueueSize> mSysexForEditor;
  SysexBlock mSysexScratch;

private:
  std::string mPluginName;
  std::string mProductName;
  std::string mMfrName;
  bool mHasUI;
  bool mHostResize;
  std::string mBundleID;
};

} // namespace iplug
