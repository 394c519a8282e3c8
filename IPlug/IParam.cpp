#include "IParam.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "ShapeExp.h"

namespace iplug {

namespace {

bool IsUtf8Continuation(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// How many bytes of text fit in maxBytes without splitting a UTF-8 character.
size_t FittingLength(const char* text, size_t length, size_t maxBytes)
{
  if (length <= maxBytes)
    return length;
  size_t cut = maxBytes;
  while (cut > 0 && IsUtf8Continuation(text[cut]))
    --cut;
  return cut;
}

// Copies text into a fixed field, cut to the field instead of written past it. The source may be
// the field itself (a parameter redefined from its own name).
template <size_t N>
void CopyText(char (&field)[N], const char* text)
{
  if (!text)
    text = "";
  const size_t length = FittingLength(text, strnlen(text, N), N - 1);
  std::memmove(field, text, length);
  field[length] = '\0';
}

void CutText(std::string& text, size_t maxBytes)
{
  text.resize(FittingLength(text.data(), text.size(), maxBytes));
}

// Fixed-point text of a number, "%.*f" (or "%+.*f" with showSign) in the C locale whatever
// locale the host has set, so that numbers always read back.
void AppendFixed(std::string& out, double value, int precision, bool showSign = false)
{
  char buffer[400]; // the widest double in fixed notation with 6 decimals needs about 320
  char* first = buffer;
  if (showSign && !std::signbit(value))
    *first++ = '+';
  const auto result = std::to_chars(first, buffer + sizeof buffer, value, std::chars_format::fixed,
                                    precision);
  out.append(buffer, result.ptr);
}

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

// Reads a leading decimal number: blanks, an optional sign, digits with an optional point and an
// optional exponent; reading stops at the first character that does not fit and text without a
// number reads as 0. Only plain decimals are read ("nan", "inf" and hexadecimal read as 0 or stop
// early), so no non-finite value comes out of a typed text except by overflow.
double ReadDecimal(const char* text)
{
  const char* p = text;
  while (IsBlank(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = (*p++ == '-');

  const char* const mantissa = p;
  int significantIntDigits = 0; // integer digits after leading zeros
  bool seenNonZero = false;
  int leadingFractionZeros = 0;
  bool anyDigit = false;
  for (; IsDigit(*p); ++p)
  {
    anyDigit = true;
    seenNonZero = seenNonZero || *p != '0';
    if (seenNonZero)
      ++significantIntDigits;
  }
  if (*p == '.')
  {
    ++p;
    for (; IsDigit(*p); ++p)
    {
      anyDigit = true;
      if (!seenNonZero && *p == '0')
        ++leadingFractionZeros;
      seenNonZero = seenNonZero || *p != '0';
    }
  }
  if (!anyDigit)
    return 0.0;

  long exponent = 0;
  if (*p == 'e' || *p == 'E')
  {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (*q == '+' || *q == '-')
      negativeExponent = (*q++ == '-');
    if (IsDigit(*q))
    {
      for (; IsDigit(*q); ++q)
        exponent = std::min(exponent * 10 + (*q - '0'), 100000L);
      if (negativeExponent)
        exponent = -exponent;
      p = q;
    }
  }

  double value = 0.0;
  const auto result = std::from_chars(mantissa, p, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range)
  {
    // Too large or too small for a double: which one follows from the decimal magnitude.
    const long magnitude =
      (significantIntDigits > 0 ? significantIntDigits : -leadingFractionZeros) + exponent;
    value = magnitude > 0 ? HUGE_VAL : 0.0;
  }
  else if (result.ec != std::errc())
  {
    value = 0.0;
  }
  return negative ? -value : value;
}

void AppendJsonString(std::string& out, const char* text)
{
  static const char kHex[] = "0123456789abcdef";
  for (const char* p = text; *p; ++p)
  {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
    {
      out += '\\';
      out += static_cast<char>(c);
    }
    else if (c < 0x20)
    {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
    else
    {
      out += static_cast<char>(c);
    }
  }
}

// Each piece of a description is bounded, as a fixed formatting buffer would bound it.
void AppendPiece(std::string& out, const std::string& piece)
{
  constexpr size_t kMaxPiece = 8192 - 1;
  out.append(piece, 0, std::min(piece.size(), kMaxPiece));
}

// Floor division and remainder, so that notes below 0 still name a real note.
int FloorDiv(long long a, int b)
{
  long long q = a / b;
  if ((a % b != 0) && (a < 0))
    --q;
  return static_cast<int>(q);
}

} // namespace

IParam::IParam()
  : mShape(std::make_unique<ShapeLinear>())
{
}

IParam::~IParam() = default;

// ---- Definition ----

void IParam::DefineDouble(const char* name, double defaultVal, double minVal, double maxVal,
                          double step, const char* label, int flags, const char* group,
                          const Shape& shape, EParamUnit unit, DisplayFunction displayFunc)
{
  if (mType == kTypeNone)
    mType = kTypeDouble;

  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);

  // A range narrower than one step would leave a stepped parameter nowhere to go.
  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = flags;

  mDisplayFunction = std::move(displayFunc);

  mValue.exchange(Confine(defaultVal));

  // Show as many decimals as the step needs, but never more than 6.
  int precision = 0;
  for (double s = step; s != std::floor(s) && precision < 6; s *= 10.0)
    ++precision;
  mDisplayPrecision = precision;

  mShape = shape.Duplicate();
  mShape->Prepare(*this);
}

void IParam::DefineInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                       int flags, const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeInt;
  DefineDouble(name, defaultVal, minVal, maxVal, 1.0, label, flags | kFlagStepped, group,
               ShapeLinear(), kUnitCustom, nullptr);
}

void IParam::DefineEnumTexts(const char* name, int defaultVal, int count, const char* label,
                             int flags, const char* group, const char* const* texts, int textCount)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;
  DefineInt(name, defaultVal, 0, count > 0 ? count - 1 : 0, label, flags | kFlagStepped, group);

  // A missing first text means the caller names no values; only texts actually given are read.
  if (textCount > 0 && texts[0])
  {
    const int n = std::min(count, textCount);
    for (int i = 0; i < n; ++i)
      AddDisplayText(i, texts[i]);
  }
}

void IParam::DefineEnumList(const char* name, int defaultVal,
                            std::initializer_list<const char*> texts, int flags, const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;
  DefineDouble(name, defaultVal, 0.0, static_cast<double>(texts.size()) - 1.0, 1.0, "",
               flags | kFlagStepped, group, ShapeLinear(), kUnitCustom, nullptr);
  int i = 0;
  for (const char* text : texts)
    AddDisplayText(i++, text);
}

void IParam::DefineBool(const char* name, bool defaultVal, const char* label, int flags,
                        const char* group, const char* offText, const char* onText)
{
  if (mType == kTypeNone)
    mType = kTypeBool;
  DefineEnum(name, defaultVal ? 1 : 0, 2, label, flags | kFlagStepped, group);
  AddDisplayText(0.0, offText);
  AddDisplayText(1.0, onText);
}

void IParam::DefineGain(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, step, "dB", flags, group, ShapeLinear(), kUnitDB);
}

void IParam::DefineFrequency(const char* name, double defaultVal, double minVal, double maxVal,
                             double step, int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, step, "Hz", flags, group, ShapeExp(),
               kUnitFrequency);
}

void IParam::DefineSeconds(const char* name, double defaultVal, double minVal, double maxVal,
                           double step, int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, step, "Seconds", flags, group, ShapeLinear(),
               kUnitSeconds);
}

void IParam::DefineMilliseconds(const char* name, double defaultVal, double minVal, double maxVal,
                                int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, 1.0, "ms", flags, group, ShapeLinear(),
               kUnitMilliseconds);
}

void IParam::DefinePercentage(const char* name, double defaultVal, double minVal, double maxVal,
                              int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, 1.0, "%", flags, group, ShapeLinear(),
               kUnitPercentage);
}

void IParam::DefineAngle(const char* name, double defaultVal, double minVal, double maxVal,
                         int flags, const char* group)
{
  DefineDouble(name, defaultVal, minVal, maxVal, 1.0, "degrees", flags, group, ShapeLinear(),
               kUnitDegrees);
}

void IParam::DefinePitch(const char* name, int defaultVal, int lowestNote, int highestNote,
                         int flags, const char* group, bool middleCIsC4)
{
  static const char* const kNoteNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ",
                                             "F#", "G ", "G#", "A ", "A#", "B "};
  const long long count = static_cast<long long>(highestNote) - lowestNote + 1;
  DefineEnum(name, defaultVal, static_cast<int>(std::min<long long>(count, 0x7FFFFFFF)), "", flags,
             group);

  for (long long k = lowestNote; k <= highestNote; ++k)
  {
    const int octave = FloorDiv(k, 12) - (middleCIsC4 ? 1 : 2);
    const long long noteInOctave = k - 12LL * FloorDiv(k, 12);
    std::string text = kNoteNames[noteInOctave];
    text += std::to_string(octave);
    AddDisplayText(static_cast<double>(k - lowestNote), text.c_str());
  }
}

void IParam::DefineAsCopy(const IParam& source, const char* searchText, const char* replaceText,
                          const char* newGroup)
{
  if (mType == kTypeNone)
    mType = source.mType;

  std::string name = source.mName;
  if (searchText && *searchText)
  {
    const size_t at = name.find(searchText);
    if (at != std::string::npos)
      name.replace(at, std::strlen(searchText), replaceText ? replaceText : "");
  }
  const std::string group = (newGroup && *newGroup) ? newGroup : source.mGroup;
  const std::string label = source.mLabel;

  // Taken before redefining, because the source may be this very parameter.
  DisplayFunction displayFunc = source.mDisplayFunction;
  const std::vector<DisplayText> texts = source.mDisplayTexts;
  const std::unique_ptr<Shape> shape = source.mShape->Duplicate();

  DefineDouble(name.c_str(), source.mDefault, source.mMin, source.mMax, source.mStep, label.c_str(),
               source.mFlags, group.c_str(), *shape, source.mUnit, std::move(displayFunc));

  mDisplayTexts.insert(mDisplayTexts.end(), texts.begin(), texts.end());
}

void IParam::AddDisplayText(double value, const char* text)
{
  DisplayText entry{value, {}};
  CopyText(entry.mText, text);
  mDisplayTexts.push_back(entry);
}

// ---- Values ----

double IParam::Confine(double value) const
{
  // A zero step has no grid to snap to (and would turn every value into NaN).
  if ((mFlags & kFlagStepped) && mStep != 0.0)
    value = std::round(value / mStep) * mStep;
  if (value < mMin)
    value = mMin;
  else if (value > mMax)
    value = mMax;
  return value;
}

void IParam::SetValue(double value)
{
  if (!std::isfinite(value))
    return;
  const double confined = Confine(value);
  if (std::isfinite(confined))
    mValue.exchange(confined);
}

void IParam::ResetToDefault()
{
  SetValue(mDefault);
}

double IParam::FromNormalized(double normalized) const
{
  // Outside 0..1 a curve can leave its domain (a fractional power of a negative number);
  // clamping first lands such input on the nearest end, as the range clamp would anyway.
  normalized = std::clamp(normalized, 0.0, 1.0);
  return Confine(mShape->MapToValue(normalized, *this));
}

double IParam::ToNormalized(double value) const
{
  const double normalized = mShape->MapToNormalized(Confine(value), *this);
  // Written so that NaN (an empty range, a curve outside its domain) lands on 0, not passes on.
  if (normalized > 1.0)
    return 1.0;
  if (normalized >= 0.0)
    return normalized;
  return 0.0;
}

void IParam::SetNormalizedValue(double normalized)
{
  if (!std::isfinite(normalized))
    return;
  SetValue(FromNormalized(normalized));
}

double IParam::ConfineNormalized(double normalized) const
{
  return ToNormalized(FromNormalized(normalized));
}

// ---- Text ----

void IParam::FormatValue(double value, bool normalized, std::string& out, bool withDisplayText) const
{
  if (normalized)
    value = FromNormalized(value);
  FormatValueAt(value, out, withDisplayText);
}

void IParam::FormatValueAt(double value, std::string& out, bool withDisplayText) const
{
  out.clear();
  if (mDisplayFunction)
  {
    mDisplayFunction(value, out);
    CutText(out, kMaxTextLength);
    return;
  }

  if (withDisplayText)
  {
    // Only the first entry for a value counts; an empty text there means "show the number".
    for (const DisplayText& entry : mDisplayTexts)
    {
      if (entry.mValue == value)
      {
        if (entry.mText[0])
        {
          out = entry.mText;
          return;
        }
        break;
      }
    }
  }

  double d = (mFlags & kFlagNegateDisplay) ? -value : value;
  if (d == 0.0)
    d = 0.0; // never print a negative zero

  if (mDisplayPrecision == 0)
  {
    double rounded = std::round(d);
    if (rounded == 0.0)
      rounded = 0.0;
    AppendFixed(out, rounded, 0);
  }
  else
  {
    AppendFixed(out, d, mDisplayPrecision, (mFlags & kFlagSignDisplay) && d != 0.0);
  }
  CutText(out, kMaxTextLength);
}

void IParam::FormatValueWithLabel(std::string& out, bool withDisplayText) const
{
  // One read, so that the text and the label describe the same value.
  const double value = Value();
  FormatValueAt(value, out, withDisplayText);
  const char* label = ShownLabelFor(value);
  if (*label)
  {
    out += ' ';
    out += label;
  }
}

const char* IParam::ShownLabel() const
{
  return ShownLabelFor(Value());
}

const char* IParam::ShownLabelFor(double value) const
{
  // A value that has its own text ("Oversampling On") needs no unit after it.
  return *DisplayTextFor(std::trunc(value)) ? "" : mLabel;
}

const char* IParam::DisplayTextFor(double value) const
{
  for (const DisplayText& entry : mDisplayTexts)
  {
    if (entry.mValue == value)
      return entry.mText;
  }
  return "";
}

const char* IParam::DisplayTextAt(int index, double* value) const
{
  if (index < 0 || index >= DisplayTextCount())
    return "";
  const DisplayText& entry = mDisplayTexts[static_cast<size_t>(index)];
  if (value)
    *value = entry.mValue;
  return entry.mText;
}

bool IParam::LookupDisplayText(const char* text, double& value) const
{
  if (!text)
    return false;
  for (const DisplayText& entry : mDisplayTexts)
  {
    if (std::strcmp(entry.mText, text) == 0)
    {
      value = entry.mValue;
      return true;
    }
  }
  return false;
}

double IParam::ParseValue(const char* text) const
{
  if (!text)
    text = "";
  double value = 0.0;
  if (LookupDisplayText(text, value))
    return value;
  if (mType == kTypeBool || mType == kTypeEnum)
    return 0.0;

  value = ReadDecimal(text);
  if (mFlags & kFlagNegateDisplay)
    value = -value;
  return Confine(value);
}

void IParam::DescribeJson(std::string& out, int index) const
{
  std::string piece;
  AppendPiece(out, "{");

  piece = "\"id\":" + std::to_string(index) + ", ";
  AppendPiece(out, piece);

  piece = "\"name\":\"";
  AppendJsonString(piece, mName);
  piece += "\", ";
  AppendPiece(out, piece);

  static const char* const kTypeNames[] = {nullptr, "bool", "int", "enum", "float"};
  if (mType >= kTypeBool && mType <= kTypeDouble)
  {
    piece = "\"type\":\"";
    piece += kTypeNames[mType];
    piece += "\", ";
    AppendPiece(out, piece);
  }

  const std::pair<const char*, double> numbers[] = {
    {"min", mMin}, {"max", mMax}, {"default", mDefault}};
  for (const auto& [key, number] : numbers)
  {
    piece = "\"";
    piece += key;
    piece += "\":";
    AppendFixed(piece, number, 6);
    piece += ", ";
    AppendPiece(out, piece);
  }

  AppendPiece(out, "\"rate\":\"control\"");
  AppendPiece(out, "}");
}

} // namespace iplug
