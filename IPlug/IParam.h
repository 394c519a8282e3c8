#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Shape.h"
#include "ShapeLinear.h"

namespace iplug {

// One automatable plug-in parameter: identity (name, label, group), type and range, the current
// value, the mapping between the real value and the normalised 0..1 value that hosts and controls
// exchange, and the rules that turn a value into text and text back into a value.
//
// Lifecycle: created in a neutral state (a linear 0..1 double without a name), defined once by one
// defining operation while the plug-in object is built, display texts added right after; from
// then on only the value changes.
//
// Threads: the value is the only member written after definition. It is one atomic double, so
// the audio thread reads it while the host and editor threads store into it, and no reader ever
// sees a torn value. Everything else is read-only once the plug-in object is shared.
//
// Values inside the plug-in are real values, always confined to the parameter's range (and to its
// step grid when stepped). Non-finite numbers never enter: stores of NaN or infinity are ignored.
class IParam
{
public:
  enum EParamType : int
  {
    kTypeNone = 0,
    kTypeBool,
    kTypeInt,
    kTypeEnum,
    kTypeDouble
  };

  // Unit codes that hosts understand; the defining operations set only some of them.
  enum EParamUnit : int
  {
    kUnitPercentage = 0,
    kUnitSeconds,
    kUnitMilliseconds,
    kUnitSamples,
    kUnitDB,
    kUnitLinearGain,
    kUnitPan,
    kUnitPhase,
    kUnitDegrees,
    kUnitMeters,
    kUnitRate,
    kUnitRatio,
    kUnitFrequency,
    kUnitOctaves,
    kUnitCents,
    kUnitAbsCents,
    kUnitSemitones,
    kUnitMIDINote,
    kUnitMIDICtrlNum,
    kUnitBPM,
    kUnitBeats,
    kUnitCustom
  };

  enum EFlags : int
  {
    kFlagsNone = 0,
    kFlagCannotAutomate = 0x1, // registered with the host as not automatable
    kFlagStepped = 0x2,        // values snap to the step grid
    kFlagNegateDisplay = 0x4,  // shown (and parsed) with the opposite sign
    kFlagSignDisplay = 0x8     // positive values shown with a leading "+" (when showing decimals)
  };

  // When set, replaces all of the parameter's own formatting of a real value.
  using DisplayFunction = std::function<void(double value, std::string& out)>;

  // Texts held by the parameter (name, label, group, display texts) keep at most this many bytes.
  static constexpr int kMaxTextLength = 31;

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // ---- Definition (construction time, before any other thread sees the parameter) ----

  void DefineDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                    const char* label = "", int flags = 0, const char* group = "",
                    const Shape& shape = ShapeLinear(), EParamUnit unit = kUnitCustom,
                    DisplayFunction displayFunc = nullptr);

  void DefineInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
                 int flags = 0, const char* group = "");

  // Values 0..count-1; texts given after the group become the display texts of those values.
  template <typename... Texts>
  void DefineEnum(const char* name, int defaultVal, int count, const char* label = "",
                  int flags = 0, const char* group = "", Texts... texts)
  {
    const char* const list[] = {static_cast<const char*>(texts)..., nullptr};
    DefineEnumTexts(name, defaultVal, count, label, flags, group, list,
                    static_cast<int>(sizeof...(Texts)));
  }

  // Values 0..texts.size()-1, text i shown for value i.
  void DefineEnumList(const char* name, int defaultVal, std::initializer_list<const char*> texts,
                      int flags = 0, const char* group = "");

  void DefineBool(const char* name, bool defaultVal, const char* label = "", int flags = 0,
                  const char* group = "", const char* offText = "off", const char* onText = "on");

  void DefineGain(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  int flags = 0, const char* group = "");

  void DefineFrequency(const char* name, double defaultVal, double minVal, double maxVal,
                       double step, int flags = 0, const char* group = "");

  void DefineSeconds(const char* name, double defaultVal, double minVal, double maxVal,
                     double step, int flags = 0, const char* group = "");

  void DefineMilliseconds(const char* name, double defaultVal, double minVal, double maxVal,
                          int flags = 0, const char* group = "");

  void DefinePercentage(const char* name, double defaultVal, double minVal, double maxVal,
                        int flags = 0, const char* group = "");

  void DefineAngle(const char* name, double defaultVal, double minVal, double maxVal,
                   int flags = 0, const char* group = "");

  // One value per MIDI note from lowestNote to highestNote, each shown as its note name
  // ("C 4", "C#4"); middleCIsC4 picks whether note 60 is octave 4 or octave 3.
  void DefinePitch(const char* name, int defaultVal, int lowestNote, int highestNote,
                   int flags = 0, const char* group = "", bool middleCIsC4 = false);

  // Takes over another parameter's definition and display texts, with the first occurrence of
  // searchText in its name replaced by replaceText and, when newGroup is not empty, a new group.
  // The value is not copied.
  void DefineAsCopy(const IParam& source, const char* searchText, const char* replaceText,
                    const char* newGroup = "");

  // Construction time. The text keeps at most kMaxTextLength bytes.
  void AddDisplayText(double value, const char* text);

  // ---- Values ----

  // any thread; lock-free, never allocates
  double Value() const { return mValue.load(std::memory_order_seq_cst); }

  // Snapped to the step grid when stepped, then clamped to min..max. Pure.
  // any thread; never allocates
  double Confine(double value) const;

  // Ignored for NaN and infinity.
  // any thread; lock-free, never allocates
  void SetValue(double value);

  // any thread; lock-free, never allocates
  void ResetToDefault();

  // any thread; never allocates
  double FromNormalized(double normalized) const;

  // The result is always within 0..1.
  // any thread; never allocates
  double ToNormalized(double value) const;

  // any thread; never allocates
  double NormalizedValue() const { return ToNormalized(Value()); }

  // Ignored for NaN and infinity.
  // any thread; lock-free, never allocates
  void SetNormalizedValue(double normalized);

  // Brings a normalised value onto what the parameter can hold.
  // any thread; never allocates
  double ConfineNormalized(double normalized) const;

  // ---- Definition accessors (any thread, after definition) ----

  EParamType Type() const { return mType; }
  EParamUnit Unit() const { return mUnit; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Default() const { return mDefault; }
  double DefaultNormalized() const { return ToNormalized(mDefault); }
  int Flags() const { return mFlags; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  const Shape& GetShape() const { return *mShape; }

  // ---- Text (UI and host threads; these may allocate) ----

  // Display text of a real value (or of a normalised one); at most kMaxTextLength bytes.
  void FormatValue(double value, bool normalized, std::string& out,
                   bool withDisplayText = true) const;

  // The current value's text followed by a space and ShownLabel, when that is not empty.
  void FormatValueWithLabel(std::string& out, bool withDisplayText = true) const;

  // The label, or the empty string when the current value (truncated toward zero) has a
  // display text of its own.
  const char* ShownLabel() const;

  // Text of the first entry with exactly this value; the empty string when there is none.
  const char* DisplayTextFor(double value) const;

  // Text of entry index and, when value is given, its value. An index outside
  // 0..DisplayTextCount()-1 gives the empty string and leaves value untouched.
  const char* DisplayTextAt(int index, double* value = nullptr) const;

  int DisplayTextCount() const { return static_cast<int>(mDisplayTexts.size()); }

  // True, with the value of the first entry whose text equals text exactly.
  bool LookupDisplayText(const char* text, double& value) const;

  // Text to real value: a display text gives its value; otherwise int, double and untyped
  // parameters read a decimal number (confined), bool and enum parameters give 0.
  double ParseValue(const char* text) const;

  // Appends the parameter's description as one JSON object.
  void DescribeJson(std::string& out, int index) const;

private:
  struct DisplayText
  {
    double mValue;
    char mText[kMaxTextLength + 1];
  };

  void DefineEnumTexts(const char* name, int defaultVal, int count, const char* label, int flags,
                       const char* group, const char* const* texts, int textCount);
  void FormatValueAt(double value, std::string& out, bool withDisplayText) const;
  const char* ShownLabelFor(double value) const;

  EParamType mType = kTypeNone;
  EParamUnit mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  int mFlags = 0;
  char mName[kMaxTextLength + 1] = {};
  char mLabel[kMaxTextLength + 1] = {};
  char mGroup[kMaxTextLength + 1] = {};
  std::unique_ptr<Shape> mShape;
  DisplayFunction mDisplayFunction;
  std::vector<DisplayText> mDisplayTexts;

  static_assert(std::atomic<double>::is_always_lock_free,
                "the audio thread reads parameter values without locking");
};

using EParamType = IParam::EParamType;
using EParamUnit = IParam::EParamUnit;
using EFlags = IParam::EFlags;
using DisplayFunction = IParam::DisplayFunction;

} // namespace iplug
