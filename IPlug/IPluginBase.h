#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ByteChunk.h"
#include "IGEditorDelegate.h"
#include "PresetSlot.h"

namespace iplug {

// The plug-in base: identity, host, preset slots and the saved state.
//
// The saved state is what WriteState writes and ReadState reads; the base writes the parameter
// values, a product may put more in front (its editor state). State and presets are written and
// read off the audio thread; parameter values are atomic, so the audio thread sees each restored
// value whole.
class IPluginBase : public IGEditorDelegate
{
public:
  IPluginBase(int nParams, int nPresets);

  // ---- Hooks, in the order products and adapters override them -------------------------------

  virtual bool WriteState(ByteChunk& chunk) const { return SerializeParams(chunk); }
  // Returns the position after the last byte read, or -1 when the data ran out.
  virtual int ReadState(const ByteChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  virtual void OnPresetsModified() {}
  virtual void OnRestoreState() {}    // after a preset was loaded, before the editor hears of it
  virtual void OnReservedHook() {}
  virtual bool SerializeControllerState(ByteChunk& chunk) const { (void) chunk; return true; }
  virtual int UnserializeControllerState(const ByteChunk& chunk, int startPos) { (void) chunk; return startPos; }

  // ---- Parameters as state -------------------------------------------------------------------

  // Appends every parameter's real value as a 64-bit float, in index order.
  bool SerializeParams(ByteChunk& chunk) const;
  // Reads the values back from startPos. The first parameter without data is set to the confined
  // value of 0 and reading stops (-1); a stored NaN or infinity restores that parameter's
  // default. Every parameter's change handling runs afterwards either way.
  int UnserializeParams(const ByteChunk& chunk, int startPos);

  // ---- Presets -------------------------------------------------------------------------------

  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  // Null for an index out of range.
  const PresetSlot* GetPreset(int idx) const;
  const char* GetPresetName(int idx) const;

  bool LoadPreset(int idx);
  bool LoadPresetByName(const char* name);
  void ModifyCurrentPreset(const char* name = nullptr);
  void FillEmptyPresets(const char* name = nullptr, int count = 1);
  // One value per parameter in index order; values of bool, int and enum parameters are read as
  // integers.
  void MakePreset(const char* name, std::initializer_list<double> values);
  // Only the named parameters take the given values; the others keep their current ones.
  void MakePresetFromNamedParams(const char* name, std::initializer_list<std::pair<int, double>> values);
  void MakePresetFromBlob(const char* name, const char* base64, int byteCount);
  void MakePresetFromBytes(const char* name, const ByteChunk& state);
  bool SerializePresets(ByteChunk& chunk) const;
  int UnserializePresets(const ByteChunk& chunk, int startPos);

  // Preset source dumps, appended to a text file; false when the file cannot be opened.
  bool WritePresetSource(const char* path) const;
  bool WriteNamedPresetSource(const char* path, const std::vector<std::string>& paramIds) const;
  bool WritePresetBlobSource(const char* path) const;

  // Program (fxp) and bank (fxb) files. Readers check the magic values and the unique
  // identifier and never read past the file's bytes.
  bool SaveProgramAsFXP(const char* path) const;
  bool SaveBankAsFXB(const char* path);
  bool LoadProgramFromFXP(const char* path);
  bool LoadBankFromFXB(const char* path);

  // ---- Parameter groups ----------------------------------------------------------------------

  void ForEachParamInRange(int first, int last, const std::function<void(int, IParam&)>& func);
  void ForEachParamInGroup(const char* group, const std::function<void(int, IParam&)>& func);
  void ResetParamsToDefault();
  void ResetParamsToDefault(int first, int last);
  void ResetParamsToDefault(const char* group);
  void RandomizeParams();
  void RandomizeParams(int first, int last);
  void RandomizeParams(const char* group);
  void CopyParamValues(int srcStart, int destStart, int count);
  void CopyParamValues(const char* srcGroup, const char* destGroup);
  void CloneParamDefinitions(int srcFirst, int srcLast, int destFirst, const char* searchText = "",
                             const char* replaceText = "", const char* newGroup = "");
  void DefineParamRange(int first, int last, int firstNumber, const char* nameFormat, double defaultVal,
                        double minVal, double maxVal, double step, const char* label = "", int flags = 0,
                        const char* group = "");

  // ---- Identity, host and version ------------------------------------------------------------

  int GetPluginVersion() const { return mVersion; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool DoesStateChunks() const { return mStateChunks; }
  int GetAPI() const { return mAPI; }
  int GetHost() const { return mHost; }
  int GetHostVersion() const { return mHostVersion; }

  // "v3.0.0" for 0x30000.
  static std::string VersionText(int packedVersion);
  // The packed version, or major * 10000 + minor * 100 + patch when decimal.
  static int VersionNumber(int packedVersion, bool decimal);
  int GetPluginVersionNumber(bool decimal) const { return VersionNumber(mVersion, decimal); }
  int GetHostVersionNumber(bool decimal) const { return VersionNumber(mHostVersion, decimal); }
  // The API's name ("AAX" for 4); empty for an unknown code.
  static const char* ApiName(int api);
  // "v3.0.0 AAX (x86-64), built on <date> at <hh:mm> ", at most 256 characters.
  void BuildInfoText(std::string& out, const char* date, const char* time) const;

protected:
  void SetIdentity(int version, int uniqueID, int mfrID, bool stateChunks, int api);
  void SetHostInfo(int host, int hostVersion);

private:
  // Marks the first uninitialised slot initialised, named and empty; null when none is left.
  PresetSlot* TakeEmptyPreset(const char* name);
  // Applies a restored value; non-finite values restore the default.
  void RestoreParamValue(int idx, double value);

  std::vector<PresetSlot> mPresets;
  int mCurrentPresetIdx = 0;
  int mVersion = 0;
  int mUniqueID = 0;
  int mMfrID = 0;
  bool mStateChunks = false;
  int mAPI = 0;
  int mHost = -1;
  int mHostVersion = 0;
};

} // namespace iplug
